// Gizmo transforms of the Modeller's primary object and, while a group is
// selected, of every selected object: the start state taken by a press on a
// handle, and the rotation, move or scale each mouse move applies to it. Every
// drag event works from the start values, so the result depends only on the
// cursor, never on the path.
#pragma once

#include <windows.h>

#include <vector>

#include "scene/SceneTypes.h"

// One object's state at the start of a group drag.
struct DragStartState {
    int objectIndex;
    Vec3f startCenter;
    Vec3f startMin;
    Vec3f startMax;
    Vec3f startRotation;   // degrees
};

// Refilled at every press on a handle; empty unless a group is selected.
extern std::vector<DragStartState> g_DragStartStates;

// The primary object at the press.
extern int g_DragStartMouseX, g_DragStartMouseY;
extern Vec3f g_DragCenter;
extern Vec3f g_DragStartMin, g_DragStartMax;
extern Vec3f g_DragStartRotation;

// The rotation step count last logged (-9999 before the first; never reset).
extern int g_LastRotationSteps;

// A press on handle axis of the primary's gizmo at (x, y): takes the undo
// snapshot and the start state, and captures the mouse.
void BeginObjectGizmoDrag(HWND window, int x, int y, int axis);

// A mouse move while the drag is active (the primary a valid index).
void DragObjectGizmo(int x, int y);
