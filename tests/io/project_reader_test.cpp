#include <gtest/gtest.h>

#include <cmath>

#include "ProjectTestSupport.h"
#include "TestSupport.h"
#include "io/FileUtil.h"
#include "io/ProjectReader.h"
#include "io/ProjectWriter.h"
#include "io/PropBrushes.h"
#include "io/TextureLoader.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "viewport/Camera.h"

namespace {

struct ProjectReaderTest : ProjectFileTest {

    // Loads a project made of the given sections between the root tags.
    void LoadBody(const std::string& body)
    {
        std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<OstrelScene version=\"1.0\">\r\n" + body +
                           "</OstrelScene>\r\n";
        std::wstring path = temp.File(L"p.tsp");
        WriteTestFile(path, std::vector<unsigned char>(text.begin(), text.end()));
        ASSERT_TRUE(LoadScene(path, executable));
    }
    // One object element of the Objects section.
    void LoadObject(const std::string& element) { LoadBody("<Objects>\r\n" + element + "</Objects>\r\n"); }
};

std::string Primitive(const std::string& type, const std::string& children)
{
    return "<Primitive id=\"0\" type=\"" + type + "\">\r\n" + children + "</Primitive>\r\n";
}

} // namespace

TEST_F(ProjectReaderTest, GoldenFileLoadsEveryField)
{
    std::wstring folder = temp.MakeSubfolder(L"project");
    std::wstring path = folder + L"scene.tsp";
    WriteTestFile(path, FileBytes(GoldenFile(L"scene.tsp")));
    CreateFolder(folder + L"scene_meshes");
    WriteTestFile(MeshSideFilePath(path, 0), FileBytes(GoldenFile(L"scene_meshes/mesh_0.tsm")));
    // Textures loaded before keep their places; the file's are mapped to theirs.
    LoadTexture(L"earlier.png");

    ProjectLoadReport report;
    ASSERT_TRUE(LoadScene(path, executable, &report));
    EXPECT_FLOAT_EQ(g_GridHeight, 0.5f);
    EXPECT_FLOAT_EQ(g_GridCellSize, 0.25f);
    EXPECT_FLOAT_EQ(g_GridOffsetZ, -2.5f);
    EXPECT_FLOAT_EQ(g_CameraDistance, 20.0f);
    EXPECT_FLOAT_EQ(g_CameraTargetY, 1e6f);
    ASSERT_EQ(g_Textures.size(), 3u);
    EXPECT_EQ(g_Textures[1].path, folder + L"tex\\brick.png");
    EXPECT_EQ(g_Textures[2].path, L"D:\\other\\b.png");

    ASSERT_EQ(g_SceneObjects.size(), 3u);   // primitives first, then meshes
    const SceneObject& cube = g_SceneObjects[0];
    EXPECT_EQ(cube.type, PRIMITIVE_CUBE);
    EXPECT_EQ(cube.name, L"Cube 1");
    EXPECT_FLOAT_EQ(cube.minZ, -0.5f);
    EXPECT_FLOAT_EQ(cube.rotation.y, 15.0f);
    EXPECT_EQ(cube.r, 200);
    EXPECT_EQ(cube.texture, 2);   // saved position 1
    EXPECT_FLOAT_EQ(cube.texScale, 2.0f);
    const SceneObject& knife = g_SceneObjects[1];
    EXPECT_EQ(knife.type, PRIMITIVE_KNIFE);
    EXPECT_EQ(knife.objectType, OBJECT_HOLE);
    EXPECT_FALSE(knife.visible);
    EXPECT_EQ(knife.groupID, -1);   // groups are not saved
    const SceneObject& mesh = g_SceneObjects[2];
    EXPECT_TRUE(mesh.isCSGMesh);
    EXPECT_NE(mesh.type, PRIMITIVE_KNIFE);
    EXPECT_EQ(mesh.name, L"Joined <1> & \"2\"");
    EXPECT_EQ(mesh.a, 128);
    ASSERT_EQ(mesh.V.rows(), 4);
    EXPECT_DOUBLE_EQ(mesh.V(3, 2), 1.0 / 3.0);
    ASSERT_EQ(mesh.F.rows(), 2);
    EXPECT_EQ(mesh.faceTextureIDs, (std::vector<int>{1, -1}));   // saved position 0
    ASSERT_EQ(mesh.faceColors.size(), 2u);
    EXPECT_EQ(mesh.faceColors[1].b, 60);

    ASSERT_EQ(g_PropBrushes.size(), 2u);
    EXPECT_EQ(g_PropBrushes[0].name, L"Custom");
    EXPECT_EQ(g_PropBrushes[1].name, L"Tree");
    EXPECT_FALSE(g_PropBrushes[1].builtIn);
    EXPECT_EQ(g_PropBrushes[1].modelID, -1);   // props\tree.glb is not there
    ASSERT_EQ(g_PropInstances.size(), 1u);
    const PropInstance& tree = g_PropInstances[0];
    EXPECT_EQ(tree.name, L"Tree 1");
    EXPECT_FLOAT_EQ(tree.gridCellSize, 0.5f);
    EXPECT_FLOAT_EQ(tree.scale.x, 1.5f);
    EXPECT_FLOAT_EQ(tree.alpha, 127.5f);
    EXPECT_FALSE(tree.selectable);
    // No model: a box 2 wide, 2 deep and 2 high standing on the position.
    EXPECT_FLOAT_EQ(tree.worldBounds.minX, 1.0f);
    EXPECT_FLOAT_EQ(tree.worldBounds.minY, 0.5f);
    EXPECT_FLOAT_EQ(tree.worldBounds.maxY, 2.5f);
    EXPECT_FLOAT_EQ(tree.worldBounds.maxZ, -3.0f);

    // The missing model makes it a partial load: Save must not overwrite the file.
    EXPECT_EQ(report.skippedModels, 1);
    EXPECT_EQ(report.repairedElements + report.unreadableParts + report.skippedObjects, 0);
    EXPECT_EQ(g_CurrentScenePath, L"");
    EXPECT_TRUE(LogContains(L"Scene loaded: " + path + L" (3 objects)"));
}

