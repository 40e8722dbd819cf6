// Hit tests of the transform gizmo's handles under a client point, on the
// matrices of the last frame: the vertex gizmo's three world axes, and the
// handles of a box gizmo drawn about a bounds centre turned by its owner's
// rotation (move arrows and scale handles start at the box faces, rotate
// rings circle the centre).
#pragma once

#include "scene/SceneTypes.h"

// Handles of the given length from the centre along the world axes. On true
// *axis is the first axis (x, y, z) passing within 0.3 of the pick ray and *t
// the closest approach's position along the ray from its near point.
bool PickGizmoAxis(int x, int y, float cx, float cy, float cz, float length, int* axis, float* t);

// Which of several straight handles near the pick ray wins: the one whose
// closest approach lies nearest the eye (objects), or the one passing closest
// to the ray (props). Ties keep the earlier axis.
enum HandleChoice {
    HANDLE_NEAREST_EYE = 0,
    HANDLE_CLOSEST_TO_RAY = 1
};

// The axis (0 x, 1 y, 2 z) of the box gizmo's handle under the point for the
// tool (TOOL_ROTATE: the rings; TOOL_MOVE and TOOL_SCALE: the straight
// handles), or -1 for none.
int HitBoxGizmo(int x, int y, const Vec3f& boundsMin, const Vec3f& boundsMax, const Vec3f& rotation, int tool,
                HandleChoice choice = HANDLE_NEAREST_EYE);
