// Draws one handle of the transform gizmo per call (axis 0 x, 1 y, anything
// else z) at (x, y, z) of the current model-view frame: a move arrow, a scale
// line ending in a cube, or a rotate ring. Handles are drawn over everything
// in their axis colour, yellow while their axis is being dragged; afterwards
// the depth test is as before and the colour is white.
#pragma once

void DrawMoveGizmoAxis(float x, float y, float z, int axis);
void DrawScaleGizmoAxis(float x, float y, float z, int axis);
void DrawRotateGizmoRing(float x, float y, float z, int axis);
