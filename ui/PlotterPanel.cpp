#include "ui/PlotterPanel.h"

#include <string>

#include "app/Commands.h"
#include "app/Modal.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "ui/PanelButtons.h"
#include "ui/PanelColors.h"
#include "ui/PanelRows.h"

namespace {

HWND g_hBrushNameEdit = nullptr;

struct PlotterControl {
    int id;                 // -1 for a label
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int y;
    int height;
};

const DWORD LIST_STYLE = LBS_NOTIFY | WS_VSCROLL;

const PlotterControl PLOTTER_CONTROLS[] = {
    {-1, L"STATIC", L"Prop Brushes:", 0, 10, 18},
    {PLOTTER_BRUSH_LIST, L"LISTBOX", L"", LIST_STYLE, 32, 100},
    {-1, L"STATIC", L"Brush Name:", 0, 182, 18},
    {PLOTTER_BRUSH_NAME, L"EDIT", L"", ES_AUTOHSCROLL, 202, 20},
    {-1, L"STATIC", L"Prop:", 0, 230, 18},
    {PLOTTER_MODEL_COMBO, L"COMBOBOX", L"", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL, 250, 200},
    {-1, L"STATIC", L"Tools:", 0, 295, 18},
    {PLOTTER_TOOL_SELECT, L"BUTTON", L"Select", BS_OWNERDRAW, 317, 20},
    {PLOTTER_TOOL_PLOT, L"BUTTON", L"Plot", BS_OWNERDRAW, 340, 20},
    {PLOTTER_TOOL_MOVE, L"BUTTON", L"Move", BS_OWNERDRAW, 363, 20},
    {PLOTTER_TOOL_ROTATE, L"BUTTON", L"Rotate", BS_OWNERDRAW, 386, 20},
    {PLOTTER_TOOL_SCALE, L"BUTTON", L"Scale", BS_OWNERDRAW, 409, 20},
    {PLOTTER_REMOVE_PROP, L"BUTTON", L"Remove", BS_OWNERDRAW, 432, 20},
    {-1, L"STATIC", L"Placed Props:", 0, 470, 18},
    {PLOTTER_PLACED_LIST, L"LISTBOX", L"", LIST_STYLE, 492, 200},
};

HWND CreateControl(HWND panel, int id, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                   int width, int height)
{
    const bool framed = id == PLOTTER_BRUSH_LIST || id == PLOTTER_PLACED_LIST || id == PLOTTER_BRUSH_NAME;
    return CreatePanelControl(panel, className, text, style, x, y, width, height, id, framed ? WS_EX_CLIENTEDGE : 0);
}

void CreatePlotterControls(HWND panel)
{
    const int width = ToolColumnWidth();
    const int half = (width - 5) / 2;
    for (const PlotterControl& control : PLOTTER_CONTROLS) {
        HWND child = CreateControl(panel, control.id, control.className, control.text, control.style, TOOL_COLUMN_X,
                                   control.y, width, control.height);
        switch (control.id) {
        case PLOTTER_BRUSH_LIST: g_hPropBrushList = child; break;
        case PLOTTER_PLACED_LIST: g_hPlacedPropsList = child; break;
        case PLOTTER_BRUSH_NAME: g_hBrushNameEdit = child; break;
        case PLOTTER_MODEL_COMBO: g_hPropModelCombo = child; break;
        default: break;
        }
    }
    CreateControl(panel, PLOTTER_CREATE_BRUSH, L"BUTTON", L"Create", BS_OWNERDRAW, TOOL_COLUMN_X, 137, half, 25);
    CreateControl(panel, PLOTTER_REMOVE_BRUSH, L"BUTTON", L"Remove", BS_OWNERDRAW, half + 15, 137, half, 25);
    ApplyWindowTheme(g_hPropBrushList);
    ApplyWindowTheme(g_hPlacedPropsList);
}

bool IsBrushSelected()
{
    return g_SelectedPropBrush >= 0 && g_SelectedPropBrush < static_cast<int>(g_PropBrushes.size());
}

int ToolOfButton(int id)
{
    switch (id) {
    case PLOTTER_TOOL_SELECT: return TOOL_SELECT;
    case PLOTTER_TOOL_MOVE: return TOOL_MOVE;
    case PLOTTER_TOOL_ROTATE: return TOOL_ROTATE;
    case PLOTTER_TOOL_SCALE: return TOOL_SCALE;
    case PLOTTER_TOOL_PLOT: return TOOL_PLOT;
    default: return -1;
    }
}

bool IsActivePlotterButton(int id)
{
    const int tool = ToolOfButton(id);
    return tool >= 0 && tool == g_CurrentTool;
}

void SetBrushNameText(const std::wstring& text)
{
    if (g_hBrushNameEdit)
        SetWindowTextW(g_hBrushNameEdit, text.c_str());
}

// The combo shows the brush's model; only a brush without one may take one.
void ShowBrushModel(const PropBrush& brush)
{
    RefreshPlotterPropCombo();
    int item = 0;
    for (size_t i = 0; i < g_Models.size(); ++i) {
        if (g_Models[i].id == brush.modelID) {
            item = static_cast<int>(i) + 1;
            break;
        }
    }
    SendMessageW(g_hPropModelCombo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    EnableWindow(g_hPropModelCombo, brush.modelID == -1);
}

void SelectBrush()
{
    const int index = static_cast<int>(SendMessageW(g_hPropBrushList, LB_GETCURSEL, 0, 0));
    if (index < 0 || index >= static_cast<int>(g_PropBrushes.size()))
        return;
    g_SelectedPropBrush = index;
    SetBrushNameText(g_PropBrushes[index].name);
    ShowBrushModel(g_PropBrushes[index]);
}

void CreateBrush()
{
    PropBrush brush;
    brush.name = L"Prop " + std::to_wstring(g_PropBrushes.size() + 1);
    g_PropBrushes.push_back(brush);
    FillPropBrushList();
    const int last = static_cast<int>(g_PropBrushes.size()) - 1;
    SendMessageW(g_hPropBrushList, LB_SETCURSEL, static_cast<WPARAM>(last), 0);
    g_SelectedPropBrush = last;
    SetBrushNameText(brush.name);
    ShowBrushModel(brush);
}

void RemoveBrush(HWND panel)
{
    if (!IsBrushSelected())
        return;
    if (g_PropBrushes[g_SelectedPropBrush].builtIn) {
        ShowMessageBox(panel, L"Cannot remove built-in prop brush.", L"Remove Brush", MB_OK | MB_ICONINFORMATION);
        return;
    }
    g_PropBrushes.erase(g_PropBrushes.begin() + g_SelectedPropBrush);
    g_SelectedPropBrush = -1;
    FillPropBrushList();
    SetBrushNameText(L"");
}

void RenameBrush()
{
    if (!IsBrushSelected())
        return;
    g_PropBrushes[g_SelectedPropBrush].name =
        CopyEditTextToListItem(g_hBrushNameEdit, g_hPropBrushList, g_SelectedPropBrush);
}

void AssignModel()
{
    if (!IsBrushSelected())
        return;
    const int item = static_cast<int>(SendMessageW(g_hPropModelCombo, CB_GETCURSEL, 0, 0));
    PropBrush& brush = g_PropBrushes[g_SelectedPropBrush];
    const bool model = item >= 1 && item <= static_cast<int>(g_Models.size());
    brush.modelID = model ? g_Models[item - 1].id : -1;
    EnableWindow(g_hPropModelCombo, !model);
}

void SelectPlacedProp()
{
    const int index = static_cast<int>(SendMessageW(g_hPlacedPropsList, LB_GETCURSEL, 0, 0));
    const bool valid = IsValidPropInstanceIndex(index);
    g_SelectedPropInstance = valid ? index : -1;
    g_Hooks.UpdatePropertiesPanel();
    if (valid)
        DebugLog(L"Selected prop from hierarchy: " + g_PropInstances[index].name);
    g_Hooks.InvalidateViewport();
}

void RemovePlacedProp()
{
    if (!IsValidPropInstanceIndex(g_SelectedPropInstance))
        return;
    g_PropInstances.erase(g_PropInstances.begin() + g_SelectedPropInstance);
    g_SelectedPropInstance = -1;
    FillPlacedPropsList();
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.InvalidateViewport();
}

void ChooseTool(int tool)
{
    g_CurrentTool = tool;
    g_IsInCreateMode = false;
    if (tool == TOOL_PLOT)
        g_Hooks.InvalidateViewport();
    RepaintModePanel();
}

void HandlePlotterCommand(HWND panel, int id, int notification)
{
    switch (id) {
    case PLOTTER_BRUSH_LIST:
        if (notification == LBN_SELCHANGE)
            SelectBrush();
        break;
    case PLOTTER_CREATE_BRUSH:
        CreateBrush();
        break;
    case PLOTTER_REMOVE_BRUSH:
        RemoveBrush(panel);
        break;
    case PLOTTER_PLACED_LIST:
        if (notification == LBN_SELCHANGE)
            SelectPlacedProp();
        break;
    case PLOTTER_BRUSH_NAME:
        if (notification == EN_CHANGE)
            RenameBrush();
        break;
    case PLOTTER_MODEL_COMBO:
        if (notification == CBN_SELCHANGE)
            AssignModel();
        break;
    case PLOTTER_REMOVE_PROP:
        RemovePlacedProp();
        break;
    default:
        if (ToolOfButton(id) >= 0)
            ChooseTool(ToolOfButton(id));
        break;
    }
}

} // namespace

void RefreshPlotterPropCombo()
{
    if (!g_hPropModelCombo)
        return;
    SendMessageW(g_hPropModelCombo, CB_RESETCONTENT, 0, 0);
    SendMessageW(g_hPropModelCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"None"));
    for (const Model& model : g_Models)
        SendMessageW(g_hPropModelCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(model.name.c_str()));
}

LRESULT CALLBACK PlotterPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreatePlotterControls(window);
        return 0;
    case WM_DESTROY:
        g_hPropBrushList = nullptr;
        g_hPlacedPropsList = nullptr;
        g_hPropModelCombo = nullptr;
        g_hBrushNameEdit = nullptr;
        return 0;
    case WM_COMMAND:
        HandlePlotterCommand(window, LOWORD(wParam), HIWORD(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DRAWITEM:
        return DrawToolButton(lParam, IsActivePlotterButton);
    // WM_PAINT goes on to DefWindowProc: its BeginPaint erases the background,
    // and without it the composited panel never shows its controls.
    default:
        return HandlePanelDefault(window, message, wParam, lParam);
    }
}
