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
#include "ui/HierarchyPanel.h"
#include "ui/HierarchyTree.h"

namespace {

class Hierarchy : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplicationStarted();
        ResetEditorState();
        g_Hooks.RefreshHierarchyTree();
        SendMessageW(g_hDebugEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    }
    void TearDown() override
    {
        SetShiftKey(false);
        ResetEditorState();
        g_Hooks.RefreshHierarchyTree();
    }
};

// Two groups and four ungrouped boxes; "Door" (3) belongs to the first group.
void BuildGroupedScene()
{
    for (const wchar_t* name : {L"Wall", L"Roof", L"Floor", L"Door", L"Post"})
        g_SceneObjects.push_back(MakeBox(name, 0, 0, 0, 1, 1, 1));
    g_SceneObjects[3].groupID = 0;
    g_Groups.push_back(MakeGroup(L"House", {3, 0, 17}));
    g_Groups.push_back(MakeGroup(L"Empty", {}));
    g_Hooks.RefreshHierarchyTree();
}

bool MenuItemEnabled(int id)
{
    return !(MenuItemState(GetMenu(g_hMainWnd), id) & MF_GRAYED);
}

std::vector<bool> g_GuardAtDeletion;
WNDPROC g_PanelProc = nullptr;

LRESULT CALLBACK RecordGuardAtDeletion(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TVN_DELETEITEMW)
        g_GuardAtDeletion.push_back(g_TreeSelectionGuard);
    return CallWindowProcW(g_PanelProc, window, message, wParam, lParam);
}

size_t CountOf(const std::wstring& text, const std::wstring& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

TEST_F(Hierarchy, PanelHoldsTheLabelAndTheTree)
{
    ASSERT_NE(g_hTreeView, nullptr);
    EXPECT_EQ(GetParent(g_hTreeView), g_hHierarchyPanel);
    EXPECT_EQ(GetDlgCtrlID(g_hTreeView), HIERARCHY_TREE_ID);
    EXPECT_TRUE(HasStyle(g_hTreeView, WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS));
    EXPECT_EQ(GetWindowLongPtrW(g_hTreeView, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(HierarchyTreeSubclassProc));
    HWND label = FindWindowExW(g_hHierarchyPanel, nullptr, L"Static", nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(WindowText(label), L"Scene Hierarchy");
    EXPECT_TRUE(HasStyle(label, SS_CENTER));
    // The tree fills the panel below the label with a 5-pixel margin.
    RECT client = {};
    GetClientRect(g_hHierarchyPanel, &client);
    const RECT tree = ChildRect(g_hTreeView);
    EXPECT_EQ(tree.left, 5);
    EXPECT_EQ(tree.top, 35);
    EXPECT_EQ(tree.right - tree.left, client.right - 10);
    EXPECT_EQ(tree.bottom - tree.top, client.bottom - 40);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(g_hTreeView, TVM_GETBKCOLOR, 0, 0)),
              ColorOf(g_ColorPrefs.UIEditBackground));
}

TEST_F(Hierarchy, GroupsComeFirstWithTheirValidMembersThenUngroupedObjects)
{
    BuildGroupedScene();
    const std::vector<TreeRow> rows = TreeRows();
    ASSERT_EQ(rows.size(), 8u);
    const wchar_t* texts[] = {L"House", L"Door", L"Wall", L"Empty", L"Wall", L"Roof", L"Floor", L"Post"};
    const int values[] = {-2, 3, 0, -3, 0, 1, 2, 4};
    const int depths[] = {0, 1, 1, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].text, texts[i]) << i;
        EXPECT_EQ(rows[i].value, values[i]) << i;
        EXPECT_EQ(rows[i].depth, depths[i]) << i;
    }
    EXPECT_TRUE(rows[0].expanded);
    // Nothing is selected after a rebuild.
    EXPECT_EQ(SelectedTreeItem(), nullptr);
}

