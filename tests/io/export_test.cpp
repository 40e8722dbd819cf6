#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "ExportTestSupport.h"
#include "ProjectTestSupport.h"
#include "TestSupport.h"
#include "io/FileUtil.h"
#include "io/GlbExport.h"
#include "io/ObjExport.h"
#include "io/RuntimeSceneExport.h"
#include "io/Utf8.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"

namespace {

struct ExportTest : ::testing::Test {
    TempFolder temp{L"tarsel-export"};
    void SetUp() override { ResetProjectState(); }
    void TearDown() override { ResetProjectState(); }
};

void ExpectOnlyBox(const ExportOutcome& outcome, const wchar_t* caption, const wchar_t* text, MessageIcon icon)
{
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_TRUE(outcome.messages[0].show);
    EXPECT_EQ(outcome.messages[0].caption, caption);
    EXPECT_EQ(outcome.messages[0].text, text);
    EXPECT_EQ(outcome.messages[0].icon, icon);
}

// Reads the runtime-scene file field by field from its published layout.
struct TrsReader {
    std::vector<unsigned char> bytes;
    size_t at = 0;

    uint32_t U32()
    {
        if (at + 4 > bytes.size()) {
            ADD_FAILURE() << "TRS read past its end";
            return 0;
        }
        at += 4;
        return bytes[at - 4] | (bytes[at - 3] << 8) | (bytes[at - 2] << 16) | (uint32_t(bytes[at - 1]) << 24);
    }
    float F32()
    {
        const uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    std::string String()
    {
        const uint32_t count = U32();
        if (count > bytes.size() - at) {
            ADD_FAILURE() << "TRS string past its end";
            return std::string();
        }
        at += count;
        return std::string(bytes.begin() + static_cast<long>(at - count), bytes.begin() + static_cast<long>(at));
    }
};

TEST_F(ExportTest, GlbOfOneTranslucentCubeMatchesTheHandWrittenFile)
{
    SceneObject cube = MakePrimitive(PRIMITIVE_CUBE, L"Cube", 0, 0, 0, 2, 4, 6);
    cube.g = 128;
    cube.b = 0;
    cube.a = 128;
    cube.texScale = 2.0f;
    g_SceneObjects.push_back(cube);

    const std::wstring path = temp.File(L"cube.glb");
    ExpectOnlyBox(ExportSceneToGLB(path), L"Export Complete", L"Scene exported to GLB successfully!",
                  MESSAGE_ICON_INFORMATION);
    EXPECT_TRUE(LogContains(L"GLB export complete: 1 meshes, 1 materials"));
    GlbChunks glb = ReadGlb(FileBytes(path));
    ASSERT_TRUE(glb.ok);
    std::string expected = FileText(GoldenFile(L"cube_alpha128.json"));
    expected.resize((expected.size() + 3) & ~size_t(3), ' ');
    EXPECT_EQ(glb.json, expected);
    ASSERT_EQ(glb.bin.size(), 912u);
    // Front face: corners (x0,y0,z1) ... with u scaled by 2h.x/t = 1 and v by 2h.y/t = 2.
    EXPECT_EQ(BinValues<float>(glb.bin, 0, 6), (std::vector<float>{0, 0, 6, 2, 0, 6}));
    EXPECT_EQ(BinValues<float>(glb.bin, 288, 3), (std::vector<float>{0, 0, 1}));
    EXPECT_EQ(BinValues<float>(glb.bin, 576, 8), (std::vector<float>{0, 0, 1, 0, 1, 2, 0, 2}));
    EXPECT_EQ(BinValues<uint32_t>(glb.bin, 768, 12), (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(BinValues<uint32_t>(glb.bin, 908, 1), (std::vector<uint32_t>{23}));
}

TEST_F(ExportTest, ObjOfTwoCubesMatchesTheHandWrittenFiles)
{
    SceneObject red = MakePrimitive(PRIMITIVE_CUBE, L"Red", 0, 0, 0, 1, 1, 1);
    red.g = red.b = 0;
    SceneObject blue = MakePrimitive(PRIMITIVE_CUBE, L"Blue", 2, 0, 0, 3, 1, 1);
    blue.r = blue.g = 0;
    blue.a = 128;
    blue.texScale = 5.0f;   // the OBJ keeps fixed texture coordinates
    g_SceneObjects = {red, blue};

    ExpectOnlyBox(ExportSceneToOBJ(temp.File(L"two_cubes.obj")), L"Export Complete",
                  L"Scene exported to OBJ successfully!", MESSAGE_ICON_INFORMATION);
    EXPECT_EQ(FileText(temp.File(L"two_cubes.obj")), FileText(GoldenFile(L"two_cubes.obj")));
    EXPECT_EQ(FileText(temp.File(L"two_cubes.mtl")), FileText(GoldenFile(L"two_cubes.mtl")));
}

TEST_F(ExportTest, RuntimeSceneFilesMatchTheirLayout)
{
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_CUBE, L"Floor", 0, 0, 0, 1, 1, 1));
    const std::wstring empty = temp.File(L"castle.trs");
    ExportOutcome outcome = ExportRuntimeScene(empty);
    EXPECT_TRUE(outcome.written);
    ASSERT_EQ(outcome.messages.size(), 2u);
    EXPECT_EQ(outcome.messages[0].text, L"Scene exported to GLB successfully!");
    EXPECT_EQ(outcome.messages[1].text, L"Scene exported to TRS successfully!");
    const unsigned char bare[32] = {'T', 'R', 'S', 0, 1, 0, 0, 0, 12, 0, 0, 0, 'm', 'o', 'd', 'e',
                                    'l', 'l', 'e', 'r', '.', 'g', 'l', 'b', 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(FileBytes(empty), std::vector<unsigned char>(bare, bare + 32));
    EXPECT_TRUE(ReadGlb(FileBytes(temp.File(L".castleAssets") + PATH_SEPARATOR + L"modeller.glb")).ok);

    Model tree;
    tree.id = 4;
    tree.path = temp.File(L"tree.glb");
    tree.name = L"tree.glb";
    tree.normalizeScale = 0.25f;
    WriteTestFile(tree.path, TriangleGlb({0, 0, 0, 1, 0, 0, 0, 1, 0}));
    g_Models.push_back(tree);
    PropInstance placed;
    placed.modelID = 4;
    placed.name = L"Tree_1";
    placed.position = Vec3f(3, 1, 5);
    placed.rotation = Vec3f(0, 90, 0);
    placed.scale = Vec3f(1, 2, 3);
    PropInstance hidden = placed;
    hidden.visible = false;
    hidden.alpha = 51.0f;
    hidden.gridCellSize = 2.0f;
    g_PropInstances = {placed, hidden};
    ASSERT_TRUE(ExportRuntimeScene(temp.File(L"level.trs")).written);
    TrsReader trs{FileBytes(temp.File(L"level.trs"))};
    trs.at = 24;   // past the header checked above
    EXPECT_EQ(trs.U32(), 1u);   // one model: id, file, name, scale
    EXPECT_EQ(trs.U32(), 4u);
    EXPECT_EQ(trs.String(), "tree.glb");
    EXPECT_EQ(trs.String(), "tree.glb");
    EXPECT_EQ(trs.F32(), 0.25f);
    EXPECT_EQ(trs.U32(), 2u);   // two instances: name, model, position, rotation, scale, alpha, visible, cell
    std::vector<std::vector<float>> values(2);
    std::vector<unsigned char> visible;
    for (std::vector<float>& instance : values) {
        EXPECT_EQ(trs.String(), "Tree_1");
        EXPECT_EQ(trs.U32(), 4u);
        for (int k = 0; k < 10; ++k)
            instance.push_back(trs.F32());
        ASSERT_LT(trs.at, trs.bytes.size());
        visible.push_back(trs.bytes[trs.at++]);
        instance.push_back(trs.F32());
    }
    EXPECT_EQ(values[0], (std::vector<float>{2.5f, 1, 4.5f, 0, 90, 0, 1, 2, 3, 1.0f, 1.0f}));
    EXPECT_EQ(values[1][0], 2.0f);
    EXPECT_EQ(values[1][9], 0.2f);
    EXPECT_EQ(values[1][10], 2.0f);
    EXPECT_EQ(visible, (std::vector<unsigned char>{1, 0}));
    EXPECT_EQ(trs.at, trs.bytes.size()) << "bytes left over";
    EXPECT_EQ(FileBytes(temp.File(L".levelAssets") + PATH_SEPARATOR + L"tree.glb"), FileBytes(tree.path));
}

TEST_F(ExportTest, EmptyAndHiddenScenesAreRefusedAsEachFormatSays)
{
    const std::wstring glb = temp.File(L"a.glb"), obj = temp.File(L"a.obj"), trs = temp.File(L"a.trs");
    ExpectOnlyBox(ExportSceneToGLB(glb), L"Export Error", L"Scene is empty - nothing to export!", MESSAGE_ICON_ERROR);
    ExpectOnlyBox(ExportSceneToOBJ(obj), L"Export Error", L"No objects to export!", MESSAGE_ICON_ERROR);
    ExpectOnlyBox(ExportRuntimeScene(trs), L"Export Error", L"Scene is empty - nothing to export!",
                  MESSAGE_ICON_ERROR);
    EXPECT_FALSE(FileExists(glb));
    EXPECT_FALSE(FileExists(obj));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(temp.File(L".aAssets"))));

