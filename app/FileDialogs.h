// The file dialogs through the modal seam: "Open Scene" and "Save Scene" for
// projects and one save dialog per export, each returning the chosen path or
// the empty string.
#pragma once

#include <windows.h>

#include <string>

// Empty when the user cancels; a dialog that fails logs an "ERROR: " line
// and also yields the empty string.
std::wstring ShowOpenSceneDialog(HWND owner);
std::wstring ShowSaveSceneDialog(HWND owner);
std::wstring ShowExportGLBDialog(HWND owner);
std::wstring ShowExportOBJDialog(HWND owner);
std::wstring ShowExportRuntimeSceneDialog(HWND owner);
