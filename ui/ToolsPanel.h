// The Modeller's tools panel: the Select, Move, Rotate and Scale tools, the
// Duplicate and Remove actions on the primary selected object, and the seven
// buttons that arm the creation of a primitive (forwarded to the main
// window). Every button is owner-drawn; the active tool or armed primitive
// gets the thick frame.
#pragma once

#include <windows.h>

const int TOOL_BUTTON_SELECT = 2200;
const int TOOL_BUTTON_MOVE = 2201;
const int TOOL_BUTTON_ROTATE = 2202;
const int TOOL_BUTTON_SCALE = 2203;
const int TOOL_BUTTON_DUPLICATE = 2204;
const int TOOL_BUTTON_REMOVE = 2205;

// Pixels the panel's contents are scrolled by.
extern int g_ToolsScrollPos;

LRESULT CALLBACK ToolsPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the primary selected object one unit along X and Z as "<name> Copy",
// ungrouped, and makes the copy the one selected object. Undoable.
void DuplicateSelectedObject();

// After a Yes to "Confirm Removal" (owner given), erases the primary selected
// object, renumbering every reference to later objects. Undoable.
void RemoveSelectedObject(HWND owner);
