#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/MenuState.h"
#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Hooks.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"

namespace {

class Commands : public AppTest {};

SceneObject MakeObject(int type, const wchar_t* name, float x)
{
    SceneObject object;
    object.type = type;
    object.name = name;
    object.minX = x;
    object.maxX = x + 2.0f;
    object.minY = 0.0f;
    object.maxY = 4.0f;
    object.minZ = -1.0f;
    object.maxZ = 1.0f;
    return object;
}

struct MenuEntry {
    const wchar_t* text;   // empty for a separator
    UINT id;
};

void ExpectPopup(HMENU bar, int position, const wchar_t* title, const std::vector<MenuEntry>& entries)
{
    wchar_t text[128] = {};
    GetMenuStringW(bar, position, text, 128, MF_BYPOSITION);
    EXPECT_STREQ(text, title);
    HMENU popup = GetSubMenu(bar, position);
    ASSERT_NE(popup, nullptr) << title;
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(entries.size())) << title;
    for (size_t i = 0; i < entries.size(); ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        wchar_t itemText[128] = {};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = itemText;
        info.cch = 128;
        ASSERT_TRUE(GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info));
        if (entries[i].text[0] == L'\0') {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << title << " " << i;
        } else {
            EXPECT_STREQ(itemText, entries[i].text) << title << " " << i;
            EXPECT_EQ(info.wID, entries[i].id) << title << " " << i;
        }
    }
}

// Counts key-down messages that reach the main window's procedure.
WNDPROC g_OriginalMainProc = nullptr;
int g_KeyDownsDispatched = 0;

LRESULT CALLBACK CountingMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
        ++g_KeyDownsDispatched;
    return CallWindowProcW(g_OriginalMainProc, window, message, wParam, lParam);
}

