// The calls through which the scene core asks the user interface to refresh
// itself. The Win32 layer points the members at its panel routines; every
// member defaults to a no-op, so the core (and its tests) can always call them.
#pragma once

#include <string>

// Defaults installed by UiHooks and ResetHooks.
void HookDoNothing();
void HookDoNothingWithIndex(int);
void HookDoNothingWithFlag(bool);
bool HookKeyNotDown();
void HookDropLine(const std::wstring&);

struct UiHooks {
    void (*RefreshHierarchyTree)() = HookDoNothing;
    void (*SelectTreeItemByObjectIndex)(int index) = HookDoNothingWithIndex;
    void (*ClearTreeSelection)() = HookDoNothing;           // tree caret to no item
    void (*UpdatePropertiesPanel)() = HookDoNothing;
    void (*UpdateVertexPropertiesPanel)() = HookDoNothing;
    void (*UpdateCSGMenuState)() = HookDoNothing;
    void (*SetCreationToolsEnabled)(bool enabled) = HookDoNothingWithFlag;
    void (*InvalidateViewport)() = HookDoNothing;           // without erasing
    void (*InvalidateToolsPanel)() = HookDoNothing;         // with erasing
    void (*FocusViewport)() = HookDoNothing;
    bool (*IsCtrlKeyDown)() = HookKeyNotDown;
    void (*AppendLogLine)(const std::wstring& line) = HookDropLine;
};

extern UiHooks g_Hooks;

// Restores every member to its no-op default.
void ResetHooks();
