// The project file dialogs: "Open Scene" and "Save Scene" through the modal
// seam, each returning the chosen path or the empty string.
#pragma once

#include <windows.h>

#include <string>

// Empty when the user cancels; a dialog that fails logs an "ERROR: " line
// and also yields the empty string.
std::wstring ShowOpenSceneDialog(HWND owner);
std::wstring ShowSaveSceneDialog(HWND owner);
