#include "ui/BlankPanel.h"

#include "app/Theme.h"

LRESULT CALLBACK BlankPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client = {};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, g_hPanelBrush);
        return 1;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
