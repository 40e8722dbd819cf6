#include <gtest/gtest.h>

#include <string>

#include "app/Modal.h"
#include "app/Preferences.h"
#include "app/Startup.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/DebugLog.h"
#include "tests/app/AppHarness.h"
#include "ui/DebugWindow.h"

namespace {

class DebugWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplicationStarted();
        if (!g_hDebugWindow)
            RestartApplication();
        BeginScriptedModals();
    }
    void TearDown() override
    {
        EndScriptedModals();
        g_ColorPrefs = ColorPreferences();
    }
    void PressCopy() { SendMessageW(g_hDebugWindow, WM_COMMAND, MAKEWPARAM(IDC_COPY_LOG, BN_CLICKED), 0); }
};

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<closed>";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data) {
        const wchar_t* chars = static_cast<const wchar_t*>(GlobalLock(data));
        if (chars)
            text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void PutOnClipboard(const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

HWND CopyButton()
{
    return GetDlgItem(g_hDebugWindow, IDC_COPY_LOG);
}

DWORD WINAPI HoldClipboard(LPVOID events)
{
    HANDLE* pair = static_cast<HANDLE*>(events);
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    OpenClipboard(owner);
    SetEvent(pair[0]);
    WaitForSingleObject(pair[1], 10000);
    CloseClipboard();
    DestroyWindow(owner);
    return 0;
}

} // namespace

TEST_F(DebugWindow, LayoutOfTheLogAndTheButton)
{
    RECT client = {};
    GetClientRect(g_hDebugWindow, &client);
    const RECT edit = ChildRect(g_hDebugEdit);
    EXPECT_EQ(edit.left, 0);
    EXPECT_EQ(edit.top, 0);
    EXPECT_EQ(edit.right, client.right);
    EXPECT_EQ(edit.bottom, client.bottom - 35);
    EXPECT_TRUE(HasStyle(g_hDebugEdit, ES_MULTILINE | ES_READONLY | WS_VSCROLL));
    HWND button = CopyButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(WindowText(button), L"Copy to Clipboard");
    const RECT place = ChildRect(button);
    EXPECT_EQ(place.left, (client.right - 150) / 2);
    EXPECT_EQ(place.top, client.bottom - 30);
    EXPECT_EQ(place.right - place.left, 150);
    EXPECT_EQ(place.bottom - place.top, 25);
    EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    RECT frame = {};
    GetWindowRect(g_hDebugWindow, &frame);
    EXPECT_EQ(frame.right - frame.left, 600);
    EXPECT_EQ(frame.bottom - frame.top, 435);
}

TEST_F(DebugWindow, DebugLogAppendsLinesWithCrLf)
{
    const std::wstring before = LogText();
    DebugLog(L"first");
    DebugLog(L"");
    DebugLog(L"third");
    EXPECT_EQ(LogText(), before + L"first\r\n\r\nthird\r\n");
}

TEST_F(DebugWindow, LogHasNoTextLimit)
{
    // The default limit would stop the log at 30000 characters.
    EXPECT_GT(static_cast<size_t>(SendMessageW(g_hDebugEdit, EM_GETLIMITTEXT, 0, 0)), 1000000u);
    const size_t before = LogText().size();
    for (int i = 0; i < 660; ++i)
        DebugLog(std::wstring(48, L'x'));
    EXPECT_EQ(LogText().size(), before + 660u * 50u);
}

TEST_F(DebugWindow, CopyPutsTheWholeLogOnTheClipboard)
{
    DebugLog(L"copy me");
    QueueModalAnswer(IDOK);
    PressCopy();
    EXPECT_EQ(ClipboardText(), LogText());
    EXPECT_EQ(ClipboardText().substr(0, 24), L"Ostrel Debug Output...\r\n");
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"Success");
    EXPECT_EQ(g_ModalCalls[0].text, L"Debug log copied to clipboard.");
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(g_ModalCalls[0].owner, g_hDebugWindow);
}