void SetControlKey(bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    keys[VK_LCONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

} // namespace

TEST_F(Commands, MenuHoldsEveryItemInOrder)
{
    HMENU bar = GetMenu(g_hMainWnd);
    ASSERT_EQ(GetMenuItemCount(bar), 7);
    ExpectPopup(bar, 0, L"&File",
                {{L"&New", ID_FILE_NEW}, {L"&Open...", ID_FILE_OPEN}, {L"&Save", ID_FILE_SAVE},
                 {L"Save &As...", ID_FILE_SAVEAS}, {L"", 0}, {L"E&xit", IDM_EXIT}});
    ExpectPopup(bar, 1, L"&Edit",
                {{L"&Undo\tCtrl+Z", ID_EDIT_UNDO}, {L"&Redo\tCtrl+Y", ID_EDIT_REDO}, {L"", 0},
                 {L"&Join Objects", ID_EDIT_JOIN}, {L"&Intersection", ID_EDIT_INTERSECTION},
                 {L"&XOR (Symmetric Difference)", ID_EDIT_XOR}, {L"&Slice", ID_EDIT_SLICE}});
    ExpectPopup(bar, 2, L"&Object",
                {{L"&Create Group", ID_OBJECT_CREATEGROUP}, {L"&Add to Group...", ID_OBJECT_ADDTOGROUP},
                 {L"&Remove from Group", ID_OBJECT_REMOVEFROMGROUP}, {L"", 0},
                 {L"&Ungroup (Delete Group)", ID_OBJECT_UNGROUP}});
    ExpectPopup(bar, 3, L"&View",
                {{L"Show &Wireframe", ID_VIEW_WIREFRAME}, {L"Show Props in &Color", ID_VIEW_PROPSINCOLOR},
                 {L"Show &Debug Window", ID_VIEW_DEBUGWINDOW}, {L"", 0}, {L"&Top View", ID_VIEW_TOP},
                 {L"&Front View", ID_VIEW_FRONT}, {L"&Right View", ID_VIEW_RIGHT},
                 {L"&Perspective", ID_VIEW_PERSPECTIVE}, {L"", 0},
                 {L"Scene &Statistics...", ID_VIEW_STATISTICS}});
    ExpectPopup(bar, 4, L"&Tools",
                {{L"&Texture Manager...", ID_TOOLS_TEXTUREMANAGER}, {L"&Prop Manager...", ID_TOOLS_PROPMANAGER},
                 {L"", 0}, {L"&Preferences...", ID_TOOLS_PREFERENCES}});
    ExpectPopup(bar, 5, L"&Mode",
                {{L"&Modeller\tCtrl+1", ID_MODE_MODELLER}, {L"&Painter\tCtrl+2", ID_MODE_PAINTER},
                 {L"P&lotter\tCtrl+3", ID_MODE_PLOTTER}, {L"&Vertex Editor\tCtrl+4", ID_MODE_VERTEXEDITOR}});
    ExpectPopup(bar, 6, L"&Help", {{L"&About ...", IDM_ABOUT}});
}

TEST_F(Commands, MenuStartsWithOnlyPropsInColorChecked)
{
    HMENU menu = GetMenu(g_hMainWnd);
    EXPECT_TRUE(MenuItemState(menu, ID_VIEW_PROPSINCOLOR) & MF_CHECKED);
    EXPECT_FALSE(MenuItemState(menu, ID_VIEW_WIREFRAME) & MF_CHECKED);
    EXPECT_FALSE(MenuItemState(menu, ID_VIEW_DEBUGWINDOW) & MF_CHECKED);
    EXPECT_FALSE(MenuItemState(menu, ID_FILE_NEW) & MF_GRAYED);
    EXPECT_FALSE(MenuItemState(menu, ID_EDIT_UNDO) & MF_GRAYED);
}

TEST_F(Commands, ControlKeyAcceleratorIsTranslatedAndNotDispatched)
{
    g_KeyDownsDispatched = 0;
    g_OriginalMainProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(g_hMainWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingMainProc)));
    SetControlKey(true);
    PostMessageW(g_hMainWnd, WM_KEYDOWN, '2', 1);
    PumpPending();
    EXPECT_EQ(g_CurrentMode, MODE_PAINTER);
    EXPECT_EQ(g_KeyDownsDispatched, 0);

    PostMessageW(g_hMainWnd, WM_KEYDOWN, '1', 1);
    PumpPending();
    EXPECT_EQ(g_CurrentMode, MODE_MODELLER);
    EXPECT_EQ(g_KeyDownsDispatched, 0);

    // A key that matches no entry is dispatched.
    PostMessageW(g_hMainWnd, WM_KEYDOWN, 'Q', 1);
    PumpPending();
    EXPECT_EQ(g_KeyDownsDispatched, 1);
    SetControlKey(false);

    // Without Control, "2" is an ordinary key.
    PostMessageW(g_hMainWnd, WM_KEYDOWN, '2', 1);
    PumpPending();
    EXPECT_EQ(g_CurrentMode, MODE_MODELLER);
    EXPECT_EQ(g_KeyDownsDispatched, 2);
    SetWindowLongPtrW(g_hMainWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_OriginalMainProc));
}

TEST_F(Commands, AltQuestionMarkAndAltSlashOpenAbout)
{
    for (WPARAM character : {static_cast<WPARAM>('?'), static_cast<WPARAM>('/')}) {
        g_ModalCalls.clear();
        QueueModalAnswer(IDOK);
        const LPARAM altDown = 1 | (1 << 29);
        PostMessageW(g_hMainWnd, WM_SYSCHAR, character, altDown);
        PumpPending();
        if (g_ModalCalls.empty()) {
            // Wine matches character entries on the key-down message instead.
            PostMessageW(g_hMainWnd, WM_SYSKEYDOWN, character, altDown);
            PumpPending();
        }
        ASSERT_EQ(g_ModalCalls.size(), 1u);
        EXPECT_EQ(g_ModalCalls[0].kind, MODAL_DIALOG);
        EXPECT_EQ(g_ModalCalls[0].dialogId, IDD_ABOUTBOX);
        EXPECT_EQ(g_ModalCalls[0].owner, g_hMainWnd);
    }
    // Without Alt the character is no accelerator.
    g_ModalCalls.clear();
    PostMessageW(g_hMainWnd, WM_SYSKEYDOWN, '?', 1);
    PostMessageW(g_hMainWnd, WM_CHAR, '?', 1);
    PumpPending();
    EXPECT_TRUE(g_ModalCalls.empty());
}

