#include "SceneTestSupport.h"

#include "scene/PrimitiveMeshes.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

SceneObject Cube(const wchar_t* name)
{
    SceneObject o;
    o.type = PRIMITIVE_CUBE;
    o.maxX = o.maxY = o.maxZ = 1.0f;
    o.name = name;
    return o;
}

// An explicit mesh with the given number of faces (a fan over a strip).
SceneObject MeshWithFaces(int faces)
{
    SceneObject o = Cube(L"[Mesh] Cube_1");
    o.isCSGMesh = true;
    o.V = Eigen::MatrixXd::Random(faces + 2, 3);
    o.F.resize(faces, 3);
    for (int f = 0; f < faces; ++f)
        o.F.row(f) << 0, f + 1, f + 2;
    return o;
}

class UndoTest : public SceneTest {};

} // namespace

TEST_F(UndoTest, UndoStackHoldsAtMostFiftySnapshots)
{
    for (int i = 0; i < MAX_UNDO_STATES; ++i) {
        SaveUndoState();
        g_SceneObjects.push_back(Cube(L"c"));
    }
    ASSERT_EQ(g_ModellerUndoStack.size(), 50u);
    EXPECT_EQ(g_ModellerUndoStack.front().sceneObjects.size(), 0u);
    SaveUndoState();
    EXPECT_EQ(g_ModellerUndoStack.size(), 50u);
    EXPECT_EQ(g_ModellerUndoStack.front().sceneObjects.size(), 1u);  // the oldest went
    EXPECT_EQ(g_ModellerUndoStack.back().sceneObjects.size(), 50u);
}

TEST_F(UndoTest, UndoRestoresAndRedoReapplies)
{
    g_SceneObjects.push_back(Cube(L"Cube_1"));
    g_Groups.push_back(Group());
    g_SelectedObjects = {0};
    g_OperationSelection = {0};
    SaveUndoState();
    g_SceneObjects.push_back(Cube(L"Cube_2"));
    g_Groups.clear();
    g_SelectedObjects = {1};
    g_OperationSelection.clear();

    Undo();
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_SceneObjects[0].name, L"Cube_1");
    EXPECT_EQ(g_Groups.size(), 1u);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{0});
    EXPECT_EQ(g_OperationSelection, std::vector<int>{0});
    EXPECT_TRUE(g_ModellerUndoStack.empty());
    EXPECT_EQ(g_ModellerRedoStack.size(), 1u);

    Redo();
    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_Groups.empty());
    EXPECT_EQ(g_SelectedObjectIndex, 1);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);
    EXPECT_TRUE(g_ModellerRedoStack.empty());
}

TEST_F(UndoTest, EmptyUndoChangesNothing)
{
    InstallRecordingHooks();
    g_SceneObjects.push_back(Cube(L"Cube_1"));
    g_SelectedObjectIndex = 0;
    g_ModellerRedoStack.push_back(UndoState());
    Undo();
    EXPECT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_SelectedObjectIndex, 0);
    EXPECT_EQ(g_ModellerRedoStack.size(), 1u);
    EXPECT_TRUE(g_HookRecord.calls.empty());
    g_ModellerRedoStack.clear();
    Redo();
    EXPECT_TRUE(g_ModellerUndoStack.empty());
    EXPECT_TRUE(g_HookRecord.calls.empty());
}

TEST_F(UndoTest, SaveClearsRedo)
{
    SaveUndoState();
    g_SceneObjects.push_back(Cube(L"Cube_1"));
    Undo();
    SaveUndoState();
    EXPECT_TRUE(g_ModellerRedoStack.empty());
    Redo();
    EXPECT_TRUE(g_SceneObjects.empty());
}

TEST_F(UndoTest, EachModeHasItsOwnStacks)
{
    g_CurrentMode = MODE_PAINTER;
    SaveUndoState();
    g_SceneObjects.push_back(Cube(L"Cube_1"));
    EXPECT_EQ(g_PainterUndoStack.size(), 1u);

    g_CurrentMode = MODE_MODELLER;
    Undo();
    EXPECT_EQ(g_SceneObjects.size(), 1u);

    g_CurrentMode = MODE_VERTEX_EDITOR;
    SaveUndoState();
    g_CurrentMode = MODE_PLOTTER;
    SaveUndoState();
    g_CurrentMode = 9;  // unknown modes share the Modeller's stacks
    SaveUndoState();
    EXPECT_EQ(g_VertexUndoStack.size(), 1u);
    EXPECT_EQ(g_PlotterUndoStack.size(), 1u);
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);

    g_CurrentMode = MODE_PAINTER;
    Undo();
    EXPECT_TRUE(g_SceneObjects.empty());
}

