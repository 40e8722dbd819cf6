#include "io/ImageDecode.h"

#include <climits>

#include "io/FileUtil.h"
#include "io/StbImage.h"

// Compressed image files are far smaller than this; anything bigger is no texture.
const size_t MAX_IMAGE_FILE_BYTES = size_t(256) << 20;

bool DecodeImageBytes(const unsigned char* bytes, size_t size, DecodedImage& image)
{
    image = DecodedImage();
    if (!bytes || size == 0 || size > static_cast<size_t>(INT_MAX))
        return false;
    int length = static_cast<int>(size);
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, length, &width, &height, &channels))
        return false;
    if (width <= 0 || height <= 0 || width > STBI_MAX_DIMENSIONS || height > STBI_MAX_DIMENSIONS ||
        static_cast<long long>(width) * height > MAX_IMAGE_PIXELS)
        return false;
    unsigned char* pixels = stbi_load_from_memory(bytes, length, &width, &height, &channels, 4);
    if (!pixels)
        return false;
    image.width = width;
    image.height = height;
    image.rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}

bool DecodeImageFile(const std::wstring& path, DecodedImage& image)
{
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, bytes, MAX_IMAGE_FILE_BYTES)) {
        image = DecodedImage();
        return false;
    }
    return DecodeImageBytes(bytes.data(), bytes.size(), image);
}
