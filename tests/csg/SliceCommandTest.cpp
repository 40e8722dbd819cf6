// Slice driven on the scene state with the real mesh booleans.
#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "CsgTestSupport.h"
#include "app/CsgCommands.h"
#include "scene/PrimitiveMeshes.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

class SliceTest : public CsgTest {};

Eigen::Matrix3d TurnAbout(int axis, float degrees)
{
    const double a = static_cast<double>(degrees * 3.1415927f / 180.0f);
    const double c = std::cos(a), s = std::sin(a);
    Eigen::Matrix3d m = Eigen::Matrix3d::Identity();
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    m(i, i) = c;
    m(i, j) = -s;
    m(j, i) = s;
    m(j, j) = c;
    return m;
}

// The knife's drawn plane: glRotatef about y, then x, then z turns a vertex
// about z first, then x, then y, around the bounds centre.
void DrawnKnifePlane(const SceneObject& knife, Eigen::Vector3d& point, Eigen::Vector3d& normal)
{
    const Eigen::Matrix3d turn = TurnAbout(1, knife.rotation.y) * TurnAbout(0, knife.rotation.x) *
                                 TurnAbout(2, knife.rotation.z);
    const Eigen::Vector3d centre((knife.minX + knife.maxX) * 0.5f, (knife.minY + knife.maxY) * 0.5f,
                                 (knife.minZ + knife.maxZ) * 0.5f);
    point = centre + turn * (Eigen::Vector3d(centre.x(), knife.minY, centre.z()) - centre);
    normal = turn * Eigen::Vector3d::UnitY();
}

double MinSide(const SceneObject& fragment, const Eigen::Vector3d& point, const Eigen::Vector3d& normal)
{
    return ((fragment.V.rowwise() - point.transpose()) * normal).minCoeff();
}

double MaxSide(const SceneObject& fragment, const Eigen::Vector3d& point, const Eigen::Vector3d& normal)
{
    return ((fragment.V.rowwise() - point.transpose()) * normal).maxCoeff();
}

// Vertices of a fragment lying on the cut plane.
std::set<std::vector<double>> CutVertices(const SceneObject& fragment, const Eigen::Vector3d& point,
                                          const Eigen::Vector3d& normal)
{
    std::set<std::vector<double>> onPlane;
    for (Eigen::Index row = 0; row < fragment.V.rows(); ++row) {
        const Eigen::Vector3d v = fragment.V.row(row).transpose();
        if (std::fabs((v - point).dot(normal)) < 1e-9)
            onPlane.insert({v.x(), v.y(), v.z()});
    }
    return onPlane;
}

std::wstring SummaryText(int fragments, int sliced, int knives)
{
    return L"Slice operation completed!\n\nCreated: " + std::to_wstring(fragments) + L" fragment(s)\nSliced: " +
           std::to_wstring(sliced) + L" object(s)\nUsed: " + std::to_wstring(knives) +
           L" knife(s)\n\nOriginal objects have been hidden.\nKnife objects have been removed from the scene.";
}

