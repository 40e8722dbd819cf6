#include "ui/PanelRows.h"

#include <initializer_list>

namespace {

const int LIST_ITEM_TEXT_MAX = 256;

} // namespace

const StepRowLayout PROPERTIES_ROW_LAYOUT = {
    20, 70, 20,   // label
    95,           // "<"
    123, 80,      // edit
    206,          // ">"
    25, 20,
    WS_BORDER | ES_CENTER, 0,
    false,
};

HWND CreatePanelControl(HWND panel, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                        int width, int height, int id, DWORD exStyle)
{
    HMENU menu = id < 0 ? nullptr : reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                   panel, menu, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(panel, GWLP_HINSTANCE)),
                                   nullptr);
    // Without it a control speaks the wide system font, and labels such as
    // "Rot Step:" no longer fit their rows.
    if (control)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

StepRow CreateStepRow(HWND panel, const StepRowLayout& layout, int y, const wchar_t* label, int decreaseId,
                      int editId, int increaseId, const wchar_t* text, bool enabled)
{
    StepRow row = {};
    if (label)
        row.label = CreatePanelControl(panel, L"STATIC", label, 0, layout.labelX, y, layout.labelWidth,
                                       layout.labelHeight, -1);
    const DWORD disabled = enabled ? 0 : WS_DISABLED;
    auto makeEdit = [&]() {
        row.edit = CreatePanelControl(panel, L"EDIT", text, layout.editStyle | disabled, layout.editX, y,
                                      layout.editWidth, layout.height, editId, layout.editExStyle);
    };
    if (layout.editFirst)
        makeEdit();
    row.decrease = CreatePanelControl(panel, L"BUTTON", L"<", BS_OWNERDRAW | disabled, layout.decreaseX, y,
                                      layout.buttonWidth, layout.height, decreaseId);
    if (!layout.editFirst)
        makeEdit();
    row.increase = CreatePanelControl(panel, L"BUTTON", L">", BS_OWNERDRAW | disabled, layout.increaseX, y,
                                      layout.buttonWidth, layout.height, increaseId);
    return row;
}

void EnableControl(HWND control, bool enabled)
{
    if ((IsWindowEnabled(control) != FALSE) != enabled)
        EnableWindow(control, enabled ? TRUE : FALSE);
}

void EnableStepRow(HWND panel, int decreaseId, int editId, int increaseId, bool enabled)
{
    for (int id : {decreaseId, editId, increaseId})
        EnableControl(GetDlgItem(panel, id), enabled);
}

std::wstring CopyEditTextToListItem(HWND edit, HWND listBox, int index)
{
    wchar_t text[LIST_ITEM_TEXT_MAX + 1] = {};
    GetWindowTextW(edit, text, LIST_ITEM_TEXT_MAX + 1);
    SendMessageW(listBox, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(listBox, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    SendMessageW(listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return text;
}
