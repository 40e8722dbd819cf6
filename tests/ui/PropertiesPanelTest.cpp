#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/PanelEdits.h"
#include "ui/PropertiesPanel.h"

namespace {

class Properties : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        g_Hooks.RefreshHierarchyTree();
        UpdatePropertiesPanelForMode();
        g_Hooks.UpdatePropertiesPanel();
        SetFocus(g_hViewport);
        SendMessageW(g_hDebugEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    }
    void TearDown() override
    {
        SetFocus(g_hViewport);
        SendMessageW(g_hPropertiesPanel, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
        AppTest::TearDown();
        g_Hooks.RefreshHierarchyTree();
        UpdatePropertiesPanelForMode();
        g_Hooks.UpdatePropertiesPanel();
    }
};

HWND Item(int id) { return GetDlgItem(g_hPropertiesPanel, id); }
std::wstring Text(int id) { return WindowText(Item(id)); }
bool Enabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }
bool Checked(int id) { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
void PressEnter(int id) { SendMessageW(Item(id), WM_KEYDOWN, VK_RETURN, 1); }
void Leave() { SetFocus(g_hViewport); }

// Replaces the whole text as a user selecting it all and typing would.
void Retype(int id, const std::wstring& text)
{
    SetFocus(Item(id));
    SendMessageW(Item(id), EM_SETSEL, 0, -1);
    for (wchar_t c : text)
        SendMessageW(Item(id), WM_CHAR, c, 1);
}

void Pick(int item)
{
    SendMessageW(Item(PROP_TEXTURE_COMBO), CB_SETCURSEL, item, 0);
    SendMessageW(g_hPropertiesPanel, WM_COMMAND, MAKEWPARAM(PROP_TEXTURE_COMBO, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(PROP_TEXTURE_COMBO)));
}

int AddObject(const SceneObject& object)
{
    g_SceneObjects.push_back(object);
    return static_cast<int>(g_SceneObjects.size()) - 1;
}

void Select(int index)
{
    g_SelectedObjectIndex = index;
    g_SelectedObjects = {index};
    g_Hooks.UpdatePropertiesPanel();
}

Texture NamedTexture(const std::wstring& name)
{
    Texture texture;
    texture.name = name;
    return texture;
}

bool TreeShows(const std::wstring& text)
{
    for (const TreeRow& row : TreeRows())
        if (row.text == text)
            return true;
    return false;
}

std::vector<std::wstring> ComboItems()
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(Item(PROP_TEXTURE_COMBO), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(Item(PROP_TEXTURE_COMBO), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// An explicit unit-cube mesh from (0,0,0) to (1,1,1) with per-face arrays.
SceneObject MeshCube(const std::wstring& name)
{
    SceneObject object = MakeBox(name, 0, 0, 0, 1, 1, 1);
    object.isCSGMesh = true;
    object.V.resize(8, 3);
    for (int i = 0; i < 8; ++i) {
        object.V(i, 0) = i & 1;
        object.V(i, 1) = (i >> 1) & 1;
        object.V(i, 2) = (i >> 2) & 1;
    }
    object.F.resize(2, 3);
    object.F << 0, 1, 2, 1, 3, 2;
    object.faceTextureIDs = {4, 5};
    object.faceTextureScales = {2.0f, 3.0f};
    object.faceColors = {FaceColor(1, 2, 3), FaceColor(4, 5, 6)};
    return object;
}

// Objects 0 (primary, centre (0,0,0), size 2) and 1 (centre (3,0,0)), as a
// selected group.
void SelectPairAsGroup(const SceneObject& member, int pivotMode, bool locked)
{
    AddObject(MakeBox(L"Sun", -1, -1, -1, 1, 1, 1));
    AddObject(member);
    Group group = MakeGroup(L"System", {0, 1});
    group.pivotMode = pivotMode;
    group.tidallyLocked = locked;
    g_Groups = {group};
    g_SceneObjects[0].groupID = g_SceneObjects[1].groupID = 0;
    g_SelectedGroup = 0;
    g_SelectedObjectIndex = 0;
    g_SelectedObjects = {0, 1};
    g_Hooks.RefreshHierarchyTree();
    g_Hooks.UpdatePropertiesPanel();
}

void ExpectCentre(const SceneObject& o, float x, float y, float z)
{
    EXPECT_NEAR((o.minX + o.maxX) / 2, x, 1e-4) << "x";
    EXPECT_NEAR((o.minY + o.maxY) / 2, y, 1e-4) << "y";
    EXPECT_NEAR((o.minZ + o.maxZ) / 2, z, 1e-4) << "z";
}

PropInstance Prop(const std::wstring& name)
{
    PropInstance prop;
    prop.name = name;
    prop.position = Vec3f(1.25f, 0.5f, -2);
    prop.rotation = Vec3f(0, 45, 0);
    prop.scale = Vec3f(2, 2, 2);
    prop.alpha = 200.7f;
    prop.worldBounds.minX = 0.25f;
    prop.worldBounds.maxX = 2.25f;
    return prop;
}

} // namespace

TEST_F(Properties, FillsFromTheSelectedCubeAndTheHole)
{
    g_Textures = {NamedTexture(L"a.png"), NamedTexture(L"b.png"), NamedTexture(L"c.png")};
    SceneObject cube = MakeBox(L"Cube 1", 0, 0, 0, 2, 4, 6);
    cube.rotation = Vec3f(10, 20, 30);
    cube.a = 128;
    cube.texture = 2;
    cube.texScale = 1.5f;
    Select(AddObject(cube));

    EXPECT_EQ(Text(PROP_NAME_EDIT), L"Cube 1");
    EXPECT_EQ(Text(2101) + L" " + Text(2102) + L" " + Text(2103), L"1.00 2.00 3.00");
    EXPECT_EQ(Text(2104) + L" " + Text(2105) + L" " + Text(2106), L"2.00 4.00 6.00");
    EXPECT_EQ(Text(2107) + L" " + Text(2108) + L" " + Text(2109), L"10.0 20.0 30.0");
    EXPECT_EQ(Text(PROP_ALPHA_EDIT) + L" " + Text(PROP_TEX_SCALE_EDIT), L"128 1.5");
    EXPECT_EQ(ComboItems(), (std::vector<std::wstring>{L"None", L"a.png", L"b.png", L"c.png"}));
    EXPECT_EQ(SendMessageW(Item(PROP_TEXTURE_COMBO), CB_GETCURSEL, 0, 0), 3);
    EXPECT_TRUE(Checked(PROP_SOLID_RADIO));
    for (int id : {2128, 2142, 3004, 2136})
        EXPECT_TRUE(Enabled(id)) << id;

    SceneObject hole = MakeBox(L"Hole", 0, 0, 0, 1, 1, 1);
    hole.objectType = OBJECT_HOLE;
    hole.a = 77;
    Select(AddObject(hole));
    EXPECT_TRUE(Checked(PROP_HOLE_RADIO));
    for (int id : {2100, 2101, 2127, 2145})
        EXPECT_TRUE(Enabled(id)) << id;
    for (int id : {2128, 2142, 3004, 2136})
        EXPECT_FALSE(Enabled(id)) << id;

    // Nothing selected: the object rows go blank and grey, alpha keeps its text.
    Select(-1);
    g_SelectedObjects.clear();
    EXPECT_EQ(Text(PROP_NAME_EDIT) + Text(2101) + Text(2104) + Text(2107), L"0.01.00.0");
    EXPECT_EQ(Text(PROP_ALPHA_EDIT), L"77");
    for (int id : {2100, 2101, 2127, 2145})
        EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(Properties, TypingAppliesAtEachKeystrokeInOneUndoStep)
{
    Select(AddObject(MakeBox(L"Box", 0, 0, 0, 2, 2, 2)));
    Retype(2101, L"5");
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, 4.0f);
    SendMessageW(Item(2101), WM_CHAR, L'.', 1);
    SendMessageW(Item(2101), WM_CHAR, L'5', 1);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, 4.5f);
    Leave();
    EXPECT_EQ(ModellerUndoDepth(), 1);

    Command(ID_EDIT_UNDO);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, 0.0f);
    EXPECT_EQ(Text(2101), L"1.00");

    // Linked scale: the typed edit keeps its text until Enter, the others follow.
    g_LinkScaling = true;
    Retype(2105, L"12");
    EXPECT_EQ(Text(2105) + L" " + Text(2104), L"12 12.0");
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX - g_SceneObjects[0].minX, 12.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX + g_SceneObjects[0].maxX, 2.0f);
    PressEnter(2105);
    EXPECT_EQ(Text(2105), L"12.0");
    EXPECT_EQ(ModellerUndoDepth(), 1);
}

