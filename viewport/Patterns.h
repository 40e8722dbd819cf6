// The two bit patterns the viewport uploads: the magenta and purple checker
// that stands in for images that fail to load, and the diagonal polygon
// stipple of holes. Plain bytes, no OpenGL.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

const int MISSING_TEXTURE_SIZE = 64;

// 64 x 64 RGBA pixels, rows from y = 0: 8 x 8 cells alternating magenta
// (255, 0, 255) and dark purple (128, 0, 128), the first cell magenta.
std::vector<std::uint8_t> MakeMissingTextureImage();

// 32 x 32 bits, row r is four bytes of 0x11 shifted left by r mod 4.
std::array<std::uint8_t, 128> MakeHoleStipple();
