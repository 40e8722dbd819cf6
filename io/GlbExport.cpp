#include "io/GlbExport.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "io/ExportMesh.h"
#include "io/FileUtil.h"
#include "io/NumberText.h"
#include "io/PngEncode.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"

namespace {

const uint32_t GLB_MAGIC = 0x46546C67;   // "glTF"
const uint32_t GLB_VERSION = 2;
const uint32_t CHUNK_JSON = 0x4E4F534A;
const uint32_t CHUNK_BIN = 0x004E4942;
const size_t GLB_HEADER_BYTES = 28;

const wchar_t* BoolWord(bool value) { return value ? L"true" : L"false"; }

CommandMessage DebugBox(const SceneObject& object)
{
    const std::wstring text = L"Exporting CSG mesh: " + object.name + L", faces=" + std::to_wstring(object.F.rows()) +
                              L", hasPerFaceTextures=" + BoolWord(HasPerFaceTextures(object)) +
                              L", hasPerFaceColors=" + BoolWord(HasPerFaceColors(object)) +
                              L", faceTextureIDs.size=" + std::to_wstring(object.faceTextureIDs.size()) +
                              L", faceColors.size=" + std::to_wstring(object.faceColors.size());
    return MakeCommandMessage(L"CSG Export Debug", text, MESSAGE_ICON_NONE);
}

void AddPart(std::vector<GlbMeshPart>& parts, GlbMeshPart& part, int material)
{
    part.material = material;
    if (!part.indices.empty())
        parts.push_back(std::move(part));
}

// glTF wants unit normals: renormalise, and give zero or broken ones (a face
// with collinear corners) the up direction.
void NormaliseNormals(std::vector<float>& normals)
{
    for (size_t i = 0; i + 2 < normals.size(); i += 3) {
        const double x = normals[i], y = normals[i + 1], z = normals[i + 2];
        const double length = std::sqrt(x * x + y * y + z * z);
        if (std::isfinite(length) && length > 0.0) {
            normals[i] = static_cast<float>(x / length);
            normals[i + 1] = static_cast<float>(y / length);
            normals[i + 2] = static_cast<float>(z / length);
        } else {
            normals[i] = 0.0f;
            normals[i + 1] = 1.0f;
            normals[i + 2] = 0.0f;
        }
    }
}

ExportOutcome BuildParts(MaterialTable& table, std::vector<GlbMeshPart>& parts)
{
    ExportOutcome outcome;
    for (const SceneObject& object : g_SceneObjects) {
        if (!object.visible)
            continue;
        const int objectMaterial = table.Register(ObjectMaterialKey(object));
        if (!object.isCSGMesh) {
            GlbMeshPart part;
            AppendGlbPrimitive(object, part);
            AddPart(parts, part, objectMaterial);
            continue;
        }
        outcome.messages.push_back(DebugBox(object));
        if (HasPerFaceTextures(object) || HasPerFaceColors(object)) {
            const bool faceScales = HasPerFaceTextures(object);
            for (const auto& group : GroupFacesByKey(object)) {
                GlbMeshPart part;
                AppendMeshFaces(object, group.second, faceScales, part);
                AddPart(parts, part, table.Register(group.first));
            }
        } else {
            GlbMeshPart part;
            AppendMeshFaces(object, AllFaces(object), false, part);
            AddPart(parts, part, objectMaterial);
        }
    }
    for (GlbMeshPart& part : parts)
        NormaliseNormals(part.normals);
    return outcome;
}

template <typename T>
void AppendValues(std::vector<unsigned char>& bin, const std::vector<T>& values)
{
    static_assert(sizeof(T) == 4, "glTF components here are 4 bytes");
    const size_t old = bin.size();
    bin.resize(old + values.size() * 4);
    if (!values.empty())
        std::memcpy(bin.data() + old, values.data(), values.size() * 4);
}

void AppendU32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<unsigned char>(value >> (8 * k)));
}

std::string Number(size_t value) { return std::to_string(value); }

// ", "min": [x, y, z], "max": [x, y, z]" over the part's positions.
std::string PositionBounds(const std::vector<float>& positions)
{
    float low[3], high[3];
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = std::numeric_limits<float>::infinity();
        high[axis] = -std::numeric_limits<float>::infinity();
    }
    for (size_t i = 0; i + 2 < positions.size(); i += 3) {
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::fmin(low[axis], positions[i + axis]);
            high[axis] = std::fmax(high[axis], positions[i + axis]);
        }
    }
    std::string text;
    const char* names[2] = {", \"min\": [", ", \"max\": ["};
    const float* values[2] = {low, high};
    for (int which = 0; which < 2; ++which) {
        text += names[which];
        for (int axis = 0; axis < 3; ++axis) {
            if (axis > 0)
                text += ", ";
            AppendShortestFloat(text, values[which][axis]);
        }
        text += ']';
    }
    return text;
}

