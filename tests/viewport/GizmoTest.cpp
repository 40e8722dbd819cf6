#include <cmath>

#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/InputSupport.h"
#include "viewport/GizmoHit.h"
#include "viewport/ObjectTransform.h"

namespace {

// A 2 x 2 x 2 cube about (0, 1, 0), selected, with the given tool.
class GizmoDrag : public ViewportInputTest {
protected:
    void SetUp() override
    {
        ViewportInputTest::SetUp();
        g_SceneObjects.push_back(MakeCube(-1, 0, -1, 1, 2, 1, 200, 0, 0));
        g_SelectedObjects = {0};
        g_SelectedObjectIndex = 0;
    }

    void UseTool(int tool)
    {
        g_CurrentTool = tool;
        RenderFrame();
    }

    // A point n pixels from p along the screen direction of world axis k at
    // the cube's centre.
    ClientPoint AlongAxis(const ClientPoint& p, int axis, float pixels)
    {
        const ClientPoint c = Aim(0.0f, 1.0f, 0.0f);
        const ClientPoint t = Aim(axis == 0 ? 1.0f : 0.0f, axis == 1 ? 2.0f : 1.0f, axis == 2 ? 1.0f : 0.0f);
        const float dx = static_cast<float>(t.x - c.x), dy = static_cast<float>(t.y - c.y);
        const float length = std::sqrt(dx * dx + dy * dy);
        return {p.x + static_cast<int>(std::lround(dx / length * pixels)),
                p.y + static_cast<int>(std::lround(dy / length * pixels))};
    }
};

} // namespace

TEST_F(GizmoDrag, RotationOfTwentyFivePixelsIsOneStep)
{
    UseTool(TOOL_ROTATE);
    // The Y ring at 45 degrees, away from the other two rings.
    const ClientPoint ring = Aim(1.2727922f, 1.0f, 1.2727922f);
    Press(viewport, ring);
    ASSERT_TRUE(g_IsDraggingGizmo);
    EXPECT_EQ(g_GizmoAxis, 1);
    EXPECT_EQ(GetCapture(), viewport);
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);
    g_LastRotationSteps = -9999;
    Move(viewport, Offset(ring, 24, 0), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].rotation.y, 0.0f);
    Move(viewport, Offset(ring, 25, 0), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].rotation.y, 5.0f);
    EXPECT_EQ(CountLogLines(L"ROT: pixels=25 inc=0.500000 rounded=1 deg=5.000000 step=5.000000"), 1);
    Move(viewport, Offset(ring, 30, 0), MK_LBUTTON);
    Move(viewport, Offset(ring, -25, 0), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].rotation.y, -5.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].rotation.x, 0.0f);
    // Steps 0, 1, 1, -1: the repeated 1 logs nothing.
    EXPECT_EQ(CountLogLines(L"ROT: pixels="), 3);
    EXPECT_NEAR(g_SceneObjects[0].orientation.w, std::cos(-5.0 * PI_D / 360.0), 1e-6);
    EXPECT_EQ(CountLogLines(L"OBJ ROT GIZMO: After drag - rotX=0.000000 rotY=-5.000000"), 1);
    Release(viewport, Offset(ring, -25, 0));
    EXPECT_FALSE(g_IsDraggingGizmo);
    EXPECT_EQ(g_GizmoAxis, -1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);

    // A new drag starting on the step count logged last writes no step line.
    RenderFrame();
    Press(viewport, ring);
    ASSERT_TRUE(g_IsDraggingGizmo);
    Move(viewport, Offset(ring, -25, 0), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].rotation.y, -10.0f);
    EXPECT_EQ(CountLogLines(L"ROT: pixels="), 3);
    Release(viewport, Offset(ring, -25, 0));
    EXPECT_EQ(g_ModellerUndoStack.size(), 2u);
}

TEST_F(GizmoDrag, MoveWithSnappingIsAWholeNumberOfCellsAlongTheHandle)
{
    UseTool(TOOL_MOVE);
    const ClientPoint arrow = Aim(2.0f, 1.0f, 0.0f);
    Press(viewport, arrow);
    ASSERT_TRUE(g_IsDraggingGizmo);
    EXPECT_EQ(g_GizmoAxis, 0);
    // 40 pixels at distance 15 are about 6 units.
    Move(viewport, AlongAxis(arrow, 0, 40.0f), MK_LBUTTON);
    const SceneObject& cube = g_SceneObjects[0];
    EXPECT_FLOAT_EQ(cube.minX, 5.0f);
    EXPECT_FLOAT_EQ(cube.maxX, 7.0f);
    EXPECT_FLOAT_EQ(cube.minY, 0.0f);
    EXPECT_FLOAT_EQ(cube.minZ, -1.0f);
    // Back where it started: the result depends on the cursor only.
    Move(viewport, arrow, MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, -1.0f);
    Release(viewport, arrow);
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);
}

TEST_F(GizmoDrag, MoveWithoutSnappingFollowsTheCursor)
{
    g_SnapToGrid = false;
    UseTool(TOOL_MOVE);
    const ClientPoint arrow = Aim(0.0f, 3.0f, 0.0f);
    Press(viewport, arrow);
    ASSERT_EQ(g_GizmoAxis, 1);
    Move(viewport, AlongAxis(arrow, 1, 10.0f), MK_LBUTTON);
    EXPECT_NEAR(g_SceneObjects[0].minY, 1.5f, 0.12f);
    EXPECT_NE(g_SceneObjects[0].minY, 1.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxY - g_SceneObjects[0].minY, 2.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, -1.0f);
}

