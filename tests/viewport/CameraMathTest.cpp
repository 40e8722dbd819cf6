#include <gtest/gtest.h>

#include <cmath>

#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "viewport/Camera.h"
#include "viewport/Patterns.h"

namespace {

using CameraMath = SceneTest;

float Length(const Vec3f& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

} // namespace

TEST_F(CameraMath, OrbitClampsThePitchAndLeavesTheYawUnwrapped)
{
    OrbitCamera(0, 200);
    EXPECT_FLOAT_EQ(g_CameraPitch, 89.0f);
    OrbitCamera(0, -400);
    EXPECT_FLOAT_EQ(g_CameraPitch, -89.0f);
    OrbitCamera(800, 0);
    EXPECT_FLOAT_EQ(g_CameraYaw, 445.0f);
}

TEST_F(CameraMath, PanMovesTwoThousandthsOfTheDistancePerPixel)
{
    g_CameraYaw = 0.0f;
    g_CameraPitch = 0.0f;
    g_CameraDistance = 10.0f;
    PanCamera(100, 0);
    EXPECT_NEAR(g_CameraTargetX, 2.0f, 1e-6f);
    EXPECT_NEAR(g_CameraTargetY, 0.0f, 1e-6f);
    EXPECT_NEAR(g_CameraTargetZ, 0.0f, 1e-6f);
    PanCamera(0, 100);
    EXPECT_NEAR(g_CameraTargetX, 2.0f, 1e-6f);
    EXPECT_NEAR(g_CameraTargetZ, -2.0f, 1e-6f);

    g_CameraTargetX = g_CameraTargetZ = 0.0f;
    g_CameraPitch = 90.0f;
    PanCamera(0, 100);
    EXPECT_NEAR(g_CameraTargetY, 2.0f, 1e-5f);
    EXPECT_NEAR(g_CameraTargetZ, 0.0f, 1e-5f);
}

TEST_F(CameraMath, ResetRestoresTheStartingView)
{
    g_CameraDistance = 3.0f;
    g_CameraYaw = -10.0f;
    g_CameraPitch = 80.0f;
    g_CameraTargetX = g_CameraTargetY = g_CameraTargetZ = 5.0f;
    ResetCamera();
    EXPECT_EQ(g_CameraDistance, 15.0f);
    EXPECT_EQ(g_CameraYaw, 45.0f);
    EXPECT_EQ(g_CameraPitch, 30.0f);
    EXPECT_EQ(g_CameraTargetX, 0.0f);
    EXPECT_EQ(g_CameraTargetY, 0.0f);
    EXPECT_EQ(g_CameraTargetZ, 0.0f);
}

TEST_F(CameraMath, ZoomNeverReachesZero)
{
    ZoomCamera(-120);
    EXPECT_FLOAT_EQ(g_CameraDistance, 16.0f);
    ZoomCamera(120 * 40);
    EXPECT_FLOAT_EQ(g_CameraDistance, MIN_CAMERA_DISTANCE);
    EXPECT_EQ(FlooredCameraDistance(0.0f), MIN_CAMERA_DISTANCE);
    EXPECT_EQ(FlooredCameraDistance(-3.0f), MIN_CAMERA_DISTANCE);
    EXPECT_EQ(FlooredCameraDistance(std::nanf("")), MIN_CAMERA_DISTANCE);
    EXPECT_EQ(FlooredCameraDistance(7.25f), 7.25f);
}

TEST_F(CameraMath, EyeSitsOnTheOrbitWithUpAlongY)
{
    g_CameraTargetX = 1.0f;
    const CameraPose pose = ComputeCameraPose();
    const float yaw = 45.0f * 3.1415927f / 180.0f, pitch = 30.0f * 3.1415927f / 180.0f;
    EXPECT_NEAR(pose.eye.x, 1.0f + 15.0f * std::sin(yaw) * std::cos(pitch), 1e-5f);
    EXPECT_NEAR(pose.eye.y, 15.0f * std::sin(pitch), 1e-5f);
    EXPECT_NEAR(pose.eye.z, 15.0f * std::cos(yaw) * std::cos(pitch), 1e-5f);
    EXPECT_EQ(pose.up.y, 1.0f);
    EXPECT_EQ(pose.up.x, 0.0f);
}

TEST_F(CameraMath, TopViewFarFromTheOriginGetsTheLimitUpVector)
{
    g_CameraPitch = 90.0f;
    g_CameraYaw = 30.0f;
    // Near the origin the offset survives rounding: the ordinary up vector.
    EXPECT_EQ(ComputeCameraPose().up.y, 1.0f);

    g_CameraTargetX = 40.0f;
    g_CameraTargetZ = 20.0f;
    const CameraPose pose = ComputeCameraPose();
    ASSERT_EQ(pose.eye.x, pose.target.x);
    ASSERT_EQ(pose.eye.z, pose.target.z);
    EXPECT_NEAR(Length(pose.up), 1.0f, 1e-5f);
    // At exactly 90 degrees the rounded cosine is slightly negative, so the
    // ordinary view looks with its top towards the yaw direction.
    const float yaw = 30.0f * 3.1415927f / 180.0f;
    EXPECT_NEAR(pose.up.x, std::sin(yaw), 1e-5f);
    EXPECT_NEAR(pose.up.z, std::cos(yaw), 1e-5f);
    EXPECT_NEAR(pose.up.y, 0.0f, 1e-5f);

    g_CameraPitch = -90.0f;
    const CameraPose below = ComputeCameraPose();
    EXPECT_NEAR(below.up.x, -std::sin(yaw), 1e-5f);
    EXPECT_NEAR(below.up.z, -std::cos(yaw), 1e-5f);
}

TEST_F(CameraMath, WorkingPlaneIntersection)
{
    const double nearPoint[3] = {0.0, 10.0, 0.0};
    const double down[3] = {4.0, 0.0, -2.0};
    float x = 9.0f, z = 9.0f;
    ASSERT_TRUE(IntersectWorkingPlane(nearPoint, down, 0.0f, &x, &z));
    EXPECT_FLOAT_EQ(x, 4.0f);
    EXPECT_FLOAT_EQ(z, -2.0f);
    // Beyond the far point counts; behind the near point does not.
    ASSERT_TRUE(IntersectWorkingPlane(nearPoint, down, -10.0f, &x, &z));
    EXPECT_FLOAT_EQ(x, 8.0f);
    x = z = 9.0f;
    EXPECT_FALSE(IntersectWorkingPlane(nearPoint, down, 11.0f, &x, &z));
    // On the plane: t = 0 gives the near point.
    ASSERT_TRUE(IntersectWorkingPlane(nearPoint, down, 10.0f, &x, &z));
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(z, 0.0f);
    // Parallel and degenerate lines miss and leave the outputs alone.
    x = z = 9.0f;
    const double level[3] = {5.0, 10.00001, 5.0};
    EXPECT_FALSE(IntersectWorkingPlane(nearPoint, level, 0.0f, &x, &z));
    EXPECT_FALSE(IntersectWorkingPlane(nearPoint, nearPoint, 0.0f, &x, &z));
    const double infinite[3] = {0.0, -INFINITY, 0.0};
    EXPECT_FALSE(IntersectWorkingPlane(nearPoint, infinite, 0.0f, &x, &z));
    EXPECT_EQ(x, 9.0f);
    EXPECT_EQ(z, 9.0f);
}

TEST_F(CameraMath, SnappingRoundsHalvesAwayFromZeroAndCentresInCells)
{
    EXPECT_EQ(SnapToGridLine(2.5f, 1.0f), 3.0f);
    EXPECT_EQ(SnapToGridLine(-2.5f, 1.0f), -3.0f);
    EXPECT_EQ(SnapToGridLine(1.2f, 0.5f), 1.0f);
    EXPECT_EQ(SnapToCellCentre(2.5f, 1.0f), 2.5f);
    EXPECT_EQ(SnapToCellCentre(-0.2f, 1.0f), -0.5f);
}

TEST(Patterns, PlaceholderCheckerCells)
{
    const std::vector<std::uint8_t> image = MakeMissingTextureImage();
    ASSERT_EQ(image.size(), 16384u);
    auto texel = [&](int x, int y) { return &image[(y * 64 + x) * 4]; };
    EXPECT_EQ(texel(0, 0)[0], 255);
    EXPECT_EQ(texel(0, 0)[1], 0);
    EXPECT_EQ(texel(0, 0)[2], 255);
    EXPECT_EQ(texel(0, 0)[3], 255);
    EXPECT_EQ(texel(8, 0)[0], 128);
    EXPECT_EQ(texel(0, 8)[2], 128);
    EXPECT_EQ(texel(8, 8)[0], 255);
}

TEST(Patterns, HoleStippleIsADiagonalEveryFourthPixel)
{
    const std::array<std::uint8_t, 128> stipple = MakeHoleStipple();
    const std::uint8_t expected[4] = {0x11, 0x22, 0x44, 0x88};
    for (int row = 0; row < 32; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(stipple[row * 4 + column], expected[row % 4]) << row;
}
