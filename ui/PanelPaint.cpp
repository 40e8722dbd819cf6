#include "ui/PanelPaint.h"

#include <algorithm>

#include "app/Theme.h"
#include "ui/PanelColors.h"

void PaintPanelBuffered(HWND panel, void (*drawContents)(HDC dc, const RECT& client))
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(panel, &paint);
    RECT client = {};
    GetClientRect(panel, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom));
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    FillRect(memory, &client, g_hPanelBrush);
    drawContents(memory, client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(panel, &paint);
}

void DrawPanelSeparator(HDC dc, const RECT& client, int y)
{
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, PanelDimTextColor());
    MoveToEx(dc, 10, y, nullptr);
    LineTo(dc, client.right - 10, y);
    SelectObject(dc, oldPen);
}

HFONT CreateTitleFont(int height)
{
    return CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Segoe UI");
}
