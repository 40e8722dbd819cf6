// World-space triangle mesh of any scene object (stored mesh, or generated
// primitive turned about its bounds centre), the rescaling that keeps an
// explicit mesh in step with edited bounds, and bounds refitted to a mesh.
#pragma once

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

// An explicit mesh's bounds become the per-column minimum and maximum of its
// vertices; primitives and meshes without vertices keep theirs.
void FitBoundsToMesh(SceneObject& object);
