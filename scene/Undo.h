// Whole-scene undo and redo: snapshots of the objects, groups and the two
// object selections, one pair of stacks per editor mode, at most
// MAX_UNDO_STATES undo steps per mode.
#pragma once

#include <vector>

#include "scene/SceneTypes.h"

struct UndoState {
    std::vector<SceneObject> sceneObjects;
    std::vector<Group> groups;
    std::vector<int> selectedObjects;
    std::vector<int> operationSelection;
};

const int MAX_UNDO_STATES = 50;

// Newest snapshot at the back.
extern std::vector<UndoState> g_ModellerUndoStack;
extern std::vector<UndoState> g_ModellerRedoStack;
extern std::vector<UndoState> g_PainterUndoStack;
extern std::vector<UndoState> g_PainterRedoStack;
extern std::vector<UndoState> g_PlotterUndoStack;
extern std::vector<UndoState> g_PlotterRedoStack;
extern std::vector<UndoState> g_VertexUndoStack;
extern std::vector<UndoState> g_VertexRedoStack;

// Call immediately before an undoable change: pushes a snapshot onto the
// current mode's undo stack (dropping the oldest beyond the cap) and clears
// that mode's redo stack.
void SaveUndoState();

// Restore the newest snapshot of the current mode (nothing when there is
// none), keeping the present state on the opposite stack.
void Undo();
void Redo();

// Empties all eight stacks: a new or opened scene starts without history.
void ClearUndoHistory();
