#include "viewport/PlotterInput.h"

#include <string>

#include "app/WinGlobals.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "viewport/Camera.h"
#include "viewport/Picking.h"
#include "viewport/PropTransform.h"
#include "viewport/ViewProjection.h"

bool PlacePropAt(int brushIndex, int x, int y)
{
    float groundX = 0.0f, groundZ = 0.0f;
    if (!ScreenToGroundPlane(x, y, &groundX, &groundZ))
        return false;
    if (g_SnapToGrid) {
        groundX = SnapToCellCentre(groundX, g_GridCellSize);
        groundZ = SnapToCellCentre(groundZ, g_GridCellSize);
    }
    g_PropInstances.push_back(MakePropInstance(g_PropBrushes[brushIndex], groundX, groundZ));
    const PropInstance& instance = g_PropInstances.back();
    if (g_hPlacedPropsList)
        SendMessageW(g_hPlacedPropsList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(instance.name.c_str()));
    DebugLog(L"Placed prop instance: " + instance.name + L" at (" + std::to_wstring(groundX) + L", " +
             std::to_wstring(g_GridHeight) + L", " + std::to_wstring(groundZ) + L")");
    g_Hooks.InvalidateViewport();
    return true;
}

void SelectPropInstance(int index, bool log)
{
    g_SelectedPropInstance = index;
    if (g_hPlacedPropsList)
        SendMessageW(g_hPlacedPropsList, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    g_Hooks.UpdatePropertiesPanel();
    if (log && IsValidPropInstanceIndex(index))
        DebugLog(L"Selected prop instance: " + g_PropInstances[index].name);
    g_Hooks.InvalidateViewport();
}

void PressPlotter(HWND window, int x, int y)
{
    const int brushCount = static_cast<int>(g_PropBrushes.size());
    switch (g_CurrentTool) {
    case TOOL_PLOT:
        if (g_SelectedPropBrush >= 0 && g_SelectedPropBrush < brushCount)
            PlacePropAt(g_SelectedPropBrush, x, y);
        break;
    case TOOL_SELECT:
        SelectPropInstance(PickPropInstance(x, y), true);
        break;
    case TOOL_MOVE:
    case TOOL_ROTATE:
    case TOOL_SCALE:
        PressPropGizmo(window, x, y);
        break;
    default:
        break;
    }
}
