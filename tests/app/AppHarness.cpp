#include "tests/app/AppHarness.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/Modal.h"
#include "app/PreferencesFile.h"
#include "app/Startup.h"
#include "app/ThemeApi.h"
#include "app/WinGlobals.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Undo.h"
#include "tests/scene/SceneTestSupport.h"
#include "ui/Layout.h"

#include <uxtheme.h>
#include <dwmapi.h>

HACCEL g_TestAccelerators = nullptr;
std::vector<ThemeCall> g_ThemeCalls;
std::vector<DwmCall> g_DwmCalls;
std::wstring g_RefusedThemeName;

namespace {

HRESULT WINAPI RecordSetWindowTheme(HWND window, LPCWSTR name, LPCWSTR)
{
    g_ThemeCalls.push_back({window, name ? name : L""});
    return g_RefusedThemeName == (name ? name : L"") ? E_FAIL : S_OK;
}

HRESULT WINAPI RecordDwmSetWindowAttribute(HWND window, DWORD attribute, LPCVOID value, DWORD size)
{
    BOOL flag = -1;
    if (size == sizeof(BOOL))
        flag = *static_cast<const BOOL*>(value);
    g_DwmCalls.push_back({window, attribute, flag});
    return S_OK;
}

void DrainQueue()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// A preferences file left behind by an aborted run would change the theme
// every test starts with. The program is closed before the process ends, its
// OpenGL context with it: Wine kills a process whose Unix side is still
// tearing down a second after its last thread ended.
class CleanTestRun : public ::testing::Environment {
public:
    void SetUp() override { RemovePreferencesFile(); }
    void TearDown() override
    {
        ShutDownApplication();
        RemovePreferencesFile();
    }
};

const ::testing::Environment* const g_CleanTestRun = ::testing::AddGlobalTestEnvironment(new CleanTestRun);

} // namespace

void EnsureApplicationStarted()
{
    if (g_hMainWnd)
        return;
    ASSERT_TRUE(StartApplication(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE, &g_TestAccelerators));
    DrainQueue();
}

void ShutDownApplication()
{
    if (g_hDebugWindow)
        DestroyWindow(g_hDebugWindow);
    if (g_hMainWnd)
        DestroyWindow(g_hMainWnd);
    DrainQueue();
}

void RestartApplication()
{
    ShutDownApplication();
    EnsureApplicationStarted();
}

namespace {

// The scene reset emptied the paint brushes: a new Painter panel lists its
// start-up "Brush 1" again, as the running program's does.
void RecreatePainterPanel()
{
    if (!g_hPainterPanel)
        return;
    DestroyWindow(g_hPainterPanel);
    g_hPainterPanel = CreateWindowExW(WS_EX_COMPOSITED | WS_EX_CLIENTEDGE, L"OstrelPainterPanel", L"",
                                      WS_CHILD | WS_VSCROLL, 0, 0, 300, 720, g_hMainWnd, nullptr, g_hInstance,
                                      nullptr);
}

} // namespace

void ResetEditorState()
{
    ResetSceneState();
    RecreatePainterPanel();
    if (g_hMainWnd) {
        SetWindowTextW(g_hMainWnd, L"Tarsel Studio - Modeller Mode");
        SendMessageW(g_hMainWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1280, 720));
    }
}

void PumpPending()
{
    int exitCode = 0;
    PumpMessages(g_TestAccelerators, &exitCode);
}

void AppTest::Command(int id)
{
    SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void BeginScriptedModals()
{
    g_ModalScripted = true;
    g_ModalAnswers.clear();
    g_ModalCalls.clear();
    g_ModalUnexpectedCalls = 0;
}

namespace {

HHOOK g_RealBoxHook = nullptr;
int g_RealBoxAnswer = IDCANCEL;
int g_RealBoxTextControl = 0xFFFF;

LRESULT CALLBACK AnswerRealBoxHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[64] = {};
        GetClassNameW(box, className, 64);
        if (std::wstring(className) == L"#32770") {
            g_RealBoxCaption = WindowText(box);
            wchar_t text[2048] = {};
            GetDlgItemTextW(box, g_RealBoxTextControl, text, 2048);
            g_RealBoxText = text;
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(g_RealBoxAnswer, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(g_RealBoxHook, code, wParam, lParam);
}

} // namespace

std::wstring g_RealBoxCaption;
std::wstring g_RealBoxText;

void BeginAnsweringRealBoxes(int answer, int textControl)
{
    g_ModalScripted = false;
    g_RealBoxAnswer = answer;
    g_RealBoxTextControl = textControl;
    g_RealBoxCaption.clear();
    g_RealBoxText.clear();
    g_RealBoxHook = SetWindowsHookExW(WH_CBT, AnswerRealBoxHook, nullptr, GetCurrentThreadId());
    EXPECT_NE(g_RealBoxHook, nullptr);
}

void EndAnsweringRealBoxes()
{
    UnhookWindowsHookEx(g_RealBoxHook);
    g_RealBoxHook = nullptr;
    g_ModalScripted = true;
}

void QueueModalAnswer(INT_PTR result)
{
    g_ModalAnswers.push_back({result, L"", 0});
}

void EndScriptedModals()
{
    EXPECT_EQ(g_ModalUnexpectedCalls, 0) << "a box or dialog came up that the test did not expect";
    EXPECT_TRUE(g_ModalAnswers.empty()) << "a scripted answer was not asked for";
    g_ModalScripted = false;
    g_ModalAnswers.clear();
}

void RecordThemeCalls()
{
    g_ThemeCalls.clear();
    g_DwmCalls.clear();
    g_RefusedThemeName.clear();
    g_pSetWindowTheme = RecordSetWindowTheme;
    g_pDwmSetWindowAttribute = RecordDwmSetWindowAttribute;
}

void StopRecordingThemeCalls()
{
    g_pSetWindowTheme = SetWindowTheme;
    g_pDwmSetWindowAttribute = DwmSetWindowAttribute;
}

void WritePreferencesFile(const std::string& bytes)
{
    CreateDirectoryW(GetConfigFolder().c_str(), nullptr);
    FILE* file = _wfopen(GetPreferencesFilePath().c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

void RemovePreferencesFile()
{
    DeleteFileW(GetPreferencesFilePath().c_str());
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::string bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    fclose(file);
    return bytes;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

COLORREF BrushColor(HBRUSH brush)
{
    LOGBRUSH info = {};
    EXPECT_TRUE(GetObjectW(brush, sizeof info, &info));
    return info.lbColor;
}

std::wstring MenuItemText(HMENU menu, UINT id)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND);
    return text;
}

UINT MenuItemState(HMENU menu, UINT id)
{
    return GetMenuState(menu, id, MF_BYCOMMAND);
}

RECT ChildRect(HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool HasStyle(HWND window, LONG style)
{
    return (GetWindowLongW(window, GWL_STYLE) & style) == style;
}

std::wstring LogText()
{
    if (!g_hDebugEdit)
        return L"";
    const int length = GetWindowTextLengthW(g_hDebugEdit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(g_hDebugEdit, &text[0], length + 1);
    text.resize(length);
    return text;
}
