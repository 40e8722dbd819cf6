// DebugLog: one line for the debug output window. The line goes to the
// AppendLogLine hook and is dropped while no window has installed one.
#pragma once

#include <string>

void DebugLog(const std::wstring& line);
