#include "io/GltfDocument.h"

#include <cstdint>

#include <nlohmann/json.hpp>

#include "io/FileUtil.h"
#include "io/Utf8.h"

namespace {

// tinygltf turns extras and extensions into values recursively: deeper JSON
// would overflow the stack. Real glTF files nest a dozen levels at most.
const int MAX_JSON_DEPTH = 64;

const uint32_t GLB_MAGIC = 0x46546C67;        // "glTF"
const uint32_t GLB_CHUNK_JSON = 0x4E4F534A;   // "JSON"
const uint32_t GLB_CHUNK_BIN = 0x004E4942;    // "BIN\0"
const size_t GLB_HEADER_BYTES = 12;
const size_t GLB_CHUNK_HEADER_BYTES = 8;

// Extensions whose absence of support would change the meaning of the file;
// the accessor reader takes any component type, so quantised meshes read.
const char* const HONOURED_REQUIRED_EXTENSIONS[] = {"KHR_mesh_quantization"};

uint32_t ReadU32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool IsGlb(const std::vector<unsigned char>& bytes)
{
    return bytes.size() >= 4 && ReadU32(bytes.data()) == GLB_MAGIC;
}

// Checks the GLB header and chunk sizes; gives the JSON chunk and the GLB's
// declared length (which may be less than the bytes held).
bool CheckGlbLayout(const std::vector<unsigned char>& bytes, size_t& jsonOffset, size_t& jsonLength,
                    size_t& glbLength)
{
    if (bytes.size() < GLB_HEADER_BYTES + GLB_CHUNK_HEADER_BYTES)
        return false;
    uint64_t version = ReadU32(&bytes[4]);
    uint64_t length = ReadU32(&bytes[8]);
    uint64_t chunkLength = ReadU32(&bytes[12]);
    uint64_t chunkType = ReadU32(&bytes[16]);
    if (version != 2 || length > bytes.size() || chunkType != GLB_CHUNK_JSON || chunkLength == 0)
        return false;
    uint64_t jsonEnd = GLB_HEADER_BYTES + GLB_CHUNK_HEADER_BYTES + chunkLength;
    if (jsonEnd > length)
        return false;
    if (jsonEnd < length) {
        // The BIN chunk's own header counts too.
        if (jsonEnd + GLB_CHUNK_HEADER_BYTES > length)
            return false;
        uint64_t binLength = ReadU32(&bytes[jsonEnd]);
        uint64_t binType = ReadU32(&bytes[jsonEnd + 4]);
        if (binType != GLB_CHUNK_BIN || jsonEnd + GLB_CHUNK_HEADER_BYTES + binLength > length)
            return false;
    }
    jsonOffset = GLB_HEADER_BYTES + GLB_CHUNK_HEADER_BYTES;
    jsonLength = static_cast<size_t>(chunkLength);
    glbLength = static_cast<size_t>(length);
    return true;
}

// Integer properties read the way tinygltf reads them, so both agree on what
// the file says.
bool ReadUnsigned(const nlohmann::json& object, const char* key, uint64_t& value)
{
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_unsigned())
        return false;
    value = it->get<uint64_t>();
    return true;
}

bool ReadInteger(const nlohmann::json& object, const char* key, int& value)
{
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return false;
    value = static_cast<int>(it->get<int64_t>());
    return true;
}

const nlohmann::json& ArrayMember(const nlohmann::json& object, const char* key)
{
    static const nlohmann::json EMPTY = nlohmann::json::array();
    auto it = object.find(key);
    return it != object.end() && it->is_array() ? *it : EMPTY;
}

// tinygltf hands an image's buffer view to the image callback without
// checking that the view lies inside its buffer, so every view is checked
// here against the declared buffer lengths (which tinygltf enforces).
bool BufferViewsInsideBuffers(const nlohmann::json& root)
{
    const nlohmann::json& buffers = ArrayMember(root, "buffers");
    for (const nlohmann::json& view : ArrayMember(root, "bufferViews")) {
        if (!view.is_object())
            return false;
        int buffer = -1;
        uint64_t offset = 0, length = 0, bufferLength = 0;
        ReadUnsigned(view, "byteOffset", offset);
        if (!ReadInteger(view, "buffer", buffer) || !ReadUnsigned(view, "byteLength", length))
            return false;
        if (buffer < 0 || static_cast<size_t>(buffer) >= buffers.size() || !buffers[buffer].is_object() ||
            !ReadUnsigned(buffers[buffer], "byteLength", bufferLength))
            return false;
        if (length == 0 || offset > bufferLength || length > bufferLength - offset)
            return false;
    }
    return true;
}

// tinygltf copies the GLB's BIN chunk into every buffer without a URI: their
// lengths together may not exceed the file, or a small file could claim
// gigabytes.
bool EmbeddedBuffersFitTheFile(const nlohmann::json& root, size_t fileBytes)
{
    uint64_t total = 0;
    for (const nlohmann::json& buffer : ArrayMember(root, "buffers")) {
        uint64_t length = 0;
        if (buffer.is_object() && !buffer.contains("uri") && ReadUnsigned(buffer, "byteLength", length)) {
            if (length > fileBytes - total)
                return false;
            total += length;
        }
    }
    return true;
}

std::vector<bool> MaterialsWithPbrBlock(const nlohmann::json& root)
{
    std::vector<bool> result;
    for (const nlohmann::json& material : ArrayMember(root, "materials"))
        result.push_back(material.is_object() && material.contains("pbrMetallicRoughness"));
    return result;
}

