#include <gtest/gtest.h>

#include <algorithm>

#include "ProjectTestSupport.h"
#include "TestSupport.h"
#include "io/FileUtil.h"
#include "io/MeshFile.h"
#include "io/PropBrushes.h"
#include "io/ProjectReader.h"
#include "io/ProjectWriter.h"
#include "scene/SceneState.h"

namespace {

struct ProjectWriterTest : ::testing::Test {
    TempFolder temp;
    void SetUp() override { ResetProjectState(); }
    void TearDown() override { ResetProjectState(); }

    std::string SaveAndRead(const std::wstring& path)
    {
        std::wstring failure;
        EXPECT_TRUE(SaveScene(path, failure)) << std::string(failure.begin(), failure.end());
        return FileText(path);
    }
};

const char* const EMPTY_SCENE =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<OstrelScene version=\"1.0\">\r\n"
    "  <Settings>\r\n"
    "    <Grid height=\"0\" cellSize=\"1\" offsetX=\"0\" offsetZ=\"0\"/>\r\n"
    "    <Camera distance=\"15\" yaw=\"45\" pitch=\"30\" targetX=\"0\" targetY=\"0\" targetZ=\"0\"/>\r\n"
    "  </Settings>\r\n"
    "  <Textures>\r\n"
    "  </Textures>\r\n"
    "  <Models>\r\n"
    "  </Models>\r\n"
    "  <PropBrushes>\r\n"
    "  </PropBrushes>\r\n"
    "  <Objects>\r\n"
    "  </Objects>\r\n"
    "  <PropInstances>\r\n"
    "  </PropInstances>\r\n"
    "</OstrelScene>\r\n";

} // namespace

TEST_F(ProjectWriterTest, FixedSceneMatchesTheGoldenFilesToTheByte)
{
    BuildGoldenScene(temp.path);
    std::wstring path = temp.File(L"scene.tsp");
    EXPECT_EQ(SaveAndRead(path), FileText(GoldenFile(L"scene.tsp")));
    std::wstring side = temp.path + L"scene_meshes" + PATH_SEPARATOR + L"mesh_0.tsm";
    EXPECT_EQ(FileBytes(side), FileBytes(GoldenFile(L"scene_meshes/mesh_0.tsm")));
    EXPECT_EQ(g_CurrentScenePath, path);
    EXPECT_TRUE(LogContains(L"Saved TSM file: " + side + L" (4 verts, 2 faces)"));
    EXPECT_TRUE(LogContains(L"Scene saved: " + path));
    EXPECT_FALSE(FileExists(path + L".saving"));
    EXPECT_FALSE(FileExists(side + L".saving"));
}

TEST_F(ProjectWriterTest, EmptySceneWritesEverySectionAndTheMeshesFolder)
{
    std::wstring path = temp.File(L"empty.tsp");
    EXPECT_EQ(SaveAndRead(path), EMPTY_SCENE);
    // The folder exists: a file can be made in it.
    EXPECT_TRUE(CreateFolder(temp.File(L"empty_meshes")));
}

TEST_F(ProjectWriterTest, SideFilesAreNumberedByMeshAndNamedAfterTheStem)
{
    for (int i = 0; i < 3; ++i) {
        SceneObject object;
        object.isCSGMesh = i != 1;
        g_SceneObjects.push_back(object);
    }
    std::wstring path = temp.File(L"my.scene.tsp");
    std::string text = SaveAndRead(path);
    EXPECT_NE(text.find("<CSGMesh id=\"0\" meshFile=\"my.scene_meshes/mesh_0.tsm\">"), std::string::npos);
    EXPECT_NE(text.find("<Primitive id=\"1\" type=\"cube\">"), std::string::npos);
    EXPECT_NE(text.find("<CSGMesh id=\"2\" meshFile=\"my.scene_meshes/mesh_1.tsm\">"), std::string::npos);
    EXPECT_EQ(MeshSideFilePath(path, 1), temp.path + L"my.scene_meshes" + PATH_SEPARATOR + L"mesh_1.tsm");
    EXPECT_TRUE(FileExists(MeshSideFilePath(path, 0)));
    EXPECT_TRUE(FileExists(MeshSideFilePath(path, 1)));
}

