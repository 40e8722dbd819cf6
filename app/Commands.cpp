#include "app/Commands.h"

#include <string>
#include <vector>

#include "app/About.h"
#include "app/CsgCommands.h"
#include "app/ExecutableFolder.h"
#include "app/ExportCommands.h"
#include "app/FileCommands.h"
#include "app/GroupCommands.h"
#include "app/MenuState.h"
#include "app/Modal.h"
#include "app/Refresh.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/PrimitiveCreation.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Undo.h"
#include "ui/AssetDialogs.h"
#include "ui/GroupDialogs.h"
#include "ui/Layout.h"
#include "ui/MeshConversion.h"
#include "ui/PainterPanel.h"
#include "ui/PlotterPanel.h"
#include "ui/PreferencesDialog.h"
#include "ui/PropertiesPanel.h"
#include "ui/SceneStatisticsDialog.h"
#include "ui/VertexPropertiesPanel.h"

namespace {

bool IsCSGCommand(int id)
{
    return id == ID_EDIT_JOIN || id == ID_EDIT_INTERSECTION || id == ID_EDIT_XOR || id == ID_EDIT_SLICE;
}

void ToggleViewOption(HWND mainWindow, bool& option, int itemId)
{
    option = !option;
    SetMenuCheck(mainWindow, itemId, option);
    InvalidateViewport();
}

void BeginCreationInModeller(int type)
{
    if (g_CurrentMode == MODE_MODELLER)
        BeginPrimitiveCreation(type);
}

// Asks once, then turns every selected primitive into an explicit mesh whose
// vertices carry its rotation. Knives stay knives: they only cut.
void ConvertSelectedPrimitivesToMeshes(HWND mainWindow)
{
    std::vector<int> primitives;
    for (int index : g_SelectedObjects) {
        if (IsValidObjectIndex(index) && !g_SceneObjects[index].isCSGMesh &&
            g_SceneObjects[index].type != PRIMITIVE_KNIFE)
            primitives.push_back(index);
    }
    AskAndConvertForVertexEditing(mainWindow, primitives);
}

void RunCreateGroup(HWND mainWindow)
{
    const CommandMessage refusal = CheckCreateGroup();
    if (refusal.show) {
        ShowCommandMessage(mainWindow, refusal);
        return;
    }
    if (ShowDialog(g_hInstance, IDD_CREATEGROUP, mainWindow, CreateGroupDlgProc, 0) == IDOK)
        CreateGroupFromSelection();
}

void RunAddToGroup(HWND mainWindow)
{
    const CommandMessage refusal = CheckAddToGroup();
    if (refusal.show) {
        ShowCommandMessage(mainWindow, refusal);
        return;
    }
    if (ShowDialog(g_hInstance, IDD_ADDTOGROUP, mainWindow, AddToGroupDlgProc, 0) == IDOK && g_AddToGroupIndex >= 0)
        AddSelectionToGroup(g_AddToGroupIndex);
}

// Texture indices may have moved: the panels show the same images again.
void RunTextureManager(HWND mainWindow)
{
    ShowDialog(g_hInstance, IDD_TEXTUREMANAGER, mainWindow, TextureManagerDlgProc, 0);
    if (g_SelectedObjectIndex >= 0)
        g_Hooks.UpdatePropertiesPanel();
    RefreshPainterTextureCombo();
    InvalidateViewport();
}

void RunPropManager(HWND mainWindow)
{
    ShowDialog(g_hInstance, IDD_PROPMANAGER, mainWindow, PropManagerDlgProc, 0);
    // Models may have come or gone: the Plotter offers the ones there are.
    RefreshPlotterPropCombo();
    InvalidateViewport();
}

// The Plotter shows every model and every prop brush by name; the object
// texture list has nothing to offer there.
void RefillPlotterLists()
{
    RefreshPlotterPropCombo();
    FillPropBrushList();
    if (g_hObjectTextureCombo)
        SendMessageW(g_hObjectTextureCombo, CB_RESETCONTENT, 0, 0);
}

} // namespace

void FillPropBrushList()
{
    if (!g_hPropBrushList)
        return;
    SendMessageW(g_hPropBrushList, LB_RESETCONTENT, 0, 0);
    for (const PropBrush& brush : g_PropBrushes)
        SendMessageW(g_hPropBrushList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(brush.name.c_str()));
}

void FillPlacedPropsList()
{
    if (!g_hPlacedPropsList)
        return;
    SendMessageW(g_hPlacedPropsList, LB_RESETCONTENT, 0, 0);
    for (const PropInstance& instance : g_PropInstances)
        SendMessageW(g_hPlacedPropsList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(instance.name.c_str()));
}

const wchar_t* ModeTitle(int mode)
{
    switch (mode) {
    case MODE_PAINTER: return L"Tarsel Studio - Painter Mode";
    case MODE_PLOTTER: return L"Tarsel Studio - Plotter Mode";
    case MODE_VERTEX_EDITOR: return L"Tarsel Studio - Vertex Editor Mode";
    default: return L"Tarsel Studio - Modeller Mode";
    }
}

