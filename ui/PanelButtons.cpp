#include "ui/PanelButtons.h"

#include "app/Preferences.h"
#include "app/Theme.h"
#include "ui/PanelColors.h"
#include "ui/PanelRows.h"

namespace {

const COLORREF ACTIVE_FRAME_LIGHT = RGB(0, 120, 215);
const COLORREF ACTIVE_FRAME_DARK = RGB(100, 160, 220);
const int CAPTION_MAX = 64;
const int TOOL_COLUMN_WIDTH_AND_BAR = 230;

} // namespace

void DrawPanelButton(const DRAWITEMSTRUCT* item, bool active, int disabledCaption)
{
    HDC dc = item->hDC;
    const RECT& r = item->rcItem;

    HBRUSH fill = CreateSolidBrush(ColorOf(g_ColorPrefs.UIEditBackground));
    FillRect(dc, &r, fill);
    DeleteObject(fill);

    const int penWidth = active ? 3 : 1;
    const COLORREF frameColor = active ? (g_ColorPrefs.Theme == THEME_DARK ? ACTIVE_FRAME_DARK : ACTIVE_FRAME_LIGHT)
                                       : ColorOf(g_ColorPrefs.UIText);
    const int inset = (item->itemState & ODS_SELECTED) ? penWidth : penWidth / 2;
    HPEN pen = CreatePen(PS_SOLID, penWidth, frameColor);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left + inset, r.top + inset, r.right - inset, r.bottom - inset);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    wchar_t caption[CAPTION_MAX + 1] = {};
    GetWindowTextW(item->hwndItem, caption, CAPTION_MAX + 1);
    RECT textRect = r;
    SetBkMode(dc, TRANSPARENT);
    const bool dim = disabledCaption == DIM_WHEN_DISABLED && (item->itemState & ODS_DISABLED);
    SetTextColor(dc, dim ? PanelDimTextColor() : ColorOf(g_ColorPrefs.UIText));
    DrawTextW(dc, caption, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

int ToolColumnWidth()
{
    return TOOL_COLUMN_WIDTH_AND_BAR - GetSystemMetrics(SM_CXVSCROLL);
}

HWND CreateToolColumnControl(HWND panel, int id, const wchar_t* text, int y, int height)
{
    const bool label = id == -1;
    return CreatePanelControl(panel, label ? L"STATIC" : L"BUTTON", text, label ? SS_LEFT : BS_OWNERDRAW, TOOL_COLUMN_X,
                              y, ToolColumnWidth(), height, id);
}

LRESULT DrawToolButton(LPARAM drawItem, bool (*isActive)(int id))
{
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(drawItem);
    DrawPanelButton(item, isActive(static_cast<int>(item->CtlID)));
    return TRUE;
}
