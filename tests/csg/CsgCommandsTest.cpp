// Join Objects, Intersection and XOR driven on the scene state with the real
// mesh booleans.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CsgTestSupport.h"
#include "app/CsgCommands.h"
#include "meshbool/MeshBoolean.h"
#include "scene/PrimitiveMeshes.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

// Coordinate of a face along its normal's dominant axis: tells which cube's
// boundary plane the face lies in.
double PlaneCoordinate(const SceneObject& object, int face)
{
    const Eigen::Vector3d n = TriangleNormal(object.V, object.F, face);
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (std::fabs(n(k)) > std::fabs(n(axis)))
            axis = k;
    return object.V(object.F(face, 0), axis);
}

bool SameColor(const FaceColor& c, int r, int g, int b)
{
    return c.r == r && c.g == g && c.b == b;
}

void ExpectPerFaceArraysMatchFaces(const SceneObject& object)
{
    const size_t faces = static_cast<size_t>(object.F.rows());
    EXPECT_EQ(object.faceTextureIDs.size(), faces);
    EXPECT_EQ(object.faceTextureScales.size(), faces);
    EXPECT_EQ(object.faceColors.size(), faces);
}

class JoinTest : public CsgTest {};
class IntersectionTest : public CsgTest {};
class XorTest : public CsgTest {};
class CsgRefusalTest : public CsgTest {};

// Two 2-unit cubes overlapping in a unit cube: red textured A, green B.
void AddOverlappingCubes()
{
    AddCube(0, 0, 0, 2, 2, 2, L"Red", 255, 0, 0);
    AddCube(1, 1, 1, 3, 3, 3, L"Green", 0, 255, 0);
    g_SceneObjects[0].texture = 4;
    g_SceneObjects[0].texScale = 2.0f;
    g_SceneObjects[1].texture = 7;
    g_SceneObjects[1].texScale = 0.5f;
}

TEST_F(JoinTest, UnionOfOverlappingCubesCarriesEachFacesOwnAttributes)
{
    AddOverlappingCubes();
    g_OperationSelection = {0, 1};

    const CommandMessage message = JoinSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    const SceneObject& result = g_SceneObjects[2];
    EXPECT_EQ(result.name, L"Union_3");
    EXPECT_TRUE(result.isCSGMesh);
    EXPECT_EQ(result.type, PRIMITIVE_CUBE);
    EXPECT_EQ(result.objectType, OBJECT_SOLID);
    EXPECT_TRUE(result.visible);
    EXPECT_EQ(result.groupID, -1);
    EXPECT_NEAR(ObjectVolume(result), 15.0, 1e-12);
    EXPECT_EQ(result.minX, 0.0f);
    EXPECT_EQ(result.maxY, 3.0f);
    // Object-level attributes come from the first solid.
    EXPECT_EQ(result.r, 255);
    EXPECT_EQ(result.g, 0);
    EXPECT_EQ(result.texture, 4);
    EXPECT_EQ(result.texScale, 2.0f);

    ExpectPerFaceArraysMatchFaces(result);
    int fromRed = 0, fromGreen = 0;
    for (int f = 0; f < result.F.rows(); ++f) {
        const double plane = PlaneCoordinate(result, f);
        if (plane == 0.0 || plane == 2.0) {
            ++fromRed;
            EXPECT_TRUE(SameColor(result.faceColors[f], 255, 0, 0));
            EXPECT_EQ(result.faceTextureIDs[f], 4);
            EXPECT_EQ(result.faceTextureScales[f], 2.0f);
        } else {
            ++fromGreen;
            EXPECT_TRUE(SameColor(result.faceColors[f], 0, 255, 0));
            EXPECT_EQ(result.faceTextureIDs[f], 7);
            EXPECT_EQ(result.faceTextureScales[f], 0.5f);
        }
    }
    EXPECT_GT(fromRed, 0);
    EXPECT_GT(fromGreen, 0);

    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_FALSE(g_SceneObjects[1].visible);

    EXPECT_TRUE(message.show);
    EXPECT_EQ(message.caption, L"Join Objects");
    EXPECT_EQ(message.icon, MESSAGE_ICON_INFORMATION);
    EXPECT_EQ(message.text, L"CSG Union (combine solids) completed!\n\nCreated: Union_3\nVertices: " +
                                std::to_wstring(result.V.rows()) + L"\nFaces: " + std::to_wstring(result.F.rows()) +
                                L"\n\nOriginal objects have been hidden.");
}