    SceneObject hidden = MakePrimitive(PRIMITIVE_CUBE, L"Hidden", 0, 0, 0, 1, 1, 1);
    hidden.visible = false;
    g_SceneObjects = {hidden, MakePrimitive(PRIMITIVE_KNIFE, L"Knife", 0, 0, 0, 1, 1, 1)};
    g_SceneObjects[1].visible = false;
    ExpectOnlyBox(ExportSceneToGLB(glb), L"Export Error", L"No visible geometry to export!", MESSAGE_ICON_ERROR);
    ExportOutcome runtime = ExportRuntimeScene(trs);
    EXPECT_FALSE(runtime.written);
    ASSERT_EQ(runtime.messages.size(), 2u);
    EXPECT_EQ(runtime.messages[0].text, L"No visible geometry to export!");
    EXPECT_EQ(runtime.messages[1].text, L"Failed to export modeller geometry!");
    EXPECT_FALSE(FileExists(trs));
    EXPECT_TRUE(ExportSceneToOBJ(obj).written);
    EXPECT_EQ(FileText(obj), "# Ostrel OBJ Export\nmtllib a.mtl\n\n");
}

TEST_F(ExportTest, AFileThatCannotBeWrittenIsReportedAndLeavesNoTemporaryFile)
{
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_CUBE, L"Cube", 0, 0, 0, 1, 1, 1));
    // A folder under the file's name: the data is written, moving it into place fails.
    const std::wstring blocked = temp.MakeSubfolder(L"blocked.glb");
    const std::wstring target = blocked.substr(0, blocked.size() - 1);
    ExpectOnlyBox(ExportSceneToGLB(target), L"Export Error", L"Failed to create GLB file!", MESSAGE_ICON_ERROR);
    EXPECT_FALSE(FileExists(target + L".partial"));

    temp.MakeSubfolder(L"scene.mtl");
    ExpectOnlyBox(ExportSceneToOBJ(temp.File(L"scene.obj")), L"Export Error", L"Failed to create MTL file!",
                  MESSAGE_ICON_ERROR);
    EXPECT_FALSE(FileExists(temp.File(L"scene.obj")));

    temp.MakeSubfolder(L"level.trs");
    ExportOutcome runtime = ExportRuntimeScene(temp.File(L"level.trs"));
    EXPECT_FALSE(runtime.written);
    EXPECT_EQ(runtime.messages.back().text, L"Failed to create TRS file!");
}

