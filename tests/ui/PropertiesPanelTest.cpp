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
        g_Hooks.UpdatePropertiesPanel();
        SetFocus(g_hViewport);
        SendMessageW(g_hDebugEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    }
    void TearDown() override
    {
        SetFocus(g_hViewport);
        AppTest::TearDown();
        g_Hooks.RefreshHierarchyTree();
        g_Hooks.UpdatePropertiesPanel();
    }
};

HWND Item(int id)
{
    return GetDlgItem(g_hPropertiesPanel, id);
}

std::wstring Text(int id)
{
    return WindowText(Item(id));
}

bool Enabled(int id)
{
    return IsWindowEnabled(Item(id)) != FALSE;
}

bool Checked(int id)
{
    return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(int id)
{
    SendMessageW(Item(id), BM_CLICK, 0, 0);
}

// Focus, then the characters one by one as the keyboard would send them.
void Type(int id, const std::wstring& text)
{
    SetFocus(Item(id));
    for (wchar_t c : text)
        SendMessageW(Item(id), WM_CHAR, c, 1);
}

// Replaces the whole text as a user selecting it all and typing would.
void Retype(int id, const std::wstring& text)
{
    SetFocus(Item(id));
    SendMessageW(Item(id), EM_SETSEL, 0, -1);
    for (wchar_t c : text)
        SendMessageW(Item(id), WM_CHAR, c, 1);
}

void PressEnter(int id)
{
    SendMessageW(Item(id), WM_KEYDOWN, VK_RETURN, 1);
}

void Leave()
{
    SetFocus(g_hViewport);
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
    EXPECT_EQ(Text(PROP_ALPHA_EDIT), L"128");
    EXPECT_EQ(Text(PROP_TEX_SCALE_EDIT), L"1.5");
    EXPECT_EQ(ComboItems(), (std::vector<std::wstring>{L"None", L"a.png", L"b.png", L"c.png"}));
    EXPECT_EQ(SendMessageW(Item(PROP_TEXTURE_COMBO), CB_GETCURSEL, 0, 0), 3);
    EXPECT_TRUE(Checked(PROP_SOLID_RADIO));
    EXPECT_FALSE(Checked(PROP_HOLE_RADIO));
    for (int id : {2100, 2101, 2110, 2127, 2128, 2142, 2143, 3004, 2136, 2137, 2139, 2140, 2145, 2146})
        EXPECT_TRUE(Enabled(id)) << id;

    SceneObject hole = MakeBox(L"Hole", 0, 0, 0, 1, 1, 1);
    hole.objectType = OBJECT_HOLE;
    hole.a = 77;
    Select(AddObject(hole));
    EXPECT_TRUE(Checked(PROP_HOLE_RADIO));
    EXPECT_FALSE(Checked(PROP_SOLID_RADIO));
    for (int id : {2100, 2101, 2110, 2127, 2139, 2145, 2146})
        EXPECT_TRUE(Enabled(id)) << id;
    for (int id : {2128, 2142, 2143, 2144, 3004, 2136, 2137, 2138})
        EXPECT_FALSE(Enabled(id)) << id;

    // Nothing selected: the object rows go blank and grey, alpha keeps its text.
    Select(-1);
    g_SelectedObjects.clear();
    EXPECT_EQ(Text(PROP_NAME_EDIT), L"");
    EXPECT_EQ(Text(2101) + Text(2104) + Text(2107), L"0.01.00.0");
    EXPECT_EQ(Text(PROP_ALPHA_EDIT), L"77");
    for (int id : {2100, 2101, 2110, 2127, 2128, 2142, 3004, 2136, 2139, 2140, 2145, 2146})
        EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(Properties, TypingMovesTheObjectAtEachKeystrokeInOneUndoStep)
{
    Select(AddObject(MakeBox(L"Box", 0, 0, 0, 2, 2, 2)));
    Retype(2101, L"5");
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, 4.0f);
    SendMessageW(Item(2101), WM_CHAR, L'.', 1);
    SendMessageW(Item(2101), WM_CHAR, L'5', 1);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, 4.5f);
    EXPECT_EQ(ModellerUndoDepth(), 1);
    Leave();
    EXPECT_EQ(Text(2101), L"5.5");
    EXPECT_EQ(ModellerUndoDepth(), 1);

    Command(ID_EDIT_UNDO);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, 0.0f);
    EXPECT_EQ(Text(2101), L"1.00");
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
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX, 1.75f);
    EXPECT_EQ(Text(2101), L"1.25");
    EXPECT_EQ(ModellerUndoDepth(), 0);
    EXPECT_EQ(g_ModellerRedoStack.size(), 1u);
    EXPECT_FLOAT_EQ(g_GridCellSize, 1.0f);
}

TEST_F(Properties, LinkedScaleTypingKeepsTheCaret)
{
    g_LinkScaling = true;
    Select(AddObject(MakeBox(L"Box", 0, 0, 0, 2, 2, 2)));
    Retype(2105, L"12");
    EXPECT_EQ(Text(2105), L"12");
    EXPECT_EQ(Text(2104), L"12.0");
    EXPECT_EQ(Text(2106), L"12.0");
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxY - g_SceneObjects[0].minY, 12.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX - g_SceneObjects[0].minX, 12.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX + g_SceneObjects[0].maxX, 2.0f);
    PressEnter(2105);
    EXPECT_EQ(Text(2105), L"12.0");
    EXPECT_EQ(ModellerUndoDepth(), 1);
}
