// Malformed and hostile glTF files: each fails cleanly (or skips what it
// cannot read) with a log line, and nothing reads outside its buffers.
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "io/GltfDocument.h"
#include "io/GltfWalk.h"
#include "io/ModelLoader.h"
#include "scene/SceneState.h"

namespace {

struct HostileGltfTest : ::testing::Test {
    TempFolder temp;

    void SetUp() override { ResetAssetState(); }
    void TearDown() override { ResetAssetState(); }

    int Load(const std::vector<unsigned char>& bytes)
    {
        WriteTestFile(temp.File(L"hostile.glb"), bytes);
        return LoadGLBModel(temp.File(L"hostile.glb"));
    }
};

const std::vector<float> TRIANGLE = {0, 0, 0, 1, 0, 0, 0, 1, 0};

// One node, one mesh of one primitive with the given indices.
GltfBuilder IndexedTriangle(const std::vector<uint16_t>& indices)
{
    GltfBuilder builder;
    int positions = builder.AddFloats(TRIANGLE, "VEC3");
    int mesh = builder.AddMesh(positions, builder.AddIndices16(indices));
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    return builder;
}

void PutU32(std::vector<unsigned char>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

} // namespace

TEST_F(HostileGltfTest, NodeCycleIsVisitedOnce)
{
    GltfBuilder builder;
    int mesh = builder.AddMesh(builder.AddFloats(TRIANGLE, "VEC3"));
    builder.AddNode({{"mesh", mesh}, {"children", {1}}});
    builder.AddNode({{"children", {0, 1}}});
    builder.SetScene({0});
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_EQ(1, g_Models[0].F.rows());
    EXPECT_TRUE(LogContains(L"  Skipping node visited before\n"));
}

TEST_F(HostileGltfTest, DeepNodeChainIsCutOff)
{
    GltfBuilder builder;
    int mesh = builder.AddMesh(builder.AddFloats(TRIANGLE, "VEC3"));
    const int DEPTH = 5000;
    for (int i = 0; i < DEPTH; ++i)
        builder.AddNode(i + 1 < DEPTH ? nlohmann::json{{"mesh", mesh}, {"children", {i + 1}}} : nlohmann::json{{"mesh", mesh}});
    builder.SetScene({0});
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_EQ(128, g_Models[0].F.rows());
    EXPECT_TRUE(LogContains(L"  Skipping nodes nested too deep\n"));
}

TEST_F(HostileGltfTest, InvalidNodeMeshAndSceneReferencesAreSkipped)
{
    GltfBuilder builder;
    int mesh = builder.AddMesh(builder.AddFloats(TRIANGLE, "VEC3"));
    int good = builder.AddNode({{"mesh", mesh}, {"children", {99, -5}}});
    int badMesh = builder.AddNode({{"mesh", 42}});
    builder.SetScene({good, badMesh, 1000});
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_TRUE(LogContains(L"  Skipping invalid node reference\n"));
    EXPECT_TRUE(LogContains(L"  Skipping invalid mesh reference\n"));
}

TEST_F(HostileGltfTest, IndexPastTheVertexCountSkipsThePrimitive)
{
    EXPECT_EQ(-1, Load(IndexedTriangle({0, 1, 3}).Glb()));
    EXPECT_TRUE(LogContains(L"    Skipping primitive: index out of range\n"));
    EXPECT_EQ(L"ERROR: No geometry found in GLB file", g_CapturedLog.back());
}

TEST_F(HostileGltfTest, GoodPrimitivesSurviveABadNeighbour)
{
    GltfBuilder builder = IndexedTriangle({0, 1, 2});
    int bad = builder.AddIndices16({0, 1, 7});
    builder.root["meshes"][0]["primitives"].push_back({{"attributes", {{"POSITION", 0}}}, {"indices", bad}});
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_EQ(3, g_Models[0].V.rows());
    EXPECT_EQ(1, g_Models[0].F.rows());
}

TEST_F(HostileGltfTest, IndexCountNotAMultipleOfThreeDoesNotShiftLaterTriangles)
{
    GltfBuilder builder = IndexedTriangle({0, 1, 2, 0});
    int indices = builder.AddIndices16({2, 1, 0});
    builder.root["meshes"][0]["primitives"].push_back({{"attributes", {{"POSITION", 0}}}, {"indices", indices}});
    ASSERT_EQ(0, Load(builder.Glb()));
    const Model& model = g_Models[0];
    ASSERT_EQ(2, model.F.rows());
    EXPECT_EQ(5, model.F(1, 0));
    EXPECT_EQ(4, model.F(1, 1));
    EXPECT_EQ(3, model.F(1, 2));
}

TEST_F(HostileGltfTest, AccessorOverrunSkipsThePrimitive)
{
    GltfBuilder builder;
    int view = builder.AddBufferView(TRIANGLE.data(), TRIANGLE.size() * 4);
    int positions = builder.AddAccessor(view, 5126, 4, "VEC3");
    builder.SetScene({builder.AddNode({{"mesh", builder.AddMesh(positions)}})});
    EXPECT_EQ(-1, Load(builder.Glb()));
    EXPECT_TRUE(LogContains(L"    Skipping primitive: unreadable accessor\n"));
}

TEST_F(HostileGltfTest, HugeCountsAreRefusedBeforeAllocating)
{
    GltfBuilder builder;
    int view = builder.AddBufferView(TRIANGLE.data(), TRIANGLE.size() * 4);
    int huge = builder.AddAccessor(view, 5126, 4000000000u, "VEC3");
    int zeros = builder.AddAccessor(-1, 5126, 3000000000u, "VEC3");
    int mesh = builder.AddMesh(huge);
    builder.root["meshes"][mesh]["primitives"].push_back({{"attributes", {{"POSITION", zeros}}}});
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    EXPECT_EQ(-1, Load(builder.Glb()));
    EXPECT_TRUE(LogContains(L"    Skipping primitive: more geometry than the file size allows\n"));
}

TEST_F(HostileGltfTest, SharedMeshCannotMultiplyWithoutBound)
{
    GltfBuilder builder;
    // Without a buffer view an accessor is zeros: a large mesh in a few bytes.
    const int VERTICES = 30000, INSTANCES = 2000;
    int mesh = builder.AddMesh(builder.AddAccessor(-1, 5126, VERTICES, "VEC3"));
    std::vector<int> roots;
    for (int i = 0; i < INSTANCES; ++i)
        roots.push_back(builder.AddNode({{"mesh", mesh}}));
    builder.SetScene(roots);
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_GT(g_Models[0].V.rows(), 0);
    EXPECT_LT(g_Models[0].V.rows(), VERTICES * 100);
    EXPECT_TRUE(LogContains(L"more geometry than the file size allows"));
}

TEST_F(HostileGltfTest, NonFinitePositionsSkipThePrimitive)
{
    std::vector<float> positions = TRIANGLE;
    positions[4] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(-1, Load(TriangleGlb(positions)));
    EXPECT_TRUE(LogContains(L"    Skipping primitive: position not finite\n"));
}

TEST_F(HostileGltfTest, BadMaterialIndexSkipsThePrimitive)
{
    GltfBuilder builder;
    builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorFactor", {1, 1, 1, 1}}}}});
    int mesh = builder.AddMesh(builder.AddFloats(TRIANGLE, "VEC3"), -1, 5);
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    EXPECT_EQ(-1, Load(builder.Glb()));
    EXPECT_TRUE(LogContains(L"    Skipping primitive: invalid material\n"));
}

TEST_F(HostileGltfTest, BadEmbeddedImageLeavesTheMaterialUntextured)
{
    GltfBuilder builder;
    const char garbage[] = "this is not a PNG file at all";
    int texture = builder.AddTexture(builder.AddImageFromView(builder.AddBufferView(garbage, sizeof garbage)));
    int material = builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", texture}}}}}});
    builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 77}}}}}});
    builder.root["textures"].push_back({{"source", 12}});
    builder.AddMaterial({{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 1}}}}}});
    int mesh = builder.AddMesh(builder.AddFloats(TRIANGLE, "VEC3"), -1, material);
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_EQ((std::vector<unsigned int>{0, 0, 0}), g_Models[0].materialTextures);
    EXPECT_FALSE(LogContains(L"Loaded embedded texture"));
    EXPECT_TRUE(g_CreatedTextures.empty());
}

