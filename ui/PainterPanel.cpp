#include "ui/PainterPanel.h"

#include <algorithm>
#include <string>

#include "app/Modal.h"
#include "app/Refresh.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "scene/FacePainting.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "ui/PanelButtons.h"
#include "ui/PanelColors.h"
#include "ui/PanelEdits.h"
#include "ui/PanelRows.h"
#include "ui/TextureCombo.h"

namespace {

const float MINIMUM_STEP_VALUE = 0.1f;
const float STEP = 0.1f;

// Size and Scale: label, edit, then the "<" and ">" buttons.
const StepRowLayout PAINTER_ROW_LAYOUT = {
    10, 35, 18,   // label
    110,          // "<"
    50, 55,       // edit
    140,          // ">"
    25, 20,
    ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
    true,
};

HWND g_hBrushNameEdit = nullptr;
HWND g_hBrushSizeEdit = nullptr;
HWND g_hBrushScaleEdit = nullptr;
HWND g_hColorSwatch = nullptr;
HBRUSH g_hSwatchBrush = nullptr;
COLORREF g_CustomColors[16] = {};

bool HasSelectedBrush()
{
    return g_SelectedPaintBrush >= 0 && g_SelectedPaintBrush < static_cast<int>(g_PaintBrushes.size());
}

PaintBrush& SelectedBrush()
{
    return g_PaintBrushes[static_cast<size_t>(g_SelectedPaintBrush)];
}

void AddBrushToList(const PaintBrush& brush)
{
    SendMessageW(g_hPaintBrushList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(brush.name.c_str()));
}

void SelectBrushTexture()
{
    if (g_hPaintTextureCombo)
        SendMessageW(g_hPaintTextureCombo, CB_SETCURSEL, HasSelectedBrush() ? SelectedBrush().texture + 1 : 0, 0);
}

// The name edit's EN_CHANGE stores the same name again.
void FillBrushControls()
{
    if (!HasSelectedBrush())
        return;
    const PaintBrush& brush = SelectedBrush();
    SetWindowTextW(g_hBrushNameEdit, brush.name.c_str());
    SelectBrushTexture();
    WriteEditNumber(g_hBrushSizeEdit, L"%.1f", brush.size);
    WriteEditNumber(g_hBrushScaleEdit, L"%.1f", brush.textureScale);
    InvalidateRect(g_hColorSwatch, nullptr, FALSE);
}

void SelectBrush(int index)
{
    g_SelectedPaintBrush = index;
    SendMessageW(g_hPaintBrushList, LB_SETCURSEL, index, 0);
    FillBrushControls();
}

PaintBrush NewBrush()
{
    PaintBrush brush;
    brush.name = L"Brush " + std::to_wstring(g_PaintBrushes.size() + 1);
    return brush;
}

void CreateBrush()
{
    g_PaintBrushes.push_back(NewBrush());
    AddBrushToList(g_PaintBrushes.back());
    SelectBrush(static_cast<int>(g_PaintBrushes.size()) - 1);
}

void RemoveBrush(HWND panel)
{
    if (!HasSelectedBrush())
        return;
    if (g_PaintBrushes.size() == 1) {
        ShowMessageBox(panel, L"Cannot remove the last brush!", L"Remove Brush", MB_OK | MB_ICONWARNING);
        return;
    }
    const int removed = g_SelectedPaintBrush;
    g_PaintBrushes.erase(g_PaintBrushes.begin() + removed);
    SendMessageW(g_hPaintBrushList, LB_DELETESTRING, removed, 0);
    SelectBrush(std::max(removed - 1, 0));
}

void RenameBrush()
{
    if (!HasSelectedBrush())
        return;
    SelectedBrush().name = CopyEditTextToListItem(g_hBrushNameEdit, g_hPaintBrushList, g_SelectedPaintBrush);
}

void ChooseBrushTexture()
{
    if (!HasSelectedBrush())
        return;
    const LRESULT item = SendMessageW(g_hPaintTextureCombo, CB_GETCURSEL, 0, 0);
    SelectedBrush().texture =
        item >= 1 && item <= static_cast<LRESULT>(g_Textures.size()) ? static_cast<int>(item) - 1 : -1;
}

// A typed value below the minimum (or no number) is ignored.
void StoreTypedValue(HWND edit, float& value)
{
    const float typed = static_cast<float>(ReadEditNumber(edit));
    if (typed >= MINIMUM_STEP_VALUE)
        value = typed;
}

// The edit's own EN_CHANGE then keeps the one-decimal value it shows.
void StepValue(HWND edit, float& value, float delta)
{
    value = std::max(value + delta, MINIMUM_STEP_VALUE);
    WriteEditNumber(edit, L"%.1f", value);
}

std::wstring FormatScale(float scale)
{
    wchar_t text[64];
    swprintf(text, 64, L"%f", static_cast<double>(scale));
    return text;
}

void ApplyPaint(HWND panel)
{
    if (g_SelectedFaces.empty() || !IsValidObjectIndex(g_SelectedFacesObject)) {
        ShowMessageBox(panel, L"No faces selected!\n\nPlease select faces to paint.", L"Apply Paint",
                       MB_OK | MB_ICONWARNING);
        return;
    }
    if (!HasSelectedBrush()) {
        ShowMessageBox(panel, L"No brush selected!", L"Apply Paint", MB_OK | MB_ICONWARNING);
        return;
    }
    SceneObject& object = g_SceneObjects[static_cast<size_t>(g_SelectedFacesObject)];
    if (!object.isCSGMesh) {
        ShowMessageBox(panel, L"Object is not a mesh!\n\nThis should not happen.", L"Apply Paint",
                       MB_OK | MB_ICONERROR);
        return;
    }
    SaveUndoState();
    const PaintBrush& brush = SelectedBrush();
    int painted = 0;
    for (int face : g_SelectedFaces)
        painted += PaintFace(object, face, brush) ? 1 : 0;
    InvalidateViewport();

    const bool named = brush.texture >= 0 && brush.texture < static_cast<int>(g_Textures.size());
    ShowMessageBox(panel,
                   L"Painted " + std::to_wstring(painted) + L" face(s)\nTexture: " +
                       (named ? g_Textures[static_cast<size_t>(brush.texture)].name : std::wstring()) +
                       L"\nScale: " + FormatScale(brush.textureScale),
                   L"Paint Applied", MB_OK | MB_ICONINFORMATION);
}

void ClearFaceSelection()
{
    g_SelectedFaces.clear();
    g_SelectedFacesObject = -1;
    SetPainterStatus(L"No faces selected");
    InvalidateViewport();
}

void PickBrushColor(HWND panel)
{
    if (!HasSelectedBrush())
        return;
    PaintBrush& brush = SelectedBrush();
    CHOOSECOLORW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = panel;
    chooser.rgbResult = RGB(brush.r, brush.g, brush.b);
    chooser.lpCustColors = g_CustomColors;
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ShowChooseColor(&chooser))
        return;
    brush.r = GetRValue(chooser.rgbResult);
    brush.g = GetGValue(chooser.rgbResult);
    brush.b = GetBValue(chooser.rgbResult);
    InvalidateRect(g_hColorSwatch, nullptr, TRUE);
}

