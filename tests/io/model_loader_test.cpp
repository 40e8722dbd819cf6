#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "io/GltfWalk.h"
#include "io/ModelLoader.h"
#include "io/TextureUpload.h"
#include "io/Utf8.h"
#include "scene/SceneState.h"

namespace {

struct ModelLoaderTest : ::testing::Test {
    TempFolder temp;

    void SetUp() override { ResetAssetState(); }
    void TearDown() override { ResetAssetState(); }

    int Load(const std::vector<unsigned char>& bytes, const std::wstring& name = L"model.glb")
    {
        WriteTestFile(temp.File(name), bytes);
        return LoadGLBModel(temp.File(name));
    }
};

void ExpectRow(const Eigen::MatrixXd& m, int row, double x, double y, double z)
{
    EXPECT_NEAR(x, m(row, 0), 1e-6) << "row " << row;
    EXPECT_NEAR(y, m(row, 1), 1e-6) << "row " << row;
    EXPECT_NEAR(z, m(row, 2), 1e-6) << "row " << row;
}

std::vector<unsigned char> TwoByTwoPng() { return EncodePng(2, 2, std::vector<unsigned char>(16, 128)); }

} // namespace

TEST_F(ModelLoaderTest, MinimalTriangle)
{
    int index = Load(TriangleGlb({0, 0, 0, 1, 0, 0, 0, 1, 0}));
    ASSERT_EQ(0, index);
    const Model& model = g_Models[0];
    EXPECT_EQ(1, model.id);
    EXPECT_EQ(temp.File(L"model.glb"), model.path);
    EXPECT_EQ(L"model.glb", model.name);
    ASSERT_EQ(3, model.V.rows());
    ExpectRow(model.V, 0, -0.5, -0.5, 0);
    ExpectRow(model.V, 1, 0.5, -0.5, 0);
    ExpectRow(model.V, 2, -0.5, 0.5, 0);
    ASSERT_EQ(1, model.F.rows());
    EXPECT_EQ(0, model.F(0, 0));
    EXPECT_EQ(1, model.F(0, 1));
    EXPECT_EQ(2, model.F(0, 2));
    EXPECT_EQ(0, model.faceMaterial(0));
    EXPECT_EQ(3, model.UV.rows());
    EXPECT_EQ(0.0, model.UV.cwiseAbs().maxCoeff());
    ASSERT_EQ(1u, model.materialColors.size());
    EXPECT_FLOAT_EQ(0.8f, model.materialColors[0][0]);
    EXPECT_EQ(0u, model.materialTextures[0]);
    EXPECT_FLOAT_EQ(0.8f, model.baseColor[2]);
    EXPECT_FLOAT_EQ(1.0f, model.normalizeScale);

    std::vector<std::wstring> expected = {
        L"Loading model: " + temp.File(L"model.glb"),
        L"  No materials found, using default grey",
        L"Processing scene with 1 root nodes",
        L"  Processing mesh: 1 primitives\n    Loaded primitive: 3 verts, 1 tris, material 0\n",
        L"Loaded 3 verts, 1 faces",
        L"  Original bounds: X[0.000000 to 1.000000] Y[0.000000 to 1.000000] Z[0.000000 to 0.000000]",
        L"  Normalized: scale=1.000000, centered at origin, fits in 1x1x1 cube",
    };
    EXPECT_EQ(expected, g_CapturedLog);
}

TEST_F(ModelLoaderTest, NormalisesIntoTheUnitCube)
{
    ASSERT_EQ(0, Load(TriangleGlb({0, 0, 0, 4, 2, 0, 0, 0, 1})));
    const Model& model = g_Models[0];
    EXPECT_FLOAT_EQ(0.25f, model.normalizeScale);
    EXPECT_DOUBLE_EQ(-0.5, model.V.col(0).minCoeff());
    EXPECT_DOUBLE_EQ(0.5, model.V.col(0).maxCoeff());
    EXPECT_DOUBLE_EQ(-0.25, model.V.col(1).minCoeff());
    EXPECT_DOUBLE_EQ(0.25, model.V.col(1).maxCoeff());
    EXPECT_DOUBLE_EQ(-0.125, model.V.col(2).minCoeff());
    EXPECT_DOUBLE_EQ(0.125, model.V.col(2).maxCoeff());
    EXPECT_TRUE(LogContains(L"  Normalized: scale=0.250000, centered at origin, fits in 1x1x1 cube"));
}

