#include "ui/PreferencesDialog.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "app/Modal.h"
#include "app/Preferences.h"
#include "app/PreferencesFile.h"
#include "app/Refresh.h"
#include "app/Theme.h"
#include "app/ThemeApi.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"

namespace {

struct Swatch {
    int id;
    Color3f ColorPreferences::*field;
};

const Swatch SWATCHES[] = {
    {IDC_PREF_SELECTION_SINGLE, &ColorPreferences::SelectionSingle},
    {IDC_PREF_SELECTION_MULTI, &ColorPreferences::SelectionMulti},
    {IDC_PREF_SELECTION_OPERATION, &ColorPreferences::SelectionOperation},
    {IDC_PREF_VERTEX_SELECTED, &ColorPreferences::VertexSelected},
    {IDC_PREF_VERTEX_UNSELECTED, &ColorPreferences::VertexUnselected},
    {IDC_PREF_FACE_HOVER, &ColorPreferences::FaceHover},
    {IDC_PREF_GIZMO_X, &ColorPreferences::GizmoX},
    {IDC_PREF_GIZMO_Y, &ColorPreferences::GizmoY},
    {IDC_PREF_GIZMO_Z, &ColorPreferences::GizmoZ},
    {IDC_PREF_GRID, &ColorPreferences::Grid},
    {IDC_PREF_BACKGROUND, &ColorPreferences::Background},
    {IDC_PREF_WIREFRAME, &ColorPreferences::Wireframe},
};

// The working copy's colour behind a swatch, or nullptr for another control.
Color3f* SwatchColor(int id)
{
    for (const Swatch& swatch : SWATCHES) {
        if (swatch.id == id)
            return &(g_PrefsDialogCopy.*swatch.field);
    }
    return nullptr;
}

COLORREF SwatchColorRef(const Color3f& color)
{
    return RGB(ColorChannelByte(color.r), ColorChannelByte(color.g), ColorChannelByte(color.b));
}

void FillSizeEdits(HWND dialog)
{
    wchar_t text[64];
    std::swprintf(text, 64, L"%f", static_cast<double>(g_PrefsDialogCopy.VertexSize));
    SetDlgItemTextW(dialog, IDC_PREF_VERTEX_SIZE, text);
    std::swprintf(text, 64, L"%f", static_cast<double>(g_PrefsDialogCopy.SelectionOutlineWidth));
    SetDlgItemTextW(dialog, IDC_PREF_OUTLINE_WIDTH, text);
}

// A size that is no number above zero would leave vertices unpickable or be
// refused by OpenGL, and the file reader would drop it at the next start:
// say so and keep the dialog open on that edit.
bool ReadSizeEdit(HWND dialog, int id, const wchar_t* field, float& size)
{
    wchar_t text[129] = {};
    GetDlgItemTextW(dialog, id, text, 129);
    if (ReadPreferenceSize(text, size))
        return true;
    ShowMessageBox(dialog, std::wstring(field) + L" must be a number greater than 0.", L"Preferences",
                   MB_OK | MB_ICONWARNING);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
    return false;
}

void InvalidateIfPresent(HWND window)
{
    if (window)
        InvalidateRect(window, nullptr, TRUE);
}

// Makes the working copy live: saved, themed, and every window repainted.
void ApplyDialogCopy()
{
    g_ColorPrefs = g_PrefsDialogCopy;
    SavePreferences(g_ColorPrefs);
    ApplyThemeColors();
    if (g_hMainWnd)
        SetDarkTitleBar(g_hMainWnd, g_ColorPrefs.Theme == THEME_DARK);
    if (g_hTreeView) {
        SendMessageW(g_hTreeView, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorOf(g_ColorPrefs.UIEditBackground)));
        SendMessageW(g_hTreeView, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorOf(g_ColorPrefs.UIText)));
    }
    InvalidateViewport();
    for (HWND panel : {g_hToolsPanel, g_hHierarchyPanel, g_hPropertiesPanel, g_hPainterPanel, g_hPlotterPanel,
                       g_hVertexPanel, g_hVertexPropertiesPanel})
        InvalidateIfPresent(panel);
}

