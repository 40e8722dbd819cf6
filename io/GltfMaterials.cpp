#include "io/GltfMaterials.h"

#include <algorithm>

#include "io/GltfAccessors.h"
#include "io/ImageDecode.h"
#include "io/TextureUpload.h"
#include "io/Utf8.h"
#include "scene/DebugLog.h"

namespace {

const float DEFAULT_MATERIAL_GREY = 0.8f;
// Marks an image not tried yet in the per-load cache.
const long long IMAGE_NOT_TRIED = -1;

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// URIs in glTF are percent-encoded UTF-8 (a space is "%20").
std::string PercentDecode(const std::string& uri)
{
    std::string out;
    for (size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && HexDigitValue(uri[i + 1]) >= 0 && HexDigitValue(uri[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(uri[i + 1]) * 16 + HexDigitValue(uri[i + 2]));
            i += 2;
        } else {
            out += uri[i];
        }
    }
    return out;
}

// Decodes image `index` of the file and makes its texture; logs the line for
// a decoded image. 0 when the image cannot be read or no texture was made.
unsigned int MakeImageTexture(const tinygltf::Model& gltf, int index, const std::wstring& folder)
{
    const tinygltf::Image& source = gltf.images[index];
    DecodedImage image;
    if (source.bufferView >= 0 || !source.image.empty()) {
        const unsigned char* data = source.image.data();
        size_t size = source.image.size();
        if (source.bufferView >= 0 && !BufferViewBytes(gltf, source.bufferView, data, size))
            return 0;
        if (!DecodeImageBytes(data, size, image))
            return 0;
        DebugLog(L"    Loaded embedded texture: " + std::to_wstring(image.width) + L"x" +
                 std::to_wstring(image.height));
    } else if (!source.uri.empty()) {
        std::wstring path = folder + Utf8ToWide(PercentDecode(source.uri));
        if (!DecodeImageFile(path, image))
            return 0;
        DebugLog(L"    Loaded external texture: " + path);
    } else {
        return 0;
    }
    return g_TextureUpload.CreateTexture(image, UPLOAD_SINGLE_LEVEL);
}

// The image a material's base-colour texture shows, -1 when none is valid.
int BaseColorImage(const tinygltf::Model& gltf, const tinygltf::Material& material)
{
    int texture = material.pbrMetallicRoughness.baseColorTexture.index;
    if (texture < 0 || static_cast<size_t>(texture) >= gltf.textures.size())
        return -1;
    int image = gltf.textures[texture].source;
    return image >= 0 && static_cast<size_t>(image) < gltf.images.size() ? image : -1;
}

float ColorComponent(const std::vector<double>& factor, size_t i)
{
    return i < factor.size() ? std::min(std::max(static_cast<float>(factor[i]), 0.0f), 1.0f) : 1.0f;
}

} // namespace

void LoadModelMaterials(const GltfDocument& document, const std::wstring& folder, Model& model)
{
    const tinygltf::Model& gltf = document.gltf;
    // Materials often share an image: decode and upload each one once.
    std::vector<long long> imageTextures(gltf.images.size(), IMAGE_NOT_TRIED);
    for (size_t i = 0; i < gltf.materials.size(); ++i) {
        const tinygltf::Material& material = gltf.materials[i];
        std::array<float, 3> color = {DEFAULT_MATERIAL_GREY, DEFAULT_MATERIAL_GREY, DEFAULT_MATERIAL_GREY};
        unsigned int texture = 0;
        if (document.materialHasPbr[i]) {
            const std::vector<double>& factor = material.pbrMetallicRoughness.baseColorFactor;
            color = {ColorComponent(factor, 0), ColorComponent(factor, 1), ColorComponent(factor, 2)};
            int image = BaseColorImage(gltf, material);
            if (image >= 0) {
                if (imageTextures[image] == IMAGE_NOT_TRIED)
                    imageTextures[image] = MakeImageTexture(gltf, image, folder);
                texture = static_cast<unsigned int>(imageTextures[image]);
            }
        }
        model.materialColors.push_back(color);
        model.materialTextures.push_back(texture);
        std::wstring line = L"  Material " + std::to_wstring(i) + L": RGB(" + std::to_wstring(color[0]) + L", " +
                            std::to_wstring(color[1]) + L", " + std::to_wstring(color[2]) + L")";
        if (texture != 0)
            line += L" + Texture ID " + std::to_wstring(texture);
        DebugLog(line);
    }
    if (gltf.materials.empty()) {
        model.materialColors.push_back({DEFAULT_MATERIAL_GREY, DEFAULT_MATERIAL_GREY, DEFAULT_MATERIAL_GREY});
        model.materialTextures.push_back(0);
        DebugLog(L"  No materials found, using default grey");
    }
}