void HandlePainterCommand(HWND panel, int id, int code)
{
    switch (id) {
    case PAINTER_BRUSH_LIST:
        if (code == LBN_SELCHANGE) {
            const LRESULT index = SendMessageW(g_hPaintBrushList, LB_GETCURSEL, 0, 0);
            if (index >= 0 && index < static_cast<LRESULT>(g_PaintBrushes.size())) {
                g_SelectedPaintBrush = static_cast<int>(index);
                FillBrushControls();
            }
        }
        break;
    case PAINTER_CREATE: CreateBrush(); break;
    case PAINTER_REMOVE: RemoveBrush(panel); break;
    case PAINTER_NAME_EDIT:
        if (code == EN_CHANGE)
            RenameBrush();
        break;
    case PAINTER_TEXTURE_COMBO:
        if (code == CBN_SELCHANGE)
            ChooseBrushTexture();
        break;
    case PAINTER_SIZE_EDIT:
        if (code == EN_CHANGE && HasSelectedBrush())
            StoreTypedValue(g_hBrushSizeEdit, SelectedBrush().size);
        break;
    case PAINTER_SIZE_DOWN:
    case PAINTER_SIZE_UP:
        if (HasSelectedBrush())
            StepValue(g_hBrushSizeEdit, SelectedBrush().size, id == PAINTER_SIZE_UP ? STEP : -STEP);
        break;
    case PAINTER_SCALE_EDIT:
        if (code == EN_CHANGE && HasSelectedBrush())
            StoreTypedValue(g_hBrushScaleEdit, SelectedBrush().textureScale);
        break;
    case PAINTER_SCALE_DOWN:
    case PAINTER_SCALE_UP:
        if (HasSelectedBrush())
            StepValue(g_hBrushScaleEdit, SelectedBrush().textureScale, id == PAINTER_SCALE_UP ? STEP : -STEP);
        break;
    case PAINTER_APPLY: ApplyPaint(panel); break;
    case PAINTER_CLEAR: ClearFaceSelection(); break;
    case PAINTER_PICK_COLOR: PickBrushColor(panel); break;
    default: break;
    }
}

