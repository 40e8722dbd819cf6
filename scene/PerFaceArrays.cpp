#include "scene/PerFaceArrays.h"

void FitPerFaceArrays(const SceneObject& object, std::vector<int>& textureIDs, std::vector<float>& textureScales,
                      std::vector<FaceColor>& colors)
{
    const size_t faces = static_cast<size_t>(object.F.rows());
    textureIDs.resize(faces, object.texture);
    textureScales.resize(faces, object.texScale);
    colors.resize(faces, FaceColor(object.r, object.g, object.b));
}

void EnsurePerFaceArrays(SceneObject& object)
{
    FitPerFaceArrays(object, object.faceTextureIDs, object.faceTextureScales, object.faceColors);
}
