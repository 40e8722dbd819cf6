// Prop instances and the models they show: finding a model by its id, a new
// instance of a brush standing on the working plane, and the scale and
// bounds a drag on one scale handle gives.
#pragma once

#include <string>

#include "scene/AssetRecords.h"
#include "scene/SceneTypes.h"

// The box between two corners.
Bounds3f BoundsBetween(const Vec3f& low, const Vec3f& high);

// The first model with this id, or null.
const Model* FindModelById(int id);

// True when index names an instance of g_PropInstances.
bool IsValidPropInstanceIndex(int index);

// What moves a model's normalised vertices so that it stands centred on a
// point with its lowest vertex on the point's height; zero without vertices.
Vec3f ModelStandingOffset(const Model* model);

// A new instance of the brush's model on the ground point (groundX,
// g_GridHeight, groundZ), named after the brush and the instance count. Not
// yet added to g_PropInstances.
PropInstance MakePropInstance(const PropBrush& brush, float groundX, float groundZ);

// A scale drag from a start state: growth is added to the start size of axis
// (of every axis when linked), no side becomes smaller than floor, and the
// bounds follow about their start centre. An axis whose start size is 0.001 or
// less (a flat model), or whose start scale is 0, keeps its scale and bounds.
void ScalePropFromStart(PropInstance& instance, const Vec3f& startScale, const Vec3f& startMin, const Vec3f& startMax,
                        int axis, float growth, bool linked, float floor);