TEST_F(Hierarchy, RebuildWhileAnItemIsSelectedChangesNoSelection)
{
    BuildGroupedScene();
    SelectTreeItemByObjectIndex(2);
    ASSERT_NE(SelectedTreeItem(), nullptr);
    g_SelectedObjects = {1, 4};
    g_SelectedObjectIndex = 1;
    g_OperationSelection = {0, 2};

    // Every deleted item is reported to the panel: the guard must be up then.
    g_GuardAtDeletion.clear();
    g_PanelProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(g_hHierarchyPanel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordGuardAtDeletion)));
    g_Hooks.RefreshHierarchyTree();
    SetWindowLongPtrW(g_hHierarchyPanel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_PanelProc));

    ASSERT_EQ(g_GuardAtDeletion.size(), 8u);
    for (bool guarded : g_GuardAtDeletion)
        EXPECT_TRUE(guarded);
    EXPECT_FALSE(g_TreeSelectionGuard);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{1, 4}));
    EXPECT_EQ(g_SelectedObjectIndex, 1);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{0, 2}));

    // A caller's guard outlives the rebuild.
    g_TreeSelectionGuard = true;
    g_Hooks.RefreshHierarchyTree();
    EXPECT_TRUE(g_TreeSelectionGuard);
    g_TreeSelectionGuard = false;
}

TEST_F(Hierarchy, SelectingAnObjectItemSelectsTheObject)
{
    BuildGroupedScene();
    g_OperationSelection = {1, 2};
    g_SelectedGroup = 0;
    g_SelectedPropInstance = 3;
    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstTreeItemWithValue(2)));

    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{2}));
    EXPECT_EQ(g_SelectedObjectIndex, 2);
    EXPECT_EQ(g_SelectedGroup, -1);
    EXPECT_EQ(g_SelectedPropInstance, -1);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_FALSE(MenuItemEnabled(ID_EDIT_JOIN));
    const std::wstring log = LogText();
    EXPECT_NE(log.find(L"TVN_SELCHANGED received in mode 0"), std::wstring::npos);
    EXPECT_NE(log.find(L"Tree item selected, itemData = 2"), std::wstring::npos);
    EXPECT_NE(log.find(L"CLEAR: Hierarchy tree selection (user clicked tree)"), std::wstring::npos);
    EXPECT_NE(log.find(L"Updated g_SelectedObjects, size = 1, index = 2"), std::wstring::npos);
}

TEST_F(Hierarchy, SelectingAGroupSelectsItsMembersAndTheMenuFollows)
{
    for (const wchar_t* name : {L"A", L"B", L"C"})
        g_SceneObjects.push_back(MakeBox(name, 0, 0, 0, 1, 1, 1));
    g_SceneObjects[1].groupID = 0;
    g_SceneObjects[2].groupID = 0;
    g_Groups.push_back(MakeGroup(L"Pair", {2, 1}));
    g_Hooks.RefreshHierarchyTree();
    ASSERT_FALSE(MenuItemEnabled(ID_EDIT_JOIN));

    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstTreeItemWithValue(-2)));

    EXPECT_EQ(g_SelectedGroup, 0);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{2, 1}));
    EXPECT_EQ(g_SelectedObjectIndex, 2);
    // The menu reflects the two members just selected.
    EXPECT_TRUE(MenuItemEnabled(ID_EDIT_JOIN));
}

TEST_F(Hierarchy, SelectingAGroupRepaintsItsMembers)
{
    BuildGroupedScene();
    ValidateRect(g_hTreeView, nullptr);
    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstTreeItemWithValue(-2)));
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(g_hTreeView, update, FALSE);
    const RECT member = TreeItemTextRect(TreeRows()[2].item);
    EXPECT_TRUE(RectInRegion(update, &member));
    DeleteObject(update);
}

TEST_F(Hierarchy, AnEmptyGroupSelectsNoObject)
{
    BuildGroupedScene();
    g_SelectedObjects = {1};
    g_SelectedObjectIndex = 1;
    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstTreeItemWithValue(-3)));
    EXPECT_EQ(g_SelectedGroup, 1);
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(g_SelectedObjectIndex, -1);
}