TEST_F(SliceTest, FlatKnifeHalfwayUpACubeGivesTwoBoxes)
{
    AddCube(0, 0, 0, 2, 2, 2, L"Cube", 200, 100, 50);
    g_SceneObjects[0].texture = 5;
    g_SceneObjects[0].texScale = 3.0f;
    AddKnife(1, 1, 1, 2, L"Knife");
    g_OperationSelection = {0, 1};

    const CommandMessage message = SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    const SceneObject& below = g_SceneObjects[1];
    const SceneObject& above = g_SceneObjects[2];
    EXPECT_EQ(below.name, L"FragmentA");
    EXPECT_EQ(above.name, L"FragmentB");
    EXPECT_NEAR(ObjectVolume(below), 4.0, 1e-12);
    EXPECT_NEAR(ObjectVolume(above), 4.0, 1e-12);
    EXPECT_EQ(below.minY, 0.0f);
    EXPECT_EQ(below.maxY, 1.0f);
    EXPECT_EQ(above.minY, 1.0f);
    EXPECT_EQ(above.maxY, 2.0f);
    for (const SceneObject* fragment : {&below, &above}) {
        EXPECT_TRUE(fragment->isCSGMesh);
        EXPECT_TRUE(fragment->visible);
        EXPECT_EQ(fragment->type, PRIMITIVE_CUBE);
        EXPECT_EQ(fragment->r, 200);
        EXPECT_EQ(fragment->b, 50);
        EXPECT_EQ(fragment->texture, 5);
        EXPECT_EQ(fragment->texScale, 3.0f);
        EXPECT_TRUE(fragment->faceColors.empty());
        EXPECT_TRUE(fragment->faceTextureIDs.empty());
    }

    EXPECT_EQ(message.caption, L"Slice");
    EXPECT_EQ(message.icon, MESSAGE_ICON_INFORMATION);
    EXPECT_EQ(message.text, SummaryText(2, 1, 1));
    const std::vector<std::wstring> log = {
        L"=== Slice Operation Started ===",
        L"Knives: 1, Objects to slice: 1",
        L"Slicing object: Cube",
        L"  Knife center: X=1.000000 Y=1.000000 Z=1.000000",
        L"  Knife rotation: X=0.000000 Y=0.000000 Z=0.000000",
        L"  Plane normal: (0.000000, 1.000000, 0.000000)",
        L"  Computing fragment below plane...",
        L"  Computing fragment above plane...",
        L"    Fragment A: " + std::to_wstring(below.V.rows()) + L" vertices",
        L"    Fragment B: " + std::to_wstring(above.V.rows()) + L" vertices",
        L"Created: FragmentA (" + std::to_wstring(below.V.rows()) + L" vertices, " + std::to_wstring(below.F.rows()) +
            L" faces)",
        L"Created: FragmentB (" + std::to_wstring(above.V.rows()) + L" vertices, " + std::to_wstring(above.F.rows()) +
            L" faces)",
        L"=== Slice Complete: 2 fragments created ===",
    };
    EXPECT_EQ(g_HookRecord.logLines, log);
    EXPECT_TRUE(g_OperationSelection.empty());
    const std::vector<std::string> calls = {"UpdateCSGMenuState", "RefreshHierarchyTree", "UpdatePropertiesPanel",
                                            "InvalidateViewport"};
    EXPECT_EQ(g_HookRecord.calls, calls);
}

TEST_F(SliceTest, CutsAtTheKnifesDrawnRectangleNotItsBoundsCentre)
{
    // Knives are made 0.5 high, but drawn flat at their lowest y.
    AddCube(0, 0, 0, 2, 2, 2, L"Cube");
    const int knife = AddKnife(1, 0.5f, 1, 2, L"Knife");
    g_SceneObjects[knife].maxY = 1.0f;
    g_SelectedObjects = {knife, 0};

    SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[1]), 1.0 * 4.0 * 0.5, 1e-12);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[2]), 1.5 * 4.0, 1e-12);
    EXPECT_TRUE(HasLogLine(L"  Knife center: X=1.000000 Y=0.750000 Z=1.000000"));
}

TEST_F(SliceTest, KnifeTurnedAboutXCutsAlongAVerticalPlaneThroughItsCentre)
{
    AddCube(0, 0, 0, 2, 2, 2, L"Cube");
    const int knife = AddKnife(1, 1, 1, 2, L"Knife");
    g_SceneObjects[knife].rotation = Vec3f(90.0f, 0.0f, 0.0f);
    g_OperationSelection = {0, knife};

    SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[1]), 4.0, 1e-6);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[2]), 4.0, 1e-6);
    EXPECT_NEAR(g_SceneObjects[1].maxZ, 1.0f, 1e-6);
    EXPECT_NEAR(g_SceneObjects[2].minZ, 1.0f, 1e-6);
    EXPECT_NEAR(g_SceneObjects[1].maxY, 2.0f, 1e-6);
}

