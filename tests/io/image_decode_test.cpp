#include <cstdlib>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "io/ImageDecode.h"
#include "io/StbImage.h"

namespace {

void AppendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    out->insert(out->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
}

// A 5 x 3 image with distinct values in every channel (odd width tests row padding).
std::vector<unsigned char> TestPixels(int width, int height, bool withAlpha)
{
    std::vector<unsigned char> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(static_cast<unsigned char>(x * 50 + 3));
            pixels.push_back(static_cast<unsigned char>(y * 80 + 7));
            pixels.push_back(static_cast<unsigned char>((x * 31 + y * 17) & 0xFF));
            if (withAlpha)
                pixels.push_back(static_cast<unsigned char>(255 - x * 40 - y));
        }
    }
    return pixels;
}

std::vector<unsigned char> WithOpaqueAlpha(const std::vector<unsigned char>& rgb)
{
    std::vector<unsigned char> rgba;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgba.insert(rgba.end(), rgb.begin() + i, rgb.begin() + i + 3);
        rgba.push_back(255);
    }
    return rgba;
}

void ExpectDecodesTo(const std::vector<unsigned char>& file, int width, int height,
                     const std::vector<unsigned char>& rgba)
{
    DecodedImage image;
    ASSERT_TRUE(DecodeImageBytes(file.data(), file.size(), image));
    EXPECT_EQ(width, image.width);
    EXPECT_EQ(height, image.height);
    EXPECT_EQ(rgba, image.rgba);
}

} // namespace

TEST(ImageDecode, PngDecodesToTheExactPixels)
{
    std::vector<unsigned char> pixels = TestPixels(5, 3, true);
    ExpectDecodesTo(EncodePng(5, 3, pixels), 5, 3, pixels);
}

// An empty IDAT chunk is legal PNG; the decoder meets it before it has any data buffer.
TEST(ImageDecode, PngWithAnEmptyFirstDataChunkDecodes)
{
    std::vector<unsigned char> pixels = TestPixels(5, 3, true);
    std::vector<unsigned char> file = EncodePng(5, 3, pixels);
    const unsigned char emptyIdat[] = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E};
    const size_t afterHeader = 8 + 25; // signature, then the IHDR chunk
    file.insert(file.begin() + afterHeader, emptyIdat, emptyIdat + sizeof emptyIdat);
    ExpectDecodesTo(file, 5, 3, pixels);
}

TEST(ImageDecode, BmpDecodesToTheExactPixels)
{
    std::vector<unsigned char> rgb = TestPixels(5, 3, false), file;
    ASSERT_TRUE(stbi_write_bmp_to_func(AppendBytes, &file, 5, 3, 3, rgb.data()));
    ExpectDecodesTo(file, 5, 3, WithOpaqueAlpha(rgb));
}

TEST(ImageDecode, HandWrittenBmpDecodesBottomUpRowsFirstRowFirst)
{
    // 2 x 2, 24-bit, rows stored bottom-up in BGR with 2 bytes of padding each.
    std::vector<unsigned char> file = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                       40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,
                                       0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0, 0, 0, 0, 0, 0, 0, 0,
                                       // bottom row: blue, white
                                       255, 0, 0, 255, 255, 255, 0, 0,
                                       // top row: red, green
                                       0, 0, 255, 0, 255, 0, 0, 0};
    ExpectDecodesTo(file, 2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
}

TEST(ImageDecode, TgaDecodesToTheExactPixels)
{
    std::vector<unsigned char> pixels = TestPixels(5, 3, true), file;
    ASSERT_TRUE(stbi_write_tga_to_func(AppendBytes, &file, 5, 3, 4, pixels.data()));
    ExpectDecodesTo(file, 5, 3, pixels);
}

TEST(ImageDecode, JpegDecodesWithinFourLevels)
{
    // A smooth image: JPEG's loss stays small on it.
    const int SIZE = 32;
    std::vector<unsigned char> rgb, file;
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            rgb.push_back(static_cast<unsigned char>(60 + x * 2));
            rgb.push_back(static_cast<unsigned char>(100 + y * 2));
            rgb.push_back(static_cast<unsigned char>(150 + (x + y)));
        }
    ASSERT_TRUE(stbi_write_jpg_to_func(AppendBytes, &file, SIZE, SIZE, 3, rgb.data(), 100));
    DecodedImage image;
    ASSERT_TRUE(DecodeImageBytes(file.data(), file.size(), image));
    ASSERT_EQ(SIZE, image.width);
    ASSERT_EQ(SIZE, image.height);
    std::vector<unsigned char> expected = WithOpaqueAlpha(rgb);
    ASSERT_EQ(expected.size(), image.rgba.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_LE(std::abs(int(expected[i]) - int(image.rgba[i])), 4) << "byte " << i;
}

TEST(ImageDecode, GarbageAndEmptyInputFail)
{
    std::vector<unsigned char> garbage = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    DecodedImage image;
    EXPECT_FALSE(DecodeImageBytes(garbage.data(), garbage.size(), image));
    EXPECT_FALSE(DecodeImageBytes(nullptr, 0, image));
    EXPECT_EQ(0, image.width);
    EXPECT_TRUE(image.rgba.empty());
}

TEST(ImageDecode, TruncatedPngFails)
{
    std::vector<unsigned char> file = EncodePng(5, 3, TestPixels(5, 3, true));
    DecodedImage image;
    // Cut anywhere before the closing IEND chunk (12 bytes), which the decoder does not need.
    for (size_t length = 0; length + 12 < file.size(); length += 7)
        EXPECT_FALSE(DecodeImageBytes(file.data(), length, image)) << length;
}

TEST(ImageDecode, OversizedImageIsRefusedBeforeDecoding)
{
    std::vector<unsigned char> file = EncodePng(5, 3, TestPixels(5, 3, true));
    // IHDR width at bytes 16..19 (big-endian): claim 100000 pixels.
    file[16] = 0;
    file[17] = 0x01;
    file[18] = 0x86;
    file[19] = 0xA0;
    DecodedImage image;
    EXPECT_FALSE(DecodeImageBytes(file.data(), file.size(), image));
}

TEST(ImageDecode, FileDecodesThroughItsWidePath)
{
    TempFolder temp;
    std::wstring folder = temp.MakeSubfolder(L"\u00C4\u03A9\u6587");
    std::vector<unsigned char> pixels = TestPixels(5, 3, true);
    WriteTestFile(folder + L"t\u00EBx.png", EncodePng(5, 3, pixels));
    DecodedImage image;
    ASSERT_TRUE(DecodeImageFile(folder + L"t\u00EBx.png", image));
    EXPECT_EQ(pixels, image.rgba);
    EXPECT_FALSE(DecodeImageFile(folder + L"missing.png", image));
}