TEST_F(Commands, AboutDialogIsARealResource)
{
    BeginAnsweringRealBoxes(IDOK);
    Command(IDM_ABOUT);
    EndAnsweringRealBoxes();
    EXPECT_EQ(g_RealBoxCaption, L"About Tarsel Studio");
}

TEST_F(Commands, UndoAndRedoThroughTheirKeys)
{
    g_SceneObjects.push_back(MakeObject(PRIMITIVE_CUBE, L"Cube 1", 0.0f));
    SaveUndoState();
    g_SceneObjects.push_back(MakeObject(PRIMITIVE_CUBE, L"Cube 2", 3.0f));
    SetControlKey(true);
    PostMessageW(g_hMainWnd, WM_KEYDOWN, 'Z', 1);
    PumpPending();
    EXPECT_EQ(g_SceneObjects.size(), 1u);
    PostMessageW(g_hMainWnd, WM_KEYDOWN, 'Y', 1);
    PumpPending();
    SetControlKey(false);
    EXPECT_EQ(g_SceneObjects.size(), 2u);
}

TEST_F(Commands, ModeSwitchesSetTitleAndResetState)
{
    g_SceneObjects = {MakeObject(PRIMITIVE_CUBE, L"Cube 1", 0.0f), MakeObject(PRIMITIVE_CUBE, L"Cube 2", 3.0f)};
    g_SelectedObjects = {0, 1};
    g_SelectedObjectIndex = 1;
    g_IsDraggingGizmo = true;
    g_GizmoAxis = 2;
    g_SelectedFaces = {3, 4};
    g_SelectedFacesObject = 0;
    g_HoveredFace = 4;
    g_HoveredFaceObject = 0;
    g_SelectedPropInstance = 0;
    g_SelectedPropBrush = 0;
    g_IsInCreateMode = true;
    g_IsRightDragging = true;
    g_CurrentTool = TOOL_MOVE;

    Command(ID_MODE_MODELLER);
    EXPECT_EQ(WindowText(g_hMainWnd), L"Tarsel Studio - Modeller Mode");
    EXPECT_TRUE(g_IsDraggingGizmo);
    EXPECT_EQ(g_SelectedObjectIndex, 1);
    EXPECT_EQ(g_SelectedObjects.size(), 2u);
    EXPECT_FALSE(g_IsInCreateMode);
    EXPECT_FALSE(g_IsRightDragging);
    EXPECT_TRUE(g_SelectedFaces.empty());
    EXPECT_EQ(g_HoveredFace, -1);
    EXPECT_EQ(g_HoveredFaceObject, -1);
    EXPECT_EQ(g_SelectedPropBrush, -1);
    EXPECT_EQ(g_CurrentTool, TOOL_MOVE);

    g_SelectedPropBrush = 0;
    Command(ID_MODE_PLOTTER);
    EXPECT_EQ(g_CurrentMode, MODE_PLOTTER);
    EXPECT_EQ(WindowText(g_hMainWnd), L"Tarsel Studio - Plotter Mode");
    EXPECT_FALSE(g_IsDraggingGizmo);
    EXPECT_EQ(g_GizmoAxis, -1);
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(g_SelectedPropBrush, 0);
    EXPECT_EQ(g_CurrentTool, TOOL_PLOT);
    EXPECT_NE(LogText().find(L"CLEAR: Mode switch to Plotter\r\n"), std::wstring::npos);

    // Back to the Modeller the plot tool stays.
    Command(ID_MODE_PAINTER);
    EXPECT_EQ(g_CurrentMode, MODE_PAINTER);
    EXPECT_EQ(WindowText(g_hMainWnd), L"Tarsel Studio - Painter Mode");
    EXPECT_EQ(g_CurrentTool, TOOL_PLOT);
    EXPECT_EQ(g_SelectedPropBrush, -1);
    EXPECT_NE(LogText().find(L"CLEAR: Mode switch to Painter\r\n"), std::wstring::npos);

    g_SelectedObjects = {0};
    g_SelectedObjectIndex = 0;
    g_SceneObjects[0].isCSGMesh = true;   // nothing to convert
    Command(ID_MODE_VERTEXEDITOR);
    EXPECT_EQ(g_CurrentMode, MODE_VERTEX_EDITOR);
    EXPECT_EQ(WindowText(g_hMainWnd), L"Tarsel Studio - Vertex Editor Mode");
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    EXPECT_EQ(g_SelectedObjects.size(), 1u);
    EXPECT_EQ(g_CurrentTool, TOOL_SELECT);
    EXPECT_NE(LogText().find(L"Mode switch to Vertex (preserving selection)\r\n"), std::wstring::npos);
}