TEST_F(ProjectReaderTest, OpeningClearsHistoryAndSelections)
{
    g_SceneObjects.resize(2);
    g_SelectedObjects = {0, 1};
    g_SelectedObjectIndex = 1;
    g_OperationSelection = {1};
    g_SelectedGroup = 0;
    g_AddToGroupIndex = 0;
    g_SelectedFaces = {3};
    g_SelectedFacesObject = 1;
    g_SelectedVertices = {{1, 2}};
    g_SelectedVertexObject = 1;
    g_Groups.resize(1);
    SaveUndoState();
    Undo();
    g_CurrentMode = MODE_PAINTER;
    SaveUndoState();
    LoadObject(Primitive("cube", ""));
    EXPECT_TRUE(g_ModellerUndoStack.empty());
    EXPECT_TRUE(g_ModellerRedoStack.empty());
    EXPECT_TRUE(g_PainterUndoStack.empty());
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_EQ(g_SelectedGroup, -1);
    EXPECT_EQ(g_AddToGroupIndex, -1);
    EXPECT_TRUE(g_SelectedFaces.empty());
    EXPECT_EQ(g_SelectedFacesObject, -1);
    EXPECT_TRUE(g_SelectedVertices.empty());
    EXPECT_EQ(g_SelectedVertexObject, -1);
    EXPECT_TRUE(g_Groups.empty());
    EXPECT_EQ(g_SceneObjects.size(), 1u);
}

TEST_F(ProjectReaderTest, FileThatCannotBeOpenedChangesNothing)
{
    g_SceneObjects.resize(2);
    SaveUndoState();
    EXPECT_FALSE(LoadScene(temp.File(L"missing.tsp"), executable));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);
    EXPECT_TRUE(LogContains(L"ERROR: Failed to open scene file: " + temp.File(L"missing.tsp")));
}

TEST_F(ProjectReaderTest, GridAndCameraAreRepaired)
{
    g_GridOffsetX = 4.0f;
    LoadBody("<Settings><Grid height=\"2\"/><Camera distance=\"nan\" yaw=\"inf\" pitch=\"1e39\"/></Settings>");
    EXPECT_FLOAT_EQ(g_GridHeight, 2.0f);
    EXPECT_FLOAT_EQ(g_GridCellSize, 1.0f);   // missing reads 0, which no grid can use
    EXPECT_FLOAT_EQ(g_GridOffsetX, 0.0f);
    EXPECT_FLOAT_EQ(g_CameraDistance, MIN_CAMERA_DISTANCE);
    EXPECT_FLOAT_EQ(g_CameraYaw, 0.0f);
    EXPECT_FLOAT_EQ(g_CameraPitch, 0.0f);

    LoadBody("<Settings><Grid cellSize=\"-3\"/><Camera distance=\"0.1\"/></Settings>");
    EXPECT_FLOAT_EQ(g_GridCellSize, 1.0f);
    EXPECT_FLOAT_EQ(g_CameraDistance, MIN_CAMERA_DISTANCE);

    g_GridHeight = 7.0f;
    g_CameraDistance = 9.0f;
    LoadBody("");
    EXPECT_FLOAT_EQ(g_GridHeight, 7.0f);   // no Grid: the settings stay
    EXPECT_FLOAT_EQ(g_CameraDistance, 9.0f);
}

