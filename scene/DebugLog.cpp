#include "scene/DebugLog.h"

#include "scene/Hooks.h"

void DebugLog(const std::wstring& line)
{
    if (g_Hooks.AppendLogLine)
        g_Hooks.AppendLogLine(line);
}
