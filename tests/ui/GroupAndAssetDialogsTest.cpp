// The group commands of the Object menu, the Create Group and Add to Group
// dialogs, and the Texture and Prop Managers, in the running editor: the
// group records and the tree after each command, the refusals, and removals
// that must leave every other texture and model reference showing what it
// showed.
#include <gtest/gtest.h>

#include <windows.h>
#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "io/TextureLoader.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/AssetDialogs.h"
#include "ui/GroupDialogs.h"
#include "viewport/GLContext.h"
#include "viewport/Patterns.h"

namespace {

class GroupsAndAssets : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        g_SceneObjects = {MakeBox(L"Box A", 0, 0, 0, 2, 2, 2), MakeBox(L"Box B", 4, 0, 0, 6, 2, 2),
                          MakeBox(L"Box C", 0, 0, 4, 2, 2, 6), MakeBox(L"Box D", 8, 0, 8, 10, 4, 10)};
    }
    void Select(int index)
    {
        g_SelectedObjectIndex = index;
        g_SelectedObjects = {index};
    }
    // Create Group on object index through the menu, the dialog answered OK.
    void GroupObject(int index, const std::wstring& name)
    {
        Select(index);
        g_PendingGroupName = name;
        QueueModalAnswer(IDOK);
        Command(ID_OBJECT_CREATEGROUP);
    }
    // The last box shown, or an empty caption when none was.
    ModalCall LastBox()
    {
        for (auto call = g_ModalCalls.rbegin(); call != g_ModalCalls.rend(); ++call) {
            if (call->kind == MODAL_MESSAGE_BOX)
                return *call;
        }
        return ModalCall{};
    }
    void ExpectRefusal(int command, const wchar_t* caption, const wchar_t* text)
    {
        g_ModalCalls.clear();
        const int depth = ModellerUndoDepth();
        QueueModalAnswer(IDOK);
        Command(command);
        ASSERT_EQ(g_ModalCalls.size(), 1u) << text;   // the box, no dialog
        EXPECT_EQ(g_ModalCalls[0].caption, caption);
        EXPECT_EQ(g_ModalCalls[0].text, text);
        EXPECT_EQ(ModellerUndoDepth(), depth) << text;
    }
};

TEST_F(GroupsAndAssets, CreateAddRemoveAndUngroupKeepMembersCentresAndTreeInStep)
{
    GroupObject(0, L"Walls");
    ASSERT_EQ(g_Groups.size(), 1u);
    EXPECT_EQ(g_Groups[0].members, std::vector<int>{0});
    EXPECT_FLOAT_EQ(g_Groups[0].z, 1.0f);
    std::vector<TreeRow> rows = TreeRows();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0].text, L"Walls");
    EXPECT_EQ(rows[1].depth, 1);
    EXPECT_EQ(SelectedTreeItem(), FirstTreeItemWithValue(0));

    // A second member moves the centre to the midpoint.
    Select(1);
    g_AddToGroupIndex = 0;
    QueueModalAnswer(IDOK);
    Command(ID_OBJECT_ADDTOGROUP);
    EXPECT_EQ(g_SceneObjects[1].groupID, 0);
    EXPECT_FLOAT_EQ(g_Groups[0].x, 3.0f);

    // A cancelled dialog changes nothing.
    Select(2);
    QueueModalAnswer(IDCANCEL);
    Command(ID_OBJECT_CREATEGROUP);
    EXPECT_EQ(g_Groups.size(), 1u);
    EXPECT_EQ(ModellerUndoDepth(), 2);

    GroupObject(2, L"Floor");
    GroupObject(3, L"Roof");
    ASSERT_EQ(g_Groups.size(), 3u);
    g_SelectedGroup = 2;

    // Removing the last member of group 1 erases it; group 2 becomes 1 for
    // its member and for the tree's group selection.
    Select(2);
    Command(ID_OBJECT_REMOVEFROMGROUP);
    ASSERT_EQ(g_Groups.size(), 2u);
    EXPECT_EQ(g_SceneObjects[2].groupID, -1);
    EXPECT_EQ(g_SceneObjects[3].groupID, 1);
    // The group selection never names another group than the user chose.
    EXPECT_TRUE(g_SelectedGroup == -1 || g_Groups[g_SelectedGroup].name == L"Roof") << g_SelectedGroup;

    // Removing one of two members recentres on the other.
    Select(0);
    Command(ID_OBJECT_REMOVEFROMGROUP);
    EXPECT_FLOAT_EQ(g_Groups[0].x, 5.0f);

    // Ungroup frees every member of the group and erases it.
    Select(1);
    Command(ID_OBJECT_UNGROUP);
    ASSERT_EQ(g_Groups.size(), 1u);
    EXPECT_EQ(g_SceneObjects[3].groupID, 0);
    EXPECT_EQ(ModellerUndoDepth(), 7);

    // Each step undoes as one.
    Command(ID_EDIT_UNDO);
    ASSERT_EQ(g_Groups.size(), 2u);
    EXPECT_EQ(g_SceneObjects[1].groupID, 0);
}

