// Building blocks of the side panels' control columns: a child control with
// an id, and the step row - a label, a "<" button, a numeric edit and a ">"
// button - that the properties, vertex properties and painter panels share.
//
// A panel describes where its rows go once, as a StepRowLayout, and calls
// CreateStepRow for each row from its WM_CREATE. The "<" and ">" buttons are
// owner-drawn (the panel answers WM_DRAWITEM with DrawPanelButton); the edit
// is a plain child that the panel subclasses itself when it wants the shared
// focus handling (SubclassPanelEdit in ui/PanelEdits.h).
#pragma once

#include <windows.h>

#include <string>

struct StepRowLayout {
    int labelX, labelWidth, labelHeight;
    int decreaseX;         // the "<" button
    int editX, editWidth;
    int increaseX;         // the ">" button
    int buttonWidth;
    int height;            // of the edit and the buttons
    DWORD editStyle;       // added to WS_CHILD | WS_VISIBLE
    DWORD editExStyle;
    bool editFirst;        // created label, edit, "<", ">" instead of label, "<", edit, ">"
};

// Label at x 20 (70 wide), "<" at 95, edit at 123 (80 wide, bordered,
// centred), ">" at 206; buttons 25 wide, everything 20 high. The properties
// and vertex properties panels.
extern const StepRowLayout PROPERTIES_ROW_LAYOUT;

struct StepRow {
    HWND label;        // null when the row has no label
    HWND decrease;
    HWND edit;
    HWND increase;
};

// Creates one row at y (client pixels at scroll position 0). label may be
// null for no label. The controls start enabled unless enabled is false
// (the label stays enabled).
StepRow CreateStepRow(HWND panel, const StepRowLayout& layout, int y, const wchar_t* label, int decreaseId,
                      int editId, int increaseId, const wchar_t* text, bool enabled = true);

// One visible child with an id (-1 for none: a label).
HWND CreatePanelControl(HWND panel, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                        int width, int height, int id, DWORD exStyle = 0);

// Puts the edit's text (at most 256 characters) in place of the list box's
// item at index, selects that item, and returns the text: a brush list
// following its name box.
std::wstring CopyEditTextToListItem(HWND edit, HWND listBox, int index);

// Enables or disables a control; nothing when it is in that state already
// (panels refilled on every drag event then cause no needless redraw).
void EnableControl(HWND control, bool enabled);

// Enables or disables the row's "<" button, edit and ">" button.
void EnableStepRow(HWND panel, int decreaseId, int editId, int increaseId, bool enabled);
