#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/Preferences.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "tests/app/AppHarness.h"

namespace {

class Theme : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplicationStarted();
        ResetEditorState();
        RecordThemeCalls();
    }
    void TearDown() override
    {
        if (g_hTreeView) {
            DestroyWindow(g_hTreeView);
            g_hTreeView = nullptr;
        }
        StopRecordingThemeCalls();
        RemovePreferencesFile();
        g_ColorPrefs = ColorPreferences();
        ApplyThemeColors();
        ResetEditorState();
    }
};

HWND MakeTree()
{
    return CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 200, g_hHierarchyPanel, nullptr,
                           g_hInstance, nullptr);
}

int ThemeCallsFor(HWND window, const wchar_t* name)
{
    int count = 0;
    for (const ThemeCall& call : g_ThemeCalls) {
        if (call.window == window && call.name == name)
            ++count;
    }
    return count;
}

// Colour of one client pixel of a window whose background is erased into a
// memory bitmap.
COLORREF ErasedPixel(HWND window, int x, int y)
{
    RECT client = {};
    GetClientRect(window, &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
    const COLORREF color = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return color;
}

} // namespace

TEST_F(Theme, UserInterfaceColoursComeFromThePreferencesFile)
{
    WritePreferencesFile("UIPanelBackground=10,20,30\r\nUIEditBackground=40,50,60\r\n"
                         "UITreeBackground=70,80,90\r\nUITreeText=200,210,220\r\n");
    RestartApplication();
    EXPECT_EQ(BrushColor(g_hPanelBrush), RGB(10, 20, 30));
    EXPECT_EQ(BrushColor(g_hEditBrush), RGB(40, 50, 60));
    g_hTreeView = MakeTree();
    ApplyThemeColors();
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(g_hTreeView, TVM_GETBKCOLOR, 0, 0)), RGB(70, 80, 90));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(g_hTreeView, TVM_GETTEXTCOLOR, 0, 0)), RGB(200, 210, 220));
    // The blank panels paint with the panel colour.
    EXPECT_EQ(ErasedPixel(g_hPropertiesPanel, 20, 20), RGB(10, 20, 30));
    RemovePreferencesFile();
    g_ColorPrefs = ColorPreferences();
    RestartApplication();
}

TEST_F(Theme, ColourPartsUseTheirLowByte)
{
    EXPECT_EQ(ColorOf({300, -1, 256}), RGB(44, 255, 0));
    g_ColorPrefs.UIPanelBackground = {256 + 7, 8, 9};
    ApplyThemeColors();
    EXPECT_EQ(BrushColor(g_hPanelBrush), RGB(7, 8, 9));
}

TEST_F(Theme, ApplyingTwiceReplacesTheBrushes)
{
    ApplyThemeColors();
    HBRUSH panel = g_hPanelBrush;
    HBRUSH edit = g_hEditBrush;
    ApplyThemeColors();
    EXPECT_EQ(GetObjectType(panel), 0u);
    EXPECT_EQ(GetObjectType(edit), 0u);
    EXPECT_EQ(GetObjectType(g_hPanelBrush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(g_hEditBrush), static_cast<DWORD>(OBJ_BRUSH));
}

TEST_F(Theme, LightThemeGivesExplorerStyle)
{
    g_hTreeView = MakeTree();
    ApplyThemeColors();
    EXPECT_EQ(ThemeCallsFor(g_hTreeView, L"Explorer"), 1);
    EXPECT_EQ(ThemeCallsFor(g_hToolsPanel, L"Explorer"), 1);
    EXPECT_EQ(ThemeCallsFor(g_hPropBrushList, L"Explorer"), 1);
    EXPECT_EQ(ThemeCallsFor(g_hPlacedPropsList, L"Explorer"), 1);
    EXPECT_EQ(ThemeCallsFor(g_hPaintBrushList, L"Explorer"), 1);
    EXPECT_EQ(g_ThemeCalls.size(), 5u);
}

TEST_F(Theme, DarkThemeGivesDarkStyles)
{
    g_ColorPrefs.Theme = THEME_DARK;
    g_hTreeView = MakeTree();
    ApplyThemeColors();
    EXPECT_EQ(ThemeCallsFor(g_hTreeView, L"DarkMode_CFD"), 1);
    EXPECT_EQ(ThemeCallsFor(g_hToolsPanel, L"DarkMode_CFD"), 1);
    EXPECT_EQ(ThemeCallsFor(g_hTreeView, L"DarkMode_Explorer"), 0);

    // Where the first style is refused the second follows.
    g_ThemeCalls.clear();
    g_RefusedThemeName = L"DarkMode_CFD";
    ApplyThemeColors();
    EXPECT_EQ(ThemeCallsFor(g_hTreeView, L"DarkMode_Explorer"), 1);
    EXPECT_EQ(ThemeCallsFor(g_hToolsPanel, L"DarkMode_Explorer"), 1);
    ASSERT_EQ(g_ThemeCalls.size(), 10u);
    EXPECT_EQ(g_ThemeCalls[0].name, L"DarkMode_CFD");
    EXPECT_EQ(g_ThemeCalls[1].name, L"DarkMode_Explorer");
}

TEST_F(Theme, ListsAreStyledWhenTheyExist)
{
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 100, 100, g_hPlotterPanel, nullptr, g_hInstance,
                                nullptr);
    HWND panelList = g_hPropBrushList;
    g_hPropBrushList = list;
    ApplyThemeColors();
    g_hPropBrushList = panelList;
    DestroyWindow(list);
    EXPECT_EQ(ThemeCallsFor(list, L"Explorer"), 1);
}

namespace {

int g_ButtonPaints = 0;
int g_StaticPaints = 0;
WNDPROC g_ButtonProc = nullptr;
WNDPROC g_StaticProc = nullptr;

LRESULT CALLBACK CountButtonPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++g_ButtonPaints;
    return CallWindowProcW(g_ButtonProc, window, message, wParam, lParam);
}

LRESULT CALLBACK CountStaticPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++g_StaticPaints;
    return CallWindowProcW(g_StaticProc, window, message, wParam, lParam);
}

} // namespace

TEST_F(Theme, RepaintModePanelRepaintsButtonsOfTheCurrentModesPanel)
{
    SendMessageW(g_hMainWnd, WM_COMMAND, 32790, 0);   // Painter
    // The container clips its children, so invalidating the panel leaves
    // them alone: only the enumeration can repaint them.
    HWND inner = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 200, 200,
                                 g_hPainterPanel, nullptr, g_hInstance, nullptr);
    HWND nested = CreateWindowExW(0, L"BUTTON", L"B", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 50, 20, inner,
                                  nullptr, g_hInstance, nullptr);
    HWND label = CreateWindowExW(0, L"STATIC", L"L", WS_CHILD | WS_VISIBLE, 0, 30, 50, 20, inner, nullptr,
                                 g_hInstance, nullptr);
    g_ButtonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(nested, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountButtonPaint)));
    g_StaticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountStaticPaint)));
    UpdateWindow(g_hMainWnd);
    RedrawWindow(g_hPainterPanel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    g_ButtonPaints = 0;
    g_StaticPaints = 0;
    RepaintModePanel();
    EXPECT_GE(g_ButtonPaints, 1);
    EXPECT_EQ(g_StaticPaints, 0);
    DestroyWindow(inner);
}