TEST_F(GroupsAndAssets, UngroupingTheSecondOfThreeRenumbersTheThird)
{
    g_Groups = {MakeGroup(L"G1", {0}), MakeGroup(L"G2", {1, 2}), MakeGroup(L"G3", {3})};
    g_SceneObjects[0].groupID = 0;
    g_SceneObjects[1].groupID = 1;
    g_SceneObjects[2].groupID = 1;
    g_SceneObjects[3].groupID = 2;
    g_SelectedGroup = 1;
    Select(2);
    Command(ID_OBJECT_UNGROUP);
    ASSERT_EQ(g_Groups.size(), 2u);
    EXPECT_EQ(g_SceneObjects[2].groupID, -1);
    EXPECT_EQ(g_SceneObjects[3].groupID, 1);
    EXPECT_EQ(g_SelectedGroup, -1);   // the selected group is gone
    g_SelectedGroup = 1;
    Select(3);
    Command(ID_OBJECT_UNGROUP);
    EXPECT_EQ(g_SelectedGroup, -1);
}

TEST_F(GroupsAndAssets, RefusalsComeInOrderAndChangeNothing)
{
    ExpectRefusal(ID_OBJECT_CREATEGROUP, L"Create Group", L"Please select an object first to create a group.");
    ExpectRefusal(ID_OBJECT_REMOVEFROMGROUP, L"Remove from Group", L"Please select an object first.");
    g_ModalCalls.clear();
    Command(ID_OBJECT_UNGROUP);   // nothing selected: silent
    EXPECT_TRUE(g_ModalCalls.empty());

    Select(0);
    ExpectRefusal(ID_OBJECT_ADDTOGROUP, L"Add to Group", L"No groups exist. Create a group first.");
    ExpectRefusal(ID_OBJECT_UNGROUP, L"Ungroup", L"Selected object is not in a group.");

    GroupObject(0, L"Walls");
    ExpectRefusal(ID_OBJECT_ADDTOGROUP, L"Add to Group", L"Object is already in a group. Ungroup it first.");
    // One object, one group: grouping it again would list it twice.
    ExpectRefusal(ID_OBJECT_CREATEGROUP, L"Create Group", L"Object is already in a group. Ungroup it first.");
    EXPECT_EQ(g_Groups.size(), 1u);
    EXPECT_EQ(TreeRows().size(), 5u);   // Walls with Box A, and the three others
}

// A dialog of the program's resources, created modeless so the test can
// drive its controls.
HWND CreateProgramDialog(int templateId, DLGPROC procedure)
{
    HWND dialog = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(templateId), g_hMainWnd, procedure, 0);
    EXPECT_NE(dialog, nullptr) << templateId;
    return dialog;
}

std::wstring ListLine(HWND dialog, int listId, int line)
{
    wchar_t text[256] = {};
    SendDlgItemMessageW(dialog, listId, LB_GETTEXT, line, reinterpret_cast<LPARAM>(text));
    return text;
}

void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