// True when no array or object lies more than MAX_JSON_DEPTH levels deep.
bool JsonNestingIsShallow(const char* text, size_t length)
{
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > MAX_JSON_DEPTH)
                return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

bool CheckJson(const char* text, size_t length, size_t fileBytes, GltfDocument& document)
{
    if (!JsonNestingIsShallow(text, length))
        return false;
    nlohmann::json root = nlohmann::json::parse(text, text + length, nullptr, false);
    if (root.is_discarded() || !root.is_object() || !BufferViewsInsideBuffers(root) ||
        !EmbeddedBuffersFitTheFile(root, fileBytes))
        return false;
    document.materialHasPbr = MaterialsWithPbrBlock(root);
    return true;
}

// File access for tinygltf: only inside the model's folder, by wide path.
struct FileAccess {
    std::string folderUtf8;
    size_t bytesRead;
    bool failed;   // a file the model names could not be read
};

bool InsideFolder(const std::string& path, const FileAccess& access)
{
    return access.folderUtf8.empty() || path.compare(0, access.folderUtf8.size(), access.folderUtf8) == 0;
}

bool FileExistsCallback(const std::string& path, void* user)
{
    FileAccess& access = *static_cast<FileAccess*>(user);
    bool exists = InsideFolder(path, access) && FileExists(Utf8ToWide(path));
    access.failed = access.failed || !exists;
    return exists;
}

std::string ExpandFilePathCallback(const std::string& path, void*) { return path; }

bool ReadWholeFileCallback(std::vector<unsigned char>* out, std::string* err, const std::string& path,
                           void* user)
{
    FileAccess& access = *static_cast<FileAccess*>(user);
    // One cap for all external files together: a file naming the same large
    // buffer many times must not multiply it.
    size_t remaining = MAX_MODEL_FILE_BYTES - access.bytesRead;
    if (!InsideFolder(path, access) || !ReadFileBytes(Utf8ToWide(path), *out, remaining)) {
        if (err)
            *err = "cannot read " + path;
        access.failed = true;
        return false;
    }
    access.bytesRead += out->size();
    return true;
}

bool WriteWholeFileCallback(std::string*, const std::string&, const std::vector<unsigned char>&, void*)
{
    return false;
}

// Keeps a data-URI image's bytes for decoding after the parse; decoding here
// would let one bad image fail the whole file. Buffer-view images are read
// later from their view, so their bytes are not copied.
bool KeepImageBytes(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                    const unsigned char* bytes, int size, void*)
{
    if (image->bufferView < 0 && bytes && size > 0)
        image->image.assign(bytes, bytes + size);
    return true;
}

bool HonoursRequiredExtensions(const tinygltf::Model& gltf)
{
    for (const std::string& name : gltf.extensionsRequired) {
        bool honoured = false;
        for (const char* known : HONOURED_REQUIRED_EXTENSIONS)
            honoured = honoured || name == known;
        if (!honoured)
            return false;
    }
    return true;
}

std::string FolderForTinyGltf(const std::wstring& folder)
{
    // tinygltf joins folder and URI with '/', so drop a trailing separator.
    std::wstring trimmed = folder;
    if (trimmed.size() > 1 && (trimmed.back() == L'\\' || trimmed.back() == L'/'))
        trimmed.pop_back();
    return WideToUtf8(trimmed);
}

} // namespace

GltfParseResult ParseGltfDocument(const std::vector<unsigned char>& bytes, const std::wstring& folder,
                                  GltfDocument& document)
{
    document = GltfDocument();
    if (bytes.empty() || bytes.size() > MAX_MODEL_FILE_BYTES)
        return GLTF_NOT_PARSED;

    bool glb = IsGlb(bytes);
    size_t jsonOffset = 0, jsonLength = bytes.size(), glbLength = 0;
    if (glb && !CheckGlbLayout(bytes, jsonOffset, jsonLength, glbLength))
        return GLTF_NOT_PARSED;
    const char* json = reinterpret_cast<const char*>(bytes.data()) + jsonOffset;
    if (!CheckJson(json, jsonLength, bytes.size(), document))
        return GLTF_NOT_PARSED;

    FileAccess access{FolderForTinyGltf(folder), 0, false};
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(KeepImageBytes, nullptr);
    loader.SetFsCallbacks(
        tinygltf::FsCallbacks{FileExistsCallback, ExpandFilePathCallback, ReadWholeFileCallback,
                              WriteWholeFileCallback, &access});
    std::string error, warning;
    bool parsed = false;
    try {
        parsed = glb ? loader.LoadBinaryFromMemory(&document.gltf, &error, &warning, bytes.data(),
                                                   static_cast<unsigned int>(glbLength), access.folderUtf8)
                     : loader.LoadASCIIFromString(&document.gltf, &error, &warning, json,
                                                  static_cast<unsigned int>(jsonLength), access.folderUtf8);
    } catch (...) {
        parsed = false;
    }
    if (!parsed || !HonoursRequiredExtensions(document.gltf) ||
        document.materialHasPbr.size() != document.gltf.materials.size()) {
        document = GltfDocument();
        return access.failed ? GLTF_BUFFERS_MISSING : GLTF_NOT_PARSED;
    }
    document.inputBytes = bytes.size() + access.bytesRead;
    return GLTF_PARSED;
}
