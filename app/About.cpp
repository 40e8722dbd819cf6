#include "app/About.h"

#include "app/InfoDialog.h"

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        return EndInfoDialogOnCommand(dialog, wParam);
    default:
        return FALSE;
    }
}
