// The orbit camera: orbit, pan and zoom of the camera variables, the
// eye and up vector the frame looks through, and the intersection of a pick
// line with the working plane. Pure maths on the scene state, no OpenGL, so it
// builds and is tested on every platform.
#pragma once

#include "scene/SceneState.h"
#include "scene/SceneTypes.h"

// Half a degree per pixel; the pitch stays within [-89, 89], the yaw is not
// wrapped.
void OrbitCamera(float dx, float dy);

// Moves the target in the view's own right and up directions, 0.002 distance
// units per pixel.
void PanCamera(float dx, float dy);

// Moves the target along the ground's right direction (dx) and straight up or
// down (dy), whatever the pitch, 0.002 distance units per pixel.
void PanCameraOnGround(float dx, float dy);

// One wheel notch is 120 units of delta and one unit of distance; a positive
// delta (away from the user) comes closer.
void ZoomCamera(int wheelDelta);

// The distance to store for a requested one: at least MIN_CAMERA_DISTANCE,
// and MIN_CAMERA_DISTANCE for a value that is no number. The project reader
// stores loaded distances through this too.
float FlooredCameraDistance(float distance);

// Eye and up vector for gluLookAt from the camera variables. The up vector is
// +Y, except when the eye's x and z round to the target's (a top or bottom
// view far from the origin), where +Y would make the view singular: it is
// then the up direction the view takes as the pitch approaches that angle.
struct CameraPose {
    Vec3f eye;
    Vec3f target;
    Vec3f up;
};
CameraPose ComputeCameraPose();

// Where the line from nearPoint towards farPoint meets the plane y = height,
// for points on the line ahead of nearPoint (or on it). False for a line
// nearly parallel to the plane, a plane behind nearPoint, or a degenerate or
// non-finite line; the outputs are then left alone.
bool IntersectWorkingPlane(const double nearPoint[3], const double farPoint[3], float height,
                           float* worldX, float* worldZ);

// A creation corner snapped to the nearest grid line (halves away from zero).
float SnapToGridLine(float value, float cellSize);
// A placement snapped to the centre of its grid cell.
float SnapToCellCentre(float value, float cellSize);
