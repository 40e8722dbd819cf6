#include <gtest/gtest.h>

#include "TestSupport.h"
#include "io/TextureLoader.h"
#include "io/TextureUpload.h"
#include "scene/SceneState.h"

namespace {

std::vector<unsigned char> SmallPng()
{
    return EncodePng(2, 3, std::vector<unsigned char>(2 * 3 * 4, 200));
}

struct TextureLoaderTest : ::testing::Test {
    void SetUp() override { ResetAssetState(); }
    void TearDown() override { ResetAssetState(); }
};

} // namespace

TEST_F(TextureLoaderTest, LoadsAnImageThroughTheUploadSeam)
{
    TempFolder temp;
    WriteTestFile(temp.File(L"brick.png"), SmallPng());
    int index = LoadTexture(temp.File(L"brick.png"));
    ASSERT_EQ(0, index);
    const Texture& texture = g_Textures[0];
    EXPECT_EQ(1, texture.id);
    EXPECT_EQ(temp.File(L"brick.png"), texture.path);
    EXPECT_EQ(L"brick.png", texture.name);
    EXPECT_EQ(100u, texture.glName);
    EXPECT_EQ(2, texture.width);
    EXPECT_EQ(3, texture.height);
    EXPECT_TRUE(g_CapturedLog.empty());
    EXPECT_EQ(L"brick.png (2x3)", TextureListEntryText(texture));
}

TEST_F(TextureLoaderTest, SamePathTwiceGivesOneRecordAndOneTexture)
{
    TempFolder temp;
    WriteTestFile(temp.File(L"brick.png"), SmallPng());
    EXPECT_EQ(0, LoadTexture(temp.File(L"brick.png")));
    EXPECT_EQ(0, LoadTexture(temp.File(L"brick.png")));
    EXPECT_EQ(1u, g_Textures.size());
    EXPECT_EQ(1u, g_CreatedTextures.size());
    // Case matters: another spelling is another record.
    EXPECT_EQ(1, LoadTexture(temp.File(L"Brick.png")));
}

TEST_F(TextureLoaderTest, MissingImageGetsThePlaceholder)
{
    int index = LoadTexture(L"D:\\tex\\wall.png");
    ASSERT_EQ(0, index);
    const Texture& texture = g_Textures[0];
    EXPECT_EQ(L"wall.png [MISSING]", texture.name);
    EXPECT_EQ(TEST_PLACEHOLDER_TEXTURE, texture.glName);
    EXPECT_EQ(64, texture.width);
    EXPECT_EQ(64, texture.height);
    ASSERT_EQ(1u, g_CapturedLog.size());
    EXPECT_EQ(L"WARNING: Texture not found, using placeholder: D:\\tex\\wall.png", g_CapturedLog[0]);
    EXPECT_EQ(L"wall.png [MISSING] (64x64)", TextureListEntryText(texture));
    // Asked again, the record is returned without another try or log line.
    EXPECT_EQ(0, LoadTexture(L"D:\\tex\\wall.png"));
    EXPECT_EQ(1u, g_CapturedLog.size());
}

TEST_F(TextureLoaderTest, NamesComeFromEitherSeparator)
{
    LoadTexture(L"textures/stone.jpg");
    LoadTexture(L"stone.jpg");
    EXPECT_EQ(L"stone.jpg [MISSING]", g_Textures[0].name);
    EXPECT_EQ(L"stone.jpg [MISSING]", g_Textures[1].name);
}

TEST_F(TextureLoaderTest, IdsKeepCountingAcrossFailures)
{
    TempFolder temp;
    WriteTestFile(temp.File(L"good.png"), SmallPng());
    LoadTexture(temp.File(L"good.png"));
    LoadTexture(temp.File(L"missing.png"));
    LoadTexture(temp.File(L"other-missing.png"));
    EXPECT_EQ(3, g_Textures[2].id);
    EXPECT_EQ(4, g_NextTextureId);
}

TEST_F(TextureLoaderTest, FailedUploadFallsBackToThePlaceholder)
{
    TempFolder temp;
    WriteTestFile(temp.File(L"brick.png"), SmallPng());
    g_FailTextureUploads = true;
    LoadTexture(temp.File(L"brick.png"));
    EXPECT_EQ(TEST_PLACEHOLDER_TEXTURE, g_Textures[0].glName);
    EXPECT_EQ(L"brick.png [MISSING]", g_Textures[0].name);
    EXPECT_EQ(64, g_Textures[0].width);
    EXPECT_TRUE(LogContains(L"WARNING: Texture not found, using placeholder: "));
}

TEST_F(TextureLoaderTest, WithoutOpenGLEveryImageGetsThePlaceholder)
{
    ResetTextureUpload();
    TempFolder temp;
    WriteTestFile(temp.File(L"brick.png"), SmallPng());
    LoadTexture(temp.File(L"brick.png"));
    EXPECT_EQ(TEST_PLACEHOLDER_TEXTURE, g_Textures[0].glName);
}

TEST_F(TextureLoaderTest, ImageInAFolderWithANonAsciiNameLoads)
{
    TempFolder temp;
    std::wstring folder = temp.MakeSubfolder(L"Texturen \u00DC\u03A9\u6587\u4EF6");
    WriteTestFile(folder + L"\u00E9t\u00E9.png", SmallPng());
    LoadTexture(folder + L"\u00E9t\u00E9.png");
    EXPECT_EQ(100u, g_Textures[0].glName);
    EXPECT_EQ(L"\u00E9t\u00E9.png", g_Textures[0].name);
    EXPECT_TRUE(g_CapturedLog.empty());
}

TEST_F(TextureLoaderTest, ReleaseLeavesThePlaceholderAndNoTextureAlone)
{
    ReleaseTexture(0);
    ReleaseTexture(TEST_PLACEHOLDER_TEXTURE);
    EXPECT_TRUE(g_DeletedTextures.empty());
    ReleaseTexture(123);
    EXPECT_EQ(std::vector<unsigned int>{123}, g_DeletedTextures);
}
