#include "app/Theme.h"

#include <commctrl.h>

#include <cwchar>

#include "app/ThemeApi.h"
#include "app/WinGlobals.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"

HBRUSH g_hPanelBrush = nullptr;
HBRUSH g_hEditBrush = nullptr;

COLORREF ColorOf(const Color3i& color)
{
    return RGB(color.r & 0xFF, color.g & 0xFF, color.b & 0xFF);
}

void ApplyWindowTheme(HWND window)
{
    if (g_ColorPrefs.Theme == THEME_DARK) {
        if (FAILED(g_pSetWindowTheme(window, L"DarkMode_CFD", nullptr)))
            g_pSetWindowTheme(window, L"DarkMode_Explorer", nullptr);
    } else {
        g_pSetWindowTheme(window, L"Explorer", nullptr);
    }
}

void ApplyThemeColors()
{
    if (g_hPanelBrush)
        DeleteObject(g_hPanelBrush);
    if (g_hEditBrush)
        DeleteObject(g_hEditBrush);
    g_hPanelBrush = CreateSolidBrush(ColorOf(g_ColorPrefs.UIPanelBackground));
    g_hEditBrush = CreateSolidBrush(ColorOf(g_ColorPrefs.UIEditBackground));

    if (g_hTreeView) {
        SendMessageW(g_hTreeView, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorOf(g_ColorPrefs.UITreeBackground)));
        SendMessageW(g_hTreeView, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorOf(g_ColorPrefs.UITreeText)));
        ApplyWindowTheme(g_hTreeView);
    }
    for (HWND window : {g_hToolsPanel, g_hPaintBrushList, g_hPropBrushList, g_hPlacedPropsList}) {
        if (window)
            ApplyWindowTheme(window);
    }
}

BOOL CALLBACK RepaintButtonsEnumProc(HWND window, LPARAM)
{
    wchar_t className[257] = {};
    GetClassNameW(window, className, 257);
    if (wcscmp(className, L"Button") == 0) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
    return TRUE;
}

void RepaintModePanel()
{
    HWND panel = nullptr;
    switch (g_CurrentMode) {
    case MODE_MODELLER: panel = g_hToolsPanel; break;
    case MODE_PAINTER: panel = g_hPainterPanel; break;
    case MODE_PLOTTER: panel = g_hPlotterPanel; break;
    case MODE_VERTEX_EDITOR: panel = g_hVertexPanel; break;
    default: return;
    }
    if (!panel)
        return;
    InvalidateRect(panel, nullptr, TRUE);
    EnumChildWindows(panel, RepaintButtonsEnumProc, 0);
    UpdateWindow(panel);
}