TEST_F(ExportTest, ExplicitMeshesSplitByFaceKeyInKeyOrder)
{
    SceneObject mesh = MakePrimitive(PRIMITIVE_CUBE, L"Union_3", 0, 0, 0, 1, 1, 1);
    mesh.isCSGMesh = true;
    mesh.V.resize(4, 3);
    mesh.V << 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1;
    mesh.F.resize(3, 3);
    mesh.F << 0, 2, 1, 0, 1, 3, 0, 3, 2;
    mesh.faceColors = {FaceColor(9, 0, 0), FaceColor(10, 0, 0), FaceColor(9, 0, 0)};
    g_SceneObjects = {mesh};

    ASSERT_TRUE(ExportSceneToGLB(temp.File(L"mesh.glb")).written);
    nlohmann::json json = nlohmann::json::parse(ReadGlb(FileBytes(temp.File(L"mesh.glb"))).json);
    // The object's own key comes first; then "10_..." sorts before "9_...".
    ASSERT_EQ(json["materials"].size(), 3u);
    EXPECT_EQ(json["meshes"][0]["primitives"][0]["material"], 1);
    EXPECT_EQ(json["meshes"][0]["primitives"][1]["material"], 2);
    EXPECT_EQ(json["accessors"][0]["count"], 3);   // the one face of 10_0_0
    EXPECT_EQ(json["accessors"][3]["count"], 6);   // the two faces of 9_0_0

    ASSERT_TRUE(ExportSceneToOBJ(temp.File(L"mesh.obj")).written);
    EXPECT_NE(FileText(temp.File(L"mesh.obj")).find("usemtl material_1\nf 4/4/4 5/5/5 6/6/6\nf 7/7/7 8/8/8 9/9/9\n"),
              std::string::npos);
}

