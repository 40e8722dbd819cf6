// The window procedure of the viewport child window (class "OstrelViewport",
// registered with CS_OWNDC): the OpenGL context's life, the GL viewport on
// resizing, camera orbit, pan and zoom by mouse, Escape to cancel creation
// and Ctrl+R to reset the camera. It never draws; the main loop does.
#pragma once

#include <windows.h>

LRESULT CALLBACK ViewportWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