// A mode switch that drops the selection leaves neither the tree nor the
// properties panel showing the object that was selected.
TEST_F(Commands, ModeSwitchThatClearsTheSelectionClearsThePanels)
{
    g_SceneObjects = {MakeObject(PRIMITIVE_CUBE, L"Crate", 0.0f)};
    g_Hooks.RefreshHierarchyTree();
    for (int mode : {ID_MODE_PAINTER, ID_MODE_PLOTTER}) {
        Command(ID_MODE_MODELLER);
        g_SelectedObjects = {0};
        g_SelectedObjectIndex = 0;
        g_Hooks.SelectTreeItemByObjectIndex(0);
        g_Hooks.UpdatePropertiesPanel();
        ASSERT_EQ(WindowText(GetDlgItem(g_hPropertiesPanel, 2100)), L"Crate");

        Command(mode);
        if (mode == ID_MODE_PAINTER)
            Command(ID_MODE_MODELLER);
        EXPECT_EQ(TreeView_GetSelection(g_hTreeView), nullptr) << mode;
        EXPECT_EQ(WindowText(GetDlgItem(g_hPropertiesPanel, 2100)), L"") << mode;
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(g_hPropertiesPanel, 2100))) << mode;
    }
}

TEST_F(Commands, ModeSwitchLaysOutThePanels)
{
    Command(ID_MODE_PAINTER);
    RECT viewport = ChildRect(g_hViewport);
    EXPECT_EQ(viewport.left, 0);
    EXPECT_EQ(viewport.right, 980);
    EXPECT_FALSE(HasStyle(g_hToolsPanel, WS_VISIBLE));
    EXPECT_TRUE(HasStyle(g_hPainterPanel, WS_VISIBLE));
    Command(ID_MODE_MODELLER);
    viewport = ChildRect(g_hViewport);
    EXPECT_EQ(viewport.left, 250);
    EXPECT_EQ(viewport.right, 980);
    EXPECT_TRUE(HasStyle(g_hToolsPanel, WS_VISIBLE));
    EXPECT_TRUE(HasStyle(g_hHierarchyPanel, WS_VISIBLE));
    EXPECT_TRUE(HasStyle(g_hPropertiesPanel, WS_VISIBLE));
    EXPECT_FALSE(HasStyle(g_hPainterPanel, WS_VISIBLE));
}

TEST_F(Commands, ModeSwitchGreysTheCSGItems)
{
    g_SceneObjects = {MakeObject(PRIMITIVE_CUBE, L"A", 0.0f), MakeObject(PRIMITIVE_CUBE, L"B", 3.0f)};
    g_SelectedObjects = {0, 1};
    UpdateCSGMenuState();
    ASSERT_FALSE(MenuItemState(GetMenu(g_hMainWnd), ID_EDIT_JOIN) & MF_GRAYED);
    Command(ID_MODE_PAINTER);
    EXPECT_TRUE(MenuItemState(GetMenu(g_hMainWnd), ID_EDIT_JOIN) & MF_GRAYED);
}

