// Helpers for the asset tests: a temporary folder, log capture, a fake
// texture upload, reset of the asset state, and a builder for glTF files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// A fresh folder under the system's temporary folder, removed with its
// contents on destruction. The name may carry non-ASCII text.
struct TempFolder {
    std::wstring path;   // ends with a separator

    explicit TempFolder(const std::wstring& nameHint = L"tarsel-io");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // path + name, for a file inside.
    std::wstring File(const std::wstring& name) const;
    // Creates a subfolder and returns its path with a trailing separator.
    std::wstring MakeSubfolder(const std::wstring& name) const;
};

// Lines sent to DebugLog since the last ResetAssetState.
extern std::vector<std::wstring> g_CapturedLog;
bool LogContains(const std::wstring& text);

// Textures made and deleted through the fake upload installed by ResetAssetState.
extern std::vector<unsigned int> g_CreatedTextures;
extern std::vector<unsigned int> g_DeletedTextures;
extern bool g_FailTextureUploads;   // the fake upload returns 0 while set

// Empties the asset containers, restores the counters, captures the log and
// installs the fake upload (names from 100 up; placeholder name 7).
void ResetAssetState();
const unsigned int TEST_PLACEHOLDER_TEXTURE = 7;

// Builds a glTF 2.0 document with one binary buffer.
struct GltfBuilder {
    nlohmann::json root;
    std::vector<unsigned char> bin;

    GltfBuilder();
    // Appends bytes (4-byte aligned) and a buffer view over them.
    int AddBufferView(const void* data, size_t size, size_t stride = 0);
    int AddAccessor(int view, int componentType, size_t count, const std::string& type, size_t byteOffset = 0,
                    bool normalized = false);
    int AddFloats(const std::vector<float>& values, const std::string& type);
    int AddIndices16(const std::vector<uint16_t>& indices);
    int AddIndices32(const std::vector<uint32_t>& indices);
    // A mesh of one triangle-list primitive; material -1 for none.
    int AddMesh(int positions, int indices = -1, int material = -1,
                const std::vector<std::pair<std::string, int>>& extraAttributes = {});
    int AddNode(const nlohmann::json& node);
    void SetScene(const std::vector<int>& roots);
    int AddMaterial(const nlohmann::json& material);
    int AddImageFromView(int view, const std::string& mimeType = "image/png");
    int AddTexture(int image);

    std::vector<unsigned char> Glb() const;
    // JSON text naming the buffer by uri (written separately as bin).
    std::string GltfText(const std::string& bufferUri) const;
};

// A GLB of one triangle, positions given, under one node in the default scene.
std::vector<unsigned char> TriangleGlb(const std::vector<float>& positions);

// Standard base64 with padding, for data URIs.
std::string Base64(const std::vector<unsigned char>& bytes);

std::vector<unsigned char> EncodePng(int width, int height, const std::vector<unsigned char>& rgba);

// Writes bytes to a file; fails the test on error.
void WriteTestFile(const std::wstring& path, const std::vector<unsigned char>& bytes);
