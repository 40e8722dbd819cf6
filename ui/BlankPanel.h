// The window procedure of a side panel that has no controls yet: it paints
// its client area with the theme's panel colour.
#pragma once

#include <windows.h>

LRESULT CALLBACK BlankPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