TEST_F(GizmoDrag, ScaleKeepsAtLeastOneCellOrATenthAndLinksAllSides)
{
    UseTool(TOOL_SCALE);
    const ClientPoint handle = Aim(2.5f, 1.0f, 0.0f);
    Press(viewport, handle);
    ASSERT_TRUE(g_IsDraggingGizmo);
    ASSERT_EQ(g_GizmoAxis, 0);
    Move(viewport, AlongAxis(handle, 0, 20.0f), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, -4.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX, 4.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxY, 2.0f);
    Move(viewport, AlongAxis(handle, 0, -200.0f), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX - g_SceneObjects[0].minX, 1.0f);
    g_SnapToGrid = false;
    Move(viewport, AlongAxis(handle, 0, -200.0f), MK_LBUTTON);
    EXPECT_NEAR(g_SceneObjects[0].maxX - g_SceneObjects[0].minX, 0.1f, 1e-6);
    g_LinkScaling = true;
    g_SnapToGrid = true;
    Move(viewport, AlongAxis(handle, 0, 20.0f), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxX - g_SceneObjects[0].minX, 8.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxY - g_SceneObjects[0].minY, 8.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].maxZ - g_SceneObjects[0].minZ, 8.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minY, -3.0f);
    Release(viewport, handle);
}

TEST_F(GizmoDrag, MoveWithoutTheButtonEndsTheDrag)
{
    UseTool(TOOL_MOVE);
    const ClientPoint arrow = Aim(2.0f, 1.0f, 0.0f);
    Press(viewport, arrow);
    ASSERT_TRUE(g_IsDraggingGizmo);
    // The release was lost; a later move without the button must not drag.
    Move(viewport, AlongAxis(arrow, 0, 40.0f), 0);
    EXPECT_FALSE(g_IsDraggingGizmo);
    EXPECT_FALSE(g_IsCreateDragging);
    EXPECT_EQ(g_GizmoAxis, -1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, -1.0f);
}

TEST_F(GizmoDrag, CameraDragEndsOnAMoveWithoutItsButton)
{
    SendMessageW(viewport, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 100));
    SendMessageW(viewport, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(110, 100));
    const float yaw = g_CameraYaw;
    EXPECT_NE(yaw, 45.0f);
    SendMessageW(viewport, WM_MOUSEMOVE, 0, MAKELPARAM(200, 100));
    EXPECT_FALSE(g_IsRightDragging);
    EXPECT_FLOAT_EQ(g_CameraYaw, yaw);
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageW(viewport, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(100, 100));
    SendMessageW(viewport, WM_MOUSEMOVE, 0, MAKELPARAM(100, 300));
    EXPECT_FALSE(g_IsMiddleDragging);
    EXPECT_FLOAT_EQ(g_CameraTargetY, 0.0f);
}

TEST_F(GizmoDrag, GroupDragMovesEverySelectedObject)
{
    SceneObject mesh = MakeMeshCube(3, 0, 3, 4, 1, 4);
    g_SceneObjects.push_back(mesh);
    g_SceneObjects.push_back(MakeCube(-4, 0, -4, -3, 1, -3, 0, 0, 200));
    g_Groups.push_back(Group());
    g_SelectedGroup = 0;
    g_SelectedObjects = {0, 1, 5};
    UseTool(TOOL_MOVE);
    const ClientPoint arrow = Aim(2.0f, 1.0f, 0.0f);
    Press(viewport, arrow);
    ASSERT_TRUE(g_IsDraggingGizmo);
    EXPECT_EQ(g_DragStartStates.size(), 2u);
    Move(viewport, AlongAxis(arrow, 0, 40.0f), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_SceneObjects[0].minX, 5.0f);
    EXPECT_FLOAT_EQ(g_SceneObjects[1].minX, 9.0f);
    EXPECT_NEAR(g_SceneObjects[1].V.col(0).minCoeff(), 9.0, 1e-5);
    // Not selected: stays.
    EXPECT_FLOAT_EQ(g_SceneObjects[2].minX, -4.0f);
    Release(viewport, arrow);
}

TEST_F(GizmoDrag, AxisPickTakesTheFirstAxisThatPassesAndNoneBehindTheCentre)
{
    int axis = -1;
    float t = 0.0f;
    // This ray passes within reach of both the x and the y axis: x comes first.
    const ClientPoint centre = Aim(0.3f, 1.0f, 0.0f);
    ASSERT_TRUE(PickGizmoAxis(centre.x, centre.y, 0.0f, 1.0f, 0.0f, 1.5f, &axis, &t));
    EXPECT_EQ(axis, 0);
    EXPECT_GT(t, 0.0f);
    const ClientPoint alongZ = Aim(0.0f, 1.0f, 1.9f);
    ASSERT_TRUE(PickGizmoAxis(alongZ.x, alongZ.y, 0.0f, 1.0f, 0.0f, 1.5f, &axis, &t));
    EXPECT_EQ(axis, 2);
    const ClientPoint beyond = Aim(0.0f, 1.0f, 2.6f);
    axis = 7;
    EXPECT_FALSE(PickGizmoAxis(beyond.x, beyond.y, 0.0f, 1.0f, 0.0f, 1.5f, &axis, &t));
    EXPECT_EQ(axis, 7);
    const ClientPoint behind = Aim(0.0f, 1.0f, -1.0f);
    EXPECT_FALSE(PickGizmoAxis(behind.x, behind.y, 0.0f, 1.0f, 0.0f, 1.5f, &axis, &t));
}
