// World-space triangle mesh of any scene object (stored mesh, or generated
// primitive turned about its bounds centre), the rescaling that keeps an
// explicit mesh in step with edited bounds, the one bounds setter every
// move, scale and orbit of an object goes through (gizmo, panels), and bounds
// refitted to a mesh's vertices.
#pragma once

#include <vector>

#include <Eigen/Core>

#include "scene/SceneTypes.h"

// Explicit meshes come out as stored (their vertices are world positions
// already). Primitives are generated from their bounds and turned about the
// bounds centre: about Y, then X, then Z. An unknown type gives an empty mesh.
void ObjectToMesh(const SceneObject& object, Eigen::MatrixXd& V, Eigen::MatrixXi& F);

// Maps an explicit mesh's vertices from its old bounds to the new ones and
// stores the new bounds. Primitives and empty meshes are left untouched.
void RescaleMeshToBounds(SceneObject& object, float newMinX, float newMinY, float newMinZ,
                         float newMaxX, float newMaxY, float newMaxZ);

// Places the object's bounds about centre with the given size. An explicit
// mesh goes through RescaleMeshToBounds, so its vertices move and stretch
// with the box; any other object just takes the new corners.
void StoreBounds(SceneObject& object, const Vec3f& centre, const Vec3f& size);

// (min + max) / 2 and max - min of the object's bounds, per axis.
Vec3f BoundsCentre(const SceneObject& object);
Vec3f BoundsSize(const SceneObject& object);
// Mean of the bounds centres of the listed objects that exist; false (centre
// untouched) when none does.
bool MeanBoundsCentre(const std::vector<int>& indices, Vec3f& centre);

// Sets the rotation (degrees) and keeps the orientation quaternion in step.
void SetObjectRotation(SceneObject& object, const Vec3f& rotation);

// An explicit mesh's bounds become the per-column minimum and maximum of its
// vertices; primitives and meshes without vertices keep theirs.
void FitBoundsToMesh(SceneObject& object);
