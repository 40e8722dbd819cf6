// The Modeller's left press while no creation stage is active: selection
// clicks with the Select tool (Shift adds or removes an object, Ctrl toggles
// a CSG operand, empty space clears), the start of a creation base drag, and
// presses on or off the primary object's gizmo with a transform tool. The
// selection is mirrored into the hierarchy tree under g_TreeSelectionGuard.
#pragma once

#include <windows.h>

// control: the Control key as the press read it.
void PressModeller(HWND window, int x, int y, bool control);
