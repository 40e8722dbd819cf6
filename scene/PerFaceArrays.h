// Per-face texture, texture scale and colour arrays kept in step with a mesh's
// faces. Faces without an entry show the object's own texture, scale and
// colour, so padding with those values changes nothing the user sees.
#pragma once

#include <vector>

#include "scene/SceneTypes.h"

// Sizes faceTextureIDs, faceTextureScales and faceColors to the rows of F
// (each on its own, so one short array is mended too); new entries take the
// object's texture, texScale and (r, g, b). Call before writing any entry.
void EnsurePerFaceArrays(SceneObject& object);

// The same sizing applied to given arrays (for instance copies about to be
// written to a file), with the defaults taken from object.
void FitPerFaceArrays(const SceneObject& object, std::vector<int>& textureIDs, std::vector<float>& textureScales,
                      std::vector<FaceColor>& colors);
