#include "ui/PropertiesPanel.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <initializer_list>
#include <iterator>
#include <string>

#include "app/MenuState.h"
#include "app/Preferences.h"
#include "app/Refresh.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "ui/PanelButtons.h"
#include "ui/PanelColors.h"
#include "ui/GridControls.h"
#include "ui/PanelEdits.h"
#include "ui/PanelPaint.h"
#include "ui/PanelRows.h"
#include "ui/PanelScroll.h"
#include "ui/PropertiesEdits.h"
#include "ui/TextureCombo.h"

int g_PropertiesScrollPos = 0;
bool g_UpdatingPropertiesPanel = false;
HBRUSH g_ColorSwatchBrush = nullptr;
COLORREF g_PropertiesCustomColors[16] = {};

namespace {

const int SCROLL_LINE = 20;
const int WHEEL_STEP = 40;
const int CHECK_X = 20;
const int CHECK_WIDTH = 150;
const int ROW_HEIGHT = 20;

// The labels of the object-only controls, which have no ids.
HWND g_TypeLabel = nullptr;
HWND g_ColorLabel = nullptr;
HWND g_TextureLabel = nullptr;
HWND g_TexScaleLabel = nullptr;

const int SUBCLASSED_EDITS[] = {2001, 2002, 2003, 2004, 2100, 2101, 2102, 2103, 2104,
                                2105, 2106, 2107, 2108, 2109, 2133, 2142, 2136};

// Handles of the controls with ids 2001 to 2146, looked up once: the fill
// runs on every drag event, and GetDlgItem walks the children every time.
const int FIRST_ID = 2001;
const int LAST_ID = 2146;
HWND g_Controls[LAST_ID - FIRST_ID + 1] = {};

void RememberControls(HWND panel)
{
    for (int id = FIRST_ID; id <= LAST_ID; ++id)
        g_Controls[id - FIRST_ID] = GetDlgItem(panel, id);
}

HWND Control(int id)
{
    if (id >= FIRST_ID && id <= LAST_ID)
        return g_Controls[id - FIRST_ID];
    return GetDlgItem(g_hPropertiesPanel, id);
}

// The fills below touch a control only when it would change: every gizmo
// drag event refills the panel, and each change costs a redraw.
void Enable(int id, bool enabled)
{
    EnableControl(Control(id), enabled);
}

void SetCheck(int id, bool checked)
{
    const WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(SendMessageW(Control(id), BM_GETCHECK, 0, 0)) != state)
        SendMessageW(Control(id), BM_SETCHECK, state, 0);
}

void ShowText(int id, const wchar_t* text)
{
    wchar_t shown[256] = {};
    HWND control = Control(id);
    GetWindowTextW(control, shown, 256);
    if (wcscmp(shown, text) != 0)
        SetWindowTextW(control, text);
}

void ShowNumber(int id, const wchar_t* format, double value)
{
    wchar_t text[64] = {};
    swprintf(text, 64, format, value);
    ShowText(id, text);
}

void ShowInteger(int id, int value)
{
    ShowText(id, std::to_wstring(value).c_str());
}

HWND CheckBox(HWND panel, int y, int id, const wchar_t* text, bool checked, bool enabled)
{
    HWND box = CreatePanelControl(panel, L"BUTTON", text, BS_AUTOCHECKBOX | (enabled ? 0 : WS_DISABLED), CHECK_X, y,
                                  CHECK_WIDTH, ROW_HEIGHT, id);
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return box;
}

void Row(HWND panel, int y, const wchar_t* label, int decreaseId, int editId, int increaseId, const wchar_t* text,
         bool enabled)
{
    CreateStepRow(panel, PROPERTIES_ROW_LAYOUT, y, label, decreaseId, editId, increaseId, text, enabled);
}

