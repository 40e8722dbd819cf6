#include "SceneTestSupport.h"

#include "scene/AssetRecords.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"

namespace {

// Scalars are constant-initialised, so this sees the program's start-up values
// before any test has run.
struct StartValues {
    int nextTextureId = g_NextTextureId, nextModelId = g_NextModelId;
    unsigned int missingTexture = g_MissingTexture;
    int selectedObjectIndex = g_SelectedObjectIndex, selectedGroup = g_SelectedGroup;
    int selectedPropInstance = g_SelectedPropInstance, selectedPropBrush = g_SelectedPropBrush;
    int selectedPaintBrush = g_SelectedPaintBrush, selectedFacesObject = g_SelectedFacesObject;
    int hoveredFace = g_HoveredFace, hoveredFaceObject = g_HoveredFaceObject;
    int selectedVertexObject = g_SelectedVertexObject;
    int selectedVertexIndex = g_SelectedVertexIndex;
    int mode = g_CurrentMode, tool = g_CurrentTool;
    bool inCreate = g_IsInCreateMode;
    int stage = g_CreateStage, gizmoAxis = g_GizmoAxis, addToGroup = g_AddToGroupIndex;
    bool guard = g_TreeSelectionGuard;
    float distance = g_CameraDistance, yaw = g_CameraYaw, pitch = g_CameraPitch;
    float gridHeight = g_GridHeight, cellSize = g_GridCellSize, rotationStep = g_RotationStep;
    bool showGrid = g_ShowGrid, snap = g_SnapToGrid, link = g_LinkScaling;
    bool wireframe = g_ShowWireframe, propsInColor = g_ShowPropsInColor;
    int width = g_WindowWidth, height = g_WindowHeight;
};
const StartValues kStart;

std::wstring g_LastLine;
void KeepLine(const std::wstring& line) { g_LastLine = line; }

} // namespace

TEST(SceneRecords, StartValuesOfGlobals)
{
    EXPECT_EQ(kStart.nextTextureId, 1);
    EXPECT_EQ(kStart.nextModelId, 1);
    EXPECT_EQ(kStart.missingTexture, 0u);
    for (int none : {kStart.selectedObjectIndex, kStart.selectedGroup, kStart.selectedPropInstance,
                     kStart.selectedPropBrush, kStart.selectedPaintBrush, kStart.selectedFacesObject,
                     kStart.hoveredFace, kStart.hoveredFaceObject, kStart.selectedVertexObject,
                     kStart.selectedVertexIndex,
                     kStart.gizmoAxis, kStart.addToGroup})
        EXPECT_EQ(none, -1);
    EXPECT_EQ(kStart.mode, MODE_MODELLER);
    EXPECT_EQ(kStart.tool, TOOL_SELECT);
    EXPECT_FALSE(kStart.inCreate);
    EXPECT_EQ(kStart.stage, STAGE_NONE);
    EXPECT_FALSE(kStart.guard);
    EXPECT_EQ(kStart.distance, 15.0f);
    EXPECT_EQ(kStart.yaw, 45.0f);
    EXPECT_EQ(kStart.pitch, 30.0f);
    EXPECT_EQ(kStart.gridHeight, 0.0f);
    EXPECT_EQ(kStart.cellSize, 1.0f);
    EXPECT_EQ(kStart.rotationStep, 5.0f);
    EXPECT_TRUE(kStart.showGrid);
    EXPECT_TRUE(kStart.snap);
    EXPECT_FALSE(kStart.link);
    EXPECT_FALSE(kStart.wireframe);
    EXPECT_TRUE(kStart.propsInColor);
    EXPECT_EQ(kStart.width, 1280);
    EXPECT_EQ(kStart.height, 720);
}

