// The properties panel of the Modeller and the Plotter: the grid settings and
// the properties of one target - the selected prop instance in the Plotter,
// the primary selected object otherwise - shown in step rows, check boxes,
// radios, a colour swatch and a texture list, edited in place (every change
// goes straight into the scene), and scrolled with its bar and the wheel.
#pragma once

#include <windows.h>

// Control ids (local to the panel).
const int PROP_GRID_HEIGHT_EDIT = 2001;
const int PROP_GRID_CELL_EDIT = 2002;
const int PROP_GRID_OFFSET_X_EDIT = 2003;
const int PROP_GRID_OFFSET_Z_EDIT = 2004;
const int PROP_GRID_HEIGHT_DOWN = 2005;      // 2005 to 2012: "<" and ">" of the grid rows
const int PROP_SHOW_GRID_CHECK = 2013;
const int PROP_SNAP_CHECK = 2014;
const int PROP_LINK_SCALING_CHECK = 2015;
const int PROP_NAME_EDIT = 2100;
const int PROP_POS_X_EDIT = 2101;            // 2101 to 2103 position, 2104 to 2106 scale, 2107 to 2109 rotation
const int PROP_SCALE_X_EDIT = 2104;
const int PROP_ROT_X_EDIT = 2107;
const int PROP_POS_X_DOWN = 2110;            // 2110 to 2115 position, 2116 to 2121 scale, 2122 to 2127 rotation
const int PROP_SCALE_X_DOWN = 2116;
const int PROP_ROT_X_DOWN = 2122;
const int PROP_CHOOSE_COLOR_BUTTON = 2128;
const int PROP_COLOR_SWATCH = 2129;
const int PROP_ROT_STEP_EDIT = 2133;
const int PROP_ROT_STEP_DOWN = 2134;
const int PROP_ROT_STEP_UP = 2135;
const int PROP_TEX_SCALE_EDIT = 2136;
const int PROP_TEX_SCALE_DOWN = 2137;
const int PROP_TEX_SCALE_UP = 2138;
const int PROP_VISIBLE_CHECK = 2139;
const int PROP_SELECTABLE_CHECK = 2140;
const int PROP_ALPHA_EDIT = 2142;
const int PROP_ALPHA_DOWN = 2143;
const int PROP_ALPHA_UP = 2144;
const int PROP_SOLID_RADIO = 2145;
const int PROP_HOLE_RADIO = 2146;
const int PROP_TEXTURE_COMBO = 3004;

// Height of the scrolled contents in pixels.
const int PROPERTIES_CONTENT_HEIGHT = 800;

extern int g_PropertiesScrollPos;
// Set while the panel writes its own edits, so their EN_CHANGE is ignored.
extern bool g_UpdatingPropertiesPanel;
extern HBRUSH g_ColorSwatchBrush;
extern COLORREF g_PropertiesCustomColors[16];

LRESULT CALLBACK PropertiesPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the grid controls from the globals and every object or prop control
// from the current target. Nothing while the panel does not exist.
void UpdatePropertiesPanel();

// Enables the object-only controls outside the Plotter, disables them in it,
// refreshes the grid controls and repaints the panel.
void UpdatePropertiesPanelForMode();
