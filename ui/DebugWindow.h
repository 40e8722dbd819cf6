// The debug output window: a hidden top-level tool window holding the running
// log, with a "Copy to Clipboard" button. AppendLogLine is what DebugLog
// writes through; it drops lines while the window does not exist.
#pragma once

#include <windows.h>

#include <string>

// Creates the window hidden, with its log box, font and button, and writes
// the first line. Leaves the handles null when creation fails.
void CreateDebugWindow(HINSTANCE instance);

void AppendLogLine(const std::wstring& line);

// Puts the whole log on the clipboard as Unicode text. Returns true only when
// the clipboard took it.
bool CopyLogToClipboard(HWND owner);

LRESULT CALLBACK DebugWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
