#include "ui/VertexPropertiesPanel.h"

#include <cmath>

#include "app/Preferences.h"
#include "app/Refresh.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "scene/VertexEdit.h"
#include "ui/GridControls.h"
#include "ui/MeshConversion.h"
#include "ui/PanelButtons.h"
#include "ui/PanelColors.h"
#include "ui/PanelEdits.h"
#include "ui/PanelPaint.h"
#include "ui/PanelRows.h"

bool g_UpdatingVertexPanel = false;

namespace {

const int POSITION_ROWS = 3;
const float UNSNAPPED_STEP = 0.1f;
const int HEADING_FONT_HEIGHT = 16;

struct RowSpec {
    int y;
    const wchar_t* label;
    int decreaseId, editId, increaseId;
    const wchar_t* text;
};

const RowSpec GRID_ROWS[] = {
    {55, L"Height:", 2005, GRID_HEIGHT_EDIT, 2006, L"0.0"},
    {80, L"Cell Size:", 2007, GRID_CELL_EDIT, 2008, L"1.0"},
    {105, L"Offset X:", 2009, GRID_OFFSET_X_EDIT, 2010, L"0.0"},
    {130, L"Offset Z:", 2011, GRID_OFFSET_Z_EDIT, 2012, L"0.0"},
};

const RowSpec POSITION_ROW_SPECS[POSITION_ROWS] = {
    {255, L"Pos X:", VERTEX_POS_X_DOWN, VERTEX_POS_X_EDIT, VERTEX_POS_X_DOWN + 1, L"0.0"},
    {280, L"Pos Y:", VERTEX_POS_X_DOWN + 2, VERTEX_POS_X_EDIT + 1, VERTEX_POS_X_DOWN + 3, L"0.0"},
    {305, L"Pos Z:", VERTEX_POS_X_DOWN + 4, VERTEX_POS_X_EDIT + 2, VERTEX_POS_X_DOWN + 5, L"0.0"},
};

void CreatePanelControls(HWND panel)
{
    for (const RowSpec& row : GRID_ROWS) {
        const StepRow created = CreateStepRow(panel, PROPERTIES_ROW_LAYOUT, row.y, row.label, row.decreaseId,
                                              row.editId, row.increaseId, row.text);
        SubclassPanelEdit(created.edit);
    }
    CreatePanelControl(panel, L"BUTTON", L"Show Grid", BS_AUTOCHECKBOX, 20, 155, 150, 20, GRID_SHOW_CHECK);
    CreatePanelControl(panel, L"BUTTON", L"Snap to Grid", BS_AUTOCHECKBOX, 20, 230, 150, 20, GRID_SNAP_CHECK);
    CheckDlgButton(panel, GRID_SHOW_CHECK, g_ShowGrid ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(panel, GRID_SNAP_CHECK, g_SnapToGrid ? BST_CHECKED : BST_UNCHECKED);
    for (const RowSpec& row : POSITION_ROW_SPECS)
        CreateStepRow(panel, PROPERTIES_ROW_LAYOUT, row.y, row.label, row.decreaseId, row.editId, row.increaseId,
                      row.text, false);
}

void EnablePositionRows(HWND panel, bool enabled)
{
    for (const RowSpec& row : POSITION_ROW_SPECS)
        EnableStepRow(panel, row.decreaseId, row.editId, row.increaseId, enabled);
}

bool HasVertexSelection()
{
    return g_SelectedVertexIndex >= 0 && IsValidObjectIndex(g_SelectedVertexObject);
}

// A vertex of a primitive changes only after the primitive becomes a mesh.
// True when the selected vertex's object is a mesh (now).
bool EnsureVertexObjectIsMesh(HWND panel)
{
    if (g_SceneObjects[g_SelectedVertexObject].isCSGMesh)
        return true;
    MeshConversionRule rule;
    rule.logLine = VertexEditingLogLine;
    const std::vector<int> primitive = {g_SelectedVertexObject};
    return AskAndConvertToMeshes(panel,
                                 VertexEditingQuestion(PrimitivesLead(primitive), L"it must be converted to a mesh.",
                                                       L"Gizmo transformations will still work.\n\n"),
                                 primitive, rule);
}

float SnapCoordinate(float value, float origin)
{
    return std::floor((value - origin) / g_GridCellSize + 0.5f) * g_GridCellSize + origin;
}

float GridOrigin(int axis)
{
    return axis == 0 ? g_GridOffsetX : (axis == 1 ? g_GridHeight : g_GridOffsetZ);
}

void TypePosition(HWND panel, int editId)
{
    if (g_UpdatingVertexPanel || !HasVertexSelection())
        return;
    if (!EnsureVertexObjectIsMesh(panel)) {
        // Declined: the edit goes back to the vertex's value.
        UpdateVertexPropertiesPanel();
        return;
    }
    SceneObject& object = g_SceneObjects[g_SelectedVertexObject];
    const int vertex = g_SelectedVertexIndex;
    if (vertex >= object.V.rows())
        return;
    const int axis = editId - VERTEX_POS_X_EDIT;
    float value = static_cast<float>(ReadEditNumber(GetDlgItem(panel, editId)));
    if (g_SnapToGrid)
        value = SnapCoordinate(value, GridOrigin(axis));
    Eigen::RowVector3d position = object.V.row(vertex).leftCols(3);
    position(axis) = value;
    SetMeshVertex(object, vertex, position);
    InvalidateViewport();
}

void StepPosition(HWND panel, int buttonId)
{
    if (!HasVertexSelection() || !EnsureVertexObjectIsMesh(panel))
        return;
    SceneObject& object = g_SceneObjects[g_SelectedVertexObject];
    const int vertex = g_SelectedVertexIndex;
    if (vertex >= object.V.rows())
        return;
    const int axis = (buttonId - VERTEX_POS_X_DOWN) / 2;
    const float sign = (buttonId - VERTEX_POS_X_DOWN) % 2 == 0 ? -1.0f : 1.0f;
    float position[3] = {static_cast<float>(object.V(vertex, 0)), static_cast<float>(object.V(vertex, 1)),
                         static_cast<float>(object.V(vertex, 2))};
    position[axis] += sign * (g_SnapToGrid ? g_GridCellSize : UNSNAPPED_STEP);
    if (g_SnapToGrid)
        for (int k = 0; k < 3; ++k)
            position[k] = SnapCoordinate(position[k], GridOrigin(k));
    SetMeshVertex(object, vertex, Eigen::RowVector3d(position[0], position[1], position[2]));
    UpdateVertexPropertiesPanel();
    InvalidateViewport();
}

void HandleCommand(HWND panel, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (code == EN_CHANGE) {
        if (IsGridEdit(id) && !g_UpdatingVertexPanel)
            ApplyGridEdit(id, static_cast<float>(ReadEditNumber(GetDlgItem(panel, id))));
        else if (id >= VERTEX_POS_X_EDIT && id < VERTEX_POS_X_EDIT + POSITION_ROWS)
            TypePosition(panel, id);
        return;
    }
    if (code != BN_CLICKED)
        return;
    if (IsGridStepButton(id))
        StepGrid(panel, id, &g_UpdatingVertexPanel);
    else if (id == GRID_SHOW_CHECK || id == GRID_SNAP_CHECK)
        ApplyGridCheck(panel, id);
    else if (id >= VERTEX_POS_X_DOWN && id < VERTEX_POS_X_DOWN + 2 * POSITION_ROWS)
        StepPosition(panel, id);
}

void DrawHeading(HDC dc, const wchar_t* text, int top, int width)
{
    RECT rect = {10, top, width - 10, top + 15};
    DrawTextW(dc, text, -1, &rect, DT_SINGLELINE);
}

void DrawHeadings(HDC dc, const RECT& client)
{
    HFONT font = CreateTitleFont(HEADING_FONT_HEIGHT);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorOf(g_ColorPrefs.UIText));
    DrawHeading(dc, L"Grid Properties", 35, client.right);
    DrawHeading(dc, L"Vertex Properties", 205, client.right);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    DrawPanelSeparator(dc, client, 200);
}

} // namespace

