// Helpers for the export tests: reading a GLB back into its chunks, a
// texture image on disk, and the scene every validator run exports.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "io/ImageDecode.h"

// The two chunks of a GLB; ok is false when the header or a chunk header is
// wrong (the failure is added to the test).
struct GlbChunks {
    bool ok = false;
    std::string json;
    std::vector<unsigned char> bin;
};
GlbChunks ReadGlb(const std::vector<unsigned char>& file);

// Floats or u32 values of the BIN chunk from a byte offset.
template <typename T>
std::vector<T> BinValues(const std::vector<unsigned char>& bin, size_t offset, size_t count)
{
    std::vector<T> values(count);
    if (count > 0 && offset + count * sizeof(T) <= bin.size())
        std::memcpy(values.data(), bin.data() + offset, count * sizeof(T));
    else if (count > 0)
        ADD_FAILURE() << "BIN read past its end";
    return values;
}

// A 3 x 2 image of distinct pixels written as PNG into folder under name, and
// registered as the next entry of g_Textures. Returns its pixels.
DecodedImage AddTextureFile(const std::wstring& folder, const std::wstring& name);

// Every exporter feature on one scene: each primitive type at two sizes, a
// flat cone, ramp and wedge, alpha 128, two objects sharing a texture, a
// knife, a hidden object and an explicit mesh with per-face colours and
// textures. Textures come from folder.
void BuildExportScene(const std::wstring& folder);
