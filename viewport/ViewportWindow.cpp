#include "viewport/ViewportWindow.h"

#include <windowsx.h>
#include <GL/gl.h>

#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "viewport/Camera.h"
#include "viewport/GLContext.h"
#include "viewport/ViewportState.h"

namespace {

const WPARAM KEY_R = 0x52;

bool IsKeyDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

void CancelCreation(HWND window)
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
    InvalidateRect(window, nullptr, FALSE);
}

// Right drags orbit, or pan with Shift (along the ground with Shift and
// Ctrl); middle drags pan. Camera moves request no repaint: the main loop
// draws every pass.
void MoveCamera(int dx, int dy)
{
    const bool shift = IsKeyDown(VK_SHIFT);
    const bool control = IsKeyDown(VK_CONTROL);
    if (g_IsRightDragging) {
        if (shift && control)
            PanCameraOnGround(static_cast<float>(dx), static_cast<float>(dy));
        else if (shift)
            PanCamera(static_cast<float>(-dx), static_cast<float>(dy));
        else
            OrbitCamera(static_cast<float>(dx), static_cast<float>(-dy));
    } else if (g_IsMiddleDragging) {
        PanCamera(static_cast<float>(-dx), static_cast<float>(dy));
    }
}

} // namespace

LRESULT CALLBACK ViewportWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        InitOpenGL(window);
        return 0;
    case WM_DESTROY:
        ReleaseOpenGL(window);
        return 0;
    case WM_SIZE: {
        const int width = LOWORD(lParam);
        const int height = HIWORD(lParam);
        if (IsViewportContextReady())
            glViewport(0, 0, width, height == 0 ? 1 : height);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            CancelCreation(window);
        else if (wParam == KEY_R && IsKeyDown(VK_CONTROL))
            ResetCamera();
        return 0;
    case WM_MOUSEMOVE: {
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        MoveCamera(x - g_LastMouseX, y - g_LastMouseY);
        g_LastMouseX = x;
        g_LastMouseY = y;
        return 0;
    }
    case WM_RBUTTONDOWN:
        g_IsRightDragging = true;
        g_LastMouseX = GET_X_LPARAM(lParam);
        g_LastMouseY = GET_Y_LPARAM(lParam);
        SetCapture(window);
        return 0;
    case WM_RBUTTONUP:
        g_IsRightDragging = false;
        ReleaseCapture();
        return 0;
    case WM_MBUTTONDOWN:
        g_IsMiddleDragging = true;
        g_LastMouseX = GET_X_LPARAM(lParam);
        g_LastMouseY = GET_Y_LPARAM(lParam);
        SetCapture(window);
        return 0;
    case WM_MBUTTONUP:
        g_IsMiddleDragging = false;
        ReleaseCapture();
        return 0;
    case WM_MOUSEWHEEL:
        ZoomCamera(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