TEST_F(Commands, VertexEditorOffersToConvertTheSelectedPrimitivesButNotKnives)
{
    g_SceneObjects = {MakeObject(PRIMITIVE_CUBE, L"Cube 1", 0.0f), MakeObject(PRIMITIVE_KNIFE, L"Knife 1", 3.0f),
                      MakeObject(PRIMITIVE_CUBE, L"Mesh", 6.0f), MakeObject(PRIMITIVE_WEDGE, L"Wedge 1", 9.0f)};
    g_SceneObjects[0].rotation = Vec3f(0.0f, 30.0f, 0.0f);
    g_SceneObjects[2].isCSGMesh = true;
    g_SelectedObjects = {0, 1, 2, 3, 7};
    QueueModalAnswer(IDYES);
    Command(ID_MODE_VERTEXEDITOR);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"Convert to Mesh");
    EXPECT_EQ(g_ModalCalls[0].text,
              L"2 selected objects are primitives.\n\n"
              L"To edit vertices, they must be converted to meshes.\n"
              L"This will allow vertex editing but you will lose\n"
              L"the ability to change primitive parameters.\n\n"
              L"Convert to mesh?");
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(g_SceneObjects[0].isCSGMesh);
    EXPECT_EQ(g_SceneObjects[0].name, L"[Mesh] Cube 1");
    EXPECT_FLOAT_EQ(g_SceneObjects[0].rotation.y, 0.0f);
    EXPECT_GT(g_SceneObjects[0].V.rows(), 0);
    EXPECT_GT(g_SceneObjects[0].F.rows(), 0);
    // A knife converted to a mesh would no longer cut.
    EXPECT_EQ(g_SceneObjects[1].name, L"Knife 1");
    EXPECT_FALSE(g_SceneObjects[1].isCSGMesh);
    EXPECT_EQ(g_SceneObjects[2].name, L"Mesh");
    EXPECT_EQ(g_SceneObjects[3].name, L"[Mesh] Wedge 1");
    EXPECT_EQ(g_VertexUndoStack.size(), 1u);
    EXPECT_NE(LogText().find(L"Converted [Mesh] Cube 1 to mesh for vertex editing\r\n"), std::wstring::npos);
    EXPECT_EQ(g_CurrentMode, MODE_VERTEX_EDITOR);
}

TEST_F(Commands, VertexEditorNamesASinglePrimitiveAndAcceptsNo)
{
    g_SceneObjects = {MakeObject(PRIMITIVE_SPHERE, L"Sphere 1", 0.0f)};
    g_SelectedObjects = {0};
    QueueModalAnswer(IDNO);
    Command(ID_MODE_VERTEXEDITOR);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].text.substr(0, 40), L"Object \"Sphere 1\" is a primitive.\n\nTo ed");
    EXPECT_FALSE(g_SceneObjects[0].isCSGMesh);
    EXPECT_EQ(g_SceneObjects[0].name, L"Sphere 1");
    EXPECT_TRUE(g_VertexUndoStack.empty());
    EXPECT_EQ(g_CurrentMode, MODE_VERTEX_EDITOR);
}

TEST_F(Commands, FileNewAnsweredNoChangesNothing)
{
    g_SceneObjects = {MakeObject(PRIMITIVE_CUBE, L"Cube 1", 0.0f)};
    g_CameraDistance = 40.0f;
    QueueModalAnswer(IDNO);
    Command(ID_FILE_NEW);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"New Scene");
    EXPECT_EQ(g_ModalCalls[0].text, L"Clear current scene and start new?");
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_FLOAT_EQ(g_CameraDistance, 40.0f);
}

