#include "viewport/ViewProjection.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include "app/WinGlobals.h"
#include "scene/SceneState.h"
#include "viewport/Camera.h"
#include "viewport/ViewportState.h"

namespace {

struct ViewMatrices {
    double modelview[16];
    double projection[16];
    int viewport[4];
};

bool ReadViewMatrices(ViewMatrices& view)
{
    if (!g_hViewportRC || !g_ViewMatricesReady)
        return false;
    glGetDoublev(GL_MODELVIEW_MATRIX, view.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, view.projection);
    glGetIntegerv(GL_VIEWPORT, view.viewport);
    return true;
}

} // namespace

bool ApplyFrameMatrices()
{
    RECT client = {};
    GetClientRect(g_hViewport, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return false;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<float>(width) / static_cast<float>(height), 0.1, 1000.0);

    const CameraPose pose = ComputeCameraPose();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(pose.eye.x, pose.eye.y, pose.eye.z, pose.target.x, pose.target.y, pose.target.z,
              pose.up.x, pose.up.y, pose.up.z);
    g_ViewMatricesReady = true;
    return true;
}

Ray GetRayFromMouse(int mouseX, int mouseY)
{
    ViewMatrices view;
    if (!ReadViewMatrices(view))
        return Ray();
    return RayFromMatrices(view.modelview, view.projection, view.viewport, mouseX, mouseY);
}

bool ScreenToGroundPlane(int x, int y, float* worldX, float* worldZ)
{
    const float height = g_GridHeight;
    RECT client = {};
    GetClientRect(g_hViewport, &client);
    ViewMatrices view;
    if (!ReadViewMatrices(view))
        return false;

    const double windowX = x;
    const double windowY = static_cast<double>(client.bottom - client.top) - y;
    double nearPoint[3], farPoint[3];
    if (gluUnProject(windowX, windowY, 0.0, view.modelview, view.projection, view.viewport, &nearPoint[0],
                     &nearPoint[1], &nearPoint[2]) != GL_TRUE ||
        gluUnProject(windowX, windowY, 1.0, view.modelview, view.projection, view.viewport, &farPoint[0],
                     &farPoint[1], &farPoint[2]) != GL_TRUE)
        return false;
    return IntersectWorkingPlane(nearPoint, farPoint, height, worldX, worldZ);
}
