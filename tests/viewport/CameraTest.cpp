#include <GL/gl.h>

#include <cmath>

#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/ViewportTestSupport.h"
#include "viewport/Camera.h"
#include "viewport/ViewProjection.h"

namespace {

using CameraInput = ViewportTest;

const float PI_F = 3.1415927f;

void Wheel(HWND window, int delta)
{
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), 0);
}

LPARAM Point(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// Whether the ray passes through the box (slab test).
bool RayHitsBox(const Ray& ray, float minX, float minY, float minZ, float maxX, float maxY, float maxZ)
{
    const float origin[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const float direction[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    const float low[3] = {minX, minY, minZ}, high[3] = {maxX, maxY, maxZ};
    float enter = -1e30f, leave = 1e30f;
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(direction[i]) < 1e-12f) {
            if (origin[i] < low[i] || origin[i] > high[i])
                return false;
            continue;
        }
        float t0 = (low[i] - origin[i]) / direction[i], t1 = (high[i] - origin[i]) / direction[i];
        if (t0 > t1)
            std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
    }
    return enter <= leave && leave > 0.0f;
}

} // namespace

TEST_F(CameraInput, WheelNotchChangesTheDistanceByOneAndStopsAtTheFloor)
{
    Wheel(viewport, -120);
    EXPECT_FLOAT_EQ(g_CameraDistance, 16.0f);
    Wheel(viewport, 240);
    EXPECT_FLOAT_EQ(g_CameraDistance, 14.0f);
    for (int i = 0; i < 20; ++i)
        Wheel(viewport, 120);
    EXPECT_FLOAT_EQ(g_CameraDistance, MIN_CAMERA_DISTANCE);
    Wheel(viewport, -120);
    EXPECT_FLOAT_EQ(g_CameraDistance, MIN_CAMERA_DISTANCE + 1.0f);
}

TEST_F(CameraInput, RightDragOrbitsHalfADegreePerPixel)
{
    SendMessageW(viewport, WM_RBUTTONDOWN, MK_RBUTTON, Point(100, 100));
    EXPECT_TRUE(g_IsRightDragging);
    EXPECT_EQ(GetCapture(), viewport);
    SendMessageW(viewport, WM_MOUSEMOVE, MK_RBUTTON, Point(120, 90));
    EXPECT_FLOAT_EQ(g_CameraYaw, 55.0f);
    EXPECT_FLOAT_EQ(g_CameraPitch, 35.0f);
    // Leaving the window to the left keeps orbiting with negative points.
    SendMessageW(viewport, WM_MOUSEMOVE, MK_RBUTTON, Point(-20, 90));
    EXPECT_FLOAT_EQ(g_CameraYaw, -15.0f);
    SendMessageW(viewport, WM_MOUSEMOVE, MK_RBUTTON, Point(-20, -400));
    EXPECT_FLOAT_EQ(g_CameraPitch, 89.0f);
    SendMessageW(viewport, WM_RBUTTONUP, 0, Point(-20, -400));
    EXPECT_FALSE(g_IsRightDragging);
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageW(viewport, WM_MOUSEMOVE, 0, Point(300, 300));
    EXPECT_FLOAT_EQ(g_CameraYaw, -15.0f);
    EXPECT_FLOAT_EQ(g_CameraPitch, 89.0f);
}

