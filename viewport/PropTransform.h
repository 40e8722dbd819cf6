// Gizmo transforms of the Plotter's selected prop instance: the press that
// finds the handle under the cursor and takes the start state, and the move
// (along the turned axes), rotation (in steps per 50 pixels) and scale each
// mouse move applies from that start. Prop instances are outside undo.
#pragma once

#include <windows.h>

#include "scene/SceneTypes.h"

// The selected instance at the press.
extern Vec3f g_PropDragStartPosition;
extern Vec3f g_PropDragStartRotation;
extern Vec3f g_PropDragStartScale;
extern Vec3f g_PropDragStartMin, g_PropDragStartMax;
// Set by the first prop drag event of the run, which alone is logged.
extern bool g_PropDragLogged;

// A transform tool's left press at (x, y): a handle of the selected visible
// instance starts a drag; elsewhere a click on another instance selects it.
void PressPropGizmo(HWND window, int x, int y);

// A mouse move while the drag is active (the selected instance valid). The
// rotation and scale read the cursor itself.
void DragPropGizmo(int x, int y);
