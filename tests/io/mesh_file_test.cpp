#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "ProjectTestSupport.h"
#include "TestSupport.h"
#include "io/FileUtil.h"
#include "io/MeshFile.h"

namespace {

// An independent reader of the side file, straight from the format's table.
struct TableReader {
    const std::vector<unsigned char>& bytes;
    size_t at = 0;

    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | bytes.at(at + i);
        at += 4;
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float F32()
    {
        uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    double F64()
    {
        uint64_t low = U32();
        uint64_t high = U32();
        uint64_t bits = high << 32 | low;
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
};

// Little-endian builder for hand-made side files.
struct SideFileBuilder {
    std::vector<unsigned char> bytes;

    SideFileBuilder& Raw(const char* text, size_t size)
    {
        bytes.insert(bytes.end(), text, text + size);
        return *this;
    }
    SideFileBuilder& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
    SideFileBuilder& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    SideFileBuilder& F32(float f)
    {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        return U32(bits);
    }
    SideFileBuilder& F64(double d)
    {
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        U32(static_cast<uint32_t>(bits));
        return U32(static_cast<uint32_t>(bits >> 32));
    }
};

// One triangle, version 2, with the given scale and colour and vertex x.
SideFileBuilder OneTriangle(double x, int32_t index, float scale, int32_t red, uint32_t version = 2)
{
    SideFileBuilder file;
    file.Raw("TSM", 4).U32(version).I32(3).I32(1);
    file.F64(x).F64(0).F64(0).F64(1).F64(0).F64(0).F64(0).F64(1).F64(0);
    file.I32(0).I32(1).I32(index);
    file.I32(-1);
    file.F32(scale);
    if (version == 2)
        file.I32(red).I32(20).I32(30);
    return file;
}

struct MeshOut {
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    std::vector<int> ids{7};
    std::vector<float> scales{7.0f};
    std::vector<FaceColor> colors{FaceColor(7, 7, 7)};

    bool Load(const std::wstring& path) { return LoadMeshFile(path, V, F, ids, scales, colors); }
    bool Untouched() const
    {
        return V.size() == 0 && F.size() == 0 && ids == std::vector<int>{7} && scales == std::vector<float>{7.0f} &&
               colors.size() == 1 && colors[0].r == 7;
    }
};

struct MeshFileTest : ::testing::Test {
    TempFolder temp;
    void SetUp() override { ResetProjectState(); }
    void TearDown() override { ResetProjectState(); }
};

} // namespace

TEST_F(MeshFileTest, WritesTheTableLayoutWithPadsForShortArrays)
{
    Eigen::MatrixXd V(3, 3);
    V << 0.5, -1, 2, 3, 4.25, 5, 6, 7, 1e-300;
    Eigen::MatrixXi F(2, 3);
    F << 0, 1, 2, 2, 1, 0;
    std::wstring path = temp.File(L"m.tsm");
    ASSERT_TRUE(SaveMeshFile(path, V, F, {4}, {2.5f, 3.0f, 9.0f}, {}));
    EXPECT_TRUE(LogContains(L"Saved TSM file: " + path + L" (3 verts, 2 faces)"));

    std::vector<unsigned char> bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), 16u + 24 * 3 + 12 * 2 + 4 * 2 + 4 * 2 + 12 * 2);
    TableReader in{bytes};
    EXPECT_EQ(0, std::memcmp(bytes.data(), "TSM\0", 4));
    in.at = 4;
    EXPECT_EQ(in.U32(), 2u);
    EXPECT_EQ(in.I32(), 3);
    EXPECT_EQ(in.I32(), 2);
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(in.F64(), V(i, k));
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(in.I32(), F(i, k));
    EXPECT_EQ(in.I32(), 4);
    EXPECT_EQ(in.I32(), -1);   // pad
    EXPECT_EQ(in.F32(), 2.5f);
    EXPECT_EQ(in.F32(), 3.0f);  // the third scale lies past nF and is not written
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(in.I32(), 255);
    EXPECT_EQ(in.at, bytes.size());
}

