// The Painter panel in the running application: its brush list and brush
// controls, Apply Paint with its refusals and its report, Clear Selection,
// and the texture list kept in step with the scene's textures.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"
#include "tests/scene/SceneTestSupport.h"
#include "ui/PainterPanel.h"

namespace {

class PainterPanel : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        Command(ID_MODE_PAINTER);
    }

    HWND Control(int id) { return GetDlgItem(g_hPainterPanel, id); }
    void Press(int id) { PanelCommand(id, BN_CLICKED); }
    void PanelCommand(int id, int code)
    {
        SendMessageW(g_hPainterPanel, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(id)));
    }
    void Type(int id, const wchar_t* text) { SetWindowTextW(Control(id), text); }
    void PickListItem(int index)
    {
        SendMessageW(g_hPaintBrushList, LB_SETCURSEL, index, 0);
        PanelCommand(PAINTER_BRUSH_LIST, LBN_SELCHANGE);
    }
    std::vector<std::wstring> ListedBrushes()
    {
        std::vector<std::wstring> names;
        const LRESULT count = SendMessageW(g_hPaintBrushList, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[300] = {};
            SendMessageW(g_hPaintBrushList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            names.push_back(text);
        }
        return names;
    }
    PaintBrush& Brush() { return g_PaintBrushes.at(static_cast<size_t>(g_SelectedPaintBrush)); }
    void ExpectBox(size_t call, const std::wstring& caption, const std::wstring& text, UINT flags)
    {
        ASSERT_LT(call, g_ModalCalls.size());
        EXPECT_EQ(g_ModalCalls[call].caption, caption);
        EXPECT_EQ(g_ModalCalls[call].text, text);
        EXPECT_EQ(g_ModalCalls[call].flags, flags);
        EXPECT_EQ(g_ModalCalls[call].owner, g_hPainterPanel);
    }
};

Texture NamedTexture(const wchar_t* name)
{
    Texture texture;
    texture.name = name;
    return texture;
}

SceneObject MeshBox(const wchar_t* name)
{
    SceneObject object = MakePrimitive(PRIMITIVE_CUBE, name, 0, 0, 0, 1, 1, 1);
    object.isCSGMesh = true;
    object.V.resize(4, 3);
    object.V << 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1;
    object.F.resize(6, 3);
    object.F << 0, 1, 2, 0, 2, 3, 0, 3, 1, 1, 3, 2, 0, 2, 1, 0, 1, 3;
    return object;
}

} // namespace

// Name, size and scale edit the selected brush; new brushes are numbered by
// count; Remove selects the brush before and never takes the last one.
TEST_F(PainterPanel, BrushesAreEditedNumberedAndTheLastOneKept)
{
    Type(PAINTER_NAME_EDIT, L"Rust");
    EXPECT_EQ(ListedBrushes(), std::vector<std::wstring>{L"Rust"});
    Type(PAINTER_SIZE_EDIT, L"0.05");
    EXPECT_FLOAT_EQ(Brush().size, 1.0f);
    Type(PAINTER_SIZE_EDIT, L"2.5");
    Press(PAINTER_SIZE_UP);
    EXPECT_FLOAT_EQ(Brush().size, 2.6f);
    EXPECT_EQ(WindowText(Control(PAINTER_SIZE_EDIT)), L"2.6");
    Type(PAINTER_SCALE_EDIT, L"0.1");
    Press(PAINTER_SCALE_DOWN);
    EXPECT_FLOAT_EQ(Brush().textureScale, 0.1f);

    Press(PAINTER_CREATE);
    Press(PAINTER_CREATE);
    EXPECT_EQ(ListedBrushes(), (std::vector<std::wstring>{L"Rust", L"Brush 2", L"Brush 3"}));
    EXPECT_EQ(g_SelectedPaintBrush, 2);
    PickListItem(0);
    EXPECT_EQ(WindowText(Control(PAINTER_SCALE_EDIT)), L"0.1");
    EXPECT_EQ(WindowText(Control(PAINTER_NAME_EDIT)), L"Rust");

    PickListItem(1);
    Press(PAINTER_REMOVE);
    EXPECT_EQ(ListedBrushes(), (std::vector<std::wstring>{L"Rust", L"Brush 3"}));
    EXPECT_EQ(g_SelectedPaintBrush, 0);
    Press(PAINTER_CREATE);
    EXPECT_EQ(ListedBrushes(), (std::vector<std::wstring>{L"Rust", L"Brush 3", L"Brush 3"}));

    Press(PAINTER_REMOVE);
    Press(PAINTER_REMOVE);
    QueueModalAnswer(IDOK);
    Press(PAINTER_REMOVE);
    ExpectBox(0, L"Remove Brush", L"Cannot remove the last brush!", MB_OK | MB_ICONWARNING);
    EXPECT_EQ(g_PaintBrushes.size(), 1u);
}