TEST_F(Hierarchy, ItemsNamingMissingObjectsOrGroupsChangeNoSelection)
{
    BuildGroupedScene();
    // The scene shrinks behind the tree's back.
    g_SceneObjects.resize(2);
    g_Groups.resize(1);
    g_SelectedObjects = {0};
    g_SelectedObjectIndex = 0;
    g_SelectedGroup = -1;
    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstTreeItemWithValue(4)));
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{0}));
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstTreeItemWithValue(-3)));
    EXPECT_EQ(g_SelectedGroup, -1);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{0}));
}

TEST_F(Hierarchy, GuardedSelectionOnlyMovesTheCaret)
{
    BuildGroupedScene();
    g_SelectedObjects = {4};
    g_SelectedObjectIndex = 4;
    g_TreeSelectionGuard = true;
    SelectTreeItemByObjectIndex(1);
    g_TreeSelectionGuard = false;
    EXPECT_EQ(SelectedTreeItem(), FirstTreeItemWithValue(1));
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{4}));
    EXPECT_NE(LogText().find(L"TVN_SELCHANGED received in mode 0"), std::wstring::npos);
    EXPECT_EQ(LogText().find(L"Tree item selected"), std::wstring::npos);
}

TEST_F(Hierarchy, SelectByIndexFindsTheGroupMemberFirstAndIgnoresMinusOne)
{
    BuildGroupedScene();
    SelectTreeItemByObjectIndex(0);
    const std::vector<TreeRow> rows = TreeRows();
    EXPECT_EQ(SelectedTreeItem(), rows[2].item);   // under House, not the root "Wall"
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{0}));
    SelectTreeItemByObjectIndex(-1);
    EXPECT_EQ(SelectedTreeItem(), rows[2].item);
    SelectTreeItemByObjectIndex(99);
    EXPECT_EQ(SelectedTreeItem(), rows[2].item);
}

TEST_F(Hierarchy, ClearingTheTreeSelectionChangesNoSceneSelection)
{
    BuildGroupedScene();
    SelectTreeItemByObjectIndex(1);
    g_Hooks.ClearTreeSelection();
    EXPECT_EQ(SelectedTreeItem(), nullptr);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{1}));
    EXPECT_FALSE(g_TreeSelectionGuard);
}

TEST_F(Hierarchy, ClickOnAnItemSelectsIt)
{
    BuildGroupedScene();
    ClickTreeItem(FirstTreeItemWithValue(1), false);
    EXPECT_EQ(SelectedTreeItem(), FirstTreeItemWithValue(1));
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{1}));
    EXPECT_EQ(g_SelectedObjectIndex, 1);
}

TEST_F(Hierarchy, ShiftClickTogglesTheOperationSelection)
{
    BuildGroupedScene();
    SelectTreeItemByObjectIndex(4);
    HTREEITEM caret = SelectedTreeItem();
    g_SelectedGroup = 1;

    ClickTreeItem(FirstTreeItemWithValue(1), true);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{1}));
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_EQ(g_SelectedGroup, -1);
    EXPECT_EQ(SelectedTreeItem(), caret);
    EXPECT_NE(LogText().find(L"CLEAR: Operation selection (hierarchy)"), std::wstring::npos);

    ClickTreeItem(FirstTreeItemWithValue(2), true);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{1, 2}));
    EXPECT_TRUE(MenuItemEnabled(ID_EDIT_JOIN));

    ClickTreeItem(FirstTreeItemWithValue(1), true);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{2}));
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_FALSE(MenuItemEnabled(ID_EDIT_JOIN));
}

TEST_F(Hierarchy, ShiftClickOnAHiddenObjectDoesNothing)
{
    BuildGroupedScene();
    g_SceneObjects[2].visible = false;
    SelectTreeItemByObjectIndex(4);
    ClickTreeItem(FirstTreeItemWithValue(2), true);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{4}));
    EXPECT_EQ(SelectedTreeItem(), FirstTreeItemWithValue(4));
}

