// The three export commands: each asks for a path in its save dialog, owned
// by the main window, hands a chosen path to its exporter and shows the
// exporter's boxes in order with no owner window. Cancel does nothing.
#pragma once

#include <windows.h>

void ExportGLB(HWND mainWindow);
void ExportOBJ(HWND mainWindow);
void ExportRuntimeSceneFile(HWND mainWindow);