TEST(SceneRecords, DefaultSceneObjectIsVisibleSelectableSolid)
{
    const SceneObject o;
    EXPECT_EQ(o.objectType, OBJECT_SOLID);
    EXPECT_EQ(o.r, 255);
    EXPECT_EQ(o.g, 255);
    EXPECT_EQ(o.b, 255);
    EXPECT_EQ(o.a, 255);
    EXPECT_EQ(o.texture, -1);
    EXPECT_EQ(o.texScale, 1.0f);
    EXPECT_TRUE(o.visible);
    EXPECT_TRUE(o.selectable);
    EXPECT_EQ(o.groupID, -1);
    EXPECT_FALSE(o.isCSGMesh);
    EXPECT_EQ(o.orientation.w, 1.0f);
    EXPECT_EQ(o.orientation.x, 0.0f);
    EXPECT_EQ(o.orientation.y, 0.0f);
    EXPECT_EQ(o.orientation.z, 0.0f);
    EXPECT_TRUE(o.name.empty());
    EXPECT_EQ(o.V.rows(), 0);
    EXPECT_EQ(o.F.rows(), 0);
    EXPECT_TRUE(o.faceTextureIDs.empty());
    EXPECT_TRUE(o.faceTextureScales.empty());
    EXPECT_TRUE(o.faceColors.empty());
}

TEST(SceneRecords, OtherDefaults)
{
    const PropInstance p;
    EXPECT_TRUE(p.selectable);
    EXPECT_EQ(p.gridCellSize, 1.0f);
    EXPECT_TRUE(p.name.empty());

    const Model m;
    EXPECT_EQ(m.baseColor[1], 0.8f);
    EXPECT_EQ(m.normalizeScale, 1.0f);

    const PaintBrush brush;
    EXPECT_EQ(brush.texture, -1);
    EXPECT_EQ(brush.textureScale, 1.0f);
    EXPECT_EQ(PropBrush().modelID, -1);
}

TEST(SceneRecords, TreeItemValueOfGroups)
{
    EXPECT_EQ(GroupTreeItemValue(0), -2);
    EXPECT_EQ(GroupTreeItemValue(1), -3);
}

TEST(SceneRecords, CopyOfSceneObjectIsIndependent)
{
    SceneObject source;
    source.isCSGMesh = true;
    source.V = Eigen::MatrixXd::Ones(4, 3);
    source.F = Eigen::MatrixXi::Zero(2, 3);
    source.faceTextureIDs = {3, 4};
    source.faceTextureScales = {1.0f, 2.0f};
    source.faceColors = {FaceColor(1, 2, 3), FaceColor(4, 5, 6)};
    source.name = L"Union_3";

    SceneObject copy = source;
    copy.V(0, 0) = 99.0;
    copy.F(1, 2) = 3;
    copy.faceTextureIDs[0] = -1;
    copy.faceColors[1].g = 200;
    copy.name += L"x";

    EXPECT_EQ(source.V(0, 0), 1.0);
    EXPECT_EQ(source.F(1, 2), 0);
    EXPECT_EQ(source.faceTextureIDs[0], 3);
    EXPECT_EQ(source.faceColors[1].g, 5);
    EXPECT_EQ(source.name, L"Union_3");

    SceneObject assigned;
    assigned = source;
    assigned.V(3, 2) = -7.0;
    EXPECT_EQ(source.V(3, 2), 1.0);
    EXPECT_EQ(assigned.faceTextureScales[1], 2.0f);
}

TEST(Hooks, DefaultsAreSafeNoOps)
{
    ResetHooks();
    g_Hooks.RefreshHierarchyTree();
    g_Hooks.SelectTreeItemByObjectIndex(3);
    g_Hooks.ClearTreeSelection();
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.UpdateCSGMenuState();
    g_Hooks.SetCreationToolsEnabled(true);
    g_Hooks.InvalidateViewport();
    g_Hooks.InvalidateToolsPanel();
    g_Hooks.FocusViewport();
    EXPECT_FALSE(g_Hooks.IsCtrlKeyDown());
    DebugLog(L"dropped without a sink");
}

TEST(Hooks, DebugLogReachesSinkAndResetRestoresDefaults)
{
    g_Hooks.AppendLogLine = KeepLine;
    DebugLog(L"CLEAR: test");
    EXPECT_EQ(g_LastLine, L"CLEAR: test");
    ResetHooks();
    DebugLog(L"ignored");
    EXPECT_EQ(g_LastLine, L"CLEAR: test");
}
