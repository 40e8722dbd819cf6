// The main window's eight child windows: created once with the main window,
// then shown, hidden and placed for the current editor mode on every resize
// and mode change.
#pragma once

#include <windows.h>

const int LEFT_COLUMN_WIDTH = 250;
const int RIGHT_PANEL_WIDTH = 300;
const int TOOLS_PANEL_HEIGHT = 380;

void CreateChildWindows(HWND parent);

// Reads g_CurrentMode, g_WindowWidth and g_WindowHeight; the arguments are
// the size the caller saw and are not needed.
void LayoutPanelsForMode(int width, int height);

// Drops the handles of the children when the main window goes away.
void ForgetChildWindows();
