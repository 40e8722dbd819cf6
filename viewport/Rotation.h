// The single-axis turns that every rotation composition of the viewport is
// made of (picking props, the gizmo hit test and the gizmo drags), each about
// an axis through the origin by an angle given as its cosine and sine, and
// the degrees-to-radians conversion they share.
#pragma once

#include "scene/SceneTypes.h"

inline float DegreesToRadians(float degrees)
{
    return degrees * 3.1415927f / 180.0f;
}

inline Vec3f TurnAboutX(const Vec3f& p, float c, float s)
{
    return Vec3f(p.x, c * p.y - s * p.z, s * p.y + c * p.z);
}

inline Vec3f TurnAboutY(const Vec3f& p, float c, float s)
{
    return Vec3f(c * p.x + s * p.z, p.y, c * p.z - s * p.x);
}

inline Vec3f TurnAboutZ(const Vec3f& p, float c, float s)
{
    return Vec3f(c * p.x - s * p.y, s * p.x + c * p.y, p.z);
}
