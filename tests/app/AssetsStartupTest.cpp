// Assets in the running program: the built-in "Custom" prop brush made at
// start-up from the file beside the executable, and images and model
// materials turned into real textures of the viewport's OpenGL context.
#include <gtest/gtest.h>

#include <windows.h>
#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/ExecutableFolder.h"
#include "app/WinGlobals.h"
#include "io/TextureLoader.h"
#include "scene/SceneState.h"
#include "tests/app/AppHarness.h"
#include "viewport/GLContext.h"

namespace {

std::wstring BuiltInPropBesideProgram()
{
    return GetExecutableFolder() + L"\\config\\customprop.glb";
}

std::wstring RepositoryCustomProp()
{
    const std::string narrow = TARSEL_CONFIG_DIR "customprop.glb";
    return std::wstring(narrow.begin(), narrow.end());
}

bool LogHas(const std::wstring& text)
{
    return LogText().find(text) != std::wstring::npos;
}

// A 24-bit bottom-up BMP of two by two pixels, written by hand so the test
// does not lean on the decoder's own encoder.
std::vector<std::uint8_t> TwoByTwoBmp()
{
    std::vector<std::uint8_t> file(54 + 16, 0);
    auto put32 = [&file](size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    file[26] = 1;
    file[28] = 24;
    put32(34, 16);
    // Rows bottom-up (the bottom row red, green; the top row blue, white),
    // pixels as B, G, R, each row padded to 4 bytes.
    const std::uint8_t rows[2][6] = {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}};
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 6; ++i)
            file[54 + row * 8 + i] = rows[row][i];
    return file;
}

class AssetsInTheProgram : public ::testing::Test {
protected:
    void TearDown() override
    {
        DeleteFileW(BuiltInPropBesideProgram().c_str());
        RestartApplication();
        ResetEditorState();
    }
};

TEST_F(AssetsInTheProgram, StartupMakesTheCustomBrushFromTheFileBesideTheProgram)
{
    CreateDirectoryW((GetExecutableFolder() + L"\\config").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(RepositoryCustomProp().c_str(), BuiltInPropBesideProgram().c_str(), FALSE));
    ResetEditorState();
    RestartApplication();

    ASSERT_EQ(g_PropBrushes.size(), 1u);
    EXPECT_EQ(g_PropBrushes[0].name, L"Custom");
    EXPECT_TRUE(g_PropBrushes[0].builtIn);
    ASSERT_EQ(g_Models.size(), 1u);
    EXPECT_EQ(g_PropBrushes[0].modelID, g_Models[0].id);
    EXPECT_TRUE(LogHas(L"Loading built-in Custom prop from: " + BuiltInPropBesideProgram()));
    EXPECT_TRUE(LogHas(L"Custom prop brush created successfully (built-in, cannot be removed)"));

    // The crate's embedded image became a texture of the viewport's context.
    ASSERT_TRUE(IsViewportContextReady());
    bool anyTexture = false;
    for (unsigned int name : g_Models[0].materialTextures) {
        if (name == 0)
            continue;
        anyTexture = true;
        EXPECT_NE(name, g_MissingTexture);
        EXPECT_TRUE(glIsTexture(name));
    }
    EXPECT_TRUE(anyTexture);
}

TEST_F(AssetsInTheProgram, StartupWithoutTheFileGoesOnWithoutABrush)
{
    DeleteFileW(BuiltInPropBesideProgram().c_str());
    RestartApplication();
    EXPECT_TRUE(g_PropBrushes.empty());
    EXPECT_TRUE(LogHas(L"WARNING: Failed to load custom prop from " + BuiltInPropBesideProgram()));
    EXPECT_NE(g_hMainWnd, nullptr);
}

TEST_F(AssetsInTheProgram, TextureInAFolderWithANonAsciiNameBecomesAMipmappedTexture)
{
    EnsureApplicationStarted();
    ASSERT_TRUE(IsViewportContextReady());
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tarsel-T\u00e9xt\u00fcr\u00e9-\u4e2d";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\checker.bmp";
    const std::vector<std::uint8_t> bytes = TwoByTwoBmp();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);

    const int index = LoadTexture(path);
    ASSERT_GE(index, 0);
    const Texture& texture = g_Textures[index];
    EXPECT_EQ(texture.name, L"checker.bmp");
    EXPECT_EQ(texture.width, 2);
    EXPECT_EQ(texture.height, 2);
    ASSERT_NE(texture.glName, 0u);
    ASSERT_NE(texture.glName, g_MissingTexture);

    // Level 0 holds the rows as decoded, top row first: blue, white / red, green.
    std::uint8_t texels[16] = {};
    glBindTexture(GL_TEXTURE_2D, texture.glName);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
    const std::uint8_t expected[16] = {0, 0, 255, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(texels[i], expected[i]) << "byte " << i;
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);

    DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(AssetsInTheProgram, UnreadableImageGetsThePlaceholderAndTheWarning)
{
    EnsureApplicationStarted();
    const std::wstring path = GetExecutableFolder() + L"\\no-such-image.png";
    const int index = LoadTexture(path);
    ASSERT_GE(index, 0);
    EXPECT_EQ(g_Textures[index].glName, g_MissingTexture);
    EXPECT_EQ(g_Textures[index].name, L"no-such-image.png [MISSING]");
    EXPECT_TRUE(LogHas(L"WARNING: Texture not found, using placeholder: " + path));
}

} // namespace