TEST_F(JoinTest, WritesEveryLogLineOfTheOperandLoopAndTheResult)
{
    AddOverlappingCubes();
    g_SelectedObjects = {0, 1};

    JoinSelectedObjects();

    const SceneObject& result = g_SceneObjects.at(2);
    std::vector<std::wstring> expected = {
        L"First object (Red) bounds: X[0.000000,2.000000] Y[0.000000,2.000000] Z[0.000000,2.000000]",
        L"First mesh: 8 verts, 12 faces",
        L"  First mesh actual bounds: X[0.000000,2.000000] Y[0.000000,2.000000] Z[0.000000,2.000000]",
        L"Second object (Green) bounds: X[1.000000,3.000000] Y[1.000000,3.000000] Z[1.000000,3.000000]",
        L"Second mesh: 8 verts, 12 faces",
        L"  Second mesh actual bounds: X[1.000000,3.000000] Y[1.000000,3.000000] Z[1.000000,3.000000]",
        L"Before bool: VA=8 VB=8",
        L"After bool: result=" + std::to_wstring(result.V.rows()) + L" verts, " + std::to_wstring(result.F.rows()) +
            L" faces, success=true",
        L"CSG result bounds: X[0.000000,3.000000] Y[0.000000,3.000000] Z[0.000000,3.000000]",
        L"First 5 vertices of CSG result:",
    };
    for (int row = 0; row < 5; ++row)
        expected.push_back(L"  V" + std::to_wstring(row) + L": [" + std::to_wstring(result.V(row, 0)) + L", " +
                           std::to_wstring(result.V(row, 1)) + L", " + std::to_wstring(result.V(row, 2)) + L"]");
    expected.push_back(L"First 3 faces of CSG result:");
    for (int row = 0; row < 3; ++row)
        expected.push_back(L"  F" + std::to_wstring(row) + L": [" + std::to_wstring(result.F(row, 0)) + L", " +
                           std::to_wstring(result.F(row, 1)) + L", " + std::to_wstring(result.F(row, 2)) + L"]");
    expected.push_back(L"CSG object added at index 2, isCSGMesh=true, visible=true");
    expected.push_back(L"Hiding object 0: Red");
    expected.push_back(L"Hiding object 1: Green");
    expected.push_back(L"CLEAR: After CSG operation");
    EXPECT_EQ(g_HookRecord.logLines, expected);
}

TEST_F(JoinTest, SelectsTheResultAndRefreshesThePanels)
{
    AddOverlappingCubes();
    g_OperationSelection = {0, 1};
    g_SelectedObjects = {1};
    g_SelectedGroup = 0;

    JoinSelectedObjects();

    EXPECT_EQ(g_SelectedObjectIndex, 2);
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_EQ(g_SelectedGroup, -1);
    const std::vector<std::string> calls = {"UpdateCSGMenuState", "RefreshHierarchyTree",
                                            "SelectTreeItemByObjectIndex", "UpdatePropertiesPanel",
                                            "InvalidateViewport"};
    EXPECT_EQ(g_HookRecord.calls, calls);
    EXPECT_EQ(g_HookRecord.selectedTreeItems, std::vector<int>{2});
    // The tree only mirrors the selection; its own handling must not run.
    EXPECT_EQ(g_HookRecord.guardWhileSelecting, std::vector<bool>{true});
    EXPECT_FALSE(g_TreeSelectionGuard);
}