TEST_F(ProjectReaderTest, MaterialAndHierarchyValues)
{
    LoadObject(Primitive("sphere",
                         "<Material r=\"300\" g=\"-1\" b=\"99999999999\" a=\"256\" texture=\"5\" texScale=\"inf\"/>"
                         "<Hierarchy groupID=\"3\" visible=\"yes\" selectable=\"\"/>"
                         "<Bounds minX=\"nan\" maxX=\"2\"/>"));
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    const SceneObject& object = g_SceneObjects[0];
    EXPECT_EQ(object.type, PRIMITIVE_SPHERE);
    EXPECT_EQ(object.r, 44);
    EXPECT_EQ(object.g, 255);
    EXPECT_EQ(object.b, 255);   // saturated at INT_MAX, low byte 255
    EXPECT_EQ(object.a, 0);
    EXPECT_EQ(object.texture, -1);   // no such saved texture
    EXPECT_FLOAT_EQ(object.texScale, 1.0f);
    EXPECT_EQ(object.objectType, OBJECT_HOLE);   // no objectType
    EXPECT_EQ(object.groupID, -1);
    EXPECT_FALSE(object.visible);
    EXPECT_TRUE(object.selectable);
    EXPECT_FLOAT_EQ(object.minX, 0.0f);
    EXPECT_FLOAT_EQ(object.maxX, 2.0f);
}

TEST_F(ProjectReaderTest, ObjectOrderAndTypes)
{
    LoadBody("<Objects>\r\n"
             "<Primitive id=\"0\" type=\"cube\"><Name>a</Name></Primitive>\r\n"
             "<CSGMesh id=\"1\"><Name>b</Name></CSGMesh>\r\n"
             "<Primitive id=\"2\" type=\"cone\"><Name>c</Name></Primitive>\r\n"
             "<Primitive id=\"3\" type=\"\"><Name>d</Name></Primitive>\r\n"
             "<Primitive id=\"4\" type=\"blob\"><Name>e</Name></Primitive>\r\n"
             "<Primitive id=\"5\"><Name>f</Name></Primitive>\r\n"
             "</Objects>\r\n");
    ASSERT_EQ(g_SceneObjects.size(), 6u);
    EXPECT_EQ(g_SceneObjects[0].name, L"a");
    EXPECT_EQ(g_SceneObjects[1].type, PRIMITIVE_CONE);
    EXPECT_EQ(g_SceneObjects[2].type, PRIMITIVE_KNIFE);
    EXPECT_EQ(g_SceneObjects[3].type, PRIMITIVE_CUBE);
    EXPECT_EQ(g_SceneObjects[4].type, PRIMITIVE_CUBE);
    EXPECT_EQ(g_SceneObjects[5].name, L"b");
    EXPECT_TRUE(g_SceneObjects[5].isCSGMesh);   // no meshFile: an empty mesh
    EXPECT_EQ(g_SceneObjects[5].V.rows(), 0);
}

TEST_F(ProjectReaderTest, ANameCannotInjectFields)
{
    LoadObject(Primitive("cube", "<Name><Bounds minX=\"5\"/><Material r=\"1\"/></Name>\r\n"
                                 "<Bounds minX=\"-2\"/>\r\n"));
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_SceneObjects[0].name, L"<Bounds minX=\"5\"/><Material r=\"1\"/>");
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, -2.0f);
    EXPECT_EQ(g_SceneObjects[0].r, 255);
}

TEST_F(ProjectReaderTest, QuotesInBrushNamesSurvive)
{
    LoadBody("<Objects></Objects><PropBrushes>\r\n"
             "<PropBrush id=\"1\" modelID=\"9\" name=\"The \"big\" one\"/>\r\n"
             "</PropBrushes>\r\n");
    ASSERT_EQ(g_PropBrushes.size(), 2u);
    EXPECT_EQ(g_PropBrushes[1].name, L"The \"big\" one");
    EXPECT_EQ(g_PropBrushes[1].modelID, -1);
}

TEST_F(ProjectReaderTest, MissingSideFileDropsOnlyThatObject)
{
    LoadBody("<Objects>\r\n"
             "<CSGMesh id=\"0\" meshFile=\"gone_meshes/mesh_0.tsm\"><Name>m</Name></CSGMesh>\r\n"
             "<Primitive id=\"1\" type=\"cube\"><Name>c</Name></Primitive>\r\n"
             "</Objects>\r\n");
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_SceneObjects[0].name, L"c");
    EXPECT_TRUE(LogContains(L"ERROR: Failed to load mesh file: " + temp.path + L"gone_meshes/mesh_0.tsm"));
}

