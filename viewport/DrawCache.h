// Display lists for drawing that depends only on its inputs: a primitive by
// its type, bounds and texture scale, a mesh by its arrays. A list is
// compiled (and drawn) the first time and replayed while the inputs stay
// byte for byte the same, so the pixels and the GL state after it are those
// of drawing directly. Lists unused for a whole frame are deleted.
#pragma once

#include <vector>

#include <Eigen/Core>

#include "scene/SceneTypes.h"

struct PrimitiveShape {
    int type;
    float minX, minY, minZ, maxX, maxY, maxZ;
    float texScale;
};

struct MeshInputs {
    const Eigen::MatrixXd* V;
    const Eigen::MatrixXi* F;
    float texScale;
    const std::vector<int>* faceTextureIDs;
    const std::vector<float>* faceTextureScales;
    const std::vector<FaceColor>* faceColors;
    int alpha;
};

// drawShape and drawMesh issue the GL calls; they run while the list compiles.
void DrawPrimitiveCached(const PrimitiveShape& shape, void (*drawShape)(const PrimitiveShape&));
void DrawMeshCached(const MeshInputs& mesh, void (*drawMesh)(const MeshInputs&));

// Called once per frame: deletes the lists the previous frame did not use.
void AgeDrawCaches();

// The context is gone and its lists with it: forgets every entry.
void ForgetDrawCaches();