TEST_F(ModelLoaderTest, PointLikeTriangleKeepsScaleOneAndMovesToTheOrigin)
{
    ASSERT_EQ(0, Load(TriangleGlb({2, 3, 4, 2, 3, 4, 2, 3, 4})));
    EXPECT_FLOAT_EQ(1.0f, g_Models[0].normalizeScale);
    EXPECT_EQ(0.0, g_Models[0].V.cwiseAbs().maxCoeff());
}

TEST_F(ModelLoaderTest, SevenVerticesWithoutIndicesGiveTwoTriangles)
{
    std::vector<float> positions;
    for (int i = 0; i < 7; ++i)
        positions.insert(positions.end(), {float(i), float(i % 2), 0});
    ASSERT_EQ(0, Load(TriangleGlb(positions)));
    EXPECT_EQ(7, g_Models[0].V.rows());
    ASSERT_EQ(2, g_Models[0].F.rows());
    EXPECT_EQ(5, g_Models[0].F(1, 2));
}

TEST_F(ModelLoaderTest, SecondPrimitiveIndicesAreOffset)
{
    GltfBuilder builder;
    int first = builder.AddFloats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, "VEC3");
    int firstIndices = builder.AddIndices16({0, 1, 2, 0, 2, 3});
    int second = builder.AddFloats({0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1, 2, 0, 1, 2, 1, 1}, "VEC3");
    int secondIndices = builder.AddIndices16({0, 1, 2, 3, 4, 5});
    int mesh = builder.AddMesh(first, firstIndices);
    builder.root["meshes"][mesh]["primitives"].push_back(
        {{"attributes", {{"POSITION", second}}}, {"indices", secondIndices}});
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    ASSERT_EQ(0, Load(builder.Glb()));
    const Model& model = g_Models[0];
    EXPECT_EQ(10, model.V.rows());
    ASSERT_EQ(4, model.F.rows());
    EXPECT_EQ(4, model.F(2, 0));
    EXPECT_EQ(9, model.F(3, 2));
    EXPECT_TRUE(LogContains(L"    Loaded primitive: 6 verts, 2 tris, material 0\n"));
}

TEST_F(ModelLoaderTest, ChildIsTransformedFirstThenMovedByItsParent)
{
    GltfBuilder builder;
    int positions = builder.AddFloats({1, 0, 0, 1, 1, 0, 1, 0, 1}, "VEC3");
    int mesh = builder.AddMesh(positions);
    int child = builder.AddNode({{"mesh", mesh}, {"rotation", {0, std::sqrt(0.5), 0, std::sqrt(0.5)}}});
    builder.SetScene({builder.AddNode({{"translation", {1, 0, 0}}, {"children", {child}}})});
    GltfDocument document;
    ASSERT_EQ(GLTF_PARSED, ParseGltfDocument(builder.Glb(), L"", document));
    GltfWalkContext context(document);
    ProcessGLTFNode(context, 1, IdentityMatrix4());
    ASSERT_EQ(9u, context.positions.size());
    EXPECT_NEAR(1.0f, context.positions[0], 1e-6);
    EXPECT_NEAR(0.0f, context.positions[1], 1e-6);
    EXPECT_NEAR(-1.0f, context.positions[2], 1e-6);
    EXPECT_NEAR(2.0f, context.positions[6], 1e-6);
    EXPECT_NEAR(-1.0f, context.positions[8], 1e-6);
}

