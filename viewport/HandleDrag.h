// What a drag along a gizmo handle means in the world: the handle's direction
// for an owner's start rotation, the handle as seen on screen, and the mouse
// offset since the press projected onto it, in world units.
#pragma once

#include "scene/SceneTypes.h"

// The unit axis (0 x, 1 y, 2 z) turned by rotation (degrees) about Y, then
// Z, then X.
Vec3f HandleDirection(int axis, const Vec3f& rotation);

// The window offset (GL convention, y up) from centre to centre + direction
// on the last frame's matrices; false when no frame has set them or the
// projection fails.
bool ProjectHandle(const Vec3f& centre, const Vec3f& direction, double* sx, double* sy);

// The offset of (x, y) from the press point (pressX, pressY) along the
// handle's on-screen direction, times g_CameraDistance × 0.01, rounded to
// whole cells while snapping. False when the handle is seen end-on.
bool HandleDragAmount(int x, int y, int pressX, int pressY, const Vec3f& centre, const Vec3f& direction,
                      float* amount);
