#include "app/Refresh.h"

#include "app/WinGlobals.h"

void InvalidateViewport()
{
    if (g_hViewport)
        InvalidateRect(g_hViewport, nullptr, FALSE);
}

void InvalidateToolsPanel()
{
    if (g_hToolsPanel)
        InvalidateRect(g_hToolsPanel, nullptr, TRUE);
}

void FocusViewport()
{
    if (g_hViewport)
        SetFocus(g_hViewport);
}

bool IsCtrlKeyDown()
{
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

void SetMenuCheck(HWND window, int itemId, bool checked)
{
    if (window)
        CheckMenuItem(GetMenu(window), itemId, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
