// The Vertex Editor's properties panel (right column): the grid rows and
// boxes shared with the properties panel, and the Pos X, Y and Z rows that
// type or step the primary selected vertex. A vertex of a primitive is
// edited after the primitive is converted to a mesh, on request.
#pragma once

#include <windows.h>

const int VERTEX_POS_X_EDIT = 2101;   // 2102 y, 2103 z
const int VERTEX_POS_X_DOWN = 2110;   // "<" and ">" per axis to 2115

// Set while UpdateVertexPropertiesPanel writes the panel: its own writes
// change nothing.
extern bool g_UpdatingVertexPanel;

LRESULT CALLBACK VertexPropertiesPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the grid controls from the globals and the position rows from the
// primary selected vertex (disabled without one). Nothing while the panel
// does not exist.
void UpdateVertexPropertiesPanel();
