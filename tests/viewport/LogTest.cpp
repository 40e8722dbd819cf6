#include "app/Preferences.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/ViewportTestSupport.h"

namespace {

using RenderLog = ViewportTest;

} // namespace

TEST_F(RenderLog, RenderMeshLogsOnlyItsFirstThreeCallsOfTheRun)
{
    const int before = CountAllLogLines(L"RenderMesh called: ");
    SceneObject mesh = MakeMeshCube(-1, -1, -1, 1, 1, 1);
    mesh.texScale = 2.5f;
    g_SceneObjects.push_back(mesh);
    for (int i = 0; i < 4; ++i)
        RenderFrame();
    EXPECT_EQ(CountAllLogLines(L"RenderMesh called: "), 3);
    if (before == 0) {
        ASSERT_EQ(CountLogLines(L"RenderMesh called: "), 3);
        EXPECT_EQ(g_HookRecord.logLines.back(),
                  L"RenderMesh called: 8 verts, 12 faces, textureScale=2.500000, perFaceTextures=false");
    }
}

TEST_F(RenderLog, VertexModeLogsTheSelectionCountWhenItChanges)
{
    g_SceneObjects.push_back(MakeMeshCube(-1, -1, -1, 1, 1, 1));
    g_SceneObjects.push_back(MakeMeshCube(2, -1, -1, 3, 1, 1));
    g_CurrentMode = MODE_VERTEX_EDITOR;
    g_SelectedObjects = {0, 1, 0, 1, 0, 1, 0};   // a count no earlier test used
    RenderFrame();
    RenderFrame();
    EXPECT_EQ(CountLogLines(L"Vertex mode: g_SelectedObjects.size() = "), 1);
    EXPECT_EQ(g_HookRecord.logLines.back(), L"Vertex mode: g_SelectedObjects.size() = 7");
    g_SelectedObjects.clear();
    RenderFrame();
    RenderFrame();
    EXPECT_EQ(CountLogLines(L"Vertex mode: "), 2);
    EXPECT_EQ(g_HookRecord.logLines.back(), L"Vertex mode: g_SelectedObjects.size() = 0");
    g_CurrentMode = MODE_MODELLER;
    g_SelectedObjects = {0};
    RenderFrame();
    EXPECT_EQ(CountLogLines(L"Vertex mode: "), 2);
}