TEST_F(ModelLoaderTest, ShortTexcoordsGiveZerosBeyondTheirEnd)
{
    GltfBuilder builder;
    int positions = builder.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    int uvs = builder.AddFloats({0.5f, 0.25f, 1, 1}, "VEC2");
    int mesh = builder.AddMesh(positions, -1, -1, {{"TEXCOORD_0", uvs}});
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    ASSERT_EQ(0, Load(builder.Glb()));
    const Eigen::MatrixXd& uv = g_Models[0].UV;
    EXPECT_DOUBLE_EQ(0.5, uv(0, 0));
    EXPECT_DOUBLE_EQ(0.25, uv(0, 1));
    EXPECT_DOUBLE_EQ(1.0, uv(1, 0));
    EXPECT_DOUBLE_EQ(0.0, uv(2, 0));
    EXPECT_DOUBLE_EQ(0.0, uv(2, 1));
}

TEST_F(ModelLoaderTest, InterleavedPositionsAndNormalisedTexcoords)
{
    GltfBuilder builder;
    // Position floats then two normalised u16 texcoords: 16 bytes per vertex.
    struct Vertex {
        float x, y, z;
        uint16_t u, v;
    } vertices[] = {{0, 0, 0, 0, 65535}, {2, 0, 0, 65535, 0}, {0, 2, 0, 32768, 16384}};
    int view = builder.AddBufferView(vertices, sizeof vertices, sizeof(Vertex));
    int positions = builder.AddAccessor(view, 5126, 3, "VEC3");
    int uvs = builder.AddAccessor(view, 5123, 3, "VEC2", 12, true);
    int mesh = builder.AddMesh(positions, -1, -1, {{"TEXCOORD_0", uvs}});
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    ASSERT_EQ(0, Load(builder.Glb()));
    const Model& model = g_Models[0];
    ExpectRow(model.V, 1, 0.5, -0.5, 0);
    EXPECT_DOUBLE_EQ(0.0, model.UV(0, 0));
    EXPECT_DOUBLE_EQ(1.0, model.UV(0, 1));
    EXPECT_DOUBLE_EQ(1.0, model.UV(1, 0));
    EXPECT_NEAR(0.5, model.UV(2, 0), 1e-4);
    EXPECT_NEAR(0.25, model.UV(2, 1), 1e-4);
}

TEST_F(ModelLoaderTest, SparsePositionsReplaceTheirBase)
{
    GltfBuilder builder;
    int positions = builder.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    uint8_t targets[] = {2};
    float replacement[] = {0, 4, 0};
    int indexView = builder.AddBufferView(targets, 1);
    int valueView = builder.AddBufferView(replacement, sizeof replacement);
    builder.root["accessors"][positions]["sparse"] = {
        {"count", 1}, {"indices", {{"bufferView", indexView}, {"componentType", 5121}}}, {"values", {{"bufferView", valueView}}}};
    int mesh = builder.AddMesh(positions);
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_FLOAT_EQ(0.25f, g_Models[0].normalizeScale);
    EXPECT_TRUE(LogContains(L"Y[0.000000 to 4.000000]"));
}

TEST_F(ModelLoaderTest, FileWithoutDefaultSceneReadsEveryMeshUntransformed)
{
    GltfBuilder builder;
    int positions = builder.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    int indices = builder.AddIndices16({0, 1, 2});
    int first = builder.AddMesh(positions, indices);
    builder.AddMesh(positions);
    builder.root["meshes"][first]["primitives"].push_back({{"attributes", {{"POSITION", positions}}}, {"mode", 1}});
    builder.root["scenes"] = {{{"nodes", {builder.AddNode({{"mesh", first}, {"translation", {50, 0, 0}}})}}}};
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_EQ(6, g_Models[0].V.rows());
    EXPECT_FLOAT_EQ(1.0f, g_Models[0].normalizeScale);   // the translation was not applied
    EXPECT_TRUE(LogContains(L"WARNING: No scene or nodes found - trying to load meshes directly"));
    EXPECT_TRUE(LogContains(L"  Fallback: Processing mesh 0: 2 primitives\n"
                            L"    Loaded: 3 verts, 1 tris, material 0\n"
                            L"    Skipping non-triangle primitive (type=2)\n"
                            L"  Fallback: Processing mesh 1: 1 primitives\n"
                            L"    Loaded (no indices): 3 verts, material 0\n"));
}

