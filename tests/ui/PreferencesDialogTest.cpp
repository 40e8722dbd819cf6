#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "app/Modal.h"
#include "app/Preferences.h"
#include "app/PreferencesFile.h"
#include "app/Theme.h"
#include "app/ThemeApi.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "tests/app/AppHarness.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/PreferencesDialog.h"

namespace {

bool SameRecord(const ColorPreferences& a, const ColorPreferences& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool PreferencesFileExists()
{
    return GetFileAttributesW(GetPreferencesFilePath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PreferencesFileBytes()
{
    return ReadFileBytes(GetPreferencesFilePath());
}

COLORREF TreeBackground()
{
    return static_cast<COLORREF>(SendMessageW(g_hTreeView, TVM_GETBKCOLOR, 0, 0));
}

class PreferencesDialog : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        RemovePreferencesFile();
        RecordThemeCalls();
    }
    void TearDown() override
    {
        if (dialog_)
            DestroyWindow(dialog_);
        StopRecordingThemeCalls();
        RemovePreferencesFile();
        g_ColorPrefs = ColorPreferences();
        ApplyThemeColors();
        AppTest::TearDown();
    }

    HWND Open()
    {
        if (dialog_)
            DestroyWindow(dialog_);
        dialog_ = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_PREFERENCES), g_hMainWnd, PreferencesDlgProc, 0);
        EXPECT_NE(dialog_, nullptr);
        ShowWindow(dialog_, SW_SHOWNOACTIVATE);
        return dialog_;
    }
    void Click(int id) { SendMessageW(GetDlgItem(dialog_, id), BM_CLICK, 0, 0); }
    bool Checked(int id) { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
    std::wstring Text(int id) { return WindowText(GetDlgItem(dialog_, id)); }
    void Type(int id, const wchar_t* text) { SetDlgItemTextW(dialog_, id, text); }
    bool StillOpen() { return IsWindowVisible(dialog_) != FALSE; }
    COLORREF SwatchPixel(int id, int x, int y) { return PrintedPixel(GetDlgItem(dialog_, id), x, y); }
    void QueueColor(BOOL picked, COLORREF color) { g_ModalAnswers.push_back({picked, L"", color}); }

    HWND dialog_ = nullptr;
};

} // namespace

TEST_F(PreferencesDialog, OpensOnTheLiveValues)
{
    Open();
    EXPECT_TRUE(Checked(IDC_PREF_THEME_LIGHT));
    // Swatches are filled with their colour inside a black frame.
    EXPECT_EQ(SwatchPixel(IDC_PREF_SELECTION_SINGLE, 10, 8), RGB(255, 127, 0));
    EXPECT_EQ(SwatchPixel(IDC_PREF_SELECTION_SINGLE, 0, 0), RGB(0, 0, 0));

    g_ColorPrefs.Theme = THEME_DARK;
    g_ColorPrefs.VertexSize = 0.25f;
    Open();
    EXPECT_TRUE(Checked(IDC_PREF_THEME_DARK));
    EXPECT_FALSE(Checked(IDC_PREF_THEME_LIGHT));
    EXPECT_EQ(Text(IDC_PREF_VERTEX_SIZE), L"0.250000");
}

TEST_F(PreferencesDialog, CancelLeavesEverythingAsItWas)
{
    Open();
    Click(IDC_PREF_THEME_DARK);
    Type(IDC_PREF_VERTEX_SIZE, L"0.5");
    Click(IDCANCEL);
    EXPECT_FALSE(StillOpen());
    EXPECT_TRUE(SameRecord(g_ColorPrefs, ColorPreferences()));
    EXPECT_FALSE(PreferencesFileExists());
    EXPECT_TRUE(g_DwmCalls.empty());
    EXPECT_EQ(BrushColor(g_hPanelBrush), RGB(240, 240, 240));
}

TEST_F(PreferencesDialog, ResetThenOkWritesTheDefaults)
{
    ApplyThemePreset(g_ColorPrefs, THEME_DARK);
    g_ColorPrefs.PropSelectedTint = {0.1f, 0.1f, 0.1f};
    g_ColorPrefs.HierarchySelection = {1, 2, 3};
    g_ColorPrefs.SelectionOutlineWidth = 5.0f;
    Open();
    Click(IDC_PREF_RESET);
    EXPECT_TRUE(Checked(IDC_PREF_THEME_LIGHT));
    EXPECT_EQ(Text(IDC_PREF_OUTLINE_WIDTH), L"2.000000");
    Click(IDOK);
    EXPECT_TRUE(SameRecord(g_ColorPrefs, ColorPreferences()));
    EXPECT_EQ(PreferencesFileBytes(), FormatPreferencesText(ColorPreferences()));
    ASSERT_EQ(g_DwmCalls.size(), 1u);
    EXPECT_EQ(g_DwmCalls[0].value, FALSE);
}

TEST_F(PreferencesDialog, DarkThenOkAppliesTheDarkTheme)
{
    Open();
    Click(IDC_PREF_THEME_DARK);
    Click(IDOK);
    EXPECT_FALSE(StillOpen());
    ASSERT_EQ(g_DwmCalls.size(), 1u);
    EXPECT_EQ(g_DwmCalls[0].window, g_hMainWnd);
    EXPECT_EQ(g_DwmCalls[0].value, TRUE);
    int darkStyles = 0;
    for (const ThemeCall& call : g_ThemeCalls) {
        EXPECT_EQ(call.name, L"DarkMode_CFD");
        darkStyles += call.window == g_hTreeView || call.window == g_hToolsPanel;
    }
    EXPECT_EQ(darkStyles, 2);
    EXPECT_EQ(BrushColor(g_hPanelBrush), RGB(45, 45, 48));
    // The tree matches the panels it sits in, as at start-up.
    EXPECT_EQ(TreeBackground(), RGB(60, 60, 64));
    EXPECT_NE(PreferencesFileBytes().find("\r\nTheme=Dark\r\nUIPanelBackground=45,45,48\r\n"), std::string::npos);

    // Light, which the click turns on, brings the Light colours back.
    Open();
    Click(IDC_PREF_THEME_LIGHT);
    Click(IDOK);
    EXPECT_TRUE(SameRecord(g_ColorPrefs, ColorPreferences()));
    EXPECT_EQ(TreeBackground(), RGB(255, 255, 255));
}