TEST_F(Properties, FocusingAndLeavingWithoutTypingChangesNothing)
{
    Select(AddObject(MakeBox(L"Box", 0.75f, 0, 0, 1.75f, 1, 1)));
    ASSERT_EQ(Text(2101), L"1.25");
    g_ModellerRedoStack.push_back(UndoState());
    for (int id : {2001, 2002, 2101, 2102, 2104, 2107, 2142, 2136, 2100}) {
        SetFocus(Item(id));
        Leave();
    }
    SetFocus(Item(2103));
    PressEnter(2103);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, 0.75f);
    EXPECT_EQ(Text(2101), L"1.25");
    EXPECT_EQ(ModellerUndoDepth(), 0);
    EXPECT_EQ(g_ModellerRedoStack.size(), 1u);
    EXPECT_FLOAT_EQ(g_GridCellSize, 1.0f);
}

TEST_F(Properties, PropTargetInThePlotter)
{
    Command(ID_MODE_PLOTTER);
    EXPECT_EQ(SendMessageW(Item(PROP_TEXTURE_COMBO), CB_GETCOUNT, 0, 0), 0);
    g_PropInstances = {Prop(L"Rock"), Prop(L"Tree")};
    g_PropInstances[1].visible = false;
    SendMessageW(g_hPlacedPropsList, LB_RESETCONTENT, 0, 0);
    for (const PropInstance& prop : g_PropInstances)
        SendMessageW(g_hPlacedPropsList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(prop.name.c_str()));
    g_SelectedPropInstance = 1;
    g_Hooks.UpdatePropertiesPanel();

    EXPECT_EQ(Text(PROP_NAME_EDIT), L"Tree");
    EXPECT_EQ(Text(2101) + L" " + Text(2102) + L" " + Text(2103), L"1.25 0.50 -2.00");
    EXPECT_EQ(Text(2104) + L" " + Text(2108) + L" " + Text(PROP_ALPHA_EDIT), L"2.00 45.0 200");
    EXPECT_FALSE(Checked(PROP_VISIBLE_CHECK));
    EXPECT_TRUE(Enabled(2142));
    for (int id : {2128, 3004, 2136, 2145})
        EXPECT_FALSE(Enabled(id)) << id;

    // Renaming rewrites the placed-props entry and keeps it selected; props lie outside undo.
    Retype(PROP_NAME_EDIT, L"Oak");
    Leave();
    EXPECT_EQ(g_PropInstances[1].name, L"Oak");
    wchar_t entry[64] = {};
    SendMessageW(g_hPlacedPropsList, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"Oak");
    EXPECT_EQ(SendMessageW(g_hPlacedPropsList, LB_GETCURSEL, 0, 0), 1);

    // Linked typing: the others follow with two decimals, the bounds the model's extent.
    Model model;
    model.id = 7;
    model.V.resize(2, 3);
    model.V << -0.5, 0, -0.5, 0.5, 1, 0.5;
    g_Models = {model};
    g_PropInstances[1].modelID = 7;
    g_LinkScaling = true;
    Retype(2105, L"12");
    EXPECT_EQ(Text(2105), L"12");
    EXPECT_EQ(Text(2104), L"12.00");
    EXPECT_FLOAT_EQ(g_PropInstances[1].worldBounds.maxY, 12.5f);
    EXPECT_FLOAT_EQ(g_PropInstances[1].worldBounds.minX, -4.75f);
    Leave();

    // Position buttons move the prop and its bounds; alpha buttons stop at the ends.
    g_SnapToGrid = false;
    Click(2111);
    EXPECT_FLOAT_EQ(g_PropInstances[1].position.x, 1.35f);
    EXPECT_FLOAT_EQ(g_PropInstances[1].worldBounds.minX + g_PropInstances[1].worldBounds.maxX, 2.7f);
    for (int i = 0; i < 12; ++i)
        Click(PROP_ALPHA_UP);
    EXPECT_EQ(g_PropInstances[1].alpha, 255.0f);
    Click(PROP_ROT_X_DOWN + 3);
    EXPECT_NE(LogText().find(L"PROP ROT BUTTON: After change - rotX=0.000000 rotY=50.000000 rotZ=0.000000 "
                             L"step=5.000000"),
              std::wstring::npos);

    EXPECT_TRUE(g_PlotterUndoStack.empty());
    EXPECT_EQ(ModellerUndoDepth(), 0);
    Command(ID_MODE_MODELLER);
}