TEST_F(HostileGltfTest, ImageViewOutsideItsBufferFailsTheParse)
{
    GltfBuilder builder = IndexedTriangle({0, 1, 2});
    builder.root["bufferViews"].push_back({{"buffer", 0}, {"byteOffset", 4}, {"byteLength", 100000}});
    builder.root["images"] = {{{"bufferView", 2}, {"mimeType", "image/png"}}};
    EXPECT_EQ(-1, Load(builder.Glb()));
    EXPECT_EQ(L"ERROR: Failed to parse GLB file", g_CapturedLog.back());
}

TEST_F(HostileGltfTest, UnsupportedRequiredExtensionRejectsTheFile)
{
    GltfBuilder builder = IndexedTriangle({0, 1, 2});
    builder.root["extensionsUsed"] = {"KHR_draco_mesh_compression"};
    builder.root["extensionsRequired"] = {"KHR_draco_mesh_compression"};
    EXPECT_EQ(-1, Load(builder.Glb()));
    EXPECT_EQ(L"ERROR: Failed to parse GLB file", g_CapturedLog.back());
}

TEST_F(HostileGltfTest, QuantisedPositionsAreHonoured)
{
    GltfBuilder builder;
    uint16_t positions[] = {0, 0, 0, 2, 0, 0, 0, 2, 0};
    int accessor = builder.AddAccessor(builder.AddBufferView(positions, sizeof positions), 5123, 3, "VEC3");
    builder.SetScene({builder.AddNode({{"mesh", builder.AddMesh(accessor)}})});
    builder.root["extensionsUsed"] = {"KHR_mesh_quantization"};
    builder.root["extensionsRequired"] = {"KHR_mesh_quantization"};
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_FLOAT_EQ(0.5f, g_Models[0].normalizeScale);
}

