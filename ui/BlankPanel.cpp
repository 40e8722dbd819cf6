#include "ui/BlankPanel.h"

#include "ui/PanelColors.h"

LRESULT CALLBACK BlankPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return ErasePanelBackground(window, wParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
