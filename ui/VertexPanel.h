// The Vertex Editor's tool panel (above the hierarchy): Select Vertex, Move
// Vertex, Add Vertex and Remove Vertices, owner-drawn, the active tool framed
// thick.
#pragma once

#include <windows.h>

const int VERTEX_BUTTON_SELECT = 2200;
const int VERTEX_BUTTON_MOVE = 2201;
const int VERTEX_BUTTON_ADD = 2202;
const int VERTEX_BUTTON_REMOVE = 2207;

LRESULT CALLBACK VertexPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
