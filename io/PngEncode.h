// PNG encoding of RGBA pixels, and a texture's image file re-read and encoded
// for embedding in or beside an exported scene.
#pragma once

#include <vector>

#include "io/ImageDecode.h"

// False (png empty) when the encoder fails.
bool EncodePng(const DecodedImage& image, std::vector<unsigned char>& png);

// The image file of g_Textures[textureIndex] decoded again from disk and
// encoded as PNG. False for an index outside g_Textures or a file that cannot
// be read or encoded.
bool EncodeTextureAsPng(int textureIndex, std::vector<unsigned char>& png);
