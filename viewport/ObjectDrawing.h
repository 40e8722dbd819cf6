// Draws the scene objects for the frame: opaque objects, then transparent
// ones without depth writes, each with its colour, texture, hole stipple,
// wireframe and selection outline; and the explicit-mesh drawing with
// per-face textures, colours and planar texture coordinates.
#pragma once

#include <vector>

#include <Eigen/Core>

#include "scene/SceneTypes.h"

// Leaves depth writes on, blending, textures, culling and polygon offset off,
// polygon mode fill, line width 1 and the colour white.
void RenderSceneObjects();

// Per-face textures are used only when faceTextureIDs is as long as F has
// rows; a face beyond faceTextureScales takes texScale, a face beyond
// faceColors the current colour. Faces naming vertices that do not exist
// are skipped. alpha is 0 to 255.
void RenderMesh(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, float texScale,
                const std::vector<int>& faceTextureIDs, const std::vector<float>& faceTextureScales,
                const std::vector<FaceColor>& faceColors, int alpha);
