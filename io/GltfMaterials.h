// A glTF file's materials as the Model keeps them: one base colour and one
// texture (made from the base-colour image through the upload seam) per
// material, with a log line each.
#pragma once

#include <string>

#include "io/GltfDocument.h"
#include "scene/AssetRecords.h"

// Fills model.materialColors and model.materialTextures, one default grey
// entry when the file has none. folder: where the model's relative image URIs
// resolve. An image that cannot be read leaves texture 0.
void LoadModelMaterials(const GltfDocument& document, const std::wstring& folder, Model& model);
