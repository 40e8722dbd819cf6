// glTF model import: a .glb or .gltf file becomes a Model in g_Models, its
// triangles flattened from the default scene's node tree and normalised to
// fit a 1 x 1 x 1 cube centred at the origin.
#pragma once

#include <string>
#include <vector>

#include "scene/AssetRecords.h"

// The index in g_Models of the model for this path, new or existing, or -1
// when the file cannot be read or holds no triangle geometry (with an
// "ERROR: " log line). Material textures go through the upload seam.
int LoadGLBModel(const std::wstring& path);

// Everything of a load but the record keeping: parses the file's bytes,
// resolving relative URIs in folder, and fills the geometry, materials and
// normalisation of model. False (with the log line) on failure; textures made
// for a model that fails are released again.
bool ReadGltfModel(const std::vector<unsigned char>& bytes, const std::wstring& folder, Model& model);
