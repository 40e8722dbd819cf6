// The Plotter's side panel: the prop brushes (create, rename, remove, the
// model each places), the Plotter tools, the placed prop instances (select,
// remove), and the refill of its model combo box. Brushes and instances are
// outside undo.
#pragma once

#include <windows.h>

const int PLOTTER_TOOL_SELECT = 2200;
const int PLOTTER_TOOL_MOVE = 2201;
const int PLOTTER_TOOL_ROTATE = 2202;
const int PLOTTER_TOOL_SCALE = 2203;
const int PLOTTER_TOOL_PLOT = 2206;
const int PLOTTER_BRUSH_LIST = 3028;
const int PLOTTER_CREATE_BRUSH = 3029;
const int PLOTTER_REMOVE_BRUSH = 3030;
const int PLOTTER_PLACED_LIST = 3031;
const int PLOTTER_BRUSH_NAME = 3032;
const int PLOTTER_MODEL_COMBO = 3033;
const int PLOTTER_REMOVE_PROP = 3034;

LRESULT CALLBACK PlotterPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Refills the model combo (g_hPropModelCombo, when it exists) with "None" and
// every model's name in g_Models order; item k + 1 stands for model k. The
// selection is left unset.
void RefreshPlotterPropCombo();