TEST_F(ModelLoaderTest, MaterialsWithEmbeddedPng)
{
    GltfBuilder builder;
    std::vector<unsigned char> png = TwoByTwoPng();
    int image = builder.AddImageFromView(builder.AddBufferView(png.data(), png.size()));
    int texture = builder.AddTexture(image);
    builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorFactor", {1, 0, 0, 1}}, {"baseColorTexture", {{"index", texture}}}}}});
    builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorFactor", {0, 0.5, 1, 1}}}}});
    builder.AddMaterial({{"name", "no block"}});
    int positions = builder.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    int first = builder.AddMesh(positions, -1, 1);
    builder.root["meshes"][first]["primitives"].push_back({{"attributes", {{"POSITION", positions}}}, {"material", 2}});
    builder.SetScene({builder.AddNode({{"mesh", first}})});
    ASSERT_EQ(0, Load(builder.Glb()));
    const Model& model = g_Models[0];
    ASSERT_EQ(3u, model.materialColors.size());
    EXPECT_EQ((std::array<float, 3>{1, 0, 0}), model.materialColors[0]);
    EXPECT_EQ((std::array<float, 3>{0, 0.5f, 1}), model.materialColors[1]);
    EXPECT_EQ((std::array<float, 3>{0.8f, 0.8f, 0.8f}), model.materialColors[2]);
    EXPECT_EQ((std::vector<unsigned int>{100, 0, 0}), model.materialTextures);
    EXPECT_EQ((std::array<float, 3>{1, 0, 0}), model.baseColor);
    ASSERT_EQ(2, model.faceMaterial.size());
    EXPECT_EQ(1, model.faceMaterial(0));
    EXPECT_EQ(2, model.faceMaterial(1));
    EXPECT_TRUE(LogContains(L"    Loaded embedded texture: 2x2"));
    EXPECT_TRUE(LogContains(L"  Material 0: RGB(1.000000, 0.000000, 0.000000) + Texture ID 100"));
    EXPECT_TRUE(LogContains(L"  Material 1: RGB(0.000000, 0.500000, 1.000000)"));
    EXPECT_TRUE(LogContains(L"  Material 2: RGB(0.800000, 0.800000, 0.800000)"));
}

