// The benchmark programs' mixed primitives: the i-th takes the six primitive
// types in turn, of varied size, spread along X and Z.
#pragma once

#include "scene/SceneTypes.h"

inline SceneObject MakeBenchPrimitive(int i)
{
    SceneObject object;
    object.type = i % 6;
    object.minX = i * 1.25f;
    object.maxX = i * 1.25f + 1.0f;
    object.minY = 0.0f;
    object.maxY = 2.5f + i % 7;
    object.minZ = -0.333f * i;
    object.maxZ = 0.333f * i + 1.0f;
    object.r = i % 256;
    return object;
}
