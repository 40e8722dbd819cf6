// The Texture Manager and Prop Manager dialogs (templates 110 and 113): list
// the loaded textures and models, add one through an open-file dialog, remove
// the selected one. Their changes take effect at once and are not undone.
#pragma once

#include <windows.h>

// One line per texture in g_Textures order: "name (WxH)".
void RefreshTextureManagerList(HWND listBox);

// One line per model in g_Models order: "name (n verts, m tris)".
void RefreshPropManagerList(HWND listBox);

INT_PTR CALLBACK TextureManagerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PropManagerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
