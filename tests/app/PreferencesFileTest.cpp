#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/Preferences.h"
#include "app/ExecutableFolder.h"
#include "app/PreferencesFile.h"
#include "tests/app/AppHarness.h"

namespace {

class PreferencesFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemovePreferencesFile();
        RemoveDirectoryW(GetConfigFolder().c_str());
    }
    void TearDown() override { RemovePreferencesFile(); }
};

} // namespace

TEST_F(PreferencesFile, LivesInConfigBesideTheProgram)
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder = program;
    folder.erase(folder.find_last_of(L"\\/"));
    EXPECT_EQ(GetExecutableFolder(), folder);
    EXPECT_EQ(GetPreferencesFilePath(), folder + L"\\config\\preferences.ini");
}

TEST_F(PreferencesFile, MissingFileKeepsTheFieldsAndMakesTheFolder)
{
    ColorPreferences prefs;
    prefs.VertexSize = 0.7f;
    LoadPreferences(prefs);
    EXPECT_FLOAT_EQ(prefs.VertexSize, 0.7f);
    const DWORD attributes = GetFileAttributesW(GetConfigFolder().c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(GetPreferencesFilePath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PreferencesFile, SaveWritesCrLfBytesAndLoadReadsThemBack)
{
    ColorPreferences prefs;
    prefs.Theme = THEME_DARK;
    prefs.UIText = {220, 221, 222};
    prefs.Grid = {0.45f, 0.5f, 0.55f};
    SavePreferences(prefs);
    const std::string bytes = ReadFileBytes(GetPreferencesFilePath());
    EXPECT_EQ(bytes, FormatPreferencesText(prefs));
    EXPECT_NE(bytes.find("Theme=Dark\r\n"), std::string::npos);

    ColorPreferences read;
    LoadPreferences(read);
    EXPECT_EQ(read.Theme, THEME_DARK);
    EXPECT_EQ(read.UIText.g, 221);
    EXPECT_FLOAT_EQ(read.Grid.r, 0.45f);
}

TEST_F(PreferencesFile, SavingReplacesTheOldContents)
{
    WritePreferencesFile(std::string(10000, 'x'));
    SavePreferences(ColorPreferences());
    EXPECT_EQ(ReadFileBytes(GetPreferencesFilePath()), FormatPreferencesText(ColorPreferences()));
}

TEST_F(PreferencesFile, HostileFileIsReadSafely)
{
    std::string bytes = "Theme=Dark\r\nVertexSize=-5\r\nGrid=nan,1e400,0x10\r\n";
    bytes += std::string(3 << 20, '#');   // bigger than any real file
    bytes += "\nUIText=1,2,3\n";
    WritePreferencesFile(bytes);
    ColorPreferences prefs;
    LoadPreferences(prefs);
    EXPECT_EQ(prefs.Theme, THEME_DARK);
    EXPECT_FLOAT_EQ(prefs.VertexSize, 0.15f);
    EXPECT_FLOAT_EQ(prefs.Grid.r, 0.3f);
    EXPECT_FLOAT_EQ(prefs.Grid.b, 0.0f);
    // Reading stops before a line this far into the file.
    EXPECT_EQ(prefs.UIText.r, 0);
}