std::string Accessor(size_t view, int componentType, size_t count, const char* type, const std::string& extra = "")
{
    return "{ \"bufferView\": " + Number(view) + ", \"componentType\": " + std::to_string(componentType) +
           ", \"count\": " + Number(count) + ", \"type\": \"" + type + "\"" + extra + " }";
}

void AppendList(std::string& json, const char* head, const std::vector<std::string>& items)
{
    json += head;
    for (size_t i = 0; i < items.size(); ++i) {
        json += "    ";
        json += items[i];
        if (i + 1 < items.size())
            json += ",\n";
    }
    json += "\n  ],\n";
}

std::string MaterialText(const MaterialFields& material, int textureNumber)
{
    std::string text = "{ \"pbrMetallicRoughness\": { \"baseColorFactor\": [";
    const float channels[4] = {static_cast<float>(material.r) / 255.0f, static_cast<float>(material.g) / 255.0f,
                               static_cast<float>(material.b) / 255.0f, material.alpha / 255.0f};
    for (int k = 0; k < 4; ++k) {
        if (k > 0)
            text += ", ";
        AppendFixed6(text, channels[k]);
    }
    text += "]";
    if (textureNumber >= 0)
        text += ", \"baseColorTexture\": { \"index\": " + std::to_string(textureNumber) + " }";
    text += ", \"metallicFactor\": 0.0, \"roughnessFactor\": 0.5 }";
    if (material.alpha < 255.0f)
        text += ", \"alphaMode\": \"BLEND\"";
    text += ", \"doubleSided\": true }";
    return text;
}

// The JSON text and the BIN chunk of the parts and materials.
void BuildChunks(const std::vector<GlbMeshPart>& parts, const MaterialTable& table, std::string& json,
                 std::vector<unsigned char>& bin)
{
    const size_t n = parts.size();
    json = "{\n"
           "  \"asset\": { \"version\": \"2.0\", \"generator\": \"Ostrel\" },\n"
           "  \"scene\": 0,\n"
           "  \"scenes\": [{ \"nodes\": [0] }],\n"
           "  \"nodes\": [{ \"mesh\": 0 }],\n"
           "  \"meshes\": [{\n"
           "    \"primitives\": [\n";
    for (size_t i = 0; i < n; ++i) {
        json += "      { \"attributes\": { \"POSITION\": " + Number(3 * i) + ", \"NORMAL\": " + Number(3 * i + 1) +
                ", \"TEXCOORD_0\": " + Number(3 * i + 2) + " }, \"indices\": " + Number(3 * n + i) +
                ", \"material\": " + std::to_string(parts[i].material) + " }";
        if (i + 1 < n)
            json += ",\n";
    }
    json += "\n    ]\n  }],\n";

    std::vector<std::string> accessors;
    std::vector<size_t> viewLengths;
    for (const GlbMeshPart& part : parts) {
        AppendValues(bin, part.positions);
        accessors.push_back(
            Accessor(accessors.size(), 5126, part.positions.size() / 3, "VEC3", PositionBounds(part.positions)));
        viewLengths.push_back(part.positions.size() * 4);
        AppendValues(bin, part.normals);
        accessors.push_back(Accessor(accessors.size(), 5126, part.normals.size() / 3, "VEC3"));
        viewLengths.push_back(part.normals.size() * 4);
        AppendValues(bin, part.uvs);
        accessors.push_back(Accessor(accessors.size(), 5126, part.uvs.size() / 2, "VEC2"));
        viewLengths.push_back(part.uvs.size() * 4);
    }
    for (const GlbMeshPart& part : parts) {
        AppendValues(bin, part.indices);
        accessors.push_back(Accessor(accessors.size(), 5125, part.indices.size(), "SCALAR"));
        viewLengths.push_back(part.indices.size() * 4);
    }
    AppendList(json, "  \"accessors\": [\n", accessors);

    // Each material embeds its own copy of its texture.
    std::vector<int> textureNumbers(table.keys.size(), -1);
    std::vector<size_t> imageOffsets, imageLengths;
    for (size_t m = 0; m < table.keys.size(); ++m) {
        std::vector<unsigned char> png;
        if (!EncodeTextureAsPng(ParseMaterialKey(table.keys[m]).texture, png))
            continue;
        textureNumbers[m] = static_cast<int>(imageOffsets.size());
        imageOffsets.push_back(bin.size());
        imageLengths.push_back(png.size());
        bin.insert(bin.end(), png.begin(), png.end());
        bin.resize((bin.size() + 3) & ~size_t(3), 0);
    }

    std::vector<std::string> views;
    size_t offset = 0;
    for (size_t length : viewLengths) {
        views.push_back("{ \"buffer\": 0, \"byteOffset\": " + Number(offset) + ", \"byteLength\": " +
                        Number(length) + " }");
        offset += length;
    }
    for (size_t k = 0; k < imageOffsets.size(); ++k)
        views.push_back("{ \"buffer\": 0, \"byteOffset\": " + Number(imageOffsets[k]) + ", \"byteLength\": " +
                        Number(imageLengths[k]) + " }");
    AppendList(json, "  \"bufferViews\": [\n", views);

    std::vector<std::string> materials;
    for (size_t m = 0; m < table.keys.size(); ++m)
        materials.push_back(MaterialText(ParseMaterialKey(table.keys[m]), textureNumbers[m]));
    AppendList(json, "  \"materials\": [\n", materials);

    if (!imageOffsets.empty()) {
        std::vector<std::string> textures, images;
        for (size_t k = 0; k < imageOffsets.size(); ++k) {
            textures.push_back("{ \"source\": " + Number(k) + ", \"sampler\": 0 }");
            images.push_back("{ \"mimeType\": \"image/png\", \"bufferView\": " + Number(4 * n + k) + " }");
        }
        AppendList(json, "  \"textures\": [\n", textures);
        AppendList(json, "  \"images\": [\n", images);
        json += "  \"samplers\": [\n"
                "    { \"magFilter\": 9729, \"minFilter\": 9987, \"wrapS\": 10497, \"wrapT\": 10497 }\n"
                "  ],\n";
    }
    json += "  \"buffers\": [{ \"byteLength\": " + Number(bin.size()) + " }]\n}";
    json.resize((json.size() + 3) & ~size_t(3), ' ');
}

} // namespace

