// The hierarchy panel: a label and the scene tree. A click on an object item
// selects the object, on a group item all its members; Shift+click toggles an
// object in the operation selection; in the Vertex Editor a selection holding
// primitives is offered for conversion to meshes. The tree's contents are
// built by ui/HierarchyTree.h.
#pragma once

#include <windows.h>

const int HIERARCHY_TREE_ID = 3000;

// The tree's own procedure, kept when the panel subclasses it.
extern WNDPROC g_OldTreeViewProc;

LRESULT CALLBACK HierarchyPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HierarchyTreeSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
