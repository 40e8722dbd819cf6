#include "viewport/GizmoHit.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "app/WinGlobals.h"
#include "viewport/Rotation.h"
#include "viewport/ViewportState.h"

namespace {

const double PI_D = 3.14159265358979323846;
const float RING_RADIUS = 1.8f;
const int RING_SAMPLES = 128;
const float RING_REACH = 0.25f;
const float HANDLE_REACH = 0.3f;
const float HANDLE_LENGTH = 1.95f;

// The near and far points of the pick line through a client point.
bool UnprojectPickLine(int x, int y, double nearPoint[3], double farPoint[3])
{
    if (!g_hViewportRC || !g_ViewMatricesReady)
        return false;
    RECT client = {};
    GetClientRect(g_hViewport, &client);
    double modelview[16], projection[16];
    int viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const double windowX = x;
    const double windowY = static_cast<double>(client.bottom - client.top) - y;
    return gluUnProject(windowX, windowY, 0.0, modelview, projection, viewport, &nearPoint[0], &nearPoint[1],
                        &nearPoint[2]) == GL_TRUE &&
           gluUnProject(windowX, windowY, 1.0, modelview, projection, viewport, &farPoint[0], &farPoint[1],
                        &farPoint[2]) == GL_TRUE;
}

float Dot(const Vec3f& a, const Vec3f& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Component(const Vec3f& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

Vec3f UnitAxis(int axis, float length)
{
    return Vec3f(axis == 0 ? length : 0.0f, axis == 1 ? length : 0.0f, axis == 2 ? length : 0.0f);
}

// Undoes the drawing's turn (about Z, then X, then Y): about Y by -ry, then
// X by -rx, then Z by -rz.
Vec3f IntoObjectFrame(const Vec3f& p, const float angles[3])
{
    Vec3f q = TurnAboutY(p, std::cos(-angles[1]), std::sin(-angles[1]));
    q = TurnAboutX(q, std::cos(-angles[0]), std::sin(-angles[0]));
    return TurnAboutZ(q, std::cos(-angles[2]), std::sin(-angles[2]));
}

Vec3f RingPoint(int axis, float angle)
{
    const float a = RING_RADIUS * std::cos(angle), b = RING_RADIUS * std::sin(angle);
    if (axis == 0)
        return Vec3f(0.0f, a, b);
    if (axis == 1)
        return Vec3f(a, 0.0f, b);
    return Vec3f(a, b, 0.0f);
}

int HitRing(const Vec3f& origin, const Vec3f& direction)
{
    int hit = -1;
    float bestScore = 1e20f;
    for (int axis = 0; axis < 3; ++axis) {
        float nearest = 1e30f, nearestT = 0.0f;
        for (int i = 0; i < RING_SAMPLES; ++i) {
            const float angle = static_cast<float>(2.0 * PI_D * i / RING_SAMPLES);
            const Vec3f p = RingPoint(axis, angle);
            const Vec3f w(p.x - origin.x, p.y - origin.y, p.z - origin.z);
            float t = Dot(w, direction);
            if (t < 0.0f)
                t = 0.0f;
            const Vec3f d(w.x - t * direction.x, w.y - t * direction.y, w.z - t * direction.z);
            const float distance = std::sqrt(Dot(d, d));
            if (distance < nearest) {
                nearest = distance;
                nearestT = t;
            }
        }
        if (nearest >= RING_REACH)
            continue;
        const float score = nearestT / (std::fabs(Component(direction, axis)) + 0.1f);
        if (score < bestScore) {
            bestScore = score;
            hit = axis;
        }
    }
    return hit;
}

int HitHandle(const Vec3f& origin, const Vec3f& direction, const Vec3f& halfExtents, HandleChoice choice)
{
    int hit = -1;
    float best = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const Vec3f start = UnitAxis(axis, Component(halfExtents, axis));
        const Vec3f along = UnitAxis(axis, 1.0f);
        const float b = Dot(along, direction), a = Dot(along, along), cc = Dot(direction, direction);
        const Vec3f w(origin.x - start.x, origin.y - start.y, origin.z - start.z);
        const float d = Dot(w, direction), e = Dot(w, along);
        const float n = a * cc - b * b;
        if (std::fabs(n) < 1e-8f)
            continue;
        const float t = (e * b - d * a) / n;
        const float s = (e * cc - d * b) / n;
        if (s < 0.0f || s > HANDLE_LENGTH)
            continue;
        const Vec3f onRay(origin.x + t * direction.x, origin.y + t * direction.y, origin.z + t * direction.z);
        const Vec3f onHandle(start.x + s * along.x, start.y + s * along.y, start.z + s * along.z);
        const Vec3f gap(onRay.x - onHandle.x, onRay.y - onHandle.y, onRay.z - onHandle.z);
        const float distance = std::sqrt(Dot(gap, gap));
        if (distance >= HANDLE_REACH)
            continue;
        const float rank = choice == HANDLE_CLOSEST_TO_RAY ? distance : t;
        if (hit < 0 || rank < best) {
            hit = axis;
            best = rank;
        }
    }
    return hit;
}

} // namespace

bool PickGizmoAxis(int x, int y, float cx, float cy, float cz, float length, int* axis, float* t)
{
    double nearPoint[3], farPoint[3];
    if (!UnprojectPickLine(x, y, nearPoint, farPoint))
        return false;
    double dir[3] = {farPoint[0] - nearPoint[0], farPoint[1] - nearPoint[1], farPoint[2] - nearPoint[2]};
    const double size = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
    if (!(size > 0.0))
        return false;
    for (double& c : dir)
        c /= size;
    const double w[3] = {nearPoint[0] - cx, nearPoint[1] - cy, nearPoint[2] - cz};
    const double a = dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2];
    const double e = w[0] * dir[0] + w[1] * dir[1] + w[2] * dir[2];
    const double centre[3] = {cx, cy, cz};
    for (int k = 0; k < 3; ++k) {
        const double b = dir[k], c = 1.0;
        const double den = c * a - b * b;
        if (std::fabs(den) < 1e-8)
            continue;
        const double dw = w[k];
        const double s = (dw * a - e * b) / den;
        if (s < 0.0 || s > 1.3 * length)
            continue;
        const double r = (dw * b - e * c) / den;
        double gap = 0.0;
        for (int i = 0; i < 3; ++i) {
            const double onAxis = centre[i] + (i == k ? s : 0.0);
            const double onRay = nearPoint[i] + r * dir[i];
            gap += (onRay - onAxis) * (onRay - onAxis);
        }
        if (std::sqrt(gap) < 0.3) {
            *axis = k;
            *t = static_cast<float>(r);
            return true;
        }
    }
    return false;
}

