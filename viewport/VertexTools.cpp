#include "viewport/VertexTools.h"

#include <algorithm>
#include <cfloat>
#include <string>
#include <utility>
#include <vector>

#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "scene/VertexEdit.h"
#include "ui/MeshConversion.h"
#include "viewport/GizmoHit.h"
#include "viewport/HandleDrag.h"
#include "viewport/ObjectTransform.h"
#include "viewport/Picking.h"
#include "viewport/ViewProjection.h"

namespace {

const float VERTEX_GIZMO_LENGTH = 1.5f;
const float EDGE_PICK_DISTANCE = 0.5f;
const float EDGE_END_MARGIN = 0.01f;


bool IsShiftDown()
{
    return (GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

void InvalidateView(HWND window)
{
    InvalidateRect(window, nullptr, FALSE);
}

void ClearVertexSelection()
{
    g_SelectedVertices.clear();
    g_SelectedVertexObject = -1;
    g_SelectedVertexIndex = -1;
}

std::wstring ConvertedForDragLine(const SceneObject& object)
{
    return L"Converted " + object.name + L" to mesh";
}

std::wstring ConvertedOnClickLine(const SceneObject& object)
{
    return L"Converted primitive to mesh: " + object.name;
}

// Before an edit of a primitive's vertices: one snapshot, the "[Mesh] "
// name, no log line (the edit's own lines follow).
void ConvertBeforeEdit(int index)
{
    if (IsValidObjectIndex(index) && !g_SceneObjects[index].isCSGMesh)
        ConvertObjectsToMeshes({index}, MeshConversionRule());
}

std::vector<int> PrimitiveOwnersOfSelection()
{
    std::vector<int> owners;
    for (const auto& [object, vertex] : g_SelectedVertices)
        if (IsValidObjectIndex(object) && !g_SceneObjects[object].isCSGMesh &&
            std::find(owners.begin(), owners.end(), object) == owners.end())
            owners.push_back(object);
    return owners;
}

// A press on one of the three axes at the selection's centroid starts a
// drag (primitive owners converted first, after asking). True when the press
// ends here.
bool PressVertexGizmo(HWND window, int x, int y)
{
    Vec3f centroid;
    if (!SelectedVertexCentroid(&centroid))
        return false;
    int axis = -1;
    float t = FLT_MAX;
    const bool hit = PickGizmoAxis(x, y, centroid.x, centroid.y, centroid.z, VERTEX_GIZMO_LENGTH, &axis, &t);
    if (!hit) {
        axis = -1;
        t = FLT_MAX;
    }
    DebugLog(L"Vertex gizmo test at centroid: pickedAxis=" + std::to_wstring(axis) + L", dist=" + std::to_wstring(t));
    if (!hit)
        return false;
    DebugLog(L"VERTEX GIZMO CLICKED: axis=" + std::to_wstring(axis) + L", selected vertices: " +
             std::to_wstring(g_SelectedVertices.size()));

    const std::vector<int> primitives = PrimitiveOwnersOfSelection();
    if (!primitives.empty()) {
        const std::wstring prompt =
            VertexEditingQuestion(L"One or more selected vertices belong to primitive objects.\n\n",
                                  L"they must be converted to meshes.");
        MeshConversionRule rule;
        rule.logLine = ConvertedForDragLine;
        if (!AskAndConvertToMeshes(window, prompt, primitives, rule))
            return true;
    }
    g_IsDraggingGizmo = true;
    g_GizmoAxis = axis;
    g_DragStartMouseX = x;
    g_DragStartMouseY = y;
    g_DragCenter = centroid;
    // Like the object drag: moves outside the window still arrive, and a
    // move without the button ends the drag.
    SetCapture(window);
    return true;
}

void SplitSelectedEdge(HWND window, int x, int y)
{
    const auto [objectIndex, a] = g_SelectedVertices[0];
    const auto [otherObject, b] = g_SelectedVertices[1];
    if (objectIndex != otherObject || !IsValidObjectIndex(objectIndex))
        return;
    ConvertBeforeEdit(objectIndex);
    SceneObject& object = g_SceneObjects[objectIndex];
    if (!AreVerticesConnected(object.F, a, b) || a >= object.V.rows() || b >= object.V.rows() || a < 0 || b < 0) {
        DebugLog(L"ADD VERTEX: Selected vertices are not connected");
        return;
    }
    DebugLog(L"ADD VERTEX: Vertices are connected, checking edge proximity");

    const Ray ray = GetRayFromMouse(x, y);
    const Vec3f p0(static_cast<float>(object.V(a, 0)), static_cast<float>(object.V(a, 1)),
                   static_cast<float>(object.V(a, 2)));
    const Vec3f p1(static_cast<float>(object.V(b, 0)), static_cast<float>(object.V(b, 1)),
                   static_cast<float>(object.V(b, 2)));
    EdgeApproach approach{};
    if (!ray.valid || !ApproachRayToEdge(ray, p0, p1, &approach))
        return;
    DebugLog(L"ADD VERTEX: Distance to edge: " + std::to_wstring(approach.distance) + L", s=" +
             std::to_wstring(approach.s));
    if (!(approach.distance < EDGE_PICK_DISTANCE && approach.s > EDGE_END_MARGIN && approach.s < 1.0f - EDGE_END_MARGIN)) {
        DebugLog(L"ADD VERTEX: Click not close enough to edge");
        return;
    }
    DebugLog(L"ADD VERTEX: Adding vertex on edge at s=" + std::to_wstring(approach.s));
    SaveUndoState();
    SceneObject& edited = g_SceneObjects[objectIndex];
    const int added =
        SplitMeshEdge(edited, a, b, Eigen::RowVector3d(approach.point.x, approach.point.y, approach.point.z));
    DebugLog(L"ADD VERTEX: Added vertex " + std::to_wstring(added) + L", mesh now has " +
             std::to_wstring(edited.V.rows()) + L" vertices and " + std::to_wstring(edited.F.rows()) + L" faces");
    InvalidateView(window);
}

void SplitFaceUnderCursor(HWND window, int x, int y)
{
    DebugLog(L"ADD VERTEX: Checking for face hit");
    int objectIndex = -1, face = -1;
    if (!PickFace(x, y, &objectIndex, &face)) {
        DebugLog(L"ADD VERTEX: No face hit");
        return;
    }
    if (!IsValidObjectIndex(objectIndex))
        return;
    DebugLog(L"ADD VERTEX: Hit face " + std::to_wstring(face) + L" on object " + g_SceneObjects[objectIndex].name);
    ConvertBeforeEdit(objectIndex);
    const SceneObject& object = g_SceneObjects[objectIndex];
    if (face < 0 || face >= object.F.rows())
        return;
    Vec3f corners[3];
    for (int k = 0; k < 3; ++k) {
        const int v = object.F(face, k);
        if (v < 0 || v >= object.V.rows())
            return;
        corners[k] = Vec3f(static_cast<float>(object.V(v, 0)), static_cast<float>(object.V(v, 1)),
                           static_cast<float>(object.V(v, 2)));
    }
    SaveUndoState();
    const Ray ray = GetRayFromMouse(x, y);
    float t = 0.0f;
    if (!ray.valid || !RayIntersectsTriangle(ray, corners[0], corners[1], corners[2], &t))
        return;
    const Vec3f hit(ray.origin.x + t * ray.direction.x, ray.origin.y + t * ray.direction.y,
                    ray.origin.z + t * ray.direction.z);
    DebugLog(L"ADD VERTEX: Hit point at (" + std::to_wstring(hit.x) + L", " + std::to_wstring(hit.y) + L", " +
             std::to_wstring(hit.z) + L")");
    SceneObject& edited = g_SceneObjects[objectIndex];
    const int added = SplitMeshFace(edited, face, Eigen::RowVector3d(hit.x, hit.y, hit.z));
    DebugLog(L"ADD VERTEX: Added vertex " + std::to_wstring(added) + L" on face, mesh now has " +
             std::to_wstring(edited.V.rows()) + L" vertices and " + std::to_wstring(edited.F.rows()) + L" faces");
    InvalidateView(window);
}

void AddVertex(HWND window, int x, int y)
{
    DebugLog(L"ADD VERTEX: Tool active, click detected");
    if (g_SelectedVertices.size() == 2)
        SplitSelectedEdge(window, x, y);
    else
        SplitFaceUnderCursor(window, x, y);
}

void RemoveVertex(HWND window, int objectIndex, int vertex)
{
    DebugLog(L"REMOVE VERTEX: Vertex " + std::to_wstring(vertex) + L" clicked");
    g_SelectedVertices.assign(1, std::make_pair(objectIndex, vertex));
    g_SelectedVertexObject = objectIndex;
    g_SelectedVertexIndex = vertex;
    InvalidateView(window);
    UpdateWindow(window);

    if (ShowMessageBox(window, L"Are you sure you want to remove this vertex?", L"Confirm Vertex Removal",
                       MB_YESNO | MB_ICONQUESTION) == IDYES) {
        DebugLog(L"REMOVE VERTEX: User confirmed removal");
        if (IsValidObjectIndex(objectIndex)) {
            ConvertBeforeEdit(objectIndex);
            SaveUndoState();
            SceneObject& object = g_SceneObjects[objectIndex];
            RemoveMeshVertex(object, vertex);
            DebugLog(L"REMOVE VERTEX: Mesh now has " + std::to_wstring(object.V.rows()) + L" vertices and " +
                     std::to_wstring(object.F.rows()) + L" faces");
        }
    } else {
        DebugLog(L"REMOVE VERTEX: User cancelled removal");
    }
    ClearVertexSelection();
    g_Hooks.UpdateVertexPropertiesPanel();
    InvalidateView(window);
}

void SelectVertex(HWND window, int objectIndex, int vertex, bool shift)
{
    const std::pair<int, int> pair(objectIndex, vertex);
    if (shift) {
        const auto found = std::find(g_SelectedVertices.begin(), g_SelectedVertices.end(), pair);
        if (found != g_SelectedVertices.end()) {
            g_SelectedVertices.erase(found);
            g_SelectedVertexObject = g_SelectedVertices.empty() ? -1 : g_SelectedVertices.front().first;
            g_SelectedVertexIndex = g_SelectedVertices.empty() ? -1 : g_SelectedVertices.front().second;
            DebugLog(L"Removed vertex " + std::to_wstring(vertex) + L" from selection (remaining: " +
                     std::to_wstring(g_SelectedVertices.size()) + L")");
        } else {
            g_SelectedVertices.push_back(pair);
            if (g_SelectedVertices.size() == 1) {
                g_SelectedVertexObject = objectIndex;
                g_SelectedVertexIndex = vertex;
            }
            DebugLog(L"Added vertex " + std::to_wstring(vertex) + L" to selection (total: " +
                     std::to_wstring(g_SelectedVertices.size()) + L")");
        }
    } else {
        g_SelectedVertices.assign(1, pair);
        g_SelectedVertexObject = objectIndex;
        g_SelectedVertexIndex = vertex;
        const std::wstring name = IsValidObjectIndex(objectIndex) ? g_SceneObjects[objectIndex].name : L"";
        DebugLog(L"Selected vertex " + std::to_wstring(vertex) + L" on object: " + name);
    }
    g_Hooks.UpdateVertexPropertiesPanel();
    InvalidateView(window);
}

void ClearTreeSelectionGuarded()
{
    g_TreeSelectionGuard = true;
    g_Hooks.ClearTreeSelection();
    g_TreeSelectionGuard = false;
}

// A click on an object shows its vertices (a primitive after converting it);
// a plain click on empty space clears both selections.
void ClickObject(HWND window, int x, int y, bool shift)
{
    int objectIndex = -1, face = -1;
    if (!PickFace(x, y, &objectIndex, &face)) {
        if (shift)
            return;
        ClearVertexSelection();
        g_SelectedObjectIndex = -1;
        g_SelectedObjects.clear();
        ClearTreeSelectionGuarded();
        g_Hooks.UpdatePropertiesPanel();
        g_Hooks.UpdateVertexPropertiesPanel();
        InvalidateView(window);
        return;
    }
    g_SelectedObjectIndex = objectIndex;
    g_SelectedObjects.assign(1, objectIndex);
    ClearVertexSelection();
    // The position rows follow the emptied vertex selection.
    g_Hooks.UpdateVertexPropertiesPanel();

    if (IsValidObjectIndex(objectIndex) && !g_SceneObjects[objectIndex].isCSGMesh) {
        const std::wstring prompt =
            VertexEditingQuestion(PrimitivesLead({objectIndex}), L"it must be converted to a mesh.");
        MeshConversionRule rule;
        rule.prefixName = false;
        rule.logLine = ConvertedOnClickLine;
        if (!AskAndConvertToMeshes(g_hMainWnd, prompt, {objectIndex}, rule)) {
            g_SelectedObjectIndex = -1;
            g_SelectedObjects.clear();
            ClearTreeSelectionGuarded();
            DebugLog(L"User cancelled conversion - cleared selection");
            g_Hooks.UpdatePropertiesPanel();
            InvalidateView(window);
            return;
        }
    }
    g_Hooks.UpdatePropertiesPanel();
    // Unguarded: the hierarchy's own selection handling runs.
    g_Hooks.SelectTreeItemByObjectIndex(objectIndex);
    InvalidateView(window);
    DebugLog(L"Vertex mode: Selected object " + std::to_wstring(objectIndex) + L" - vertices now visible");
}

} // namespace

void PressVertexEditor(HWND window, int x, int y)
{
    if (!g_SelectedVertices.empty() && g_CurrentTool == TOOL_MOVE && PressVertexGizmo(window, x, y))
        return;
    if (g_CurrentTool == TOOL_ADD_VERTEX) {
        AddVertex(window, x, y);
        return;
    }
    const bool shift = IsShiftDown();
    int objectIndex = -1;
    const int vertex = PickVertex(x, y, &objectIndex);
    if (vertex >= 0 && g_CurrentTool == TOOL_REMOVE_VERTEX)
        RemoveVertex(window, objectIndex, vertex);
    else if (vertex >= 0)
        SelectVertex(window, objectIndex, vertex, shift);
    else
        ClickObject(window, x, y, shift);
}

bool IsVertexDragActive()
{
    return g_CurrentMode == MODE_VERTEX_EDITOR && g_IsDraggingGizmo && !g_SelectedVertices.empty() &&
           g_CurrentTool == TOOL_MOVE;
}

void DragSelectedVertices(HWND window, int x, int y)
{
    DebugLog(L"VERTEX DRAGGING: Moving " + std::to_wstring(g_SelectedVertices.size()) + L" vertices");
    if (g_GizmoAxis < 0 || g_GizmoAxis > 2)
        return;
    const Vec3f axis = HandleDirection(g_GizmoAxis, Vec3f());   // world axes, never turned
    float amount = 0.0f;
    if (!HandleDragAmount(x, y, g_DragStartMouseX, g_DragStartMouseY, g_DragCenter, axis, &amount)) {
        InvalidateView(window);
        return;
    }
    const Eigen::RowVector3d move(amount * axis.x, amount * axis.y, amount * axis.z);
    MoveSelectedVertices(g_SelectedVertices, move);
    g_Hooks.UpdateVertexPropertiesPanel();
    g_DragCenter = Vec3f(g_DragCenter.x + static_cast<float>(move(0)), g_DragCenter.y + static_cast<float>(move(1)),
                         g_DragCenter.z + static_cast<float>(move(2)));
    // Each event moves by its own motion: the next one starts here.
    g_DragStartMouseX = x;
    g_DragStartMouseY = y;
    InvalidateView(window);
}
