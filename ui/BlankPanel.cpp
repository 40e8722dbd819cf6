#include "ui/BlankPanel.h"

#include "ui/PanelColors.h"

LRESULT CALLBACK BlankPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandlePanelDefault(window, message, wParam, lParam);
}
