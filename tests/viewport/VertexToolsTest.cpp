// The Vertex Editor in the viewport: vertex and object clicks, the gizmo
// drag, Add Vertex on an edge and in a face, Remove Vertices, and the
// conversion of primitives each path offers, with the questions answered
// through the modal seam.
#include <cmath>

#include "app/CsgCommands.h"
#include "app/Modal.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/InputSupport.h"

namespace {

const Eigen::RowVector3d CUBE_VERTEX_6(1, 2, 1);

class VertexTools : public ViewportInputTest {
protected:
    void SetUp() override
    {
        ViewportInputTest::SetUp();
        g_ModalScripted = true;
        g_ModalAnswers.clear();
        g_ModalCalls.clear();
        g_ModalUnexpectedCalls = 0;
        g_CurrentMode = MODE_VERTEX_EDITOR;
        SceneObject cube = MakeMeshCube(-1, 0, -1, 1, 2, 1);
        cube.name = L"Box";
        g_SceneObjects.push_back(cube);
        g_SelectedObjects = {0};
        g_SelectedObjectIndex = 0;
        RenderFrame();
    }
    void TearDown() override
    {
        EXPECT_EQ(g_ModalUnexpectedCalls, 0);
        EXPECT_TRUE(g_ModalAnswers.empty());
        g_ModalScripted = false;
        ViewportInputTest::TearDown();
    }

    ClientPoint AimVertex(int object, int vertex)
    {
        const Eigen::MatrixXd& V = g_SceneObjects[object].V;
        return Aim(static_cast<float>(V(vertex, 0)), static_cast<float>(V(vertex, 1)), static_cast<float>(V(vertex, 2)));
    }
    void Answer(int button) { g_ModalAnswers.push_back({button, L"", 0}); }
    void PaintFacesByIndex(SceneObject& object)
    {
        for (int f = 0; f < object.F.rows(); ++f) {
            object.faceColors.emplace_back(f, 0, 0);
            object.faceTextureIDs.push_back(-1);
            object.faceTextureScales.push_back(1.0f);
        }
    }
    // A press on the vertex gizmo's x handle, the tool set to Move Vertex.
    void PressXHandle(const Eigen::RowVector3d& centroid)
    {
        g_CurrentTool = TOOL_MOVE;
        RenderFrame();
        Press(viewport, Aim(static_cast<float>(centroid(0)) + 0.9f, static_cast<float>(centroid(1)),
                            static_cast<float>(centroid(2))));
    }
};

// pixels along the screen direction from one client point to another.
ClientPoint Along(const ClientPoint& start, const ClientPoint& from, const ClientPoint& to, double pixels)
{
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    return {start.x + static_cast<int>(std::lround(dx / length * pixels)),
            start.y + static_cast<int>(std::lround(dy / length * pixels))};
}

} // namespace

TEST_F(VertexTools, ClicksAndShiftClicksSelectVerticesAndEmptySpaceClears)
{
    Click(viewport, AimVertex(0, 6));
    EXPECT_EQ(g_SelectedVertices, (std::vector<std::pair<int, int>>{{0, 6}}));

    SetKeyDown(VK_SHIFT, true);
    Click(viewport, AimVertex(0, 2), MK_SHIFT);
    EXPECT_EQ(g_SelectedVertices, (std::vector<std::pair<int, int>>{{0, 6}, {0, 2}}));
    EXPECT_EQ(g_SelectedVertexIndex, 6);
    Click(viewport, AimVertex(0, 6), MK_SHIFT);
    EXPECT_EQ(g_SelectedVertices, (std::vector<std::pair<int, int>>{{0, 2}}));
    EXPECT_EQ(g_SelectedVertexIndex, 2);

    // Shift on empty space keeps everything; a plain click clears both selections.
    const ClientPoint sky = Offset(Aim(0, 0, 0), 0, -200);
    Click(viewport, sky, MK_SHIFT);
    EXPECT_EQ(g_SelectedVertices.size(), 1u);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{0});
    SetKeyDown(VK_SHIFT, false);
    Click(viewport, sky);
    EXPECT_TRUE(g_SelectedVertices.empty());
    EXPECT_TRUE(g_SelectedObjects.empty());
}