TEST_F(ProjectReaderTest, WithoutObjectsOnlySettingsAndTexturesLoad)
{
    LoadBody("<Settings><Grid height=\"3\" cellSize=\"2\"/></Settings>"
             "<Textures><Texture id=\"0\" path=\"a.png\"/></Textures>"
             "<PropBrushes><PropBrush id=\"1\" modelID=\"1\" name=\"x\"/></PropBrushes>");
    EXPECT_FLOAT_EQ(g_GridHeight, 3.0f);
    ASSERT_EQ(g_Textures.size(), 1u);
    EXPECT_EQ(g_Textures[0].path, temp.path + L"a.png");
    EXPECT_EQ(g_PropBrushes.size(), 1u);   // only "Custom"
}

TEST_F(ProjectReaderTest, PathRules)
{
    EXPECT_EQ(ResolveProjectPath(L"tex\\a.png", L"E:\\p\\"), L"E:\\p\\tex\\a.png");
    EXPECT_EQ(ResolveProjectPath(L"D:\\a.png", L"E:\\p\\"), L"D:\\a.png");
    EXPECT_EQ(ResolveProjectPath(L"\\a.png", L"E:\\p\\"), L"\\a.png");
    EXPECT_EQ(ResolveProjectPath(L"/home/a.png", L"E:\\p\\"), L"/home/a.png");
    EXPECT_EQ(ResolveProjectPath(L"scene_meshes/mesh_0.tsm", L"E:\\p\\"), L"E:\\p\\scene_meshes/mesh_0.tsm");
}

TEST_F(ProjectReaderTest, ModelIdsStayUniqueAndBrushesFollowTheirModels)
{
    temp.MakeSubfolder(L"m");
    WriteTestFile(temp.path + L"m" + PATH_SEPARATOR + L"a.glb", TriangleGlb({0, 0, 0, 1, 0, 0, 0, 1, 0}));
    WriteTestFile(temp.path + L"m" + PATH_SEPARATOR + L"b.glb", TriangleGlb({0, 0, 0, 2, 0, 0, 0, 2, 0}));
    std::string sep = PATH_SEPARATOR == L'/' ? "/" : "\\";
    // The built-in model gets id 1 when loaded; the file gives 1 to a.glb
    // and names the built-in model 2, and b.glb twice.
    std::wstring builtIn = BuiltInCustomPropPath(executable);
    LoadBody("<Objects></Objects><Models>\r\n"
             "<Model id=\"1\" path=\"m" + sep + "a.glb\" name=\"a\"/>\r\n"
             "<Model id=\"2\" path=\"" + std::string(builtIn.begin(), builtIn.end()) + "\" name=\"c\"/>\r\n"
             "<Model id=\"5\" path=\"m" + sep + "b.glb\" name=\"b\"/>\r\n"
             "<Model id=\"6\" path=\"m" + sep + "b.glb\" name=\"b\"/>\r\n"
             "<Model id=\"7\" path=\"m" + sep + "none.glb\" name=\"n\"/>\r\n"
             "</Models><PropBrushes>"
             "<PropBrush id=\"1\" modelID=\"5\" name=\"B\"/><PropBrush id=\"2\" modelID=\"6\" name=\"B2\"/>"
             "<PropBrush id=\"3\" modelID=\"7\" name=\"N\"/>"
             "</PropBrushes><PropInstances><PropInstance id=\"0\" modelID=\"1\"><Name>i</Name>"
             "<Position x=\"10\" y=\"0\" z=\"0\"/><Scale x=\"-2\" y=\"1\" z=\"1\"/></PropInstance></PropInstances>");
    ASSERT_EQ(g_Models.size(), 3u);
    EXPECT_EQ(g_Models[0].path, builtIn);
    EXPECT_EQ(g_Models[0].id, 2);
    EXPECT_EQ(g_Models[1].id, 1);
    EXPECT_EQ(g_Models[2].id, 5);
    EXPECT_GT(g_NextModelId, 5);
    ASSERT_EQ(g_PropBrushes.size(), 4u);
    EXPECT_EQ(g_PropBrushes[0].modelID, 2);   // the built-in brush follows its model
    EXPECT_EQ(g_PropBrushes[1].modelID, 5);
    EXPECT_EQ(g_PropBrushes[2].modelID, 5);   // the same file under another id
    EXPECT_EQ(g_PropBrushes[3].modelID, -1);  // its model failed to load
    ASSERT_EQ(g_PropInstances.size(), 1u);
    const PropInstance& instance = g_PropInstances[0];
    EXPECT_EQ(instance.modelID, 1);
    // A negative scale still gives min below max.
    EXPECT_LE(instance.worldBounds.minX, instance.worldBounds.maxX);
    EXPECT_FLOAT_EQ(instance.worldBounds.minX + instance.worldBounds.maxX, 20.0f);
}