TEST_F(CameraInput, ShiftRightDragAndMiddleDragPan)
{
    g_CameraYaw = 0.0f;
    g_CameraPitch = 0.0f;
    g_CameraDistance = 10.0f;
    SetKeyDown(VK_SHIFT, true);
    SendMessageW(viewport, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, Point(100, 100));
    SendMessageW(viewport, WM_MOUSEMOVE, MK_RBUTTON | MK_SHIFT, Point(0, 100));
    EXPECT_NEAR(g_CameraTargetX, 2.0f, 1e-5f);
    EXPECT_NEAR(g_CameraTargetY, 0.0f, 1e-5f);
    EXPECT_NEAR(g_CameraTargetZ, 0.0f, 1e-5f);
    SendMessageW(viewport, WM_RBUTTONUP, 0, Point(0, 100));
    SetKeyDown(VK_SHIFT, false);

    g_CameraTargetX = 0.0f;
    SendMessageW(viewport, WM_MBUTTONDOWN, MK_MBUTTON, Point(50, 50));
    EXPECT_TRUE(g_IsMiddleDragging);
    SendMessageW(viewport, WM_MOUSEMOVE, MK_MBUTTON, Point(50, 150));
    EXPECT_NEAR(g_CameraTargetX, 0.0f, 1e-5f);
    EXPECT_NEAR(g_CameraTargetY, 0.0f, 1e-5f);
    EXPECT_NEAR(g_CameraTargetZ, -2.0f, 1e-5f);
    SendMessageW(viewport, WM_MBUTTONUP, 0, Point(50, 150));
    EXPECT_FALSE(g_IsMiddleDragging);
    EXPECT_FLOAT_EQ(g_CameraYaw, 0.0f);
    EXPECT_FLOAT_EQ(g_CameraPitch, 0.0f);
}

