#include "scene/PrimitiveCreation.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/InputSupport.h"

namespace {

using CreationInput = ViewportInputTest;

void ExpectBounds(const SceneObject& object, float minX, float minY, float minZ, float maxX, float maxY, float maxZ)
{
    EXPECT_FLOAT_EQ(object.minX, minX);
    EXPECT_FLOAT_EQ(object.minY, minY);
    EXPECT_FLOAT_EQ(object.minZ, minZ);
    EXPECT_FLOAT_EQ(object.maxX, maxX);
    EXPECT_FLOAT_EQ(object.maxY, maxY);
    EXPECT_FLOAT_EQ(object.maxZ, maxZ);
}

} // namespace

TEST_F(CreationInput, DraggedCubeGetsTheGridCornersAndTheRaisedHeight)
{
    BeginPrimitiveCreation(PRIMITIVE_CUBE);
    const ClientPoint start = Aim(-1.0f, 0.0f, -1.0f);
    const ClientPoint end = Aim(2.0f, 0.0f, 1.0f);
    Press(viewport, start);
    EXPECT_EQ(g_CreateStage, STAGE_BASE);
    EXPECT_TRUE(g_IsCreateDragging);
    EXPECT_EQ(GetCapture(), viewport);
    EXPECT_EQ(CountLogLines(L"ENTERED: Create mode block"), 1);
    RenderFrame();
    Move(viewport, end, MK_LBUTTON);
    RenderFrame();
    Release(viewport, end);
    EXPECT_EQ(g_CreateStage, STAGE_HEIGHT);
    EXPECT_FALSE(g_IsCreateDragging);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(CountLogLines(L"LBUTTONUP in STAGE_BASE, primitive type: 0"), 1);
    // 100 pixels up at distance 15 raise the box by 15 units.
    Move(viewport, Offset(end, 0, -100), 0);
    RenderFrame();
    EXPECT_EQ(g_CreateStage, STAGE_HEIGHT);
    EXPECT_FLOAT_EQ(g_CreateHeight, 15.0f);
    EXPECT_TRUE(g_ModellerUndoStack.empty());
    Press(viewport, Offset(end, 0, -100));
    Release(viewport, Offset(end, 0, -100));

    ASSERT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_SceneObjects[0].name, L"Cube_1");
    EXPECT_EQ(g_SceneObjects[0].type, PRIMITIVE_CUBE);
    ExpectBounds(g_SceneObjects[0], -1.0f, 0.0f, -1.0f, 2.0f, 15.0f, 1.0f);
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    EXPECT_EQ(g_CreateStage, STAGE_NONE);
    EXPECT_FALSE(g_IsInCreateMode);
    EXPECT_EQ(g_CurrentTool, TOOL_SELECT);
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);
}

TEST_F(CreationInput, PressAndReleaseInOneLoopPassMakeTheObjectWhereDragged)
{
    BeginPrimitiveCreation(PRIMITIVE_CUBE);
    const ClientPoint start = Aim(1.0f, 0.0f, 1.0f);
    const ClientPoint end = Aim(3.0f, 0.0f, -2.0f);
    // No frame between the press and the click that finishes.
    Press(viewport, start);
    Move(viewport, end, MK_LBUTTON);
    Release(viewport, end);
    Move(viewport, Offset(end, 0, -20), 0);
    Click(viewport, Offset(end, 0, -20));
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    ExpectBounds(g_SceneObjects[0], 1.0f, 0.0f, -2.0f, 3.0f, 3.0f, 1.0f);
}

TEST_F(CreationInput, CornersSnapToGridLinesOnlyWhileSnapping)
{
    BeginPrimitiveCreation(PRIMITIVE_CUBE);
    Press(viewport, Aim(0.3f, 0.0f, -0.4f));
    Move(viewport, Aim(1.6f, 0.0f, 2.4f), MK_LBUTTON);
    RenderFrame();
    EXPECT_FLOAT_EQ(g_CreateStartX, 0.0f);
    EXPECT_FLOAT_EQ(g_CreateStartZ, 0.0f);
    EXPECT_FLOAT_EQ(g_CreateEndX, 2.0f);
    EXPECT_FLOAT_EQ(g_CreateEndZ, 2.0f);
    Release(viewport, Aim(1.6f, 0.0f, 2.4f));
    SendMessageW(viewport, WM_KEYDOWN, VK_ESCAPE, 0);

    g_SnapToGrid = false;
    BeginPrimitiveCreation(PRIMITIVE_CUBE);
    Press(viewport, Aim(0.3f, 0.0f, -0.4f));
    RenderFrame();
    EXPECT_NEAR(g_CreateStartX, 0.3f, 0.05f);
    EXPECT_NEAR(g_CreateStartZ, -0.4f, 0.05f);
    EXPECT_NE(g_CreateStartX, 0.0f);
}