TEST_F(ProjectReaderTest, DamagedCopiesOfTheGoldenFileNeverYieldUnusableValues)
{
    std::vector<unsigned char> golden = FileBytes(GoldenFile(L"scene.tsp"));
    std::wstring path = temp.File(L"d.tsp");
    auto check = [&](const std::vector<unsigned char>& bytes, size_t at) {
        g_CapturedLog.clear();
        LoadSceneFromBytes(std::string(bytes.begin(), bytes.end()), path, executable);
        ASSERT_TRUE(std::isfinite(g_GridCellSize) && g_GridCellSize > 0.0f) << at;
        ASSERT_TRUE(std::isfinite(g_CameraDistance) && g_CameraDistance >= MIN_CAMERA_DISTANCE) << at;
        for (const SceneObject& object : g_SceneObjects) {
            const float values[] = {object.minX, object.minY, object.minZ, object.maxX,
                                    object.maxY, object.maxZ, object.texScale};
            for (float value : values)
                ASSERT_TRUE(std::isfinite(value)) << at;
            ASSERT_TRUE(object.texture >= -1 && object.texture < static_cast<int>(g_Textures.size())) << at;
            ASSERT_EQ(object.groupID, -1) << at;
        }
        for (const PropInstance& instance : g_PropInstances)
            ASSERT_TRUE(std::isfinite(instance.worldBounds.minX) && instance.gridCellSize > 0.0f) << at;
    };
    for (size_t size = 0; size < golden.size(); ++size)
        check(std::vector<unsigned char>(golden.begin(), golden.begin() + size), size);
    const unsigned char flips[] = {0x00, '"', '<', '>', '/', 'n', '9', 0xFF};
    for (size_t at = 0; at < golden.size(); ++at) {
        for (unsigned char flip : flips) {
            std::vector<unsigned char> bytes = golden;
            bytes[at] = flip;
            check(bytes, at);
        }
    }
}

TEST_F(ProjectReaderTest, OverflowingPropBoundsKeepThePositionAndResetThatScale)
{
    std::wstring builtIn = BuiltInCustomPropPath(executable);
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<OstrelScene version=\"1.0\">\r\n"
                       "<Objects>\r\n</Objects>\r\n<Models>\r\n<Model id=\"1\" path=\"" +
                       std::string(builtIn.begin(), builtIn.end()) +
                       "\" name=\"c\"/>\r\n</Models>\r\n<PropInstances>\r\n"
                       "<PropInstance id=\"0\" modelID=\"1\" gridCellSize=\"1\">\r\n<Name>big</Name>\r\n"
                       "<Position x=\"3e+38\" y=\"0\" z=\"0\"/>\r\n<Rotation x=\"0\" y=\"0\" z=\"0\"/>\r\n"
                       "<Scale x=\"3e+38\" y=\"2\" z=\"1\"/>\r\n<Material alpha=\"255\" visible=\"true\" selectable=\"true\"/>\r\n"
                       "</PropInstance>\r\n</PropInstances>\r\n</OstrelScene>\r\n";
    ProjectLoadReport report;
    ASSERT_TRUE(LoadSceneFromBytes(text, temp.File(L"big.tsp"), executable, &report));
    ASSERT_EQ(g_PropInstances.size(), 1u);
    const PropInstance& instance = g_PropInstances[0];
    EXPECT_FLOAT_EQ(instance.position.x, 3e38f);
    EXPECT_FLOAT_EQ(instance.scale.x, 1.0f);
    EXPECT_FLOAT_EQ(instance.scale.y, 2.0f);   // only the overflowing axis
    const float bounds[] = {instance.worldBounds.minX, instance.worldBounds.maxX, instance.worldBounds.minY,
                            instance.worldBounds.maxY};
    for (float value : bounds)
        EXPECT_TRUE(std::isfinite(value));
    EXPECT_EQ(report.repairedElements, 1);
    EXPECT_EQ(g_CurrentScenePath, L"");
    EXPECT_TRUE(LogContains(L"WARNING: Prop instance bounds overflow on the X axis, scale set to 1: big"));
}
