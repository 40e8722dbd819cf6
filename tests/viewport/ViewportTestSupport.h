// Test support for the viewport: a fixture that opens a real viewport window
// (class "OstrelViewport" with the viewport's window procedure) inside a
// parent window, with a real OpenGL context, and helpers that render a frame,
// aim at world points with gluProject and read the back buffer.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/SceneTypes.h"

const int VIEW_WIDTH = 640;
const int VIEW_HEIGHT = 480;

// Every log line written while any viewport test ran, in order.
extern std::vector<std::wstring> g_AllLogLines;

using Rgb = std::array<int, 3>;

class ViewportTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND parent = nullptr;
    HWND viewport = nullptr;
};

// Registers the viewport class with its window procedure (once).
void RegisterViewportClass();

// A parent window with a viewport child of the given client size.
HWND CreateViewportWindow(HWND* parentOut, int width, int height);

// Renders one frame and finishes it, without swapping.
void RenderFrame();

// Window point (GL convention, y up) of a world point, using the matrices of
// the last frame.
bool ProjectPoint(float x, float y, float z, int* windowX, int* windowY);

// One back-buffer pixel, GL window coordinates.
Rgb ReadPixel(int x, int y);
// The pixel a world point lands on.
Rgb PixelAtWorld(float x, float y, float z);
// Whether any pixel within radius (in window pixels) of a world point matches.
bool AnyPixelNear(float x, float y, float z, int radius, const Rgb& expected, int tolerance = 4);

Rgb ToRgb(float r, float g, float b);
bool SameColor(const Rgb& actual, const Rgb& expected, int tolerance = 3);
std::string Describe(const Rgb& color);

// Log lines of the current test that start with prefix.
int CountLogLines(const std::wstring& prefix);
int CountAllLogLines(const std::wstring& prefix);

// A solid cube object with the given bounds and colour.
SceneObject MakeCube(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, int r, int g, int b,
                     int a = 255);
// The same box as an explicit mesh of 12 triangles.
SceneObject MakeMeshCube(float minX, float minY, float minZ, float maxX, float maxY, float maxZ);

// Sets the thread's key state as GetKeyState reports it.
void SetKeyDown(int key, bool down);