TEST_F(HostileGltfTest, EveryTruncationFailsCleanly)
{
    std::vector<unsigned char> glb = IndexedTriangle({0, 1, 2}).Glb();
    for (size_t length = 0; length < glb.size(); ++length) {
        std::vector<unsigned char> cut(glb.begin(), glb.begin() + length);
        GltfDocument document;
        EXPECT_NE(GLTF_PARSED, ParseGltfDocument(cut, L"", document)) << length;
    }
    EXPECT_EQ(-1, Load(std::vector<unsigned char>(glb.begin(), glb.begin() + glb.size() / 2)));
    EXPECT_EQ(L"ERROR: Failed to parse GLB file", g_CapturedLog.back());
}

TEST_F(HostileGltfTest, BinChunkReachingPastTheFileIsRefused)
{
    std::vector<unsigned char> glb = IndexedTriangle({0, 1, 2}).Glb();
    uint32_t jsonLength = glb[12] | glb[13] << 8 | glb[14] << 16 | glb[15] << 24;
    size_t binHeader = 20 + jsonLength;
    uint32_t binLength = glb[binHeader] | glb[binHeader + 1] << 8;
    // The header's own 8 bytes are what a check of the payload alone misses.
    PutU32(glb, binHeader, binLength + 8);
    GltfDocument document;
    EXPECT_EQ(GLTF_NOT_PARSED, ParseGltfDocument(glb, L"", document));
    EXPECT_EQ(-1, Load(glb));
}

TEST_F(HostileGltfTest, NotGltfAtAllFails)
{
    const std::vector<std::string> inputs = {"", "garbage", "[1, 2, 3]", "{\"asset\": 5}", "{\"asset\": {\"version\": \"2.0\"}",
                                             "glTF", std::string("glTF\x02\0\0\0\xff\xff\xff\xff", 12)};
    for (const std::string& input : inputs) {
        GltfDocument document;
        EXPECT_NE(GLTF_PARSED, ParseGltfDocument(std::vector<unsigned char>(input.begin(), input.end()), L"", document))
            << input;
    }
    EXPECT_EQ(-1, Load({'x'}));
}

TEST_F(HostileGltfTest, OutOfRangeAccessorReferencesFailOrSkip)
{
    GltfBuilder builder;
    int accessor = builder.AddAccessor(7, 5126, 3, "VEC3");   // no such buffer view
    int mesh = builder.AddMesh(accessor);
    builder.root["meshes"][mesh]["primitives"].push_back({{"attributes", {{"POSITION", 55}}}});
    builder.root["meshes"][mesh]["primitives"].push_back({{"attributes", {{"POSITION", -3}}}});
    builder.root["meshes"][mesh]["primitives"].push_back({{"attributes", {{"NORMAL", 0}}}});
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    EXPECT_EQ(-1, Load(builder.Glb()));
    EXPECT_TRUE(LogContains(L"    Skipping primitive: invalid accessor\n"));
    EXPECT_TRUE(LogContains(L"    No position accessor found\n"));
}

