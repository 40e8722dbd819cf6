#include "scene/SceneState.h"

std::vector<SceneObject> g_SceneObjects;
std::vector<Group> g_Groups;
std::vector<PropInstance> g_PropInstances;
std::vector<PropBrush> g_PropBrushes;
std::vector<Model> g_Models;
std::vector<Texture> g_Textures;
std::vector<PaintBrush> g_PaintBrushes;

int g_NextTextureId = 1;
int g_NextModelId = 1;
unsigned int g_MissingTexture = 0;

std::vector<int> g_SelectedObjects;
int g_SelectedObjectIndex = -1;
std::vector<int> g_OperationSelection;
int g_SelectedGroup = -1;
int g_SelectedPropInstance = -1;
int g_SelectedPropBrush = -1;
int g_SelectedPaintBrush = -1;
std::vector<int> g_SelectedFaces;
int g_SelectedFacesObject = -1;
int g_HoveredFace = -1;
int g_HoveredFaceObject = -1;
std::vector<std::pair<int, int>> g_SelectedVertices;
int g_SelectedVertexObject = -1;
int g_SelectedVertexIndex = -1;

int g_CurrentMode = MODE_MODELLER;
int g_CurrentTool = TOOL_SELECT;

bool g_IsInCreateMode = false;
int g_CreateStage = STAGE_NONE;
int g_CreatePrimitiveType = PRIMITIVE_CUBE;
float g_CreateStartX = 0.0f, g_CreateStartZ = 0.0f;
float g_CreateEndX = 0.0f, g_CreateEndZ = 0.0f;
float g_CreateHeight = 0.0f;

bool g_IsCreateDragging = false;
bool g_IsMiddleDragging = false;
bool g_IsRightDragging = false;
bool g_IsDraggingGizmo = false;
int g_GizmoAxis = -1;

bool g_TreeSelectionGuard = false;

std::wstring g_PendingGroupName;
int g_PendingGroupPivotMode = PIVOT_GROUP_CENTER;
bool g_PendingGroupTidallyLocked = false;
int g_AddToGroupIndex = -1;

std::wstring g_CurrentScenePath;

float g_CameraDistance = 15.0f;
float g_CameraYaw = 45.0f;
float g_CameraPitch = 30.0f;
float g_CameraTargetX = 0.0f, g_CameraTargetY = 0.0f, g_CameraTargetZ = 0.0f;
float g_GridHeight = 0.0f;
float g_GridCellSize = 1.0f;
float g_GridOffsetX = 0.0f, g_GridOffsetZ = 0.0f;
bool g_ShowGrid = true;
bool g_SnapToGrid = true;
bool g_LinkScaling = false;
float g_RotationStep = 5.0f;
bool g_ShowWireframe = false;
bool g_ShowPropsInColor = true;
int g_WindowWidth = 1280, g_WindowHeight = 720;

bool IsValidObjectIndex(int index)
{
    return index >= 0 && static_cast<size_t>(index) < g_SceneObjects.size();
}

void ClearSceneSelections()
{
    g_SelectedObjects.clear();
    g_SelectedObjectIndex = -1;
    g_OperationSelection.clear();
    g_SelectedGroup = -1;
    g_AddToGroupIndex = -1;
    g_SelectedPropInstance = -1;
    g_SelectedPropBrush = -1;
    g_SelectedFaces.clear();
    g_SelectedFacesObject = -1;
    g_HoveredFace = -1;
    g_HoveredFaceObject = -1;
    g_SelectedVertices.clear();
    g_SelectedVertexObject = -1;
    g_SelectedVertexIndex = -1;
}

void ResetCamera()
{
    g_CameraDistance = 15.0f;
    g_CameraYaw = 45.0f;
    g_CameraPitch = 30.0f;
    g_CameraTargetX = 0.0f;
    g_CameraTargetY = 0.0f;
    g_CameraTargetZ = 0.0f;
}

void ResetGrid()
{
    g_GridHeight = 0.0f;
    g_GridCellSize = 1.0f;
    g_GridOffsetX = 0.0f;
    g_GridOffsetZ = 0.0f;
}