TEST_F(SliceTest, RotatedKnifeCutsWhereItIsDrawnIntoFragmentsThatAddUpExactly)
{
    AddCube(0, 0, 0, 2, 2, 2, L"Cube");
    const int knife = AddKnife(1.1f, 0.9f, 1.0f, 2, L"Knife");
    // With two angles set, the drawing's composition differs from the meshes'.
    g_SceneObjects[knife].rotation = Vec3f(35.0f, 50.0f, 20.0f);
    const SceneObject knifeObject = g_SceneObjects[knife];
    g_OperationSelection = {knife, 0};

    const CommandMessage message = SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_EQ(message.text, SummaryText(2, 1, 1));
    const SceneObject& below = g_SceneObjects[1];
    const SceneObject& above = g_SceneObjects[2];
    const double belowVolume = ObjectVolume(below);
    const double aboveVolume = ObjectVolume(above);
    EXPECT_GT(belowVolume, 0.5);
    EXPECT_GT(aboveVolume, 0.5);
    EXPECT_NEAR(belowVolume + aboveVolume, 8.0, 1e-12);

    Eigen::Vector3d point, normal;
    DrawnKnifePlane(knifeObject, point, normal);
    EXPECT_LE(MaxSide(below, point, normal), 1e-6);
    EXPECT_GE(MinSide(above, point, normal), -1e-6);
    // Both fragments end on the very same cut surface.
    const std::set<std::vector<double>> belowCut = CutVertices(below, point, normal);
    EXPECT_GE(belowCut.size(), 3u);
    EXPECT_EQ(belowCut, CutVertices(above, point, normal));
    EXPECT_TRUE(HasLogLine(L"  Knife rotation: X=35.000000 Y=50.000000 Z=20.000000"));
    EXPECT_TRUE(HasLogLine(L"  Plane normal: (" + std::to_wstring(normal.x()) + L", " +
                           std::to_wstring(normal.y()) + L", " + std::to_wstring(normal.z()) + L")"));
}

TEST_F(SliceTest, RotatedKnifeSplitsASphereWithoutLosingVolume)
{
    AddPrimitive(PRIMITIVE_SPHERE, -1, -1, -1, 1, 1, 1, L"Sphere");
    const int knife = AddKnife(0.1f, 0.2f, -0.1f, 1.5f, L"Knife");
    g_SceneObjects[knife].rotation = Vec3f(15.0f, 25.0f, 10.0f);
    g_OperationSelection = {0, knife};
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    GenerateSphereMesh(0, 0, 0, 1, V, F);

    SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_TRUE(IsClosedAndConsistent(g_SceneObjects[1].F));
    EXPECT_TRUE(IsClosedAndConsistent(g_SceneObjects[2].F));
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[1]) + ObjectVolume(g_SceneObjects[2]), SignedVolume(V, F), 1e-9);
}

TEST_F(SliceTest, ObjectOnOneSideGivesOneFragmentNamedA)
{
    AddCube(0, 3, 0, 2, 5, 2, L"High");
    AddKnife(1, 1, 1, 2, L"Knife");
    g_OperationSelection = {0, 1};

    const CommandMessage message = SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(g_SceneObjects[1].name, L"FragmentA");
    EXPECT_EQ(g_SceneObjects[1].minY, 3.0f);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[1]), 8.0, 1e-12);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_EQ(message.text, SummaryText(1, 1, 1));
    EXPECT_TRUE(HasLogLineStartingWith(L"    Fragment B: "));
    EXPECT_FALSE(HasLogLineStartingWith(L"    Fragment A: "));
}

TEST_F(SliceTest, CuttersReachObjectsFarFromTheKnife)
{
    AddCube(5000, -1, 0, 5002, 1, 2, L"Far");
    AddKnife(0, 0, 0, 1, L"Knife");
    g_OperationSelection = {0, 1};

    SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[1]), 4.0, 1e-9);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[2]), 4.0, 1e-9);
}