void CreatePainterControls(HWND panel)
{
    const int W = 280 - GetSystemMetrics(SM_CXVSCROLL);
    const int H2 = (W - 5) / 2;
    const DWORD button = BS_OWNERDRAW;
    CreatePanelControl(panel, L"STATIC", L"Brush List:", 0, 10, 10, W, 18, -1);
    g_hPaintBrushList = CreatePanelControl(panel, L"LISTBOX", L"", LBS_NOTIFY | WS_VSCROLL, 10, 32, W, 100,
                                           PAINTER_BRUSH_LIST, WS_EX_CLIENTEDGE);
    CreatePanelControl(panel, L"BUTTON", L"Create", button, 10, 137, H2, 25, PAINTER_CREATE);
    CreatePanelControl(panel, L"BUTTON", L"Remove", button, H2 + 15, 137, H2, 25, PAINTER_REMOVE);
    CreatePanelControl(panel, L"STATIC", L"Brush Properties:", 0, 10, 177, W, 18, -1);
    CreatePanelControl(panel, L"STATIC", L"Name:", 0, 10, 199, 50, 18, -1);
    g_hBrushNameEdit = CreatePanelControl(panel, L"EDIT", L"", ES_AUTOHSCROLL, 65, 199, W - 55, 20,
                                          PAINTER_NAME_EDIT, WS_EX_CLIENTEDGE);
    CreatePanelControl(panel, L"STATIC", L"Texture:", 0, 10, 225, W, 18, -1);
    g_hPaintTextureCombo = CreatePanelControl(panel, L"COMBOBOX", L"",
                                              CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL, 10, 247, W, 200,
                                              PAINTER_TEXTURE_COMBO);
    g_hBrushSizeEdit = CreateStepRow(panel, PAINTER_ROW_LAYOUT, 273, L"Size:", PAINTER_SIZE_DOWN, PAINTER_SIZE_EDIT,
                                     PAINTER_SIZE_UP, L"1.0").edit;
    g_hBrushScaleEdit = CreateStepRow(panel, PAINTER_ROW_LAYOUT, 299, L"Scale:", PAINTER_SCALE_DOWN,
                                      PAINTER_SCALE_EDIT, PAINTER_SCALE_UP, L"1.0").edit;
    CreatePanelControl(panel, L"STATIC", L"Color:", 0, 10, 325, 35, 18, -1);
    g_hColorSwatch = CreatePanelControl(panel, L"STATIC", L"", WS_BORDER | SS_CENTER, 50, 325, 55, 20,
                                        PAINTER_SWATCH);
    CreatePanelControl(panel, L"BUTTON", L"Pick Color", button, 110, 325, 70, 20, PAINTER_PICK_COLOR);
    CreatePanelControl(panel, L"BUTTON", L"Apply Paint", button, 10, 365, W, 30, PAINTER_APPLY);
    CreatePanelControl(panel, L"BUTTON", L"Clear Selection", button, 10, 400, W, 25, PAINTER_CLEAR);
    CreatePanelControl(panel, L"STATIC", L"Surface Info:", 0, 10, 445, W, 20, -1);
    g_hPainterStatus = CreatePanelControl(panel, L"EDIT", L"No faces selected",
                                          ES_MULTILINE | ES_READONLY | WS_VSCROLL, 10, 470, W, 120, PAINTER_STATUS,
                                          WS_EX_CLIENTEDGE);
    // Typed sizes and scales are tidied to one decimal when the edit is left;
    // the name is kept as typed.
    SubclassPanelEdit(g_hBrushSizeEdit);
    SubclassPanelEdit(g_hBrushScaleEdit);

    ApplyWindowTheme(g_hPaintBrushList);
    FillTextureCombo(g_hPaintTextureCombo);
    PaintBrush first;
    first.name = L"Brush 1";
    g_PaintBrushes.push_back(first);
    AddBrushToList(g_PaintBrushes.back());
    g_SelectedPaintBrush = static_cast<int>(g_PaintBrushes.size()) - 1;
    SendMessageW(g_hPaintBrushList, LB_SETCURSEL, g_SelectedPaintBrush, 0);
}