TEST_F(UndoTest, SnapshotsAreIndependentCopies)
{
    g_SceneObjects.push_back(MeshWithFaces(4));
    const double original = g_SceneObjects[0].V(0, 0);
    SaveUndoState();
    g_SceneObjects[0].V(0, 0) = original + 1.0;
    g_SceneObjects[0].faceColors.push_back(FaceColor(1, 2, 3));
    EXPECT_EQ(g_ModellerUndoStack.back().sceneObjects[0].V(0, 0), original);
    EXPECT_TRUE(g_ModellerUndoStack.back().sceneObjects[0].faceColors.empty());

    Undo();
    EXPECT_EQ(g_SceneObjects[0].V(0, 0), original);
    g_SceneObjects[0].V(0, 0) = -50.0;  // editing the restored object
    EXPECT_EQ(g_ModellerRedoStack.back().sceneObjects[0].V(0, 0), original + 1.0);
    Redo();
    EXPECT_EQ(g_SceneObjects[0].V(0, 0), original + 1.0);
    EXPECT_EQ(g_ModellerUndoStack.back().sceneObjects[0].V(0, 0), -50.0);
}

TEST_F(UndoTest, PrimaryIsFirstRestoredSelectionAndValid)
{
    for (int i = 0; i < 3; ++i)
        g_SceneObjects.push_back(Cube(L"c"));
    g_SelectedObjects = {2, 0};
    SaveUndoState();
    g_SelectedObjects = {1};
    g_SelectedObjectIndex = 1;
    Undo();
    EXPECT_EQ(g_SelectedObjectIndex, 2);

    g_SelectedObjects = {7, 1};  // stale index first, as after File New
    SaveUndoState();
    g_SelectedObjects.clear();
    Undo();
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{7, 1}));
    EXPECT_EQ(g_SelectedObjectIndex, -1);

    g_SelectedObjects.clear();
    SaveUndoState();
    g_SelectedObjectIndex = 0;
    Undo();
    EXPECT_EQ(g_SelectedObjectIndex, -1);
}

TEST_F(UndoTest, RestoreRefreshesPanelsWithTreeGuardSet)
{
    g_SceneObjects.push_back(Cube(L"c"));
    g_SelectedObjects = {0};
    SaveUndoState();
    InstallRecordingHooks();
    Undo();
    const std::vector<std::string> expected = {"RefreshHierarchyTree", "SelectTreeItemByObjectIndex",
                                               "UpdatePropertiesPanel", "UpdateCSGMenuState",
                                               "InvalidateViewport"};
    EXPECT_EQ(g_HookRecord.calls, expected);
    EXPECT_EQ(g_HookRecord.selectedTreeItems, std::vector<int>{0});
    EXPECT_EQ(g_HookRecord.guardWhileSelecting, std::vector<bool>{true});
    EXPECT_FALSE(g_TreeSelectionGuard);

    g_HookRecord.calls.clear();
    g_SelectedObjects.clear();
    SaveUndoState();
    Undo();  // nothing selected: no tree item to select
    EXPECT_EQ(CountCalls("SelectTreeItemByObjectIndex"), 0);
    EXPECT_EQ(CountCalls("UpdateCSGMenuState"), 1);
    Redo();
    EXPECT_EQ(CountCalls("UpdateCSGMenuState"), 2);
}

TEST_F(UndoTest, StaleFaceSelectionIsPruned)
{
    g_SceneObjects.push_back(MeshWithFaces(4));
    SaveUndoState();
    g_SceneObjects[0] = MeshWithFaces(12);
    g_SelectedFacesObject = 0;
    g_SelectedFaces = {2, 7, 3, 11};
    g_HoveredFace = 9;
    g_HoveredFaceObject = 0;
    Undo();
    EXPECT_EQ(g_SelectedFacesObject, 0);
    EXPECT_EQ(g_SelectedFaces, (std::vector<int>{2, 3}));
    EXPECT_EQ(g_HoveredFace, -1);

    // A primitive counts the faces of its generated mesh (12 for a cube).
    g_SceneObjects[0] = Cube(L"Cube_1");
    SaveUndoState();
    g_SelectedFaces = {11, 12, 5};
    g_HoveredFace = 10;
    g_HoveredFaceObject = 0;
    Undo();
    EXPECT_EQ(g_SelectedFaces, (std::vector<int>{11, 5}));
    EXPECT_EQ(g_HoveredFace, 10);
}