TEST_F(Hierarchy, ShiftClickOnAGroupActsAsAPlainClick)
{
    BuildGroupedScene();
    ClickTreeItem(FirstTreeItemWithValue(-2), true);
    EXPECT_EQ(g_SelectedGroup, 0);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{3, 0, 17}));
    EXPECT_EQ(g_SelectedObjectIndex, 3);
    EXPECT_TRUE(g_OperationSelection.empty());
}

TEST_F(Hierarchy, SelectedItemsAreColouredBySelectionState)
{
    BuildGroupedScene();
    const COLORREF single = ColorOf(g_ColorPrefs.HierarchySelection);
    const COLORREF multi = ColorOf(g_ColorPrefs.HierarchyMultiSelection);
    const COLORREF operation = ColorOf(g_ColorPrefs.HierarchyOperation);
    const COLORREF plain = ColorOf(g_ColorPrefs.UIEditBackground);
    auto background = [](int value) -> COLORREF {
        const std::vector<TreeRow> rows = TreeRows();
        for (const TreeRow& row : rows) {
            if (row.value != value || row.depth != 0)
                continue;
            const RECT rect = TreeItemTextRect(row.item);
            return PrintedPixel(g_hTreeView, rect.left + 1, rect.top + 1);
        }
        return CLR_INVALID;
    };

    g_SelectedObjects = {1};
    EXPECT_EQ(background(1), single);
    EXPECT_EQ(background(2), plain);

    g_SelectedObjects = {1, 2};
    EXPECT_EQ(background(1), multi);
    EXPECT_EQ(background(2), multi);

    g_OperationSelection = {2};
    EXPECT_EQ(background(2), operation);
    EXPECT_EQ(background(1), multi);
    // Group items keep the tree's own look.
    g_SelectedObjects = {3, 0};
    EXPECT_EQ(background(-2), plain);
}

// The user picks two solids and a hole as operands in the tree and joins them
// through the Edit menu; the tree then shows the result selected.
TEST_F(Hierarchy, ShiftClickedOperandsJoinThroughTheEditMenu)
{
    g_SceneObjects.push_back(MakeBox(L"Floor", 0, 0, 0, 4, 1, 4));
    g_SceneObjects.push_back(MakeBox(L"Pillar", 1, 1, 1, 2, 3, 2));
    g_SceneObjects.push_back(MakeBox(L"Doorway", 1.5f, -1, -1, 2.5f, 0.5f, 5));
    g_SceneObjects[1].r = 10;
    g_SceneObjects[2].objectType = OBJECT_HOLE;
    g_Hooks.RefreshHierarchyTree();
    for (int index : {0, 1, 2})
        ClickTreeItem(FirstTreeItemWithValue(index), true);
    SetShiftKey(false);
    ASSERT_EQ(g_OperationSelection, (std::vector<int>{0, 1, 2}));
    ASSERT_TRUE(MenuItemEnabled(ID_EDIT_JOIN));

    BeginScriptedModals();
    QueueModalAnswer(IDOK);
    SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(ID_EDIT_JOIN, 0), 0);
    EndScriptedModals();

    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"Join Objects");
    EXPECT_EQ(g_ModalCalls[0].text.rfind(L"CSG Subtract (cut holes from solids) completed!\n\nCreated: Subtraction_4\n", 0),
              0u);
    ASSERT_EQ(g_SceneObjects.size(), 4u);
    const SceneObject& result = g_SceneObjects[3];
    EXPECT_EQ(result.name, L"Subtraction_4");
    // Faces born of the pillar keep its colour through the birth faces.
    ASSERT_EQ(result.faceColors.size(), static_cast<size_t>(result.F.rows()));
    bool pillarFace = false;
    for (const FaceColor& color : result.faceColors)
        pillarFace = pillarFace || color.r == 10;
    EXPECT_TRUE(pillarFace);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_EQ(SelectedTreeItem(), FirstTreeItemWithValue(3));
    EXPECT_EQ(ModellerUndoDepth(), 1);
}

