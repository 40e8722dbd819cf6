// Process-wide scene state: the record containers, selections, editor and
// creation state, and the camera, grid and view options with their initial
// values. Touched only by the user-interface thread. Window handles live in
// the Win32 layer.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "scene/AssetRecords.h"
#include "scene/SceneTypes.h"

// Containers, all empty at start.
extern std::vector<SceneObject> g_SceneObjects;
extern std::vector<Group> g_Groups;
extern std::vector<PropInstance> g_PropInstances;
extern std::vector<PropBrush> g_PropBrushes;
extern std::vector<Model> g_Models;
extern std::vector<Texture> g_Textures;
extern std::vector<PaintBrush> g_PaintBrushes;

extern int g_NextTextureId;          // 1
extern int g_NextModelId;            // 1
extern unsigned int g_MissingTexture; // GL name of the placeholder, 0 until made

// Selections (empty or -1).
extern std::vector<int> g_SelectedObjects;
extern int g_SelectedObjectIndex;
extern std::vector<int> g_OperationSelection;
extern int g_SelectedGroup;
extern int g_SelectedPropInstance;
extern int g_SelectedPropBrush;
extern int g_SelectedPaintBrush;
extern std::vector<int> g_SelectedFaces;   // ordered list, not a set
extern int g_SelectedFacesObject;
extern int g_HoveredFace;         // face under the cursor in the Painter, -1 none
extern int g_HoveredFaceObject;   // the object that face belongs to, -1 none
extern std::vector<std::pair<int, int>> g_SelectedVertices;  // (object, row of V)
extern int g_SelectedVertexObject;
extern int g_SelectedVertexIndex;

// Editor state.
extern int g_CurrentMode;   // EditorMode
extern int g_CurrentTool;   // Tool

// Creation (corners and height in world units on the grid plane).
extern bool g_IsInCreateMode;
extern int g_CreateStage;           // CreationStage
extern int g_CreatePrimitiveType;   // PrimitiveType
extern float g_CreateStartX, g_CreateStartZ;
extern float g_CreateEndX, g_CreateEndZ;
extern float g_CreateHeight;

// Mouse state.
extern bool g_IsCreateDragging;
extern bool g_IsMiddleDragging;
extern bool g_IsRightDragging;
extern bool g_IsDraggingGizmo;
extern int g_GizmoAxis;   // -1 none, 0 x, 1 y, 2 z

// Set while the program itself selects tree items, so the tree's own
// selection notification changes nothing.
extern bool g_TreeSelectionGuard;

// Results of the Create Group and Add to Group dialogs.
extern std::wstring g_PendingGroupName;
extern int g_PendingGroupPivotMode;
extern bool g_PendingGroupTidallyLocked;
extern int g_AddToGroupIndex;

extern std::wstring g_CurrentScenePath;   // empty = untitled

// Camera, grid and view options.
// The camera never comes closer to its target than this: at 0 the eye sits on
// the target and the view has no direction.
const float MIN_CAMERA_DISTANCE = 0.5f;
extern float g_CameraDistance;
extern float g_CameraYaw;
extern float g_CameraPitch;
extern float g_CameraTargetX, g_CameraTargetY, g_CameraTargetZ;
extern float g_GridHeight;
extern float g_GridCellSize;
extern float g_GridOffsetX, g_GridOffsetZ;
extern bool g_ShowGrid;
extern bool g_SnapToGrid;
extern bool g_LinkScaling;
extern float g_RotationStep;
extern bool g_ShowWireframe;
extern bool g_ShowPropsInColor;
extern int g_WindowWidth, g_WindowHeight;

// True when index names an object of g_SceneObjects.
bool IsValidObjectIndex(int index);

// Empties every selection that points into the scene lists (objects, groups,
// prop instances and brushes, faces, vertices). The Painter's brush choice
// stays: paint brushes outlive a scene.
void ClearSceneSelections();

// Distance 15, yaw 45, pitch 30, target at the origin.
void ResetCamera();

// Height 0, cell 1, no offset.
void ResetGrid();
