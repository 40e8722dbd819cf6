// Win32 handles shared by the main window, the panels and the debug output
// window: the instance, the top-level windows, the child panels and the
// controls other modules reach. All null until their window exists.
#pragma once

#include <windows.h>

extern HINSTANCE g_hInstance;
extern HWND g_hMainWnd;
extern HWND g_hDebugWindow;
extern HWND g_hDebugEdit;

// Children of the main window.
extern HWND g_hToolsPanel;
extern HWND g_hHierarchyPanel;
extern HWND g_hViewport;
extern HWND g_hPropertiesPanel;
extern HWND g_hPainterPanel;
extern HWND g_hPlotterPanel;
extern HWND g_hVertexPanel;
extern HWND g_hVertexPropertiesPanel;

// Controls inside the panels that the theme styles and the commands refill.
extern HWND g_hTreeView;
extern HWND g_hPaintBrushList;
extern HWND g_hPaintTextureCombo;
extern HWND g_hPainterStatus;   // the Painter's "Surface Info" box
extern HWND g_hPropBrushList;
extern HWND g_hPlacedPropsList;
extern HWND g_hPropModelCombo;
extern HWND g_hObjectTextureCombo;

// RGB(200, 230, 255): the focused edit of the properties panel. Lives as long
// as the main window.
extern HBRUSH g_hHighlightBrush;
