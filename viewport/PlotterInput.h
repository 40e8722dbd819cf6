// The Plotter's left press in the viewport, by tool: Plot places an instance
// of the selected brush's model on the working plane, Select picks an
// instance, and the transform tools go to the prop gizmo. The placed-props
// list of the Plotter panel follows when it exists.
#pragma once

#include <windows.h>

void PressPlotter(HWND window, int x, int y);

// Places an instance of brush brushIndex (a valid index) on the plane point
// under (x, y), snapped to a cell centre while snapping; false on a miss.
bool PlacePropAt(int brushIndex, int x, int y);

// Makes index (or -1) the selected instance, in the list too, and refreshes
// the properties panel; logs the selection when asked.
void SelectPropInstance(int index, bool log);