// The texture list follows the scene's textures: picking an item sets the
// brush's texture, and File New leaves no brush pointing at a texture that
// is gone.
TEST_F(PainterPanel, TextureListAndColourPickerEditTheBrush)
{
    g_Textures = {NamedTexture(L"brick.png"), NamedTexture(L"moss.png")};
    Command(ID_MODE_MODELLER);
    Command(ID_MODE_PAINTER);
    HWND combo = Control(PAINTER_TEXTURE_COMBO);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    PanelCommand(PAINTER_TEXTURE_COMBO, CBN_SELCHANGE);
    EXPECT_EQ(Brush().texture, 1);

    g_ModalAnswers.push_back({TRUE, L"", RGB(10, 20, 30)});
    Press(PAINTER_PICK_COLOR);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].owner, g_hPainterPanel);
    EXPECT_EQ(Brush().r * 10000 + Brush().g * 100 + Brush().b, 102030);

    QueueModalAnswer(IDYES);
    Command(ID_FILE_NEW);
    EXPECT_EQ(Brush().texture, -1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 1);
}

// Apply Paint refuses without faces and on a primitive; otherwise it paints the
// selection in one undo step, even where the per-face lists are short.
TEST_F(PainterPanel, ApplyPaintRefusesThenPaintsTheSelection)
{
    g_Textures = {NamedTexture(L"brick.png")};
    g_SceneObjects = {MeshBox(L"Mesh"), MakePrimitive(PRIMITIVE_CUBE, L"Cube", 3, 0, 0, 4, 1, 1)};
    SceneObject& mesh = g_SceneObjects[0];
    mesh.r = 5;
    mesh.faceTextureIDs.assign(6, -1);
    mesh.faceTextureScales = {1.0f};
    QueueModalAnswer(IDOK);
    Press(PAINTER_APPLY);
    ExpectBox(0, L"Apply Paint", L"No faces selected!\n\nPlease select faces to paint.", MB_OK | MB_ICONWARNING);

    g_SelectedFacesObject = 1;
    g_SelectedFaces = {0};
    QueueModalAnswer(IDOK);
    Press(PAINTER_APPLY);
    ExpectBox(1, L"Apply Paint", L"Object is not a mesh!\n\nThis should not happen.", MB_OK | MB_ICONERROR);
    EXPECT_TRUE(g_PainterUndoStack.empty());

    g_SelectedFacesObject = 0;
    g_SelectedFaces = {4, 1};
    Brush().texture = 0;
    Brush().textureScale = 2.0f;
    Brush().g = 0;
    QueueModalAnswer(IDOK);
    Press(PAINTER_APPLY);
    ExpectBox(2, L"Paint Applied", L"Painted 2 face(s)\nTexture: brick.png\nScale: 2.000000",
              MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(g_PainterUndoStack.size(), 1u);
    ASSERT_EQ(mesh.faceTextureScales.size(), 6u);
    ASSERT_EQ(mesh.faceColors.size(), 6u);
    EXPECT_EQ(mesh.faceTextureIDs[4], 0);
    EXPECT_EQ(mesh.faceTextureScales[1], 2.0f);
    EXPECT_EQ(mesh.faceColors[1].g, 0);
    EXPECT_EQ(mesh.faceColors[2].r, 5);
    EXPECT_EQ(mesh.faceColors[2].g, 255);

    Press(PAINTER_CLEAR);
    EXPECT_TRUE(g_SelectedFaces.empty());
    EXPECT_EQ(g_SelectedFacesObject, -1);
    EXPECT_EQ(WindowText(g_hPainterStatus), L"No faces selected");
}