TEST_F(HostileGltfTest, DeeplyNestedJsonIsRefused)
{
    const int DEPTH = 100000;
    std::string text = "{\"asset\":{\"version\":\"2.0\"},\"extras\":" + std::string(DEPTH, '[') + std::string(DEPTH, ']') + "}";
    EXPECT_EQ(-1, Load(std::vector<unsigned char>(text.begin(), text.end())));
    EXPECT_EQ(L"ERROR: Failed to parse GLB file", g_CapturedLog.back());
    // Brackets inside strings do not count.
    GltfBuilder builder = IndexedTriangle({0, 1, 2});
    builder.root["extras"] = {{"note", std::string(DEPTH, '[')}};
    EXPECT_EQ(0, Load(builder.Glb()));
}

TEST_F(HostileGltfTest, ManyPrimitivesDoNotFloodTheLog)
{
    GltfBuilder builder;
    int positions = builder.AddFloats(TRIANGLE, "VEC3");
    int mesh = builder.AddMesh(positions);
    for (int i = 0; i < 3000; ++i)
        builder.root["meshes"][mesh]["primitives"].push_back({{"attributes", {{"POSITION", positions}}}, {"mode", 0}});
    builder.SetScene({builder.AddNode({{"mesh", mesh}})});
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_TRUE(LogContains(L"  (2002 more lines left out)\n"));
}

TEST_F(HostileGltfTest, SceneIndexOutOfRangeFallsBackToTheMeshes)
{
    GltfBuilder builder = IndexedTriangle({0, 1, 2});
    builder.root["scene"] = 9;
    ASSERT_EQ(0, Load(builder.Glb()));
    EXPECT_TRUE(LogContains(L"WARNING: No scene or nodes found - trying to load meshes directly"));
}

TEST_F(HostileGltfTest, BinChunkCannotBeClaimedByManyBuffers)
{
    GltfBuilder builder = IndexedTriangle({0, 1, 2});
    for (int i = 0; i < 1000; ++i)
        builder.root["buffers"].push_back({{"byteLength", builder.bin.size()}});
    std::vector<unsigned char> glb = builder.Glb();
    ASSERT_LT(glb.size(), 1000 * builder.bin.size());
    GltfDocument document;
    EXPECT_EQ(GLTF_NOT_PARSED, ParseGltfDocument(glb, L"", document));
    // A few such buffers within the file's size are still fine.
    builder.root["buffers"] = {{{"byteLength", builder.bin.size()}}};
    EXPECT_EQ(GLTF_PARSED, ParseGltfDocument(builder.Glb(), L"", document));
}

TEST_F(HostileGltfTest, SharedMeshWithLongTexcoordsCostsOnlyItsVertices)
{
    // Nodes sharing one mesh whose TEXCOORD_0 claims far more elements than
    // its three vertices: each visit may read only what the vertices use.
    const int NODES = 200;
    GltfBuilder builder;
    int positions = builder.AddFloats(TRIANGLE, "VEC3");
    int texcoords = builder.AddFloats(std::vector<float>(2 * 4096, 0.5f), "VEC2");
    int mesh = builder.AddMesh(positions, -1, -1, {{"TEXCOORD_0", texcoords}});
    std::vector<int> roots;
    for (int i = 0; i < NODES; ++i)
        roots.push_back(builder.AddNode({{"mesh", mesh}}));
    builder.SetScene(roots);
    GltfDocument document;
    ASSERT_EQ(GLTF_PARSED, ParseGltfDocument(builder.Glb(), L"", document));
    GltfWalkContext context(document);
    for (int root : roots)
        ProcessGLTFNode(context, root, IdentityMatrix4());
    // Per node: 3 positions, 3 implicit indices and 3 texture coordinates.
    EXPECT_EQ(context.elementsRead, static_cast<size_t>(NODES) * 9);
    EXPECT_EQ(context.vertexCount, NODES * 3);
    ASSERT_EQ(context.texcoords.size(), static_cast<size_t>(NODES) * 6);
    EXPECT_FLOAT_EQ(context.texcoords.back(), 0.5f);
}