TEST_F(Properties, GridControlsFollowTheGlobals)
{
    Retype(PROP_GRID_OFFSET_X_EDIT, L"2.5");
    EXPECT_FLOAT_EQ(g_GridOffsetX, 3.0f);
    Retype(PROP_GRID_CELL_EDIT, L"0.005");
    EXPECT_FLOAT_EQ(g_GridCellSize, 1.0f);
    Leave();
    Click(2008);
    EXPECT_EQ(Text(PROP_GRID_CELL_EDIT), L"1.1");
    EXPECT_EQ(ModellerUndoDepth(), 0);

    // File New and a mode switch show the grid they leave behind.
    QueueModalAnswer(IDYES);
    Command(ID_FILE_NEW);
    EXPECT_EQ(Text(PROP_GRID_CELL_EDIT) + Text(PROP_GRID_HEIGHT_EDIT) + Text(PROP_GRID_OFFSET_X_EDIT), L"1.00.00.0");
    g_GridHeight = 3.0f;
    g_ShowGrid = false;
    Command(ID_MODE_MODELLER);
    EXPECT_EQ(Text(PROP_GRID_HEIGHT_EDIT), L"3.0");
    EXPECT_FALSE(Checked(PROP_SHOW_GRID_CHECK));
    // Clicking into Cell Size and out keeps the cell size the scene has.
    g_GridCellSize = 0.25f;
    g_Hooks.UpdatePropertiesPanel();
    SetFocus(Item(PROP_GRID_CELL_EDIT));
    Leave();
    EXPECT_FLOAT_EQ(g_GridCellSize, 0.25f);
}

