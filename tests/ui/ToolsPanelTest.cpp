#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/Modal.h"
#include "app/Preferences.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/HierarchyTree.h"
#include "ui/ToolsPanel.h"

namespace {

const COLORREF LIGHT_ACCENT = RGB(0, 120, 215);
const COLORREF DARK_ACCENT = RGB(100, 160, 220);

class Tools : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplicationStarted();
        ResetEditorState();
        g_Hooks.RefreshHierarchyTree();
        SetCreationToolsEnabledForTest(true);
        SendMessageW(g_hDebugEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    }
    void TearDown() override
    {
        ResetEditorState();
        g_Hooks.RefreshHierarchyTree();
        SetCreationToolsEnabledForTest(true);
        g_ColorPrefs = ColorPreferences();
    }
    static void SetCreationToolsEnabledForTest(bool enable) { g_Hooks.SetCreationToolsEnabled(enable); }
};

HWND Button(int id)
{
    return GetDlgItem(g_hToolsPanel, id);
}

void Click(int id)
{
    SendMessageW(Button(id), BM_CLICK, 0, 0);
}

// The frame pixel one in from the corner: the thick frame's middle line.
COLORREF FramePixel(int id)
{
    return PrintedPixel(Button(id), 1, 1);
}

void AddWall()
{
    g_SceneObjects.push_back(MakeBox(L"Wall", 0, 0, 0, 2, 1, 2));
}

} // namespace

TEST_F(Tools, ControlsInTheirPlaces)
{
    struct Expected {
        int id;
        const wchar_t* text;
        int y;
    };
    const Expected buttons[] = {{2200, L"Select", 35},  {2201, L"Move", 58},       {2202, L"Rotate", 81},
                                {2203, L"Scale", 104},  {2204, L"Duplicate", 127}, {2205, L"Remove", 150},
                                {32779, L"Cube", 208},  {32780, L"Sphere", 231},   {32781, L"Cylinder", 254},
                                {32782, L"Cone", 277},  {32799, L"Ramp", 300},     {32800, L"Wedge", 323},
                                {32803, L"Knife", 346}};
    const int width = 230 - GetSystemMetrics(SM_CXVSCROLL);
    for (const Expected& expected : buttons) {
        HWND button = Button(expected.id);
        ASSERT_NE(button, nullptr) << expected.id;
        EXPECT_EQ(WindowText(button), expected.text);
        EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        const RECT rect = ChildRect(button);
        EXPECT_EQ(rect.left, 10);
        EXPECT_EQ(rect.top, expected.y);
        EXPECT_EQ(rect.right - rect.left, width);
        EXPECT_EQ(rect.bottom - rect.top, 20);
    }
    HWND actions = FindWindowExW(g_hToolsPanel, nullptr, L"Static", L"Actions...");
    HWND create = FindWindowExW(g_hToolsPanel, nullptr, L"Static", L"Create...");
    ASSERT_NE(actions, nullptr);
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(ChildRect(actions).top, 10);
    EXPECT_EQ(ChildRect(create).top, 183);
}

TEST_F(Tools, ToolButtonsChooseTheTool)
{
    Click(2202);
    EXPECT_EQ(g_CurrentTool, TOOL_ROTATE);
    Click(2203);
    EXPECT_EQ(g_CurrentTool, TOOL_SCALE);
    Click(2201);
    EXPECT_EQ(g_CurrentTool, TOOL_MOVE);
    EXPECT_EQ(FramePixel(2201), LIGHT_ACCENT);
    EXPECT_EQ(FramePixel(2200), ColorOf(g_ColorPrefs.UIEditBackground));
    Click(2200);
    EXPECT_EQ(g_CurrentTool, TOOL_SELECT);
}

TEST_F(Tools, CreateButtonArmsTheTypeAndDisablesTheTools)
{
    g_SceneObjects.push_back(MakeBox(L"Box", 0, 0, 0, 1, 1, 1));
    g_Hooks.RefreshHierarchyTree();
    SelectTreeItemByObjectIndex(0);
    ASSERT_NE(SelectedTreeItem(), nullptr);
    Click(ID_CREATE_SPHERE);
    EXPECT_TRUE(g_IsInCreateMode);
    EXPECT_EQ(g_CreatePrimitiveType, PRIMITIVE_SPHERE);
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{0}));
    EXPECT_EQ(SelectedTreeItem(), nullptr);
    for (int id : {2200, 2201, 2202, 2203, 2204, 2205, 32779, 32780, 32781, 32782, 32799, 32800})
        EXPECT_FALSE(IsWindowEnabled(Button(id))) << id;
    EXPECT_TRUE(IsWindowEnabled(Button(ID_CREATE_KNIFE)));

    // Only the armed type is framed thickly, whatever the tool.
    g_CurrentTool = TOOL_MOVE;
    EXPECT_EQ(FramePixel(ID_CREATE_SPHERE), LIGHT_ACCENT);
    EXPECT_NE(FramePixel(ID_CREATE_CUBE), LIGHT_ACCENT);
    EXPECT_NE(FramePixel(2201), LIGHT_ACCENT);
}

