#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/Preferences.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "tests/app/AppHarness.h"

namespace {

class PanelPainting : public AppTest {
protected:
    void TearDown() override
    {
        g_ColorPrefs = ColorPreferences();
        ApplyThemeColors();
        AppTest::TearDown();
    }
};

// What the screen shows at a point of a window's client area after every
// pending paint has run.
COLORREF ShownPixel(HWND window, int x, int y)
{
    RedrawWindow(g_hMainWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

// The side panels of Painter and Plotter show their background and their
// buttons, not a blank window.
TEST_F(PanelPainting, PainterAndPlotterPanelsShowTheirControls)
{
    const COLORREF background = ColorOf(g_ColorPrefs.UIPanelBackground);
    const COLORREF frame = ColorOf(g_ColorPrefs.UIText);

    Command(ID_MODE_PAINTER);
    ASSERT_TRUE(IsWindowVisible(g_hPainterPanel));
    EXPECT_EQ(ShownPixel(g_hPainterPanel, 150, 170), background);
    RECT create = ChildRect(GetDlgItem(g_hPainterPanel, 3010));
    EXPECT_EQ(ShownPixel(g_hPainterPanel, create.left, create.top + 5), frame);

    Command(ID_MODE_PLOTTER);
    ASSERT_TRUE(IsWindowVisible(g_hPlotterPanel));
    EXPECT_EQ(ShownPixel(g_hPlotterPanel, 3, 3), background);
}

BOOL CALLBACK CollectLabel(HWND child, LPARAM list)
{
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Static") == 0 && GetWindowTextLengthW(child) > 0)
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// Every label of the side panels shows its whole text in its own font.
TEST_F(PanelPainting, PanelLabelsFitTheirText)
{
    for (HWND panel : {g_hToolsPanel, g_hPropertiesPanel, g_hPainterPanel, g_hPlotterPanel, g_hVertexPanel,
                       g_hVertexPropertiesPanel}) {
        std::vector<HWND> labels;
        EnumChildWindows(panel, CollectLabel, reinterpret_cast<LPARAM>(&labels));
        for (HWND label : labels) {
            const std::wstring text = WindowText(label);
            HDC dc = GetDC(label);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
            SIZE extent = {};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            SelectObject(dc, old);
            ReleaseDC(label, dc);
            RECT client = {};
            GetClientRect(label, &client);
            EXPECT_LE(extent.cx, client.right) << std::string(text.begin(), text.end());
        }
    }
}

// The tools panel's painted headings sit behind its labels; no light band
// shows around them in the dark theme.
TEST_F(PanelPainting, ToolsPanelHeadingsLeaveNoBandInTheDarkTheme)
{
    ApplyThemePreset(g_ColorPrefs, THEME_DARK);
    ApplyThemeColors();
    const RECT remove = ChildRect(GetDlgItem(g_hToolsPanel, 2205));
    for (int y = remove.bottom; y < remove.bottom + 8; ++y)
        EXPECT_EQ(ShownPixel(g_hToolsPanel, remove.left + 2, y), ColorOf(g_ColorPrefs.UIPanelBackground)) << y;
}

} // namespace
