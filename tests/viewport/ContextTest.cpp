#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/Modal.h"
#include "app/Preferences.h"
#include "app/WinGlobals.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/ViewportTestSupport.h"
#include "viewport/GLContext.h"
#include "viewport/RenderScene.h"
#include "viewport/ViewProjection.h"
#include "viewport/ViewportState.h"

namespace {

using Context = ViewportTest;

std::vector<unsigned char> ReadMissingTexture()
{
    std::vector<unsigned char> texels(64 * 64 * 4);
    glBindTexture(GL_TEXTURE_2D, g_MissingTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

Rgb Texel(const std::vector<unsigned char>& texels, int x, int y)
{
    const unsigned char* t = &texels[(y * 64 + x) * 4];
    return {t[0], t[1], t[2]};
}

bool MatricesAreFinite()
{
    double modelview[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(modelview[i]) || !std::isfinite(projection[i]))
            return false;
    return true;
}

} // namespace

TEST_F(Context, RendersOnLlvmpipeWithDepthTestAndCurrentContext)
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    ASSERT_NE(renderer, nullptr);
    EXPECT_NE(std::string(renderer).find("llvmpipe"), std::string::npos) << renderer;
    EXPECT_EQ(wglGetCurrentContext(), g_hViewportRC);
    EXPECT_NE(g_hViewportDC, nullptr);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(IsViewportContextReady());
}

TEST_F(Context, PlaceholderIsAnEightPixelMagentaAndPurpleChecker)
{
    ASSERT_NE(g_MissingTexture, 0u);
    EXPECT_TRUE(glIsTexture(g_MissingTexture));
    const std::vector<unsigned char> texels = ReadMissingTexture();
    const Rgb magenta = {255, 0, 255}, purple = {128, 0, 128};
    EXPECT_EQ(Texel(texels, 0, 0), magenta);
    EXPECT_EQ(Texel(texels, 7, 7), magenta);
    EXPECT_EQ(Texel(texels, 8, 0), purple);
    EXPECT_EQ(Texel(texels, 0, 8), purple);
    EXPECT_EQ(Texel(texels, 8, 8), magenta);
    EXPECT_EQ(Texel(texels, 63, 63), magenta);
    EXPECT_EQ(texels[3], 255);

    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
}

TEST_F(Context, LogsThePlaceholderOnceWhileTheViewportIsCreated)
{
    EXPECT_EQ(CountLogLines(L"Created missing texture placeholder (OpenGL ID: "), 1);
    EXPECT_EQ(g_HookRecord.logLines.front(),
              L"Created missing texture placeholder (OpenGL ID: " + std::to_wstring(g_MissingTexture) + L")");
    RenderFrame();
    RenderFrame();
    EXPECT_EQ(CountLogLines(L"Created missing texture placeholder"), 1);
}

TEST_F(Context, SizeMessageSetsTheGlViewportWithAtLeastOneRow)
{
    GLint view[4] = {};
    glGetIntegerv(GL_VIEWPORT, view);
    EXPECT_EQ(view[2], VIEW_WIDTH);
    EXPECT_EQ(view[3], VIEW_HEIGHT);

    SendMessageW(viewport, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 0));
    glGetIntegerv(GL_VIEWPORT, view);
    EXPECT_EQ(view[2], 300);
    EXPECT_EQ(view[3], 1);
}

TEST_F(Context, EmptyClientAreaOnlyClearsAndKeepsTheLastMatrices)
{
    RenderFrame();
    double before[16], after[16];
    glGetDoublev(GL_PROJECTION_MATRIX, before);

    g_CameraDistance = 40.0f;
    MoveWindow(viewport, 0, 0, 0, 0, TRUE);
    RenderFrame();
    glGetDoublev(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before[i], after[i]) << i;
    EXPECT_TRUE(MatricesAreFinite());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Context, DestroyReleasesTheContextAndTheDeviceContext)
{
    DestroyWindow(viewport);
    EXPECT_EQ(g_hViewportRC, nullptr);
    EXPECT_EQ(g_hViewportDC, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_FALSE(IsViewportContextReady());
    EXPECT_FALSE(GetRayFromMouse(10, 10).valid);
}

TEST(ContextFailure, ShowsOneErrorBoxAndLeavesNothingToDrawOrPick)
{
    RegisterViewportClass();
    HWND parent = nullptr;
    HWND gone = CreateViewportWindow(&parent, 64, 64);
    DestroyWindow(parent);
    ASSERT_EQ(g_hViewportRC, nullptr);

    g_ModalScripted = true;
    g_ModalCalls.clear();
    g_ModalAnswers.assign(1, ModalAnswer{IDOK, L"", 0});
    InitOpenGL(gone);
    g_ModalScripted = false;

    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"OpenGL Error");
    EXPECT_NE(g_ModalCalls[0].text.find(L"could not be set up"), std::wstring::npos);
    EXPECT_EQ(g_ModalCalls[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(g_hViewportRC, nullptr);
    EXPECT_EQ(g_hViewportDC, nullptr);
    EXPECT_FALSE(IsViewportContextReady());

    RenderViewportFrame();   // nothing to draw on, and no crash
    EXPECT_FALSE(GetRayFromMouse(10, 10).valid);
    float x = 7.0f, z = 7.0f;
    EXPECT_FALSE(ScreenToGroundPlane(10, 10, &x, &z));
    EXPECT_EQ(x, 7.0f);
    EXPECT_EQ(z, 7.0f);
}
