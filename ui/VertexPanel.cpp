#include "ui/VertexPanel.h"

#include "app/Theme.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "ui/PanelButtons.h"
#include "ui/PanelColors.h"

namespace {

const int CONTROL_HEIGHT = 20;

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
    CreateToolColumnControl(panel, -1, L"Vertex Tools:", 10, 18);
    for (const VertexToolButton& button : VERTEX_TOOL_BUTTONS)
        CreateToolColumnControl(panel, button.id, button.text, button.y, CONTROL_HEIGHT);
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
    case WM_DRAWITEM:
        return DrawToolButton(lParam, IsActiveVertexButton);
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            ChooseVertexTool(LOWORD(wParam));
        return 0;
    default:
        return HandlePanelDefault(window, message, wParam, lParam);
    }
}
