#include "app/MainWindow.h"

#include "app/Commands.h"
#include "app/Refresh.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "ui/Layout.h"

namespace {

const COLORREF HIGHLIGHT_COLOR = RGB(200, 230, 255);

} // namespace

void CancelPrimitiveCreation()
{
    if (!g_IsInCreateMode && g_CreateStage == STAGE_NONE)
        return;
    g_IsInCreateMode = false;
    g_CreateStage = STAGE_NONE;
    g_CurrentTool = TOOL_SELECT;
    g_IsCreateDragging = false;
    ReleaseCapture();
    g_Hooks.SetCreationToolsEnabled(true);
    g_Hooks.InvalidateToolsPanel();
    g_Hooks.InvalidateViewport();
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // The panels may paint their focused edit as soon as they exist.
        g_hHighlightBrush = CreateSolidBrush(HIGHLIGHT_COLOR);
        CreateChildWindows(window);
        if (g_ShowPropsInColor)
            SetMenuCheck(window, ID_VIEW_PROPSINCOLOR, true);
        return 0;
    case WM_SIZE:
        g_WindowWidth = LOWORD(lParam);
        g_WindowHeight = HIWORD(lParam);
        LayoutPanelsForMode(g_WindowWidth, g_WindowHeight);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            CancelPrimitiveCreation();
        return 0;
    case WM_COMMAND:
        if (HandleCommand(window, LOWORD(wParam)))
            return 0;
        break;
    case WM_DESTROY:
        if (g_hHighlightBrush) {
            DeleteObject(g_hHighlightBrush);
            g_hHighlightBrush = nullptr;
        }
        ForgetChildWindows();
        if (window == g_hMainWnd)
            g_hMainWnd = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
