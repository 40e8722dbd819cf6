// Start-up and the message loop: preferences and theme, the ten window
// classes, the main window and the hidden debug output window, the hooks the
// scene core calls, and the loop that pumps messages through the
// accelerator table.
#pragma once

#include <windows.h>

// Registers the main window class (named by string 109) and the nine panel,
// viewport and debug window classes; failures are ignored.
void RegisterWindowClasses(HINSTANCE instance);

// Points the scene core's hooks at the Win32 implementations.
void InstallUiHooks();

// Creates the main window (FALSE when that fails), titles and shows it,
// creates the debug output window and sets the menu's enabled states.
BOOL InitInstance(HINSTANCE instance, int showCommand);

// Everything before the loop: returns the accelerator table through
// accelerators, or FALSE when the main window could not be made.
BOOL StartApplication(HINSTANCE instance, int showCommand, HACCEL* accelerators);

// Drains the queue, passing each message through the accelerator table
// first. Returns false once the quit message came, with its exit code.
bool PumpMessages(HACCEL accelerators, int* exitCode);

int RunMessageLoop(HACCEL accelerators);

// wWinMain's whole work.
int RunApplication(HINSTANCE instance, int showCommand);

// The strings 103 and 109, loaded at start.
extern wchar_t g_szTitle[100];
extern wchar_t g_szWindowClass[100];
