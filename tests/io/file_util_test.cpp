#include <gtest/gtest.h>

#include "TestSupport.h"
#include "io/FileUtil.h"
#include "io/Utf8.h"

namespace {

// "Tëst Ω 文件" plus a character outside the Basic Multilingual Plane.
const std::wstring NON_ASCII = L"T\u00EBst \u03A9 \u6587\u4EF6 \U0001F600";

} // namespace

TEST(Utf8, RoundTripsNonAsciiText)
{
    std::string utf8 = WideToUtf8(NON_ASCII);
    EXPECT_EQ("T\xC3\xABst \xCE\xA9 \xE6\x96\x87\xE4\xBB\xB6 \xF0\x9F\x98\x80", utf8);
    EXPECT_EQ(NON_ASCII, Utf8ToWide(utf8));
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters)
{
    EXPECT_EQ(std::wstring(L"a\uFFFDb"), Utf8ToWide("a\xFF" "b"));
    EXPECT_EQ(std::wstring(L"\uFFFD\uFFFD"), Utf8ToWide("\xE6\x96"));  // truncated sequence
    EXPECT_EQ(std::wstring(L"\uFFFD\uFFFD"), Utf8ToWide("\xC0\xAF"));  // overlong '/'
    EXPECT_EQ(std::wstring(L"\uFFFD\uFFFD\uFFFD"), Utf8ToWide("\xED\xA0\x80"));  // encoded surrogate
}

TEST(FilePaths, FileNameAndFolderParts)
{
    EXPECT_EQ(L"brick.png", FileNamePart(L"D:\\tex\\brick.png"));
    EXPECT_EQ(L"stone.jpg", FileNamePart(L"textures/stone.jpg"));
    EXPECT_EQ(L"stone.jpg", FileNamePart(L"stone.jpg"));
    EXPECT_EQ(L"D:\\tex\\", FolderPart(L"D:\\tex\\brick.png"));
    EXPECT_EQ(L"a/b\\", FolderPart(L"a/b\\c"));
    EXPECT_EQ(L"", FolderPart(L"stone.jpg"));
}

TEST(FileBytes, WritesAndReadsInAFolderWithANonAsciiName)
{
    TempFolder temp;
    std::wstring folder = temp.MakeSubfolder(NON_ASCII);
    std::wstring path = folder + NON_ASCII + L".bin";
    std::vector<unsigned char> bytes = {0, 1, 2, 250, 255};
    WriteTestFile(path, bytes);
    std::vector<unsigned char> read;
    ASSERT_TRUE(ReadFileBytes(path, read));
    EXPECT_EQ(bytes, read);
    EXPECT_TRUE(FileExists(path));
}

TEST(FileBytes, ReadsLargeFilesWholeAndRefusesThoseOverTheCap)
{
    TempFolder temp;
    std::vector<unsigned char> bytes(200000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    WriteTestFile(temp.File(L"big.bin"), bytes);
    std::vector<unsigned char> read;
    ASSERT_TRUE(ReadFileBytes(temp.File(L"big.bin"), read));
    EXPECT_EQ(bytes, read);
    EXPECT_TRUE(ReadFileBytes(temp.File(L"big.bin"), read, bytes.size()));
    EXPECT_FALSE(ReadFileBytes(temp.File(L"big.bin"), read, bytes.size() - 1));
    EXPECT_TRUE(read.empty());
}

TEST(FileBytes, MissingFileFails)
{
    TempFolder temp;
    std::vector<unsigned char> read = {1};
    EXPECT_FALSE(ReadFileBytes(temp.File(L"missing.bin"), read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(FileExists(temp.File(L"missing.bin")));
}

TEST(FileBytes, EmptyFileReadsAsNoBytes)
{
    TempFolder temp;
    WriteTestFile(temp.File(L"empty.bin"), {});
    std::vector<unsigned char> read = {1};
    EXPECT_TRUE(ReadFileBytes(temp.File(L"empty.bin"), read));
    EXPECT_TRUE(read.empty());
}
