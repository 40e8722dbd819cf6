#include "ui/HierarchyTree.h"

#include <string>

#include "app/WinGlobals.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"

namespace {

HTREEITEM InsertTreeItem(HTREEITEM parent, const std::wstring& text, int value)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = value;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(g_hTreeView, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM NextTreeItem(HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(g_hTreeView, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// One sibling chain, each item before its children.
bool SelectInChain(HTREEITEM item, int index)
{
    for (; item; item = NextTreeItem(item, TVGN_NEXT)) {
        if (TreeItemValue(g_hTreeView, item) == index) {
            SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            return true;
        }
        HTREEITEM child = NextTreeItem(item, TVGN_CHILD);
        if (child && SelectInChain(child, index))
            return true;
    }
    return false;
}

} // namespace

int TreeItemValue(HWND tree, HTREEITEM item)
{
    if (!item)
        return -1;
    TVITEMW data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)))
        return -1;
    return static_cast<int>(data.lParam);
}

void RefreshHierarchyTree()
{
    if (!g_hTreeView)
        return;
    // Deleting the selected item makes the tree report a new selection; the
    // rebuild must not be taken for a click.
    const bool wasGuarded = g_TreeSelectionGuard;
    g_TreeSelectionGuard = true;

    SendMessageW(g_hTreeView, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    const int objectCount = static_cast<int>(g_SceneObjects.size());
    for (int g = 0; g < static_cast<int>(g_Groups.size()); ++g) {
        HTREEITEM groupItem = InsertTreeItem(TVI_ROOT, g_Groups[g].name, GroupTreeItemValue(g));
        for (int member : g_Groups[g].members) {
            if (member >= 0 && member < objectCount)
                InsertTreeItem(groupItem, g_SceneObjects[member].name, member);
        }
        SendMessageW(g_hTreeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(groupItem));
    }
    for (int i = 0; i < objectCount; ++i) {
        if (g_SceneObjects[i].groupID == -1)
            InsertTreeItem(TVI_ROOT, g_SceneObjects[i].name, i);
    }

    g_TreeSelectionGuard = wasGuarded;
}

void SelectTreeItemByObjectIndex(int index)
{
    if (!g_hTreeView || index == -1)
        return;
    SelectInChain(NextTreeItem(nullptr, TVGN_ROOT), index);
}

void ClearTreeSelection()
{
    if (!g_hTreeView)
        return;
    const bool wasGuarded = g_TreeSelectionGuard;
    g_TreeSelectionGuard = true;
    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, 0);
    g_TreeSelectionGuard = wasGuarded;
}