TEST_F(SliceTest, OnlyTheFirstKnifeCutsAndEveryKnifeIsRemoved)
{
    AddKnife(1, 0.5f, 1, 2, L"Low knife");
    AddCube(0, 0, 0, 2, 2, 2, L"Cube");
    AddKnife(1, 1.5f, 1, 2, L"High knife");
    g_OperationSelection = {2, 1, 0};

    const CommandMessage message = SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_EQ(g_SceneObjects[0].name, L"Cube");
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[1]), 6.0, 1e-12);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[2]), 2.0, 1e-12);
    EXPECT_EQ(message.text, SummaryText(2, 1, 2));
    EXPECT_TRUE(HasLogLine(L"Knives: 2, Objects to slice: 1"));
}

TEST_F(SliceTest, SlicedHoleGivesSolidFragments)
{
    AddHole(0, 0, 0, 2, 2, 2, L"Hole");
    AddKnife(1, 1, 1, 2, L"Knife");
    g_OperationSelection = {0, 1};

    SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_EQ(g_SceneObjects[1].objectType, OBJECT_SOLID);
    EXPECT_EQ(g_SceneObjects[2].objectType, OBJECT_SOLID);
}

TEST_F(SliceTest, SlicedMeshLosesItsPerFaceAttributes)
{
    AddCube(0, 0, 0, 2, 2, 2, L"Red", 255, 0, 0);
    AddCube(1, 1, 1, 3, 3, 3, L"Green", 0, 255, 0);
    g_OperationSelection = {0, 1};
    JoinSelectedObjects();
    AddKnife(1.5f, 1.5f, 1.5f, 3, L"Knife");
    g_OperationSelection = {2, 3};

    SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 5u);
    EXPECT_NEAR(ObjectVolume(g_SceneObjects[3]) + ObjectVolume(g_SceneObjects[4]), 15.0, 1e-12);
    EXPECT_TRUE(g_SceneObjects[3].faceColors.empty());
    EXPECT_EQ(g_SceneObjects[4].r, 255);
}

TEST_F(SliceTest, ErasingKnivesRenumbersSelectionsAndGroups)
{
    AddCube(0, 0, 0, 2, 2, 2, L"Cut");        // 0
    AddKnife(1, 1, 1, 2, L"Knife");            // 1, erased
    AddCube(5, 0, 0, 6, 1, 1, L"Grouped");    // 2 -> 1
    AddCube(8, 0, 0, 9, 1, 1, L"Selected");   // 3 -> 2
    Group group;
    group.name = L"Group";
    group.members = {0, 1, 2};
    g_Groups.push_back(group);
    g_SceneObjects[1].groupID = 0;
    g_SceneObjects[2].groupID = 0;
    g_OperationSelection = {0, 1};
    g_SelectedObjects = {3, 1, 2};
    g_SelectedObjectIndex = 3;
    g_SelectedFacesObject = 2;
    g_SelectedFaces = {4};

    SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 5u);
    EXPECT_EQ(g_SceneObjects[1].name, L"Grouped");
    EXPECT_EQ(g_SceneObjects[3].name, L"FragmentA");
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{2, 1}));
    EXPECT_EQ(g_SelectedObjectIndex, 2);
    EXPECT_EQ(g_Groups[0].members, (std::vector<int>{0, 1}));
    EXPECT_EQ(g_SceneObjects[1].groupID, 0);
    EXPECT_EQ(g_SelectedFacesObject, 1);
    EXPECT_EQ(g_SelectedFaces, std::vector<int>{4});
    EXPECT_TRUE(g_OperationSelection.empty());
}