// Degenerate input must never put NaN or infinity into a file, and GLB normals
// are unit length.
TEST_F(ExportTest, DegenerateObjectsWriteOnlyFiniteNumbersAndUnitGlbNormals)
{
    BuildExportScene(temp.path);
    SceneObject broken = g_SceneObjects.back();
    broken.name = L"Broken";
    broken.F(3, 2) = 99;                    // a vertex outside V: the face is skipped
    broken.faceTextureScales = {std::nanf("")};   // shorter than the faces reading it
    broken.texScale = -1.0f;
    g_SceneObjects.push_back(broken);
    SceneObject weird = MakePrimitive(PRIMITIVE_CONE, L"Needle", 0, 0, 0, 0, 5, 0);
    weird.texScale = INFINITY;
    g_SceneObjects.push_back(weird);

    ASSERT_TRUE(ExportSceneToGLB(temp.File(L"all.glb")).written);
    GlbChunks glb = ReadGlb(FileBytes(temp.File(L"all.glb")));
    ASSERT_TRUE(glb.ok);
    nlohmann::json json = nlohmann::json::parse(glb.json);
    const auto& accessors = json["accessors"];
    const auto& views = json["bufferViews"];
    for (size_t k = 0; k < accessors.size(); ++k) {
        if (accessors[k]["componentType"] != 5126)
            continue;
        const size_t offset = views[k]["byteOffset"], length = views[k]["byteLength"];
        std::vector<float> values = BinValues<float>(glb.bin, offset, length / 4);
        for (float value : values)
            ASSERT_TRUE(std::isfinite(value)) << "accessor " << k;
        if (k % 3 == 1) {
            for (size_t i = 0; i < values.size(); i += 3)
                ASSERT_NEAR(std::sqrt(values[i] * values[i] + values[i + 1] * values[i + 1] +
                                      values[i + 2] * values[i + 2]),
                            1.0, 1e-6)
                    << "normal " << i / 3 << " of accessor " << k;
        }
    }
    ASSERT_TRUE(ExportSceneToOBJ(temp.File(L"all.obj")).written);
    const std::string obj = FileText(temp.File(L"all.obj"));
    for (const char* bad : {"nan", "inf", "NaN", "Inf"})
        EXPECT_EQ(obj.find(bad), std::string::npos) << bad;
}

TEST_F(ExportTest, TexturesAreEmbeddedAndWrittenWithTheirSourcePixels)
{
    const DecodedImage pixels = AddTextureFile(temp.path, L"bricks.png");
    Texture missing;
    missing.path = temp.File(L"gone.png");
    missing.name = L"gone.png [MISSING]";
    g_Textures.push_back(missing);
    for (int k = 0; k < 3; ++k) {
        SceneObject cube = MakePrimitive(PRIMITIVE_CUBE, L"Cube", 2.0f * k, 0, 0, 2.0f * k + 1, 1, 1);
        cube.texture = k < 2 ? 0 : 1;
        cube.r = 100 + k;
        g_SceneObjects.push_back(cube);
    }

    ASSERT_TRUE(ExportSceneToGLB(temp.File(L"textured.glb")).written);
    GlbChunks glb = ReadGlb(FileBytes(temp.File(L"textured.glb")));
    nlohmann::json json = nlohmann::json::parse(glb.json);
    ASSERT_EQ(json["images"].size(), 2u);   // one copy per material; none for the missing file
    EXPECT_FALSE(json["materials"][2]["pbrMetallicRoughness"].contains("baseColorTexture"));
    const auto& view = json["bufferViews"][json["images"][1]["bufferView"].get<size_t>()];
    const size_t offset = view["byteOffset"], length = view["byteLength"];
    DecodedImage embedded;
    ASSERT_TRUE(DecodeImageBytes(glb.bin.data() + offset, length, embedded));
    EXPECT_EQ(embedded.rgba, pixels.rgba);

    ASSERT_TRUE(ExportSceneToOBJ(temp.File(L"textured.obj")).written);
    const std::string mtl = FileText(temp.File(L"textured.mtl"));
    EXPECT_NE(mtl.find("d 1\nmap_Kd textured_textures/texture_0.png\n\nnewmtl material_1"), std::string::npos);
    EXPECT_EQ(mtl.find("texture_1.png"), std::string::npos);
    DecodedImage written;
    ASSERT_TRUE(DecodeImageFile(temp.File(L"textured_textures") + PATH_SEPARATOR + L"texture_0.png", written));
    EXPECT_EQ(written.rgba, pixels.rgba);
}

