#include "viewport/GLContext.h"

#include <GL/gl.h>

#include <string>
#include <vector>

#include "app/Modal.h"
#include "app/Preferences.h"
#include "io/TextureUpload.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"
#include "viewport/DrawCache.h"
#include "viewport/Patterns.h"
#include "viewport/RenderScene.h"
#include "viewport/TextureUploadGL.h"
#include "viewport/ViewportState.h"

namespace {

// Tells the user once why the view stays empty, and leaves no half-made
// context behind.
void ReportContextFailure(HWND viewport, const wchar_t* step)
{
    const DWORD error = GetLastError();
    ReleaseOpenGL(viewport);
    ShowMessageBox(nullptr,
                   std::wstring(L"The 3D view could not be set up: ") + step + L" failed (error " +
                       std::to_wstring(error) + L").\nThe program runs on without a working view.",
                   L"OpenGL Error", MB_OK | MB_ICONERROR);
}

} // namespace

void InitOpenGL(HWND viewport)
{
    g_hViewportDC = GetDC(viewport);
    if (!g_hViewportDC) {
        ReportContextFailure(viewport, L"GetDC");
        return;
    }

    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 32;
    descriptor.cDepthBits = 24;
    descriptor.cStencilBits = 8;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(g_hViewportDC, &descriptor);
    if (format == 0) {
        ReportContextFailure(viewport, L"ChoosePixelFormat");
        return;
    }
    if (!SetPixelFormat(g_hViewportDC, format, &descriptor)) {
        ReportContextFailure(viewport, L"SetPixelFormat");
        return;
    }
    g_hViewportRC = wglCreateContext(g_hViewportDC);
    if (!g_hViewportRC) {
        ReportContextFailure(viewport, L"wglCreateContext");
        return;
    }
    if (!wglMakeCurrent(g_hViewportDC, g_hViewportRC)) {
        ReportContextFailure(viewport, L"wglMakeCurrent");
        return;
    }

    glEnable(GL_DEPTH_TEST);
    const Color3f& background = g_ColorPrefs.Background;
    glClearColor(background.r, background.g, background.b, 1.0f);
    CreateMissingTexturePlaceholder();
    InstallOpenGLTextureUpload();
}

void CreateMissingTexturePlaceholder()
{
    const std::vector<std::uint8_t> pixels = MakeMissingTextureImage();
    GLuint name = 0;
    glGenTextures(1, &name);
    g_MissingTexture = name;
    glBindTexture(GL_TEXTURE_2D, g_MissingTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, MISSING_TEXTURE_SIZE, MISSING_TEXTURE_SIZE, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    DebugLog(L"Created missing texture placeholder (OpenGL ID: " + std::to_wstring(g_MissingTexture) + L")");
}

void ReleaseOpenGL(HWND viewport)
{
    g_ViewMatricesReady = false;
    ForgetDrawCaches();
    // Textures loaded from now on get no OpenGL name of a dead context.
    ResetTextureUpload();
    if (g_hViewportRC) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(g_hViewportRC);
        g_hViewportRC = nullptr;
    }
    if (g_hViewportDC) {
        ReleaseDC(viewport, g_hViewportDC);
        g_hViewportDC = nullptr;
    }
}

bool IsViewportContextReady()
{
    return g_hViewportRC != nullptr;
}

void RenderViewportFrame()
{
    if (!IsViewportContextReady())
        return;
    RenderScene();
    SwapBuffers(g_hViewportDC);
}
