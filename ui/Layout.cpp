#include "ui/Layout.h"

#include "app/WinGlobals.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"

namespace {

const DWORD COMPOSITED = WS_EX_COMPOSITED | WS_EX_CLIENTEDGE;

HWND CreateChild(HWND parent, DWORD exStyle, const wchar_t* className, DWORD style,
                 int x, int y, int width, int height)
{
    return CreateWindowExW(exStyle, className, L"", WS_CHILD | style, x, y, width, height,
                           parent, nullptr, g_hInstance, nullptr);
}

void Place(HWND window, int x, int y, int width, int height)
{
    if (!window)
        return;
    ShowWindow(window, SW_SHOW);
    MoveWindow(window, x, y, width, height, TRUE);
}

void Hide(HWND window)
{
    if (window)
        ShowWindow(window, SW_HIDE);
}

} // namespace

void CreateChildWindows(HWND parent)
{
    RECT client = {};
    GetClientRect(parent, &client);
    const int w = client.right;
    const int h = client.bottom;
    const int right = w - RIGHT_PANEL_WIDTH;

    g_hToolsPanel = CreateChild(parent, WS_EX_CLIENTEDGE, L"OstrelTools", WS_VISIBLE | WS_VSCROLL,
                                0, 0, LEFT_COLUMN_WIDTH, TOOLS_PANEL_HEIGHT);
    g_hHierarchyPanel = CreateChild(parent, WS_EX_CLIENTEDGE, L"OstrelHierarchy", WS_VISIBLE,
                                    0, TOOLS_PANEL_HEIGHT, LEFT_COLUMN_WIDTH, h - TOOLS_PANEL_HEIGHT);
    g_hViewport = CreateChild(parent, WS_EX_CLIENTEDGE, L"OstrelViewport", WS_VISIBLE,
                              LEFT_COLUMN_WIDTH, 0, w - LEFT_COLUMN_WIDTH - RIGHT_PANEL_WIDTH, h);
    g_hPropertiesPanel = CreateChild(parent, COMPOSITED, L"OstrelProperties", WS_VISIBLE | WS_VSCROLL,
                                     right, 0, RIGHT_PANEL_WIDTH, h);
    g_hPainterPanel = CreateChild(parent, COMPOSITED, L"OstrelPainterPanel", WS_VSCROLL,
                                  right, 0, RIGHT_PANEL_WIDTH, h);
    g_hPlotterPanel = CreateChild(parent, COMPOSITED, L"OstrelPlotterPanel", WS_VSCROLL,
                                  right, 0, RIGHT_PANEL_WIDTH, h);
    g_hVertexPanel = CreateChild(parent, COMPOSITED, L"OstrelVertexPanel", WS_VSCROLL,
                                 0, 0, LEFT_COLUMN_WIDTH, h);
    g_hVertexPropertiesPanel = CreateChild(parent, COMPOSITED, L"OstrelVertexPropertiesPanel", WS_VSCROLL,
                                           right, 0, RIGHT_PANEL_WIDTH, h);
}

void LayoutPanelsForMode(int, int)
{
    const int w = g_WindowWidth;
    const int h = g_WindowHeight;
    const int right = w - RIGHT_PANEL_WIDTH;
    const int middle = w - LEFT_COLUMN_WIDTH - RIGHT_PANEL_WIDTH;

    switch (g_CurrentMode) {
    case MODE_MODELLER:
        Place(g_hToolsPanel, 0, 0, LEFT_COLUMN_WIDTH, TOOLS_PANEL_HEIGHT);
        Place(g_hHierarchyPanel, 0, TOOLS_PANEL_HEIGHT, LEFT_COLUMN_WIDTH, h - TOOLS_PANEL_HEIGHT);
        Place(g_hPropertiesPanel, right, 0, RIGHT_PANEL_WIDTH, h);
        Hide(g_hPainterPanel);
        Hide(g_hPlotterPanel);
        Hide(g_hVertexPanel);
        Hide(g_hVertexPropertiesPanel);
        Place(g_hViewport, LEFT_COLUMN_WIDTH, 0, middle, h);
        break;
    case MODE_PAINTER:
        Hide(g_hToolsPanel);
        Hide(g_hHierarchyPanel);
        Hide(g_hPropertiesPanel);
        Place(g_hPainterPanel, right, 0, RIGHT_PANEL_WIDTH, h);
        Hide(g_hPlotterPanel);
        Hide(g_hVertexPanel);
        Hide(g_hVertexPropertiesPanel);
        Place(g_hViewport, 0, 0, w - RIGHT_PANEL_WIDTH, h);
        break;
    case MODE_PLOTTER:
        Hide(g_hToolsPanel);
        Hide(g_hHierarchyPanel);
        Place(g_hPropertiesPanel, right, 0, RIGHT_PANEL_WIDTH, h);
        Hide(g_hPainterPanel);
        Place(g_hPlotterPanel, 0, 0, LEFT_COLUMN_WIDTH, h);
        Hide(g_hVertexPanel);
        Hide(g_hVertexPropertiesPanel);
        Place(g_hViewport, LEFT_COLUMN_WIDTH, 0, middle, h);
        break;
    default:   // the Vertex Editor, and any unknown mode
        Hide(g_hToolsPanel);
        Place(g_hHierarchyPanel, 0, TOOLS_PANEL_HEIGHT, LEFT_COLUMN_WIDTH, h - TOOLS_PANEL_HEIGHT);
        Hide(g_hPropertiesPanel);
        Hide(g_hPainterPanel);
        Hide(g_hPlotterPanel);
        Place(g_hVertexPanel, 0, 0, LEFT_COLUMN_WIDTH, TOOLS_PANEL_HEIGHT);
        Place(g_hVertexPropertiesPanel, right, 0, RIGHT_PANEL_WIDTH, h);
        Place(g_hViewport, LEFT_COLUMN_WIDTH, 0, middle, h);
        break;
    }
}

void ForgetChildWindows()
{
    g_hToolsPanel = nullptr;
    g_hHierarchyPanel = nullptr;
    g_hViewport = nullptr;
    g_hPropertiesPanel = nullptr;
    g_hPainterPanel = nullptr;
    g_hPlotterPanel = nullptr;
    g_hVertexPanel = nullptr;
    g_hVertexPropertiesPanel = nullptr;
}
