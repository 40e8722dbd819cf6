// The Vertex Editor's two panels in the running editor: the tool buttons,
// the grid rows and the typed and stepped vertex positions, with vertex
// clicks in the real viewport in between.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"
#include "tests/viewport/InputSupport.h"
#include "ui/VertexPanel.h"
#include "ui/VertexPropertiesPanel.h"
#include "viewport/RenderScene.h"

namespace {

class VertexPanels : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        SceneObject cube = MakeMeshCube(-1, 0, -1, 1, 2, 1);
        cube.name = L"Box";
        g_SceneObjects.push_back(cube);
        g_SelectedObjects = {0};
        g_SelectedObjectIndex = 0;
        Command(ID_MODE_VERTEXEDITOR);
        PumpPending();
    }
    void TearDown() override
    {
        EXPECT_EQ(g_ModalUnexpectedCalls, 0);
        AppTest::TearDown();
    }

    void ClickVertex(int vertex)
    {
        RenderScene();
        const Eigen::MatrixXd& V = g_SceneObjects[0].V;
        Click(g_hViewport, Aim(static_cast<float>(V(vertex, 0)), static_cast<float>(V(vertex, 1)),
                               static_cast<float>(V(vertex, 2))));
    }
};

HWND Control(int id)
{
    return GetDlgItem(g_hVertexPropertiesPanel, id);
}

std::wstring Text(int id)
{
    return WindowText(Control(id));
}

void Type(int id, const wchar_t* text)
{
    SetWindowTextW(Control(id), text);
}

void Press(int id)
{
    SendMessageW(Control(id), BM_CLICK, 0, 0);
}

} // namespace

TEST_F(VertexPanels, ToolButtonsSetTheTool)
{
    const int buttons[] = {VERTEX_BUTTON_MOVE, VERTEX_BUTTON_ADD, VERTEX_BUTTON_REMOVE, VERTEX_BUTTON_SELECT};
    const int tools[] = {TOOL_MOVE, TOOL_ADD_VERTEX, TOOL_REMOVE_VERTEX, TOOL_SELECT};
    for (int i = 0; i < 4; ++i) {
        SendMessageW(GetDlgItem(g_hVertexPanel, buttons[i]), BM_CLICK, 0, 0);
        EXPECT_EQ(g_CurrentTool, tools[i]);
    }
}

TEST_F(VertexPanels, PositionRowsFollowTheSelectionSnapAndStepByACell)
{
    EXPECT_FALSE(IsWindowEnabled(Control(VERTEX_POS_X_EDIT)));
    g_SnapToGrid = true;
    ClickVertex(0);
    ASSERT_EQ(g_SelectedVertexIndex, 0);
    Type(VERTEX_POS_X_EDIT, L"2.4");
    EXPECT_DOUBLE_EQ(g_SceneObjects[0].V(0, 0), 2.0);
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT), L"2.4");
    Press(VERTEX_POS_X_DOWN + 1);
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT), L"3.00");
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX, 3.0f);   // the bounds follow the vertex

    g_SnapToGrid = false;
    Press(VERTEX_POS_X_DOWN + 3);
    EXPECT_DOUBLE_EQ(g_SceneObjects[0].V(0, 1), static_cast<double>(0.0f + 0.1f));
    EXPECT_TRUE(g_VertexUndoStack.empty());

    RenderScene();
    Click(g_hViewport, Offset(Aim(0, 0, 0), 0, -200));
    EXPECT_FALSE(IsWindowEnabled(Control(VERTEX_POS_X_EDIT)));
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT + 2), L"0.0");
}

TEST_F(VertexPanels, UndoRedoAndNewRefreshThePositionRows)
{
    ClickVertex(6);
    ASSERT_EQ(g_SelectedVertexIndex, 6);
    SaveUndoState();   // an undoable edit, then a typed move that takes none
    Type(VERTEX_POS_X_EDIT, L"5");
    ASSERT_DOUBLE_EQ(g_SceneObjects[0].V(6, 0), 5.0);
    Command(ID_EDIT_UNDO);
    EXPECT_DOUBLE_EQ(g_SceneObjects[0].V(6, 0), 1.0);
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT), L"1.00");
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT), L"5.00");

    g_GridCellSize = 0.5f;
    QueueModalAnswer(IDYES);
    Command(ID_FILE_NEW);
    EXPECT_FALSE(IsWindowEnabled(Control(VERTEX_POS_X_EDIT)));
    EXPECT_EQ(Text(2002), L"1.0");
}

TEST_F(VertexPanels, TypingIntoAPrimitivesVertexAsksToConvert)
{
    SceneObject primitive = MakeCube(-1, 0, -1, 1, 2, 1, 255, 0, 0);
    primitive.name = L"Cube";
    primitive.rotation = Vec3f(0, 90, 0);
    g_SceneObjects[0] = primitive;
    g_SelectedVertices = {{0, 6}};
    g_SelectedVertexObject = 0;
    g_SelectedVertexIndex = 6;
    UpdateVertexPropertiesPanel();

    QueueModalAnswer(IDNO);
    Type(VERTEX_POS_X_EDIT + 1, L"5");
    EXPECT_FALSE(g_SceneObjects[0].isCSGMesh);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].owner, g_hVertexPropertiesPanel);

    QueueModalAnswer(IDYES);
    const size_t undo = g_VertexUndoStack.size();
    Type(VERTEX_POS_X_EDIT + 1, L"5");
    const SceneObject& mesh = g_SceneObjects[0];
    ASSERT_TRUE(mesh.isCSGMesh);
    EXPECT_FLOAT_EQ(mesh.rotation.y, 0.0f);
    EXPECT_DOUBLE_EQ(mesh.V(6, 1), 5.0);
    EXPECT_EQ(g_VertexUndoStack.size(), undo + 1);
}

TEST_F(VertexPanels, RefreshesNeverChangeTheGrid)
{
    Command(ID_MODE_MODELLER);   // entering the mode refreshes the grid rows
    g_GridHeight = 3.0f;
    Command(ID_MODE_VERTEXEDITOR);
    EXPECT_EQ(Text(2001), L"3.0");

    g_GridCellSize = 0.25f;
    g_GridHeight = 0.26f;
    ClickVertex(6);
    EXPECT_FLOAT_EQ(g_GridCellSize, 0.25f);
    EXPECT_FLOAT_EQ(g_GridHeight, 0.26f);
    EXPECT_EQ(Text(2001), L"0.3");

    // A step by one cell stores the exact value, whatever the edit shows.
    g_GridHeight = 0.0f;
    Press(2006);
    EXPECT_FLOAT_EQ(g_GridHeight, 0.25f);
    Press(2008);
    EXPECT_FLOAT_EQ(g_GridCellSize, 0.35f);
}