TEST_F(JoinTest, OneUndoRestoresOperandsAndSelections)
{
    AddOverlappingCubes();
    g_OperationSelection = {0, 1};
    const std::vector<SceneObject> before = g_SceneObjects;

    JoinSelectedObjects();
    EXPECT_EQ(UndoDepth(), 1);
    const int menuUpdates = CountCalls("UpdateCSGMenuState");
    Undo();

    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible);
    EXPECT_TRUE(g_SceneObjects[1].visible);
    EXPECT_EQ(g_SceneObjects[1].name, before[1].name);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{0, 1}));
    EXPECT_EQ(UndoDepth(), 0);
    // The menu follows the restored operands.
    EXPECT_EQ(CountCalls("UpdateCSGMenuState"), menuUpdates + 1);
}

TEST_F(JoinTest, ResultIsNumberedFromTheObjectCount)
{
    AddCube(10, 10, 10, 11, 11, 11, L"Other");
    AddCube(20, 20, 20, 21, 21, 21, L"Another");
    AddCube(0, 0, 0, 2, 2, 2, L"A");
    AddCube(1, 0, 0, 3, 2, 2, L"B");
    g_OperationSelection = {2, 3};

    JoinSelectedObjects();

    EXPECT_EQ(g_SceneObjects.back().name, L"Union_5");
    EXPECT_TRUE(g_SceneObjects[0].visible);
}

TEST_F(JoinTest, HoleIsCutAndItsCavityTakesTheSolidsFirstFace)
{
    AddCube(0, 0, 0, 4, 4, 4, L"Solid", 200, 10, 10);
    g_SceneObjects[0].texture = 3;
    g_SceneObjects[0].texScale = 2.0f;
    AddHole(1, 1, 2, 3, 3, 5, L"Hole");
    g_OperationSelection = {0, 1};

    const CommandMessage message = JoinSelectedObjects();

    const SceneObject& result = g_SceneObjects.at(2);
    EXPECT_EQ(result.name, L"Subtraction_3");
    EXPECT_NEAR(ObjectVolume(result), 64.0 - 8.0, 1e-12);
    ExpectPerFaceArraysMatchFaces(result);
    int cavityFaces = 0;
    for (int f = 0; f < result.F.rows(); ++f) {
        const double plane = PlaneCoordinate(result, f);
        if (plane == 1.0 || plane == 3.0 || plane == 2.0)
            ++cavityFaces;
        EXPECT_TRUE(SameColor(result.faceColors[f], 200, 10, 10));
        EXPECT_EQ(result.faceTextureIDs[f], 3);
        EXPECT_EQ(result.faceTextureScales[f], 2.0f);
    }
    EXPECT_GT(cavityFaces, 0);
    EXPECT_FALSE(g_SceneObjects[1].visible);
    EXPECT_EQ(message.text.compare(0, 52, L"CSG Subtract (cut holes from solids) completed!\n\nCre"), 0);
}

TEST_F(JoinTest, CavityTakesTheAccumulatedMeshsFirstFaceNotTheHoles)
{
    AddCube(0, 0, 0, 2, 2, 2, L"Red", 255, 0, 0);
    AddCube(1, 0, 0, 3, 2, 2, L"Green", 0, 255, 0);
    AddHole(0.5f, 0.5f, 1.5f, 2.5f, 1.5f, 3, L"Hole");
    g_OperationSelection = {0, 1, 2};

    // The union the command builds first; its face 0 decides the cavity's look.
    Eigen::MatrixXd VA, VB, VU;
    Eigen::MatrixXi FA, FB, FU;
    Eigen::VectorXi J;
    GenerateCubeMesh(0, 0, 0, 2, 2, 2, VA, FA);
    GenerateCubeMesh(1, 0, 0, 3, 2, 2, VB, FB);
    ASSERT_TRUE(MeshBoolean(VA, FA, VB, FB, MESH_BOOLEAN_UNION, VU, FU, J));
    const bool firstFaceRed = J(0) < FA.rows();

    JoinSelectedObjects();

    const SceneObject& result = g_SceneObjects.at(3);
    EXPECT_EQ(result.name, L"Subtraction_4");
    EXPECT_NEAR(ObjectVolume(result), 12.0 - 2.0 * 1.0 * 0.5, 1e-12);
    int cavityFaces = 0;
    for (int f = 0; f < result.F.rows(); ++f) {
        EXPECT_FALSE(SameColor(result.faceColors[f], 0, 0, 255));
        const double plane = PlaneCoordinate(result, f);
        if (plane == 0.5 || plane == 2.5 || plane == 1.5) {
            ++cavityFaces;
            EXPECT_TRUE(firstFaceRed ? SameColor(result.faceColors[f], 255, 0, 0)
                                     : SameColor(result.faceColors[f], 0, 255, 0));
        }
    }
    EXPECT_GT(cavityFaces, 0);
}

