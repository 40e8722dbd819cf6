#include "scene/FacePainting.h"

#include "scene/PerFaceArrays.h"

bool PaintFace(SceneObject& object, int face, const PaintBrush& brush)
{
    if (face < 0 || face >= object.F.rows())
        return false;
    EnsurePerFaceArrays(object);
    const size_t f = static_cast<size_t>(face);
    object.faceTextureIDs[f] = brush.texture;
    object.faceTextureScales[f] = brush.textureScale;
    object.faceColors[f] = FaceColor(brush.r, brush.g, brush.b);
    return true;
}
