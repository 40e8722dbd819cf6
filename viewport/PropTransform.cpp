#include "viewport/PropTransform.h"

#include <cmath>
#include <string>

#include "app/WinGlobals.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "viewport/GizmoHit.h"
#include "viewport/HandleDrag.h"
#include "viewport/ObjectTransform.h"
#include "viewport/Picking.h"
#include "viewport/PlotterInput.h"
#include "viewport/ViewportState.h"

Vec3f g_PropDragStartPosition;
Vec3f g_PropDragStartRotation;
Vec3f g_PropDragStartScale(1.0f, 1.0f, 1.0f);
Vec3f g_PropDragStartMin, g_PropDragStartMax;
bool g_PropDragLogged = false;

namespace {

const double PIXELS_PER_ROTATION_STEP = 50.0;
const float MIN_UNSNAPPED_SIZE = 0.1f;

float& Component(Vec3f& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

Vec3f StartCentre()
{
    return Vec3f((g_PropDragStartMin.x + g_PropDragStartMax.x) / 2, (g_PropDragStartMin.y + g_PropDragStartMax.y) / 2,
                 (g_PropDragStartMin.z + g_PropDragStartMax.z) / 2);
}

// The scale and rotate drags follow the cursor itself, not the message.
POINT CursorInViewport()
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(g_hViewport, &cursor);
    return cursor;
}

void BeginPropDrag(HWND window, int x, int y, int axis)
{
    const PropInstance& instance = g_PropInstances[g_SelectedPropInstance];
    DebugLog(L"PROP GIZMO CLICKED: axis=" + std::to_wstring(axis));
    g_IsDraggingGizmo = true;
    g_GizmoAxis = axis;
    g_DragStartMouseX = x;
    g_DragStartMouseY = y;
    g_PropDragStartPosition = instance.position;
    g_PropDragStartRotation = instance.rotation;
    g_PropDragStartScale = instance.scale;
    const Bounds3f& b = instance.worldBounds;
    g_PropDragStartMin = Vec3f(b.minX, b.minY, b.minZ);
    g_PropDragStartMax = Vec3f(b.maxX, b.maxY, b.maxZ);
    g_IsCreateDragging = true;
    g_LastMouseX = x;
    g_LastMouseY = y;
    SetCapture(window);
    InvalidateRect(window, nullptr, FALSE);
}

void MoveProp(PropInstance& instance, int x, int y)
{
    DebugLog(L"PROP DRAGGING: In TOOL_MOVE section");
    const Vec3f direction = HandleDirection(g_GizmoAxis, g_PropDragStartRotation);
    float amount = 0.0f;
    if (!HandleDragAmount(x, y, g_DragStartMouseX, g_DragStartMouseY, StartCentre(), direction, &amount))
        return;
    const Vec3f& start = g_PropDragStartPosition;
    instance.position = Vec3f(start.x + amount * direction.x, start.y + amount * direction.y,
                              start.z + amount * direction.z);
    const Vec3f& p = instance.position;
    DebugLog(L"PROP DRAGGING: movement=" + std::to_wstring(amount) + L" newPos=(" + std::to_wstring(p.x) + L"," +
             std::to_wstring(p.y) + L"," + std::to_wstring(p.z) + L")");
    instance.gridCellSize = g_GridCellSize;
    const Vec3f shift(p.x - start.x, p.y - start.y, p.z - start.z);
    const Vec3f& low = g_PropDragStartMin;
    const Vec3f& high = g_PropDragStartMax;
    instance.worldBounds = BoundsBetween(Vec3f(low.x + shift.x, low.y + shift.y, low.z + shift.z),
                                         Vec3f(high.x + shift.x, high.y + shift.y, high.z + shift.z));
}

void ScaleProp(PropInstance& instance)
{
    DebugLog(L"PROP DRAGGING: In TOOL_SCALE section");
    const int axis = g_GizmoAxis;
    const Vec3f direction(axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f, axis == 2 ? 1.0f : 0.0f);
    double projectedX = 0.0, projectedY = 0.0;
    if (!ProjectHandle(StartCentre(), direction, &projectedX, &projectedY))
        return;
    float sx = static_cast<float>(projectedX), sy = static_cast<float>(projectedY);
    const float length = std::sqrt(sx * sx + sy * sy);
    if (length > 0.001f) {
        sx /= length;
        sy /= length;
    }
    const POINT cursor = CursorInViewport();
    float growth = ((cursor.x - g_DragStartMouseX) * sx + (g_DragStartMouseY - cursor.y) * sy) * g_CameraDistance *
                   0.01f * 2.0f;
    if (g_SnapToGrid)
        growth = std::round(growth / g_GridCellSize) * g_GridCellSize;
    const float floor = g_SnapToGrid ? g_GridCellSize : MIN_UNSNAPPED_SIZE;
    ScalePropFromStart(instance, g_PropDragStartScale, g_PropDragStartMin, g_PropDragStartMax, axis, growth, g_LinkScaling, floor);
}

void RotateProp(PropInstance& instance)
{
    DebugLog(L"PROP DRAGGING: In TOOL_ROTATE section");
    const int axis = g_GizmoAxis;
    const POINT cursor = CursorInViewport();
    const int pixels = axis == 1 ? cursor.x - g_DragStartMouseX : g_DragStartMouseY - cursor.y;
    const int steps = static_cast<int>(std::round(static_cast<float>(pixels / PIXELS_PER_ROTATION_STEP)));
    const float degrees = static_cast<float>(steps) * g_RotationStep;
    Vec3f rotation = instance.rotation;
    Component(rotation, axis) = Component(g_PropDragStartRotation, axis) + degrees;
    instance.rotation = rotation;
    DebugLog(L"PROP ROT GIZMO: After drag - rotX=" + std::to_wstring(rotation.x) + L" rotY=" +
             std::to_wstring(rotation.y) + L" rotZ=" + std::to_wstring(rotation.z) + L" degrees=" +
             std::to_wstring(degrees) + L" step=" + std::to_wstring(g_RotationStep));
}

} // namespace

void PressPropGizmo(HWND window, int x, int y)
{
    if (!IsValidPropInstanceIndex(g_SelectedPropInstance) || !g_PropInstances[g_SelectedPropInstance].visible)
        return;
    DebugLog(L"PLOTTER GIZMO: Testing gizmo hit for prop " + std::to_wstring(g_SelectedPropInstance) + L" tool=" +
             std::to_wstring(g_CurrentTool));
    const PropInstance& instance = g_PropInstances[g_SelectedPropInstance];
    const Bounds3f& b = instance.worldBounds;
    const int axis = HitBoxGizmo(x, y, Vec3f(b.minX, b.minY, b.minZ), Vec3f(b.maxX, b.maxY, b.maxZ),
                                 instance.rotation, g_CurrentTool, HANDLE_CLOSEST_TO_RAY);
    if (axis >= 0) {
        BeginPropDrag(window, x, y, axis);
        return;
    }
    const int picked = PickPropInstance(x, y);
    if (picked >= 0)
        SelectPropInstance(picked, false);
}

void DragPropGizmo(int x, int y)
{
    if (!g_PropDragLogged) {
        DebugLog(L"PROP DRAGGING: Entered prop gizmo drag handler");
        g_PropDragLogged = true;
    }
    PropInstance& instance = g_PropInstances[g_SelectedPropInstance];
    if (g_CurrentTool == TOOL_MOVE)
        MoveProp(instance, x, y);
    else if (g_CurrentTool == TOOL_SCALE)
        ScaleProp(instance);
    else if (g_CurrentTool == TOOL_ROTATE)
        RotateProp(instance);
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.InvalidateViewport();
}
