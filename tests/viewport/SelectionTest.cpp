#include "app/Modal.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/InputSupport.h"

namespace {

class ObjectSelection : public ViewportInputTest {
protected:
    void SetUp() override
    {
        ViewportInputTest::SetUp();
        g_SceneObjects.push_back(MakeCube(-3, 0, -1, -1, 2, 1, 200, 0, 0));
        g_SceneObjects.push_back(MakeCube(1, 0, -1, 3, 2, 1, 0, 200, 0));
        RenderFrame();
        first = Aim(-2.0f, 2.0f, 0.0f);
        second = Aim(2.0f, 2.0f, 0.0f);
        empty = Aim(0.0f, 0.0f, -6.0f);
    }

    ClientPoint first{}, second{}, empty{};
};

bool AllTreeSelectionsGuarded()
{
    for (bool guarded : g_HookRecord.guardWhileSelecting)
        if (!guarded)
            return false;
    return true;
}

} // namespace

TEST_F(ObjectSelection, ClickReplacesTheSelectionAndMirrorsItUnderTheGuard)
{
    Click(viewport, first);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{0});
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    Click(viewport, second);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{1});
    EXPECT_EQ(g_SelectedObjectIndex, 1);
    EXPECT_EQ(g_HookRecord.selectedTreeItems, (std::vector<int>{0, 1}));
    EXPECT_TRUE(AllTreeSelectionsGuarded());
    EXPECT_FALSE(g_TreeSelectionGuard);
    EXPECT_EQ(CountLogLines(L"Regular Click: Replacing selection with object 1"), 1);
    EXPECT_EQ(CountLogLines(L"WM_LBUTTONDOWN: Mode=0 Tool=0 SelectedProp=-1"), 2);
    EXPECT_TRUE(g_ModellerUndoStack.empty());
}

TEST_F(ObjectSelection, ShiftClickAddsAndRemoves)
{
    Click(viewport, first);
    SetKeyDown(VK_SHIFT, true);
    Click(viewport, second, MK_SHIFT);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{0, 1}));
    EXPECT_EQ(g_SelectedObjectIndex, 1);
    Click(viewport, second, MK_SHIFT);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{0});
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    EXPECT_EQ(CountLogLines(L"  Deselecting object 1"), 1);
    EXPECT_EQ(CountLogLines(L"SHIFT+Click: After - g_SelectedObjects.size()=2"), 1);
    EXPECT_TRUE(AllTreeSelectionsGuarded());
}

TEST_F(ObjectSelection, ControlClickTogglesOperandsAndAPlainPressEmptiesThem)
{
    Click(viewport, first);
    SetKeyDown(VK_CONTROL, true);
    Click(viewport, first, MK_CONTROL);
    EXPECT_EQ(g_OperationSelection, std::vector<int>{0});
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    Click(viewport, second, MK_CONTROL);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{0, 1}));
    Click(viewport, first, MK_CONTROL);
    EXPECT_EQ(g_OperationSelection, std::vector<int>{1});
    EXPECT_EQ(CountLogLines(L"  Removed object 0 from operation selection"), 1);
    EXPECT_EQ(CountLogLines(L"  Added object 1 to operation selection"), 1);

    SetKeyDown(VK_CONTROL, false);
    const size_t before = g_HookRecord.calls.size();
    Click(viewport, second);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_GE(FindCall("UpdateCSGMenuState", before), 0);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{1});
}

TEST_F(ObjectSelection, ClickOnEmptySpaceClearsAndUpdatesTheMenusAfterwards)
{
    Click(viewport, first);
    g_SelectedGroup = 0;
    const size_t before = g_HookRecord.calls.size();
    Click(viewport, empty);
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_EQ(g_SelectedGroup, -1);
    EXPECT_EQ(CountLogLines(L"CLEAR: Clicked empty space (LBUTTONDOWN)"), 1);
    EXPECT_EQ(CountLogLines(L"CLEAR: Regular click in LBUTTONUP (TOOL_SELECT)"), 1);
    EXPECT_EQ(CountLogLines(L"  No object found"), 2);
    const int clear = FindCall("ClearTreeSelection", before);
    ASSERT_GE(clear, 0);
    EXPECT_GT(FindCall("UpdateCSGMenuState", static_cast<size_t>(clear)), clear);
}

