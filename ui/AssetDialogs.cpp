#include "ui/AssetDialogs.h"

#include <string>

#include "app/FileDialogs.h"
#include "app/Modal.h"
#include "io/AssetRemoval.h"
#include "io/ModelLoader.h"
#include "io/TextureLoader.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "ui/PanelColors.h"

namespace {

const wchar_t IMAGE_FILTER[] = L"Image Files\0*.png;*.jpg;*.jpeg;*.bmp;*.tga\0All Files\0*.*\0";
const wchar_t MODEL_FILTER[] = L"GLB Models\0*.glb\0All Files\0*.*\0";

// What differs between the two managers: their list, their records and how
// one is added, listed and removed.
struct AssetManager {
    int listId, addId, removeId;
    const wchar_t* filter;
    const wchar_t* failureText;
    int (*load)(const std::wstring& path);
    void (*refresh)(HWND listBox);
    bool (*remove)(int index);
};

const AssetManager TEXTURE_MANAGER = {IDC_TEXTURE_LIST, IDC_ADD_TEXTURE, IDC_REMOVE_TEXTURE, IMAGE_FILTER, L"Failed to load texture!", LoadTexture,
                                      RefreshTextureManagerList, RemoveTexture};
const AssetManager PROP_MANAGER = {IDC_PROP_LIST, IDC_ADD_PROP, IDC_REMOVE_PROP, MODEL_FILTER, L"Failed to load model!", LoadGLBModel,
                                   RefreshPropManagerList, RemoveModel};

void AddAsset(HWND dialog, const AssetManager& manager)
{
    const std::wstring path =
        RunFileDialog(dialog, nullptr, manager.filter, nullptr, OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST, ShowOpenFileDialog);
    if (path.empty())
        return;
    const int index = manager.load(path);
    if (index < 0) {
        ShowMessageBox(dialog, manager.failureText, L"Error", MB_OK | MB_ICONERROR);
        return;
    }
    HWND list = GetDlgItem(dialog, manager.listId);
    manager.refresh(list);
    SendMessageW(list, LB_SETCURSEL, index, 0);
}

void RemoveSelectedAsset(HWND dialog, const AssetManager& manager)
{
    HWND list = GetDlgItem(dialog, manager.listId);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return;
    if (manager.remove(static_cast<int>(selected)))
        manager.refresh(list);
}

// The two managers share one procedure over their own description.
INT_PTR AssetManagerProc(const AssetManager& manager, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        manager.refresh(GetDlgItem(dialog, manager.listId));
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_ERASEBKGND:
        return ThemedDialogColors(dialog, message, wParam);
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL)
            EndDialog(dialog, id);
        else if (id == manager.addId)
            AddAsset(dialog, manager);
        else if (id == manager.removeId)
            RemoveSelectedAsset(dialog, manager);
        else
            return FALSE;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

void RefreshTextureManagerList(HWND listBox)
{
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    for (const Texture& texture : g_Textures) {
        const std::wstring line = TextureListEntryText(texture);
        SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void RefreshPropManagerList(HWND listBox)
{
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    for (const Model& model : g_Models) {
        const std::wstring line = model.name + L" (" + std::to_wstring(model.V.rows()) + L" verts, " +
                                  std::to_wstring(model.F.rows()) + L" tris)";
        SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

INT_PTR CALLBACK TextureManagerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return AssetManagerProc(TEXTURE_MANAGER, dialog, message, wParam, lParam);
}

INT_PTR CALLBACK PropManagerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return AssetManagerProc(PROP_MANAGER, dialog, message, wParam, lParam);
}
