// A side panel's themed colours: its erased background, and the colours it
// hands its child controls when they ask (WM_CTLCOLORSTATIC, WM_CTLCOLORBTN,
// WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX), each set on the control's device context with the brush
// to paint with returned; and the dimmed colour of separator lines and
// disabled captions.
#pragma once

#include <windows.h>

// Static texts and buttons: UIText on UIPanelBackground, g_hPanelBrush.
LRESULT PanelStaticColors(WPARAM deviceContext);

// Edits: UIEditText on UIEditBackground, g_hEditBrush.
LRESULT PanelEditColors(WPARAM deviceContext);

// List boxes: UIText on UIEditBackground, g_hEditBrush.
LRESULT PanelListColors(WPARAM deviceContext);

// The themed dialogs' answer to WM_CTLCOLORSTATIC, WM_CTLCOLORBTN,
// WM_CTLCOLORLISTBOX and WM_ERASEBKGND, as a dialog procedure returns it.
INT_PTR ThemedDialogColors(HWND dialog, UINT message, WPARAM deviceContext);

// WM_ERASEBKGND: fills the client area with g_hPanelBrush; returns 1.
LRESULT ErasePanelBackground(HWND panel, WPARAM deviceContext);

// The default of a themed side panel's window procedure: erases the
// background, answers WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN and
// WM_CTLCOLORSTATIC with the colours above, and passes anything else to
// DefWindowProcW.
LRESULT HandlePanelDefault(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// Per channel (UIPanelBackground + UIText) / 2: separator lines and the
// captions of disabled owner-drawn buttons.
COLORREF PanelDimTextColor();