TEST_F(Tools, InvalidatingThePanelRepaintsItsButtons)
{
    RedrawWindow(g_hToolsPanel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT update = {};
    ASSERT_FALSE(GetUpdateRect(Button(ID_CREATE_KNIFE), &update, FALSE));
    g_Hooks.InvalidateToolsPanel();
    EXPECT_TRUE(GetUpdateRect(Button(ID_CREATE_KNIFE), &update, FALSE));
    EXPECT_TRUE(GetUpdateRect(Button(2200), &update, FALSE));
}

TEST_F(Tools, ChoosingAToolEndsCreation)
{
    Click(ID_CREATE_CUBE);
    ASSERT_TRUE(g_IsInCreateMode);
    g_CreateStage = STAGE_HEIGHT;
    SendMessageW(g_hToolsPanel, WM_COMMAND, MAKEWPARAM(2202, BN_CLICKED), reinterpret_cast<LPARAM>(Button(2202)));
    EXPECT_FALSE(g_IsInCreateMode);
    EXPECT_EQ(g_CreateStage, STAGE_NONE);
    EXPECT_EQ(g_CurrentTool, TOOL_ROTATE);
    EXPECT_TRUE(IsWindowEnabled(Button(2202)));
    EXPECT_TRUE(IsWindowEnabled(Button(ID_CREATE_CUBE)));
    EXPECT_EQ(FramePixel(2202), LIGHT_ACCENT);
    EXPECT_NE(FramePixel(ID_CREATE_CUBE), LIGHT_ACCENT);
}

TEST_F(Tools, ButtonFaceFollowsTheTheme)
{
    g_CurrentTool = TOOL_SCALE;
    EXPECT_EQ(PrintedPixel(Button(2203), 0, 0), ColorOf(g_ColorPrefs.UIEditBackground));
    EXPECT_EQ(FramePixel(2203), LIGHT_ACCENT);
    // A plain button: a 1-pixel frame in the text colour, the face inside.
    EXPECT_EQ(PrintedPixel(Button(2204), 0, 0), ColorOf(g_ColorPrefs.UIText));
    EXPECT_EQ(PrintedPixel(Button(2204), 1, 1), ColorOf(g_ColorPrefs.UIEditBackground));
    g_ColorPrefs.Theme = THEME_DARK;
    g_ColorPrefs.UIEditBackground = {30, 30, 30};
    EXPECT_EQ(FramePixel(2203), DARK_ACCENT);
    EXPECT_EQ(PrintedPixel(Button(2204), 1, 1), RGB(30, 30, 30));
}

TEST_F(Tools, CreateButtonsDoNothingOutsideTheModeller)
{
    g_CurrentMode = MODE_PAINTER;
    Click(ID_CREATE_CONE);
    EXPECT_FALSE(g_IsInCreateMode);
}

TEST_F(Tools, DuplicateCopiesTheObjectBesideItAndSelectsTheCopy)
{
    AddWall();
    g_SceneObjects.push_back(MakeBox(L"Roof", 0, 0, 0, 1, 1, 1));
    g_SelectedObjects = {0, 1};
    g_SelectedObjectIndex = 0;
    g_OperationSelection = {1};
    g_Hooks.RefreshHierarchyTree();

    Click(TOOL_BUTTON_DUPLICATE);

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    const SceneObject& copy = g_SceneObjects[2];
    EXPECT_EQ(copy.name, L"Wall Copy");
    EXPECT_EQ(copy.minX, 1.0f);
    EXPECT_EQ(copy.minY, 0.0f);
    EXPECT_EQ(copy.minZ, 1.0f);
    EXPECT_EQ(copy.maxX, 3.0f);
    EXPECT_EQ(copy.maxY, 1.0f);
    EXPECT_EQ(copy.maxZ, 3.0f);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{2}));
    EXPECT_EQ(g_SelectedObjectIndex, 2);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_EQ(SelectedTreeItem(), FirstTreeItemWithValue(2));
    EXPECT_EQ(TreeRows().back().text, L"Wall Copy");
    EXPECT_EQ(ModellerUndoDepth(), 1);

    SendMessageW(g_hMainWnd, WM_COMMAND, ID_EDIT_UNDO, 0);
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(TreeRows().size(), 2u);
}

TEST_F(Tools, DuplicatedGroupMemberIsUngroupedAndListed)
{
    AddWall();
    g_SceneObjects[0].groupID = 0;
    g_Groups.push_back(MakeGroup(L"House", {0}));
    g_SelectedObjects = {0};
    g_SelectedObjectIndex = 0;
    g_Hooks.RefreshHierarchyTree();

    Click(TOOL_BUTTON_DUPLICATE);

    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(g_SceneObjects[1].groupID, -1);
    EXPECT_EQ(g_Groups[0].members, (std::vector<int>{0}));
    const std::vector<TreeRow> rows = TreeRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].value, 1);
    EXPECT_EQ(rows[2].depth, 0);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{1}));
    EXPECT_EQ(SelectedTreeItem(), rows[2].item);
}

