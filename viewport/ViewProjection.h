// The frame's view: projection and camera matrices from the window size and
// the orbit camera, and the conversions from a window point to the world that
// read back what the last frame left (pick ray, point on the working plane).
#pragma once

#include "scene/VectorMath.h"

// Sets the perspective for the viewport's client area and the camera's
// look-at. False, with the matrices left as they were, when the client area
// is empty.
bool ApplyFrameMatrices();

// The pick ray through a client point of the viewport. Invalid (a miss) when
// there is no context, no frame has been drawn yet, or the matrices cannot be
// inverted.
Ray GetRayFromMouse(int mouseX, int mouseY);

// The point of the working plane y = g_GridHeight under a client point. False
// for a miss: no usable matrices, a failed unprojection, a ray nearly
// parallel to the plane or meeting it behind the eye.
bool ScreenToGroundPlane(int x, int y, float* worldX, float* worldZ);
