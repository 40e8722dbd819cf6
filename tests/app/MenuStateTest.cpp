#include <gtest/gtest.h>

#include "app/MenuState.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "tests/app/AppHarness.h"

namespace {

class MenuState : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplicationStarted();
        ResetEditorState();
        g_SceneObjects.resize(4);
        g_SceneObjects[1].objectType = OBJECT_HOLE;
        g_SceneObjects[3].type = PRIMITIVE_KNIFE;
    }
    void TearDown() override { ResetEditorState(); }

    bool Enabled(UINT id) { return !(MenuItemState(GetMenu(g_hMainWnd), id) & MF_GRAYED); }
    bool Combine() { return Enabled(ID_EDIT_JOIN); }
    bool Slice() { return Enabled(ID_EDIT_SLICE); }
    void ExpectCombineItems(bool enabled)
    {
        EXPECT_EQ(Enabled(ID_EDIT_JOIN), enabled);
        EXPECT_EQ(Enabled(ID_EDIT_INTERSECTION), enabled);
        EXPECT_EQ(Enabled(ID_EDIT_XOR), enabled);
    }
};

} // namespace

TEST_F(MenuState, EmptySelectionGreysAllFour)
{
    UpdateCSGMenuState();
    ExpectCombineItems(false);
    EXPECT_FALSE(Slice());
}

TEST_F(MenuState, TwoObjectsEnableCombiningButNotSlice)
{
    g_SelectedObjects = {0, 1};   // a solid and a hole
    UpdateCSGMenuState();
    ExpectCombineItems(true);
    EXPECT_FALSE(Slice());
}

TEST_F(MenuState, OneObjectEnablesNothing)
{
    g_SelectedObjects = {2};
    UpdateCSGMenuState();
    ExpectCombineItems(false);
    EXPECT_FALSE(Slice());
}

TEST_F(MenuState, KnifeAndOneObjectEnableOnlySlice)
{
    g_SelectedObjects = {3, 0};
    UpdateCSGMenuState();
    ExpectCombineItems(false);
    EXPECT_TRUE(Slice());
    g_SelectedObjects = {3, 0, 2};
    UpdateCSGMenuState();
    ExpectCombineItems(false);
    EXPECT_TRUE(Slice());
}

TEST_F(MenuState, KnifeAloneEnablesNothing)
{
    g_SelectedObjects = {3, 3};
    UpdateCSGMenuState();
    ExpectCombineItems(false);
    EXPECT_FALSE(Slice());
}

TEST_F(MenuState, RepeatedIndexCountsTwice)
{
    g_OperationSelection = {2, 2};
    UpdateCSGMenuState();
    ExpectCombineItems(true);
}

TEST_F(MenuState, OperationSelectionDecidesAlone)
{
    g_SelectedObjects = {0, 1, 2};
    g_OperationSelection = {2};
    UpdateCSGMenuState();
    ExpectCombineItems(false);
    g_OperationSelection = {3, 1};
    UpdateCSGMenuState();
    EXPECT_TRUE(Slice());
    ExpectCombineItems(false);
}

TEST_F(MenuState, IndicesBeyondTheListAreIgnored)
{
    g_SelectedObjects = {0, 4, -1, 99};
    UpdateCSGMenuState();
    ExpectCombineItems(false);
    g_SelectedObjects = {3, 7};
    UpdateCSGMenuState();
    EXPECT_FALSE(Slice());
}

TEST_F(MenuState, NothingHappensWithoutTheViewport)
{
    g_SelectedObjects = {0, 1};
    HWND viewport = g_hViewport;
    g_hViewport = nullptr;
    UpdateCSGMenuState();
    g_hViewport = viewport;
    ExpectCombineItems(false);
}

TEST_F(MenuState, CreationDisablesEveryToolButtonButTheKnife)
{
    const int ids[] = {2200, 2201, 2202, 2203, 2204, 2205, ID_CREATE_CUBE, ID_CREATE_SPHERE, ID_CREATE_CYLINDER,
                       ID_CREATE_CONE, ID_CREATE_RAMP, ID_CREATE_WEDGE, ID_CREATE_KNIFE};
    // The tools panel's own buttons.
    HWND buttons[13] = {};
    for (int i = 0; i < 13; ++i) {
        buttons[i] = GetDlgItem(g_hToolsPanel, ids[i]);
        ASSERT_NE(buttons[i], nullptr);
    }
    SetCreationToolsEnabled(false);
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(IsWindowEnabled(buttons[i])) << ids[i];
    EXPECT_TRUE(IsWindowEnabled(buttons[12]));
    SetCreationToolsEnabled(true);
    for (int i = 0; i < 13; ++i)
        EXPECT_TRUE(IsWindowEnabled(buttons[i])) << ids[i];

    // Arming a primitive goes through the same routine.
    SendMessageW(g_hMainWnd, WM_COMMAND, ID_CREATE_CONE, 0);
    EXPECT_FALSE(IsWindowEnabled(buttons[0]));
    EXPECT_TRUE(IsWindowEnabled(buttons[12]));
    SendMessageW(g_hMainWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(IsWindowEnabled(buttons[0]));
}