TEST_F(GroupsAndAssets, GroupDialogsProposeAndCollectTheirInput)
{
    g_Groups = {MakeGroup(L"G1", {}), MakeGroup(L"G2", {})};
    HWND create = CreateProgramDialog(IDD_CREATEGROUP, CreateGroupDlgProc);
    SetDlgItemTextW(create, IDC_GROUP_NAME, L"Doors");
    SendDlgItemMessageW(create, IDC_GROUP_PIVOT, CB_SETCURSEL, 1, 0);
    Click(create, IDC_GROUP_TIDALLY_LOCKED);
    Click(create, IDOK);
    EXPECT_EQ(g_PendingGroupName, L"Doors");
    EXPECT_EQ(g_PendingGroupPivotMode, PIVOT_PARENT);
    EXPECT_TRUE(g_PendingGroupTidallyLocked);
    DestroyWindow(create);

    HWND add = CreateProgramDialog(IDD_ADDTOGROUP, AddToGroupDlgProc);
    // OK without a selection asks for one and stays open.
    SendDlgItemMessageW(add, IDC_GROUP_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    g_AddToGroupIndex = 7;
    QueueModalAnswer(IDOK);
    Click(add, IDOK);
    EXPECT_EQ(LastBox().text, L"Please select a group.");
    EXPECT_EQ(g_AddToGroupIndex, 7);   // still open, nothing chosen
    SendDlgItemMessageW(add, IDC_GROUP_LIST, LB_SETCURSEL, 1, 0);
    Click(add, IDOK);
    EXPECT_EQ(g_AddToGroupIndex, 1);
    DestroyWindow(add);
}

// A one-pixel 24-bit BMP in the temporary folder.
std::wstring WriteOnePixelBmp(const std::wstring& name, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    std::uint8_t file[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24};
    file[34] = 4;
    file[54] = b;
    file[55] = g;
    file[56] = r;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + name;
    FILE* out = _wfopen(path.c_str(), L"wb");
    EXPECT_NE(out, nullptr);
    fwrite(file, 1, sizeof file, out);
    fclose(out);
    return path;
}

// The image each reference shows, by the path of the texture it names.
struct ShownImages {
    std::wstring object, face, brush;
};

std::wstring PathOf(int texture)
{
    return texture >= 0 && texture < static_cast<int>(g_Textures.size()) ? g_Textures[texture].path : L"none";
}

ShownImages Shown(const SceneObject& object)
{
    return {PathOf(object.texture), PathOf(object.faceTextureIDs[1]),
            g_PaintBrushes.empty() ? L"" : PathOf(g_PaintBrushes[0].texture)};
}

class TextureRemoval : public GroupsAndAssets {
protected:
    void SetUp() override
    {
        GroupsAndAssets::SetUp();
        ASSERT_TRUE(IsViewportContextReady());
        paths = {WriteOnePixelBmp(L"tarsel-red.bmp", 255, 0, 0), WriteOnePixelBmp(L"tarsel-green.bmp", 0, 255, 0),
                 WriteOnePixelBmp(L"tarsel-blue.bmp", 0, 0, 255)};
        for (const std::wstring& path : paths)
            LoadTexture(path);
        ASSERT_EQ(g_Textures.size(), 3u);
        SceneObject& mesh = g_SceneObjects[0];
        mesh.texture = 2;
        mesh.faceTextureIDs = {-1, 1, 0};
        PaintBrush brush;
        brush.texture = 2;
        g_PaintBrushes = {brush};
    }
    void TearDown() override
    {
        for (const std::wstring& path : paths)
            DeleteFileW(path.c_str());
        GroupsAndAssets::TearDown();
    }
    // The Texture Manager removing list line k, as the user does it.
    void RemoveThroughManager(int line)
    {
        HWND manager = CreateProgramDialog(IDD_TEXTUREMANAGER, TextureManagerDlgProc);
        SendDlgItemMessageW(manager, IDC_TEXTURE_LIST, LB_SETCURSEL, line, 0);
        Click(manager, IDC_REMOVE_TEXTURE);
        EXPECT_EQ(SendDlgItemMessageW(manager, IDC_TEXTURE_LIST, LB_GETCOUNT, 0, 0),
                  static_cast<LRESULT>(g_Textures.size()));
        DestroyWindow(manager);
    }
    std::vector<std::wstring> paths;
};

TEST_F(TextureRemoval, EveryOtherReferenceKeepsItsImageUndoIncluded)
{
    SaveUndoState();   // an undoable change on textured objects
    g_SceneObjects[0].minX = -1.0f;
    const ShownImages before = Shown(g_SceneObjects[0]);
    RemoveThroughManager(0);
    ASSERT_EQ(g_Textures.size(), 2u);
    EXPECT_EQ(g_SceneObjects[0].faceTextureIDs[2], -1);
    EXPECT_EQ(Shown(g_SceneObjects[0]).object, before.object);
    EXPECT_EQ(Shown(g_SceneObjects[0]).face, before.face);
    EXPECT_EQ(Shown(g_SceneObjects[0]).brush, before.brush);

    Command(ID_EDIT_UNDO);
    EXPECT_EQ(g_SceneObjects[0].minX, 0.0f);
    EXPECT_EQ(Shown(g_SceneObjects[0]).object, before.object);
    EXPECT_EQ(Shown(g_SceneObjects[0]).face, before.face);
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Shown(g_SceneObjects[0]).object, before.object);
    EXPECT_EQ(Shown(g_SceneObjects[0]).face, before.face);

    // Removing the face's texture leaves the face without one.
    RemoveThroughManager(0);
    EXPECT_EQ(g_SceneObjects[0].faceTextureIDs[1], -1);
    EXPECT_EQ(PathOf(g_SceneObjects[0].texture), paths[2]);
}

