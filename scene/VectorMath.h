// Small vector maths shared by the viewport and panels: Euler angles to a
// quaternion, and the pick ray through a window point computed from the
// OpenGL matrices the caller read (no GL calls here).
#pragma once

#include "scene/SceneTypes.h"

// Angles in degrees about X, Y and Z; the result is the quaternion of
// Ry(ay) * Rx(ax) * Rz(az), in single precision.
void EulerToQuaternion(float ax, float ay, float az, float& w, float& x, float& y, float& z);

// A world-space ray. direction has unit length when valid; an invalid ray
// (singular matrices, empty viewport) is a miss for every picker.
struct Ray {
    Vec3f origin;
    Vec3f direction;
    bool valid;

    Ray() : valid(false) {}
};

// modelview and projection are column-major as OpenGL returns them; viewport
// is x, y, width, height. mouseY grows downwards from the client top, and is
// turned into GL window y as viewport height - mouseY.
Ray RayFromMatrices(const double modelview[16], const double projection[16],
                    const int viewport[4], int mouseX, int mouseY);
