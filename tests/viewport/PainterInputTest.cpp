// The Painter in the running application: clicks and Shift+clicks in the real
// viewport select faces, paint them with the selected brush, ask before
// converting a primitive, and write the summary into the "Surface Info" box;
// the cursor lights the face under it on its own object.
#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/InputSupport.h"
#include "viewport/Picking.h"
#include "viewport/RenderScene.h"

namespace {

// Two points on the top of a box over -1..1 in x and z, one in each triangle
// of the top whichever diagonal splits it.
const float TOP_A[2] = {0.7f, 0.2f};
const float TOP_B[2] = {-0.7f, -0.2f};

class PainterInput : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        Command(ID_MODE_PAINTER);
    }
    void TearDown() override
    {
        SetKeyDown(VK_SHIFT, false);
        AppTest::TearDown();
    }

    void Show()
    {
        g_Hooks.RefreshHierarchyTree();
        PumpPending();
        RenderScene();
    }
    // A point on the top (height 2) of a box centred at x.
    ClientPoint Top(float x, const float* at) { return Aim(x + at[0], 2.0f, at[1]); }
    int FaceAt(const ClientPoint& point, int expectedObject)
    {
        int object = -1, face = -1;
        EXPECT_TRUE(PickFace(point.x, point.y, &object, &face));
        EXPECT_EQ(object, expectedObject);
        return face;
    }
    void ShiftClick(const ClientPoint& point)
    {
        SetKeyDown(VK_SHIFT, true);
        Click(g_hViewport, point, MK_SHIFT);
        SetKeyDown(VK_SHIFT, false);
        RenderScene();
    }
    void PlainClick(const ClientPoint& point)
    {
        Click(g_hViewport, point);
        RenderScene();
    }
    std::wstring Status() { return WindowText(g_hPainterStatus); }
    PaintBrush& Brush() { return g_PaintBrushes.at(static_cast<size_t>(g_SelectedPaintBrush)); }
};

SceneObject MeshBox(const wchar_t* name, float centreX)
{
    SceneObject object = MakeMeshCube(centreX - 1, 0, -1, centreX + 1, 2, 1);
    object.name = name;
    return object;
}

SceneObject PrimitiveBox(const wchar_t* name, float centreX, int r, int g, int b)
{
    SceneObject object = MakePrimitive(PRIMITIVE_CUBE, name, centreX - 1, 0, -1, centreX + 1, 2, 1);
    object.r = r;
    object.g = g;
    object.b = b;
    return object;
}

std::wstring Summary(const std::wstring& name, const std::vector<int>& faces)
{
    std::wstring text = std::to_wstring(faces.size()) + L" face(s) selected\r\nObject: " + name + L"\r\nFace indices: ";
    for (size_t i = 0; i < faces.size() && i < 10; ++i)
        text += (i ? L", " : L"") + std::to_wstring(faces[i]);
    if (faces.size() > 10)
        text += L"... (+" + std::to_wstring(faces.size() - 10) + L" more)";
    return text;
}

bool SameFaceColor(const FaceColor& color, int r, int g, int b)
{
    return color.r == r && color.g == g && color.b == b;
}

} // namespace

// A Join result: a plain click selects one face, the next plain click moves
// the selection, and a click on the only selected face clears it.
TEST_F(PainterInput, PlainClicksSelectOneFaceAndTheOnlySelectedFaceTogglesOff)
{
    Command(ID_MODE_MODELLER);
    g_SceneObjects = {PrimitiveBox(L"Outer", 0, 255, 255, 255), PrimitiveBox(L"Inner", 0, 255, 255, 255)};
    g_SceneObjects[1].minY = 0.5f;
    g_SceneObjects[1].maxY = 1.5f;
    g_SelectedObjects = {0, 1};
    g_SelectedObjectIndex = 0;
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_JOIN);
    ASSERT_EQ(g_SceneObjects.size(), 3u);
    Command(ID_MODE_PAINTER);
    const std::wstring name = g_SceneObjects[2].name;
    Show();
    g_OperationSelection = {2};
    const int a = FaceAt(Top(0, TOP_A), 2);
    const int b = FaceAt(Top(0, TOP_B), 2);
    ASSERT_NE(a, b);

    PlainClick(Top(0, TOP_A));
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_EQ(g_SelectedFaces, std::vector<int>{a});
    EXPECT_EQ(Status(), Summary(name, {a}));

    PlainClick(Top(0, TOP_B));
    EXPECT_EQ(g_SelectedFaces, std::vector<int>{b});

    PlainClick(Top(0, TOP_B));
    EXPECT_TRUE(g_SelectedFaces.empty());
    EXPECT_EQ(Status(), L"No faces selected");
}

