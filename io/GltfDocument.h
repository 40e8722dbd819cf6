// Parsing of a glTF 2.0 file (.glb or .gltf) from its bytes into a tinygltf
// model, with the checks tinygltf leaves out: GLB chunk sizes, buffer views
// inside their buffers, required extensions we cannot honour. External
// buffers are read by wide path from the model's folder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "io/TinyGltf.h"

// Model files larger than this are refused before parsing; the external
// buffers one file names may not exceed it together either.
const size_t MAX_MODEL_FILE_BYTES = size_t(512) << 20;

struct GltfDocument {
    tinygltf::Model gltf;
    // Per material: whether the file gives it a pbrMetallicRoughness block
    // (tinygltf fills in the default factor either way).
    std::vector<bool> materialHasPbr;
    // Bytes of the file and every external buffer: the measure that bounds
    // how much geometry the file may produce.
    size_t inputBytes;

    GltfDocument() : inputBytes(0) {}
};

enum GltfParseResult {
    GLTF_PARSED = 0,
    GLTF_NOT_PARSED = 1,        // not glTF 2.0 we can read
    GLTF_BUFFERS_MISSING = 2,   // an external buffer file could not be read
};

// folder: where relative URIs resolve, with or without a trailing separator
// (empty for the current folder). An image that cannot be decoded is no
// reason to fail. Images are not
// decoded here: a data-URI image keeps its encoded bytes in Image::image,
// the others are read later from their buffer view or file.
GltfParseResult ParseGltfDocument(const std::vector<unsigned char>& bytes, const std::wstring& folder,
                       GltfDocument& document);
