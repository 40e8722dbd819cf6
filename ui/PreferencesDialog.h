// The Preferences dialog (template 115): edits g_PrefsDialogCopy (twelve
// colour swatches, the vertex size, the outline width and the Light or Dark
// theme); OK makes it live, saves the file and re-applies the theme.
#pragma once

#include <windows.h>

INT_PTR CALLBACK PreferencesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The system colour dialog behind every swatch, starting from r, g, b
// (0.0 to 1.0); on OK writes the choice back and repaints control controlId.
void PickColor(HWND dialog, int controlId, float* r, float* g, float* b);
