#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/Modal.h"
#include "app/SceneStatistics.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "tests/app/AppHarness.h"
#include "tests/app/StatisticsScene.h"
#include "ui/SceneStatisticsDialog.h"

namespace {

std::wstring ControlText(HWND control)
{
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(control, &text[0], length + 1);
    text.resize(length);
    return text;
}

// The rectangle text needs when the static draws it with its own font.
RECT DrawnTextRect(HWND label, const std::wstring& text)
{
    RECT client = {};
    GetClientRect(label, &client);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT needed = client;
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return needed;
}

} // namespace

using SceneStatisticsDialog = AppTest;

TEST_F(SceneStatisticsDialog, FullTextFitsAboveTheButtonAndEscCloses)
{
    FillEveryKindScene();
    HWND dialog = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_SCENESTATISTICS), g_hMainWnd,
                                     SceneStatisticsDlgProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), L"Scene Statistics");
    HWND label = GetDlgItem(dialog, IDC_STATISTICS_TEXT);
    EXPECT_EQ(ControlText(label), EVERY_KIND_STATISTICS);

    RECT client = {};
    GetClientRect(label, &client);
    const RECT needed = DrawnTextRect(label, EVERY_KIND_STATISTICS);
    EXPECT_LE(needed.bottom, client.bottom) << "the last lines are cut off";
    EXPECT_LE(needed.right, client.right);
    // Three more lines would still fit: long numbers or another font do not cut it.
    EXPECT_LE(DrawnTextRect(label, EVERY_KIND_STATISTICS + L"\n\n\n").bottom, client.bottom);
    EXPECT_GE(ChildRect(GetDlgItem(dialog, IDOK)).top, ChildRect(label).bottom);

    ShowWindow(dialog, SW_SHOWNOACTIVATE);
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(dialog));
    DestroyWindow(dialog);
}

TEST_F(SceneStatisticsDialog, MenuCommandOpensTheRealDialog)
{
    FillEveryKindScene();
    BeginAnsweringRealBoxes(IDOK, IDC_STATISTICS_TEXT);
    Command(ID_VIEW_STATISTICS);
    EndAnsweringRealBoxes();
    EXPECT_EQ(g_RealBoxCaption, L"Scene Statistics");
    EXPECT_EQ(g_RealBoxText, EVERY_KIND_STATISTICS);
}
