// The Scene Statistics dialog (template 114): one block of counts of the
// scene, read when the dialog opens; OK or Esc closes it.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SceneStatisticsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