TEST_F(VertexTools, SnappedDragMovesWholeCellsPerEventAndRefitsTheBounds)
{
    g_SelectedVertices = {{0, 6}, {0, 5}};
    const Eigen::RowVector3d centroid(1, 1, 1);
    PressXHandle(centroid);
    ASSERT_TRUE(g_IsDraggingGizmo);
    EXPECT_EQ(g_GizmoAxis, 0);

    const ClientPoint pressed = Aim(1.9f, 1.0f, 1.0f);
    const ClientPoint tip = Aim(2.9f, 1.0f, 1.0f);
    // Slow: two pixels per event round to nothing, every time.
    ClientPoint at = pressed;
    for (int i = 1; i <= 10; ++i) {
        at = Along(pressed, pressed, tip, 2.0 * i);
        Move(viewport, at, MK_LBUTTON);
        RenderFrame();
    }
    EXPECT_EQ(g_SceneObjects[0].V.row(6), CUBE_VERTEX_6);
    // Fast: each event moves by a whole number of cells, at least one.
    double last = 1.0;
    for (int i = 1; i <= 3; ++i) {
        at = Along(at, pressed, tip, 25.0);
        Move(viewport, at, MK_LBUTTON);
        RenderFrame();
        const double x = g_SceneObjects[0].V(6, 0);
        EXPECT_GE(x - last, 1.0);
        EXPECT_DOUBLE_EQ(x - last, std::round(x - last));
        last = x;
    }
    EXPECT_DOUBLE_EQ(g_SceneObjects[0].V(5, 0), last);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX, static_cast<float>(last));
    Release(viewport, at);
    EXPECT_FALSE(g_IsDraggingGizmo);
}

TEST_F(VertexTools, GizmoConversionOfPrimitiveOwnersAndNoDragWithTheButtonUp)
{
    SceneObject primitive = MakeCube(-1, 0, -1, 1, 2, 1, 200, 0, 0);
    primitive.name = L"Red";
    g_SceneObjects[0] = primitive;
    g_SelectedVertices = {{0, 6}};

    Answer(IDNO);
    PressXHandle(CUBE_VERTEX_6);
    EXPECT_FALSE(g_IsDraggingGizmo);
    EXPECT_FALSE(g_SceneObjects[0].isCSGMesh);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    Release(viewport, Aim(0, 0, 0));

    Answer(IDYES);
    PressXHandle(CUBE_VERTEX_6);
    EXPECT_TRUE(g_SceneObjects[0].isCSGMesh);
    EXPECT_EQ(g_VertexUndoStack.size(), 1u);
    ASSERT_TRUE(g_IsDraggingGizmo);
    // The button came up while the question was open: the first move ends
    // the drag instead of moving the vertex after a hovering mouse.
    Move(viewport, Aim(3, 1, 1), 0);
    EXPECT_FALSE(g_IsDraggingGizmo);
    EXPECT_EQ(g_SceneObjects[0].V.row(6), CUBE_VERTEX_6);
}

TEST_F(VertexTools, EdgeSplitNeedsAnEdgeAndKeepsAPaintedCubeClosedAndJoinable)
{
    PaintFacesByIndex(g_SceneObjects[0]);
    g_CurrentTool = TOOL_ADD_VERTEX;
    g_SelectedVertices = {{0, 0}, {0, 6}};
    Click(viewport, Aim(1, 2, 0));
    // Vertices 2 and 6 bound the top and the right face; a click far from
    // their edge adds nothing.
    g_SelectedVertices = {{0, 2}, {0, 6}};
    Click(viewport, Offset(Aim(0, 0, 0), 0, -200));
    EXPECT_EQ(g_SceneObjects[0].V.rows(), 8);
    Click(viewport, Aim(1, 2, 0));
    const SceneObject& cube = g_SceneObjects[0];
    ASSERT_EQ(cube.V.rows(), 9);
    EXPECT_EQ(cube.F.rows(), 14);
    EXPECT_NEAR(cube.V(8, 2), 0.0, 0.05);
    EXPECT_TRUE(IsClosedAndConsistent(cube.F));
    EXPECT_NEAR(SignedVolume(cube.V, cube.F), 8.0, 1e-9);
    // Faces 7 and 10 held the edge: each became two faces with its paint.
    const int parents[] = {0, 1, 2, 3, 4, 5, 6, 7, 7, 8, 9, 10, 10, 11};
    ASSERT_EQ(cube.faceColors.size(), 14u);
    for (int f = 0; f < 14; ++f)
        EXPECT_EQ(cube.faceColors[f].r, parents[f]) << "face " << f;

    g_SceneObjects.push_back(MakeMeshCube(0, 0, 0, 2, 2, 2));
    g_SelectedObjects = {0, 1};
    JoinSelectedObjects();
    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_TRUE(IsClosedAndConsistent(g_SceneObjects[2].F));
    EXPECT_NEAR(SignedVolume(g_SceneObjects[2].V, g_SceneObjects[2].F), 14.0, 1e-6);
}

