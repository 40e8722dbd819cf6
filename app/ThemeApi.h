// The visual-style and window-manager calls behind the theme, reached through
// pointers a test may redirect to observe them: SetWindowTheme,
// DwmSetWindowAttribute, and the visual-style library's dark-mode switch.
#pragma once

#include <windows.h>

// Immersive dark title bar; older MinGW headers do not name it.
const DWORD DWM_IMMERSIVE_DARK_MODE_ATTRIBUTE = 20;

using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
using DwmSetWindowAttributeFunction = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

extern SetWindowThemeFunction g_pSetWindowTheme;
extern DwmSetWindowAttributeFunction g_pDwmSetWindowAttribute;

// Calls export 135 of the system's uxtheme.dll with 1 when the library and
// the export exist (the library stays loaded). Returns whether it was called.
bool AllowDarkModeForApp();

// Requests the dark title bar exactly when dark is true.
void SetDarkTitleBar(HWND window, bool dark);