int HitBoxGizmo(int x, int y, const Vec3f& boundsMin, const Vec3f& boundsMax, const Vec3f& rotation, int tool,
                HandleChoice choice)
{
    double nearPoint[3], farPoint[3];
    if (!UnprojectPickLine(x, y, nearPoint, farPoint))
        return -1;
    const double span[3] = {farPoint[0] - nearPoint[0], farPoint[1] - nearPoint[1], farPoint[2] - nearPoint[2]};
    const double size = std::sqrt(span[0] * span[0] + span[1] * span[1] + span[2] * span[2]);
    if (!(size > 0.0))
        return -1;
    const Vec3f centre((boundsMin.x + boundsMax.x) / 2, (boundsMin.y + boundsMax.y) / 2,
                       (boundsMin.z + boundsMax.z) / 2);
    const Vec3f half((boundsMax.x - boundsMin.x) / 2, (boundsMax.y - boundsMin.y) / 2,
                     (boundsMax.z - boundsMin.z) / 2);
    const float angles[3] = {DegreesToRadians(rotation.x), DegreesToRadians(rotation.y),
                             DegreesToRadians(rotation.z)};
    const Vec3f origin = IntoObjectFrame(Vec3f(static_cast<float>(nearPoint[0] - centre.x),
                                               static_cast<float>(nearPoint[1] - centre.y),
                                               static_cast<float>(nearPoint[2] - centre.z)),
                                         angles);
    const Vec3f unitSpan(static_cast<float>(span[0] / size), static_cast<float>(span[1] / size),
                         static_cast<float>(span[2] / size));
    const Vec3f direction = IntoObjectFrame(unitSpan, angles);
    if (tool == TOOL_ROTATE)
        return HitRing(origin, direction);
    if (tool == TOOL_MOVE || tool == TOOL_SCALE)
        return HitHandle(origin, direction, half, choice);
    return -1;
}
