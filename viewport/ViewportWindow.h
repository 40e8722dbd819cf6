// The window procedure of the viewport child window (class "OstrelViewport",
// registered with CS_OWNDC): the OpenGL context's life, the GL viewport on
// resizing, camera orbit, pan and zoom by mouse, Escape to cancel creation
// and Ctrl+R to reset the camera, and the left button dispatched by mode
// and tool (selection, gizmo drags, primitive creation, prop placement). A
// move without the button that started a drag ends the drag. It never draws;
// the main loop does.
#pragma once

#include <windows.h>

LRESULT CALLBACK ViewportWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
