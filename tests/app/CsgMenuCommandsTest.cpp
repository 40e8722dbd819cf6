// The Edit menu's CSG commands as the user runs them: the menu state the
// selection gives, the command through the main window, the box it ends
// with, and undo through the Edit menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <Eigen/Geometry>

#include "app/MenuState.h"
#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "resources/resource.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"
#include "tests/scene/SceneTestSupport.h"

namespace {

class CsgMenuCommands : public AppTest {
protected:
    bool Enabled(UINT id) { return (MenuItemState(GetMenu(g_hMainWnd), id) & MF_GRAYED) == 0; }
    void Select(std::vector<int> indices)
    {
        g_SelectedObjects = indices;
        g_SelectedObjectIndex = indices.empty() ? -1 : indices.front();
        UpdateCSGMenuState();
    }
};

SceneObject MakeBox(int type, const wchar_t* name, float minX, float minY, float minZ, float size)
{
    return MakePrimitive(type, name, minX, minY, minZ, minX + size, minY + size, minZ + size);
}

TEST_F(CsgMenuCommands, JoinThroughTheMenuMakesOneUndoableUnion)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 2), MakeBox(PRIMITIVE_CUBE, L"Cube_2", 1, 1, 1, 2)};
    Select({0, 1});
    ASSERT_TRUE(Enabled(ID_EDIT_JOIN));
    ASSERT_FALSE(Enabled(ID_EDIT_SLICE));

    QueueModalAnswer(IDOK);
    Command(ID_EDIT_JOIN);

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    const SceneObject& result = g_SceneObjects[2];
    EXPECT_EQ(result.name, L"Union_3");
    EXPECT_TRUE(result.isCSGMesh);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_FALSE(g_SceneObjects[1].visible);
    EXPECT_EQ(g_SelectedObjectIndex, 2);

    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"Join Objects");
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(g_ModalCalls[0].owner, g_hMainWnd);
    EXPECT_EQ(g_ModalCalls[0].text.rfind(L"CSG Union (combine solids) completed!\n\nCreated: Union_3\n", 0), 0u);
    EXPECT_EQ(g_ModalUnexpectedCalls, 0);

    // The command left one undo step, and the menu follows the restored selection.
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);
    Command(ID_EDIT_UNDO);
    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible);
    EXPECT_TRUE(g_SceneObjects[1].visible);
    EXPECT_TRUE(Enabled(ID_EDIT_JOIN));
}

TEST_F(CsgMenuCommands, JoinRefusesAKnifeEvenWhenTheMenuItemIsEnabled)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 2), MakeBox(PRIMITIVE_KNIFE, L"Knife_2", -1, 1, -1, 4),
                      MakeBox(PRIMITIVE_CUBE, L"Cube_3", 1, 0, 0, 2)};
    Select({0, 1, 2});
    EXPECT_FALSE(Enabled(ID_EDIT_JOIN));
    EXPECT_TRUE(Enabled(ID_EDIT_SLICE));

    // An accelerator or a stale menu can still send the command.
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_JOIN);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"Invalid Selection");
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_TRUE(g_SceneObjects[0].visible);
}

TEST_F(CsgMenuCommands, SliceThroughTheMenuErasesTheKnifeAndGreysTheItems)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 2), MakeBox(PRIMITIVE_KNIFE, L"Knife_2", -1, 1, -1, 4)};
    Select({0, 1});
    ASSERT_TRUE(Enabled(ID_EDIT_SLICE));

    QueueModalAnswer(IDOK);
    Command(ID_EDIT_SLICE);

    // The cube stays as a hidden operand beside its two fragments; the knife is gone.
    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    for (const SceneObject& object : g_SceneObjects)
        EXPECT_NE(object.type == PRIMITIVE_KNIFE && !object.isCSGMesh, true) << "knife left behind";
    EXPECT_TRUE(g_SceneObjects[1].isCSGMesh);
    EXPECT_TRUE(g_SceneObjects[2].isCSGMesh);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_FALSE(Enabled(ID_EDIT_SLICE));
    EXPECT_FALSE(Enabled(ID_EDIT_JOIN));
}