TEST_F(Commands, FileNewClearsTheSceneAndEverythingPointingIntoIt)
{
    g_SceneObjects = {MakeObject(PRIMITIVE_CUBE, L"Cube 1", 0.0f), MakeObject(PRIMITIVE_CUBE, L"Cube 2", 3.0f)};
    g_Groups.resize(1);
    g_PropInstances.resize(1);
    g_Models.resize(1);
    g_PropBrushes.resize(2);
    g_Textures.resize(3);
    g_PaintBrushes.resize(2);
    g_PaintBrushes[0].texture = 2;
    g_PaintBrushes[1].texture = 0;
    g_PaintBrushes[1].r = 12;
    g_NextTextureId = 9;
    g_SelectedObjects = {0, 1};
    g_SelectedObjectIndex = 1;
    g_SelectedGroup = 0;
    g_SelectedPropInstance = 0;
    g_SelectedPropBrush = 1;
    g_AddToGroupIndex = 0;
    g_SelectedFaces = {1, 2};
    g_SelectedFacesObject = 1;
    g_HoveredFace = 2;
    g_HoveredFaceObject = 1;
    g_SelectedVertices = {{0, 3}};
    g_SelectedVertexObject = 0;
    g_SelectedVertexIndex = 3;
    g_CurrentScenePath = L"C:\\scenes\\a.tsp";
    g_GridHeight = 2.0f;
    g_GridCellSize = 0.5f;
    g_GridOffsetX = 1.0f;
    g_GridOffsetZ = -1.0f;
    g_CameraDistance = 40.0f;
    g_CameraYaw = 10.0f;
    g_CameraPitch = 80.0f;
    g_CameraTargetX = 5.0f;
    g_ShowGrid = false;
    SaveUndoState();
    Undo();   // leaves a redo step
    SaveUndoState();

    QueueModalAnswer(IDYES);
    Command(ID_FILE_NEW);
    EXPECT_TRUE(g_SceneObjects.empty());
    EXPECT_TRUE(g_Groups.empty());
    EXPECT_TRUE(g_PropInstances.empty());
    EXPECT_TRUE(g_Models.empty());
    EXPECT_TRUE(g_PropBrushes.empty());
    EXPECT_TRUE(g_Textures.empty());
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_EQ(g_SelectedGroup, -1);
    EXPECT_EQ(g_SelectedPropInstance, -1);
    EXPECT_EQ(g_SelectedPropBrush, -1);
    EXPECT_EQ(g_AddToGroupIndex, -1);
    EXPECT_TRUE(g_CurrentScenePath.empty());
    EXPECT_FLOAT_EQ(g_GridHeight, 0.0f);
    EXPECT_FLOAT_EQ(g_GridCellSize, 1.0f);
    EXPECT_FLOAT_EQ(g_GridOffsetX, 0.0f);
    EXPECT_FLOAT_EQ(g_GridOffsetZ, 0.0f);
    EXPECT_FLOAT_EQ(g_CameraDistance, 15.0f);
    EXPECT_FLOAT_EQ(g_CameraYaw, 45.0f);
    EXPECT_FLOAT_EQ(g_CameraPitch, 30.0f);
    EXPECT_FLOAT_EQ(g_CameraTargetX, 0.0f);
    // The selections it leaves, the history and the brushes' textures.
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_TRUE(g_SelectedFaces.empty());
    EXPECT_EQ(g_SelectedFacesObject, -1);
    EXPECT_EQ(g_HoveredFace, -1);
    EXPECT_EQ(g_HoveredFaceObject, -1);
    EXPECT_TRUE(g_SelectedVertices.empty());
    EXPECT_EQ(g_SelectedVertexObject, -1);
    EXPECT_EQ(g_SelectedVertexIndex, -1);
    EXPECT_TRUE(g_ModellerUndoStack.empty());
    EXPECT_TRUE(g_ModellerRedoStack.empty());
    ASSERT_EQ(g_PaintBrushes.size(), 2u);
    EXPECT_EQ(g_PaintBrushes[0].texture, -1);
    EXPECT_EQ(g_PaintBrushes[1].texture, -1);
    EXPECT_EQ(g_PaintBrushes[1].r, 12);
    // Kept.
    EXPECT_FALSE(g_ShowGrid);
    EXPECT_EQ(g_NextTextureId, 9);
    EXPECT_NE(LogText().find(L"New scene created - clean slate\r\n"), std::wstring::npos);
    EXPECT_TRUE(MenuItemState(GetMenu(g_hMainWnd), ID_EDIT_JOIN) & MF_GRAYED);
    g_NextTextureId = 1;
}

