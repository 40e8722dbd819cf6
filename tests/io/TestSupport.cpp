#include "TestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "io/FileUtil.h"
#include "io/StbImage.h"
#include "io/TextureUpload.h"
#include "io/Utf8.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"

namespace {

std::filesystem::path FsPath(const std::wstring& path)
{
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(WideToUtf8(path));
#endif
}

std::wstring WidePath(const std::filesystem::path& path)
{
#ifdef _WIN32
    return path.wstring();
#else
    return Utf8ToWide(path.string());
#endif
}

unsigned int g_NextFakeTexture = 100;

void CaptureLine(const std::wstring& line) { g_CapturedLog.push_back(line); }

unsigned int FakeCreateTexture(const DecodedImage& image, int)
{
    if (g_FailTextureUploads || image.rgba.size() != size_t(image.width) * image.height * 4)
        return 0;
    g_CreatedTextures.push_back(g_NextFakeTexture);
    return g_NextFakeTexture++;
}

void FakeDeleteTexture(unsigned int name) { g_DeletedTextures.push_back(name); }

void AppendAligned(std::vector<unsigned char>& out, const void* data, size_t size, unsigned char pad)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    out.insert(out.end(), bytes, bytes + size);
    while (out.size() % 4)
        out.push_back(pad);
}

void AppendU32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void AppendPngByte(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    out->insert(out->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
}

} // namespace

std::vector<std::wstring> g_CapturedLog;
std::vector<unsigned int> g_CreatedTextures;
std::vector<unsigned int> g_DeletedTextures;
bool g_FailTextureUploads = false;

TempFolder::TempFolder(const std::wstring& nameHint)
{
    static std::atomic<int> counter{0};
    std::filesystem::path base = std::filesystem::temp_directory_path();
    // Unique per process and per folder, so parallel test runs do not meet.
    std::wstring name = nameHint + L"-" +
                        std::to_wstring(std::chrono::steady_clock::now().time_since_epoch().count()) + L"-" +
                        std::to_wstring(counter++);
    std::filesystem::path full = base / FsPath(name);
    std::filesystem::remove_all(full);
    std::filesystem::create_directories(full);
    path = WidePath(full) + PATH_SEPARATOR;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(FsPath(path), ignored);
}

std::wstring TempFolder::File(const std::wstring& name) const { return path + name; }

std::wstring TempFolder::MakeSubfolder(const std::wstring& name) const
{
    std::filesystem::create_directories(FsPath(path + name));
    return path + name + PATH_SEPARATOR;
}

bool LogContains(const std::wstring& text)
{
    for (const std::wstring& line : g_CapturedLog) {
        if (line.find(text) != std::wstring::npos)
            return true;
    }
    return false;
}

void ResetAssetState()
{
    g_Textures.clear();
    g_Models.clear();
    g_PropBrushes.clear();
    g_NextTextureId = 1;
    g_NextModelId = 1;
    g_MissingTexture = TEST_PLACEHOLDER_TEXTURE;
    ResetHooks();
    g_Hooks.AppendLogLine = CaptureLine;
    g_CapturedLog.clear();
    ResetTextureUpload();
    g_TextureUpload.CreateTexture = FakeCreateTexture;
    g_TextureUpload.DeleteTexture = FakeDeleteTexture;
    g_CreatedTextures.clear();
    g_DeletedTextures.clear();
    g_FailTextureUploads = false;
    g_NextFakeTexture = 100;
}

GltfBuilder::GltfBuilder()
{
    root = {{"asset", {{"version", "2.0"}}}};
}

