// The Vertex Editor's share of the viewport: the left press by tool (a press
// on the vertex gizmo starts a drag, Add Vertex splits an edge or a face,
// Remove Vertices removes the vertex under the cursor after asking, any other
// press selects a vertex or an object) and the drag that moves the selected
// vertices along a world axis. Primitives are offered for conversion to a
// mesh before their vertices change.
#pragma once

#include <windows.h>

void PressVertexEditor(HWND window, int x, int y);

// Whether a mouse move belongs to a vertex drag: a gizmo drag with vertices
// selected and the Move Vertex tool.
bool IsVertexDragActive();

// One mouse move of the vertex drag: the motion since the last event along
// the drag axis (whole cells while snapping) moves every selected vertex.
void DragSelectedVertices(HWND window, int x, int y);
