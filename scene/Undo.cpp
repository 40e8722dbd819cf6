#include "scene/Undo.h"

#include <algorithm>
#include <utility>

#include "scene/Hooks.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"

std::vector<UndoState> g_ModellerUndoStack;
std::vector<UndoState> g_ModellerRedoStack;
std::vector<UndoState> g_PainterUndoStack;
std::vector<UndoState> g_PainterRedoStack;
std::vector<UndoState> g_PlotterUndoStack;
std::vector<UndoState> g_PlotterRedoStack;
std::vector<UndoState> g_VertexUndoStack;
std::vector<UndoState> g_VertexRedoStack;

namespace {

// Unknown modes share the Modeller's stacks.
void ChooseStacks(std::vector<UndoState>*& undoStack, std::vector<UndoState>*& redoStack)
{
    switch (g_CurrentMode) {
    case MODE_PAINTER:
        undoStack = &g_PainterUndoStack;
        redoStack = &g_PainterRedoStack;
        break;
    case MODE_PLOTTER:
        undoStack = &g_PlotterUndoStack;
        redoStack = &g_PlotterRedoStack;
        break;
    case MODE_VERTEX_EDITOR:
        undoStack = &g_VertexUndoStack;
        redoStack = &g_VertexRedoStack;
        break;
    default:
        undoStack = &g_ModellerUndoStack;
        redoStack = &g_ModellerRedoStack;
        break;
    }
}

UndoState CaptureState()
{
    UndoState state;
    state.sceneObjects = g_SceneObjects;
    state.groups = g_Groups;
    state.selectedObjects = g_SelectedObjects;
    state.operationSelection = g_OperationSelection;
    return state;
}

int CountFaces(const SceneObject& object)
{
    if (object.isCSGMesh)
        return static_cast<int>(object.F.rows());
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    ObjectToMesh(object, V, F);
    return static_cast<int>(F.rows());
}

bool IsVertexOf(int objectIndex, int vertex)
{
    return IsValidObjectIndex(objectIndex) && vertex >= 0 &&
           vertex < g_SceneObjects[static_cast<size_t>(objectIndex)].V.rows();
}

// The face and vertex selections are not part of a snapshot, so after a
// restore they may name faces, vertices or objects that no longer exist.
void DropStaleSelections()
{
    if (!IsValidObjectIndex(g_SelectedFacesObject)) {
        g_SelectedFacesObject = -1;
        g_SelectedFaces.clear();
    } else {
        const int faceCount = CountFaces(g_SceneObjects[static_cast<size_t>(g_SelectedFacesObject)]);
        auto stale = [faceCount](int face) { return face < 0 || face >= faceCount; };
        g_SelectedFaces.erase(std::remove_if(g_SelectedFaces.begin(), g_SelectedFaces.end(), stale),
                              g_SelectedFaces.end());
    }
    if (!IsValidObjectIndex(g_HoveredFaceObject) || g_HoveredFace < 0 ||
        g_HoveredFace >= CountFaces(g_SceneObjects[static_cast<size_t>(g_HoveredFaceObject)])) {
        g_HoveredFaceObject = -1;
        g_HoveredFace = -1;
    }

    g_SelectedVertices.erase(
        std::remove_if(g_SelectedVertices.begin(), g_SelectedVertices.end(),
                       [](const std::pair<int, int>& v) { return !IsVertexOf(v.first, v.second); }),
        g_SelectedVertices.end());
    if (!IsVertexOf(g_SelectedVertexObject, g_SelectedVertexIndex)) {
        g_SelectedVertexObject = -1;
        g_SelectedVertexIndex = -1;
    }
}

void RestoreState(UndoState& state)
{
    g_SceneObjects = std::move(state.sceneObjects);
    g_Groups = std::move(state.groups);
    g_SelectedObjects = std::move(state.selectedObjects);
    g_OperationSelection = std::move(state.operationSelection);

    // The primary selection is not saved: it becomes the first selected object.
    g_SelectedObjectIndex = g_SelectedObjects.empty() ? -1 : g_SelectedObjects.front();
    if (!IsValidObjectIndex(g_SelectedObjectIndex))
        g_SelectedObjectIndex = -1;

    DropStaleSelections();

    // Mirror the restored selection in the tree without the tree acting on it.
    g_TreeSelectionGuard = true;
    g_Hooks.RefreshHierarchyTree();
    if (g_SelectedObjectIndex != -1)
        g_Hooks.SelectTreeItemByObjectIndex(g_SelectedObjectIndex);
    g_TreeSelectionGuard = false;

    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.UpdateCSGMenuState();
    g_Hooks.InvalidateViewport();
}

// Moves the newest snapshot of `from` into the scene, saving the present
// state on `to` first.
void StepHistory(std::vector<UndoState>& from, std::vector<UndoState>& to)
{
    if (from.empty())
        return;
    to.push_back(CaptureState());
    UndoState state = std::move(from.back());
    from.pop_back();
    RestoreState(state);
}

} // namespace

void SaveUndoState()
{
    std::vector<UndoState>* undoStack = nullptr;
    std::vector<UndoState>* redoStack = nullptr;
    ChooseStacks(undoStack, redoStack);

    undoStack->push_back(CaptureState());
    if (undoStack->size() > static_cast<size_t>(MAX_UNDO_STATES))
        undoStack->erase(undoStack->begin());
    redoStack->clear();
}

void Undo()
{
    std::vector<UndoState>* undoStack = nullptr;
    std::vector<UndoState>* redoStack = nullptr;
    ChooseStacks(undoStack, redoStack);
    StepHistory(*undoStack, *redoStack);
}

void Redo()
{
    std::vector<UndoState>* undoStack = nullptr;
    std::vector<UndoState>* redoStack = nullptr;
    ChooseStacks(undoStack, redoStack);
    StepHistory(*redoStack, *undoStack);
}

void ClearUndoHistory()
{
    g_ModellerUndoStack.clear();
    g_ModellerRedoStack.clear();
    g_PainterUndoStack.clear();
    g_PainterRedoStack.clear();
    g_PlotterUndoStack.clear();
    g_PlotterRedoStack.clear();
    g_VertexUndoStack.clear();
    g_VertexRedoStack.clear();
}
