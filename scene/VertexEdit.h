// Vertex edits of an explicit mesh, free of any window or GL: splitting an
// edge or a face with a new vertex, removing a vertex with the faces that use
// it, moving vertices, the centroid of the vertex selection, and the nearest
// approach of a pick ray to an edge.
// Every edit keeps the faces' winding, carries the per-face paint along with
// the faces (split faces repeat their parent's entries, dropped faces drop
// theirs, arrays shorter than the face list stay short) and refits the bounds
// to the vertices.
#pragma once

#include <utility>
#include <vector>

#include <Eigen/Core>

#include "scene/SceneTypes.h"
#include "scene/VectorMath.h"

// Where a ray passes an edge p0-p1: s along the edge (clamped to 0..1), the
// edge point there and the distance from the ray's closest point to it.
struct EdgeApproach {
    float s;
    Vec3f point;
    float distance;
};

// False when the ray runs (nearly) parallel to the edge.
bool ApproachRayToEdge(const Ray& ray, const Vec3f& p0, const Vec3f& p1, EdgeApproach* approach);

// True when a face of F has both a and b among its corners.
bool AreVerticesConnected(const Eigen::MatrixXi& F, int a, int b);

// Appends the vertex and splits every face holding both a and b in two, in
// its own cyclic order: a face running a to b becomes (a, N, c), (N, b, c),
// one running b to a becomes (b, N, c), (N, a, c). Returns N, or -1 (nothing
// changed) when a or b is no vertex or no face holds both.
int SplitMeshEdge(SceneObject& object, int a, int b, const Eigen::RowVector3d& point);

// Appends the vertex and replaces face f by (f0, f1, N), (f1, f2, N),
// (f2, f0, N). Returns N, or -1 (nothing changed) for an invalid face.
int SplitMeshFace(SceneObject& object, int face, const Eigen::RowVector3d& point);

// Removes row v of V (later rows move down by one) and every face using it;
// the other faces keep their order with renumbered corners. False (nothing
// changed) when v is no vertex.
bool RemoveMeshVertex(SceneObject& object, int vertex);

// Adds move to every listed (object, row) that exists, then refits the
// bounds of each explicit mesh it touched.
void MoveSelectedVertices(const std::vector<std::pair<int, int>>& selection, const Eigen::RowVector3d& move);

// The mean (single precision) of the selected vertices that exist, each
// looked up in its owner's world mesh. False when none does.
bool SelectedVertexCentroid(Vec3f* centroid);

// Sets one row of an explicit mesh and refits its bounds. False when the row
// does not exist.
bool SetMeshVertex(SceneObject& object, int vertex, const Eigen::RowVector3d& position);