LRESULT SwatchColors(WPARAM deviceContext)
{
    if (g_hSwatchBrush)
        DeleteObject(g_hSwatchBrush);
    const PaintBrush& brush = SelectedBrush();
    const COLORREF color = RGB(brush.r, brush.g, brush.b);
    g_hSwatchBrush = CreateSolidBrush(color);
    SetBkColor(reinterpret_cast<HDC>(deviceContext), color);
    return reinterpret_cast<LRESULT>(g_hSwatchBrush);
}

void ForgetPainterControls()
{
    g_hPaintBrushList = nullptr;
    g_hPaintTextureCombo = nullptr;
    g_hPainterStatus = nullptr;
    g_hBrushNameEdit = nullptr;
    g_hBrushSizeEdit = nullptr;
    g_hBrushScaleEdit = nullptr;
    g_hColorSwatch = nullptr;
    if (g_hSwatchBrush)
        DeleteObject(g_hSwatchBrush);
    g_hSwatchBrush = nullptr;
}

} // namespace

LRESULT CALLBACK PainterPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreatePainterControls(window);
        return 0;
    case WM_DESTROY:
        ForgetPainterControls();
        return 0;
    case WM_COMMAND:
        HandlePainterCommand(window, LOWORD(wParam), HIWORD(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DRAWITEM:
        DrawPanelButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), false);
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (reinterpret_cast<HWND>(lParam) == g_hColorSwatch && HasSelectedBrush())
            return SwatchColors(wParam);
        return PanelStaticColors(wParam);
    // WM_PAINT goes on to DefWindowProc: its BeginPaint erases the background,
    // and without it the composited panel never shows its controls.
    default:
        return HandlePanelDefault(window, message, wParam, lParam);
    }
}

void SetPainterStatus(const std::wstring& text)
{
    if (!g_hPainterStatus)
        return;
    // A multi-line edit breaks lines only at CR LF.
    std::wstring lines;
    lines.reserve(text.size() + 8);
    for (wchar_t c : text) {
        if (c == L'\n')
            lines += L'\r';
        lines += c;
    }
    SetWindowTextW(g_hPainterStatus, lines.c_str());
}

void RefreshPainterTextureCombo()
{
    if (!g_hPaintTextureCombo)
        return;
    FillTextureCombo(g_hPaintTextureCombo);
    SelectBrushTexture();
}

void ForgetPaintBrushTextures()
{
    for (PaintBrush& brush : g_PaintBrushes)
        brush.texture = -1;
    RefreshPainterTextureCombo();
}
