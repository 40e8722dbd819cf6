// Small window requests shared by the commands and the scene core's hooks:
// repaint the viewport or the tools panel, focus the viewport, read the
// Control key, and set a menu item's check mark. Each does nothing while its
// window does not exist.
#pragma once

#include <windows.h>

void InvalidateViewport();     // without erasing
void InvalidateToolsPanel();   // with erasing
void FocusViewport();
bool IsCtrlKeyDown();
void SetMenuCheck(HWND window, int itemId, bool checked);
