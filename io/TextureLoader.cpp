#include "io/TextureLoader.h"

#include "io/FileUtil.h"
#include "io/ImageDecode.h"
#include "io/TextureUpload.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"

// Size recorded for an image that could not be loaded: the placeholder's.
const int MISSING_TEXTURE_SIZE = 64;

int LoadTexture(const std::wstring& path)
{
    for (size_t i = 0; i < g_Textures.size(); ++i) {
        if (g_Textures[i].path == path)
            return static_cast<int>(i);
    }

    Texture texture;
    texture.id = g_NextTextureId++;
    texture.path = path;
    texture.name = FileNamePart(path);

    DecodedImage image;
    if (DecodeImageFile(path, image)) {
        texture.glName = g_TextureUpload.CreateTexture(image, UPLOAD_MIPMAPPED);
        texture.width = image.width;
        texture.height = image.height;
    }
    if (texture.glName == 0) {
        texture.glName = g_MissingTexture;
        texture.width = MISSING_TEXTURE_SIZE;
        texture.height = MISSING_TEXTURE_SIZE;
        texture.name += L" [MISSING]";
        DebugLog(L"WARNING: Texture not found, using placeholder: " + path);
    }

    g_Textures.push_back(texture);
    return static_cast<int>(g_Textures.size()) - 1;
}

std::wstring TextureListEntryText(const Texture& texture)
{
    return texture.name + L" (" + std::to_wstring(texture.width) + L"x" +
           std::to_wstring(texture.height) + L")";
}