void CreatePropertiesControls(HWND panel)
{
    Row(panel, 55, L"Height:", 2005, 2001, 2006, L"0.0", true);
    Row(panel, 80, L"Cell Size:", 2007, 2002, 2008, L"1.0", true);
    Row(panel, 105, L"Offset X:", 2009, 2003, 2010, L"0.0", true);
    Row(panel, 130, L"Offset Z:", 2011, 2004, 2012, L"0.0", true);
    CheckBox(panel, 155, PROP_SHOW_GRID_CHECK, L"Show Grid", g_ShowGrid, true);
    CheckBox(panel, 230, PROP_SNAP_CHECK, L"Snap to Grid", g_SnapToGrid, true);
    CheckBox(panel, 255, PROP_VISIBLE_CHECK, L"Visible", false, false);
    CheckBox(panel, 280, PROP_SELECTABLE_CHECK, L"Selectable", false, false);
    g_TypeLabel = CreatePanelControl(panel, L"STATIC", L"Type:", 0, 20, 305, 50, ROW_HEIGHT, -1);
    CreatePanelControl(panel, L"BUTTON", L"Solid", BS_AUTORADIOBUTTON | WS_GROUP | WS_DISABLED, 75, 305, 60,
                       ROW_HEIGHT, PROP_SOLID_RADIO);
    CreatePanelControl(panel, L"BUTTON", L"Hole", BS_AUTORADIOBUTTON | WS_DISABLED, 145, 305, 60, ROW_HEIGHT,
                       PROP_HOLE_RADIO);
    CreatePanelControl(panel, L"STATIC", L"Name:", 0, 20, 330, 70, ROW_HEIGHT, -1);
    CreatePanelControl(panel, L"EDIT", L"", WS_BORDER | WS_DISABLED, 95, 330, 180, ROW_HEIGHT, PROP_NAME_EDIT);
    Row(panel, 355, L"Pos X:", 2110, 2101, 2111, L"0.0", false);
    Row(panel, 380, L"Pos Y:", 2112, 2102, 2113, L"0.0", false);
    Row(panel, 405, L"Pos Z:", 2114, 2103, 2115, L"0.0", false);
    CheckBox(panel, 435, PROP_LINK_SCALING_CHECK, L"Link Scaling", g_LinkScaling, true);
    Row(panel, 460, L"Scale X:", 2116, 2104, 2117, L"1.0", false);
    Row(panel, 485, L"Scale Y:", 2118, 2105, 2119, L"1.0", false);
    Row(panel, 510, L"Scale Z:", 2120, 2106, 2121, L"1.0", false);
    Row(panel, 540, L"Rot X:", 2122, 2107, 2123, L"0.0", false);
    Row(panel, 565, L"Rot Y:", 2124, 2108, 2125, L"0.0", false);
    Row(panel, 590, L"Rot Z:", 2126, 2109, 2127, L"0.0", false);
    Row(panel, 615, L"Rot Step:", 2134, 2133, 2135, L"5.0", true);
    g_ColorLabel = CreatePanelControl(panel, L"STATIC", L"Color:", 0, 20, 645, 70, ROW_HEIGHT, -1);
    CreatePanelControl(panel, L"STATIC", L"", WS_BORDER | SS_NOTIFY, 95, 645, 35, ROW_HEIGHT, PROP_COLOR_SWATCH);
    CreatePanelControl(panel, L"BUTTON", L"Choose Color...", BS_OWNERDRAW | WS_DISABLED, 135, 645, 120, ROW_HEIGHT,
                       PROP_CHOOSE_COLOR_BUTTON);
    Row(panel, 670, L"Alpha:", 2143, 2142, 2144, L"255", false);
    g_TextureLabel = CreatePanelControl(panel, L"STATIC", L"Texture:", 0, 20, 695, 70, ROW_HEIGHT, -1);
    g_hObjectTextureCombo = CreatePanelControl(panel, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_DISABLED,
                                               20, 720, 260, 200, PROP_TEXTURE_COMBO);
    g_TexScaleLabel =
        CreateStepRow(panel, PROPERTIES_ROW_LAYOUT, 755, L"Tex Scale:", 2137, 2136, 2138, L"1.0", false).label;

    for (int id : SUBCLASSED_EDITS)
        SubclassPanelEdit(GetDlgItem(panel, id));
    RememberControls(panel);
}

