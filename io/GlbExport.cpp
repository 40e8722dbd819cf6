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

unsigned char* PutU32(unsigned char* out, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        *out++ = static_cast<unsigned char>(value >> (8 * k));
    return out;
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
            const float value = positions[i + axis];
            low[axis] = value < low[axis] ? value : low[axis];
            high[axis] = value > high[axis] ? value : high[axis];
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

size_t Padded(size_t size) { return (size + 3) & ~size_t(3); }

// The file as pieces written in order: the header, JSON and BIN chunk header
// in head, then the parts' arrays and the images straight from where they
// lie, so no array is copied. Empty when the file would be too large.
struct GlbFile {
    std::vector<unsigned char> head;
    std::vector<std::vector<unsigned char>> images;
    std::vector<FilePiece> pieces;
};

GlbFile BuildGlbFile(const std::vector<GlbMeshPart>& parts, const MaterialTable& table)
{
    GlbFile glb;
    const size_t n = parts.size();
    std::string json = "{\n"
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
        accessors.push_back(
            Accessor(accessors.size(), 5126, part.positions.size() / 3, "VEC3", PositionBounds(part.positions)));
        viewLengths.push_back(part.positions.size() * 4);
        accessors.push_back(Accessor(accessors.size(), 5126, part.normals.size() / 3, "VEC3"));
        viewLengths.push_back(part.normals.size() * 4);
        accessors.push_back(Accessor(accessors.size(), 5126, part.uvs.size() / 2, "VEC2"));
        viewLengths.push_back(part.uvs.size() * 4);
    }
    for (const GlbMeshPart& part : parts) {
        accessors.push_back(Accessor(accessors.size(), 5125, part.indices.size(), "SCALAR"));
        viewLengths.push_back(part.indices.size() * 4);
    }
    AppendList(json, "  \"accessors\": [\n", accessors);

    std::vector<std::string> views;
    size_t binLength = 0;
    for (size_t length : viewLengths) {
        views.push_back("{ \"buffer\": 0, \"byteOffset\": " + Number(binLength) + ", \"byteLength\": " +
                        Number(length) + " }");
        binLength += length;
    }
    // Each material embeds its own copy of its texture, after the arrays.
    std::vector<int> textureNumbers(table.keys.size(), -1);
    std::vector<std::vector<unsigned char>>& images = glb.images;
    for (size_t m = 0; m < table.keys.size(); ++m) {
        std::vector<unsigned char> png;
        if (!EncodeTextureAsPng(ParseMaterialKey(table.keys[m]).texture, png))
            continue;
        textureNumbers[m] = static_cast<int>(images.size());
        views.push_back("{ \"buffer\": 0, \"byteOffset\": " + Number(binLength) + ", \"byteLength\": " +
                        Number(png.size()) + " }");
        binLength += Padded(png.size());
        images.push_back(std::move(png));
    }
    AppendList(json, "  \"bufferViews\": [\n", views);

    std::vector<std::string> materials;
    for (size_t m = 0; m < table.keys.size(); ++m)
        materials.push_back(MaterialText(ParseMaterialKey(table.keys[m]), textureNumbers[m]));
    AppendList(json, "  \"materials\": [\n", materials);

    if (!images.empty()) {
        std::vector<std::string> textures, imageTexts;
        for (size_t k = 0; k < images.size(); ++k) {
            textures.push_back("{ \"source\": " + Number(k) + ", \"sampler\": 0 }");
            imageTexts.push_back("{ \"mimeType\": \"image/png\", \"bufferView\": " + Number(4 * n + k) + " }");
        }
        AppendList(json, "  \"textures\": [\n", textures);
        AppendList(json, "  \"images\": [\n", imageTexts);
        json += "  \"samplers\": [\n"
                "    { \"magFilter\": 9729, \"minFilter\": 9987, \"wrapS\": 10497, \"wrapT\": 10497 }\n"
                "  ],\n";
    }
    json += "  \"buffers\": [{ \"byteLength\": " + Number(binLength) + " }]\n}";
    json.resize(Padded(json.size()), ' ');

    const size_t total = GLB_HEADER_BYTES + json.size() + binLength;
    if (total > std::numeric_limits<uint32_t>::max())
        return glb;
    glb.head.resize(GLB_HEADER_BYTES + json.size());
    unsigned char* out = glb.head.data();
    out = PutU32(out, GLB_MAGIC);
    out = PutU32(out, GLB_VERSION);
    out = PutU32(out, static_cast<uint32_t>(total));
    out = PutU32(out, static_cast<uint32_t>(json.size()));
    out = PutU32(out, CHUNK_JSON);
    std::memcpy(out, json.data(), json.size());
    out += json.size();
    out = PutU32(out, static_cast<uint32_t>(binLength));
    PutU32(out, CHUNK_BIN);
    glb.pieces.push_back({glb.head.data(), glb.head.size()});
    for (const GlbMeshPart& part : parts) {
        glb.pieces.push_back({part.positions.data(), part.positions.size() * 4});
        glb.pieces.push_back({part.normals.data(), part.normals.size() * 4});
        glb.pieces.push_back({part.uvs.data(), part.uvs.size() * 4});
    }
    for (const GlbMeshPart& part : parts)
        glb.pieces.push_back({part.indices.data(), part.indices.size() * 4});
    static const unsigned char ZEROS[3] = {0, 0, 0};
    for (const std::vector<unsigned char>& png : images) {
        glb.pieces.push_back({png.data(), png.size()});
        glb.pieces.push_back({ZEROS, Padded(png.size()) - png.size()});
    }
    return glb;
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

    const GlbFile file = BuildGlbFile(parts, table);
    if (file.pieces.empty()) {
        DebugLog(L"ERROR: GLB export larger than a GLB file can hold (4 GiB)");
        return outcome.Fail(L"Failed to create GLB file!");
    }
    if (!WriteFileReplacing(path, file.pieces))
        return outcome.Fail(L"Failed to create GLB file!");

    DebugLog(L"GLB export complete: " + std::to_wstring(parts.size()) + L" meshes, " +
             std::to_wstring(table.keys.size()) + L" materials");
    return outcome.Succeed(L"Scene exported to GLB successfully!");
}
