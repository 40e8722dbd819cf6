#include "tests/ui/PanelTestSupport.h"
#include "tests/scene/SceneTestSupport.h"

#include <cstring>

#include "app/WinGlobals.h"
#include "scene/Undo.h"

namespace {

HTREEITEM NextItem(HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(g_hTreeView, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void CollectRows(HTREEITEM item, int depth, std::vector<TreeRow>& rows)
{
    for (; item; item = NextItem(item, TVGN_NEXT)) {
        wchar_t text[256] = {};
        TVITEMW data = {};
        data.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
        data.stateMask = TVIS_EXPANDED;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 256;
        SendMessageW(g_hTreeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        rows.push_back({item, text, static_cast<int>(data.lParam), depth, (data.state & TVIS_EXPANDED) != 0});
        CollectRows(NextItem(item, TVGN_CHILD), depth + 1, rows);
    }
}

} // namespace

SceneObject MakeBox(const std::wstring& name, float minX, float minY, float minZ, float maxX, float maxY, float maxZ)
{
    return MakePrimitive(PRIMITIVE_CUBE, name, minX, minY, minZ, maxX, maxY, maxZ);
}

Group MakeGroup(const std::wstring& name, const std::vector<int>& members)
{
    Group group;
    group.name = name;
    group.members = members;
    return group;
}

std::vector<TreeRow> TreeRows()
{
    std::vector<TreeRow> rows;
    CollectRows(NextItem(nullptr, TVGN_ROOT), 0, rows);
    return rows;
}

HTREEITEM FirstTreeItemWithValue(int value)
{
    for (const TreeRow& row : TreeRows()) {
        if (row.value == value)
            return row.item;
    }
    return nullptr;
}

HTREEITEM SelectedTreeItem()
{
    return NextItem(nullptr, TVGN_CARET);
}

void SetShiftKey(bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    keys[VK_LSHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

RECT TreeItemTextRect(HTREEITEM item)
{
    // The message takes the item in the rectangle's first bytes.
    RECT rect = {};
    std::memcpy(&rect, &item, sizeof item);
    SendMessageW(g_hTreeView, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void ClickTreeItem(HTREEITEM item, bool shift)
{
    const RECT rect = TreeItemTextRect(item);
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    const WPARAM keys = MK_LBUTTON | (shift ? MK_SHIFT : 0);
    SetShiftKey(shift);
    // The tree waits for the release while it watches for a drag: it is
    // queued first so the wait ends at once.
    PostMessageW(g_hTreeView, WM_LBUTTONUP, shift ? MK_SHIFT : 0, point);
    SendMessageW(g_hTreeView, WM_LBUTTONDOWN, keys, point);
    MSG message;
    while (PeekMessageW(&message, g_hTreeView, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE))
        DispatchMessageW(&message);
    SetShiftKey(false);
}

COLORREF PrintedPixel(HWND window, int x, int y)
{
    RECT client = {};
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF color = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return color;
}

int ModellerUndoDepth()
{
    return static_cast<int>(g_ModellerUndoStack.size());
}