TEST_F(ModelLoaderTest, BaseColorTextureUsesTheTexcoordSetItsMaterialNames)
{
    GltfBuilder builder;
    std::vector<unsigned char> png = TwoByTwoPng();
    int texture = builder.AddTexture(builder.AddImageFromView(builder.AddBufferView(png.data(), png.size())));
    int material = builder.AddMaterial(
        {{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", texture}, {"texCoord", 1}}}}}});
    int positions = builder.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    int set0 = builder.AddFloats({0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f}, "VEC2");
    int set1 = builder.AddFloats({0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f}, "VEC2");
    int mesh = builder.AddMesh(positions, -1, material, {{"TEXCOORD_0", set0}, {"TEXCOORD_1", set1}});
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_NEAR(0.9, g_Models[0].UV(0, 0), 1e-6);
    EXPECT_NEAR(0.4, g_Models[0].UV(2, 1), 1e-6);
}

TEST_F(ModelLoaderTest, GltfWithExternalBufferAndImageInANonAsciiFolder)
{
    std::wstring folder = temp.MakeSubfolder(L"Mod\u00E8le \u03A9\u6587");
    GltfBuilder builder;
    builder.root["images"] = {{{"uri", "tex%20\xC3\xA9.png"}}};
    int texture = builder.AddTexture(0);
    int material = builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", texture}}}}}});
    int positions = builder.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    builder.SetScene({builder.AddNode({{"mesh", builder.AddMesh(positions, -1, material)}})});
    std::string text = builder.GltfText("b\xC3\xBC" "ffer.bin");
    WriteTestFile(folder + L"b\u00FCffer.bin", builder.bin);
    WriteTestFile(folder + L"tex \u00E9.png", TwoByTwoPng());
    WriteTestFile(folder + L"m.gltf", std::vector<unsigned char>(text.begin(), text.end()));
    ASSERT_EQ(0, LoadGLBModel(folder + L"m.gltf"));
    EXPECT_EQ(3, g_Models[0].V.rows());
    EXPECT_EQ(100u, g_Models[0].materialTextures[0]);
    EXPECT_TRUE(LogContains(L"    Loaded external texture: " + folder + L"tex \u00E9.png"));
}

TEST_F(ModelLoaderTest, MissingExternalBufferFailsWithTheBuffersLine)
{
    GltfBuilder builder;
    int positions = builder.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    builder.SetScene({builder.AddNode({{"mesh", builder.AddMesh(positions)}})});
    std::string text = builder.GltfText("missing.bin");
    EXPECT_EQ(-1, Load(std::vector<unsigned char>(text.begin(), text.end()), L"m.gltf"));
    EXPECT_EQ(L"ERROR: Failed to load GLB buffers", g_CapturedLog.back());
    EXPECT_TRUE(g_Models.empty());
}

TEST_F(ModelLoaderTest, SamePathTwiceLoadsOnceAndAFailedPathIsTriedAgain)
{
    WriteTestFile(temp.File(L"a.glb"), TriangleGlb({0, 0, 0, 1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(0, LoadGLBModel(temp.File(L"a.glb")));
    size_t lines = g_CapturedLog.size();
    EXPECT_EQ(0, LoadGLBModel(temp.File(L"a.glb")));
    EXPECT_EQ(lines, g_CapturedLog.size());

    EXPECT_EQ(-1, LoadGLBModel(temp.File(L"missing.glb")));
    EXPECT_EQ(L"ERROR: Failed to parse GLB file", g_CapturedLog.back());
    EXPECT_EQ(-1, LoadGLBModel(temp.File(L"missing.glb")));
    EXPECT_EQ(4, g_NextModelId);
    EXPECT_EQ(1u, g_Models.size());
}

TEST_F(ModelLoaderTest, TexturesOfAModelWithoutGeometryAreReleased)
{
    GltfBuilder builder;
    std::vector<unsigned char> png = TwoByTwoPng();
    int texture = builder.AddTexture(builder.AddImageFromView(builder.AddBufferView(png.data(), png.size())));
    builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", texture}}}}}});
    builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", texture}}}}}});
    EXPECT_EQ(-1, Load(builder.Glb()));
    EXPECT_EQ(L"ERROR: No geometry found in GLB file", g_CapturedLog.back());
    // Both materials share one image: one texture, deleted once.
    EXPECT_EQ(std::vector<unsigned int>{100}, g_CreatedTextures);
    EXPECT_EQ(std::vector<unsigned int>{100}, g_DeletedTextures);
}

TEST_F(ModelLoaderTest, WithoutOpenGLMaterialsHaveNoTexture)
{
    ResetTextureUpload();
    GltfBuilder builder;
    std::vector<unsigned char> png = TwoByTwoPng();
    int texture = builder.AddTexture(builder.AddImageFromView(builder.AddBufferView(png.data(), png.size())));
    int material = builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", texture}}}}}});
    int positions = builder.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    builder.SetScene({builder.AddNode({{"mesh", builder.AddMesh(positions, -1, material)}})});
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_EQ(0u, g_Models[0].materialTextures[0]);
    EXPECT_TRUE(LogContains(L"  Material 0: RGB(1.000000, 1.000000, 1.000000)"));
}

TEST_F(ModelLoaderTest, GltfWithDataUriBufferAndImage)
{
    GltfBuilder builder;
    builder.root["images"] = {{{"uri", "data:image/png;base64," + Base64(TwoByTwoPng())}}};
    int material = builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", builder.AddTexture(0)}}}}}});
    int positions = builder.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    builder.SetScene({builder.AddNode({{"mesh", builder.AddMesh(positions, -1, material)}})});
    std::string text = builder.GltfText("data:application/octet-stream;base64," + Base64(builder.bin));
    ASSERT_EQ(0, Load(std::vector<unsigned char>(text.begin(), text.end()), L"inline.gltf"));
    EXPECT_EQ(3, g_Models[0].V.rows());
    EXPECT_EQ(100u, g_Models[0].materialTextures[0]);
    EXPECT_TRUE(LogContains(L"    Loaded embedded texture: 2x2"));
}