ExportOutcome ExportSceneToGLB(const std::wstring& path)
{
    if (g_SceneObjects.empty())
        return ExportOutcome().Fail(L"Scene is empty - nothing to export!");
    DebugLog(L"Exporting scene to GLB: " + path);
    DebugLog(L"  g_SceneObjects.size() = " + std::to_wstring(g_SceneObjects.size()));
    DebugLog(L"  g_PropInstances.size() = " + std::to_wstring(g_PropInstances.size()));

    MaterialTable table;
    std::vector<GlbMeshPart> parts;
    ExportOutcome outcome = BuildParts(table, parts);
    if (parts.empty())
        return outcome.Fail(L"No visible geometry to export!");

    std::string json;
    std::vector<unsigned char> bin;
    BuildChunks(parts, table, json, bin);
    const size_t total = GLB_HEADER_BYTES + json.size() + bin.size();
    if (total > std::numeric_limits<uint32_t>::max()) {
        DebugLog(L"ERROR: GLB export too large for one file: " + std::to_wstring(total) + L" bytes");
        return outcome.Fail(L"Failed to create GLB file!");
    }
    std::vector<unsigned char> file;
    file.reserve(total);
    AppendU32(file, GLB_MAGIC);
    AppendU32(file, GLB_VERSION);
    AppendU32(file, static_cast<uint32_t>(total));
    AppendU32(file, static_cast<uint32_t>(json.size()));
    AppendU32(file, CHUNK_JSON);
    file.insert(file.end(), json.begin(), json.end());
    AppendU32(file, static_cast<uint32_t>(bin.size()));
    AppendU32(file, CHUNK_BIN);
    file.insert(file.end(), bin.begin(), bin.end());
    if (!WriteFileReplacing(path, file))
        return outcome.Fail(L"Failed to create GLB file!");

    DebugLog(L"GLB export complete: " + std::to_wstring(parts.size()) + L" meshes, " +
             std::to_wstring(table.keys.size()) + L" materials");
    return outcome.Succeed(L"Scene exported to GLB successfully!");
}
