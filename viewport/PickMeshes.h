// World meshes of scene objects in single precision for the pickers, with
// each mesh's bounding box. A primitive's mesh is generated once and kept
// while its type, bounds and rotation stay the same; an explicit mesh is
// converted from its own arrays at every request, so edits in place are seen.
#pragma once

#include <vector>

#include <Eigen/Core>

#include "scene/SceneTypes.h"
#include "scene/VectorMath.h"

struct PickMesh {
    std::vector<Vec3f> vertices;
    const Eigen::MatrixXi* faces;   // rows of three vertex indices, unchecked
    Vec3f low, high;                // bounding box of the vertices
};

// The world mesh of g_SceneObjects[index] (a valid index). The result stays
// usable until the next call.
const PickMesh& GetPickMesh(int index);

// Whether the ray can meet the object at all, before its mesh is built: a
// primitive lies within the sphere about its bounds centre through the
// bounds' corners (a sphere's radius is its half x extent, no more than that)
// whatever its rotation. Explicit meshes always may.
bool RayMayHitObject(const Ray& ray, const SceneObject& object);

// Whether the ray can meet anything inside the box, ahead of its origin. The
// box is widened a little so that no hit the triangle test accepts is lost.
bool RayMayHitBox(const Ray& ray, const Vec3f& low, const Vec3f& high);

// Whether a face's three vertex indices lie inside the mesh.
bool IsFaceValid(const PickMesh& mesh, int face);
