// Test support for mouse input in the viewport: client points aimed at world
// points through the last frame's matrices, mouse messages with their button
// and key flags and signed coordinates, and a fixture that starts every test
// with a rendered frame and the viewport's input state at rest.
#pragma once

#include <windows.h>

#include "tests/viewport/ViewportTestSupport.h"

struct ClientPoint {
    int x;
    int y;
};

// The client point (y down) a world point lands on in the last frame.
ClientPoint Aim(float x, float y, float z);
ClientPoint Offset(const ClientPoint& point, int dx, int dy);

// WM_LBUTTONDOWN, WM_MOUSEMOVE and WM_LBUTTONUP at a client point; the
// MK_* flags of the held keys and buttons as given.
void Press(HWND viewport, const ClientPoint& point, WPARAM flags = MK_LBUTTON);
void Move(HWND viewport, const ClientPoint& point, WPARAM flags);
void Release(HWND viewport, const ClientPoint& point, WPARAM flags = 0);
// Press and release at one point, as a click.
void Click(HWND viewport, const ClientPoint& point, WPARAM flags = 0);

class ViewportInputTest : public ViewportTest {
protected:
    void SetUp() override;
};

// Index of the first recorded hook call of that name at or after from, or -1.
int FindCall(const char* name, size_t from = 0);