TEST_F(DebugWindow, EmptyLogCopiesNothing)
{
    PutOnClipboard(L"untouched");
    const std::wstring log = LogText();
    SetWindowTextW(g_hDebugEdit, L"");
    PressCopy();
    EXPECT_TRUE(g_ModalCalls.empty());
    EXPECT_EQ(ClipboardText(), L"untouched");
    SetWindowTextW(g_hDebugEdit, log.c_str());
}

TEST_F(DebugWindow, ClipboardHeldElsewhereCopiesNothingAndReportsNothing)
{
    PutOnClipboard(L"held");
    HANDLE events[2] = {CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, HoldClipboard, events, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(events[0], 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(CopyLogToClipboard(g_hDebugWindow));
    PressCopy();
    SetEvent(events[1]);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(events[0]);
    CloseHandle(events[1]);
    EXPECT_TRUE(g_ModalCalls.empty());
    EXPECT_EQ(ClipboardText(), L"held");
}

TEST_F(DebugWindow, ButtonIsPaintedLikeAPanelButton)
{
    g_ColorPrefs.UIEditBackground = {10, 200, 30};
    g_ColorPrefs.UIText = {250, 0, 250};
    HWND button = CopyButton();
    RECT client = {};
    GetClientRect(button, &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    EXPECT_EQ(GetPixel(memory, 3, client.bottom / 2), RGB(10, 200, 30));   // fill
    EXPECT_EQ(GetPixel(memory, 0, client.bottom / 2), RGB(250, 0, 250));   // frame
    EXPECT_EQ(GetPixel(memory, client.right / 2, 0), RGB(250, 0, 250));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST_F(DebugWindow, ClosingHidesTheWindowAndUnchecksTheItem)
{
    SendMessageW(g_hMainWnd, WM_COMMAND, ID_VIEW_DEBUGWINDOW, 0);
    ASSERT_TRUE(IsWindowVisible(g_hDebugWindow));
    SendMessageW(g_hDebugWindow, WM_CLOSE, 0, 0);
    ASSERT_NE(g_hDebugWindow, nullptr);
    EXPECT_TRUE(IsWindow(g_hDebugWindow));
    EXPECT_FALSE(IsWindowVisible(g_hDebugWindow));
    EXPECT_FALSE(MenuItemState(GetMenu(g_hMainWnd), ID_VIEW_DEBUGWINDOW) & MF_CHECKED);
    // It can be shown again, log intact.
    DebugLog(L"after close");
    SendMessageW(g_hMainWnd, WM_COMMAND, ID_VIEW_DEBUGWINDOW, 0);
    EXPECT_TRUE(IsWindowVisible(g_hDebugWindow));
    EXPECT_NE(LogText().find(L"after close\r\n"), std::wstring::npos);
    SendMessageW(g_hMainWnd, WM_COMMAND, ID_VIEW_DEBUGWINDOW, 0);
}

TEST_F(DebugWindow, DestroyedWindowIsForgottenAndLoggingGoesOn)
{
    SendMessageW(g_hMainWnd, WM_COMMAND, ID_VIEW_DEBUGWINDOW, 0);
    DestroyWindow(g_hDebugWindow);
    EXPECT_EQ(g_hDebugWindow, nullptr);
    EXPECT_EQ(g_hDebugEdit, nullptr);
    EXPECT_FALSE(MenuItemState(GetMenu(g_hMainWnd), ID_VIEW_DEBUGWINDOW) & MF_CHECKED);
    DebugLog(L"into nothing");
    SendMessageW(g_hMainWnd, WM_COMMAND, ID_VIEW_DEBUGWINDOW, 0);
    EXPECT_FALSE(MenuItemState(GetMenu(g_hMainWnd), ID_VIEW_DEBUGWINDOW) & MF_CHECKED);
    EXPECT_FALSE(CopyLogToClipboard(nullptr));
    RestartApplication();
    EXPECT_NE(g_hDebugWindow, nullptr);
}
