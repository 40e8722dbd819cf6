#include "viewport/HandleDrag.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "scene/SceneState.h"
#include "viewport/Rotation.h"
#include "viewport/ViewportState.h"

Vec3f HandleDirection(int axis, const Vec3f& rotation)
{
    Vec3f direction(axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f, axis == 2 ? 1.0f : 0.0f);
    const float ry = DegreesToRadians(rotation.y);
    const float rz = DegreesToRadians(rotation.z);
    const float rx = DegreesToRadians(rotation.x);
    direction = TurnAboutY(direction, std::cos(ry), std::sin(ry));
    direction = TurnAboutZ(direction, std::cos(rz), std::sin(rz));
    return TurnAboutX(direction, std::cos(rx), std::sin(rx));
}

bool ProjectHandle(const Vec3f& centre, const Vec3f& direction, double* sx, double* sy)
{
    if (!g_ViewMatricesReady)
        return false;
    double modelview[16], projection[16];
    int viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const Vec3f tip(centre.x + direction.x, centre.y + direction.y, centre.z + direction.z);
    double p0[3], p1[3];
    if (gluProject(centre.x, centre.y, centre.z, modelview, projection, viewport, &p0[0], &p0[1], &p0[2]) != GL_TRUE ||
        gluProject(tip.x, tip.y, tip.z, modelview, projection, viewport, &p1[0], &p1[1], &p1[2]) != GL_TRUE)
        return false;
    *sx = p1[0] - p0[0];
    *sy = p1[1] - p0[1];
    return true;
}

bool HandleDragAmount(int x, int y, int pressX, int pressY, const Vec3f& centre, const Vec3f& direction,
                      float* amount)
{
    double sx = 0.0, sy = 0.0;
    if (!ProjectHandle(centre, direction, &sx, &sy))
        return false;
    const double length = std::sqrt(sx * sx + sy * sy);
    if (length <= 1e-6)
        return false;
    double value = ((x - pressX) * sx / length + (pressY - y) * sy / length) * g_CameraDistance * 0.01;
    if (g_SnapToGrid)
        value = std::round(static_cast<float>(value / g_GridCellSize)) * g_GridCellSize;
    *amount = static_cast<float>(value);
    return true;
}
