#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/Preferences.h"
#include "app/Startup.h"
#include "app/Theme.h"
#include "app/ThemeApi.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "tests/app/AppHarness.h"

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplicationStarted();
        ResetEditorState();
    }
    void TearDown() override
    {
        StopRecordingThemeCalls();
        RemovePreferencesFile();
    }
};

const wchar_t* const CLASS_NAMES[] = {L"TARSEL STUDIO",      L"OstrelHierarchy",   L"OstrelTools",
                                      L"OstrelViewport",     L"OstrelProperties",  L"OstrelPainterPanel",
                                      L"OstrelPlotterPanel", L"OstrelVertexPanel", L"OstrelVertexPropertiesPanel",
                                      L"OstrelDebugWindow"};

} // namespace

TEST_F(Startup, LoadsTitleAndClassNameFromTheStringTable)
{
    EXPECT_STREQ(g_szTitle, L"Tarsel Studio");
    EXPECT_STREQ(g_szWindowClass, L"TARSEL STUDIO");
}

TEST_F(Startup, RegistersTheTenWindowClasses)
{
    for (const wchar_t* name : CLASS_NAMES) {
        WNDCLASSEXW info = {};
        info.cbSize = sizeof info;
        EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), name, &info)) << name;
        EXPECT_NE(info.hCursor, nullptr) << name;
    }
    WNDCLASSEXW main = {};
    main.cbSize = sizeof main;
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"TARSEL STUDIO", &main));
    EXPECT_EQ(main.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(main.hbrBackground), 15);
    EXPECT_NE(main.hIcon, nullptr);
    EXPECT_NE(main.hIconSm, nullptr);
    WNDCLASSEXW tools = {};
    tools.cbSize = sizeof tools;
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"OstrelTools", &tools));
    EXPECT_EQ(tools.style, static_cast<UINT>(CS_DBLCLKS));
    WNDCLASSEXW viewport = {};
    viewport.cbSize = sizeof viewport;
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"OstrelViewport", &viewport));
    EXPECT_EQ(viewport.style, static_cast<UINT>(CS_OWNDC));
    EXPECT_EQ(viewport.hbrBackground, GetStockObject(BLACK_BRUSH));
}

TEST_F(Startup, CommonControlsAreReadyForTheTree)
{
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExW(nullptr, WC_TREEVIEWW, &info));
}

