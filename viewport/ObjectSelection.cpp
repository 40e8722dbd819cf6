#include "viewport/ObjectSelection.h"

#include <algorithm>
#include <string>

#include "app/WinGlobals.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "viewport/CreationInput.h"
#include "viewport/GizmoHit.h"
#include "viewport/ObjectTransform.h"
#include "viewport/Picking.h"

namespace {

bool IsTransformTool(int tool)
{
    return tool == TOOL_MOVE || tool == TOOL_ROTATE || tool == TOOL_SCALE;
}

bool Contains(const std::vector<int>& list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

void RemoveValue(std::vector<int>& list, int value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

// Shows the primary in the tree; the guard keeps the tree from reporting it
// back as a new selection.
void MirrorSelectionInTree()
{
    g_TreeSelectionGuard = true;
    if (g_SelectedObjectIndex >= 0)
        g_Hooks.SelectTreeItemByObjectIndex(g_SelectedObjectIndex);
    else
        g_Hooks.ClearTreeSelection();
    g_TreeSelectionGuard = false;
}

// After the selection has changed: menus, properties and both views.
void RefreshAfterSelection()
{
    g_Hooks.UpdateCSGMenuState();
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.InvalidateViewport();
    if (g_hTreeView)
        InvalidateRect(g_hTreeView, nullptr, TRUE);
}

void ClearObjectSelection()
{
    g_SelectedObjects.clear();
    g_SelectedObjectIndex = -1;
    MirrorSelectionInTree();
    RefreshAfterSelection();
}

void ToggleOperand(int index)
{
    DebugLog(L"CTRL+Click: Operation selection");
    g_SelectedObjectIndex = -1;
    DebugLog(L"CLEAR: Operation selection (viewport)");
    g_SelectedObjects.clear();
    g_SelectedGroup = -1;
    if (Contains(g_OperationSelection, index)) {
        RemoveValue(g_OperationSelection, index);
        DebugLog(L"  Removed object " + std::to_wstring(index) + L" from operation selection");
    } else {
        g_OperationSelection.push_back(index);
        DebugLog(L"  Added object " + std::to_wstring(index) + L" to operation selection");
    }
    RefreshAfterSelection();
}

void ToggleSelected(int index)
{
    DebugLog(L"SHIFT+Click: Before - g_SelectedObjects.size()=" + std::to_wstring(g_SelectedObjects.size()));
    if (Contains(g_SelectedObjects, index)) {
        DebugLog(L"  Deselecting object " + std::to_wstring(index));
        RemoveValue(g_SelectedObjects, index);
        if (g_SelectedObjectIndex == index)
            g_SelectedObjectIndex = g_SelectedObjects.empty() ? -1 : g_SelectedObjects.front();
    } else {
        DebugLog(L"  Adding object " + std::to_wstring(index) + L" to selection");
        g_SelectedObjects.push_back(index);
        g_SelectedObjectIndex = index;
    }
    DebugLog(L"SHIFT+Click: After - g_SelectedObjects.size()=" + std::to_wstring(g_SelectedObjects.size()));
    MirrorSelectionInTree();
    RefreshAfterSelection();
}

void SelectOnly(int index)
{
    g_SelectedObjects.assign(1, index);
    g_SelectedObjectIndex = index;
    MirrorSelectionInTree();
    RefreshAfterSelection();
}

// A click with the Select tool. True when the press is fully handled.
bool ClickToSelect(int x, int y, bool control, bool shift)
{
    const int index = PickObject(x, y);
    if (!IsValidObjectIndex(index)) {
        if (!control && !shift) {
            DebugLog(L"CLEAR: Clicked empty space (LBUTTONDOWN)");
            ClearObjectSelection();
        }
        return false;
    }
    if (control) {
        ToggleOperand(index);
    } else if (shift) {
        ToggleSelected(index);
    } else {
        DebugLog(L"Regular Click: Replacing selection with object " + std::to_wstring(index));
        DebugLog(L"CLEAR: Regular viewport click (LBUTTONDOWN)");
        SelectOnly(index);
    }
    return true;
}

// A press with a transform tool on the visible primary: a handle starts a
// drag, another object's body (or the primary's) selects that object.
void PressWithTransformTool(HWND window, int x, int y)
{
    const SceneObject& primary = g_SceneObjects[g_SelectedObjectIndex];
    const int axis = HitBoxGizmo(x, y, Vec3f(primary.minX, primary.minY, primary.minZ),
                                 Vec3f(primary.maxX, primary.maxY, primary.maxZ), primary.rotation, g_CurrentTool);
    if (axis >= 0) {
        BeginObjectGizmoDrag(window, x, y, axis);
        return;
    }
    const int index = PickObject(x, y);
    if (!IsValidObjectIndex(index))
        return;
    g_SelectedGroup = -1;
    DebugLog(L"CLEAR: Picked different object during tool mode (LBUTTONDOWN)");
    SelectOnly(index);
}

} // namespace

void PressModeller(HWND window, int x, int y, bool control)
{
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (!g_IsInCreateMode && g_CurrentTool == TOOL_SELECT && ClickToSelect(x, y, control, shift))
        return;

    if (g_IsInCreateMode) {
        StartCreationBaseDrag(window, x, y);
    } else {
        DebugLog(L"CHECK: g_IsInCreateMode=0");
        const bool primaryShown =
            IsValidObjectIndex(g_SelectedObjectIndex) && g_SceneObjects[g_SelectedObjectIndex].visible;
        if (IsTransformTool(g_CurrentTool) && primaryShown)
            PressWithTransformTool(window, x, y);
    }

    DebugLog(L"DEBUG: Reached prop gizmo check. Mode=" + std::to_wstring(g_CurrentMode) +
             L" Tool=" + std::to_wstring(g_CurrentTool) + L" SelectedProp=" + std::to_wstring(g_SelectedPropInstance));
    if (g_CurrentTool != TOOL_SELECT || g_IsInCreateMode)
        return;
    // A Select click that reached this point picked nothing: it clears once
    // more, the second pick writing its own trace.
    g_SelectedGroup = -1;
    PickObject(x, y);
    DebugLog(L"CLEAR: Regular click in LBUTTONUP (TOOL_SELECT)");
    ClearObjectSelection();
}