TEST_F(UndoTest, FaceSelectionOfVanishedObjectIsCleared)
{
    SaveUndoState();
    g_SceneObjects.push_back(MeshWithFaces(6));
    g_SelectedFacesObject = 0;
    g_SelectedFaces = {1};
    g_HoveredFace = 1;
    g_HoveredFaceObject = 0;
    Undo();
    EXPECT_EQ(g_SelectedFacesObject, -1);
    EXPECT_TRUE(g_SelectedFaces.empty());
    EXPECT_EQ(g_HoveredFace, -1);
    EXPECT_EQ(g_HoveredFaceObject, -1);
}

TEST_F(UndoTest, StaleVertexSelectionIsPruned)
{
    g_SceneObjects.push_back(MeshWithFaces(2));  // 4 vertices
    g_SceneObjects.push_back(Cube(L"Cube_2"));   // a primitive has no editable vertices
    SaveUndoState();
    g_SceneObjects[0] = MeshWithFaces(10);       // 12 vertices
    g_SceneObjects.push_back(MeshWithFaces(3));
    g_SelectedVertices = {{0, 1}, {0, 8}, {2, 0}, {1, 0}, {0, 3}};
    g_SelectedVertexObject = 0;
    g_SelectedVertexIndex = 8;
    Undo();
    EXPECT_EQ(g_SelectedVertices, (std::vector<std::pair<int, int>>{{0, 1}, {0, 3}}));
    EXPECT_EQ(g_SelectedVertexObject, -1);
    EXPECT_EQ(g_SelectedVertexIndex, -1);

    g_SelectedVertexObject = 0;
    g_SelectedVertexIndex = 3;
    Redo();
    EXPECT_EQ(g_SelectedVertexObject, 0);
    EXPECT_EQ(g_SelectedVertexIndex, 3);
}

TEST_F(UndoTest, UndoAndRedoTogetherNeverExceedTheLastSave)
{
    for (int i = 0; i < 5; ++i)
        SaveUndoState();
    for (int i = 0; i < 7; ++i)
        Undo();
    EXPECT_EQ(g_ModellerUndoStack.size() + g_ModellerRedoStack.size(), 5u);
    for (int i = 0; i < 3; ++i)
        Redo();
    EXPECT_EQ(g_ModellerUndoStack.size(), 3u);
    EXPECT_EQ(g_ModellerRedoStack.size(), 2u);
}

TEST_F(UndoTest, UndoLeavesPropInstancesAlone)
{
    SaveUndoState();
    g_SceneObjects.push_back(Cube(L"Cube_1"));
    g_PropInstances.push_back(PropInstance());
    g_SelectedGroup = 0;
    Undo();
    EXPECT_TRUE(g_SceneObjects.empty());
    EXPECT_EQ(g_PropInstances.size(), 1u);
    EXPECT_EQ(g_SelectedGroup, 0);
}

TEST_F(UndoTest, ClearUndoHistoryEmptiesEveryStack)
{
    for (int mode = MODE_MODELLER; mode <= MODE_VERTEX_EDITOR; ++mode) {
        g_CurrentMode = mode;
        SaveUndoState();
        SaveUndoState();
        Undo();
    }
    std::vector<UndoState>* stacks[] = {&g_ModellerUndoStack, &g_ModellerRedoStack,
                                        &g_PainterUndoStack,  &g_PainterRedoStack,
                                        &g_PlotterUndoStack,  &g_PlotterRedoStack,
                                        &g_VertexUndoStack,   &g_VertexRedoStack};
    for (auto* stack : stacks)
        ASSERT_EQ(stack->size(), 1u);
    ClearUndoHistory();
    for (auto* stack : stacks)
        EXPECT_TRUE(stack->empty());
}
