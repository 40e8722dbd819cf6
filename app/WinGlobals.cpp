#include "app/WinGlobals.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hMainWnd = nullptr;
HWND g_hDebugWindow = nullptr;
HWND g_hDebugEdit = nullptr;

HWND g_hToolsPanel = nullptr;
HWND g_hHierarchyPanel = nullptr;
HWND g_hViewport = nullptr;
HWND g_hPropertiesPanel = nullptr;
HWND g_hPainterPanel = nullptr;
HWND g_hPlotterPanel = nullptr;
HWND g_hVertexPanel = nullptr;
HWND g_hVertexPropertiesPanel = nullptr;

HWND g_hTreeView = nullptr;
HWND g_hPaintBrushList = nullptr;
HWND g_hPaintTextureCombo = nullptr;
HWND g_hPainterStatus = nullptr;
HWND g_hPropBrushList = nullptr;
HWND g_hPlacedPropsList = nullptr;
HWND g_hPropModelCombo = nullptr;
HWND g_hObjectTextureCombo = nullptr;

HBRUSH g_hHighlightBrush = nullptr;
