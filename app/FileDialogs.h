// The file dialogs through the modal seam: one runner for every open and save
// dialog, the project's "Open Scene" and "Save Scene", and one save dialog
// per export, each returning the chosen path or the empty string.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

// Runs one open or save dialog (show is ShowOpenFileDialog or
// ShowSaveFileDialog) with a 260-character path buffer, the filter's first
// pair selected; a null title gives the system's own. Returns the chosen
// path, or the empty string on cancel or failure (a failure logs an "ERROR: "
// line).
std::wstring RunFileDialog(HWND owner, const wchar_t* title, const wchar_t* filter, const wchar_t* defaultExtension,
                           DWORD flags, BOOL (*show)(OPENFILENAMEW*));

// Empty when the user cancels; a dialog that fails logs an "ERROR: " line
// and also yields the empty string.
std::wstring ShowOpenSceneDialog(HWND owner);
std::wstring ShowSaveSceneDialog(HWND owner);
std::wstring ShowExportGLBDialog(HWND owner);
std::wstring ShowExportOBJDialog(HWND owner);
std::wstring ShowExportRuntimeSceneDialog(HWND owner);
