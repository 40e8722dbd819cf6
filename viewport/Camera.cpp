#include "viewport/Camera.h"

#include <cmath>

#include "scene/SceneState.h"

namespace {

const float DEGREES_TO_RADIANS = 3.1415927f / 180.0f;

} // namespace

void OrbitCamera(float dx, float dy)
{
    g_CameraYaw += dx * 0.5f;
    g_CameraPitch += dy * 0.5f;
    if (g_CameraPitch > 89.0f)
        g_CameraPitch = 89.0f;
    if (g_CameraPitch < -89.0f)
        g_CameraPitch = -89.0f;
}

void PanCamera(float dx, float dy)
{
    const float yaw = g_CameraYaw * DEGREES_TO_RADIANS;
    const float pitch = g_CameraPitch * DEGREES_TO_RADIANS;
    const float k = g_CameraDistance * 0.002f;
    g_CameraTargetX += std::cos(pitch) * (-std::sin(yaw)) * dy * k + std::cos(yaw) * dx * k;
    g_CameraTargetY += std::sin(pitch) * dy * k;
    g_CameraTargetZ += -std::cos(yaw) * std::cos(pitch) * dy * k + (-std::sin(yaw)) * dx * k;
}

void PanCameraOnGround(float dx, float dy)
{
    const float yaw = g_CameraYaw * DEGREES_TO_RADIANS;
    const float k = g_CameraDistance * 0.002f;
    g_CameraTargetX -= std::cos(yaw) * dx * k;
    g_CameraTargetY -= dy * k;
    g_CameraTargetZ += std::sin(yaw) * dx * k;
}

void ZoomCamera(int wheelDelta)
{
    g_CameraDistance = FlooredCameraDistance(g_CameraDistance - static_cast<float>(wheelDelta) / 120.0f);
}

float FlooredCameraDistance(float distance)
{
    return distance >= MIN_CAMERA_DISTANCE ? distance : MIN_CAMERA_DISTANCE;
}

CameraPose ComputeCameraPose()
{
    const float yaw = g_CameraYaw * DEGREES_TO_RADIANS;
    const float pitch = g_CameraPitch * DEGREES_TO_RADIANS;
    const float sinYaw = std::sin(yaw), cosYaw = std::cos(yaw);
    const float sinPitch = std::sin(pitch), cosPitch = std::cos(pitch);

    CameraPose pose;
    pose.target = Vec3f(g_CameraTargetX, g_CameraTargetY, g_CameraTargetZ);
    pose.eye = Vec3f(g_CameraTargetX + g_CameraDistance * (sinYaw * cosPitch),
                     g_CameraTargetY + g_CameraDistance * sinPitch,
                     g_CameraTargetZ + g_CameraDistance * (cosYaw * cosPitch));
    pose.up = Vec3f(0.0f, 1.0f, 0.0f);
    if (pose.eye.x == pose.target.x && pose.eye.z == pose.target.z) {
        // +Y made orthogonal to the (unrounded) view direction: the camera's
        // real up vector, which stays defined while the offset rounds away.
        const float side = cosPitch < 0.0f ? -1.0f : 1.0f;
        pose.up = Vec3f(-sinYaw * sinPitch * side, cosPitch * side, -cosYaw * sinPitch * side);
    }
    return pose;
}

bool IntersectWorkingPlane(const double nearPoint[3], const double farPoint[3], float height,
                           float* worldX, float* worldZ)
{
    const double dx = farPoint[0] - nearPoint[0];
    const double dy = farPoint[1] - nearPoint[1];
    const double dz = farPoint[2] - nearPoint[2];
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(length > 0.0) || !std::isfinite(length))
        return false;
    const double ux = dx / length, uy = dy / length, uz = dz / length;
    if (std::fabs(uy) < 0.0001)
        return false;
    const double t = (static_cast<double>(height) - nearPoint[1]) / uy;
    if (t < 0.0)
        return false;
    const double x = nearPoint[0] + ux * t;
    const double z = nearPoint[2] + uz * t;
    if (!std::isfinite(x) || !std::isfinite(z) || std::fabs(x) > 3.0e38 || std::fabs(z) > 3.0e38)
        return false;
    *worldX = static_cast<float>(x);
    *worldZ = static_cast<float>(z);
    return true;
}

float SnapToGridLine(float value, float cellSize)
{
    return std::round(value / cellSize) * cellSize;
}

float SnapToCellCentre(float value, float cellSize)
{
    return std::floor(value / cellSize) * cellSize + cellSize * 0.5f;
}