TEST_F(JoinTest, HoleSolidHoleTakesTheSolidFirstAndSubtractsBothHoles)
{
    AddHole(-1, 1, 1, 1, 2, 2, L"Left hole");
    AddCube(0, 0, 0, 4, 4, 4, L"Solid", 10, 20, 30);
    g_SceneObjects[1].texture = 2;
    AddHole(3, 1, 1, 5, 2, 2, L"Right hole");
    g_OperationSelection = {0, 1, 2};

    JoinSelectedObjects();

    const SceneObject& result = g_SceneObjects.at(3);
    EXPECT_EQ(result.name, L"Subtraction_4");
    EXPECT_NEAR(ObjectVolume(result), 64.0 - 1.0 - 1.0, 1e-12);
    EXPECT_EQ(result.r, 10);
    EXPECT_EQ(result.texture, 2);
    EXPECT_TRUE(HasLogLine(L"First object (Solid) bounds: X[0.000000,4.000000] Y[0.000000,4.000000] "
                           L"Z[0.000000,4.000000]"));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(g_SceneObjects[i].visible);
}

TEST_F(JoinTest, CubesTouchingAlongAnEdgeJoin)
{
    AddCube(0, 0, 0, 1, 1, 1, L"A");
    AddCube(1, 1, 0, 2, 2, 1, L"B");
    g_OperationSelection = {0, 1};

    const CommandMessage message = JoinSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_EQ(g_SceneObjects[2].name, L"Union_3");
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[2]), 2.0, 1e-12);
    EXPECT_EQ(message.icon, MESSAGE_ICON_INFORMATION);
    EXPECT_TRUE(HasLogLineStartingWith(L"After bool:") && !HasLogLineStartingWith(L"ERROR"));
}

TEST_F(JoinTest, EarlierResultTakesPartWithItsObjectLevelAttributes)
{
    AddOverlappingCubes();
    g_OperationSelection = {0, 1};
    JoinSelectedObjects();
    SceneObject& earlier = g_SceneObjects.at(2);
    earlier.r = 1;
    earlier.g = 2;
    earlier.b = 3;
    earlier.texture = -1;
    AddCube(2.5f, 1, 1, 4, 2, 2, L"Blue", 0, 0, 255);
    g_OperationSelection = {3, 2};

    JoinSelectedObjects();

    const SceneObject& result = g_SceneObjects.at(4);
    EXPECT_EQ(result.name, L"Union_5");
    EXPECT_NEAR(ObjectVolume(result), 15.0 + 1.5 - 0.5, 1e-12);
    for (int f = 0; f < result.F.rows(); ++f) {
        const FaceColor& c = result.faceColors[f];
        EXPECT_TRUE(SameColor(c, 0, 0, 255) || SameColor(c, 1, 2, 3));
        EXPECT_NE(result.faceTextureIDs[f], 4);
    }
}