TEST_F(ProjectWriterTest, PathsAreRelativeOnlyInsideTheProjectFolder)
{
    EXPECT_EQ(PathRelativeToFolder(L"e:\\P\\tex\\a.png", L"E:\\p\\"), L"tex\\a.png");
    EXPECT_EQ(PathRelativeToFolder(L"D:\\other\\b.png", L"E:\\p\\"), L"D:\\other\\b.png");
    EXPECT_EQ(PathRelativeToFolder(L"E:\\p", L"E:\\p\\"), L"E:\\p");
    EXPECT_EQ(PathRelativeToFolder(L"a.png", L""), L"a.png");
    EXPECT_EQ(PathRelativeToFolder(L"\u00C9\\a.png", L"\u00E9\\"), L"\u00C9\\a.png");   // only A to Z fold
}

TEST_F(ProjectWriterTest, CharactersBeyondOneByteSwitchToTheEscapedForm)
{
    SceneObject object;
    object.name = L"Caf\u00E9 \u0122 2\u00D7\u00BD";   // U+0122's low byte would be a double quote
    g_SceneObjects.push_back(object);
    std::string text = SaveAndRead(temp.File(L"n.tsp"));
    EXPECT_NE(text.find("<OstrelScene version=\"1.0\" text=\"escaped\">"), std::string::npos);
    // Latin-1 stays one byte, except a pair that would read as UTF-8.
    EXPECT_NE(text.find("<Name>Caf\xE9 \xC4\xA2 2&#215;\xBD</Name>"), std::string::npos);

    g_SceneObjects.clear();
    g_SceneObjects.push_back(SceneObject());
    g_SceneObjects[0].name = L"Caf\u00E9 <&>";
    text = SaveAndRead(temp.File(L"plain.tsp"));
    EXPECT_NE(text.find("<OstrelScene version=\"1.0\">"), std::string::npos);   // the plain form holds it
    EXPECT_NE(text.find("<Name>Caf\xE9 <&></Name>"), std::string::npos);
}

TEST_F(ProjectWriterTest, ProjectThatCannotBeCreatedKeepsThePathAndReports)
{
    g_CurrentScenePath = L"old.tsp";
    std::wstring failure;
    EXPECT_FALSE(SaveScene(temp.File(L"missing") + PATH_SEPARATOR + L"a.tsp", failure));
    EXPECT_EQ(failure, L"Failed to create scene file!");
    EXPECT_EQ(g_CurrentScenePath, L"old.tsp");
}

TEST_F(ProjectWriterTest, FailedSideFileKeepsTheLastGoodProject)
{
    std::wstring path = temp.File(L"keep.tsp");
    const std::string good = EMPTY_SCENE;
    WriteTestFile(path, std::vector<unsigned char>(good.begin(), good.end()));
    // A file where the meshes folder should be: no side file can be written.
    WriteTestFile(temp.File(L"keep_meshes"), {1, 2, 3});
    SceneObject mesh;
    mesh.isCSGMesh = true;
    g_SceneObjects.push_back(mesh);
    g_CurrentScenePath.clear();
    std::wstring failure;
    EXPECT_FALSE(SaveScene(path, failure));
    EXPECT_EQ(failure, L"Failed to write mesh file: " + MeshSideFilePath(path, 0));
    EXPECT_TRUE(LogContains(L"ERROR: Failed to create TSM file: " + MeshSideFilePath(path, 0)));
    EXPECT_EQ(FileText(path), good);
    EXPECT_FALSE(FileExists(path + L".saving"));
    EXPECT_TRUE(g_CurrentScenePath.empty());
}

