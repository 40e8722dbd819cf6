// Primitive creation by mouse in the Modeller: the press that starts the base
// drag, the mouse moves of the base and height stages, the release that ends
// the base stage, the click that finishes the height stage, and the turning
// of the pending window corners into points on the working plane.
#pragma once

#include <windows.h>

// Window y of the release that began the height stage.
extern int g_CreateHeightStartY;

// Resolves the pending start and (during the base stage) end corners from
// the matrices of the last frame, snapped when snapping is on. A miss keeps
// the previous corner. Run by each frame and by every step that uses them.
void ResolvePendingCorners();

// A left press with creation armed and no stage active.
void StartCreationBaseDrag(HWND window, int x, int y);

// A mouse move in the base stage while dragging, or in the height stage.
void MoveCreation(int x, int y);

// The creation part of a left release (y: window y of the release).
void ReleaseCreation(int y);

// A left press while a stage is active: finishes the height stage.
void ClickCreation();
