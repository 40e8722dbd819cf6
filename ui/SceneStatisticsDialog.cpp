#include "ui/SceneStatisticsDialog.h"

#include <string>

#include "app/InfoDialog.h"
#include "app/SceneStatistics.h"
#include "resources/resource.h"

INT_PTR CALLBACK SceneStatisticsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        const std::wstring text = BuildSceneStatisticsText();
        SetDlgItemTextW(dialog, IDC_STATISTICS_TEXT, text.c_str());
        return TRUE;
    }
    case WM_COMMAND:
        return EndInfoDialogOnCommand(dialog, wParam);
    default:
        return FALSE;
    }
}
