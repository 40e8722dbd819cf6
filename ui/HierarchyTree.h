// The hierarchy tree's contents: rebuilding it from the groups and objects,
// selecting the item of an object, clearing its selection, and reading an
// item's value (object index, or -2 minus the group index).
#pragma once

#include <windows.h>
#include <commctrl.h>

// Empties the tree and lists every group with its valid members, expanded,
// then every ungrouped object. Nothing while the tree does not exist.
void RefreshHierarchyTree();

// Makes the first item whose value is the index the caret, depth first from
// the first root item. The tree reports it as it reports a click.
void SelectTreeItemByObjectIndex(int index);

// Leaves no item selected; the tree's report of it changes nothing.
void ClearTreeSelection();

// The value stored with an item; -1 for no item.
int TreeItemValue(HWND tree, HTREEITEM item);
