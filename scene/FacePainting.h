// Painting faces of an explicit mesh with a Painter brush: the brush's
// texture, texture scale and colour written into the object's per-face arrays.
#pragma once

#include "scene/AssetRecords.h"
#include "scene/SceneTypes.h"

// Sizes the per-face arrays to the faces first (EnsurePerFaceArrays), so a
// mesh converted or sliced without them takes paint too. Returns false, and
// writes nothing, for a face that is not a row of F.
bool PaintFace(SceneObject& object, int face, const PaintBrush& brush);
