// The About box (dialog 103).
#pragma once

#include <windows.h>

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
