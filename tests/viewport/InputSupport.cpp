#include "tests/viewport/InputSupport.h"

#include <cmath>
#include <string>

#include <GL/gl.h>
#include <GL/glu.h>

#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "viewport/ObjectTransform.h"
#include "viewport/ViewportState.h"

namespace {

LPARAM Pack(const ClientPoint& point)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(point.x)), static_cast<WORD>(static_cast<short>(point.y)));
}

} // namespace

ClientPoint Aim(float x, float y, float z)
{
    double modelview[16], projection[16];
    int view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, view);
    double wx = 0, wy = 0, wz = 0;
    EXPECT_EQ(gluProject(x, y, z, modelview, projection, view, &wx, &wy, &wz), GL_TRUE);
    return {static_cast<int>(std::lround(wx)), view[3] - static_cast<int>(std::lround(wy))};
}

ClientPoint Offset(const ClientPoint& point, int dx, int dy)
{
    return {point.x + dx, point.y + dy};
}

void Press(HWND viewport, const ClientPoint& point, WPARAM flags)
{
    SendMessageW(viewport, WM_LBUTTONDOWN, flags | MK_LBUTTON, Pack(point));
}

void Move(HWND viewport, const ClientPoint& point, WPARAM flags)
{
    SendMessageW(viewport, WM_MOUSEMOVE, flags, Pack(point));
}

void Release(HWND viewport, const ClientPoint& point, WPARAM flags)
{
    SendMessageW(viewport, WM_LBUTTONUP, flags, Pack(point));
}

void Click(HWND viewport, const ClientPoint& point, WPARAM flags)
{
    Press(viewport, point, flags);
    Release(viewport, point, flags);
}

void ViewportInputTest::SetUp()
{
    ViewportTest::SetUp();
    g_CreateStartPending = false;
    g_CreateEndPending = false;
    g_LastMouseX = 0;
    g_LastMouseY = 0;
    g_DragStartStates.clear();
    RenderFrame();
}

int FindCall(const char* name, size_t from)
{
    for (size_t i = from; i < g_HookRecord.calls.size(); ++i)
        if (g_HookRecord.calls[i] == name)
            return static_cast<int>(i);
    return -1;
}