void FileNew(HWND mainWindow)
{
    if (ShowMessageBox(mainWindow, L"Clear current scene and start new?", L"New Scene",
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    g_SceneObjects.clear();
    g_Groups.clear();
    g_PropInstances.clear();
    g_Models.clear();
    g_PropBrushes.clear();
    g_Textures.clear();
    LoadBuiltInCustomProp();

    g_CurrentScenePath.clear();

    // Nothing may keep pointing into the emptied lists.
    ClearSceneSelections();
    ForgetPaintBrushTextures();
    ClearUndoHistory();

    ResetGrid();
    ResetCamera();

    g_Hooks.RefreshHierarchyTree();
    FillPropBrushList();
    // The Plotter's other lists would name instances and models that are gone.
    FillPlacedPropsList();
    RefreshPlotterPropCombo();
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.UpdateVertexPropertiesPanel();
    UpdateCSGMenuState();
    InvalidateViewport();
    DebugLog(L"New scene created - clean slate");
}

void SwitchMode(HWND mainWindow, int mode)
{
    g_CurrentMode = mode;
    SetWindowTextW(mainWindow, ModeTitle(mode));

    if (mode != MODE_MODELLER) {
        g_IsDraggingGizmo = false;
        g_GizmoAxis = -1;
        g_OperationSelection.clear();
    }
    if (mode == MODE_PAINTER || mode == MODE_PLOTTER) {
        g_SelectedObjectIndex = -1;
        DebugLog(mode == MODE_PAINTER ? L"CLEAR: Mode switch to Painter" : L"CLEAR: Mode switch to Plotter");
        g_SelectedObjects.clear();
        // The tree must not go on showing the dropped selection.
        g_Hooks.ClearTreeSelection();
    } else if (mode == MODE_VERTEX_EDITOR) {
        DebugLog(L"Mode switch to Vertex (preserving selection)");
    }

    g_IsInCreateMode = false;
    g_CreateStage = STAGE_NONE;
    SetCreationToolsEnabled(mode == MODE_MODELLER);
    if (mode != MODE_MODELLER)
        UpdateCSGMenuState();

    g_SelectedFaces.clear();
    g_SelectedFacesObject = -1;
    g_HoveredFace = -1;
    g_HoveredFaceObject = -1;
    g_SelectedPropInstance = -1;
    if (mode != MODE_PLOTTER)
        g_SelectedPropBrush = -1;
    if (mode == MODE_PLOTTER)
        g_CurrentTool = TOOL_PLOT;
    else if (mode == MODE_VERTEX_EDITOR)
        g_CurrentTool = TOOL_SELECT;

    ReleaseCapture();
    g_IsCreateDragging = false;
    g_IsRightDragging = false;
    g_IsMiddleDragging = false;

    if (mode == MODE_PAINTER)
        RefreshPainterTextureCombo();
    if (mode == MODE_PLOTTER)
        RefillPlotterLists();
    if (mode == MODE_VERTEX_EDITOR)
        ConvertSelectedPrimitivesToMeshes(mainWindow);

    LayoutPanelsForMode(g_WindowWidth, g_WindowHeight);
    UpdatePropertiesPanelForMode();
    // Refilled after the mode's enabling, so the controls follow the target
    // that is left rather than the one the switch dropped.
    g_Hooks.UpdatePropertiesPanel();
    if (mode == MODE_VERTEX_EDITOR)
        UpdateVertexPropertiesPanel();
    InvalidateRect(mainWindow, nullptr, TRUE);
}

void ApplyViewPreset(float pitch, float yaw)
{
    g_CameraPitch = pitch;
    g_CameraYaw = yaw;
    if (IsValidObjectIndex(g_SelectedObjectIndex)) {
        const SceneObject& object = g_SceneObjects[g_SelectedObjectIndex];
        g_CameraTargetX = (object.minX + object.maxX) * 0.5f;
        g_CameraTargetY = (object.minY + object.maxY) * 0.5f;
        g_CameraTargetZ = (object.minZ + object.maxZ) * 0.5f;
    }
    InvalidateViewport();
}

void ToggleDebugWindow(HWND mainWindow)
{
    if (!g_hDebugWindow)
        return;
    const bool show = !IsWindowVisible(g_hDebugWindow);
    ShowWindow(g_hDebugWindow, show ? SW_SHOW : SW_HIDE);
    SetMenuCheck(mainWindow, ID_VIEW_DEBUGWINDOW, show);
}

bool HandleCommand(HWND mainWindow, int id)
{
    if (!IsCSGCommand(id) && !g_OperationSelection.empty()) {
        g_OperationSelection.clear();
        UpdateCSGMenuState();
        InvalidateViewport();
    }

    switch (id) {
    case ID_FILE_NEW:
        FileNew(mainWindow);
        return true;
    case ID_FILE_OPEN:
        FileOpen(mainWindow);
        return true;
    case ID_FILE_SAVE:
        FileSave(mainWindow);
        return true;
    case ID_FILE_SAVEAS:
        FileSaveAs(mainWindow);
        return true;
    case ID_EDIT_UNDO:
        Undo();
        g_Hooks.UpdatePropertiesPanel();
        g_Hooks.UpdateVertexPropertiesPanel();
        return true;
    case ID_EDIT_REDO:
        Redo();
        g_Hooks.UpdatePropertiesPanel();
        g_Hooks.UpdateVertexPropertiesPanel();
        return true;
    case ID_EDIT_JOIN:
        ShowCommandMessage(mainWindow, JoinSelectedObjects());
        return true;
    case ID_EDIT_INTERSECTION:
        ShowCommandMessage(mainWindow, IntersectSelectedObjects());
        return true;
    case ID_EDIT_XOR:
        ShowCommandMessage(mainWindow, XorSelectedObjects());
        return true;
    case ID_EDIT_SLICE:
        ShowCommandMessage(mainWindow, SliceSelectedObjects());
        return true;
    case ID_OBJECT_CREATEGROUP:
        RunCreateGroup(mainWindow);
        return true;
    case ID_OBJECT_ADDTOGROUP:
        RunAddToGroup(mainWindow);
        return true;
    case ID_OBJECT_REMOVEFROMGROUP:
        ShowCommandMessage(mainWindow, RemoveSelectionFromGroup());
        return true;
    case ID_OBJECT_UNGROUP:
        ShowCommandMessage(mainWindow, UngroupSelection());
        return true;
    case ID_TOOLS_TEXTUREMANAGER:
        RunTextureManager(mainWindow);
        return true;
    case ID_TOOLS_PROPMANAGER:
        RunPropManager(mainWindow);
        return true;
    case ID_CREATE_CUBE:
        BeginCreationInModeller(PRIMITIVE_CUBE);
        return true;
    case ID_CREATE_SPHERE:
        BeginCreationInModeller(PRIMITIVE_SPHERE);
        return true;
    case ID_CREATE_CYLINDER:
        BeginCreationInModeller(PRIMITIVE_CYLINDER);
        return true;
    case ID_CREATE_CONE:
        BeginCreationInModeller(PRIMITIVE_CONE);
        return true;
    case ID_CREATE_RAMP:
        BeginCreationInModeller(PRIMITIVE_RAMP);
        return true;
    case ID_CREATE_WEDGE:
        BeginCreationInModeller(PRIMITIVE_WEDGE);
        return true;
    case ID_CREATE_KNIFE:
        BeginCreationInModeller(PRIMITIVE_KNIFE);
        return true;
    case ID_VIEW_WIREFRAME:
        ToggleViewOption(mainWindow, g_ShowWireframe, ID_VIEW_WIREFRAME);
        return true;
    case ID_VIEW_PROPSINCOLOR:
        ToggleViewOption(mainWindow, g_ShowPropsInColor, ID_VIEW_PROPSINCOLOR);
        return true;
    case ID_VIEW_DEBUGWINDOW:
        ToggleDebugWindow(mainWindow);
        return true;
    case ID_VIEW_TOP:
        ApplyViewPreset(90.0f, 0.0f);
        return true;
    case ID_VIEW_FRONT:
        ApplyViewPreset(0.0f, 0.0f);
        return true;
    case ID_VIEW_RIGHT:
        ApplyViewPreset(0.0f, 90.0f);
        return true;
    case ID_VIEW_PERSPECTIVE:
        ApplyViewPreset(30.0f, 45.0f);
        return true;
    case ID_MODE_MODELLER:
        SwitchMode(mainWindow, MODE_MODELLER);
        return true;
    case ID_MODE_PAINTER:
        SwitchMode(mainWindow, MODE_PAINTER);
        return true;
    case ID_MODE_PLOTTER:
        SwitchMode(mainWindow, MODE_PLOTTER);
        return true;
    case ID_MODE_VERTEXEDITOR:
        SwitchMode(mainWindow, MODE_VERTEX_EDITOR);
        return true;
    case ID_FILE_EXPORTOBJ:
        ExportOBJ(mainWindow);
        return true;
    case ID_FILE_EXPORTGLB:
        ExportGLB(mainWindow);
        return true;
    case ID_FILE_EXPORTRUNTIME:
        ExportRuntimeSceneFile(mainWindow);
        return true;
    case ID_VIEW_STATISTICS:
        ShowDialog(g_hInstance, IDD_SCENESTATISTICS, mainWindow, SceneStatisticsDlgProc, 0);
        return true;
    case ID_TOOLS_PREFERENCES:
        ShowDialog(g_hInstance, IDD_PREFERENCES, mainWindow, PreferencesDlgProc, 0);
        return true;
    case IDM_ABOUT:
        ShowDialog(g_hInstance, IDD_ABOUTBOX, mainWindow, AboutDlgProc, 0);
        return true;
    case IDM_EXIT:
        DestroyWindow(mainWindow);
        return true;
    default:
        return false;
    }
}