int GltfBuilder::AddBufferView(const void* data, size_t size, size_t stride)
{
    nlohmann::json view = {{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", size}};
    if (stride)
        view["byteStride"] = stride;
    AppendAligned(bin, data, size, 0);
    root["bufferViews"].push_back(view);
    return static_cast<int>(root["bufferViews"].size()) - 1;
}

int GltfBuilder::AddAccessor(int view, int componentType, size_t count, const std::string& type, size_t byteOffset,
                             bool normalized)
{
    nlohmann::json accessor = {{"componentType", componentType}, {"count", count}, {"type", type}};
    if (view >= 0)
        accessor["bufferView"] = view;
    if (byteOffset)
        accessor["byteOffset"] = byteOffset;
    if (normalized)
        accessor["normalized"] = true;
    root["accessors"].push_back(accessor);
    return static_cast<int>(root["accessors"].size()) - 1;
}

int GltfBuilder::AddFloats(const std::vector<float>& values, const std::string& type)
{
    size_t components = type == "SCALAR" ? 1 : type == "VEC2" ? 2 : type == "VEC3" ? 3 : 4;
    int view = AddBufferView(values.data(), values.size() * sizeof(float));
    return AddAccessor(view, 5126, values.size() / components, type);
}

int GltfBuilder::AddIndices16(const std::vector<uint16_t>& indices)
{
    int view = AddBufferView(indices.data(), indices.size() * 2);
    return AddAccessor(view, 5123, indices.size(), "SCALAR");
}

int GltfBuilder::AddIndices32(const std::vector<uint32_t>& indices)
{
    int view = AddBufferView(indices.data(), indices.size() * 4);
    return AddAccessor(view, 5125, indices.size(), "SCALAR");
}

int GltfBuilder::AddMesh(int positions, int indices, int material,
                         const std::vector<std::pair<std::string, int>>& extraAttributes)
{
    nlohmann::json primitive = {{"attributes", {{"POSITION", positions}}}};
    for (const auto& attribute : extraAttributes)
        primitive["attributes"][attribute.first] = attribute.second;
    if (indices >= 0)
        primitive["indices"] = indices;
    if (material >= 0)
        primitive["material"] = material;
    root["meshes"].push_back({{"primitives", {primitive}}});
    return static_cast<int>(root["meshes"].size()) - 1;
}

int GltfBuilder::AddNode(const nlohmann::json& node)
{
    root["nodes"].push_back(node);
    return static_cast<int>(root["nodes"].size()) - 1;
}

void GltfBuilder::SetScene(const std::vector<int>& roots)
{
    root["scenes"] = {{{"nodes", roots}}};
    root["scene"] = 0;
}

int GltfBuilder::AddMaterial(const nlohmann::json& material)
{
    root["materials"].push_back(material);
    return static_cast<int>(root["materials"].size()) - 1;
}

int GltfBuilder::AddImageFromView(int view, const std::string& mimeType)
{
    root["images"].push_back({{"bufferView", view}, {"mimeType", mimeType}});
    return static_cast<int>(root["images"].size()) - 1;
}

int GltfBuilder::AddTexture(int image)
{
    root["textures"].push_back({{"source", image}});
    return static_cast<int>(root["textures"].size()) - 1;
}

std::vector<unsigned char> GltfBuilder::Glb() const
{
    nlohmann::json document = root;
    // The BIN chunk's buffer comes first; buffers a test added follow it.
    nlohmann::json buffers = nlohmann::json::array();
    if (!bin.empty())
        buffers.push_back({{"byteLength", bin.size()}});
    for (const nlohmann::json& buffer : root.value("buffers", nlohmann::json::array()))
        buffers.push_back(buffer);
    if (!buffers.empty())
        document["buffers"] = buffers;
    std::string json = document.dump();
    std::vector<unsigned char> jsonChunk, out;
    AppendAligned(jsonChunk, json.data(), json.size(), ' ');
    AppendU32(out, 0x46546C67);
    AppendU32(out, 2);
    AppendU32(out, static_cast<uint32_t>(12 + 8 + jsonChunk.size() + (bin.empty() ? 0 : 8 + bin.size())));
    AppendU32(out, static_cast<uint32_t>(jsonChunk.size()));
    AppendU32(out, 0x4E4F534A);
    out.insert(out.end(), jsonChunk.begin(), jsonChunk.end());
    if (!bin.empty()) {
        AppendU32(out, static_cast<uint32_t>(bin.size()));
        AppendU32(out, 0x004E4942);
        out.insert(out.end(), bin.begin(), bin.end());
    }
    return out;
}

std::string GltfBuilder::GltfText(const std::string& bufferUri) const
{
    nlohmann::json document = root;
    document["buffers"] = {{{"byteLength", bin.size()}, {"uri", bufferUri}}};
    return document.dump();
}

std::vector<unsigned char> TriangleGlb(const std::vector<float>& positions)
{
    GltfBuilder builder;
    int accessor = builder.AddFloats(positions, "VEC3");
    int mesh = builder.AddMesh(accessor);
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    return builder.Glb();
}

std::string Base64(const std::vector<unsigned char>& bytes)
{
    const char* DIGITS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = uint32_t(bytes[i]) << 16 | (n > 1 ? uint32_t(bytes[i + 1]) << 8 : 0) | (n > 2 ? bytes[i + 2] : 0);
        out += DIGITS[(group >> 18) & 63];
        out += DIGITS[(group >> 12) & 63];
        out += n > 1 ? DIGITS[(group >> 6) & 63] : '=';
        out += n > 2 ? DIGITS[group & 63] : '=';
    }
    return out;
}

std::vector<unsigned char> EncodePng(int width, int height, const std::vector<unsigned char>& rgba)
{
    std::vector<unsigned char> out;
    stbi_write_png_to_func(AppendPngByte, &out, width, height, 4, rgba.data(), width * 4);
    return out;
}

void WriteTestFile(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    ASSERT_TRUE(WriteFileBytes(path, bytes)) << WideToUtf8(path);
}