TEST_F(ExportTest, NamesBeyondLatin1NameTheFilesActuallyWritten)
{
    const std::wstring folder = temp.MakeSubfolder(L"Ωmega");
    AddTextureFile(folder, L"tex.png");
    SceneObject cube = MakePrimitive(PRIMITIVE_CUBE, L"Cube", 0, 0, 0, 1, 1, 1);
    cube.texture = 0;
    g_SceneObjects = {cube};
    ASSERT_TRUE(ExportSceneToOBJ(folder + L"场景.obj").written);
    EXPECT_NE(FileText(folder + L"场景.obj").find("mtllib " + WideToUtf8(L"场景") + ".mtl\n"), std::string::npos);
    const std::string mtl = FileText(folder + L"场景.mtl");
    EXPECT_NE(mtl.find("map_Kd " + WideToUtf8(L"场景_textures") + "/texture_0.png\n"), std::string::npos);
    EXPECT_TRUE(FileExists(folder + L"场景_textures" + PATH_SEPARATOR + L"texture_0.png"));
    // Latin-1 names keep one byte per character.
    ASSERT_TRUE(ExportSceneToOBJ(folder + L"café.obj").written);
    EXPECT_NE(FileText(folder + L"café.obj").find("mtllib caf\xE9.mtl\n"), std::string::npos);
}

TEST_F(ExportTest, RuntimeAssetCopiesWarnWhereTheLayoutLosesSomething)
{
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_CUBE, L"Floor", 0, 0, 0, 1, 1, 1));
    const std::wstring source = temp.MakeSubfolder(L"src");
    const std::wstring other = temp.MakeSubfolder(L"other");
    for (const std::wstring& name : {std::wstring(L"modeller.glb"), std::wstring(L"rock.glb")}) {
        Model model;
        model.id = g_NextModelId++;
        model.path = source + name;
        model.name = name;
        WriteTestFile(model.path, {1, 2, 3});
        g_Models.push_back(model);
    }
    AddTextureFile(source, L"rock.glb");   // a texture under a model's file name
    AddTextureFile(other, L"Дерево.png");
    PropInstance instance;
    instance.name = L"Ель";
    g_PropInstances.push_back(instance);

    ASSERT_TRUE(ExportRuntimeScene(temp.File(L"forest.trs")).written);
    const std::wstring assets = temp.File(L".forestAssets") + PATH_SEPARATOR;
    EXPECT_TRUE(ReadGlb(FileBytes(assets + L"modeller.glb")).ok) << "the geometry was overwritten";
    EXPECT_TRUE(LogContains(L"WARNING: Asset not copied, its name would replace the scene geometry: " + source +
                            L"modeller.glb"));
    EXPECT_TRUE(LogContains(L"WARNING: Two assets are named rock.glb; the later copy replaces the earlier: " +
                            source + L"rock.glb"));
    EXPECT_TRUE(
        LogContains(L"WARNING: Name written to the runtime scene as single bytes loses characters: Дерево.png"));
    // The instance name keeps the low bytes of U+0415 U+043B U+044C.
    const std::vector<unsigned char> trs = FileBytes(temp.File(L"forest.trs"));
    const unsigned char name[7] = {3, 0, 0, 0, 0x15, 0x3B, 0x4C};
    EXPECT_NE(std::search(trs.begin(), trs.end(), name, name + 7), trs.end());

    g_Textures[1].path = other + L"nowhere.png";
    ASSERT_TRUE(ExportRuntimeScene(temp.File(L"forest.trs")).written);
    EXPECT_TRUE(LogContains(L"WARNING: Failed to copy asset: " + other + L"nowhere.png"));
}

} // namespace