TEST_F(ProjectWriterTest, SecondAndThirdSavesOfARoundTripAreIdentical)
{
    BuildGoldenScene(temp.path);
    g_Textures.clear();   // textures are loaded again by the reader
    for (SceneObject& object : g_SceneObjects)
        object.texture = -1;
    g_SceneObjects[1].faceTextureIDs.clear();
    temp.MakeSubfolder(L"props");
    WriteTestFile(temp.path + L"props\\tree.glb", TriangleGlb({0, 0, 0, 1, 0, 0, 0, 1, 0}));
    std::wstring executable = temp.MakeSubfolder(L"exe");
    temp.MakeSubfolder(L"exe" + std::wstring(1, PATH_SEPARATOR) + L"config");
    WriteTestFile(BuiltInCustomPropPath(executable), TriangleGlb({0, 0, 0, 2, 0, 0, 0, 2, 0}));
    std::wstring path = temp.File(L"round.tsp");
    SaveAndRead(path);
    ASSERT_TRUE(LoadScene(path, executable));
    std::string second = SaveAndRead(path);
    std::vector<unsigned char> secondMesh = FileBytes(MeshSideFilePath(path, 0));
    ASSERT_TRUE(LoadScene(path, executable));
    std::string third = SaveAndRead(path);
    EXPECT_EQ(second, third);
    EXPECT_NE(third.find("<Model id=\"3\" path=\"props\\tree.glb\" name=\"tree.glb\"/>"), std::string::npos);
    // Ids stay unique and every brush names a loaded model.
    ASSERT_EQ(g_Models.size(), 2u);
    EXPECT_NE(g_Models[0].id, g_Models[1].id);
    EXPECT_GT(g_NextModelId, std::max(g_Models[0].id, g_Models[1].id));
    ASSERT_EQ(g_PropBrushes.size(), 2u);
    EXPECT_EQ(g_PropBrushes[0].modelID, g_Models[0].id);
    EXPECT_EQ(g_PropBrushes[1].modelID, 3);
    EXPECT_EQ(g_PropInstances.at(0).modelID, 3);
    EXPECT_EQ(secondMesh, FileBytes(MeshSideFilePath(path, 0)));
}

// A mesh whose per-face lists are missing or short (a Slice fragment, a
// primitive converted before painting) is written as it is drawn: in the
// object's own colour and scale, not white.
TEST_F(ProjectWriterTest, FacesWithoutEntriesAreSavedInTheObjectsOwnLook)
{
    SceneObject mesh;
    mesh.isCSGMesh = true;
    mesh.r = 220;
    mesh.g = 30;
    mesh.b = 40;
    mesh.texScale = 3.0f;
    mesh.V = Eigen::MatrixXd::Zero(4, 3);
    mesh.V.row(1) << 1, 0, 0;
    mesh.V.row(2) << 0, 1, 0;
    mesh.V.row(3) << 0, 0, 1;
    mesh.F.resize(3, 3);
    mesh.F << 0, 1, 2, 0, 2, 3, 0, 3, 1;
    mesh.faceColors = {FaceColor(1, 2, 3)};
    g_SceneObjects.push_back(mesh);
    std::wstring path = temp.File(L"red.tsp");
    SaveAndRead(path);

    g_SceneObjects.clear();
    std::vector<int> ids;
    std::vector<float> scales;
    std::vector<FaceColor> colors;
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    ASSERT_TRUE(LoadMeshFile(MeshSideFilePath(path, 0), V, F, ids, scales, colors));
    EXPECT_EQ(ids, std::vector<int>(3, -1));
    EXPECT_EQ(scales, std::vector<float>(3, 3.0f));
    ASSERT_EQ(colors.size(), 3u);
    EXPECT_EQ(colors[0].r, 1);
    EXPECT_EQ(colors[2].r, 220);
    EXPECT_EQ(colors[2].g, 30);
    EXPECT_EQ(colors[2].b, 40);
}
