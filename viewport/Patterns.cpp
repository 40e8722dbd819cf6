#include "viewport/Patterns.h"

std::vector<std::uint8_t> MakeMissingTextureImage()
{
    std::vector<std::uint8_t> pixels(MISSING_TEXTURE_SIZE * MISSING_TEXTURE_SIZE * 4);
    for (int y = 0; y < MISSING_TEXTURE_SIZE; ++y) {
        for (int x = 0; x < MISSING_TEXTURE_SIZE; ++x) {
            const std::uint8_t c = ((x / 8 + y / 8) % 2 == 0) ? 255 : 128;
            std::uint8_t* pixel = &pixels[(y * MISSING_TEXTURE_SIZE + x) * 4];
            pixel[0] = c;
            pixel[1] = 0;
            pixel[2] = c;
            pixel[3] = 255;
        }
    }
    return pixels;
}

std::array<std::uint8_t, 128> MakeHoleStipple()
{
    std::array<std::uint8_t, 128> pattern;
    for (int row = 0; row < 32; ++row)
        for (int column = 0; column < 4; ++column)
            pattern[row * 4 + column] = static_cast<std::uint8_t>(0x11 << (row % 4));
    return pattern;
}
