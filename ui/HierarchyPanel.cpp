#include "ui/HierarchyPanel.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/MenuState.h"
#include "app/Preferences.h"
#include "app/Refresh.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "ui/HierarchyTree.h"
#include "ui/MeshConversion.h"
#include "ui/PanelColors.h"

WNDPROC g_OldTreeViewProc = nullptr;

namespace {

const COLORREF SINGLE_SELECTION_TEXT = RGB(0, 0, 0);
const COLORREF MULTI_SELECTION_TEXT = RGB(255, 255, 255);

bool Contains(const std::vector<int>& list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

void CreateHierarchyControls(HWND panel)
{
    CreateWindowExW(0, L"STATIC", L"Scene Hierarchy", WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 5, 250, 25, panel,
                    nullptr, g_hInstance, nullptr);
    HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                                    TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                5, 35, 240, 500, panel, reinterpret_cast<HMENU>(HIERARCHY_TREE_ID), g_hInstance,
                                nullptr);
    g_hTreeView = tree;
    if (!tree)
        return;
    SendMessageW(tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorOf(g_ColorPrefs.UIEditBackground)));
    SendMessageW(tree, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorOf(g_ColorPrefs.UIText)));
    ApplyWindowTheme(tree);
    g_OldTreeViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HierarchyTreeSubclassProc)));
}

