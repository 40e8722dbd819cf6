// The Create Group and Add to Group dialogs (templates 111 and 112). They
// only collect input: g_PendingGroupName, g_PendingGroupPivotMode and
// g_PendingGroupTidallyLocked, or g_AddToGroupIndex; the group commands read
// them after the dialog ends with IDOK.
#pragma once

#include <windows.h>

INT_PTR CALLBACK CreateGroupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AddToGroupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
