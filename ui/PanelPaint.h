// Painting a side panel without flicker: its background and drawing go into
// an off-screen bitmap that is copied to the window in one go; and the
// titles and separator lines of a panel's sections.
#pragma once

#include <windows.h>

// WM_PAINT: fills the client area with g_hPanelBrush, lets drawContents add
// to it, and copies the result to the window.
void PaintPanelBuffered(HWND panel, void (*drawContents)(HDC dc, const RECT& client));

// A 1-pixel line in PanelDimTextColor from (10, y) to (client right - 10, y).
void DrawPanelSeparator(HDC dc, const RECT& client, int y);

// "Segoe UI", bold, the given height in pixels; the caller deletes it.
HFONT CreateTitleFont(int height);
