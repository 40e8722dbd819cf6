// The File menu's Open, Save and Save As: the file dialogs, the project
// reader and writer, and the boxes that report how they went.
#pragma once

#include <windows.h>

#include <string>

void FileOpen(HWND mainWindow);
// Saves to g_CurrentScenePath, or asks for a path while the scene has none.
void FileSave(HWND mainWindow);
void FileSaveAs(HWND mainWindow);