TEST_F(Startup, MainWindowIsTitledForTheModellerWithItsMenu)
{
    ASSERT_NE(g_hMainWnd, nullptr);
    EXPECT_EQ(WindowText(g_hMainWnd), L"Tarsel Studio - Modeller Mode");
    EXPECT_TRUE(IsWindowVisible(g_hMainWnd));
    EXPECT_NE(GetMenu(g_hMainWnd), nullptr);
    EXPECT_EQ(GetWindowLongW(g_hMainWnd, GWL_STYLE) & WS_OVERLAPPEDWINDOW, static_cast<LONG>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(g_hInstance, GetModuleHandleW(nullptr));
    EXPECT_NE(g_hHighlightBrush, nullptr);
    LOGBRUSH brush = {};
    ASSERT_TRUE(GetObjectW(g_hHighlightBrush, sizeof brush, &brush));
    EXPECT_EQ(brush.lbColor, RGB(200, 230, 255));
}

TEST_F(Startup, DebugWindowIsHiddenAndStartsItsLog)
{
    ASSERT_NE(g_hDebugWindow, nullptr);
    ASSERT_NE(g_hDebugEdit, nullptr);
    EXPECT_FALSE(IsWindowVisible(g_hDebugWindow));
    EXPECT_EQ(WindowText(g_hDebugWindow), L"Debug Output");
    EXPECT_EQ(LogText().substr(0, 24), L"Ostrel Debug Output...\r\n");
    const LONG exStyle = GetWindowLongW(g_hDebugWindow, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetParent(g_hDebugWindow), nullptr);
}

TEST_F(Startup, RestartedLogStartsAfreshAndThenLoadsTheBuiltInProp)
{
    RestartApplication();
    const std::wstring log = LogText();
    const std::wstring first = L"Ostrel Debug Output...\r\nLoading built-in Custom prop from: ";
    EXPECT_EQ(log.substr(0, first.size()), first);
    EXPECT_EQ(log.find(L"Ostrel Debug Output...", 1), std::wstring::npos);
}

TEST_F(Startup, CSGItemsStartGreyed)
{
    RestartApplication();
    HMENU menu = GetMenu(g_hMainWnd);
    for (UINT id : {ID_EDIT_JOIN, ID_EDIT_INTERSECTION, ID_EDIT_XOR, ID_EDIT_SLICE})
        EXPECT_TRUE(MenuItemState(menu, id) & MF_GRAYED) << id;
}

TEST_F(Startup, HooksReachTheWindows)
{
    DebugLog(L"hook line");
    EXPECT_NE(LogText().find(L"hook line\r\n"), std::wstring::npos);
    g_SceneObjects.resize(2);
    g_SelectedObjects = {0, 1};
    g_Hooks.UpdateCSGMenuState();
    EXPECT_FALSE(MenuItemState(GetMenu(g_hMainWnd), ID_EDIT_JOIN) & MF_GRAYED);
}

TEST_F(Startup, LightThemeRequestsNoDarkTitleBar)
{
    RecordThemeCalls();
    RestartApplication();
    ASSERT_EQ(g_DwmCalls.size(), 1u);
    EXPECT_EQ(g_DwmCalls[0].window, g_hMainWnd);
    EXPECT_EQ(g_DwmCalls[0].attribute, 20u);
    EXPECT_EQ(g_DwmCalls[0].value, FALSE);
    EXPECT_EQ(g_ColorPrefs.Theme, THEME_LIGHT);
}

TEST_F(Startup, DarkThemeFileRequestsTheDarkTitleBar)
{
    WritePreferencesFile("[Theme]\r\nTheme=Dark\r\nUIPanelBackground=32,33,34\r\n");
    RecordThemeCalls();
    RestartApplication();
    ASSERT_EQ(g_DwmCalls.size(), 1u);
    EXPECT_EQ(g_DwmCalls[0].window, g_hMainWnd);
    EXPECT_EQ(g_DwmCalls[0].attribute, DWM_IMMERSIVE_DARK_MODE_ATTRIBUTE);
    EXPECT_EQ(g_DwmCalls[0].value, TRUE);
    EXPECT_EQ(g_ColorPrefs.Theme, THEME_DARK);
    LOGBRUSH brush = {};
    ASSERT_TRUE(GetObjectW(g_hPanelBrush, sizeof brush, &brush));
    EXPECT_EQ(brush.lbColor, RGB(32, 33, 34));
    // Back to the light defaults for the other tests.
    RemovePreferencesFile();
    g_ColorPrefs = ColorPreferences();
    RestartApplication();
}

TEST_F(Startup, MissingDarkModeExportIsSkipped)
{
    HMODULE uxtheme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    ASSERT_NE(uxtheme, nullptr);
    const bool exported = GetProcAddress(uxtheme, MAKEINTRESOURCEA(135)) != nullptr;
    EXPECT_EQ(AllowDarkModeForApp(), exported);
}

TEST_F(Startup, AcceleratorTableHasItsEightEntries)
{
    ASSERT_NE(g_TestAccelerators, nullptr);
    ACCEL entries[16] = {};
    ASSERT_EQ(CopyAcceleratorTableW(g_TestAccelerators, nullptr, 0), 8);
    ASSERT_EQ(CopyAcceleratorTableW(g_TestAccelerators, entries, 16), 8);
    struct Expected {
        WORD key;
        WORD command;
        BYTE flags;
    };
    const Expected expected[] = {
        {'1', ID_MODE_MODELLER, FVIRTKEY | FCONTROL}, {'2', ID_MODE_PAINTER, FVIRTKEY | FCONTROL},
        {'3', ID_MODE_PLOTTER, FVIRTKEY | FCONTROL},  {'4', ID_MODE_VERTEXEDITOR, FVIRTKEY | FCONTROL},
        {'Z', ID_EDIT_UNDO, FVIRTKEY | FCONTROL},     {'Y', ID_EDIT_REDO, FVIRTKEY | FCONTROL},
        {'?', IDM_ABOUT, FALT},                        {'/', IDM_ABOUT, FALT},
    };
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].command) << i;
        EXPECT_EQ(entries[i].fVirt & ~FNOINVERT, expected[i].flags) << i;
    }
}

TEST_F(Startup, ExitDestroysTheWindowAndEndsTheLoop)
{
    SendMessageW(g_hMainWnd, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(g_hMainWnd, nullptr);
    EXPECT_EQ(g_hViewport, nullptr);
    // The loop drains what is queued and then stops with the quit code.
    int exitCode = -1;
    EXPECT_FALSE(PumpMessages(g_TestAccelerators, &exitCode));
    EXPECT_EQ(exitCode, 0);
    ShutDownApplication();
    EnsureApplicationStarted();
    EXPECT_NE(g_hMainWnd, nullptr);
}

TEST_F(Startup, QueuedMessagesAreDispatchedBeforeTheLoopEnds)
{
    PostMessageW(g_hMainWnd, WM_COMMAND, ID_VIEW_WIREFRAME, 0);
    PostQuitMessage(3);
    const bool wireframe = g_ShowWireframe;
    int exitCode = -1;
    EXPECT_FALSE(PumpMessages(g_TestAccelerators, &exitCode));
    EXPECT_EQ(exitCode, 3);
    EXPECT_NE(g_ShowWireframe, wireframe);
    SendMessageW(g_hMainWnd, WM_COMMAND, ID_VIEW_WIREFRAME, 0);
}
