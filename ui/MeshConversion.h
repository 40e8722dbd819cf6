// Turning primitives into explicit meshes so their vertices can be edited:
// the one question put to the user and the conversion that follows a Yes,
// shared by the Vertex Editor's mode switch and the hierarchy tree.
#pragma once

#include <windows.h>

#include <vector>

// Asks in a "Convert to Mesh" box (owner given). On Yes takes one undo
// snapshot and converts each listed object in order: its world mesh becomes
// its vertices and faces, its rotation 0, its name gains "[Mesh] ". Returns
// whether the user said Yes. An empty list asks nothing and returns false.
bool AskAndConvertToMeshes(HWND owner, const std::vector<int>& primitives);