TEST_F(MeshFileTest, ObjectWithoutPerFaceArraysReadsBackFullArrays)
{
    Eigen::MatrixXd V(3, 3);
    V << 0, 0, 0, 1, 0, 0, 0, 1, 0;
    Eigen::MatrixXi F(1, 3);
    F << 0, 1, 2;
    std::wstring path = temp.File(L"\u00E9t\u00E9 \u6587.tsm");
    ASSERT_TRUE(SaveMeshFile(path, V, F, {}, {}, {}));
    MeshOut out;
    ASSERT_TRUE(out.Load(path));
    EXPECT_EQ(out.V, V);
    EXPECT_EQ(out.F, F);
    EXPECT_EQ(out.ids, std::vector<int>{-1});
    EXPECT_EQ(out.scales, std::vector<float>{1.0f});
    ASSERT_EQ(out.colors.size(), 1u);
    EXPECT_EQ(out.colors[0].r, 255);
    EXPECT_EQ(out.colors[0].g, 255);
    EXPECT_EQ(out.colors[0].b, 255);
    EXPECT_TRUE(LogContains(L"Loaded TSM file: " + path + L" (version 2, 3 verts, 1 faces)"));
}

TEST_F(MeshFileTest, EmptyMeshIsSixteenBytesAndReadsBackEmpty)
{
    std::wstring path = temp.File(L"empty.tsm");
    ASSERT_TRUE(SaveMeshFile(path, Eigen::MatrixXd(), Eigen::MatrixXi(), {}, {}, {}));
    EXPECT_EQ(FileBytes(path).size(), 16u);
    MeshOut out;
    ASSERT_TRUE(out.Load(path));
    EXPECT_EQ(out.V.rows(), 0);
    EXPECT_EQ(out.F.rows(), 0);
    EXPECT_TRUE(out.ids.empty());
    EXPECT_TRUE(out.scales.empty());
    EXPECT_TRUE(out.colors.empty());
}

TEST_F(MeshFileTest, VersionOneFileHasNoColours)
{
    std::wstring path = temp.File(L"v1.tsm");
    WriteTestFile(path, OneTriangle(0.0, 2, 2.0f, 0, 1).bytes);
    MeshOut out;
    ASSERT_TRUE(out.Load(path));
    EXPECT_EQ(out.F.rows(), 1);
    EXPECT_EQ(out.scales, std::vector<float>{2.0f});
    EXPECT_TRUE(out.colors.empty());
}

TEST_F(MeshFileTest, RepairsScalesAndColours)
{
    const float bad[] = {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()};
    for (float scale : bad) {
        std::wstring path = temp.File(L"s.tsm");
        WriteTestFile(path, OneTriangle(0.0, 2, scale, 300).bytes);
        MeshOut out;
        ASSERT_TRUE(out.Load(path));
        EXPECT_EQ(out.scales, std::vector<float>{1.0f}) << scale;
        EXPECT_EQ(out.colors[0].r, 255);
    }
    std::wstring path = temp.File(L"c.tsm");
    WriteTestFile(path, OneTriangle(0.0, 2, 0.5f, -5).bytes);
    MeshOut out;
    ASSERT_TRUE(out.Load(path));
    EXPECT_EQ(out.scales, std::vector<float>{0.5f});
    EXPECT_EQ(out.colors[0].r, 0);
    EXPECT_EQ(out.colors[0].g, 20);
}

TEST_F(MeshFileTest, HeaderAndVersionFailures)
{
    std::wstring path = temp.File(L"h.tsm");
    SideFileBuilder header = OneTriangle(0.0, 2, 1.0f, 0);
    header.bytes[3] = 'x';
    WriteTestFile(path, header.bytes);
    MeshOut out;
    EXPECT_FALSE(out.Load(path));
    ASSERT_EQ(g_CapturedLog.size(), 1u);
    EXPECT_EQ(g_CapturedLog[0], L"ERROR: Invalid TSM file header: " + path);
    EXPECT_TRUE(out.Untouched());

    g_CapturedLog.clear();
    WriteTestFile(path, OneTriangle(0.0, 2, 1.0f, 0, 3).bytes);
    EXPECT_FALSE(out.Load(path));
    ASSERT_EQ(g_CapturedLog.size(), 1u);
    EXPECT_EQ(g_CapturedLog[0], L"ERROR: Unsupported TSM version: 3");

    g_CapturedLog.clear();
    EXPECT_FALSE(out.Load(temp.File(L"missing.tsm")));
    ASSERT_EQ(g_CapturedLog.size(), 1u);
    EXPECT_EQ(g_CapturedLog[0], L"ERROR: Failed to open TSM file: " + temp.File(L"missing.tsm"));
    EXPECT_TRUE(out.Untouched());
}

