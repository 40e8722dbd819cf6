#include "ui/DebugWindow.h"

#include <cstring>

#include "app/Modal.h"
#include "app/Refresh.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "ui/PanelButtons.h"

namespace {

const int DEBUG_WINDOW_X = 50;
const int DEBUG_WINDOW_Y = 50;
const int DEBUG_WINDOW_WIDTH = 600;
const int DEBUG_WINDOW_HEIGHT = 435;
const int BUTTON_WIDTH = 150;
const int BUTTON_HEIGHT = 25;
const int BUTTON_AREA = 35;   // below the log box

HFONT g_hDebugFont = nullptr;

} // namespace

void CreateDebugWindow(HINSTANCE instance)
{
    g_hDebugWindow = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"OstrelDebugWindow", L"Debug Output",
                                     WS_OVERLAPPEDWINDOW, DEBUG_WINDOW_X, DEBUG_WINDOW_Y,
                                     DEBUG_WINDOW_WIDTH, DEBUG_WINDOW_HEIGHT, nullptr, nullptr, instance, nullptr);
    if (!g_hDebugWindow)
        return;
    RECT client = {};
    GetClientRect(g_hDebugWindow, &client);
    const int w = client.right;
    const int h = client.bottom;

    g_hDebugEdit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                       ES_READONLY | ES_WANTRETURN,
                                   0, 0, w, h - BUTTON_AREA, g_hDebugWindow, nullptr, instance, nullptr);
    SendMessageW(g_hDebugEdit, EM_SETLIMITTEXT, 0, 0);
    ShowScrollBar(g_hDebugEdit, SB_VERT, TRUE);

    if (!g_hDebugFont)
        g_hDebugFont = CreateFontW(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Consolas");
    SendMessageW(g_hDebugEdit, WM_SETFONT, reinterpret_cast<WPARAM>(g_hDebugFont), TRUE);

    HWND button = CreateWindowExW(0, L"BUTTON", L"Copy to Clipboard", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                                  (w - BUTTON_WIDTH) / 2, h - 30, BUTTON_WIDTH, BUTTON_HEIGHT, g_hDebugWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_COPY_LOG)), instance, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(g_hDebugFont), TRUE);

    AppendLogLine(L"Ostrel Debug Output...");
}

void AppendLogLine(const std::wstring& line)
{
    if (!g_hDebugEdit)
        return;
    const int length = GetWindowTextLengthW(g_hDebugEdit);
    SendMessageW(g_hDebugEdit, EM_SETSEL, length, length);
    const std::wstring text = line + L"\r\n";
    SendMessageW(g_hDebugEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(g_hDebugEdit, EM_SCROLLCARET, 0, 0);
}

bool CopyLogToClipboard(HWND owner)
{
    if (!g_hDebugEdit)
        return false;
    const int length = GetWindowTextLengthW(g_hDebugEdit);
    if (length < 1)
        return false;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(g_hDebugEdit, &text[0], length + 1);

    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    bool copied = false;
    const size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory) {
        void* target = GlobalLock(memory);
        if (target) {
            memcpy(target, text.c_str(), bytes);
            GlobalUnlock(memory);
            copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        // The clipboard owns the block only once it has taken it.
        if (!copied)
            GlobalFree(memory);
    }
    CloseClipboard();
    return copied;
}

LRESULT CALLBACK DebugWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) != IDC_COPY_LOG)
            break;
        if (CopyLogToClipboard(window))
            ShowMessageBox(window, L"Debug log copied to clipboard.", L"Success", MB_ICONINFORMATION);
        return 0;
    case WM_DRAWITEM:
        DrawPanelButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), false);
        return TRUE;
    case WM_CLOSE:
        // Closing only hides the log, so it keeps growing and can be shown again.
        ShowWindow(window, SW_HIDE);
        SetMenuCheck(g_hMainWnd, ID_VIEW_DEBUGWINDOW, false);
        return 0;
    case WM_DESTROY:
        if (window == g_hDebugWindow) {
            g_hDebugWindow = nullptr;
            g_hDebugEdit = nullptr;
            SetMenuCheck(g_hMainWnd, ID_VIEW_DEBUGWINDOW, false);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
