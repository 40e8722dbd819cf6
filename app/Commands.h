// The main window's commands: one switch over the command ids of the menu,
// the accelerators and the tools panel's buttons, and the commands' own work
// (File New, the mode switches, the view presets, the debug window toggle).
#pragma once

#include <windows.h>

// Returns false for an id no case handles, which then goes to the default
// window procedure.
bool HandleCommand(HWND mainWindow, int id);

void FileNew(HWND mainWindow);
// Empties the Plotter's prop brush list (when it exists) and adds every brush
// name in order.
void FillPropBrushList();
// Empties the Plotter's placed-props list (when it exists) and adds every
// prop instance's name in order.
void FillPlacedPropsList();
void SwitchMode(HWND mainWindow, int mode);
void ApplyViewPreset(float pitch, float yaw);
void ToggleDebugWindow(HWND mainWindow);

// The title of the main window in a mode.
const wchar_t* ModeTitle(int mode);