TEST_F(MeshFileTest, HostileFilesChangeNothing)
{
    std::vector<std::vector<unsigned char>> hostile;
    hostile.push_back(SideFileBuilder().Raw("TSM", 4).U32(2).I32(-1).I32(0).bytes);
    hostile.push_back(SideFileBuilder().Raw("TSM", 4).U32(2).I32(0).I32(-5).bytes);
    hostile.push_back(SideFileBuilder().Raw("TSM", 4).U32(2).I32(0x7FFFFFFF).I32(0x7FFFFFFF).bytes);
    hostile.push_back(SideFileBuilder().Raw("TSM", 4).U32(2).I32(0).I32(0x0AAAAAAB).bytes);   // 48 x nF wraps 32 bits
    hostile.push_back(OneTriangle(0.0, 3, 1.0f, 0).bytes);     // index equal to nV
    hostile.push_back(OneTriangle(0.0, -1, 1.0f, 0).bytes);
    hostile.push_back(OneTriangle(std::nan(""), 2, 1.0f, 0).bytes);
    hostile.push_back(OneTriangle(-std::numeric_limits<double>::infinity(), 2, 1.0f, 0).bytes);
    std::vector<unsigned char> longer = OneTriangle(0.0, 2, 1.0f, 0).bytes;
    longer.push_back(0);
    hostile.push_back(longer);
    // Truncated at every offset.
    std::vector<unsigned char> whole = OneTriangle(0.0, 2, 1.0f, 0).bytes;
    for (size_t size = 0; size < whole.size(); ++size)
        hostile.emplace_back(whole.begin(), whole.begin() + size);

    std::wstring path = temp.File(L"bad.tsm");
    for (size_t i = 0; i < hostile.size(); ++i) {
        WriteTestFile(path, hostile[i]);
        g_CapturedLog.clear();
        MeshOut out;
        EXPECT_FALSE(out.Load(path)) << i;
        EXPECT_EQ(g_CapturedLog.size(), 1u) << i;
        EXPECT_EQ(g_CapturedLog.at(0).rfind(L"ERROR: ", 0), 0u) << i;
        EXPECT_TRUE(out.Untouched()) << i;
    }
}

TEST_F(MeshFileTest, OverwritingWithAShorterMeshLeavesNoTail)
{
    Eigen::MatrixXd V(3, 3);
    V.setZero();
    Eigen::MatrixXi F(1, 3);
    F << 0, 1, 2;
    std::wstring path = temp.File(L"o.tsm");
    ASSERT_TRUE(SaveMeshFile(path, V, F, {}, {}, {}));
    ASSERT_TRUE(SaveMeshFile(path, Eigen::MatrixXd(), Eigen::MatrixXi(), {}, {}, {}));
    EXPECT_EQ(FileBytes(path).size(), 16u);
    EXPECT_FALSE(FileExists(path + L".saving"));
}

TEST_F(MeshFileTest, FileThatCannotBeCreatedIsReported)
{
    std::wstring path = temp.File(L"no-such-folder") + PATH_SEPARATOR + L"m.tsm";
    EXPECT_FALSE(SaveMeshFile(path, Eigen::MatrixXd(), Eigen::MatrixXi(), {}, {}, {}));
    EXPECT_TRUE(LogContains(L"ERROR: Failed to create TSM file: " + path));
}

TEST_F(MeshFileTest, LargeMeshRoundTripsAcrossReadBuffers)
{
    // Far more than one read buffer, with records straddling buffer ends.
    const int vertices = 9001, faces = 12007;
    Eigen::MatrixXd V(vertices, 3);
    for (int i = 0; i < vertices; ++i)
        V.row(i) << i * 0.5, -i / 3.0, i % 17;
    Eigen::MatrixXi F(faces, 3);
    std::vector<int> ids(faces);
    std::vector<float> scales(faces);
    std::vector<FaceColor> colors(faces);
    for (int i = 0; i < faces; ++i) {
        F.row(i) << i % vertices, (i * 7) % vertices, (i * 13 + 1) % vertices;
        ids[i] = i % 5 - 1;
        scales[i] = 0.25f * (i % 9 + 1);
        colors[i] = FaceColor(i % 256, (i / 2) % 256, (i / 3) % 256);
    }
    std::wstring path = temp.File(L"large.tsm");
    ASSERT_TRUE(SaveMeshFile(path, V, F, ids, scales, colors));
    MeshOut out;
    ASSERT_TRUE(out.Load(path));
    EXPECT_EQ(out.V, V);
    EXPECT_EQ(out.F, F);
    EXPECT_EQ(out.ids, ids);
    EXPECT_EQ(out.scales, scales);
    ASSERT_EQ(out.colors.size(), colors.size());
    for (int i = 0; i < faces; ++i)
        ASSERT_TRUE(out.colors[i].r == colors[i].r && out.colors[i].g == colors[i].g && out.colors[i].b == colors[i].b);
}