TEST_F(TextureRemoval, ManagerListsAddsAndRemovingAMissingImageKeepsThePlaceholder)
{
    HWND manager = CreateProgramDialog(IDD_TEXTUREMANAGER, TextureManagerDlgProc);
    // Two missing images share the placeholder.
    for (const wchar_t* missing : {L"C:\\nowhere\\wall.png", L"C:\\nowhere\\floor.png"}) {
        g_ModalAnswers.push_back({TRUE, missing, 0});
        Click(manager, IDC_ADD_TEXTURE);
    }
    ASSERT_EQ(g_Textures.size(), 5u);
    EXPECT_EQ(ListLine(manager, IDC_TEXTURE_LIST, 3), L"wall.png [MISSING] (64x64)");

    SendDlgItemMessageW(manager, IDC_TEXTURE_LIST, LB_SETCURSEL, 3, 0);
    Click(manager, IDC_REMOVE_TEXTURE);
    DestroyWindow(manager);
    ASSERT_EQ(g_Textures.size(), 4u);
    ASSERT_EQ(g_Textures[3].glName, g_MissingTexture);

    // The other missing record still shows the checker.
    ASSERT_TRUE(glIsTexture(g_MissingTexture));
    const std::vector<std::uint8_t> checker = MakeMissingTextureImage();
    std::vector<std::uint8_t> pixels(checker.size());
    glBindTexture(GL_TEXTURE_2D, g_MissingTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    EXPECT_EQ(pixels, checker);
}

Model MakeModel(int id, const std::wstring& name, int vertices, int triangles)
{
    Model model;
    model.id = id;
    model.name = name;
    model.V = Eigen::MatrixXd::Zero(vertices, 3);
    model.F = Eigen::MatrixXi::Zero(triangles, 3);
    return model;
}

TEST_F(GroupsAndAssets, PropManagerListsAndRemovesModelsLeavingTheirUsersWithout)
{
    g_Models = {MakeModel(4, L"crate.glb", 8, 12), MakeModel(7, L"barrel.glb", 20, 36)};
    PropBrush crateBrush, barrelBrush;
    crateBrush.modelID = 4;
    barrelBrush.modelID = 7;
    g_PropBrushes = {crateBrush, barrelBrush};
    g_PropInstances.resize(3);
    g_PropInstances[0].modelID = 4;
    g_PropInstances[1].modelID = 7;
    g_PropInstances[2].modelID = 4;

    HWND manager = CreateProgramDialog(IDD_PROPMANAGER, PropManagerDlgProc);
    EXPECT_EQ(ListLine(manager, IDC_PROP_LIST, 0), L"crate.glb (8 verts, 12 tris)");

    // A file that is no model is refused with the error box.
    g_ModalAnswers.push_back({TRUE, L"C:\\nowhere\\broken.glb", 0});
    QueueModalAnswer(IDOK);
    Click(manager, IDC_ADD_PROP);
    EXPECT_EQ(LastBox().text, L"Failed to load model!");
    EXPECT_EQ(g_Models.size(), 2u);

    SendDlgItemMessageW(manager, IDC_PROP_LIST, LB_SETCURSEL, 0, 0);
    Click(manager, IDC_REMOVE_PROP);
    DestroyWindow(manager);
    ASSERT_EQ(g_Models.size(), 1u);
    EXPECT_EQ(g_PropBrushes[0].modelID, -1);
    EXPECT_EQ(g_PropInstances[1].modelID, 7);
    EXPECT_EQ(g_PropInstances[2].modelID, -1);
    EXPECT_EQ(g_PropInstances.size(), 3u);   // placed props stay
}

TEST_F(GroupsAndAssets, EachDialogRunsThroughTheRealModalPath)
{
    Select(0);
    BeginAnsweringRealBoxes(IDOK);
    Command(ID_OBJECT_CREATEGROUP);
    EXPECT_EQ(g_RealBoxCaption, L"Create Group");
    Command(ID_TOOLS_TEXTUREMANAGER);
    EXPECT_EQ(g_RealBoxCaption, L"Texture Manager");
    Command(ID_TOOLS_PROPMANAGER);
    EXPECT_EQ(g_RealBoxCaption, L"Prop Manager");
    Select(1);
    Command(ID_OBJECT_ADDTOGROUP);
    EXPECT_EQ(g_RealBoxCaption, L"Add to Group");
    EndAnsweringRealBoxes();

    // OK in the untouched dialogs: the proposed name, the first group.
    ASSERT_EQ(g_Groups.size(), 1u);
    EXPECT_EQ(g_Groups[0].name, L"Group 1");
    EXPECT_EQ(g_Groups[0].members, (std::vector<int>{0, 1}));
}

} // namespace
