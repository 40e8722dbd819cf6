// What the properties panel's controls do: typing into an edit, the "<" and
// ">" buttons, the check boxes and radios, the texture list and Choose
// Color, each applied at once to the grid or to the panel's target.
#pragma once

#include <windows.h>

// The panel's WM_COMMAND.
void HandlePropertiesCommand(HWND panel, WPARAM wParam, LPARAM lParam);
