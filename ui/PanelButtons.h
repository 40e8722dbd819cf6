// The one face of every owner-drawn panel button: filled with the edit
// background, framed in the text colour (a thick accent frame for the active
// tool), the caption centred in the text colour.
//
// Panels call it from WM_DRAWITEM. Panels whose buttons are disabled while
// nothing is selected pass DIM_WHEN_DISABLED so a disabled caption is drawn
// in PanelDimTextColor (ui/PanelColors.h); the others keep the text colour.
//
// The tool panels lay their buttons and labels out in one column, built with
// CreateToolColumnControl, and draw them with DrawToolButton.
#pragma once

#include <windows.h>

enum DisabledCaption {
    KEEP_TEXT_WHEN_DISABLED = 0,
    DIM_WHEN_DISABLED = 1
};

void DrawPanelButton(const DRAWITEMSTRUCT* item, bool active, int disabledCaption = KEEP_TEXT_WHEN_DISABLED);

// The tool panels' column: from x TOOL_COLUMN_X, 230 pixels wide less a
// vertical scroll bar's width.
const int TOOL_COLUMN_X = 10;
int ToolColumnWidth();

// One control of the column at y: an owner-drawn button with the id, or a
// label when id is -1.
HWND CreateToolColumnControl(HWND panel, int id, const wchar_t* text, int y, int height);

// WM_DRAWITEM of a tool panel: draws the button, with the thick frame when
// isActive says its id is the active tool's; returns TRUE.
LRESULT DrawToolButton(LPARAM drawItem, bool (*isActive)(int id));
