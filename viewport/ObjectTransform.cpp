#include "viewport/ObjectTransform.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "viewport/HandleDrag.h"
#include "viewport/ViewportState.h"

std::vector<DragStartState> g_DragStartStates;
int g_DragStartMouseX = 0, g_DragStartMouseY = 0;
Vec3f g_DragCenter;
Vec3f g_DragStartMin, g_DragStartMax;
Vec3f g_DragStartRotation;
int g_LastRotationSteps = -9999;

namespace {

const float PIXELS_PER_ROTATION_STEP = 50.0f;
const float MIN_UNSNAPPED_SIZE = 0.1f;

bool IsGroupSelected()
{
    return g_SelectedGroup >= 0 && g_SelectedGroup < static_cast<int>(g_Groups.size());
}

float& Component(Vec3f& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

Vec3f Plus(const Vec3f& a, const Vec3f& b)
{
    return Vec3f(a.x + b.x, a.y + b.y, a.z + b.z);
}

Vec3f Minus(const Vec3f& a, const Vec3f& b)
{
    return Vec3f(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vec3f Scaled(const Vec3f& v, float k)
{
    return Vec3f(v.x * k, v.y * k, v.z * k);
}

Vec3f Times(const Vec3f& a, const Vec3f& b)
{
    return Vec3f(a.x * b.x, a.y * b.y, a.z * b.z);
}

Vec3f AtLeast(const Vec3f& v, float floor)
{
    return Vec3f(std::max(floor, v.x), std::max(floor, v.y), std::max(floor, v.z));
}

void RotateDrag(int x, int y)
{
    SceneObject& primary = g_SceneObjects[g_SelectedObjectIndex];
    const int axis = g_GizmoAxis;
    const int pixels = axis == 1 ? x - g_DragStartMouseX : g_DragStartMouseY - y;
    const float increments = static_cast<float>(pixels / static_cast<double>(PIXELS_PER_ROTATION_STEP));
    const int steps = static_cast<int>(std::round(increments));
    const float degrees = static_cast<float>(steps) * g_RotationStep;
    if (steps != g_LastRotationSteps) {
        g_LastRotationSteps = steps;
        DebugLog(L"ROT: pixels=" + std::to_wstring(pixels) + L" inc=" + std::to_wstring(increments) +
                 L" rounded=" + std::to_wstring(steps) + L" deg=" + std::to_wstring(degrees) +
                 L" step=" + std::to_wstring(g_RotationStep));
    }
    Vec3f rotation = primary.rotation;
    Component(rotation, axis) = Component(g_DragStartRotation, axis) + degrees;
    SetObjectRotation(primary, rotation);
    DebugLog(L"OBJ ROT GIZMO: After drag - rotX=" + std::to_wstring(rotation.x) + L" rotY=" +
             std::to_wstring(rotation.y) + L" rotZ=" + std::to_wstring(rotation.z) + L" degrees=" +
             std::to_wstring(degrees) + L" step=" + std::to_wstring(g_RotationStep));
    if (!IsGroupSelected())
        return;
    // Each member turns about its own centre.
    for (DragStartState& start : g_DragStartStates) {
        if (start.objectIndex == g_SelectedObjectIndex || !IsValidObjectIndex(start.objectIndex))
            continue;
        SceneObject& member = g_SceneObjects[start.objectIndex];
        Vec3f memberRotation = member.rotation;
        Component(memberRotation, axis) = Component(start.startRotation, axis) + degrees;
        SetObjectRotation(member, memberRotation);
    }
}

void MoveDrag(const Vec3f& move)
{
    StoreBounds(g_SceneObjects[g_SelectedObjectIndex], Plus(g_DragCenter, move),
                Minus(g_DragStartMax, g_DragStartMin));
    if (!IsGroupSelected())
        return;
    for (const DragStartState& start : g_DragStartStates)
        if (start.objectIndex != g_SelectedObjectIndex && IsValidObjectIndex(start.objectIndex))
            StoreBounds(g_SceneObjects[start.objectIndex], Plus(start.startCenter, move),
                        Minus(start.startMax, start.startMin));
}

void ScaleDrag(float amount)
{
    const Vec3f startSize = Minus(g_DragStartMax, g_DragStartMin);
    Vec3f size = startSize;
    const float growth = 2.0f * amount;
    if (g_LinkScaling)
        size = Plus(size, Vec3f(growth, growth, growth));
    else
        Component(size, g_GizmoAxis) += growth;
    const float floor = g_SnapToGrid ? g_GridCellSize : MIN_UNSNAPPED_SIZE;
    const Vec3f newSize = AtLeast(size, floor);
    StoreBounds(g_SceneObjects[g_SelectedObjectIndex], g_DragCenter, newSize);
    if (!IsGroupSelected())
        return;
    const Vec3f ratio(startSize.x > 0.001f ? newSize.x / startSize.x : 1.0f,
                      startSize.y > 0.001f ? newSize.y / startSize.y : 1.0f,
                      startSize.z > 0.001f ? newSize.z / startSize.z : 1.0f);
    for (const DragStartState& start : g_DragStartStates) {
        if (start.objectIndex == g_SelectedObjectIndex || !IsValidObjectIndex(start.objectIndex))
            continue;
        const Vec3f centre = Plus(g_DragCenter, Times(Minus(start.startCenter, g_DragCenter), ratio));
        StoreBounds(g_SceneObjects[start.objectIndex], centre,
                    AtLeast(Times(Minus(start.startMax, start.startMin), ratio), floor));
    }
}

} // namespace

void BeginObjectGizmoDrag(HWND window, int x, int y, int axis)
{
    const SceneObject& primary = g_SceneObjects[g_SelectedObjectIndex];
    SaveUndoState();
    g_IsDraggingGizmo = true;
    g_GizmoAxis = axis;
    g_DragCenter = BoundsCentre(primary);
    g_DragStartMin = Vec3f(primary.minX, primary.minY, primary.minZ);
    g_DragStartMax = Vec3f(primary.maxX, primary.maxY, primary.maxZ);
    g_DragStartRotation = primary.rotation;
    g_DragStartMouseX = x;
    g_DragStartMouseY = y;
    g_DragStartStates.clear();
    if (IsGroupSelected()) {
        for (int index : g_SelectedObjects) {
            if (!IsValidObjectIndex(index))
                continue;
            const SceneObject& member = g_SceneObjects[index];
            g_DragStartStates.push_back({index, BoundsCentre(member), Vec3f(member.minX, member.minY, member.minZ),
                                         Vec3f(member.maxX, member.maxY, member.maxZ), member.rotation});
        }
    }
    g_IsCreateDragging = true;
    g_LastMouseX = x;
    g_LastMouseY = y;
    SetCapture(window);
    InvalidateRect(window, nullptr, FALSE);
}

void DragObjectGizmo(int x, int y)
{
    if (g_CurrentTool == TOOL_ROTATE) {
        RotateDrag(x, y);
    } else if (g_CurrentTool == TOOL_MOVE || g_CurrentTool == TOOL_SCALE) {
        const Vec3f direction = HandleDirection(g_GizmoAxis, g_DragStartRotation);
        float amount = 0.0f;
        if (!HandleDragAmount(x, y, g_DragStartMouseX, g_DragStartMouseY, g_DragCenter, direction, &amount))
            return;
        if (g_CurrentTool == TOOL_MOVE)
            MoveDrag(Scaled(direction, amount));
        else
            ScaleDrag(amount);
    }
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.InvalidateViewport();
}
