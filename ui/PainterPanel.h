// The Painter panel (class "OstrelPainterPanel"): the list of paint brushes
// with Create and Remove, the selected brush's name, texture, size, texture
// scale and colour, "Apply Paint" on the selected faces, "Clear Selection",
// and the "Surface Info" box that shows the viewport's face summary. Brush
// edits take no undo snapshot; Apply Paint takes one.
#pragma once

#include <windows.h>

#include <string>

const int PAINTER_BRUSH_LIST = 3009;
const int PAINTER_CREATE = 3010;
const int PAINTER_REMOVE = 3011;
const int PAINTER_NAME_EDIT = 3012;
const int PAINTER_TEXTURE_COMBO = 3013;
const int PAINTER_SIZE_EDIT = 3014;
const int PAINTER_SIZE_DOWN = 3015;
const int PAINTER_SIZE_UP = 3016;
const int PAINTER_SCALE_EDIT = 3017;
const int PAINTER_SCALE_DOWN = 3018;
const int PAINTER_SCALE_UP = 3019;
const int PAINTER_APPLY = 3020;
const int PAINTER_STATUS = 3021;
const int PAINTER_CLEAR = 3022;
const int PAINTER_PICK_COLOR = 3023;
const int PAINTER_SWATCH = 3024;

LRESULT CALLBACK PainterPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Writes text ('\n' between lines) into the "Surface Info" box; nothing
// while the panel does not exist.
void SetPainterStatus(const std::wstring& text);

// Refills the texture list from g_Textures and selects the selected brush's
// texture ("None" without a brush). Call whenever g_Textures changes.
void RefreshPainterTextureCombo();

// The textures were replaced (New, Open): every brush's texture becomes none,
// so no brush keeps an index the new list gives another meaning, and the
// texture list is refilled.
void ForgetPaintBrushTextures();
