#include "ui/ToolsPanel.h"

#include <string>

#include "app/MainWindow.h"
#include "app/MenuState.h"
#include "app/Modal.h"
#include "app/Refresh.h"
#include "app/Theme.h"
#include "resources/resource.h"
#include "scene/EraseObject.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Undo.h"
#include "ui/HierarchyTree.h"
#include "ui/PanelButtons.h"
#include "ui/PanelColors.h"
#include "ui/PanelPaint.h"
#include "ui/PanelScroll.h"

int g_ToolsScrollPos = 0;

namespace {

const int CONTROL_HEIGHT = 20;
const int SCROLL_MAXIMUM = 395;
const int SCROLL_LINE = 20;
const int HEADING_FONT_HEIGHT = 12;

struct ToolsControl {
    int id;                 // -1 for a label
    const wchar_t* text;
    int y;
};

const ToolsControl TOOLS_CONTROLS[] = {
    {-1, L"Actions...", 10},
    {TOOL_BUTTON_SELECT, L"Select", 35},
    {TOOL_BUTTON_MOVE, L"Move", 58},
    {TOOL_BUTTON_ROTATE, L"Rotate", 81},
    {TOOL_BUTTON_SCALE, L"Scale", 104},
    {TOOL_BUTTON_DUPLICATE, L"Duplicate", 127},
    {TOOL_BUTTON_REMOVE, L"Remove", 150},
    {-1, L"Create...", 183},
    {ID_CREATE_CUBE, L"Cube", 208},
    {ID_CREATE_SPHERE, L"Sphere", 231},
    {ID_CREATE_CYLINDER, L"Cylinder", 254},
    {ID_CREATE_CONE, L"Cone", 277},
    {ID_CREATE_RAMP, L"Ramp", 300},
    {ID_CREATE_WEDGE, L"Wedge", 323},
    {ID_CREATE_KNIFE, L"Knife", 346},
};

// Create button ids by PrimitiveType.
const int CREATE_BUTTON_IDS[] = {ID_CREATE_CUBE, ID_CREATE_SPHERE, ID_CREATE_CYLINDER, ID_CREATE_CONE,
                                 ID_CREATE_RAMP, ID_CREATE_WEDGE, ID_CREATE_KNIFE};
const int PRIMITIVE_TYPE_COUNT = 7;

bool IsCreateButton(int id)
{
    for (int createId : CREATE_BUTTON_IDS) {
        if (createId == id)
            return true;
    }
    return false;
}

void CreateToolsControls(HWND panel)
{
    for (const ToolsControl& control : TOOLS_CONTROLS)
        CreateToolColumnControl(panel, control.id, control.text, control.y, CONTROL_HEIGHT);
}

bool IsActiveToolsButton(int id)
{
    if (g_IsInCreateMode) {
        const int type = g_CreatePrimitiveType;
        return type >= 0 && type < PRIMITIVE_TYPE_COUNT && CREATE_BUTTON_IDS[type] == id;
    }
    return g_CurrentTool >= TOOL_SELECT && g_CurrentTool <= TOOL_SCALE && id == TOOL_BUTTON_SELECT + g_CurrentTool;
}

void PaintHeadings(HWND panel)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(panel, &paint);
    RECT client = {};
    GetClientRect(panel, &client);
    HFONT font = CreateTitleFont(HEADING_FONT_HEIGHT);
    HGDIOBJ oldFont = SelectObject(dc, font);
    // Drawn in the theme's colours: the labels cover the headings but for a
    // sliver below the Remove button, which must not show a white band.
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorOf(g_ColorPrefs.UIText));
    // The headings scroll with the controls.
    const int top = -g_ToolsScrollPos;
    RECT actions = {10, top + 10, client.right - 10, top + 30};
    DrawTextW(dc, L"Actions...", -1, &actions, DT_SINGLELINE);
    RECT create = {10, top + 160, client.right - 10, top + 180};
    DrawTextW(dc, L"Create...", -1, &create, DT_SINGLELINE);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    EndPaint(panel, &paint);
}

