// The viewport inside the running application: clicks and drags in the real
// viewport window reach the hierarchy tree, the Edit menu and the scene the
// way a user's do.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/Hooks.h"
#include "scene/PrimitiveCreation.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"
#include "tests/viewport/InputSupport.h"
#include "ui/HierarchyTree.h"
#include "viewport/RenderScene.h"

namespace {

class AppViewport : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplicationStarted();
        ResetEditorState();
        g_SceneObjects.push_back(MakeCube(-3, 0, -1, -1, 2, 1, 200, 0, 0));
        g_SceneObjects.push_back(MakeCube(1, 0, -1, 3, 2, 1, 0, 200, 0));
        g_Hooks.RefreshHierarchyTree();
        PumpPending();
        RenderScene();
        first = Aim(-2.0f, 2.0f, 0.0f);
        second = Aim(2.0f, 2.0f, 0.0f);
    }
    void TearDown() override
    {
        SetKeyDown(VK_CONTROL, false);
        ResetEditorState();
    }

    ClientPoint first{}, second{};
};

int SelectedTreeValue()
{
    const HTREEITEM item = TreeView_GetSelection(g_hTreeView);
    return item ? TreeItemValue(g_hTreeView, item) : -1;
}

bool JoinEnabled()
{
    return (GetMenuState(GetMenu(g_hMainWnd), ID_EDIT_JOIN, MF_BYCOMMAND) & MF_GRAYED) == 0;
}

} // namespace

TEST_F(AppViewport, ClicksSelectInTheTreeAndControlClicksEnableJoin)
{
    Click(g_hViewport, second);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{1});
    EXPECT_EQ(SelectedTreeValue(), 1);
    EXPECT_FALSE(g_TreeSelectionGuard);

    SetKeyDown(VK_CONTROL, true);
    Click(g_hViewport, first, MK_CONTROL);
    EXPECT_FALSE(JoinEnabled());
    Click(g_hViewport, second, MK_CONTROL);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{0, 1}));
    EXPECT_TRUE(JoinEnabled());
    SetKeyDown(VK_CONTROL, false);

    // A plain click empties the operands and the menu follows.
    Click(g_hViewport, first);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_FALSE(JoinEnabled());
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{0});
    EXPECT_EQ(SelectedTreeValue(), 0);
}

TEST_F(AppViewport, MoveToolClickOnTheSelectedBodyKeepsTreeAndSelection)
{
    Click(g_hViewport, second);
    g_CurrentTool = TOOL_MOVE;
    RenderScene();
    Click(g_hViewport, Aim(3.0f, 0.2f, 0.6f));
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{1});
    EXPECT_EQ(g_SelectedObjectIndex, 1);
    EXPECT_EQ(SelectedTreeValue(), 1);
}

TEST_F(AppViewport, DraggedCubeJoinsTheTreeSelected)
{
    BeginPrimitiveCreation(PRIMITIVE_CUBE);
    const ClientPoint end = Aim(2.0f, 0.0f, 4.0f);
    Press(g_hViewport, Aim(0.0f, 0.0f, 3.0f));
    Move(g_hViewport, end, MK_LBUTTON);
    Release(g_hViewport, end);
    Move(g_hViewport, Offset(end, 0, -20), 0);
    Click(g_hViewport, Offset(end, 0, -20));
    PumpPending();
    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_EQ(g_SceneObjects[2].name, L"Cube_3");
    EXPECT_FLOAT_EQ(g_SceneObjects[2].minX, 0.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[2].maxZ, 4.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[2].maxY, 3.0f);
    EXPECT_EQ(g_SelectedObjectIndex, 2);
    EXPECT_EQ(SelectedTreeValue(), 2);
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);
}
