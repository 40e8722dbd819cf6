#include "ui/PanelScroll.h"

#include <algorithm>

void SetPanelScrollRange(HWND panel, int maximum, int position)
{
    RECT client = {};
    GetClientRect(panel, &client);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = maximum;
    info.nPage = static_cast<UINT>(std::max(0L, client.bottom));
    info.nPos = position;
    SetScrollInfo(panel, SB_VERT, &info, TRUE);
}

SCROLLINFO PanelScrollInfo(HWND panel)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(panel, SB_VERT, &info);
    return info;
}

void ScrollPanelTo(HWND panel, int wanted, int* position)
{
    const SCROLLINFO info = PanelScrollInfo(panel);
    wanted = std::min(wanted, info.nMax - static_cast<int>(info.nPage));
    wanted = std::max(wanted, 0);
    if (wanted == *position)
        return;
    const int old = *position;
    *position = wanted;
    SetScrollPos(panel, SB_VERT, wanted, TRUE);
    ScrollWindow(panel, 0, old - wanted, nullptr, nullptr);
    UpdateWindow(panel);
}
