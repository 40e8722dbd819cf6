// The grid rows and boxes that the properties panel and the vertex properties
// panel both carry under the same control ids: Height, Cell Size, Offset X
// and Offset Z (edits 2001 to 2004, their "<" and ">" buttons 2005 to 2012),
// Show Grid (2013) and Snap to Grid (2014). Each panel routes the
// notifications of these ids here; what a change does to the grid is the
// same in both.
#pragma once

#include <windows.h>

const int GRID_HEIGHT_EDIT = 2001;
const int GRID_CELL_EDIT = 2002;
const int GRID_OFFSET_X_EDIT = 2003;
const int GRID_OFFSET_Z_EDIT = 2004;
const int GRID_HEIGHT_DOWN = 2005;   // then up, and the same pair per row to 2012
const int GRID_OFFSET_Z_UP = 2012;
const int GRID_SHOW_CHECK = 2013;
const int GRID_SNAP_CHECK = 2014;

bool IsGridEdit(int id);
bool IsGridStepButton(int id);

// A typed value: the height as it is, a cell size above 0.01, an offset
// snapped to the cell. The viewport is repainted.
void ApplyGridEdit(int id, float value);

// A "<" or ">" button: the value moves by a cell (the cell size by 0.1, not
// below 0.1) and its edit shows it with "%.1f". The edit is written while
// *updating is set, so its own notification does not store the rounded text
// over the value.
void StepGrid(HWND panel, int id, bool* updating);

// Show Grid or Snap to Grid took the box's state.
void ApplyGridCheck(HWND panel, int id);

// The four edits with "%.1f" and the two boxes from the globals. The caller
// sets its panel's updating flag around it.
void WriteGridControls(HWND panel);