void ChooseTool(int tool)
{
    // A tool ends a creation in progress and gives the tools back.
    if (g_IsInCreateMode || g_CreateStage != STAGE_NONE)
        CancelPrimitiveCreation();
    g_CurrentTool = tool;
    g_IsInCreateMode = false;
    RepaintModePanel();
}

void ScrollTools(HWND panel, int code, int trackPosition)
{
    const SCROLLINFO info = PanelScrollInfo(panel);
    int wanted = info.nPos;
    switch (code) {
    case SB_LINEUP: wanted -= SCROLL_LINE; break;
    case SB_LINEDOWN: wanted += SCROLL_LINE; break;
    case SB_PAGEUP: wanted -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: wanted += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK: wanted = trackPosition; break;
    default: break;
    }
    ScrollPanelTo(panel, wanted, &g_ToolsScrollPos);
}

void HandleToolsCommand(HWND panel, WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    switch (id) {
    case TOOL_BUTTON_SELECT:
    case TOOL_BUTTON_MOVE:
    case TOOL_BUTTON_ROTATE:
    case TOOL_BUTTON_SCALE:
        ChooseTool(TOOL_SELECT + (id - TOOL_BUTTON_SELECT));
        break;
    case TOOL_BUTTON_DUPLICATE:
        DuplicateSelectedObject();
        break;
    case TOOL_BUTTON_REMOVE:
        RemoveSelectedObject(panel);
        break;
    default:
        if (IsCreateButton(id))
            SendMessageW(GetParent(panel), WM_COMMAND, wParam, lParam);
        break;
    }
}

} // namespace

void DuplicateSelectedObject()
{
    if (!IsValidObjectIndex(g_SelectedObjectIndex))
        return;
    SaveUndoState();

    SceneObject copy = g_SceneObjects[g_SelectedObjectIndex];
    copy.minX += 1.0f;
    copy.maxX += 1.0f;
    copy.minZ += 1.0f;
    copy.maxZ += 1.0f;
    // An explicit mesh holds world positions: it moves with its bounds.
    if (copy.isCSGMesh && copy.V.cols() >= 3) {
        copy.V.col(0).array() += 1.0;
        copy.V.col(2).array() += 1.0;
    }
    copy.name += L" Copy";
    // The copy joins no group, so the tree lists it at the root.
    copy.groupID = -1;
    g_SceneObjects.push_back(copy);
    g_SelectedObjectIndex = static_cast<int>(g_SceneObjects.size()) - 1;

    RefreshHierarchyTree();
    // Unguarded: the tree's selection handling makes the copy the selection.
    SelectTreeItemByObjectIndex(g_SelectedObjectIndex);
    g_Hooks.UpdatePropertiesPanel();
    InvalidateViewport();
}

void RemoveSelectedObject(HWND owner)
{
    if (!IsValidObjectIndex(g_SelectedObjectIndex))
        return;
    const std::wstring text = L"Are you sure you want to remove \"" + g_SceneObjects[g_SelectedObjectIndex].name + L"\"?";
    if (ShowMessageBox(owner, text, L"Confirm Removal", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    SaveUndoState();
    EraseSceneObject(g_SelectedObjectIndex);
    g_SelectedObjectIndex = -1;
    RefreshHierarchyTree();
    g_Hooks.UpdatePropertiesPanel();
    // The selections lost the object: the CSG items follow.
    UpdateCSGMenuState();
    InvalidateViewport();
}

LRESULT CALLBACK ToolsPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateToolsControls(window);
        return 0;
    case WM_SIZE:
        SetPanelScrollRange(window, SCROLL_MAXIMUM, g_ToolsScrollPos);
        return 0;
    case WM_VSCROLL:
        ScrollTools(window, LOWORD(wParam), static_cast<int>(HIWORD(wParam)));
        return 0;
    case WM_PAINT:
        PaintHeadings(window);
        return 0;
    case WM_DRAWITEM:
        return DrawToolButton(lParam, IsActiveToolsButton);
    case WM_COMMAND:
        HandleToolsCommand(window, wParam, lParam);
        return 0;
    default:
        return HandlePanelDefault(window, message, wParam, lParam);
    }
}