TEST_F(Properties, StepButtonsMoveAndScaleWithOneUndoStepEach)
{
    g_SnapToGrid = false;
    Select(AddObject(MakeBox(L"Box", 0, 0, 0, 2, 2, 2)));
    for (int i = 0; i < 3; ++i)
        Click(PROP_POS_X_DOWN);
    ExpectCentre(g_SceneObjects[0], 0.7f, 1, 1);
    EXPECT_EQ(ModellerUndoDepth(), 3);

    g_LinkScaling = true;
    Click(PROP_SCALE_X_DOWN + 3);   // Scale Y+ grows all three
    EXPECT_NEAR(g_SceneObjects[0].maxX - g_SceneObjects[0].minX, 2.1f, 1e-5);
    ExpectCentre(g_SceneObjects[0], 0.7f, 1, 1);
    EXPECT_EQ(Text(2106), L"2.10");
    g_LinkScaling = false;
    g_SnapToGrid = true;
    for (int i = 0; i < 4; ++i)
        Click(PROP_SCALE_X_DOWN);   // never below 0.1
    EXPECT_NEAR(g_SceneObjects[0].maxX - g_SceneObjects[0].minX, 0.1f, 1e-5);
    EXPECT_NEAR(g_SceneObjects[0].maxY - g_SceneObjects[0].minY, 2.1f, 1e-5);

    Click(PROP_ALPHA_DOWN);
    Click(PROP_HOLE_RADIO);
    EXPECT_EQ(g_SceneObjects[0].objectType, OBJECT_HOLE);
    Click(PROP_VISIBLE_CHECK);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_EQ(ModellerUndoDepth(), 9);

    // Every keystroke applies; the alpha 300 is refused and 30 stays.
    Click(PROP_SOLID_RADIO);
    Retype(PROP_ALPHA_EDIT, L"300");
    EXPECT_EQ(g_SceneObjects[0].a, 30);
    EXPECT_EQ(ModellerUndoDepth(), 10);
    Leave();
}

