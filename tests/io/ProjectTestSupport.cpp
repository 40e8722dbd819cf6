#include "ProjectTestSupport.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "tests/scene/SceneTestSupport.h"
#include "io/FileUtil.h"
#include "io/PropBrushes.h"
#include "io/Utf8.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

void ResetProjectState()
{
    ResetSceneState();
    ResetAssetState();
}

void BuildGoldenScene(const std::wstring& folder)
{
    g_GridHeight = 0.5f;
    g_GridCellSize = 0.25f;
    g_GridOffsetX = 1.0f;
    g_GridOffsetZ = -2.5f;
    g_CameraDistance = 20.0f;
    g_CameraYaw = 45.0f;
    g_CameraPitch = 30.0f;
    g_CameraTargetX = 1e-07f;
    g_CameraTargetY = 1e+06f;
    g_CameraTargetZ = 1.0000005f;

    Texture brick;
    // The folder's case differs: relative paths ignore the case of A to Z.
    std::wstring upper = folder;
    for (wchar_t& c : upper)
        c = (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c;
    brick.path = upper + L"tex\\brick.png";
    Texture other;
    other.path = L"D:\\other\\b.png";
    g_Textures = {brick, other};

    Model tree;
    tree.id = 3;
    tree.path = folder + L"props\\tree.glb";
    tree.name = L"tree.glb";
    g_Models = {tree};
    PropBrush custom;
    custom.name = L"Custom";
    custom.modelID = 3;
    custom.builtIn = true;
    PropBrush treeBrush;
    treeBrush.name = L"Tree";
    treeBrush.modelID = 3;
    g_PropBrushes = {custom, treeBrush};

    SceneObject cube;
    cube.type = PRIMITIVE_CUBE;
    cube.name = L"Cube 1";
    cube.minX = -1.0f;
    cube.maxX = 1.0f;
    cube.maxY = 2.0f;
    cube.minZ = -0.5f;
    cube.maxZ = 0.5f;
    cube.rotation = Vec3f(0.0f, 15.0f, 0.0f);
    cube.r = 200;
    cube.g = 100;
    cube.b = 50;
    cube.texture = 1;
    cube.texScale = 2.0f;

    SceneObject mesh;
    mesh.type = PRIMITIVE_SPHERE;
    mesh.isCSGMesh = true;
    mesh.name = L"Joined <1> & \"2\"";
    mesh.maxX = 1.0f;
    mesh.maxY = 1.0f;
    mesh.maxZ = 1.0f / 3.0f;
    mesh.a = 128;
    mesh.V.resize(4, 3);
    mesh.V << 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 1.0 / 3.0;
    mesh.F.resize(2, 3);
    mesh.F << 0, 1, 2, 0, 2, 3;
    mesh.faceTextureIDs = {0};
    mesh.faceColors = {FaceColor(10, 20, 30), FaceColor(40, 50, 60)};

    SceneObject knife;
    knife.type = PRIMITIVE_KNIFE;
    knife.objectType = OBJECT_HOLE;
    knife.name = L"Knife 1";
    knife.minX = -3.0f;
    knife.maxX = 3.0f;
    knife.maxY = 0.01f;
    knife.minZ = -3.0f;
    knife.maxZ = 3.0f;
    knife.rotation = Vec3f(90.0f, 0.0f, -45.5f);
    knife.g = 0;
    knife.b = 0;
    knife.visible = false;
    knife.groupID = 2;
    g_SceneObjects = {cube, mesh, knife};

    PropInstance instance;
    instance.modelID = 3;
    instance.name = L"Tree 1";
    instance.position = Vec3f(2.0f, 0.5f, -4.0f);
    instance.rotation = Vec3f(0.0f, 90.0f, 0.0f);
    instance.scale = Vec3f(1.5f, 1.5f, 1.5f);
    instance.alpha = 127.5f;
    instance.selectable = false;
    instance.gridCellSize = 0.5f;
    g_PropInstances = {instance};
}

void ProjectFileTest::SetUp()
{
    ResetProjectState();
    executable = temp.MakeSubfolder(L"exe");
    temp.MakeSubfolder(L"exe" + std::wstring(1, PATH_SEPARATOR) + L"config");
    WriteTestFile(BuiltInCustomPropPath(executable), TriangleGlb({0, 0, 0, 1, 0, 0, 0, 1, 0}));
}

void ProjectFileTest::TearDown() { ResetProjectState(); }

std::wstring GoldenFile(const std::wstring& name)
{
    return Utf8ToWide(TARSEL_GOLDEN_DIR) + name;
}

std::vector<unsigned char> FileBytes(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << WideToUtf8(path);
    return bytes;
}

std::string FileText(const std::wstring& path)
{
    std::vector<unsigned char> bytes = FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}
