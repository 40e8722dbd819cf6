#include "app/MenuState.h"

#include <windows.h>

#include <vector>

#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"

namespace {

// The main window's menu, reached through the viewport's parent; null before
// the viewport exists.
HMENU MainMenu()
{
    if (!g_hViewport)
        return nullptr;
    HWND parent = GetParent(g_hViewport);
    return parent ? GetMenu(parent) : nullptr;
}

UINT EnableFlag(bool enable)
{
    return MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED);
}

} // namespace

void UpdateCSGMenuState()
{
    HMENU menu = MainMenu();
    if (!menu)
        return;
    const std::vector<int>& list = g_OperationSelection.empty() ? g_SelectedObjects : g_OperationSelection;
    int knives = 0;
    int others = 0;
    for (int index : list) {
        if (index < 0 || index >= static_cast<int>(g_SceneObjects.size()))
            continue;
        if (g_SceneObjects[index].type == PRIMITIVE_KNIFE)
            ++knives;
        else
            ++others;
    }
    const bool combine = knives == 0 && others >= 2;
    EnableMenuItem(menu, ID_EDIT_JOIN, EnableFlag(combine));
    EnableMenuItem(menu, ID_EDIT_INTERSECTION, EnableFlag(combine));
    EnableMenuItem(menu, ID_EDIT_XOR, EnableFlag(combine));
    EnableMenuItem(menu, ID_EDIT_SLICE, EnableFlag(knives >= 1 && others >= 1));
    DrawMenuBar(GetParent(g_hViewport));
}

void SetCreationToolsEnabled(bool enable)
{
    // Tool buttons of the tools panel, then its primitive buttons; the Knife
    // keeps its state.
    static const int BUTTON_IDS[] = {2200, 2201, 2202, 2203, 2204, 2205,
                                     ID_CREATE_CUBE, ID_CREATE_SPHERE, ID_CREATE_CYLINDER,
                                     ID_CREATE_CONE, ID_CREATE_RAMP, ID_CREATE_WEDGE};
    if (g_hToolsPanel) {
        for (int id : BUTTON_IDS) {
            HWND button = GetDlgItem(g_hToolsPanel, id);
            if (button)
                EnableWindow(button, enable);
        }
    }
    HMENU menu = MainMenu();
    if (!menu)
        return;
    for (int id : {ID_CREATE_CUBE, ID_CREATE_SPHERE, ID_CREATE_CYLINDER, ID_CREATE_CONE})
        EnableMenuItem(menu, id, EnableFlag(enable));
    DrawMenuBar(GetParent(g_hViewport));
}