TEST_F(ObjectSelection, ShiftOrControlClickOnEmptySpaceClears)
{
    Click(viewport, first);
    SetKeyDown(VK_SHIFT, true);
    Click(viewport, empty, MK_SHIFT);
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(CountLogLines(L"CLEAR: Clicked empty space"), 0);
    EXPECT_EQ(CountLogLines(L"CLEAR: Regular click in LBUTTONUP (TOOL_SELECT)"), 1);
}

TEST_F(ObjectSelection, HiddenAndUnselectableObjectsAreClickedThrough)
{
    g_SceneObjects[0].visible = false;
    g_SceneObjects[1].selectable = false;
    Click(viewport, first);
    Click(viewport, second);
    EXPECT_TRUE(g_SelectedObjects.empty());
}

TEST_F(ObjectSelection, MoveToolClickOnTheSelectedBodyKeepsItSelected)
{
    Click(viewport, second);
    g_CurrentTool = TOOL_MOVE;
    RenderFrame();
    // A point of the +x face away from every handle.
    Click(viewport, Aim(3.0f, 0.2f, 0.6f));
    EXPECT_FALSE(g_IsDraggingGizmo);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{1});
    EXPECT_EQ(g_SelectedObjectIndex, 1);
    EXPECT_EQ(CountLogLines(L"CLEAR: Picked different object during tool mode (LBUTTONDOWN)"), 1);
    EXPECT_TRUE(AllTreeSelectionsGuarded());

    Click(viewport, first);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{0});
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    // Empty space keeps the selection with a transform tool.
    Click(viewport, empty);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{0});
    EXPECT_TRUE(g_ModellerUndoStack.empty());
}

TEST_F(ObjectSelection, TransformToolWithoutAUsablePrimaryChangesNothing)
{
    g_CurrentTool = TOOL_ROTATE;
    g_SelectedObjectIndex = 7;   // past the end
    g_SelectedObjects = {7};
    Click(viewport, first);
    EXPECT_EQ(g_SelectedObjectIndex, 7);
    EXPECT_FALSE(g_IsDraggingGizmo);
    g_SelectedObjectIndex = 0;
    g_SceneObjects[0].visible = false;
    Click(viewport, second);
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    EXPECT_FALSE(g_IsDraggingGizmo);
    EXPECT_EQ(CountLogLines(L"PickObject called"), 0);
    // A drag with an index past the end moves nothing and does not crash.
    g_IsDraggingGizmo = true;
    g_SelectedObjectIndex = 9;
    Move(viewport, Offset(first, 30, 0), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[1].minX, 1.0f);
}

TEST_F(ObjectSelection, PlainPressInAnotherModeEmptiesTheOperandsFirst)
{
    g_OperationSelection = {0, 1};
    g_CurrentMode = MODE_PAINTER;
    // Each click on the primitive offers its conversion; both are declined.
    g_ModalScripted = true;
    g_ModalAnswers = {{IDNO, L"", 0}, {IDNO, L"", 0}};
    SetKeyDown(VK_CONTROL, true);
    Click(viewport, first, MK_CONTROL);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{0, 1}));
    SetKeyDown(VK_CONTROL, false);
    Click(viewport, first);
    g_ModalScripted = false;
    EXPECT_TRUE(g_ModalAnswers.empty());
    EXPECT_EQ(g_ModalUnexpectedCalls, 0);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_EQ(CountCalls("UpdateCSGMenuState"), 1);
    EXPECT_EQ(CountLogLines(L"WM_LBUTTONDOWN: Mode=1 Tool=0 SelectedProp=-1"), 2);
}
