// The shared behaviour of the side panels' edits: the focus highlight, the
// Enter key, tidying a typed number when the edit is left, and the one undo
// step that covers an editing session.
//
// A panel uses it by calling SubclassPanelEdit on each edit from WM_CREATE,
// answering WM_CTLCOLOREDIT with PanelFocusEditColors, and, in its EN_CHANGE
// handling of an edit that changes a scene object, calling
// SaveEditUndoStateOnce just before it writes to the object. Leaving an edit
// (or pressing Enter in it) that the user typed into rewrites the text with
// "%.1f"; the edit's own EN_CHANGE then stores the tidied value, so the panel
// must not guard that write. The name edit (id PANEL_NAME_EDIT_ID) is not
// rewritten: leaving it rebuilds the hierarchy tree instead. Enter gives the
// focus to the edit's parent. Edits with ids 2001 to 2004 and 2133 never call
// SaveEditUndoStateOnce: the grid and rotation step lie outside undo.
#pragma once

#include <windows.h>

const int PANEL_NAME_EDIT_ID = 2100;

// An undo snapshot covers the focused edit's changes so far.
extern bool g_EditUndoTaken;
// The user typed into the focused edit since it got the focus. Cleared by
// the focus, by leaving the edit and by the panels' refills.
extern bool g_EditTypedSinceFocus;

void SubclassPanelEdit(HWND edit);

LRESULT CALLBACK PanelEditSubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);

// SaveUndoState, unless this editing session has taken its snapshot already.
void SaveEditUndoStateOnce();

// Forgets the editing session: the next typed change starts a new one.
void EndEditSession();

// WM_CTLCOLOREDIT: black on RGB(200, 230, 255) with g_hHighlightBrush for
// the edit that has the keyboard focus, the theme's edit colours otherwise.
LRESULT PanelFocusEditColors(WPARAM deviceContext, LPARAM edit);

// The edit's text (at most 63 characters) as a number; text that is no
// number reads as 0.
double ReadEditNumber(HWND edit);
int ReadEditInteger(HWND edit);

// Sets the text to value printed with a wide printf format ("%.2f", "%d").
void WriteEditNumber(HWND edit, const wchar_t* format, double value);
void WriteEditInteger(HWND edit, int value);