TEST_F(CsgMenuCommands, DisjointIntersectionWarnsAndAddsNothing)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 1), MakeBox(PRIMITIVE_CUBE, L"Cube_2", 5, 0, 0, 1)};
    Select({0, 1});
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_INTERSECTION);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].caption, L"No Intersection");
    EXPECT_EQ(g_ModalCalls[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_TRUE(g_SceneObjects[0].visible);
    EXPECT_TRUE(g_SceneObjects[1].visible);
}

TEST_F(CsgMenuCommands, CommandsKeepTheOperationSelectionOtherCommandsEmpty)
{
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 2), MakeBox(PRIMITIVE_CUBE, L"Cube_2", 1, 0, 0, 2),
                      MakeBox(PRIMITIVE_CUBE, L"Cube_3", 9, 0, 0, 2)};
    // The Ctrl+click operands win over the plain selection.
    g_OperationSelection = {0, 1};
    Select({2});
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_XOR);
    ASSERT_EQ(g_SceneObjects.size(), 4u);
    EXPECT_FALSE(g_SceneObjects[0].visible);
    EXPECT_FALSE(g_SceneObjects[1].visible);
    EXPECT_TRUE(g_SceneObjects[2].visible);
    EXPECT_TRUE(g_SceneObjects[3].isCSGMesh);
}

// Objects turned about y only are prisms over their x-z footprint, so their
// volumes follow from convex polygons: an independent check of the engine.
typedef std::vector<Eigen::Vector2d> Polygon;

// The x-z corners of the object's top face, counter-clockwise.
Polygon Footprint(const SceneObject& object)
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    ObjectToMesh(object, V, F);
    Polygon corners;
    for (Eigen::Index i = 0; i < V.rows(); ++i)
        if (V(i, 1) == V.col(1).maxCoeff())
            corners.emplace_back(V(i, 0), V(i, 2));
    Eigen::Vector2d centre = Eigen::Vector2d::Zero();
    for (const Eigen::Vector2d& p : corners)
        centre += p / double(corners.size());
    std::sort(corners.begin(), corners.end(), [&](const Eigen::Vector2d& a, const Eigen::Vector2d& b) {
        return std::atan2(a.y() - centre.y(), a.x() - centre.x()) < std::atan2(b.y() - centre.y(), b.x() - centre.x());
    });
    return corners;
}

// The part of `subject` inside the convex polygon (each edge's left side).
Polygon Clip(Polygon subject, const Polygon& convex)
{
    auto cross = [](const Eigen::Vector2d& a, const Eigen::Vector2d& b) { return a.x() * b.y() - a.y() * b.x(); };
    for (size_t e = 0; e < convex.size() && !subject.empty(); ++e)
    {
        const Eigen::Vector2d a = convex[e], b = convex[(e + 1) % convex.size()];
        Polygon out;
        for (size_t i = 0; i < subject.size(); ++i)
        {
            const Eigen::Vector2d p = subject[i], q = subject[(i + 1) % subject.size()];
            const double sp = cross(b - a, p - a), sq = cross(b - a, q - a);
            if (sp >= 0)
                out.push_back(p);
            if ((sp >= 0) != (sq >= 0))
                out.push_back(p + (q - p) * (sp / (sp - sq)));
        }
        subject = out;
    }
    return subject;
}