// Without a brush Shift+click only adds and removes; faces of a second
// object are refused with a warning that changes nothing.
TEST_F(PainterInput, ShiftClicksAddAndRemoveFacesOfOneObjectOnlyAndTheSummaryCountsThem)
{
    g_SceneObjects = {MeshBox(L"Left", -2.5f), MeshBox(L"Right", 2.5f)};
    g_SelectedPaintBrush = -1;
    Show();
    const int a = FaceAt(Top(-2.5f, TOP_A), 0);
    const int b = FaceAt(Top(-2.5f, TOP_B), 0);

    ShiftClick(Top(-2.5f, TOP_A));
    ShiftClick(Top(-2.5f, TOP_B));
    EXPECT_EQ(g_SelectedFaces, (std::vector<int>{a, b}));
    EXPECT_EQ(Status(), Summary(L"Left", {a, b}));

    QueueModalAnswer(IDOK);
    ShiftClick(Top(2.5f, TOP_A));
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].text, L"Cannot select faces from multiple objects.");
    EXPECT_EQ(g_SelectedFaces, (std::vector<int>{a, b}));

    ShiftClick(Top(-2.5f, TOP_A));
    ShiftClick(Top(-2.5f, TOP_B));
    EXPECT_TRUE(g_SelectedFaces.empty());
    EXPECT_TRUE(g_SceneObjects[0].faceColors.empty());
    EXPECT_TRUE(g_PainterUndoStack.empty());

    // Twelve selected faces: the summary lists the first ten and counts the rest.
    g_SelectedFacesObject = 0;
    for (int face = 0; face < 12; ++face)
        if (face != a)
            g_SelectedFaces.push_back(face);
    std::vector<int> expected = g_SelectedFaces;
    expected.push_back(a);
    ShiftClick(Top(-2.5f, TOP_A));
    EXPECT_EQ(Status(), Summary(L"Left", expected));
    EXPECT_NE(Status().find(L"... (+2 more)"), std::wstring::npos);
}

// A cube converted for vertex editing, its per-face lists then cut short as
// an older conversion left them: each face Shift+clicked is painted at once
// with one undo step, the lists grow to the faces, and the faces the user did
// not paint keep the cube's own colour.
TEST_F(PainterInput, ShiftClickPaintsEachNewFaceWithOneUndoStep)
{
    Command(ID_MODE_MODELLER);
    g_SceneObjects = {PrimitiveBox(L"Green", 0, 0, 200, 0)};
    g_SelectedObjects = {0};
    g_SelectedObjectIndex = 0;
    QueueModalAnswer(IDYES);
    Command(ID_MODE_VERTEXEDITOR);
    ASSERT_TRUE(g_SceneObjects[0].isCSGMesh);
    g_SceneObjects[0].faceColors.clear();
    g_SceneObjects[0].faceTextureScales.resize(1);
    Command(ID_MODE_PAINTER);
    Brush().r = 250;
    Brush().g = 10;
    Brush().b = 20;
    Brush().textureScale = 3.0f;
    Show();
    const int a = FaceAt(Top(0, TOP_A), 0);
    const int b = FaceAt(Top(0, TOP_B), 0);

    ShiftClick(Top(0, TOP_A));
    const SceneObject& cube = g_SceneObjects[0];
    ASSERT_EQ(cube.faceColors.size(), 12u);
    ASSERT_EQ(cube.faceTextureScales.size(), 12u);
    EXPECT_TRUE(SameFaceColor(cube.faceColors[a], 250, 10, 20));
    EXPECT_EQ(cube.faceTextureScales[a], 3.0f);
    EXPECT_TRUE(SameFaceColor(cube.faceColors[b], 0, 200, 0));
    EXPECT_EQ(g_PainterUndoStack.size(), 1u);

    ShiftClick(Top(0, TOP_B));
    EXPECT_TRUE(SameFaceColor(g_SceneObjects[0].faceColors[b], 250, 10, 20));
    EXPECT_EQ(g_PainterUndoStack.size(), 2u);

    // Removing a selected face paints nothing.
    Brush().r = 0;
    ShiftClick(Top(0, TOP_A));
    EXPECT_EQ(g_SelectedFaces, std::vector<int>{b});
    EXPECT_TRUE(SameFaceColor(g_SceneObjects[0].faceColors[a], 250, 10, 20));
    EXPECT_EQ(g_PainterUndoStack.size(), 2u);

    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(SameFaceColor(g_SceneObjects[0].faceColors[a], 250, 10, 20));
    EXPECT_TRUE(SameFaceColor(g_SceneObjects[0].faceColors[b], 0, 200, 0));
}

