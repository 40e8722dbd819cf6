// State the viewport shares with the rest of the program: its device and
// rendering contexts, the window points the window procedure hands to the
// next frame (creation corners, preview point), the last mouse point of a
// camera drag, and whether a frame has left usable view matrices behind.
#pragma once

#include <windows.h>

extern HDC g_hViewportDC;     // from InitOpenGL until the window is destroyed
extern HGLRC g_hViewportRC;   // null when no context could be made

// Window points turned into world points by the next frame.
extern int g_CreateStartScreenX, g_CreateStartScreenY;
extern bool g_CreateStartPending;
extern int g_PreviewMouseX, g_PreviewMouseY;
extern bool g_CreateEndPending;

// Cursor at the previous mouse event: the reference of camera drags.
extern int g_LastMouseX, g_LastMouseY;

// True once a frame has set the projection and camera matrices on the live
// context; the pickers report a miss before that.
extern bool g_ViewMatricesReady;