TEST_F(CreationInput, HeightBelowTheStartIsOneCellWithSnappingAndZeroWithout)
{
    BeginPrimitiveCreation(PRIMITIVE_CYLINDER);
    const ClientPoint end = Aim(2.0f, 0.0f, 2.0f);
    Press(viewport, Aim(0.0f, 0.0f, 0.0f));
    Move(viewport, end, MK_LBUTTON);
    Release(viewport, end);
    Move(viewport, Offset(end, 0, 60), 0);
    EXPECT_FLOAT_EQ(g_CreateHeight, 1.0f);
    // 17 pixels at distance 15 are 2.55 units: rounded to three cells.
    Move(viewport, Offset(end, 0, -17), 0);
    EXPECT_FLOAT_EQ(g_CreateHeight, 3.0f);

    g_SnapToGrid = false;
    Move(viewport, Offset(end, 0, 60), 0);
    EXPECT_FLOAT_EQ(g_CreateHeight, 0.0f);
    Move(viewport, Offset(end, 0, -10), 0);
    EXPECT_FLOAT_EQ(g_CreateHeight, 1.5f);
    EXPECT_EQ(g_CreateStage, STAGE_HEIGHT);
}

TEST_F(CreationInput, KnifeIsATwoByTwoSquareAboutThePress)
{
    BeginPrimitiveCreation(PRIMITIVE_KNIFE);
    Press(viewport, Aim(1.0f, 0.0f, 1.0f));
    Move(viewport, Aim(4.0f, 0.0f, -3.0f), MK_LBUTTON);
    Release(viewport, Aim(4.0f, 0.0f, -3.0f));
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    ExpectBounds(g_SceneObjects[0], 0.0f, 0.0f, 0.0f, 2.0f, 0.5f, 2.0f);
    EXPECT_EQ(CountLogLines(L"=== KNIFE CREATION HANDLER FIRED ==="), 1);
    EXPECT_EQ(CountLogLines(L"Center position: X=1.000000 Z=1.000000"), 1);
    EXPECT_EQ(CountLogLines(L"  X: 0.000000 to 2.000000"), 1);
    EXPECT_EQ(CountLogLines(L"  Y: 0.000000 to 0.500000"), 1);
    EXPECT_EQ(g_CreateStage, STAGE_NONE);
}

TEST_F(CreationInput, SphereIsMadeByTheReleaseAndControlKeepsTheTypeArmed)
{
    g_HookRecord.ctrlDown = true;
    BeginPrimitiveCreation(PRIMITIVE_SPHERE);
    Press(viewport, Aim(0.0f, 0.0f, 0.0f));
    Move(viewport, Aim(2.0f, 0.0f, 2.0f), MK_LBUTTON);
    Release(viewport, Aim(2.0f, 0.0f, 2.0f));
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_SceneObjects[0].name, L"Sphere_1");
    ExpectBounds(g_SceneObjects[0], 0.0f, 0.0f, 0.0f, 2.0f, 2.0f, 2.0f);
    EXPECT_TRUE(g_IsInCreateMode);
    EXPECT_EQ(g_CreateStage, STAGE_NONE);

    g_HookRecord.ctrlDown = false;
    Press(viewport, Aim(-3.0f, 0.0f, -3.0f));
    EXPECT_EQ(g_CreateStage, STAGE_BASE);
    Move(viewport, Aim(-1.0f, 0.0f, -1.0f), MK_LBUTTON);
    Release(viewport, Aim(-1.0f, 0.0f, -1.0f));
    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_FALSE(g_IsInCreateMode);
    Press(viewport, Aim(-3.0f, 0.0f, 3.0f));
    EXPECT_EQ(g_CreateStage, STAGE_NONE);
    EXPECT_EQ(g_ModellerUndoStack.size(), 2u);
}

TEST_F(CreationInput, MoveWithoutTheButtonEndsTheBaseDragButNotTheHeightStage)
{
    BeginPrimitiveCreation(PRIMITIVE_CUBE);
    const ClientPoint end = Aim(2.0f, 0.0f, 2.0f);
    Press(viewport, Aim(0.0f, 0.0f, 0.0f));
    Move(viewport, end, MK_LBUTTON);
    // The release was lost: the next move has no left button.
    Move(viewport, Offset(end, 0, -20), 0);
    EXPECT_FALSE(g_IsCreateDragging);
    EXPECT_EQ(g_CreateStage, STAGE_HEIGHT);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(CountLogLines(L"LBUTTONUP in STAGE_BASE"), 1);
    // The height counts from where the drag ended.
    EXPECT_FLOAT_EQ(g_CreateHeight, 1.0f);
    Move(viewport, Offset(end, 0, -40), 0);
    EXPECT_EQ(g_CreateStage, STAGE_HEIGHT);
    EXPECT_FLOAT_EQ(g_CreateHeight, 3.0f);
    Click(viewport, Offset(end, 0, -40));
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    ExpectBounds(g_SceneObjects[0], 0.0f, 0.0f, 0.0f, 2.0f, 3.0f, 2.0f);
}

TEST_F(CreationInput, BaseDragPressMovesNoCameraAndSelectsNothing)
{
    g_SceneObjects.push_back(MakeCube(-1, 0, -1, 1, 2, 1, 200, 0, 0));
    g_SelectedObjects = {0};
    BeginPrimitiveCreation(PRIMITIVE_CUBE);
    const float yaw = g_CameraYaw;
    Press(viewport, Aim(0.0f, 2.0f, 0.0f));
    Move(viewport, Aim(3.0f, 0.0f, 3.0f), MK_LBUTTON);
    EXPECT_FLOAT_EQ(g_CameraYaw, yaw);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{0});
    EXPECT_TRUE(g_ModellerUndoStack.empty());
    EXPECT_EQ(CountLogLines(L"PickObject called"), 0);
}