// No changes nothing; Yes converts in place without an undo step, keeps the
// primitive's colour on every face and selects the clicked face.
TEST_F(PainterInput, ClickOnAPrimitiveAsksBeforeConvertingIt)
{
    g_SceneObjects = {PrimitiveBox(L"Red", 0, 200, 0, 0)};
    g_SceneObjects[0].rotation = Vec3f(0, 30, 0);
    Show();
    const ClientPoint top = Aim(0.1f, 2.0f, 0.1f);
    const int face = FaceAt(top, 0);

    QueueModalAnswer(IDNO);
    PlainClick(top);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"Convert to Mesh");
    EXPECT_NE(g_ModalCalls[0].text.find(L"To paint individual faces"), std::wstring::npos);
    EXPECT_FALSE(g_SceneObjects[0].isCSGMesh);
    EXPECT_TRUE(g_SelectedFaces.empty());

    QueueModalAnswer(IDYES);
    PlainClick(top);
    const SceneObject& mesh = g_SceneObjects[0];
    EXPECT_TRUE(mesh.isCSGMesh);
    EXPECT_EQ(mesh.name, L"[Mesh] Red");
    EXPECT_EQ(mesh.rotation.y, 0.0f);
    EXPECT_EQ(g_SelectedFaces, std::vector<int>{face});
    ASSERT_EQ(mesh.faceColors.size(), 12u);
    EXPECT_TRUE(std::all_of(mesh.faceColors.begin(), mesh.faceColors.end(),
                            [](const FaceColor& c) { return SameFaceColor(c, 200, 0, 0); }));
    EXPECT_TRUE(g_PainterUndoStack.empty());
}

// The hovered face belongs to the object under the cursor: with a face of
// one box selected, hovering the other box lights that box only.
TEST_F(PainterInput, HoverLightsTheFaceUnderTheCursorOnItsOwnObject)
{
    g_SceneObjects = {MeshBox(L"Left", -2.5f), MeshBox(L"Right", 2.5f)};
    Show();
    const int b = FaceAt(Top(2.5f, TOP_B), 1);
    ASSERT_EQ(FaceAt(Top(-2.5f, TOP_B), 0), b);   // the same face index on both boxes
    const Rgb leftBefore = PixelAtWorld(-2.5f + TOP_B[0], 2.0f, TOP_B[1]);
    const Rgb rightBefore = PixelAtWorld(2.5f + TOP_B[0], 2.0f, TOP_B[1]);

    Move(g_hViewport, Top(2.5f, TOP_B), 0);
    EXPECT_EQ(g_HoveredFaceObject, 1);
    EXPECT_EQ(Status(), L"Hovered Face: " + std::to_wstring(b) + L"\r\nObject: Right");

    // A selected face elsewhere keeps the summary; the hover still follows.
    PlainClick(Top(-2.5f, TOP_A));
    Move(g_hViewport, Top(2.5f, TOP_B), 0);
    RenderScene();
    glFinish();
    EXPECT_TRUE(SameColor(PixelAtWorld(-2.5f + TOP_B[0], 2.0f, TOP_B[1]), leftBefore))
        << Describe(PixelAtWorld(-2.5f + TOP_B[0], 2.0f, TOP_B[1]));
    EXPECT_FALSE(SameColor(PixelAtWorld(2.5f + TOP_B[0], 2.0f, TOP_B[1]), rightBefore, 20))
        << Describe(PixelAtWorld(2.5f + TOP_B[0], 2.0f, TOP_B[1]));
    EXPECT_EQ(Status(), Summary(L"Left", {FaceAt(Top(-2.5f, TOP_A), 0)}));

    SendMessageW(g_hPainterPanel, WM_COMMAND, MAKEWPARAM(3022, BN_CLICKED), 0);
    Move(g_hViewport, Aim(0.0f, 0.0f, 6.0f), 0);
    EXPECT_EQ(g_HoveredFace, -1);
    EXPECT_EQ(Status(), L"No face hovered");
}
