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

TEST_F(VertexPanels, ToolButtonsSetTheToolAndLog)
{
    EXPECT_TRUE(IsWindowVisible(g_hVertexPanel));
    EXPECT_TRUE(IsWindowVisible(g_hVertexPropertiesPanel));
    EXPECT_EQ(g_CurrentTool, TOOL_SELECT);
    const int buttons[] = {VERTEX_BUTTON_MOVE, VERTEX_BUTTON_ADD, VERTEX_BUTTON_REMOVE, VERTEX_BUTTON_SELECT};
    const int tools[] = {TOOL_MOVE, TOOL_ADD_VERTEX, TOOL_REMOVE_VERTEX, TOOL_SELECT};
    for (int i = 0; i < 4; ++i) {
        SendMessageW(GetDlgItem(g_hVertexPanel, buttons[i]), BM_CLICK, 0, 0);
        EXPECT_EQ(g_CurrentTool, tools[i]);
    }
    EXPECT_EQ(WindowText(GetDlgItem(g_hVertexPanel, VERTEX_BUTTON_REMOVE)), L"Remove Vertices");

    // Entering the mode refreshes the grid rows.
    Command(ID_MODE_MODELLER);
    g_GridHeight = 3.0f;
    Command(ID_MODE_VERTEXEDITOR);
    EXPECT_EQ(Text(2001), L"3.0");
    const std::wstring log = LogText();
    EXPECT_NE(log.find(L"Add Vertex tool activated"), std::wstring::npos);
    EXPECT_NE(log.find(L"Remove Vertex tool activated"), std::wstring::npos);
}

TEST_F(VertexPanels, PositionRowsFollowTheVertexSelection)
{
    EXPECT_FALSE(IsWindowEnabled(Control(VERTEX_POS_X_EDIT)));
    EXPECT_FALSE(IsWindowEnabled(Control(VERTEX_POS_X_DOWN + 5)));
    ClickVertex(6);
    ASSERT_EQ(g_SelectedVertexIndex, 6);
    EXPECT_TRUE(IsWindowEnabled(Control(VERTEX_POS_X_EDIT + 1)));
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT), L"1.00");
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT + 1), L"2.00");

    RenderScene();
    Click(g_hViewport, Offset(Aim(0, 0, 0), 0, -200));
    EXPECT_FALSE(IsWindowEnabled(Control(VERTEX_POS_X_EDIT)));
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT + 2), L"0.0");
}

TEST_F(VertexPanels, TypedPositionSnapsAndStepsMoveByACell)
{
    g_SnapToGrid = true;
    ClickVertex(0);
    ASSERT_EQ(g_SelectedVertexIndex, 0);
    Type(VERTEX_POS_X_EDIT, L"2.4");
    EXPECT_DOUBLE_EQ(g_SceneObjects[0].V(0, 0), 2.0);
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT), L"2.4");
    // The bounds follow the vertex.
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX, 2.0f);
    Press(VERTEX_POS_X_DOWN + 1);
    EXPECT_DOUBLE_EQ(g_SceneObjects[0].V(0, 0), 3.0);
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT), L"3.00");
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX, 3.0f);

    g_SnapToGrid = false;
    Press(VERTEX_POS_X_DOWN + 3);
    EXPECT_DOUBLE_EQ(g_SceneObjects[0].V(0, 1), static_cast<double>(0.0f + 0.1f));
    EXPECT_TRUE(g_VertexUndoStack.empty());
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
    const std::wstring shown = Text(VERTEX_POS_X_EDIT + 1);

    QueueModalAnswer(IDNO);
    Type(VERTEX_POS_X_EDIT + 1, L"5");
    EXPECT_FALSE(g_SceneObjects[0].isCSGMesh);
    EXPECT_EQ(Text(VERTEX_POS_X_EDIT + 1), shown);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].owner, g_hVertexPropertiesPanel);
    EXPECT_NE(g_ModalCalls[0].text.find(L"Gizmo transformations will still work.\n\nConvert to mesh?"),
              std::wstring::npos);

    QueueModalAnswer(IDYES);
    const size_t undo = g_VertexUndoStack.size();
    Type(VERTEX_POS_X_EDIT + 1, L"5");
    const SceneObject& mesh = g_SceneObjects[0];
    ASSERT_TRUE(mesh.isCSGMesh);
    EXPECT_EQ(mesh.name, L"[Mesh] Cube");
    EXPECT_FLOAT_EQ(mesh.rotation.y, 0.0f);
    EXPECT_DOUBLE_EQ(mesh.V(6, 1), 5.0);
    EXPECT_FLOAT_EQ(mesh.maxY, 5.0f);
    EXPECT_EQ(g_VertexUndoStack.size(), undo + 1);
    EXPECT_NE(LogText().find(L"Converted [Mesh] Cube to mesh for vertex editing"), std::wstring::npos);
}

TEST_F(VertexPanels, RefreshesNeverChangeTheGrid)
{
    g_GridCellSize = 0.25f;
    g_GridHeight = 0.26f;
    ClickVertex(6);
    ClickVertex(2);
    EXPECT_FLOAT_EQ(g_GridCellSize, 0.25f);
    EXPECT_FLOAT_EQ(g_GridHeight, 0.26f);
    EXPECT_EQ(Text(2001), L"0.3");

    // A step by one cell stores the exact value, whatever the edit shows.
    g_GridHeight = 0.0f;
    Press(2006);
    EXPECT_FLOAT_EQ(g_GridHeight, 0.25f);
    Press(2008);
    EXPECT_FLOAT_EQ(g_GridCellSize, 0.35f);

    // The boxes show the globals after a refresh.
    g_ShowGrid = false;
    g_SnapToGrid = true;
    UpdateVertexPropertiesPanel();
    EXPECT_EQ(IsDlgButtonChecked(g_hVertexPropertiesPanel, 2013), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(g_hVertexPropertiesPanel, 2014), BST_CHECKED);

    // Typed grid values keep the shared rules.
    g_GridCellSize = 1.0f;
    Type(2003, L"1.3");
    EXPECT_FLOAT_EQ(g_GridOffsetX, 1.0f);
    Type(2002, L"0.005");
    EXPECT_FLOAT_EQ(g_GridCellSize, 1.0f);
}