TEST_F(JoinTest, OperandTheEngineRefusesIsSkippedAndStaysVisible)
{
    AddCube(0, 0, 0, 2, 2, 2, L"A");
    AddOpenMesh(1, 1, 1, 3, 3, 3, L"Broken");
    AddCube(1, 0, 0, 3, 2, 2, L"B");
    g_OperationSelection = {0, 1, 2};

    const CommandMessage message = JoinSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 4u);
    const SceneObject& result = g_SceneObjects[3];
    EXPECT_NEAR(ObjectVolume(result), 12.0, 1e-12);
    EXPECT_EQ(message.icon, MESSAGE_ICON_INFORMATION);
    EXPECT_EQ(message.text, L"CSG Union (combine solids) completed!\n\nCreated: Union_4\nVertices: " +
                                std::to_wstring(result.V.rows()) + L"\nFaces: " + std::to_wstring(result.F.rows()) +
                                L"\n\nOriginal objects have been hidden.\n\nNot combined: 1 object(s) could not be "
                                L"combined and stay visible (see debug log).");
    ExpectPerFaceArraysMatchFaces(result);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_TRUE(g_SceneObjects[1].visible);
    EXPECT_FALSE(g_SceneObjects[2].visible);
    // The failed step left the first cube's mesh exactly as it was.
    EXPECT_TRUE(HasLogLine(L"After bool: result=8 verts, 12 faces, success=false"));
    EXPECT_TRUE(
        HasLogLineStartingWith(L"ERROR: Boolean operation failed for object: Broken - Mesh boolean: operand B"));
    EXPECT_TRUE(HasLogLine(L"Before bool: VA=8 VB=8"));
    EXPECT_FALSE(HasLogLine(L"Hiding object 1: Broken"));
}

TEST_F(JoinTest, ExplicitMeshGetsTheEnginesFullChecks)
{
    // Two overlapping cubes in one explicit mesh: closed, but intersecting itself.
    AddCube(0, 0, 0, 2, 2, 2, L"A");
    const int tangled = AddCube(0, 0, 0, 2, 2, 2, L"Tangled");
    Eigen::MatrixXd V1, V2;
    Eigen::MatrixXi F1, F2;
    GenerateCubeMesh(1, 1, 1, 3, 3, 3, V1, F1);
    GenerateCubeMesh(2, 2, 2, 4, 4, 4, V2, F2);
    SceneObject& object = g_SceneObjects[tangled];
    object.isCSGMesh = true;
    object.V.resize(16, 3);
    object.V << V1, V2;
    object.F.resize(24, 3);
    object.F << F1, (F2.array() + 8).matrix();
    g_OperationSelection = {0, 1};

    const CommandMessage message = JoinSelectedObjects();

    EXPECT_TRUE(HasLogLineStartingWith(L"ERROR: Boolean operation failed for object: Tangled - "));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(message.caption, L"Join Objects Error");
    EXPECT_EQ(message.icon, MESSAGE_ICON_ERROR);
    EXPECT_EQ(message.text, L"CSG operation failed:\nNo object could be combined with A. See debug log for details.");
    EXPECT_TRUE(g_SceneObjects[0].visible);
    EXPECT_TRUE(g_SceneObjects[1].visible);
}

TEST_F(JoinTest, ExceptionDuringTheOperandLoopLeavesTheSceneUnchanged)
{
    AddOverlappingCubes();
    g_OperationSelection = {0, 1};
    ThrowOnLogLinesStartingWith(L"After bool:");

    const CommandMessage message = JoinSelectedObjects();

    EXPECT_EQ(message.caption, L"Join Objects Error");
    EXPECT_EQ(message.text, L"CSG operation failed:\nsimulated failure");
    EXPECT_EQ(message.icon, MESSAGE_ICON_ERROR);
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible && g_SceneObjects[1].visible);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{0, 1}));
    EXPECT_EQ(UndoDepth(), 1);
}

TEST_F(JoinTest, TwoUvSpheresJoinIntoOneClosedSolid)
{
    AddPrimitive(PRIMITIVE_SPHERE, -1, -1, -1, 1, 1, 1, L"S1", 255, 0, 0);
    AddPrimitive(PRIMITIVE_SPHERE, -0.5f, -0.7f, -0.8f, 1.5f, 1.3f, 1.2f, L"S2", 0, 255, 0);
    g_OperationSelection = {0, 1};
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    GenerateSphereMesh(0, 0, 0, 1, V, F);
    const double sphereVolume = SignedVolume(V, F);

    JoinSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    const SceneObject& result = g_SceneObjects[2];
    EXPECT_TRUE(IsClosedAndConsistent(result.F));
    EXPECT_GT(ObjectVolume(result), sphereVolume * 1.2);
    EXPECT_LT(ObjectVolume(result), sphereVolume * 2.0);
    ExpectPerFaceArraysMatchFaces(result);
}

