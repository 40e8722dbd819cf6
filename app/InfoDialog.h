// The closing of the dialogs that only show something (About, Scene
// Statistics): OK, or Cancel from Esc and the close box, ends them.
#pragma once

#include <windows.h>

// WM_COMMAND of such a dialog: ends it with IDOK or IDCANCEL and returns
// TRUE for those, FALSE for any other command.
INT_PTR EndInfoDialogOnCommand(HWND dialog, WPARAM wParam);