TEST_F(Hierarchy, VertexEditorConvertsSelectedPrimitivesOnYes)
{
    for (const wchar_t* name : {L"Box", L"Ball", L"Mesh"})
        g_SceneObjects.push_back(MakeBox(name, 0, 0, 0, 2, 2, 2));
    g_SceneObjects[1].type = PRIMITIVE_SPHERE;
    g_SceneObjects[0].rotation = Vec3f(0, 90, 0);
    g_SceneObjects[2].isCSGMesh = true;
    for (int i = 0; i < 3; ++i)
        g_SceneObjects[i].groupID = 0;
    g_Groups.push_back(MakeGroup(L"Set", {0, 1, 2}));
    g_CurrentMode = MODE_VERTEX_EDITOR;
    g_Hooks.RefreshHierarchyTree();

    BeginScriptedModals();
    QueueModalAnswer(IDYES);
    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstTreeItemWithValue(-2)));
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EndScriptedModals();

    EXPECT_EQ(g_ModalCalls[0].caption, L"Convert to Mesh");
    EXPECT_EQ(g_ModalCalls[0].owner, g_hMainWnd);
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(g_ModalCalls[0].text.rfind(L"2 selected objects are primitives.\n\nTo edit vertices", 0), 0u);
    EXPECT_EQ(g_SceneObjects[0].name, L"[Mesh] Box");
    EXPECT_EQ(g_SceneObjects[1].name, L"[Mesh] Ball");
    EXPECT_EQ(g_SceneObjects[2].name, L"Mesh");
    EXPECT_TRUE(g_SceneObjects[0].isCSGMesh);
    EXPECT_EQ(g_SceneObjects[0].rotation.y, 0.0f);
    EXPECT_GT(g_SceneObjects[1].V.rows(), 0);
    EXPECT_EQ(g_VertexUndoStack.size(), 1u);
    // Only the primary object stays selected, its item the caret.
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{0}));
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    EXPECT_EQ(SelectedTreeItem(), FirstTreeItemWithValue(0));
    EXPECT_EQ(TreeRows()[1].text, L"[Mesh] Box");
    const std::wstring log = LogText();
    EXPECT_NE(log.find(L"VERTEX MODE: Checking selected objects for primitives, count=3"), std::wstring::npos);
    EXPECT_NE(log.find(L"  Object 2 (Mesh) isCSGMesh=true"), std::wstring::npos);
    EXPECT_NE(log.find(L"VERTEX MODE: Found 2 primitives to convert"), std::wstring::npos);
    EXPECT_NE(log.find(L"Converted [Mesh] Ball to mesh for vertex editing"), std::wstring::npos);
    EXPECT_EQ(CountOf(log, L"VERTEX MODE: Found 0 primitives to convert"), 1u);
}

TEST_F(Hierarchy, VertexEditorRefusalClearsTheSelection)
{
    g_SceneObjects.push_back(MakeBox(L"Box", 0, 0, 0, 1, 1, 1));
    g_SceneObjects.push_back(MakeBox(L"Other", 0, 0, 0, 1, 1, 1));
    g_CurrentMode = MODE_VERTEX_EDITOR;
    g_Hooks.RefreshHierarchyTree();

    BeginScriptedModals();
    QueueModalAnswer(IDNO);
    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstTreeItemWithValue(0)));
    EndScriptedModals();

    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].text.rfind(L"Object \"Box\" is a primitive.\n\n", 0), 0u);
    EXPECT_FALSE(g_SceneObjects[0].isCSGMesh);
    EXPECT_EQ(g_SceneObjects[0].name, L"Box");
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_EQ(SelectedTreeItem(), nullptr);
    EXPECT_NE(LogText().find(L"User cancelled conversion - cleared selection"), std::wstring::npos);
}
