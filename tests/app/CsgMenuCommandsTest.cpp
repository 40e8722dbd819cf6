// The Edit menu's CSG commands as the user runs them: the menu state the
// selection gives, the command through the main window, the box it ends
// with, and undo through the Edit menu.
#include <gtest/gtest.h>

#include <string>

#include "app/MenuState.h"
#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"
#include "tests/scene/SceneTestSupport.h"

namespace {

class CsgMenuCommands : public AppTest {
protected:
    bool Enabled(UINT id) { return (MenuItemState(GetMenu(g_hMainWnd), id) & MF_GRAYED) == 0; }
    void Select(std::vector<int> indices)
    {
        g_SelectedObjects = indices;
        g_SelectedObjectIndex = indices.empty() ? -1 : indices.front();
        UpdateCSGMenuState();
    }
};

SceneObject MakeBox(int type, const wchar_t* name, float minX, float minY, float minZ, float size)
{
    return MakePrimitive(type, name, minX, minY, minZ, minX + size, minY + size, minZ + size);
}

TEST_F(CsgMenuCommands, JoinThroughTheMenuMakesOneUndoableUnion)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 2), MakeBox(PRIMITIVE_CUBE, L"Cube_2", 1, 1, 1, 2)};
    Select({0, 1});
    ASSERT_TRUE(Enabled(ID_EDIT_JOIN));
    ASSERT_FALSE(Enabled(ID_EDIT_SLICE));

    QueueModalAnswer(IDOK);
    Command(ID_EDIT_JOIN);

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    const SceneObject& result = g_SceneObjects[2];
    EXPECT_EQ(result.name, L"Union_3");
    EXPECT_TRUE(result.isCSGMesh);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_FALSE(g_SceneObjects[1].visible);
    EXPECT_EQ(g_SelectedObjectIndex, 2);

    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"Join Objects");
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(g_ModalCalls[0].owner, g_hMainWnd);
    EXPECT_EQ(g_ModalCalls[0].text.rfind(L"CSG Union (combine solids) completed!\n\nCreated: Union_3\n", 0), 0u);
    EXPECT_EQ(g_ModalUnexpectedCalls, 0);

    // The command left one undo step, and the menu follows the restored selection.
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);
    Command(ID_EDIT_UNDO);
    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible);
    EXPECT_TRUE(g_SceneObjects[1].visible);
    EXPECT_TRUE(Enabled(ID_EDIT_JOIN));
}

TEST_F(CsgMenuCommands, JoinRefusesAKnifeEvenWhenTheMenuItemIsEnabled)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 2), MakeBox(PRIMITIVE_KNIFE, L"Knife_2", -1, 1, -1, 4),
                      MakeBox(PRIMITIVE_CUBE, L"Cube_3", 1, 0, 0, 2)};
    Select({0, 1, 2});
    EXPECT_FALSE(Enabled(ID_EDIT_JOIN));
    EXPECT_TRUE(Enabled(ID_EDIT_SLICE));

    // An accelerator or a stale menu can still send the command.
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_JOIN);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"Invalid Selection");
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_TRUE(g_SceneObjects[0].visible);
}

TEST_F(CsgMenuCommands, SliceThroughTheMenuErasesTheKnifeAndGreysTheItems)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 2), MakeBox(PRIMITIVE_KNIFE, L"Knife_2", -1, 1, -1, 4)};
    Select({0, 1});
    ASSERT_TRUE(Enabled(ID_EDIT_SLICE));

    QueueModalAnswer(IDOK);
    Command(ID_EDIT_SLICE);

    // The cube stays as a hidden operand beside its two fragments; the knife is gone.
    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    for (const SceneObject& object : g_SceneObjects)
        EXPECT_NE(object.type == PRIMITIVE_KNIFE && !object.isCSGMesh, true) << "knife left behind";
    EXPECT_TRUE(g_SceneObjects[1].isCSGMesh);
    EXPECT_TRUE(g_SceneObjects[2].isCSGMesh);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_FALSE(Enabled(ID_EDIT_SLICE));
    EXPECT_FALSE(Enabled(ID_EDIT_JOIN));
}

TEST_F(CsgMenuCommands, DisjointIntersectionWarnsAndAddsNothing)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 1), MakeBox(PRIMITIVE_CUBE, L"Cube_2", 5, 0, 0, 1)};
    Select({0, 1});
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_INTERSECTION);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"No Intersection");
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible);
    EXPECT_TRUE(g_SceneObjects[1].visible);
}

TEST_F(CsgMenuCommands, CommandsKeepTheOperationSelectionOtherCommandsEmpty)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 2), MakeBox(PRIMITIVE_CUBE, L"Cube_2", 1, 0, 0, 2),
                      MakeBox(PRIMITIVE_CUBE, L"Cube_3", 9, 0, 0, 2)};
    // The Ctrl+click operands win over the plain selection.
    g_OperationSelection = {0, 1};
    Select({2});
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_XOR);
    ASSERT_EQ(g_SceneObjects.size(), 4u);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_FALSE(g_SceneObjects[1].visible);
    EXPECT_TRUE(g_SceneObjects[2].visible);
    EXPECT_TRUE(g_SceneObjects[3].isCSGMesh);
}

} // namespace
