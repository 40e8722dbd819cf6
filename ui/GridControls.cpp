#include "ui/GridControls.h"

#include <algorithm>
#include <cmath>

#include "app/Refresh.h"
#include "scene/SceneState.h"
#include "ui/PanelEdits.h"

namespace {

const float MIN_TYPED_CELL = 0.01f;
const float CELL_STEP = 0.1f;

float& GridValue(int editId)
{
    switch (editId) {
    case GRID_HEIGHT_EDIT: return g_GridHeight;
    case GRID_CELL_EDIT: return g_GridCellSize;
    case GRID_OFFSET_X_EDIT: return g_GridOffsetX;
    default: return g_GridOffsetZ;
    }
}

void WriteGridEdit(HWND panel, int editId)
{
    WriteEditNumber(GetDlgItem(panel, editId), L"%.1f", GridValue(editId));
}

} // namespace

bool IsGridEdit(int id)
{
    return id >= GRID_HEIGHT_EDIT && id <= GRID_OFFSET_Z_EDIT;
}

bool IsGridStepButton(int id)
{
    return id >= GRID_HEIGHT_DOWN && id <= GRID_OFFSET_Z_UP;
}

void ApplyGridEdit(int id, float value)
{
    switch (id) {
    case GRID_HEIGHT_EDIT:
        g_GridHeight = value;
        break;
    case GRID_CELL_EDIT:
        if (value > MIN_TYPED_CELL)
            g_GridCellSize = value;
        break;
    case GRID_OFFSET_X_EDIT:
    case GRID_OFFSET_Z_EDIT:
        GridValue(id) = std::floor(value / g_GridCellSize + 0.5f) * g_GridCellSize;
        break;
    default:
        return;
    }
    InvalidateViewport();
}

void StepGrid(HWND panel, int id, bool* updating)
{
    if (!IsGridStepButton(id))
        return;
    const int editId = GRID_HEIGHT_EDIT + (id - GRID_HEIGHT_DOWN) / 2;
    const float sign = (id - GRID_HEIGHT_DOWN) % 2 == 0 ? -1.0f : 1.0f;
    if (editId == GRID_CELL_EDIT)
        g_GridCellSize = std::max(CELL_STEP, g_GridCellSize + sign * CELL_STEP);
    else
        GridValue(editId) += sign * g_GridCellSize;
    const bool was = *updating;
    *updating = true;
    WriteGridEdit(panel, editId);
    *updating = was;
    InvalidateViewport();
}

void ApplyGridCheck(HWND panel, int id)
{
    const bool checked = IsDlgButtonChecked(panel, id) == BST_CHECKED;
    if (id == GRID_SHOW_CHECK) {
        g_ShowGrid = checked;
        InvalidateViewport();
    } else if (id == GRID_SNAP_CHECK) {
        g_SnapToGrid = checked;
    }
}

void WriteGridControls(HWND panel)
{
    for (int id = GRID_HEIGHT_EDIT; id <= GRID_OFFSET_Z_EDIT; ++id)
        WriteGridEdit(panel, id);
    CheckDlgButton(panel, GRID_SHOW_CHECK, g_ShowGrid ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(panel, GRID_SNAP_CHECK, g_SnapToGrid ? BST_CHECKED : BST_UNCHECKED);
}
