// The main window's procedure: builds and lays out the child windows, cancels
// primitive creation on Escape, carries out commands and ends the message
// loop when the window is destroyed.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Escape while a primitive is armed or being dragged returns to Select.
void CancelPrimitiveCreation();
