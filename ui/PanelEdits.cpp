#include "ui/PanelEdits.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "app/WinGlobals.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "ui/PanelColors.h"

bool g_EditUndoTaken = false;
bool g_EditTypedSinceFocus = false;

namespace {

const COLORREF HIGHLIGHT_TEXT = RGB(0, 0, 0);
const COLORREF HIGHLIGHT_BACKGROUND = RGB(200, 230, 255);
const int NUMBER_TEXT_MAX = 63;

const wchar_t CTRL_C = 3;

// Characters that change the text: printable ones, Backspace, Ctrl+V, Ctrl+X.
bool ChangesText(WPARAM character)
{
    return character != VK_RETURN && character != VK_TAB && character != VK_ESCAPE && character != CTRL_C;
}

// Leaving the edit or Enter: the name rebuilds the tree (keeping a group or
// multi-selection, which the tree's own selection handling would reduce to
// the primary), a number typed into is rewritten with one decimal.
void FinishEdit(HWND edit)
{
    if (GetDlgCtrlID(edit) == PANEL_NAME_EDIT_ID) {
        g_Hooks.RefreshHierarchyTree();
        if (g_SelectedObjectIndex >= 0) {
            const bool guard = g_TreeSelectionGuard;
            g_TreeSelectionGuard = true;
            g_Hooks.SelectTreeItemByObjectIndex(g_SelectedObjectIndex);
            g_TreeSelectionGuard = guard;
        }
    } else if (g_EditTypedSinceFocus) {
        WriteEditNumber(edit, L"%.1f", ReadEditNumber(edit));
    }
    EndEditSession();
}

} // namespace

void SubclassPanelEdit(HWND edit)
{
    SetWindowSubclass(edit, PanelEditSubclassProc, 0, 0);
}

LRESULT CALLBACK PanelEditSubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_SETFOCUS: {
        EndEditSession();
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        InvalidateRect(edit, nullptr, FALSE);
        return result;
    }
    case WM_KILLFOCUS: {
        FinishEdit(edit);
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        InvalidateRect(edit, nullptr, FALSE);
        return result;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            FinishEdit(edit);
            SetFocus(GetParent(edit));
            return 0;
        }
        if (wParam == VK_DELETE)
            g_EditTypedSinceFocus = true;
        return DefSubclassProc(edit, message, wParam, lParam);
    case WM_CHAR:
        if (ChangesText(wParam))
            g_EditTypedSinceFocus = true;
        return DefSubclassProc(edit, message, wParam, lParam);
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
        g_EditTypedSinceFocus = true;
        return DefSubclassProc(edit, message, wParam, lParam);
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, PanelEditSubclassProc, 0);
        return DefSubclassProc(edit, message, wParam, lParam);
    default:
        return DefSubclassProc(edit, message, wParam, lParam);
    }
}

void SaveEditUndoStateOnce()
{
    if (g_EditUndoTaken)
        return;
    SaveUndoState();
    g_EditUndoTaken = true;
}

void EndEditSession()
{
    g_EditUndoTaken = false;
    g_EditTypedSinceFocus = false;
}

LRESULT PanelFocusEditColors(WPARAM deviceContext, LPARAM edit)
{
    if (reinterpret_cast<HWND>(edit) != GetFocus() || !g_hHighlightBrush)
        return PanelEditColors(deviceContext);
    HDC dc = reinterpret_cast<HDC>(deviceContext);
    SetTextColor(dc, HIGHLIGHT_TEXT);
    SetBkColor(dc, HIGHLIGHT_BACKGROUND);
    return reinterpret_cast<LRESULT>(g_hHighlightBrush);
}

double ReadEditNumber(HWND edit)
{
    wchar_t text[NUMBER_TEXT_MAX + 1] = {};
    GetWindowTextW(edit, text, NUMBER_TEXT_MAX + 1);
    return _wtof(text);
}

int ReadEditInteger(HWND edit)
{
    wchar_t text[NUMBER_TEXT_MAX + 1] = {};
    GetWindowTextW(edit, text, NUMBER_TEXT_MAX + 1);
    return _wtoi(text);
}

void WriteEditNumber(HWND edit, const wchar_t* format, double value)
{
    wchar_t text[64] = {};
    swprintf(text, 64, format, value);
    SetWindowTextW(edit, text);
}

void WriteEditInteger(HWND edit, int value)
{
    wchar_t text[32] = {};
    swprintf(text, 32, L"%d", value);
    SetWindowTextW(edit, text);
}