TEST_F(CsgRefusalTest, FewerThanTwoOperandsDoNothingAtAll)
{
    AddCube(0, 0, 0, 1, 1, 1, L"A");
    g_OperationSelection = {0};
    g_SelectedObjects = {0};

    EXPECT_FALSE(JoinSelectedObjects().show);
    EXPECT_FALSE(IntersectSelectedObjects().show);
    EXPECT_FALSE(XorSelectedObjects().show);
    EXPECT_EQ(UndoDepth(), 0);
    EXPECT_TRUE(g_HookRecord.logLines.empty());
}

TEST_F(CsgRefusalTest, JoinOfHolesOnlyLogsAndLeavesAnUndoStep)
{
    AddHole(0, 0, 0, 2, 2, 2, L"H1");
    AddHole(1, 1, 1, 3, 3, 3, L"H2");
    g_OperationSelection = {0, 1};

    const CommandMessage message = JoinSelectedObjects();

    EXPECT_FALSE(message.show);
    EXPECT_EQ(g_HookRecord.logLines, std::vector<std::wstring>{L"ERROR: Cannot join objects - all selected objects "
                                                               L"are Holes. You need at least one Solid object."});
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(UndoDepth(), 1);
}

TEST_F(CsgRefusalTest, KnivesAreRefusedByJoinIntersectionAndXor)
{
    AddCube(0, 0, 0, 2, 2, 2, L"A");
    AddCube(1, 1, 1, 3, 3, 3, L"B");
    AddKnife(1, 1, 1, 2, L"Knife");
    g_OperationSelection = {0, 1, 2};

    const CommandMessage join = JoinSelectedObjects();
    const CommandMessage intersection = IntersectSelectedObjects();
    const CommandMessage exclusive = XorSelectedObjects();

    for (const CommandMessage* message : {&join, &intersection, &exclusive}) {
        EXPECT_EQ(message->caption, L"Invalid Selection");
        EXPECT_EQ(message->icon, MESSAGE_ICON_WARNING);
    }
    EXPECT_EQ(join.text, L"Join Objects cannot combine knife objects.\n\nUse Slice to cut objects with a knife.");
    EXPECT_EQ(intersection.text,
              L"Intersection operation cannot use knife objects.\n\nUse Slice to cut objects with a knife.");
    EXPECT_EQ(exclusive.text, L"XOR operation cannot use knife objects.\n\nUse Slice to cut objects with a knife.");
    EXPECT_EQ(g_HookRecord.logLines,
              (std::vector<std::wstring>{
                  L"ERROR: Cannot join objects - knife objects are selected. Use Slice to cut with a knife.",
                  L"ERROR: Intersection cannot use knife objects. Use Slice to cut with a knife.",
                  L"ERROR: XOR cannot use knife objects. Use Slice to cut with a knife."}));
    EXPECT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_EQ(UndoDepth(), 3);
}

TEST_F(CsgRefusalTest, HolesAreRefusedByIntersectionAndXor)
{
    AddCube(0, 0, 0, 2, 2, 2, L"A");
    AddHole(1, 1, 1, 3, 3, 3, L"H");
    g_SelectedObjects = {0, 1};

    const CommandMessage intersection = IntersectSelectedObjects();
    const CommandMessage exclusive = XorSelectedObjects();

    EXPECT_EQ(intersection.caption, L"Invalid Selection");
    EXPECT_EQ(intersection.icon, MESSAGE_ICON_WARNING);
    EXPECT_EQ(intersection.text, L"Intersection operation requires all selected objects to be Solids.");
    EXPECT_EQ(exclusive.caption, L"Invalid Selection");
    EXPECT_EQ(exclusive.text, L"XOR operation requires all selected objects to be Solids.");
    EXPECT_EQ(g_HookRecord.logLines,
              (std::vector<std::wstring>{L"ERROR: Intersection requires all selected objects to be Solids (not Holes).",
                                         L"ERROR: XOR requires all selected objects to be Solids (not Holes)."}));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
}