LRESULT PaintTreeItem(NMTVCUSTOMDRAW* draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const int value = static_cast<int>(draw->nmcd.lItemlParam);
        if (value < 0)
            return CDRF_DODEFAULT;
        if (Contains(g_OperationSelection, value)) {
            draw->clrTextBk = ColorOf(g_ColorPrefs.HierarchyOperation);
            return CDRF_NEWFONT;
        }
        if (Contains(g_SelectedObjects, value)) {
            const bool single = g_SelectedObjects.size() < 2;
            draw->clrTextBk = ColorOf(single ? g_ColorPrefs.HierarchySelection : g_ColorPrefs.HierarchyMultiSelection);
            draw->clrText = single ? SINGLE_SELECTION_TEXT : MULTI_SELECTION_TEXT;
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void ClearSelectionAfterRefusal()
{
    g_SelectedObjects.clear();
    g_SelectedObjectIndex = -1;
    ClearTreeSelection();
    DebugLog(L"User cancelled conversion - cleared selection");
}

// Vertex Editor: primitives among the selection are offered for conversion.
void OfferConversionOfSelection()
{
    DebugLog(L"VERTEX MODE: Checking selected objects for primitives, count=" +
             std::to_wstring(g_SelectedObjects.size()));
    std::vector<int> primitives;
    for (int index : g_SelectedObjects) {
        if (!IsValidObjectIndex(index))
            continue;
        const SceneObject& object = g_SceneObjects[index];
        DebugLog(L"  Object " + std::to_wstring(index) + L" (" + object.name + L") isCSGMesh=" +
                 (object.isCSGMesh ? L"true" : L"false"));
        // A knife's cut plane lives in its rotation, which a conversion drops.
        if (!object.isCSGMesh && object.type != PRIMITIVE_KNIFE)
            primitives.push_back(index);
    }
    DebugLog(L"VERTEX MODE: Found " + std::to_wstring(primitives.size()) + L" primitives to convert");
    if (primitives.empty())
        return;

    if (AskAndConvertForVertexEditing(g_hMainWnd, primitives)) {
        // The conversion rebuilt the tree. Unguarded: the selection handling runs again for the converted item.
        SelectTreeItemByObjectIndex(g_SelectedObjectIndex);
    } else {
        ClearSelectionAfterRefusal();
    }
}

void SelectGroupFromTree(int group)
{
    if (group < 0 || group >= static_cast<int>(g_Groups.size()))
        return;
    g_SelectedGroup = group;
    g_SelectedObjects = g_Groups[group].members;
    g_SelectedObjectIndex = g_SelectedObjects.empty() ? -1 : g_SelectedObjects.front();
    g_SelectedPropInstance = -1;
}

void SelectObjectFromTree(int index)
{
    if (!IsValidObjectIndex(index))
        return;
    g_SelectedGroup = -1;
    DebugLog(L"CLEAR: Hierarchy tree selection (user clicked tree)");
    g_SelectedObjects = {index};
    g_SelectedObjectIndex = index;
    g_SelectedPropInstance = -1;
    DebugLog(L"Updated g_SelectedObjects, size = " + std::to_wstring(g_SelectedObjects.size()) + L", index = " +
             std::to_wstring(g_SelectedObjectIndex));
}

void HandleTreeSelectionChange(const NMTREEVIEWW* change)
{
    DebugLog(L"TVN_SELCHANGED received in mode " + std::to_wstring(g_CurrentMode));
    if (g_TreeSelectionGuard || !change->itemNew.hItem)
        return;
    const int value = TreeItemValue(change->hdr.hwndFrom, change->itemNew.hItem);
    DebugLog(L"Tree item selected, itemData = " + std::to_wstring(value));

    g_OperationSelection.clear();
    if (value < -1)
        SelectGroupFromTree(-2 - value);
    else
        SelectObjectFromTree(value);
    // The menu follows the selection just made.
    UpdateCSGMenuState();

    if (g_CurrentMode == MODE_VERTEX_EDITOR)
        OfferConversionOfSelection();
    g_Hooks.UpdatePropertiesPanel();
    InvalidateViewport();
    // Items other than the clicked one may have changed colour (a group's members).
    InvalidateRect(change->hdr.hwndFrom, nullptr, FALSE);
}

LRESULT HandleTreeNotification(NMHDR* header)
{
    if (header->idFrom != HIERARCHY_TREE_ID)
        return 0;
    switch (header->code) {
    case NM_CUSTOMDRAW:
        return PaintTreeItem(reinterpret_cast<NMTVCUSTOMDRAW*>(header));
    case TVN_SELCHANGEDW:
        HandleTreeSelectionChange(reinterpret_cast<NMTREEVIEWW*>(header));
        return 0;
    default:
        return 0;
    }
}

// Shift+click on an object item: toggles it in the operation selection and
// keeps the tree's own selection where it is. False when the click is the
// tree's to handle.
bool ToggleOperationObjectAt(HWND tree, LPARAM point)
{
    TVHITTESTINFO hit = {};
    hit.pt.x = static_cast<short>(LOWORD(point));
    hit.pt.y = static_cast<short>(HIWORD(point));
    CallWindowProcW(g_OldTreeViewProc, tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (!hit.hItem || !(hit.flags & TVHT_ONITEM))
        return false;
    const int value = TreeItemValue(tree, hit.hItem);
    if (value < 0)
        return false;   // a group: a plain click
    if (!IsValidObjectIndex(value) || !g_SceneObjects[value].visible)
        return true;

    g_SelectedObjectIndex = -1;
    DebugLog(L"CLEAR: Operation selection (hierarchy)");
    g_SelectedObjects.clear();
    g_SelectedGroup = -1;
    auto found = std::find(g_OperationSelection.begin(), g_OperationSelection.end(), value);
    if (found != g_OperationSelection.end())
        g_OperationSelection.erase(found);
    else
        g_OperationSelection.push_back(value);
    UpdateCSGMenuState();
    g_Hooks.UpdatePropertiesPanel();
    InvalidateViewport();
    InvalidateRect(tree, nullptr, TRUE);
    return true;
}

} // namespace

LRESULT CALLBACK HierarchyPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateHierarchyControls(window);
        return 0;
    case WM_SIZE: {
        HWND tree = GetDlgItem(window, HIERARCHY_TREE_ID);
        if (tree)
            MoveWindow(tree, 5, 35, LOWORD(lParam) - 10, HIWORD(lParam) - 40, TRUE);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return ErasePanelBackground(window, wParam);
    case WM_CTLCOLORSTATIC:
        return PanelStaticColors(wParam);
    case WM_NOTIFY:
        return HandleTreeNotification(reinterpret_cast<NMHDR*>(lParam));
    case WM_DESTROY:
        if (g_hTreeView && GetParent(g_hTreeView) == window)
            g_hTreeView = nullptr;
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK HierarchyTreeSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        if (GetKeyState(VK_SHIFT) < 0 && ToggleOperationObjectAt(window, lParam))
            return 0;
        break;
    default:
        break;
    }
    return CallWindowProcW(g_OldTreeViewProc, window, message, wParam, lParam);
}