TEST_F(CameraInput, ShiftCtrlRightDragMovesStraightUpOrDownWhateverThePitch)
{
    g_CameraPitch = 60.0f;
    g_CameraDistance = 10.0f;
    SetKeyDown(VK_SHIFT, true);
    SetKeyDown(VK_CONTROL, true);
    SendMessageW(viewport, WM_RBUTTONDOWN, MK_RBUTTON, Point(100, 100));
    SendMessageW(viewport, WM_MOUSEMOVE, MK_RBUTTON, Point(100, 150));
    EXPECT_FLOAT_EQ(g_CameraTargetX, 0.0f);
    EXPECT_NEAR(g_CameraTargetY, -1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(g_CameraTargetZ, 0.0f);
    SendMessageW(viewport, WM_MOUSEMOVE, MK_RBUTTON, Point(150, 150));
    const float yaw = 45.0f * PI_F / 180.0f;
    EXPECT_NEAR(g_CameraTargetX, -std::cos(yaw) * 1.0f, 1e-5f);
    EXPECT_NEAR(g_CameraTargetZ, std::sin(yaw) * 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(g_CameraPitch, 60.0f);
}

TEST_F(CameraInput, CtrlAloneStillOrbits)
{
    SetKeyDown(VK_CONTROL, true);
    SendMessageW(viewport, WM_RBUTTONDOWN, MK_RBUTTON, Point(10, 10));
    SendMessageW(viewport, WM_MOUSEMOVE, MK_RBUTTON, Point(30, 10));
    EXPECT_FLOAT_EQ(g_CameraYaw, 55.0f);
    EXPECT_FLOAT_EQ(g_CameraTargetX, 0.0f);
}

TEST_F(CameraInput, CtrlRResetsTheCameraAndRAloneDoesNothing)
{
    g_CameraDistance = 3.0f;
    g_CameraYaw = 100.0f;
    g_CameraTargetY = 4.0f;
    SendMessageW(viewport, WM_KEYDOWN, 'R', 0);
    EXPECT_FLOAT_EQ(g_CameraDistance, 3.0f);
    SetKeyDown(VK_CONTROL, true);
    SendMessageW(viewport, WM_KEYDOWN, 'R', 0);
    EXPECT_FLOAT_EQ(g_CameraDistance, 15.0f);
    EXPECT_FLOAT_EQ(g_CameraYaw, 45.0f);
    EXPECT_FLOAT_EQ(g_CameraPitch, 30.0f);
    EXPECT_FLOAT_EQ(g_CameraTargetY, 0.0f);
}

TEST_F(CameraInput, EscapeCancelsCreationOnlyWhileItIsArmed)
{
    g_CurrentTool = TOOL_MOVE;
    SendMessageW(viewport, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(g_CurrentTool, TOOL_MOVE);
    EXPECT_EQ(CountCalls("SetCreationToolsEnabled"), 0);

    g_IsInCreateMode = true;
    g_CreateStage = STAGE_HEIGHT;
    g_IsCreateDragging = true;
    SendMessageW(viewport, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(g_IsInCreateMode);
    EXPECT_EQ(g_CreateStage, STAGE_NONE);
    EXPECT_EQ(g_CurrentTool, TOOL_SELECT);
    EXPECT_FALSE(g_IsCreateDragging);
    ASSERT_EQ(g_HookRecord.toolsEnabled.size(), 1u);
    EXPECT_TRUE(g_HookRecord.toolsEnabled[0]);
    EXPECT_EQ(CountCalls("InvalidateToolsPanel"), 1);
}

TEST_F(CameraInput, TopViewFarFromTheOriginStillShowsAndPicksTheObject)
{
    g_ShowGrid = false;
    g_SceneObjects.push_back(MakeCube(-1, -1, 19, 1, 1, 21, 200, 50, 25));
    g_CameraTargetX = 0.0f;
    g_CameraTargetY = 0.0f;
    g_CameraTargetZ = 20.0f;
    g_CameraDistance = 15.0f;
    g_CameraPitch = 90.0f;
    g_CameraYaw = 0.0f;
    RenderFrame();
    EXPECT_TRUE(SameColor(ReadPixel(VIEW_WIDTH / 2, VIEW_HEIGHT / 2), {200, 50, 25}))
        << Describe(ReadPixel(VIEW_WIDTH / 2, VIEW_HEIGHT / 2));
    const Ray ray = GetRayFromMouse(VIEW_WIDTH / 2, VIEW_HEIGHT / 2);
    ASSERT_TRUE(ray.valid);
    EXPECT_TRUE(RayHitsBox(ray, -1, -1, 19, 1, 1, 21));
    EXPECT_LT(ray.direction.y, -0.99f);

    // The picture is the one the ordinary top view gives near the origin,
    // shifted with the target.
    int farX = 0, farY = 0;
    ASSERT_TRUE(ProjectPoint(2, 1, 21, &farX, &farY));
    g_CameraTargetZ = 0.0f;
    RenderFrame();
    int x = 0, y = 0;
    ASSERT_TRUE(ProjectPoint(2, 1, 1, &x, &y));
    EXPECT_NEAR(farX, x, 1);
    EXPECT_NEAR(farY, y, 1);
}

TEST_F(CameraInput, GroundPlanePointUnderTheViewCentre)
{
    g_CameraYaw = 0.0f;
    g_CameraPitch = 45.0f;
    g_CameraTargetX = 3.0f;
    g_CameraTargetZ = -2.0f;
    RenderFrame();
    float x = 0.0f, z = 0.0f;
    ASSERT_TRUE(ScreenToGroundPlane(VIEW_WIDTH / 2, VIEW_HEIGHT / 2, &x, &z));
    EXPECT_NEAR(x, 3.0f, 0.05f);
    EXPECT_NEAR(z, -2.0f, 0.05f);

    // Looking along the horizon: parallel, a miss.
    g_CameraPitch = 0.0f;
    g_GridHeight = 0.0f;
    RenderFrame();
    x = z = 9.0f;
    EXPECT_FALSE(ScreenToGroundPlane(VIEW_WIDTH / 2, VIEW_HEIGHT / 2, &x, &z));
    EXPECT_EQ(x, 9.0f);

    // The plane above the eye looking down: behind, a miss.
    g_CameraPitch = 30.0f;
    g_GridHeight = 50.0f;
    RenderFrame();
    EXPECT_FALSE(ScreenToGroundPlane(VIEW_WIDTH / 2, VIEW_HEIGHT / 2, &x, &z));
}
