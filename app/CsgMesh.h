// Working meshes of the CSG commands: the operand list, an object's world
// mesh with one attribute entry per face, the boolean step that carries the
// per-face attributes through the birth faces, and the explicit mesh object a
// result becomes.
#pragma once

#include <string>
#include <vector>

#include <Eigen/Core>

#include "meshbool/MeshBoolean.h"
#include "scene/SceneTypes.h"

// A mesh with texture index, texture scale and colour per row of F.
struct AttributedMesh {
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    std::vector<int> faceTextureIDs;
    std::vector<float> faceTextureScales;
    std::vector<FaceColor> faceColors;
};

// The operation selection when it holds anything, else the selected objects.
std::vector<int> CsgOperandList();

bool IsSceneObjectIndex(int index);

// The distinct valid indices of a list, in first-seen order.
std::vector<int> DistinctValidIndices(const std::vector<int>& list);

// A primitive the program generates itself from non-degenerate bounds: its
// mesh is closed and free of self-intersections by construction.
bool IsGeneratedSolid(const SceneObject& object);

// The object's world mesh; every face takes the object's own texture,
// texture scale and colour (stored per-face arrays are not read).
AttributedMesh MakeOperandMesh(const SceneObject& object);

// A := A op B. Result faces take the attributes of the face they were born
// from; with cavityTakesFirstFace the faces born from B take A's first face's
// attributes instead (the walls a hole carves). On failure A is left exactly
// as it was and `failure` holds the engine's reason.
bool CombineMeshes(AttributedMesh& A, bool aValidByConstruction, const AttributedMesh& B,
                   bool bValidByConstruction, MeshBooleanType type, bool cavityTakesFirstFace,
                   std::string& failure);

// A new visible, ungrouped, unrotated explicit mesh object of the given type,
// with the colour, alpha, texture and texture scale of `source`, bounds from
// the mesh's vertices and the mesh's per-face arrays.
SceneObject MakeMeshObject(const SceneObject& source, int type, AttributedMesh mesh, const std::wstring& name);

// Appends the objects (already complete) to g_SceneObjects without a partial
// state: room is made first, then nothing can fail. Returns the first new index.
int AppendSceneObjects(std::vector<SceneObject>& objects);