TEST_F(Tools, DuplicatedMeshMovesItsVerticesWithItsBounds)
{
    AddWall();
    g_SceneObjects[0].isCSGMesh = true;
    g_SceneObjects[0].V.resize(2, 3);
    g_SceneObjects[0].V << 0, 0, 0, 2, 1, 2;
    g_SceneObjects[0].F.resize(0, 3);
    g_SelectedObjectIndex = 0;

    Click(TOOL_BUTTON_DUPLICATE);

    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(g_SceneObjects[1].V(0, 0), 1.0);
    EXPECT_EQ(g_SceneObjects[1].V(0, 1), 0.0);
    EXPECT_EQ(g_SceneObjects[1].V(1, 2), 3.0);
    EXPECT_EQ(g_SceneObjects[0].V(1, 0), 2.0);
}

TEST_F(Tools, DuplicateAndRemoveNeedAPrimarySelection)
{
    AddWall();
    g_SelectedObjects = {0};
    g_SelectedObjectIndex = -1;
    BeginScriptedModals();
    Click(TOOL_BUTTON_DUPLICATE);
    Click(TOOL_BUTTON_REMOVE);
    g_SelectedObjectIndex = 5;
    Click(TOOL_BUTTON_DUPLICATE);
    Click(TOOL_BUTTON_REMOVE);
    EndScriptedModals();
    EXPECT_TRUE(g_ModalCalls.empty());
    EXPECT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(ModellerUndoDepth(), 0);
}

TEST_F(Tools, RemoveAnsweredNoChangesNothing)
{
    AddWall();
    g_SelectedObjectIndex = 0;
    BeginScriptedModals();
    QueueModalAnswer(IDNO);
    Click(TOOL_BUTTON_REMOVE);
    EndScriptedModals();
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"Confirm Removal");
    EXPECT_EQ(g_ModalCalls[0].text, L"Are you sure you want to remove \"Wall\"?");
    EXPECT_EQ(g_ModalCalls[0].owner, g_hToolsPanel);
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    EXPECT_EQ(ModellerUndoDepth(), 0);
}

TEST_F(Tools, RemoveRenumbersEveryReferenceToLaterObjects)
{
    for (const wchar_t* name : {L"A", L"B", L"C", L"D"})
        g_SceneObjects.push_back(MakeBox(name, 0, 0, 0, 1, 1, 1));
    g_SceneObjects[1].groupID = 0;
    g_SceneObjects[3].groupID = 0;
    g_Groups.push_back(MakeGroup(L"G", {3, 1}));
    g_SelectedObjects = {1, 3};
    g_SelectedObjectIndex = 1;
    g_OperationSelection = {2, 1, 0};
    g_Hooks.RefreshHierarchyTree();

    BeginScriptedModals();
    QueueModalAnswer(IDYES);
    Click(TOOL_BUTTON_REMOVE);
    EndScriptedModals();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_EQ(g_SceneObjects[1].name, L"C");
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{2}));
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{1, 0}));
    EXPECT_EQ(g_Groups[0].members, (std::vector<int>{2}));
    EXPECT_EQ(ModellerUndoDepth(), 1);
    const std::vector<TreeRow> rows = TreeRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].text, L"D");
    EXPECT_EQ(rows[1].value, 2);
    EXPECT_EQ(rows[2].text, L"A");
    EXPECT_EQ(rows[3].text, L"C");
    EXPECT_EQ(rows[3].value, 1);

    SendMessageW(g_hMainWnd, WM_COMMAND, ID_EDIT_UNDO, 0);
    EXPECT_EQ(g_SceneObjects.size(), 4u);
    EXPECT_EQ(g_SceneObjects[1].name, L"B");
    // The restored selection is mirrored in the tree, not replaced by it.
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{1, 3}));
    EXPECT_EQ(g_SelectedObjectIndex, 1);
    EXPECT_EQ(SelectedTreeItem(), FirstTreeItemWithValue(1));
}

TEST_F(Tools, ScrollsBetweenZeroAndTheRangeBeyondThePage)
{
    RECT client = {};
    GetClientRect(g_hToolsPanel, &client);
    ASSERT_EQ(client.bottom, 376);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(g_hToolsPanel, SB_VERT, &info);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 395);
    EXPECT_EQ(info.nPage, 376u);

    const int top = ChildRect(Button(2200)).top;
    SendMessageW(g_hToolsPanel, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(g_ToolsScrollPos, 19);
    EXPECT_EQ(GetScrollPos(g_hToolsPanel, SB_VERT), 19);
    EXPECT_EQ(ChildRect(Button(2200)).top, top - 19);
    SendMessageW(g_hToolsPanel, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
    EXPECT_EQ(g_ToolsScrollPos, 19);
    SendMessageW(g_hToolsPanel, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7), 0);
    EXPECT_EQ(g_ToolsScrollPos, 7);
    EXPECT_EQ(ChildRect(Button(2200)).top, top - 7);
    SendMessageW(g_hToolsPanel, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(g_ToolsScrollPos, 0);
    EXPECT_EQ(ChildRect(Button(2200)).top, top);
}
