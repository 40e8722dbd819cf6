#include "io/PngEncode.h"

#include <cstdlib>

#include "io/StbImage.h"
#include "scene/SceneState.h"

bool EncodePng(const DecodedImage& image, std::vector<unsigned char>& png)
{
    png.clear();
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4)
        return false;
    int length = 0;
    unsigned char* bytes =
        stbi_write_png_to_mem(image.rgba.data(), image.width * 4, image.width, image.height, 4, &length);
    if (!bytes)
        return false;
    png.assign(bytes, bytes + length);
    std::free(bytes);   // the writer allocates with malloc
    return length > 0;
}

bool EncodeTextureAsPng(int textureIndex, std::vector<unsigned char>& png)
{
    png.clear();
    if (textureIndex < 0 || static_cast<size_t>(textureIndex) >= g_Textures.size())
        return false;
    DecodedImage image;
    return DecodeImageFile(g_Textures[textureIndex].path, image) && EncodePng(image, png);
}
