// stb_image and stb_image_write with the settings this program uses. Include
// this instead of the stb headers so every file sees the same configuration.
#pragma once

// Refuse absurd sizes inside the decoder too, before it allocates.
#define STBI_MAX_DIMENSIONS 8192

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

// Defined by stb_image_write but declared only in its implementation part.
extern "C" unsigned char* stbi_write_png_to_mem(const unsigned char* pixels, int stride_bytes, int x, int y, int n,
                                                int* out_len);