TEST_F(Commands, FileNewShowsARealBoxThatAHookAnswers)
{
    g_SceneObjects = {MakeObject(PRIMITIVE_CUBE, L"Cube 1", 0.0f)};
    BeginAnsweringRealBoxes(IDNO);
    Command(ID_FILE_NEW);
    EndAnsweringRealBoxes();
    EXPECT_EQ(g_RealBoxCaption, L"New Scene");
    EXPECT_EQ(g_RealBoxText, L"Clear current scene and start new?");
    EXPECT_EQ(g_SceneObjects.size(), 1u);
}

TEST_F(Commands, ViewPresetsTurnTheCameraAndCentreOnTheSelection)
{
    g_CameraDistance = 22.0f;
    Command(ID_VIEW_TOP);
    EXPECT_FLOAT_EQ(g_CameraPitch, 90.0f);
    EXPECT_FLOAT_EQ(g_CameraYaw, 0.0f);
    EXPECT_FLOAT_EQ(g_CameraTargetX, 0.0f);
    Command(ID_VIEW_FRONT);
    EXPECT_FLOAT_EQ(g_CameraPitch, 0.0f);
    EXPECT_FLOAT_EQ(g_CameraYaw, 0.0f);
    Command(ID_VIEW_RIGHT);
    EXPECT_FLOAT_EQ(g_CameraPitch, 0.0f);
    EXPECT_FLOAT_EQ(g_CameraYaw, 90.0f);

    g_SceneObjects = {MakeObject(PRIMITIVE_CUBE, L"Cube 1", 4.0f)};
    g_SelectedObjectIndex = 0;
    Command(ID_VIEW_PERSPECTIVE);
    EXPECT_FLOAT_EQ(g_CameraPitch, 30.0f);
    EXPECT_FLOAT_EQ(g_CameraYaw, 45.0f);
    EXPECT_FLOAT_EQ(g_CameraTargetX, 5.0f);
    EXPECT_FLOAT_EQ(g_CameraTargetY, 2.0f);
    EXPECT_FLOAT_EQ(g_CameraTargetZ, 0.0f);
    EXPECT_FLOAT_EQ(g_CameraDistance, 22.0f);

    // A stale primary selection keeps the target.
    g_SelectedObjectIndex = 5;
    g_CameraTargetX = 1.0f;
    Command(ID_VIEW_TOP);
    EXPECT_FLOAT_EQ(g_CameraTargetX, 1.0f);
}

TEST_F(Commands, ViewTogglesCarryCheckMarks)
{
    HMENU menu = GetMenu(g_hMainWnd);
    Command(ID_VIEW_WIREFRAME);
    EXPECT_TRUE(g_ShowWireframe);
    EXPECT_TRUE(MenuItemState(menu, ID_VIEW_WIREFRAME) & MF_CHECKED);
    Command(ID_VIEW_WIREFRAME);
    EXPECT_FALSE(g_ShowWireframe);
    EXPECT_FALSE(MenuItemState(menu, ID_VIEW_WIREFRAME) & MF_CHECKED);
    Command(ID_VIEW_PROPSINCOLOR);
    EXPECT_FALSE(g_ShowPropsInColor);
    EXPECT_FALSE(MenuItemState(menu, ID_VIEW_PROPSINCOLOR) & MF_CHECKED);
    Command(ID_VIEW_PROPSINCOLOR);
    EXPECT_TRUE(g_ShowPropsInColor);
    EXPECT_TRUE(MenuItemState(menu, ID_VIEW_PROPSINCOLOR) & MF_CHECKED);
}

