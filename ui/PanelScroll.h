// Vertical scrolling of a side panel whose controls reach below its client
// area: the scroll bar's range and page, and moving the contents to a new
// position.
#pragma once

#include <windows.h>

// Range 0 to maximum, page = the client height, and the position.
void SetPanelScrollRange(HWND panel, int maximum, int position);

// The bar's range, page and position.
SCROLLINFO PanelScrollInfo(HWND panel);

// Limits wanted to 0 .. maximum - page; when that differs from *position,
// stores it there, moves the bar and scrolls the contents at once.
void ScrollPanelTo(HWND panel, int wanted, int* position);