TEST_F(PreferencesDialog, SwatchesShowClampedBytesAndPickedColoursComeBack)
{
    g_ColorPrefs.Grid = {0.5f, 0.5f, 0.5f};
    g_ColorPrefs.FaceHover = {1.2f, 0.5f, -0.3f};   // hand-edited out of range
    Open();
    EXPECT_EQ(SwatchPixel(IDC_PREF_GRID, 10, 8), RGB(127, 127, 127));
    EXPECT_EQ(SwatchPixel(IDC_PREF_FACE_HOVER, 10, 8), RGB(255, 127, 0));

    // The picker starts from the byte shown; OK without a change keeps it.
    QueueColor(TRUE, RGB(127, 127, 127));
    Click(IDC_PREF_GRID);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].owner, dialog_);
    EXPECT_EQ(g_ModalCalls[0].color, RGB(127, 127, 127));

    // A cancelled pick changes nothing; an out-of-range channel starts at 255.
    QueueColor(FALSE, 0);
    Click(IDC_PREF_FACE_HOVER);
    EXPECT_EQ(g_ModalCalls.back().color, RGB(255, 127, 0));
    EXPECT_FLOAT_EQ(g_PrefsDialogCopy.FaceHover.r, 1.2f);

    QueueColor(TRUE, RGB(10, 20, 30));
    Click(IDC_PREF_GIZMO_Y);
    EXPECT_EQ(SwatchPixel(IDC_PREF_GIZMO_Y, 10, 8), RGB(10, 20, 30));
    EXPECT_FLOAT_EQ(g_ColorPrefs.GizmoY.g, 1.0f) << "only OK makes a pick live";
    Click(IDOK);
    EXPECT_FLOAT_EQ(g_ColorPrefs.Grid.g, 127 / 255.0f);
    EXPECT_FLOAT_EQ(g_ColorPrefs.GizmoY.b, 30 / 255.0f);
}

TEST_F(PreferencesDialog, SizesThatAreNoNumberAboveZeroAreRefused)
{
    Open();
    Click(IDC_PREF_THEME_DARK);
    const struct {
        int id;
        const wchar_t* field;
    } edits[] = {{IDC_PREF_VERTEX_SIZE, L"Vertex Size"}, {IDC_PREF_OUTLINE_WIDTH, L"Outline Width"}};
    for (const auto& edit : edits) {
        for (const wchar_t* text : {L"", L"wide", L"0", L"-2", L"1e39", L"nan"}) {
            Type(IDC_PREF_VERTEX_SIZE, L"0.15");
            Type(IDC_PREF_OUTLINE_WIDTH, L"2");
            Type(edit.id, text);
            g_ModalCalls.clear();
            QueueModalAnswer(IDOK);
            Click(IDOK);
            ASSERT_EQ(g_ModalCalls.size(), 1u) << text;
            EXPECT_NE(g_ModalCalls[0].text.find(edit.field), std::wstring::npos) << g_ModalCalls[0].text;
            EXPECT_TRUE(StillOpen()) << text;
        }
    }
    EXPECT_TRUE(SameRecord(g_ColorPrefs, ColorPreferences()));
    EXPECT_FALSE(PreferencesFileExists());

    // A number with trailing text is taken.
    Type(IDC_PREF_OUTLINE_WIDTH, L"3.5px");
    Type(IDC_PREF_VERTEX_SIZE, L" 0.3");
    Click(IDOK);
    EXPECT_FALSE(StillOpen());
    EXPECT_FLOAT_EQ(g_ColorPrefs.SelectionOutlineWidth, 3.5f);
    EXPECT_FLOAT_EQ(g_ColorPrefs.VertexSize, 0.3f);
    EXPECT_NE(PreferencesFileBytes().find("\r\nSelectionOutlineWidth=3.5\r\n"), std::string::npos);
}

TEST_F(PreferencesDialog, MenuCommandOpensTheRealDialogAndOkHoldsAfterRestart)
{
    // Values changed since start-up become the file's on OK.
    ApplyThemePreset(g_ColorPrefs, THEME_DARK);
    g_ColorPrefs.VertexSize = 0.4f;
    BeginAnsweringRealBoxes(IDOK, IDC_PREF_VERTEX_SIZE);
    Command(ID_TOOLS_PREFERENCES);
    EndAnsweringRealBoxes();
    EXPECT_EQ(g_RealBoxCaption, L"Preferences");
    EXPECT_EQ(g_RealBoxText, L"0.400000");

    g_ColorPrefs = ColorPreferences();
    RestartApplication();
    EXPECT_EQ(g_ColorPrefs.Theme, THEME_DARK);
    EXPECT_FLOAT_EQ(g_ColorPrefs.VertexSize, 0.4f);
    EXPECT_EQ(BrushColor(g_hPanelBrush), RGB(45, 45, 48));
    RemovePreferencesFile();
    g_ColorPrefs = ColorPreferences();
    RestartApplication();
}
