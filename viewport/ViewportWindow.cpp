#include "viewport/ViewportWindow.h"

#include <windowsx.h>
#include <GL/gl.h>

#include <string>

#include "app/MainWindow.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "viewport/Camera.h"
#include "viewport/CreationInput.h"
#include "viewport/GLContext.h"
#include "viewport/ObjectSelection.h"
#include "viewport/ObjectTransform.h"
#include "viewport/PainterInput.h"
#include "viewport/PlotterInput.h"
#include "viewport/PropTransform.h"
#include "viewport/VertexTools.h"
#include "viewport/ViewportState.h"

namespace {

const WPARAM KEY_R = 0x52;

bool IsKeyDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
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

void PressLeft(HWND window, int x, int y)
{
    const bool control = IsKeyDown(VK_CONTROL);
    if (!control && !g_OperationSelection.empty()) {
        g_OperationSelection.clear();
        g_Hooks.UpdateCSGMenuState();
    }
    DebugLog(L"WM_LBUTTONDOWN: Mode=" + std::to_wstring(g_CurrentMode) + L" Tool=" + std::to_wstring(g_CurrentTool) +
             L" SelectedProp=" + std::to_wstring(g_SelectedPropInstance));
    if (g_CurrentMode == MODE_PAINTER) {
        PressPainter(window, x, y, IsKeyDown(VK_SHIFT));
        return;
    }
    if (g_CurrentMode == MODE_PLOTTER) {
        PressPlotter(window, x, y);
        return;
    }
    if (g_CurrentMode == MODE_VERTEX_EDITOR) {
        PressVertexEditor(window, x, y);
        return;
    }
    if (g_CurrentMode != MODE_MODELLER)
        return;
    if (g_CreateStage != STAGE_NONE)
        ClickCreation();
    else
        PressModeller(window, x, y, control);
}

void ReleaseLeft(HWND window, int y)
{
    g_IsCreateDragging = false;
    ReleaseCapture();
    if (g_IsDraggingGizmo) {
        g_IsDraggingGizmo = false;
        g_GizmoAxis = -1;
        InvalidateRect(window, nullptr, FALSE);
    }
    if (g_CurrentMode == MODE_MODELLER)
        ReleaseCreation(y);
}

void ReleaseRight()
{
    g_IsRightDragging = false;
    ReleaseCapture();
}

void ReleaseMiddle()
{
    g_IsMiddleDragging = false;
    ReleaseCapture();
}

// A release can be lost (outside the window without capture, a dialog in
// between): a move without the button that started a drag ends that drag as
// its release would. The height stage of creation is no drag.
void EndStuckDrags(HWND window, WPARAM buttons, int y)
{
    if ((g_IsDraggingGizmo || g_IsCreateDragging) && !(buttons & MK_LBUTTON))
        ReleaseLeft(window, y);
    if (g_IsRightDragging && !(buttons & MK_RBUTTON))
        ReleaseRight();
    if (g_IsMiddleDragging && !(buttons & MK_MBUTTON))
        ReleaseMiddle();
}

bool IsCreationMove()
{
    return g_CurrentMode == MODE_MODELLER &&
           ((g_CreateStage == STAGE_BASE && g_IsCreateDragging) || g_CreateStage == STAGE_HEIGHT);
}

// One move goes to the first of: the Vertex Editor's vertex drag, an object
// or prop gizmo drag, a creation stage, the camera; the Painter's hover comes
// first in its mode.
void MoveMouse(HWND window, WPARAM buttons, int x, int y)
{
    EndStuckDrags(window, buttons, y);
    if (g_CurrentMode == MODE_PAINTER && !g_IsRightDragging && !g_IsMiddleDragging)
        HoverPainter(window, x, y);
    if (IsVertexDragActive())
        DragSelectedVertices(window, x, y);
    else if (g_IsDraggingGizmo && IsValidObjectIndex(g_SelectedObjectIndex))
        DragObjectGizmo(x, y);
    else if (g_IsDraggingGizmo && g_CurrentMode == MODE_PLOTTER && IsValidPropInstanceIndex(g_SelectedPropInstance))
        DragPropGizmo(x, y);
    else if (IsCreationMove())
        MoveCreation(x, y);
    else
        MoveCamera(x - g_LastMouseX, y - g_LastMouseY);

    if (g_CurrentMode == MODE_PLOTTER && g_CurrentTool == TOOL_PLOT && g_SelectedPropBrush >= 0 &&
        !g_IsRightDragging && !g_IsMiddleDragging && !g_IsDraggingGizmo) {
        g_PreviewMouseX = x;
        g_PreviewMouseY = y;
        InvalidateRect(window, nullptr, FALSE);
    }
    g_LastMouseX = x;
    g_LastMouseY = y;
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
            CancelPrimitiveCreation();
        else if (wParam == KEY_R && IsKeyDown(VK_CONTROL))
            ResetCamera();
        return 0;
    case WM_MOUSEMOVE:
        MoveMouse(window, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        PressLeft(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        ReleaseLeft(window, GET_Y_LPARAM(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        g_IsRightDragging = true;
        g_LastMouseX = GET_X_LPARAM(lParam);
        g_LastMouseY = GET_Y_LPARAM(lParam);
        SetCapture(window);
        return 0;
    case WM_RBUTTONUP:
        ReleaseRight();
        return 0;
    case WM_MBUTTONDOWN:
        g_IsMiddleDragging = true;
        g_LastMouseX = GET_X_LPARAM(lParam);
        g_LastMouseY = GET_Y_LPARAM(lParam);
        SetCapture(window);
        return 0;
    case WM_MBUTTONUP:
        ReleaseMiddle();
        return 0;
    case WM_MOUSEWHEEL:
        ZoomCamera(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
