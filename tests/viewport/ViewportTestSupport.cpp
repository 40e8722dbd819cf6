#include "tests/viewport/ViewportTestSupport.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <sstream>

#include "app/Preferences.h"
#include "app/WinGlobals.h"
#include "scene/Hooks.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "viewport/RenderScene.h"
#include "viewport/ViewportState.h"
#include "viewport/ViewportWindow.h"

std::vector<std::wstring> g_AllLogLines;

namespace {

void RecordLogLine(const std::wstring& line)
{
    g_HookRecord.logLines.push_back(line);
    g_AllLogLines.push_back(line);
}

const wchar_t* const PARENT_CLASS = L"ViewportTestParent";

} // namespace

void RegisterViewportClass()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    WNDCLASSEXW viewportClass = {};
    viewportClass.cbSize = sizeof viewportClass;
    viewportClass.style = CS_OWNDC;
    viewportClass.lpfnWndProc = ViewportWndProc;
    viewportClass.hInstance = GetModuleHandleW(nullptr);
    viewportClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    viewportClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    viewportClass.lpszClassName = L"OstrelViewport";
    RegisterClassExW(&viewportClass);

    WNDCLASSEXW parentClass = {};
    parentClass.cbSize = sizeof parentClass;
    parentClass.lpfnWndProc = DefWindowProcW;
    parentClass.hInstance = GetModuleHandleW(nullptr);
    parentClass.lpszClassName = PARENT_CLASS;
    RegisterClassExW(&parentClass);
}

// The parent stays hidden: hiding a shown top-level window waits two seconds
// for its unmap on Xvfb without a window manager, and OpenGL renders into the
// back buffer of a hidden window all the same.
HWND CreateViewportWindow(HWND* parentOut, int width, int height)
{
    RegisterViewportClass();
    *parentOut = CreateWindowExW(0, PARENT_CLASS, L"Viewport test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                 width + 100, height + 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND child = CreateWindowExW(0, L"OstrelViewport", L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height, *parentOut,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    return child;
}

void ViewportTest::SetUp()
{
    ResetSceneGlobals();
    g_ColorPrefs = ColorPreferences();
    InstallRecordingHooks();
    g_Hooks.AppendLogLine = RecordLogLine;
    viewport = CreateViewportWindow(&parent, VIEW_WIDTH, VIEW_HEIGHT);
    g_hViewport = viewport;
    ASSERT_NE(viewport, nullptr);
    ASSERT_NE(g_hViewportRC, nullptr);
}

void ViewportTest::TearDown()
{
    SetKeyDown(VK_SHIFT, false);
    SetKeyDown(VK_CONTROL, false);
    DestroyWindow(parent);
    g_hViewport = nullptr;
    ResetSceneGlobals();
    g_ColorPrefs = ColorPreferences();
}

void RenderFrame()
{
    RenderScene();
    glFinish();
}

bool ProjectPoint(float x, float y, float z, int* windowX, int* windowY)
{
    double modelview[16], projection[16];
    int view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, view);
    double wx = 0, wy = 0, wz = 0;
    if (gluProject(x, y, z, modelview, projection, view, &wx, &wy, &wz) != GL_TRUE)
        return false;
    *windowX = static_cast<int>(wx);
    *windowY = static_cast<int>(wy);
    return true;
}

Rgb ReadPixel(int x, int y)
{
    unsigned char pixel[4] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

Rgb PixelAtWorld(float x, float y, float z)
{
    int wx = 0, wy = 0;
    if (!ProjectPoint(x, y, z, &wx, &wy))
        return {-1, -1, -1};
    return ReadPixel(wx, wy);
}

bool AnyPixelNear(float x, float y, float z, int radius, const Rgb& expected, int tolerance)
{
    int wx = 0, wy = 0;
    if (!ProjectPoint(x, y, z, &wx, &wy))
        return false;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (SameColor(ReadPixel(wx + dx, wy + dy), expected, tolerance))
                return true;
    return false;
}

Rgb ToRgb(float r, float g, float b)
{
    auto channel = [](float v) { return static_cast<int>(v * 255.0f + 0.5f); };
    return {channel(r), channel(g), channel(b)};
}

bool SameColor(const Rgb& actual, const Rgb& expected, int tolerance)
{
    for (int i = 0; i < 3; ++i)
        if (std::abs(actual[i] - expected[i]) > tolerance)
            return false;
    return true;
}

std::string Describe(const Rgb& color)
{
    std::ostringstream text;
    text << "(" << color[0] << ", " << color[1] << ", " << color[2] << ")";
    return text.str();
}

int CountLogLines(const std::wstring& prefix)
{
    int count = 0;
    for (const std::wstring& line : g_HookRecord.logLines)
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

int CountAllLogLines(const std::wstring& prefix)
{
    int count = 0;
    for (const std::wstring& line : g_AllLogLines)
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

SceneObject MakeCube(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, int r, int g, int b,
                     int a)
{
    SceneObject object = MakePrimitive(PRIMITIVE_CUBE, L"", minX, minY, minZ, maxX, maxY, maxZ);
    object.r = r;
    object.g = g;
    object.b = b;
    object.a = a;
    return object;
}

SceneObject MakeMeshCube(float minX, float minY, float minZ, float maxX, float maxY, float maxZ)
{
    SceneObject object = MakeCube(minX, minY, minZ, maxX, maxY, maxZ, 255, 255, 255);
    ObjectToMesh(object, object.V, object.F);
    object.isCSGMesh = true;
    return object;
}

void SetKeyDown(int key, bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[key] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}