TEST_F(IntersectionTest, OverlapBecomesTheSelectedResult)
{
    AddOverlappingCubes();
    g_SelectedObjects = {0, 1};
    g_SelectedGroup = 0;

    const CommandMessage message = IntersectSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    const SceneObject& result = g_SceneObjects[2];
    EXPECT_EQ(result.name, L"Intersection_3");
    EXPECT_NEAR(ObjectVolume(result), 1.0, 1e-12);
    ExpectPerFaceArraysMatchFaces(result);
    for (int f = 0; f < result.F.rows(); ++f) {
        // Faces at 2 came from the red cube, faces at 1 from the green one.
        const bool red = PlaneCoordinate(result, f) == 2.0;
        EXPECT_TRUE(red ? SameColor(result.faceColors[f], 255, 0, 0) : SameColor(result.faceColors[f], 0, 255, 0));
    }
    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_FALSE(g_SceneObjects[1].visible);
    EXPECT_EQ(g_SelectedObjectIndex, 2);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{2});
    EXPECT_EQ(g_SelectedGroup, 0);
    EXPECT_EQ(message.caption, L"Intersection");
    EXPECT_EQ(message.icon, MESSAGE_ICON_INFORMATION);
    EXPECT_EQ(message.text, L"CSG Intersection completed!\n\nCreated: Intersection_3\nVertices: " +
                                std::to_wstring(result.V.rows()) + L"\nFaces: " + std::to_wstring(result.F.rows()) +
                                L"\n\nOriginal objects have been hidden.");
    EXPECT_EQ(g_HookRecord.logLines,
              (std::vector<std::wstring>{L"=== CSG Intersection Operation ===", L"First object: Red",
                                         L"Intersecting with: Green", L"Intersection object created: Intersection_3",
                                         L"=== Intersection Complete ==="}));
    EXPECT_EQ(CountCalls("UpdateCSGMenuState"), 1);
    EXPECT_EQ(CountCalls("SelectTreeItemByObjectIndex"), 0);
    EXPECT_EQ(CountCalls("RefreshHierarchyTree"), 1);
}

TEST_F(IntersectionTest, DisjointObjectsGiveNoIntersection)
{
    AddCube(0, 0, 0, 1, 1, 1, L"A");
    AddCube(5, 0, 0, 6, 1, 1, L"B");
    g_OperationSelection = {0, 1};

    const CommandMessage message = IntersectSelectedObjects();

    EXPECT_EQ(message.caption, L"No Intersection");
    EXPECT_EQ(message.icon, MESSAGE_ICON_WARNING);
    EXPECT_EQ(message.text, L"Intersection operation produced no result. Make sure the selected objects overlap.");
    EXPECT_TRUE(HasLogLine(L"ERROR: Intersection produced an empty mesh. Objects may not overlap."));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible && g_SceneObjects[1].visible);
    EXPECT_EQ(UndoDepth(), 1);
}

TEST_F(IntersectionTest, RepeatedFirstOperandTakesPartAgain)
{
    AddCube(0, 0, 0, 2, 2, 2, L"A");
    g_OperationSelection = {0, 0};

    IntersectSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[1]), 8.0, 1e-12);
    EXPECT_TRUE(HasLogLine(L"Intersecting with: A"));
}

TEST_F(IntersectionTest, ExceptionIsLoggedAndLeavesTheSceneUnchanged)
{
    AddOverlappingCubes();
    g_OperationSelection = {0, 1};
    ThrowOnLogLinesStartingWith(L"Intersecting with:");

    const CommandMessage message = IntersectSelectedObjects();

    EXPECT_EQ(message.caption, L"Error");
    EXPECT_EQ(message.text, L"CSG Intersection operation failed. See debug log for details.");
    EXPECT_EQ(message.icon, MESSAGE_ICON_ERROR);
    EXPECT_TRUE(HasLogLine(L"Intersection operation failed: simulated failure"));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible && g_SceneObjects[1].visible);
}

