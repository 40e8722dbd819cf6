#include "ui/GroupDialogs.h"

#include <string>

#include "app/Modal.h"
#include "app/GroupCommands.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "ui/PanelColors.h"

namespace {

const int GROUP_NAME_CHARS = 256;   // 255 characters and the terminator

void InitCreateGroupDialog(HWND dialog)
{
    SetDlgItemTextW(dialog, IDC_GROUP_NAME, ProposedGroupName().c_str());
    HWND pivot = GetDlgItem(dialog, IDC_GROUP_PIVOT);
    SendMessageW(pivot, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Group Center"));
    SendMessageW(pivot, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Parent"));
    SendMessageW(pivot, CB_SETCURSEL, 0, 0);
}

void AcceptCreateGroupDialog(HWND dialog)
{
    wchar_t name[GROUP_NAME_CHARS] = {};
    GetDlgItemTextW(dialog, IDC_GROUP_NAME, name, GROUP_NAME_CHARS);
    g_PendingGroupName = name;
    const LRESULT pivot = SendDlgItemMessageW(dialog, IDC_GROUP_PIVOT, CB_GETCURSEL, 0, 0);
    g_PendingGroupPivotMode = pivot != 0 ? PIVOT_PARENT : PIVOT_GROUP_CENTER;
    g_PendingGroupTidallyLocked = IsDlgButtonChecked(dialog, IDC_GROUP_TIDALLY_LOCKED) == BST_CHECKED;
    EndDialog(dialog, IDOK);
}

void InitAddToGroupDialog(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_GROUP_LIST);
    for (const Group& group : g_Groups)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group.name.c_str()));
    if (!g_Groups.empty())
        SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void AcceptAddToGroupDialog(HWND dialog)
{
    const LRESULT selected = SendDlgItemMessageW(dialog, IDC_GROUP_LIST, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) {
        ShowMessageBox(dialog, L"Please select a group.", L"Add to Group", MB_OK | MB_ICONINFORMATION);
        return;
    }
    g_AddToGroupIndex = static_cast<int>(selected);
    EndDialog(dialog, IDOK);
}

} // namespace

INT_PTR CALLBACK CreateGroupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitCreateGroupDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            AcceptCreateGroupDialog(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK AddToGroupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitAddToGroupDialog(dialog);
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_ERASEBKGND:
        return ThemedDialogColors(dialog, message, wParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            AcceptAddToGroupDialog(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            g_AddToGroupIndex = -1;
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