TEST_F(SliceTest, NeedsAKnifeAndAnObject)
{
    AddCube(0, 0, 0, 2, 2, 2, L"Cube");
    AddKnife(1, 1, 1, 2, L"Knife");
    for (int only : {0, 1}) {
        g_OperationSelection = {only};
        const CommandMessage message = SliceSelectedObjects();
        EXPECT_EQ(message.caption, L"Slice");
        EXPECT_EQ(message.text, L"Slice requires at least one knife and one object.");
        EXPECT_EQ(message.icon, MESSAGE_ICON_WARNING);
    }
    EXPECT_EQ(g_HookRecord.logLines,
              (std::vector<std::wstring>{L"=== Slice Operation Started ===", L"Knives: 0, Objects to slice: 1",
                                         L"=== Slice Operation Started ===", L"Knives: 1, Objects to slice: 0"}));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(UndoDepth(), 2);
}

TEST_F(SliceTest, ObjectThatCannotBeCutStaysVisibleAndIsReported)
{
    AddCube(0, 0, 0, 2, 2, 2, L"Good");
    AddOpenMesh(3, 0, 0, 5, 2, 2, L"Broken");
    AddKnife(1, 1, 1, 6, L"Knife");
    g_OperationSelection = {0, 1, 2};

    const CommandMessage message = SliceSelectedObjects();

    ASSERT_EQ(g_SceneObjects.size(), 4u);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_TRUE(g_SceneObjects[1].visible);
    EXPECT_EQ(g_SceneObjects[2].name, L"FragmentA");
    EXPECT_EQ(g_SceneObjects[3].name, L"FragmentB");
    EXPECT_EQ(message.icon, MESSAGE_ICON_INFORMATION);
    EXPECT_EQ(message.text, SummaryText(2, 1, 1) +
                                L"\n\nNot sliced: 1 object(s) could not be cut and stay visible (see debug log).");
    EXPECT_TRUE(HasLogLineStartingWith(L"  ERROR: Both fragment cuts failed - Mesh boolean: operand A"));
}

TEST_F(SliceTest, NothingCutLeavesTheSceneAsItWas)
{
    AddOpenMesh(0, 0, 0, 2, 2, 2, L"Broken");
    AddKnife(1, 1, 1, 2, L"Knife");
    g_OperationSelection = {0, 1};

    const CommandMessage message = SliceSelectedObjects();

    EXPECT_EQ(message.caption, L"Slice Error");
    EXPECT_EQ(message.icon, MESSAGE_ICON_ERROR);
    EXPECT_EQ(message.text, L"Slice operation failed:\nNo object could be cut. See debug log for details.");
    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible);
    EXPECT_EQ(g_SceneObjects[1].type, PRIMITIVE_KNIFE);
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{0, 1}));
}

TEST_F(SliceTest, OneUndoBringsTheKnifeBackAndShowsTheObject)
{
    AddCube(0, 0, 0, 2, 2, 2, L"Cube");
    AddKnife(1, 1, 1, 2, L"Knife");
    g_OperationSelection = {0, 1};

    SliceSelectedObjects();
    ASSERT_EQ(UndoDepth(), 1);
    Undo();

    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible);
    EXPECT_EQ(g_SceneObjects[1].name, L"Knife");
    EXPECT_EQ(g_OperationSelection, (std::vector<int>{0, 1}));
}

TEST_F(SliceTest, ExceptionDuringACutLeavesTheSceneUnchanged)
{
    AddCube(0, 0, 0, 2, 2, 2, L"First");
    AddCube(3, 0, 0, 5, 2, 2, L"Second");
    AddKnife(1, 1, 1, 6, L"Knife");
    g_OperationSelection = {0, 1, 2};
    ThrowOnLogLinesStartingWith(L"Slicing object: Second");

    const CommandMessage message = SliceSelectedObjects();

    EXPECT_EQ(message.caption, L"Slice Error");
    EXPECT_EQ(message.text, L"Slice operation failed:\nsimulated failure");
    EXPECT_EQ(message.icon, MESSAGE_ICON_ERROR);
    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_TRUE(g_SceneObjects[0].visible && g_SceneObjects[1].visible);
    EXPECT_EQ(g_SceneObjects[2].type, PRIMITIVE_KNIFE);
}

} // namespace