TEST_F(Commands, DebugWindowCommandShowsAndHidesIt)
{
    HMENU menu = GetMenu(g_hMainWnd);
    Command(ID_VIEW_DEBUGWINDOW);
    EXPECT_TRUE(IsWindowVisible(g_hDebugWindow));
    EXPECT_TRUE(MenuItemState(menu, ID_VIEW_DEBUGWINDOW) & MF_CHECKED);
    Command(ID_VIEW_DEBUGWINDOW);
    EXPECT_FALSE(IsWindowVisible(g_hDebugWindow));
    EXPECT_FALSE(MenuItemState(menu, ID_VIEW_DEBUGWINDOW) & MF_CHECKED);
}

TEST_F(Commands, CreationCommandsArmOnlyInTheModeller)
{
    Command(ID_CREATE_WEDGE);
    EXPECT_TRUE(g_IsInCreateMode);
    EXPECT_EQ(g_CreatePrimitiveType, PRIMITIVE_WEDGE);
    Command(ID_CREATE_KNIFE);
    EXPECT_EQ(g_CreatePrimitiveType, PRIMITIVE_KNIFE);

    ResetEditorState();
    Command(ID_MODE_PAINTER);
    Command(ID_CREATE_CUBE);
    EXPECT_FALSE(g_IsInCreateMode);
}

TEST_F(Commands, EscapeCancelsCreationOnly)
{
    g_CurrentTool = TOOL_ROTATE;
    SendMessageW(g_hMainWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(g_CurrentTool, TOOL_ROTATE);

    Command(ID_CREATE_SPHERE);
    g_CreateStage = STAGE_HEIGHT;
    g_IsCreateDragging = true;
    SendMessageW(g_hMainWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(g_IsInCreateMode);
    EXPECT_EQ(g_CreateStage, STAGE_NONE);
    EXPECT_EQ(g_CurrentTool, TOOL_SELECT);
    EXPECT_FALSE(g_IsCreateDragging);

    // Other keys do nothing.
    Command(ID_CREATE_CUBE);
    SendMessageW(g_hMainWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(g_IsInCreateMode);
}

TEST_F(Commands, NonCSGCommandsEmptyTheOperationSelection)
{
    g_SceneObjects = {MakeObject(PRIMITIVE_CUBE, L"A", 0.0f), MakeObject(PRIMITIVE_CUBE, L"B", 3.0f)};
    g_OperationSelection = {0, 1};
    UpdateCSGMenuState();
    ASSERT_FALSE(MenuItemState(GetMenu(g_hMainWnd), ID_EDIT_JOIN) & MF_GRAYED);
    // The CSG commands themselves consume it (tested with them).
    Command(ID_VIEW_FRONT);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_TRUE(MenuItemState(GetMenu(g_hMainWnd), ID_EDIT_JOIN) & MF_GRAYED);
}

TEST_F(Commands, PlotterRefillsThePropBrushListAndEmptiesTheTextureList)
{
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 100, 100, g_hPlotterPanel, nullptr, g_hInstance,
                                nullptr);
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100,
                                 g_hPropertiesPanel, nullptr, g_hInstance, nullptr);
    HWND panelList = g_hPropBrushList;
    g_hPropBrushList = list;
    g_hObjectTextureCombo = combo;
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"stale"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Brick"));
    g_PropBrushes.resize(2);
    g_PropBrushes[0].name = L"Custom";
    g_PropBrushes[1].name = L"Tree";

    Command(ID_MODE_PLOTTER);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    wchar_t text[32] = {};
    SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Tree");
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);

    // File New leaves the list empty.
    QueueModalAnswer(IDYES);
    Command(ID_FILE_NEW);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);

    g_hPropBrushList = panelList;
    g_hObjectTextureCombo = nullptr;
    DestroyWindow(list);
    DestroyWindow(combo);
}