// Volume of the union of prisms of height 2, by inclusion and exclusion.
double UnionVolume(const std::vector<Polygon>& parts)
{
    double area = 0;
    for (size_t mask = 1; mask < (size_t(1) << parts.size()); ++mask)
    {
        Polygon common;
        int count = 0;
        for (size_t k = 0; k < parts.size(); ++k)
            if (mask & (size_t(1) << k))
                common = count++ == 0 ? parts[k] : Clip(common, parts[k]);
        double twice = 0;
        for (size_t i = 0; i < common.size(); ++i)
            twice += common[i].x() * common[(i + 1) % common.size()].y() - common[i].y() * common[(i + 1) % common.size()].x();
        area += (count % 2 ? 1 : -1) * std::fabs(twice) / 2;
    }
    return 2 * area;
}

double MeshVolume(const SceneObject& o)
{
    double volume = 0;
    for (Eigen::Index t = 0; t < o.F.rows(); ++t)
    {
        const Eigen::Vector3d a = o.V.row(o.F(t, 0)), b = o.V.row(o.F(t, 1)), c = o.V.row(o.F(t, 2));
        volume += a.dot(b.cross(c)) / 6;
    }
    return volume;
}

TEST_F(CsgMenuCommands, TurnedCubesJoinJoinAgainAndSlice)
{
    // Each turned about one axis: the cubes about y, the knife about x (a
    // vertical cut at z = 0.8). Every result is the next step's operand.
    g_SceneObjects = {MakeBox(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 2), MakeBox(PRIMITIVE_CUBE, L"Cube_2", 1, 0, 0.5f, 2),
                      MakeBox(PRIMITIVE_CUBE, L"Cube_3", 2, 0, -0.5f, 2)};
    g_SceneObjects[0].rotation = Vec3f(0, 45, 0);
    g_SceneObjects[1].rotation = Vec3f(0, 30, 0);
    g_SceneObjects[2].rotation = Vec3f(0, 20, 0);
    std::vector<Polygon> footprints;
    for (const SceneObject& cube : g_SceneObjects)
        footprints.push_back(Footprint(cube));

    Select({0, 1});
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_JOIN);
    ASSERT_EQ(g_SceneObjects.size(), 4u);
    EXPECT_NEAR(MeshVolume(g_SceneObjects[3]), UnionVolume({footprints[0], footprints[1]}), 1e-9);
    Select({3, 2});
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_JOIN);
    ASSERT_EQ(g_SceneObjects.size(), 5u);
    EXPECT_TRUE(g_SceneObjects[4].isCSGMesh && g_SceneObjects[4].visible);
    EXPECT_NEAR(MeshVolume(g_SceneObjects[4]), UnionVolume(footprints), 1e-9);

    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_KNIFE, L"Knife_6", -3, 1, -3.2f, 7, 1, 4.8f));
    g_SceneObjects.back().rotation = Vec3f(90, 0, 0);
    Select({4, 5});
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_SLICE);
    ASSERT_EQ(g_ModalCalls.size(), 3u);
    EXPECT_EQ(g_ModalCalls[2].flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
    std::vector<double> volumes;
    for (const SceneObject& object : g_SceneObjects)
        if (object.visible && object.isCSGMesh)
            volumes.push_back(MeshVolume(object));
    ASSERT_EQ(volumes.size(), 2u);
    std::vector<Polygon> lowPieces, highPieces;
    for (const Polygon& p : footprints)
    {
        lowPieces.push_back(Clip(p, {{-10, -10}, {10, -10}, {10, 0.8}, {-10, 0.8}}));
        highPieces.push_back(Clip(p, {{-10, 0.8}, {10, 0.8}, {10, 10}, {-10, 10}}));
    }
    const double low = UnionVolume(lowPieces), high = UnionVolume(highPieces);
    // The knife's plane comes from single-precision turns: a hair off z = 0.8.
    EXPECT_NEAR(std::min(volumes[0], volumes[1]), std::min(low, high), 1e-5);
    EXPECT_NEAR(std::max(volumes[0], volumes[1]), std::max(low, high), 1e-5);
    EXPECT_NEAR(volumes[0] + volumes[1], UnionVolume(footprints), 1e-9);
    EXPECT_EQ(g_ModalUnexpectedCalls, 0);
}

} // namespace
