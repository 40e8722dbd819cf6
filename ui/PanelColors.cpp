#include "ui/PanelColors.h"

#include "app/Preferences.h"
#include "app/Theme.h"

LRESULT PanelStaticColors(WPARAM deviceContext)
{
    HDC dc = reinterpret_cast<HDC>(deviceContext);
    SetTextColor(dc, ColorOf(g_ColorPrefs.UIText));
    SetBkColor(dc, ColorOf(g_ColorPrefs.UIPanelBackground));
    return reinterpret_cast<LRESULT>(g_hPanelBrush);
}

LRESULT PanelEditColors(WPARAM deviceContext)
{
    HDC dc = reinterpret_cast<HDC>(deviceContext);
    SetTextColor(dc, ColorOf(g_ColorPrefs.UIEditText));
    SetBkColor(dc, ColorOf(g_ColorPrefs.UIEditBackground));
    return reinterpret_cast<LRESULT>(g_hEditBrush);
}

LRESULT PanelListColors(WPARAM deviceContext)
{
    HDC dc = reinterpret_cast<HDC>(deviceContext);
    SetTextColor(dc, ColorOf(g_ColorPrefs.UIText));
    SetBkColor(dc, ColorOf(g_ColorPrefs.UIEditBackground));
    return reinterpret_cast<LRESULT>(g_hEditBrush);
}

LRESULT ErasePanelBackground(HWND panel, WPARAM deviceContext)
{
    RECT client = {};
    GetClientRect(panel, &client);
    FillRect(reinterpret_cast<HDC>(deviceContext), &client, g_hPanelBrush);
    return 1;
}

LRESULT HandlePanelDefault(HWND panel, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return ErasePanelBackground(panel, wParam);
    case WM_CTLCOLOREDIT:
        return PanelEditColors(wParam);
    case WM_CTLCOLORLISTBOX:
        return PanelListColors(wParam);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return PanelStaticColors(wParam);
    default:
        return DefWindowProcW(panel, message, wParam, lParam);
    }
}

INT_PTR ThemedDialogColors(HWND dialog, UINT message, WPARAM deviceContext)
{
    switch (message) {
    case WM_CTLCOLORLISTBOX:
        return static_cast<INT_PTR>(PanelListColors(deviceContext));
    case WM_ERASEBKGND:
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, ErasePanelBackground(dialog, deviceContext));
        return TRUE;
    default:
        return static_cast<INT_PTR>(PanelStaticColors(deviceContext));
    }
}

COLORREF PanelDimTextColor()
{
    const COLORREF panel = ColorOf(g_ColorPrefs.UIPanelBackground);
    const COLORREF text = ColorOf(g_ColorPrefs.UIText);
    return RGB((GetRValue(panel) + GetRValue(text)) / 2, (GetGValue(panel) + GetGValue(text)) / 2,
               (GetBValue(panel) + GetBValue(text)) / 2);
}
