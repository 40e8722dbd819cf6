#include "app/Startup.h"

#include <commctrl.h>

#include "app/ExecutableFolder.h"
#include "app/MainWindow.h"
#include "app/MenuState.h"
#include "app/Preferences.h"
#include "app/PreferencesFile.h"
#include "app/Refresh.h"
#include "app/Theme.h"
#include "app/ThemeApi.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "ui/BlankPanel.h"
#include "ui/DebugWindow.h"
#include "ui/HierarchyPanel.h"
#include "ui/HierarchyTree.h"
#include "ui/PainterPanel.h"
#include "ui/PlotterPanel.h"
#include "ui/PropertiesPanel.h"
#include "ui/ToolsPanel.h"
#include "ui/VertexPanel.h"
#include "ui/VertexPropertiesPanel.h"
#include "viewport/GLContext.h"
#include "viewport/ViewportWindow.h"

wchar_t g_szTitle[100] = {};
wchar_t g_szWindowClass[100] = {};

namespace {

// COLOR_HIGHLIGHTTEXT + 1 as the background of the main and tools classes.
const INT_PTR MAIN_CLASS_BACKGROUND = 15;

// A class without icons or menu.
void RegisterPlainClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

HBRUSH SystemColorBrush(INT_PTR value)
{
    return reinterpret_cast<HBRUSH>(value);
}

} // namespace

void RegisterWindowClasses(HINSTANCE instance)
{
    WNDCLASSEXW mainClass = {};
    mainClass.cbSize = sizeof mainClass;
    mainClass.style = CS_HREDRAW | CS_VREDRAW;
    mainClass.lpfnWndProc = MainWndProc;
    mainClass.hInstance = instance;
    mainClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TARSELSTUDIO));
    mainClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL));
    mainClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    mainClass.hbrBackground = SystemColorBrush(MAIN_CLASS_BACKGROUND);
    mainClass.lpszMenuName = MAKEINTRESOURCEW(IDC_TARSELSTUDIO);
    mainClass.lpszClassName = g_szWindowClass;
    RegisterClassExW(&mainClass);

    // Panels without contents yet stay blank.
    const HBRUSH window = SystemColorBrush(COLOR_WINDOW + 1);
    RegisterPlainClass(instance, L"OstrelHierarchy", HierarchyPanelWndProc, 0, window);
    RegisterPlainClass(instance, L"OstrelTools", ToolsPanelWndProc, CS_DBLCLKS, SystemColorBrush(MAIN_CLASS_BACKGROUND));
    RegisterPlainClass(instance, L"OstrelViewport", ViewportWndProc, CS_OWNDC,
                  static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RegisterPlainClass(instance, L"OstrelProperties", PropertiesPanelWndProc, 0, window);
    RegisterPlainClass(instance, L"OstrelPainterPanel", PainterPanelWndProc, 0, window);
    RegisterPlainClass(instance, L"OstrelPlotterPanel", PlotterPanelWndProc, 0, window);
    RegisterPlainClass(instance, L"OstrelVertexPanel", VertexPanelWndProc, 0, window);
    RegisterPlainClass(instance, L"OstrelVertexPropertiesPanel", VertexPropertiesPanelWndProc, 0, window);
    RegisterPlainClass(instance, L"OstrelDebugWindow", DebugWndProc, 0, window);
}

void InstallUiHooks()
{
    g_Hooks.RefreshHierarchyTree = RefreshHierarchyTree;
    g_Hooks.SelectTreeItemByObjectIndex = SelectTreeItemByObjectIndex;
    g_Hooks.ClearTreeSelection = ClearTreeSelection;
    g_Hooks.UpdatePropertiesPanel = UpdatePropertiesPanel;
    g_Hooks.UpdateVertexPropertiesPanel = UpdateVertexPropertiesPanel;
    g_Hooks.UpdateCSGMenuState = UpdateCSGMenuState;
    g_Hooks.SetCreationToolsEnabled = SetCreationToolsEnabled;
    g_Hooks.InvalidateViewport = InvalidateViewport;
    g_Hooks.InvalidateToolsPanel = InvalidateToolsPanel;
    g_Hooks.FocusViewport = FocusViewport;
    g_Hooks.IsCtrlKeyDown = IsCtrlKeyDown;
    g_Hooks.AppendLogLine = AppendLogLine;
}

BOOL InitInstance(HINSTANCE instance, int showCommand)
{
    g_hInstance = instance;
    HWND window = CreateWindowExW(0, g_szWindowClass, g_szTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  g_WindowWidth, g_WindowHeight, nullptr, nullptr, instance, nullptr);
    if (!window)
        return FALSE;
    g_hMainWnd = window;

    SetDarkTitleBar(window, g_ColorPrefs.Theme == THEME_DARK);
    SetWindowTextW(window, L"Tarsel Studio - Modeller Mode");
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    CreateDebugWindow(instance);
    UpdateCSGMenuState();
    LoadBuiltInCustomProp();
    return TRUE;
}

BOOL StartApplication(HINSTANCE instance, int showCommand, HACCEL* accelerators)
{
    LoadStringW(instance, IDS_APP_TITLE, g_szTitle, 100);
    LoadStringW(instance, IDC_TARSELSTUDIO, g_szWindowClass, 100);
    LoadPreferences(g_ColorPrefs);
    AllowDarkModeForApp();
    ApplyThemeColors();

    // The tree view and the standard controls the panels use.
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    RegisterWindowClasses(instance);
    InstallUiHooks();
    if (!InitInstance(instance, showCommand))
        return FALSE;
    *accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_TARSELSTUDIO));
    return TRUE;
}

bool PumpMessages(HACCEL accelerators, int* exitCode)
{
    bool running = true;
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            running = false;
            *exitCode = static_cast<int>(message.wParam);
        }
        if (!TranslateAcceleratorW(g_hMainWnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return running;
}

int RunMessageLoop(HACCEL accelerators)
{
    int exitCode = 0;
    // No timer and no sleep: the viewport is redrawn as fast as the loop turns.
    while (PumpMessages(accelerators, &exitCode)) {
        if (g_hViewport)
            RenderViewportFrame();
    }
    return exitCode;
}

int RunApplication(HINSTANCE instance, int showCommand)
{
    HACCEL accelerators = nullptr;
    if (!StartApplication(instance, showCommand, &accelerators))
        return 0;
    return RunMessageLoop(accelerators);
}