TEST_F(IntersectionTest, NothingCombinedIsAnError)
{
    AddCube(0, 0, 0, 2, 2, 2, L"A");
    AddOpenMesh(1, 1, 1, 3, 3, 3, L"Broken");
    g_OperationSelection = {0, 1};

    const CommandMessage message = IntersectSelectedObjects();

    EXPECT_EQ(message.caption, L"Error");
    EXPECT_EQ(message.text, L"CSG Intersection operation failed. See debug log for details.");
    EXPECT_EQ(message.icon, MESSAGE_ICON_ERROR);
    EXPECT_TRUE(HasLogLineStartingWith(L"ERROR: Intersection operation failed for object: Broken - "));
    EXPECT_TRUE(HasLogLine(L"Intersection operation failed: No object could be combined with A."));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible && g_SceneObjects[1].visible);
}

TEST_F(XorTest, SymmetricDifferenceOfOverlappingCubes)
{
    AddOverlappingCubes();
    g_OperationSelection = {0, 1};

    const CommandMessage message = XorSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    const SceneObject& result = g_SceneObjects[2];
    EXPECT_EQ(result.name, L"XOR_3");
    EXPECT_NEAR(ObjectVolume(result), 14.0, 1e-12);
    ExpectPerFaceArraysMatchFaces(result);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{2});
    EXPECT_EQ(g_SelectedObjectIndex, 2);
    EXPECT_TRUE(g_OperationSelection.empty());
    EXPECT_EQ(message.caption, L"XOR Operation");
    EXPECT_EQ(message.text, L"CSG XOR (Symmetric Difference) completed!\n\nCreated: XOR_3\nVertices: " +
                                std::to_wstring(result.V.rows()) + L"\nFaces: " + std::to_wstring(result.F.rows()) +
                                L"\n\nOriginal objects have been hidden.");
    EXPECT_EQ(g_HookRecord.logLines,
              (std::vector<std::wstring>{L"=== CSG XOR (Symmetric Difference) Operation ===", L"First object: Red",
                                         L"XOR with: Green",
                                         L"  Result mesh: " + std::to_wstring(result.V.rows()) + L" vertices, " +
                                             std::to_wstring(result.F.rows()) + L" faces",
                                         L"XOR object created: XOR_3", L"CLEAR: After XOR operation",
                                         L"=== XOR Complete ==="}));
    EXPECT_EQ(CountCalls("UpdateCSGMenuState"), 1);
}

TEST_F(XorTest, IdenticalObjectsGiveNothing)
{
    AddCube(0, 0, 0, 2, 2, 2, L"A");
    AddCube(0, 0, 0, 2, 2, 2, L"B");
    g_OperationSelection = {0, 1};

    const CommandMessage message = XorSelectedObjects();

    EXPECT_FALSE(message.show);
    EXPECT_TRUE(HasLogLine(L"ERROR: CSG operation produced an empty mesh. Please check that objects overlap."));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible && g_SceneObjects[1].visible);
}

TEST_F(XorTest, RefusedOperandIsLoggedWithTheEnginesReason)
{
    AddCube(0, 0, 0, 2, 2, 2, L"A");
    AddOpenMesh(1, 1, 1, 3, 3, 3, L"Broken");
    AddCube(1, 1, 1, 3, 3, 3, L"B");
    g_OperationSelection = {0, 1, 2};

    XorSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 4u);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[3]), 14.0, 1e-12);
    EXPECT_TRUE(HasLogLineStartingWith(L"ERROR: XOR operation failed for object: Broken - Mesh boolean: operand B"));
    EXPECT_TRUE(g_SceneObjects[1].visible);
    EXPECT_FALSE(g_SceneObjects[2].visible);
}

} // namespace