void DrawTitles(HDC dc, const RECT& client)
{
    const int s = g_PropertiesScrollPos;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorOf(g_ColorPrefs.UIText));

    HFONT big = CreateTitleFont(16);
    HGDIOBJ oldFont = SelectObject(dc, big);
    RECT top = {0, 0, client.right, 30};
    DrawTextW(dc, L"Properties", -1, &top, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    HFONT small = CreateTitleFont(12);
    SelectObject(dc, small);
    RECT grid = {10, 35 - s, client.right - 10, 50 - s};
    DrawTextW(dc, L"Grid Properties", -1, &grid, DT_LEFT | DT_SINGLELINE);
    RECT target = {10, 205 - s, client.right - 10, 220 - s};
    DrawTextW(dc, g_CurrentMode == MODE_PLOTTER ? L"Prop Properties" : L"Object Properties", -1, &target,
              DT_LEFT | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    DeleteObject(big);
    DeleteObject(small);

    DrawPanelSeparator(dc, client, 200 - s);
}

// The swatch shows the primary object's colour; everything else the panel's.
LRESULT StaticColors(WPARAM deviceContext, LPARAM control)
{
    if (GetDlgCtrlID(reinterpret_cast<HWND>(control)) == PROP_COLOR_SWATCH &&
        IsValidObjectIndex(g_SelectedObjectIndex)) {
        const SceneObject& object = g_SceneObjects[g_SelectedObjectIndex];
        if (g_ColorSwatchBrush)
            DeleteObject(g_ColorSwatchBrush);
        g_ColorSwatchBrush = CreateSolidBrush(RGB(object.r & 0xFF, object.g & 0xFF, object.b & 0xFF));
        return reinterpret_cast<LRESULT>(g_ColorSwatchBrush);
    }
    return PanelStaticColors(deviceContext);
}

void ScrollProperties(HWND panel, int wanted)
{
    const int old = g_PropertiesScrollPos;
    ScrollPanelTo(panel, wanted, &g_PropertiesScrollPos);
    // The fixed title must not scroll with the pixels: paint it all again.
    if (g_PropertiesScrollPos != old)
        InvalidateRect(panel, nullptr, FALSE);
}

void HandleScrollBar(HWND panel, int code, int trackPosition)
{
    RECT client = {};
    GetClientRect(panel, &client);
    int p = g_PropertiesScrollPos;
    switch (code) {
    case SB_LINEUP: p -= SCROLL_LINE; break;
    case SB_LINEDOWN: p += SCROLL_LINE; break;
    case SB_PAGEUP: p -= client.bottom; break;
    case SB_PAGEDOWN: p += client.bottom; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: p = trackPosition; break;
    default: break;
    }
    ScrollProperties(panel, p);
}

void HandleWheel(HWND panel, WPARAM wParam)
{
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    ScrollProperties(panel, g_PropertiesScrollPos - notches * WHEEL_STEP);
}

// A click on the bare panel lets go of the CSG operands.
void HandleBareClick(HWND panel, LPARAM lParam)
{
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (ChildWindowFromPoint(panel, point) != panel || g_OperationSelection.empty())
        return;
    g_OperationSelection.clear();
    UpdateCSGMenuState();
    InvalidateViewport();
}

void FillGridControls()
{
    WriteGridControls(g_hPropertiesPanel);
    ShowNumber(PROP_ROT_STEP_EDIT, L"%.1f", g_RotationStep);
    SetCheck(PROP_LINK_SCALING_CHECK, g_LinkScaling);
}

void EnableTransformControls(bool enabled)
{
    Enable(PROP_NAME_EDIT, enabled);
    for (int id = PROP_POS_X_EDIT; id <= PROP_ROT_X_EDIT + 2; ++id)
        Enable(id, enabled);
    for (int id = PROP_POS_X_DOWN; id <= PROP_ROT_X_DOWN + 5; ++id)
        Enable(id, enabled);
}

void EnableAlphaControls(bool enabled)
{
    for (int id : {PROP_ALPHA_DOWN, PROP_ALPHA_EDIT, PROP_ALPHA_UP})
        Enable(id, enabled);
}

void EnableMaterialControls(bool enabled)
{
    Enable(PROP_CHOOSE_COLOR_BUTTON, enabled);
    EnableControl(g_hObjectTextureCombo, enabled);
    for (int id : {PROP_TEX_SCALE_DOWN, PROP_TEX_SCALE_EDIT, PROP_TEX_SCALE_UP})
        Enable(id, enabled);
}

void EnableTypeAndFlags(bool enabled)
{
    Enable(PROP_VISIBLE_CHECK, enabled);
    Enable(PROP_SELECTABLE_CHECK, enabled);
    Enable(PROP_SOLID_RADIO, enabled);
    Enable(PROP_HOLE_RADIO, enabled);
}

void WriteVector(int firstEditId, const wchar_t* format, float x, float y, float z)
{
    ShowNumber(firstEditId, format, x);
    ShowNumber(firstEditId + 1, format, y);
    ShowNumber(firstEditId + 2, format, z);
}

void FillProp(const PropInstance& prop)
{
    EnableTransformControls(true);
    EnableAlphaControls(true);
    EnableMaterialControls(false);
    EnableTypeAndFlags(false);
    Enable(PROP_VISIBLE_CHECK, true);
    Enable(PROP_SELECTABLE_CHECK, true);
    SetCheck(PROP_VISIBLE_CHECK, prop.visible);
    SetCheck(PROP_SELECTABLE_CHECK, prop.selectable);

    ShowText(PROP_NAME_EDIT, prop.name.c_str());
    WriteVector(PROP_POS_X_EDIT, L"%.2f", prop.position.x, prop.position.y, prop.position.z);
    WriteVector(PROP_SCALE_X_EDIT, L"%.2f", prop.scale.x, prop.scale.y, prop.scale.z);
    WriteVector(PROP_ROT_X_EDIT, L"%.1f", prop.rotation.x, prop.rotation.y, prop.rotation.z);
    ShowInteger(PROP_ALPHA_EDIT, static_cast<int>(prop.alpha));
}

void FillNothing()
{
    EnableTransformControls(false);
    EnableAlphaControls(false);
    EnableMaterialControls(false);
    EnableTypeAndFlags(false);
    ShowText(PROP_NAME_EDIT, L"");
    WriteVector(PROP_POS_X_EDIT, L"%.1f", 0.0f, 0.0f, 0.0f);
    WriteVector(PROP_SCALE_X_EDIT, L"%.1f", 1.0f, 1.0f, 1.0f);
    WriteVector(PROP_ROT_X_EDIT, L"%.1f", 0.0f, 0.0f, 0.0f);
}

void FillTextureList(int texture)
{
    if (!TextureComboIsCurrent(g_hObjectTextureCombo))
        FillTextureCombo(g_hObjectTextureCombo);
    const LRESULT item = texture < 0 ? 0 : static_cast<LRESULT>(texture) + 1;
    if (SendMessageW(g_hObjectTextureCombo, CB_GETCURSEL, 0, 0) != item)
        SendMessageW(g_hObjectTextureCombo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

void FillObject(const SceneObject& object)
{
    const bool solid = object.objectType == OBJECT_SOLID;
    EnableTransformControls(true);
    EnableAlphaControls(solid);
    EnableMaterialControls(solid);
    EnableTypeAndFlags(true);
    SetCheck(PROP_VISIBLE_CHECK, object.visible);
    SetCheck(PROP_SELECTABLE_CHECK, object.selectable);
    SetCheck(PROP_SOLID_RADIO, object.objectType == OBJECT_SOLID);
    SetCheck(PROP_HOLE_RADIO, object.objectType == OBJECT_HOLE);

    ShowText(PROP_NAME_EDIT, object.name.c_str());
    WriteVector(PROP_POS_X_EDIT, L"%.2f", (object.minX + object.maxX) / 2, (object.minY + object.maxY) / 2,
                (object.minZ + object.maxZ) / 2);
    WriteVector(PROP_SCALE_X_EDIT, L"%.2f", object.maxX - object.minX, object.maxY - object.minY,
                object.maxZ - object.minZ);
    WriteVector(PROP_ROT_X_EDIT, L"%.1f", object.rotation.x, object.rotation.y, object.rotation.z);
    InvalidateRect(Control(PROP_COLOR_SWATCH), nullptr, TRUE);
    ShowInteger(PROP_ALPHA_EDIT, object.a);
    FillTextureList(object.texture);
    ShowNumber(PROP_TEX_SCALE_EDIT, L"%.1f", object.texScale);
}

} // namespace

void UpdatePropertiesPanel()
{
    if (!g_hPropertiesPanel)
        return;
    g_UpdatingPropertiesPanel = true;
    // Whatever was typed is replaced: leaving the edit must not write it back.
    EndEditSession();
    FillGridControls();
    if (g_CurrentMode == MODE_PLOTTER && IsValidPropInstanceIndex(g_SelectedPropInstance))
        FillProp(g_PropInstances[g_SelectedPropInstance]);
    else if (g_SelectedObjectIndex == -1)
        FillNothing();
    else if (IsValidObjectIndex(g_SelectedObjectIndex))
        FillObject(g_SceneObjects[g_SelectedObjectIndex]);
    g_UpdatingPropertiesPanel = false;
    InvalidateRect(g_hPropertiesPanel, nullptr, FALSE);
}

void UpdatePropertiesPanelForMode()
{
    if (!g_hPropertiesPanel)
        return;
    const BOOL enabled = g_CurrentMode != MODE_PLOTTER ? TRUE : FALSE;
    for (HWND label : {g_TypeLabel, g_ColorLabel, g_TextureLabel, g_TexScaleLabel})
        EnableControl(label, enabled);
    for (int id : {PROP_SOLID_RADIO, PROP_HOLE_RADIO, PROP_COLOR_SWATCH, PROP_CHOOSE_COLOR_BUTTON, PROP_TEX_SCALE_EDIT,
                   PROP_TEX_SCALE_DOWN, PROP_TEX_SCALE_UP})
        Enable(id, enabled);
    EnableControl(g_hObjectTextureCombo, enabled);
    g_UpdatingPropertiesPanel = true;
    FillGridControls();
    g_UpdatingPropertiesPanel = false;
    InvalidateRect(g_hPropertiesPanel, nullptr, TRUE);
}

LRESULT CALLBACK PropertiesPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreatePropertiesControls(window);
        SetPanelScrollRange(window, PROPERTIES_CONTENT_HEIGHT, 0);
        return 0;
    case WM_SIZE:
        SetPanelScrollRange(window, PROPERTIES_CONTENT_HEIGHT, g_PropertiesScrollPos);
        return 0;
    case WM_ERASEBKGND:
        return ErasePanelBackground(window, wParam);
    case WM_PAINT:
        PaintPanelBuffered(window, DrawTitles);
        return 0;
    case WM_DRAWITEM:
        DrawPanelButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), false, DIM_WHEN_DISABLED);
        return 1;
    case WM_CTLCOLOREDIT:
        return PanelFocusEditColors(wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return StaticColors(wParam, lParam);
    case WM_VSCROLL:
        HandleScrollBar(window, LOWORD(wParam), static_cast<int>(HIWORD(wParam)));
        return 0;
    case WM_MOUSEWHEEL:
        HandleWheel(window, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        HandleBareClick(window, lParam);
        return 0;
    case WM_COMMAND:
        HandlePropertiesCommand(window, wParam, lParam);
        return 0;
    case WM_DESTROY:
        g_hObjectTextureCombo = nullptr;
        std::fill(std::begin(g_Controls), std::end(g_Controls), nullptr);
        if (g_ColorSwatchBrush) {
            DeleteObject(g_ColorSwatchBrush);
            g_ColorSwatchBrush = nullptr;
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
