// Decoding of image files (PNG, JPEG, BMP, TGA and the other formats of
// stb_image) into 8-bit RGBA pixels, kept apart from any OpenGL upload.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Rows first row first, as the file stores them; 4 bytes per pixel.
struct DecodedImage {
    int width;
    int height;
    std::vector<unsigned char> rgba;

    DecodedImage() : width(0), height(0) {}
};

// Images larger than this (or wider or taller than STBI_MAX_DIMENSIONS) are
// refused rather than decoded: a small compressed file must not be able to
// claim gigabytes of memory.
const long long MAX_IMAGE_PIXELS = 32LL * 1024 * 1024;

// False (image left empty) when the bytes are no image the decoder reads.
bool DecodeImageBytes(const unsigned char* bytes, size_t size, DecodedImage& image);

// Reads the file by its wide path and decodes it.
bool DecodeImageFile(const std::wstring& path, DecodedImage& image);