void UpdateVertexPropertiesPanel()
{
    HWND panel = g_hVertexPropertiesPanel;
    if (!panel)
        return;
    const bool was = g_UpdatingVertexPanel;
    g_UpdatingVertexPanel = true;
    WriteGridControls(panel);
    // The refill is no typing: leaving a grid edit keeps its value.
    const HWND focus = GetFocus();
    if (focus && GetParent(focus) == panel && IsGridEdit(GetDlgCtrlID(focus)))
        g_EditTypedSinceFocus = false;

    if (!HasVertexSelection()) {
        for (const RowSpec& row : POSITION_ROW_SPECS)
            SetDlgItemTextW(panel, row.editId, L"0.0");
        EnablePositionRows(panel, false);
    } else {
        const SceneObject& object = g_SceneObjects[g_SelectedVertexObject];
        Eigen::MatrixXd generated;
        Eigen::MatrixXi faces;
        if (!object.isCSGMesh)
            ObjectToMesh(object, generated, faces);
        const Eigen::MatrixXd& V = object.isCSGMesh ? object.V : generated;
        if (g_SelectedVertexIndex < V.rows() && V.cols() >= 3) {
            for (int axis = 0; axis < POSITION_ROWS; ++axis)
                WriteEditNumber(GetDlgItem(panel, VERTEX_POS_X_EDIT + axis), L"%.2f",
                                V(g_SelectedVertexIndex, axis));
            EnablePositionRows(panel, true);
        }
    }
    g_UpdatingVertexPanel = was;
}

LRESULT CALLBACK VertexPropertiesPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreatePanelControls(window);
        return 0;
    case WM_PAINT:
        PaintPanelBuffered(window, DrawHeadings);
        return 0;
    case WM_DRAWITEM:
        DrawPanelButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), false, DIM_WHEN_DISABLED);
        return TRUE;
    case WM_COMMAND:
        HandleCommand(window, wParam);
        return 0;
    default:
        return HandlePanelDefault(window, message, wParam, lParam);
    }
}
