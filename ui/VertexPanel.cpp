#include "ui/VertexPanel.h"

#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "ui/PanelButtons.h"
#include "ui/PanelColors.h"

namespace {

const int CONTROL_X = 10;
const int CONTROL_HEIGHT = 20;
const int CONTROL_WIDTH_AND_BAR = 230;   // the scroll bar's width is taken off

struct VertexToolButton {
    int id;
    const wchar_t* text;
    int y;
    int tool;
    const wchar_t* logLine;   // null for none
};

const VertexToolButton VERTEX_TOOL_BUTTONS[] = {
    {VERTEX_BUTTON_SELECT, L"Select Vertex", 32, TOOL_SELECT, nullptr},
    {VERTEX_BUTTON_MOVE, L"Move Vertex", 55, TOOL_MOVE, nullptr},
    {VERTEX_BUTTON_ADD, L"Add Vertex", 78, TOOL_ADD_VERTEX, L"Add Vertex tool activated"},
    {VERTEX_BUTTON_REMOVE, L"Remove Vertices", 101, TOOL_REMOVE_VERTEX, L"Remove Vertex tool activated"},
};

const VertexToolButton* FindButton(int id)
{
    for (const VertexToolButton& button : VERTEX_TOOL_BUTTONS)
        if (button.id == id)
            return &button;
    return nullptr;
}

void CreateVertexControls(HWND panel)
{
    const int width = CONTROL_WIDTH_AND_BAR - GetSystemMetrics(SM_CXVSCROLL);
    CreateWindowExW(0, L"STATIC", L"Vertex Tools:", WS_CHILD | WS_VISIBLE | SS_LEFT, CONTROL_X, 10, width, 18, panel,
                    nullptr, g_hInstance, nullptr);
    for (const VertexToolButton& button : VERTEX_TOOL_BUTTONS)
        CreateWindowExW(0, L"BUTTON", button.text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CONTROL_X, button.y, width,
                        CONTROL_HEIGHT, panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(button.id)), g_hInstance,
                        nullptr);
}

void ChooseVertexTool(int id)
{
    const VertexToolButton* button = FindButton(id);
    if (!button)
        return;
    g_CurrentTool = button->tool;
    g_IsInCreateMode = false;
    if (button->logLine)
        DebugLog(button->logLine);
    RepaintModePanel();
}

bool IsActiveVertexButton(int id)
{
    const VertexToolButton* button = FindButton(id);
    return button && button->tool == g_CurrentTool;
}

} // namespace

LRESULT CALLBACK VertexPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateVertexControls(window);
        return 0;
    case WM_ERASEBKGND:
        return ErasePanelBackground(window, wParam);
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        DrawPanelButton(item, IsActiveVertexButton(static_cast<int>(item->CtlID)));
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            ChooseVertexTool(LOWORD(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
        return PanelEditColors(wParam);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return PanelStaticColors(wParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
