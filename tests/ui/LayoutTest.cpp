#include <gtest/gtest.h>

#include "app/WinGlobals.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "tests/app/AppHarness.h"
#include "ui/Layout.h"

namespace {

class Layout : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplicationStarted();
        ResetEditorState();
    }
    void TearDown() override { ResetEditorState(); }
};

void ExpectRect(HWND window, int x, int y, int width, int height, const char* name)
{
    const RECT rect = ChildRect(window);
    EXPECT_EQ(rect.left, x) << name;
    EXPECT_EQ(rect.top, y) << name;
    EXPECT_EQ(rect.right - rect.left, width) << name;
    EXPECT_EQ(rect.bottom - rect.top, height) << name;
}

void ExpectShown(HWND window, bool shown, const char* name)
{
    EXPECT_EQ(HasStyle(window, WS_VISIBLE), shown) << name;
}

void ExpectClass(HWND window, const wchar_t* name)
{
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, name);
}

void SwitchTo(int mode)
{
    g_CurrentMode = mode;
    LayoutPanelsForMode(0, 0);
}

} // namespace

TEST_F(Layout, EightChildrenOfTheirClassesInCreationOrder)
{
    const HWND children[] = {g_hToolsPanel,   g_hHierarchyPanel, g_hViewport,    g_hPropertiesPanel,
                             g_hPainterPanel, g_hPlotterPanel,   g_hVertexPanel, g_hVertexPropertiesPanel};
    const wchar_t* classes[] = {L"OstrelTools",        L"OstrelHierarchy",    L"OstrelViewport",
                                L"OstrelProperties",   L"OstrelPainterPanel", L"OstrelPlotterPanel",
                                L"OstrelVertexPanel",  L"OstrelVertexPropertiesPanel"};
    for (int i = 0; i < 8; ++i) {
        ASSERT_NE(children[i], nullptr) << i;
        EXPECT_EQ(GetParent(children[i]), g_hMainWnd) << i;
        EXPECT_TRUE(HasStyle(children[i], WS_CHILD)) << i;
        EXPECT_EQ(GetDlgCtrlID(children[i]), 0) << i;
        EXPECT_EQ(WindowText(children[i]), L"") << i;
        ExpectClass(children[i], classes[i]);
    }
    EXPECT_TRUE(GetWindowLongW(g_hToolsPanel, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(HasStyle(g_hToolsPanel, WS_VSCROLL));
    EXPECT_FALSE(HasStyle(g_hHierarchyPanel, WS_VSCROLL));
    for (HWND panel : {g_hPropertiesPanel, g_hPainterPanel, g_hPlotterPanel, g_hVertexPanel, g_hVertexPropertiesPanel}) {
        const LONG exStyle = GetWindowLongW(panel, GWL_EXSTYLE);
        EXPECT_TRUE(exStyle & WS_EX_COMPOSITED);
        EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
        EXPECT_TRUE(HasStyle(panel, WS_VSCROLL));
    }
}

TEST_F(Layout, ModellerLayout)
{
    SwitchTo(MODE_MODELLER);
    ExpectRect(g_hToolsPanel, 0, 0, 250, 380, "tools");
    ExpectRect(g_hHierarchyPanel, 0, 380, 250, 340, "hierarchy");
    ExpectRect(g_hPropertiesPanel, 980, 0, 300, 720, "properties");
    ExpectRect(g_hViewport, 250, 0, 730, 720, "viewport");
    ExpectShown(g_hToolsPanel, true, "tools");
    ExpectShown(g_hHierarchyPanel, true, "hierarchy");
    ExpectShown(g_hPropertiesPanel, true, "properties");
    ExpectShown(g_hPainterPanel, false, "painter");
    ExpectShown(g_hPlotterPanel, false, "plotter");
    ExpectShown(g_hVertexPanel, false, "vertex");
    ExpectShown(g_hVertexPropertiesPanel, false, "vertex properties");
    ExpectShown(g_hViewport, true, "viewport");
}

TEST_F(Layout, PainterLayoutHasNoLeftColumn)
{
    SwitchTo(MODE_PAINTER);
    ExpectRect(g_hPainterPanel, 980, 0, 300, 720, "painter");
    ExpectRect(g_hViewport, 0, 0, 980, 720, "viewport");
    ExpectShown(g_hToolsPanel, false, "tools");
    ExpectShown(g_hHierarchyPanel, false, "hierarchy");
    ExpectShown(g_hPropertiesPanel, false, "properties");
    ExpectShown(g_hPainterPanel, true, "painter");
    ExpectShown(g_hPlotterPanel, false, "plotter");
    ExpectShown(g_hVertexPanel, false, "vertex");
    ExpectShown(g_hVertexPropertiesPanel, false, "vertex properties");
    ExpectShown(g_hViewport, true, "viewport");
}

TEST_F(Layout, PlotterLayout)
{
    SwitchTo(MODE_PLOTTER);
    ExpectRect(g_hPlotterPanel, 0, 0, 250, 720, "plotter");
    ExpectRect(g_hPropertiesPanel, 980, 0, 300, 720, "properties");
    ExpectRect(g_hViewport, 250, 0, 730, 720, "viewport");
    ExpectShown(g_hToolsPanel, false, "tools");
    ExpectShown(g_hHierarchyPanel, false, "hierarchy");
    ExpectShown(g_hPropertiesPanel, true, "properties");
    ExpectShown(g_hPainterPanel, false, "painter");
    ExpectShown(g_hPlotterPanel, true, "plotter");
    ExpectShown(g_hVertexPanel, false, "vertex");
    ExpectShown(g_hVertexPropertiesPanel, false, "vertex properties");
}

TEST_F(Layout, VertexEditorLayoutAndUnknownModes)
{
    for (int mode : {static_cast<int>(MODE_VERTEX_EDITOR), 7, -1}) {
        SwitchTo(MODE_PAINTER);
        SwitchTo(mode);
        ExpectRect(g_hVertexPanel, 0, 0, 250, 380, "vertex");
        ExpectRect(g_hHierarchyPanel, 0, 380, 250, 340, "hierarchy");
        ExpectRect(g_hVertexPropertiesPanel, 980, 0, 300, 720, "vertex properties");
        ExpectRect(g_hViewport, 250, 0, 730, 720, "viewport");
        ExpectShown(g_hToolsPanel, false, "tools");
        ExpectShown(g_hHierarchyPanel, true, "hierarchy");
        ExpectShown(g_hPropertiesPanel, false, "properties");
        ExpectShown(g_hPainterPanel, false, "painter");
        ExpectShown(g_hPlotterPanel, false, "plotter");
        ExpectShown(g_hVertexPanel, true, "vertex");
        ExpectShown(g_hVertexPropertiesPanel, true, "vertex properties");
    }
}

TEST_F(Layout, ResizingKeepsTheRightPanelFlush)
{
    SendMessageW(g_hMainWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1000, 600));
    EXPECT_EQ(g_WindowWidth, 1000);
    EXPECT_EQ(g_WindowHeight, 600);
    ExpectRect(g_hPropertiesPanel, 700, 0, 300, 600, "properties");
    ExpectRect(g_hViewport, 250, 0, 450, 600, "viewport");
    ExpectRect(g_hHierarchyPanel, 0, 380, 250, 220, "hierarchy");
    SendMessageW(g_hMainWnd, WM_COMMAND, 32790, 0);   // Painter
    ExpectRect(g_hViewport, 0, 0, 700, 600, "viewport");
    ExpectRect(g_hPainterPanel, 700, 0, 300, 600, "painter");
}

TEST_F(Layout, RealClientSizeReachesTheLayout)
{
    RECT frame = {0, 0, 1280, 720};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
    SetWindowPos(g_hMainWnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    RECT client = {};
    GetClientRect(g_hMainWnd, &client);
    EXPECT_EQ(g_WindowWidth, client.right);
    EXPECT_EQ(g_WindowHeight, client.bottom);
    ExpectRect(g_hPropertiesPanel, client.right - 300, 0, 300, client.bottom, "properties");
}

TEST_F(Layout, TinyWindowDoesNoHarm)
{
    SendMessageW(g_hMainWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100));
    const RECT viewport = ChildRect(g_hViewport);
    EXPECT_LE(viewport.right - viewport.left, 0);
    EXPECT_TRUE(IsWindow(g_hViewport));
}
