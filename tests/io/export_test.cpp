#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "ExportTestSupport.h"
#include "ProjectTestSupport.h"
#include "TestSupport.h"
#include "io/ExportMesh.h"
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

std::string ReadText(const std::wstring& path) { return FileText(path); }

// The runtime-scene file read back field by field from its published layout.
struct TrsReader {
    std::vector<unsigned char> bytes;
    size_t at = 0;
    bool overrun = false;

    bool Take(void* out, size_t size)
    {
        if (at + size > bytes.size()) {
            overrun = true;
            return false;
        }
        std::memcpy(out, bytes.data() + at, size);
        at += size;
        return true;
    }
    uint32_t U32()
    {
        unsigned char b[4] = {};
        Take(b, 4);
        return b[0] | (b[1] << 8) | (b[2] << 16) | (uint32_t(b[3]) << 24);
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float F32()
    {
        uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    std::string String()
    {
        uint32_t count = U32();
        if (count > bytes.size() - std::min(at, bytes.size())) {
            overrun = true;
            return std::string();
        }
        std::string text(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + count));
        at += count;
        return text;
    }
};

struct TrsModel {
    int id;
    std::string file, name;
    float scale;
};
struct TrsInstance {
    std::string name;
    int model;
    float values[10];   // position, rotation, scale, alpha
    unsigned char visible;
    float cell;
};
struct TrsFile {
    std::vector<TrsModel> models;
    std::vector<TrsInstance> instances;
};

TrsFile ReadTrs(const std::vector<unsigned char>& bytes)
{
    TrsReader reader{bytes};
    TrsFile file;
    char magic[4] = {};
    reader.Take(magic, 4);
    EXPECT_EQ(std::string(magic, 4), std::string("TRS\0", 4));
    EXPECT_EQ(reader.U32(), 1u);
    EXPECT_EQ(reader.String(), "modeller.glb");
    const uint32_t models = reader.U32();
    for (uint32_t i = 0; i < models && !reader.overrun; ++i) {
        TrsModel model;
        model.id = reader.I32();
        model.file = reader.String();
        model.name = reader.String();
        model.scale = reader.F32();
        file.models.push_back(model);
    }
    const uint32_t instances = reader.U32();
    for (uint32_t i = 0; i < instances && !reader.overrun; ++i) {
        TrsInstance instance;
        instance.name = reader.String();
        instance.model = reader.I32();
        for (float& value : instance.values)
            value = reader.F32();
        reader.Take(&instance.visible, 1);
        instance.cell = reader.F32();
        file.instances.push_back(instance);
    }
    EXPECT_FALSE(reader.overrun);
    EXPECT_EQ(reader.at, bytes.size()) << "bytes left over";
    return file;
}

TEST_F(ExportTest, GlbOfOneTranslucentCubeMatchesTheHandWrittenFile)
{
    SceneObject cube = MakePrimitive(PRIMITIVE_CUBE, L"Cube", 0, 0, 0, 2, 4, 6);
    cube.g = 128;
    cube.b = 0;
    cube.a = 128;
    cube.texScale = 2.0f;
    g_SceneObjects.push_back(cube);

    const std::wstring path = temp.File(L"cube.glb");
    ExportOutcome outcome = ExportSceneToGLB(path);
    EXPECT_TRUE(outcome.written);
    ExpectOnlyBox(outcome, L"Export Complete", L"Scene exported to GLB successfully!", MESSAGE_ICON_INFORMATION);
    EXPECT_TRUE(LogContains(L"Exporting scene to GLB: " + path));
    EXPECT_TRUE(LogContains(L"  g_SceneObjects.size() = 1"));
    EXPECT_TRUE(LogContains(L"  g_PropInstances.size() = 0"));
    EXPECT_TRUE(LogContains(L"GLB export complete: 1 meshes, 1 materials"));

    GlbChunks glb = ReadGlb(FileBytes(path));
    ASSERT_TRUE(glb.ok);
    std::string expected = FileText(GoldenFile(L"cube_alpha128.json"));
    expected.resize((expected.size() + 3) & ~size_t(3), ' ');
    EXPECT_EQ(glb.json, expected);
    ASSERT_EQ(glb.bin.size(), 912u);
    // Front face: corners (x0,y0,z1) ... with u scaled by 2h.x/t = 1 and v by 2h.y/t = 2.
    EXPECT_EQ(BinFloats(glb.bin, 0, 6), (std::vector<float>{0, 0, 6, 2, 0, 6}));
    EXPECT_EQ(BinFloats(glb.bin, 288, 3), (std::vector<float>{0, 0, 1}));
    EXPECT_EQ(BinFloats(glb.bin, 576, 8), (std::vector<float>{0, 0, 1, 0, 1, 2, 0, 2}));
    EXPECT_EQ(BinU32(glb.bin, 768, 12), (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(BinU32(glb.bin, 908, 1), (std::vector<uint32_t>{23}));
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

    ExportOutcome outcome = ExportSceneToOBJ(temp.File(L"two_cubes.obj"));
    EXPECT_TRUE(outcome.written);
    ExpectOnlyBox(outcome, L"Export Complete", L"Scene exported to OBJ successfully!", MESSAGE_ICON_INFORMATION);
    EXPECT_EQ(ReadText(temp.File(L"two_cubes.obj")), FileText(GoldenFile(L"two_cubes.obj")));
    EXPECT_EQ(ReadText(temp.File(L"two_cubes.mtl")), FileText(GoldenFile(L"two_cubes.mtl")));
    EXPECT_TRUE(CreateFolder(temp.File(L"two_cubes_textures")));
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
    EXPECT_EQ(outcome.messages[1].caption, L"Export Complete");
    const unsigned char bare[32] = {'T', 'R', 'S', 0, 1, 0, 0, 0, 12, 0, 0, 0, 'm', 'o', 'd', 'e',
                                    'l', 'l', 'e', 'r', '.', 'g', 'l', 'b', 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(FileBytes(empty), std::vector<unsigned char>(bare, bare + 32));
    EXPECT_TRUE(ReadGlb(FileBytes(temp.File(L".castleAssets") + PATH_SEPARATOR + L"modeller.glb")).ok);
    EXPECT_TRUE(LogContains(L"Exporting scene to TRS: " + empty));
    EXPECT_TRUE(LogContains(L"TRS export complete: " + empty));

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
    TrsFile file = ReadTrs(FileBytes(temp.File(L"level.trs")));
    ASSERT_EQ(file.models.size(), 1u);
    EXPECT_EQ(file.models[0].id, 4);
    EXPECT_EQ(file.models[0].file, "tree.glb");
    EXPECT_EQ(file.models[0].name, "tree.glb");
    EXPECT_EQ(file.models[0].scale, 0.25f);
    ASSERT_EQ(file.instances.size(), 2u);
    const TrsInstance& first = file.instances[0];
    EXPECT_EQ(first.name, "Tree_1");
    EXPECT_EQ(first.model, 4);
    EXPECT_EQ(std::vector<float>(first.values, first.values + 10),
              (std::vector<float>{2.5f, 1, 4.5f, 0, 90, 0, 1, 2, 3, 1.0f}));
    EXPECT_EQ(first.visible, 1);
    EXPECT_EQ(first.cell, 1.0f);
    EXPECT_EQ(file.instances[1].values[0], 2.0f);
    EXPECT_EQ(file.instances[1].values[9], 0.2f);
    EXPECT_EQ(file.instances[1].visible, 0);
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
    EXPECT_EQ(ReadText(obj), "# Ostrel OBJ Export\nmtllib a.mtl\n\n");
    EXPECT_EQ(ReadText(temp.File(L"a.mtl")), "# Ostrel Material Library\n\n");

    // Props alone cannot be exported: the geometry export reports the scene empty.
    g_SceneObjects.clear();
    g_PropInstances.push_back(PropInstance());
    runtime = ExportRuntimeScene(trs);
    ASSERT_EQ(runtime.messages.size(), 2u);
    EXPECT_EQ(runtime.messages[0].text, L"Scene is empty - nothing to export!");
    EXPECT_EQ(runtime.messages[1].text, L"Failed to export modeller geometry!");
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
    temp.MakeSubfolder(L"other.obj");
    ExpectOnlyBox(ExportSceneToOBJ(temp.File(L"other.obj")), L"Export Error", L"Failed to create OBJ file!",
                  MESSAGE_ICON_ERROR);

    temp.MakeSubfolder(L"level.trs");
    ExportOutcome runtime = ExportRuntimeScene(temp.File(L"level.trs"));
    EXPECT_FALSE(runtime.written);
    EXPECT_EQ(runtime.messages.back().text, L"Failed to create TRS file!");
    EXPECT_EQ(runtime.messages.back().icon, MESSAGE_ICON_ERROR);
}

TEST_F(ExportTest, ExplicitMeshesShowTheirDebugBoxAndSplitByFaceKeyInKeyOrder)
{
    SceneObject mesh = MakePrimitive(PRIMITIVE_CUBE, L"Union_3", 0, 0, 0, 1, 1, 1);
    mesh.isCSGMesh = true;
    mesh.V.resize(4, 3);
    mesh.V << 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1;
    mesh.F.resize(3, 3);
    mesh.F << 0, 2, 1, 0, 1, 3, 0, 3, 2;
    mesh.faceColors = {FaceColor(9, 0, 0), FaceColor(10, 0, 0), FaceColor(9, 0, 0)};
    g_SceneObjects = {mesh};

    ExportOutcome outcome = ExportSceneToGLB(temp.File(L"mesh.glb"));
    ASSERT_EQ(outcome.messages.size(), 2u);
    EXPECT_EQ(outcome.messages[0].caption, L"CSG Export Debug");
    EXPECT_EQ(outcome.messages[0].icon, MESSAGE_ICON_NONE);
    EXPECT_EQ(outcome.messages[0].text, L"Exporting CSG mesh: Union_3, faces=3, hasPerFaceTextures=false, "
                                        L"hasPerFaceColors=true, faceTextureIDs.size=0, faceColors.size=3");
    nlohmann::json json = nlohmann::json::parse(ReadGlb(FileBytes(temp.File(L"mesh.glb"))).json);
    // The object's own key comes first; then "10_..." sorts before "9_...".
    ASSERT_EQ(json["materials"].size(), 3u);
    EXPECT_EQ(json["meshes"][0]["primitives"][0]["material"], 1);
    EXPECT_EQ(json["meshes"][0]["primitives"][1]["material"], 2);
    EXPECT_EQ(json["accessors"][0]["count"], 3);   // the one face of 10_0_0
    EXPECT_EQ(json["accessors"][3]["count"], 6);   // the two faces of 9_0_0
    EXPECT_EQ(json["accessors"][7]["count"], 6);

    ASSERT_TRUE(ExportSceneToOBJ(temp.File(L"mesh.obj")).written);
    const std::string obj = ReadText(temp.File(L"mesh.obj"));
    EXPECT_NE(obj.find("usemtl material_0\nf 1/1/1 2/2/2 3/3/3\nv "), std::string::npos);
    EXPECT_NE(obj.find("usemtl material_1\nf 4/4/4 5/5/5 6/6/6\nf 7/7/7 8/8/8 9/9/9\n"), std::string::npos);
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
        std::vector<float> values = BinFloats(glb.bin, offset, length / 4);
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
    const std::string obj = ReadText(temp.File(L"all.obj"));
    for (const char* bad : {"nan", "inf", "NaN", "Inf"})
        EXPECT_EQ(obj.find(bad), std::string::npos) << bad;
}

TEST_F(ExportTest, PrimitiveCountsAndTheConeApexNormal)
{
    const size_t expected[7][2] = {{24, 36}, {561, 3072}, {134, 384}, {130, 192}, {18, 24}, {18, 24}, {0, 0}};
    for (int type = PRIMITIVE_CUBE; type <= PRIMITIVE_KNIFE; ++type) {
        ExportMesh mesh = BuildExportMesh(MakePrimitive(type, L"P", -1, 0, -2, 3, 2, 2));
        EXPECT_EQ(mesh.VertexCount(), expected[type][0]) << type;
        EXPECT_EQ(mesh.indices.size(), expected[type][1]) << type;
        EXPECT_EQ(mesh.uvs.size(), 2 * mesh.VertexCount());
        for (uint32_t index : mesh.indices)
            ASSERT_LT(index, mesh.VertexCount());
    }
    // The OBJ keeps the averaged, slightly short apex normal of a cone whose
    // slope is 45 degrees.
    ExportMesh cone = BuildExportMesh(MakePrimitive(PRIMITIVE_CONE, L"C", -1, -1, -1, 1, 1, 1));
    const float length = std::sqrt(cone.normals[0] * cone.normals[0] + cone.normals[1] * cone.normals[1] +
                                   cone.normals[2] * cone.normals[2]);
    EXPECT_NEAR(length, 0.9976, 1e-4);
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
    EXPECT_EQ(json["materials"][0]["pbrMetallicRoughness"]["baseColorTexture"]["index"], 0);
    EXPECT_EQ(json["materials"][1]["pbrMetallicRoughness"]["baseColorTexture"]["index"], 1);
    EXPECT_FALSE(json["materials"][2]["pbrMetallicRoughness"].contains("baseColorTexture"));
    for (int k = 0; k < 2; ++k) {
        const auto& view = json["bufferViews"][json["images"][k]["bufferView"].get<size_t>()];
        const size_t offset = view["byteOffset"], length = view["byteLength"];
        DecodedImage embedded;
        ASSERT_TRUE(DecodeImageBytes(glb.bin.data() + offset, length, embedded));
        EXPECT_EQ(embedded.rgba, pixels.rgba);
    }

    ASSERT_TRUE(ExportSceneToOBJ(temp.File(L"textured.obj")).written);
    const std::string mtl = ReadText(temp.File(L"textured.mtl"));
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
    const std::string obj = ReadText(folder + L"场景.obj");
    EXPECT_NE(obj.find("mtllib " + WideToUtf8(L"场景") + ".mtl\n"), std::string::npos);
    const std::string mtl = ReadText(folder + L"场景.mtl");
    EXPECT_NE(mtl.find("map_Kd " + WideToUtf8(L"场景_textures") + "/texture_0.png\n"), std::string::npos);
    EXPECT_TRUE(FileExists(folder + L"场景_textures" + PATH_SEPARATOR + L"texture_0.png"));
    // Latin-1 names keep one byte per character.
    ASSERT_TRUE(ExportSceneToOBJ(folder + L"café.obj").written);
    EXPECT_NE(ReadText(folder + L"café.obj").find("mtllib caf\xE9.mtl\n"), std::string::npos);

    ASSERT_TRUE(ExportSceneToGLB(folder + L"场景.glb").written);
    EXPECT_TRUE(ReadGlb(FileBytes(folder + L"场景.glb")).ok);
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
    EXPECT_TRUE(LogContains(L"WARNING: Name written to the runtime scene as single bytes loses characters: Ель"));
    TrsFile file = ReadTrs(FileBytes(temp.File(L"forest.trs")));
    ASSERT_EQ(file.instances.size(), 1u);
    EXPECT_EQ(file.instances[0].name, "\x15\x3B\x4C");   // the low bytes of U+0415 U+043B U+044C

    g_Textures[1].path = other + L"nowhere.png";
    ASSERT_TRUE(ExportRuntimeScene(temp.File(L"forest.trs")).written);
    EXPECT_TRUE(LogContains(L"WARNING: Failed to copy asset: " + other + L"nowhere.png"));
}

} // namespace
