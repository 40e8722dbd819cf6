// Theme colours: the shared panel and edit brushes made from the preferences'
// user-interface colours, the tree view's colours, the light or dark visual
// style of the themed controls, and the repaint of the current mode's panel.
#pragma once

#include <windows.h>

#include "app/Preferences.h"

extern HBRUSH g_hPanelBrush;   // UIPanelBackground
extern HBRUSH g_hEditBrush;    // UIEditBackground

// A user-interface colour as a Win32 colour, from the low byte of each part.
COLORREF ColorOf(const Color3i& color);

// Replaces the two brushes and restyles every themed window that exists.
void ApplyThemeColors();

// "DarkMode_CFD" (falling back to "DarkMode_Explorer") under the dark theme,
// "Explorer" otherwise.
void ApplyWindowTheme(HWND window);

// Repaints the side panel of the current mode and every button in it.
void RepaintModePanel();
BOOL CALLBACK RepaintButtonsEnumProc(HWND window, LPARAM unused);
