#include "SceneTestSupport.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <utility>

#include <Eigen/Geometry>

#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

HookRecord g_HookRecord;

void ResetSceneState()
{
    g_SceneObjects.clear();
    g_Groups.clear();
    g_PropInstances.clear();
    g_PropBrushes.clear();
    g_Models.clear();
    g_Textures.clear();
    g_PaintBrushes.clear();
    g_NextTextureId = 1;
    g_NextModelId = 1;

    ClearSceneSelections();
    g_SelectedPaintBrush = -1;

    g_CurrentMode = MODE_MODELLER;
    g_CurrentTool = TOOL_SELECT;
    g_IsInCreateMode = false;
    g_CreateStage = STAGE_NONE;
    g_CreatePrimitiveType = PRIMITIVE_CUBE;
    g_CreateStartX = g_CreateStartZ = g_CreateEndX = g_CreateEndZ = 0.0f;
    g_CreateHeight = 0.0f;
    g_IsCreateDragging = g_IsMiddleDragging = g_IsRightDragging = g_IsDraggingGizmo = false;
    g_GizmoAxis = -1;
    g_TreeSelectionGuard = false;
    g_PendingGroupName.clear();
    g_PendingGroupPivotMode = PIVOT_GROUP_CENTER;
    g_PendingGroupTidallyLocked = false;
    g_CurrentScenePath.clear();

    ResetCamera();
    ResetGrid();
    g_ShowGrid = true;
    g_SnapToGrid = true;
    g_LinkScaling = false;
    g_RotationStep = 5.0f;
    g_ShowWireframe = false;
    g_ShowPropsInColor = true;
    g_WindowWidth = 1280;
    g_WindowHeight = 720;

    ClearUndoHistory();
}

SceneObject MakePrimitive(int type, const std::wstring& name, float minX, float minY, float minZ, float maxX,
                          float maxY, float maxZ)
{
    SceneObject object;
    object.type = type;
    object.name = name;
    object.minX = minX;
    object.minY = minY;
    object.minZ = minZ;
    object.maxX = maxX;
    object.maxY = maxY;
    object.maxZ = maxZ;
    return object;
}

void ResetSceneGlobals()
{
    ResetSceneState();
    g_MissingTexture = 0;
    ResetHooks();
    g_HookRecord = HookRecord();
}

namespace {

void Record(const char* name) { g_HookRecord.calls.push_back(name); }

void RecRefreshHierarchyTree() { Record("RefreshHierarchyTree"); }
void RecSelectTreeItem(int index)
{
    Record("SelectTreeItemByObjectIndex");
    g_HookRecord.selectedTreeItems.push_back(index);
    g_HookRecord.guardWhileSelecting.push_back(g_TreeSelectionGuard);
}
void RecClearTreeSelection() { Record("ClearTreeSelection"); }
void RecUpdatePropertiesPanel() { Record("UpdatePropertiesPanel"); }
void RecUpdateVertexPropertiesPanel() { Record("UpdateVertexPropertiesPanel"); }
void RecUpdateCSGMenuState() { Record("UpdateCSGMenuState"); }
void RecSetCreationToolsEnabled(bool enabled)
{
    Record("SetCreationToolsEnabled");
    g_HookRecord.toolsEnabled.push_back(enabled);
}
void RecInvalidateViewport() { Record("InvalidateViewport"); }
void RecInvalidateToolsPanel() { Record("InvalidateToolsPanel"); }
void RecFocusViewport() { Record("FocusViewport"); }
bool RecIsCtrlKeyDown() { return g_HookRecord.ctrlDown; }
void RecAppendLogLine(const std::wstring& line) { g_HookRecord.logLines.push_back(line); }

} // namespace

void InstallRecordingHooks()
{
    g_Hooks.RefreshHierarchyTree = RecRefreshHierarchyTree;
    g_Hooks.SelectTreeItemByObjectIndex = RecSelectTreeItem;
    g_Hooks.ClearTreeSelection = RecClearTreeSelection;
    g_Hooks.UpdatePropertiesPanel = RecUpdatePropertiesPanel;
    g_Hooks.UpdateVertexPropertiesPanel = RecUpdateVertexPropertiesPanel;
    g_Hooks.UpdateCSGMenuState = RecUpdateCSGMenuState;
    g_Hooks.SetCreationToolsEnabled = RecSetCreationToolsEnabled;
    g_Hooks.InvalidateViewport = RecInvalidateViewport;
    g_Hooks.InvalidateToolsPanel = RecInvalidateToolsPanel;
    g_Hooks.FocusViewport = RecFocusViewport;
    g_Hooks.IsCtrlKeyDown = RecIsCtrlKeyDown;
    g_Hooks.AppendLogLine = RecAppendLogLine;
}

int CountCalls(const std::string& name)
{
    return static_cast<int>(std::count(g_HookRecord.calls.begin(), g_HookRecord.calls.end(), name));
}

double SignedVolume(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F)
{
    double volume = 0.0;
    for (Eigen::Index f = 0; f < F.rows(); ++f) {
        const Eigen::Vector3d a = V.row(F(f, 0)).transpose();
        const Eigen::Vector3d b = V.row(F(f, 1)).transpose();
        const Eigen::Vector3d c = V.row(F(f, 2)).transpose();
        volume += a.dot(b.cross(c)) / 6.0;
    }
    return volume;
}

bool IsClosedAndConsistent(const Eigen::MatrixXi& F)
{
    std::map<std::pair<int, int>, int> directed;
    for (Eigen::Index f = 0; f < F.rows(); ++f)
        for (int k = 0; k < 3; ++k)
            ++directed[{F(f, k), F(f, (k + 1) % 3)}];
    for (const auto& edge : directed) {
        if (edge.second != 1)
            return false;
        const auto reverse = directed.find({edge.first.second, edge.first.first});
        if (reverse == directed.end() || reverse->second != 1)
            return false;
    }
    return F.rows() > 0;
}

bool HasNoDegenerateOrDuplicateTriangles(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F)
{
    std::set<std::array<int, 3>> seen;
    for (Eigen::Index f = 0; f < F.rows(); ++f) {
        std::array<int, 3> key = {F(f, 0), F(f, 1), F(f, 2)};
        std::sort(key.begin(), key.end());
        if (key[0] == key[1] || key[1] == key[2] || !seen.insert(key).second)
            return false;
        if (TriangleNormal(V, F, static_cast<int>(f)).norm() < 1e-12)
            return false;
    }
    return true;
}

bool AllIndicesInRange(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F)
{
    return F.size() == 0 || (F.minCoeff() >= 0 && F.maxCoeff() < V.rows());
}

Eigen::Vector3d TriangleNormal(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, int face)
{
    const Eigen::Vector3d a = V.row(F(face, 0)).transpose();
    const Eigen::Vector3d b = V.row(F(face, 1)).transpose();
    const Eigen::Vector3d c = V.row(F(face, 2)).transpose();
    return (b - a).cross(c - a);
}