TEST_F(Properties, GroupButtonsCarryMembersMeshesIncluded)
{
    SceneObject mesh = MeshCube(L"Moon");   // centre (0.5, 0.5, 0.5)
    SelectPairAsGroup(mesh, PIVOT_PARENT, false);
    Click(PROP_POS_X_DOWN + 1);   // X+ by one cell
    ExpectCentre(g_SceneObjects[0], 1, 0, 0);
    ExpectCentre(g_SceneObjects[1], 1.5f, 0.5f, 0.5f);
    EXPECT_DOUBLE_EQ(g_SceneObjects[1].V(0, 0), 1.0);
    EXPECT_EQ(ModellerUndoDepth(), 1);

    // Growing the primary from 2 to 3 on X spreads the member and stretches its mesh.
    Click(PROP_SCALE_X_DOWN + 1);
    ExpectCentre(g_SceneObjects[1], 1.75f, 0.5f, 0.5f);
    EXPECT_NEAR(g_SceneObjects[1].V(7, 0) - g_SceneObjects[1].V(0, 0), 1.5, 1e-5);
    EXPECT_NEAR(g_SceneObjects[1].maxX - g_SceneObjects[1].minX, 1.5f, 1e-5);
}

TEST_F(Properties, GroupOrbitAboutThePrimary)
{
    for (bool locked : {false, true}) {
        ResetEditorState();
        g_RotationStep = 90.0f;
        SelectPairAsGroup(MakeBox(L"Planet", 2.5f, -0.5f, -0.5f, 3.5f, 0.5f, 0.5f), PIVOT_PARENT, locked);
        Click(PROP_ROT_X_DOWN + 3);   // Rot Y+
        ExpectCentre(g_SceneObjects[0], 0, 0, 0);
        ExpectCentre(g_SceneObjects[1], 0, 0, -3);
        EXPECT_FLOAT_EQ(g_SceneObjects[1].rotation.y, locked ? 90.0f : 0.0f);
        EXPECT_NEAR(g_SceneObjects[0].orientation.w, 0.7071068f, 1e-5);
        EXPECT_EQ(Text(2108), L"90.0");
        EXPECT_NE(LogText().find(L"OBJ ROT BUTTON: After change - rotX=0.000000 rotY=90.000000 rotZ=0.000000 "
                                 L"step=90.000000"),
                  std::wstring::npos);
        EXPECT_EQ(ModellerUndoDepth(), 1);
    }
}

TEST_F(Properties, PaintedMeshKeepsAWayBackFromTextureAndColourPicks)
{
    g_Textures = {NamedTexture(L"a.png"), NamedTexture(L"b.png")};
    Select(AddObject(MeshCube(L"Painted")));
    Pick(2);
    EXPECT_EQ(g_SceneObjects[0].faceTextureIDs, (std::vector<int>{1, 1}));
    Click(PROP_TEX_SCALE_UP);
    EXPECT_EQ(g_SceneObjects[0].faceTextureScales, (std::vector<float>{1.1f, 1.1f}));
    EXPECT_EQ(ModellerUndoDepth(), 2);
    Command(ID_EDIT_UNDO);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(g_SceneObjects[0].faceTextureIDs, (std::vector<int>{4, 5}));
    EXPECT_EQ(g_SceneObjects[0].faceTextureScales, (std::vector<float>{2.0f, 3.0f}));

    // Cancel changes nothing; OK paints every face with the chosen colour.
    QueueModalAnswer(FALSE);
    Click(PROP_CHOOSE_COLOR_BUTTON);
    EXPECT_EQ(g_SceneObjects[0].r, 255);
    EXPECT_EQ(ModellerUndoDepth(), 0);
    g_ModalAnswers.push_back({TRUE, L"", RGB(10, 20, 30)});
    Click(PROP_CHOOSE_COLOR_BUTTON);
    ASSERT_EQ(g_ModalCalls.size(), 2u);
    EXPECT_EQ(g_ModalCalls[1].owner, g_hPropertiesPanel);
    for (const FaceColor& face : g_SceneObjects[0].faceColors)
        EXPECT_EQ(face.r * 10000 + face.g * 100 + face.b, 102030);
    EXPECT_EQ(ModellerUndoDepth(), 1);

    // A primitive's texture pick stays outside undo; "None" is -1.
    Select(AddObject(MakeBox(L"Plain", 0, 0, 0, 1, 1, 1)));
    Pick(0);
    EXPECT_EQ(g_SceneObjects[1].texture, -1);
    EXPECT_EQ(ModellerUndoDepth(), 1);
}

