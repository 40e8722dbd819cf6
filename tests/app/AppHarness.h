// Test support for the Win32 shell: starts the real application windows in
// the test process, scripts the modal seam, records the theme calls, and
// reads back menus, window rectangles and the log.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern HACCEL g_TestAccelerators;

// Starts the application once (hidden main window shown without activation);
// later calls reuse it.
void EnsureApplicationStarted();
// Destroys the main and debug windows and drains the queue, quit included.
void ShutDownApplication();
void RestartApplication();

// Puts the editor back to its start-up state: Modeller, empty scene and
// selections, default camera and options, client size 1280 x 720.
void ResetEditorState();

// Dispatches everything queued, through the accelerator table.
void PumpPending();

// Modal seam scripting.
void BeginScriptedModals();
void QueueModalAnswer(INT_PTR result);
void EndScriptedModals();

// Real (unscripted) boxes and dialogs: between Begin and End the modal seam
// goes to Win32, and a CBT hook presses `answer` in every dialog-class window
// of this thread as it activates, keeping the last one's caption and the text
// of its control textControl (a message box's text is 0xFFFF).
void BeginAnsweringRealBoxes(int answer, int textControl = 0xFFFF);
void EndAnsweringRealBoxes();
extern std::wstring g_RealBoxCaption;
extern std::wstring g_RealBoxText;

// A test on the running editor in its start-up state, with scripted boxes.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplicationStarted();
        ResetEditorState();
        BeginScriptedModals();
    }
    void TearDown() override
    {
        EndScriptedModals();
        ResetEditorState();
    }
    // A menu or accelerator command reaching the main window.
    void Command(int id);
};

// SetWindowTheme and DwmSetWindowAttribute recorders.
struct ThemeCall {
    HWND window;
    std::wstring name;
};
struct DwmCall {
    HWND window;
    DWORD attribute;
    BOOL value;
};
extern std::vector<ThemeCall> g_ThemeCalls;
extern std::vector<DwmCall> g_DwmCalls;
extern std::wstring g_RefusedThemeName;   // SetWindowTheme fails for this name
void RecordThemeCalls();
void StopRecordingThemeCalls();

// The preferences file beside the test program.
void WritePreferencesFile(const std::string& bytes);
void RemovePreferencesFile();
// The whole file, empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

std::wstring WindowText(HWND window);
COLORREF BrushColor(HBRUSH brush);
std::wstring MenuItemText(HMENU menu, UINT id);
UINT MenuItemState(HMENU menu, UINT id);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
bool HasStyle(HWND window, LONG style);
std::wstring LogText();
