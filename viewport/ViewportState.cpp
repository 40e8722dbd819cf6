#include "viewport/ViewportState.h"

HDC g_hViewportDC = nullptr;
HGLRC g_hViewportRC = nullptr;

int g_CreateStartScreenX = 0, g_CreateStartScreenY = 0;
bool g_CreateStartPending = false;
int g_PreviewMouseX = 0, g_PreviewMouseY = 0;
bool g_CreateEndPending = false;

int g_LastMouseX = 0, g_LastMouseY = 0;

bool g_ViewMatricesReady = false;