TEST_F(Properties, LeavingTheNameKeepsAGroupSelected)
{
    SelectPairAsGroup(MakeBox(L"Planet", 2.5f, -0.5f, -0.5f, 3.5f, 0.5f, 0.5f), PIVOT_GROUP_CENTER, false);
    Retype(PROP_NAME_EDIT, L"Star");
    EXPECT_EQ(g_SceneObjects[0].name, L"Star");
    PressEnter(PROP_NAME_EDIT);
    EXPECT_EQ(GetFocus(), g_hPropertiesPanel);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{0, 1}));
    EXPECT_EQ(g_SelectedGroup, 0);
    EXPECT_TRUE(TreeShows(L"Star"));
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(g_SceneObjects[0].name, L"Sun");
}

TEST_F(Properties, ScrollsWithBarAndWheelAndHighlightsTheFocus)
{
    RECT window = {}, client = {};
    GetWindowRect(g_hPropertiesPanel, &window);
    GetClientRect(g_hPropertiesPanel, &client);
    const int frame = (window.bottom - window.top) - client.bottom;
    SetWindowPos(g_hPropertiesPanel, nullptr, 0, 0, window.right - window.left, 600 + frame,
                 SWP_NOMOVE | SWP_NOZORDER);
    const int top = ChildRect(Item(PROP_GRID_HEIGHT_EDIT)).top;
    SendMessageW(g_hPropertiesPanel, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(GetScrollPos(g_hPropertiesPanel, SB_VERT), 200);
    EXPECT_EQ(ChildRect(Item(PROP_GRID_HEIGHT_EDIT)).top, top - 200);
    SendMessageW(g_hPropertiesPanel, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(ChildRect(Item(PROP_GRID_HEIGHT_EDIT)).top, top - 160);

    Select(AddObject(MakeBox(L"Box", 0, 0, 0, 1, 1, 1)));
    SetFocus(Item(2101));
    EXPECT_EQ(PrintedPixel(Item(2101), 3, 3), RGB(200, 230, 255));
    Leave();
    EXPECT_EQ(PrintedPixel(Item(2101), 3, 3), RGB(255, 255, 255));
}

TEST_F(Properties, ClickOnTheBarePanelLetsGoOfTheOperands)
{
    AddObject(MakeBox(L"A", 0, 0, 0, 1, 1, 1));
    g_OperationSelection = {0};
    const RECT label = ChildRect(Item(PROP_GRID_HEIGHT_DOWN));
    SendMessageW(g_hPropertiesPanel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(label.left + 2, label.top + 2));
    EXPECT_EQ(g_OperationSelection.size(), 1u);
    SendMessageW(g_hPropertiesPanel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(g_OperationSelection.empty());
}

TEST_F(Properties, RenamingThenClickingAnotherTreeItemSelectsIt)
{
    AddObject(MakeBox(L"First", 0, 0, 0, 1, 1, 1));
    AddObject(MakeBox(L"Second", 2, 0, 0, 3, 1, 1));
    g_Hooks.RefreshHierarchyTree();
    Select(0);
    Retype(PROP_NAME_EDIT, L"Renamed");
    ClickTreeItem(FirstTreeItemWithValue(1), false);
    EXPECT_EQ(g_SceneObjects[0].name, L"Renamed");
    EXPECT_EQ(g_SelectedObjectIndex, 1);
    EXPECT_EQ(Text(PROP_NAME_EDIT), L"Second");
    EXPECT_TRUE(TreeShows(L"Renamed"));
}