void OnOk(HWND dialog)
{
    float vertexSize = 0.0f;
    float outlineWidth = 0.0f;
    if (!ReadSizeEdit(dialog, IDC_PREF_VERTEX_SIZE, L"Vertex Size", vertexSize) ||
        !ReadSizeEdit(dialog, IDC_PREF_OUTLINE_WIDTH, L"Outline Width", outlineWidth))
        return;
    g_PrefsDialogCopy.VertexSize = vertexSize;
    g_PrefsDialogCopy.SelectionOutlineWidth = outlineWidth;
    ApplyDialogCopy();
    EndDialog(dialog, IDOK);
}

// A theme radio sets its preset only when the click leaves it on.
void OnThemeRadio(HWND dialog, int id, int theme)
{
    if (IsDlgButtonChecked(dialog, id) != BST_CHECKED)
        return;
    ApplyThemePreset(g_PrefsDialogCopy, theme);
    InvalidateRect(dialog, nullptr, TRUE);
}

void OnReset(HWND dialog)
{
    g_PrefsDialogCopy = ColorPreferences();
    CheckRadioButton(dialog, IDC_PREF_THEME_LIGHT, IDC_PREF_THEME_DARK, IDC_PREF_THEME_LIGHT);
    FillSizeEdits(dialog);
    InvalidateRect(dialog, nullptr, TRUE);
}

BOOL OnCommand(HWND dialog, int id)
{
    if (Color3f* color = SwatchColor(id)) {
        PickColor(dialog, id, &color->r, &color->g, &color->b);
        return TRUE;
    }
    switch (id) {
    case IDC_PREF_RESET:
        OnReset(dialog);
        return TRUE;
    case IDC_PREF_THEME_LIGHT:
        OnThemeRadio(dialog, id, THEME_LIGHT);
        return TRUE;
    case IDC_PREF_THEME_DARK:
        OnThemeRadio(dialog, id, THEME_DARK);
        return TRUE;
    case IDOK:
        OnOk(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL OnDrawItem(const DRAWITEMSTRUCT& item)
{
    const Color3f* color = SwatchColor(static_cast<int>(item.CtlID));
    if (!color)
        return FALSE;
    HBRUSH brush = CreateSolidBrush(SwatchColorRef(*color));
    FillRect(item.hDC, &item.rcItem, brush);
    DeleteObject(brush);
    FrameRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return TRUE;
}

} // namespace

void PickColor(HWND dialog, int controlId, float* r, float* g, float* b)
{
    // Kept for the whole run, apart from the panels' tables.
    static COLORREF customColors[16] = {};
    CHOOSECOLORW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = dialog;
    chooser.rgbResult = RGB(ColorChannelByte(*r), ColorChannelByte(*g), ColorChannelByte(*b));
    chooser.lpCustColors = customColors;
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ShowChooseColor(&chooser))
        return;
    *r = GetRValue(chooser.rgbResult) / 255.0f;
    *g = GetGValue(chooser.rgbResult) / 255.0f;
    *b = GetBValue(chooser.rgbResult) / 255.0f;
    InvalidateRect(GetDlgItem(dialog, controlId), nullptr, TRUE);
}

INT_PTR CALLBACK PreferencesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        g_PrefsDialogCopy = g_ColorPrefs;
        CheckRadioButton(dialog, IDC_PREF_THEME_LIGHT, IDC_PREF_THEME_DARK,
                         g_PrefsDialogCopy.Theme != THEME_LIGHT ? IDC_PREF_THEME_DARK : IDC_PREF_THEME_LIGHT);
        FillSizeEdits(dialog);
        InvalidateRect(dialog, nullptr, TRUE);
        return TRUE;
    case WM_DRAWITEM:
        return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}