TEST_F(VertexTools, FaceSplitOfAPrimitiveConvertsItAndGivesThreeRows)
{
    SceneObject primitive = MakeCube(-1, 0, -1, 1, 2, 1, 200, 0, 0);
    primitive.name = L"Red";
    g_SceneObjects[0] = primitive;
    g_CurrentTool = TOOL_ADD_VERTEX;
    RenderFrame();
    Click(viewport, Aim(0.5f, 2.0f, 0.2f));
    const SceneObject& mesh = g_SceneObjects[0];
    ASSERT_TRUE(mesh.isCSGMesh);
    EXPECT_EQ(mesh.name, L"[Mesh] Red");
    ASSERT_EQ(mesh.V.rows(), 9);
    ASSERT_EQ(mesh.F.rows(), 14);
    EXPECT_NEAR(mesh.V(8, 0), 0.5, 0.05);
    EXPECT_NEAR(mesh.V(8, 1), 2.0, 1e-4);
    int rowsWithNewVertex = 0, first = -1;
    for (int f = 0; f < mesh.F.rows(); ++f)
        if ((mesh.F.row(f).array() == 8).any()) {
            ++rowsWithNewVertex;
            first = first < 0 ? f : first;
        }
    EXPECT_EQ(rowsWithNewVertex, 3);
    EXPECT_EQ(mesh.F(first + 2, 2), 8);
    EXPECT_TRUE(IsClosedAndConsistent(mesh.F));
    // Converted with the object's colour: every face keeps it.
    ASSERT_EQ(mesh.faceColors.size(), 14u);
    EXPECT_EQ(mesh.faceColors[13].r, 200);
    EXPECT_EQ(g_VertexUndoStack.size(), 2u);
}

TEST_F(VertexTools, RemovalAsksThenDropsTheVertexWithItsFacesConvertingAPrimitiveFirst)
{
    PaintFacesByIndex(g_SceneObjects[0]);
    g_CurrentTool = TOOL_REMOVE_VERTEX;
    Answer(IDNO);
    Click(viewport, AimVertex(0, 3));
    EXPECT_EQ(g_SceneObjects[0].V.rows(), 8);
    EXPECT_TRUE(g_SelectedVertices.empty());

    Answer(IDYES);
    Click(viewport, AimVertex(0, 3));
    ASSERT_EQ(g_ModalCalls.size(), 2u);
    EXPECT_EQ(g_ModalCalls[1].caption, L"Confirm Vertex Removal");
    const SceneObject& mesh = g_SceneObjects[0];
    EXPECT_EQ(mesh.V.rows(), 7);
    EXPECT_EQ(mesh.F.rows(), 9);
    // Faces 1, 6 and 9 used vertex 3: the rest keep their paint in order.
    const int kept[] = {0, 2, 3, 4, 5, 7, 8, 10, 11};
    ASSERT_EQ(mesh.faceColors.size(), 9u);
    for (int f = 0; f < 9; ++f)
        EXPECT_EQ(mesh.faceColors[f].r, kept[f]);
    EXPECT_EQ(g_VertexUndoStack.size(), 1u);

    // A primitive's vertex: the object is converted first, a step for each.
    SceneObject primitive = MakeCube(-1, 0, -1, 1, 2, 1, 200, 0, 0);
    primitive.name = L"Red";
    g_SceneObjects[0] = primitive;
    RenderFrame();
    Answer(IDYES);
    Click(viewport, Aim(-1, 2, -1));
    ASSERT_TRUE(mesh.isCSGMesh);
    EXPECT_EQ(mesh.V.rows(), 7);
    EXPECT_EQ(mesh.faceColors.size(), 9u);
    EXPECT_EQ(CountLogLines(L"Converted"), 0);
    EXPECT_EQ(g_VertexUndoStack.size(), 3u);
}

TEST_F(VertexTools, ObjectClickOffersTheConversionAndNoClearsTheSelection)
{
    SceneObject primitive = MakeCube(2, 0, -1, 4, 2, 1, 0, 0, 200);
    primitive.name = L"Blue";
    g_SceneObjects.push_back(primitive);
    RenderFrame();

    Answer(IDNO);
    Click(viewport, Aim(3, 2, 0));
    EXPECT_FALSE(g_SceneObjects[1].isCSGMesh);
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_GE(CountCalls("ClearTreeSelection"), 1);

    Answer(IDYES);
    Click(viewport, Aim(3, 2, 0));
    ASSERT_EQ(g_ModalCalls.size(), 2u);
    EXPECT_EQ(g_ModalCalls[1].text.rfind(L"Object \"Blue\" is a primitive.", 0), 0u);
    EXPECT_TRUE(g_SceneObjects[1].isCSGMesh);
    EXPECT_EQ(g_SceneObjects[1].name, L"Blue");
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{1});
    EXPECT_EQ(g_HookRecord.selectedTreeItems.back(), 1);
    EXPECT_FALSE(g_HookRecord.guardWhileSelecting.back());
    EXPECT_EQ(g_VertexUndoStack.size(), 1u);
}
