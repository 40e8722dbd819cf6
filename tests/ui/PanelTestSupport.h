// Test support for the side panels: scene objects to put in the scene, the
// hierarchy tree read back item by item, clicks on tree items with or
// without Shift, and pixels of a window printed into a memory bitmap.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "scene/SceneTypes.h"

struct TreeRow {
    HTREEITEM item;
    std::wstring text;
    int value;
    int depth;   // 0 for a root item
    bool expanded;
};

SceneObject MakeBox(const std::wstring& name, float minX, float minY, float minZ, float maxX, float maxY, float maxZ);
Group MakeGroup(const std::wstring& name, const std::vector<int>& members);

// Every item of the real tree, depth first.
std::vector<TreeRow> TreeRows();
HTREEITEM FirstTreeItemWithValue(int value);
HTREEITEM SelectedTreeItem();

// The item's label rectangle in the tree's client coordinates.
RECT TreeItemTextRect(HTREEITEM item);

// Button down and up on the item's label, Shift held or not.
void ClickTreeItem(HTREEITEM item, bool shift);
void SetShiftKey(bool down);

// A client pixel of a window after WM_PRINTCLIENT into a memory bitmap.
COLORREF PrintedPixel(HWND window, int x, int y);

int ModellerUndoDepth();
