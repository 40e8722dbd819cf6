#include "app/InfoDialog.h"

INT_PTR EndInfoDialogOnCommand(HWND dialog, WPARAM wParam)
{
    if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
        return FALSE;
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
}
