#include "SceneTestSupport.h"

#include <set>
#include <utility>

#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "scene/VertexEdit.h"

namespace {

// A cube mesh on (-1, 0, -1) .. (1, 2, 1) whose triangle i is painted with
// colour (i, 0, 0), texture i and scale i, so an entry names its face.
SceneObject PaintedMeshCube()
{
    SceneObject object = MakePrimitive(PRIMITIVE_CUBE, L"Cube", -1, 0, -1, 1, 2, 1);
    ObjectToMesh(object, object.V, object.F);
    object.isCSGMesh = true;
    for (int f = 0; f < object.F.rows(); ++f) {
        object.faceColors.emplace_back(f, 0, 0);
        object.faceTextureIDs.push_back(f);
        object.faceTextureScales.push_back(static_cast<float>(f));
    }
    return object;
}

std::set<std::pair<int, int>> UndirectedEdges(const Eigen::MatrixXi& F)
{
    std::set<std::pair<int, int>> edges;
    for (int f = 0; f < F.rows(); ++f)
        for (int k = 0; k < 3; ++k) {
            const int a = F(f, k), b = F(f, (k + 1) % 3);
            edges.insert({std::min(a, b), std::max(a, b)});
        }
    return edges;
}

// Every face carries the paint of an original face lying in the same plane
// and facing the same way, and the three arrays agree.
void ExpectPaintFollowsFaces(const SceneObject& edited, const SceneObject& original)
{
    ASSERT_EQ(edited.faceColors.size(), static_cast<size_t>(edited.F.rows()));
    ASSERT_EQ(edited.faceTextureIDs.size(), edited.faceColors.size());
    ASSERT_EQ(edited.faceTextureScales.size(), edited.faceColors.size());
    for (int f = 0; f < edited.F.rows(); ++f) {
        const int parent = edited.faceColors[f].r;
        EXPECT_EQ(edited.faceTextureIDs[f], parent);
        EXPECT_EQ(edited.faceTextureScales[f], static_cast<float>(parent));
        const Eigen::Vector3d n = TriangleNormal(edited.V, edited.F, f);
        const Eigen::Vector3d expected = TriangleNormal(original.V, original.F, parent);
        EXPECT_GT(n.normalized().dot(expected.normalized()), 0.9999) << "face " << f << " parent " << parent;
    }
}

void ExpectBoundsFitVertices(const SceneObject& object)
{
    const Eigen::RowVector3d low = object.V.colwise().minCoeff(), high = object.V.colwise().maxCoeff();
    const float bounds[6] = {object.minX, object.minY, object.minZ, object.maxX, object.maxY, object.maxZ};
    for (int c = 0; c < 6; ++c)
        EXPECT_FLOAT_EQ(bounds[c], static_cast<float>(c < 3 ? low(c) : high(c - 3))) << c;
}

class VertexEdit : public SceneTest {};

} // namespace

// Each edge or face split keeps the cube closed, wound, of the same volume and
// painted; a face split puts its three rows in the face's place.
TEST_F(VertexEdit, EveryEdgeOrFaceSplitKeepsTheCubeClosedWoundAndPainted)
{
    const SceneObject cube = PaintedMeshCube();
    ASSERT_TRUE(IsClosedAndConsistent(cube.F));
    const double volume = SignedVolume(cube.V, cube.F);
    auto expectSound = [&](const SceneObject& edited) {
        ASSERT_EQ(edited.F.rows(), 14);
        EXPECT_TRUE(IsClosedAndConsistent(edited.F));
        EXPECT_TRUE(HasNoDegenerateOrDuplicateTriangles(edited.V, edited.F));
        EXPECT_NEAR(SignedVolume(edited.V, edited.F), volume, 1e-9);
        ExpectPaintFollowsFaces(edited, cube);
    };
    for (const auto& [a, b] : UndirectedEdges(cube.F)) {
        SceneObject edited = cube;
        EXPECT_EQ(SplitMeshEdge(edited, b, a, (cube.V.row(a) + cube.V.row(b)) / 2.0), 8) << a << "-" << b;
        expectSound(edited);
    }
    for (int f = 0; f < cube.F.rows(); ++f) {
        SceneObject edited = cube;
        const Eigen::RowVector3i t = cube.F.row(f);
        ASSERT_EQ(SplitMeshFace(edited, f, (cube.V.row(t(0)) + cube.V.row(t(1)) + cube.V.row(t(2))) / 3.0), 8);
        expectSound(edited);
        EXPECT_EQ(edited.F.row(f), Eigen::RowVector3i(t(0), t(1), 8));
        EXPECT_EQ(edited.F.row(f + 1), Eigen::RowVector3i(t(1), t(2), 8));
        EXPECT_EQ(edited.F.row(f + 2), Eigen::RowVector3i(t(2), t(0), 8));
    }
}

TEST_F(VertexEdit, UnconnectedOrMissingVerticesChangeNothing)
{
    SceneObject edited = PaintedMeshCube();
    const SceneObject before = edited;
    EXPECT_FALSE(AreVerticesConnected(edited.F, 0, 6));
    EXPECT_EQ(SplitMeshEdge(edited, 0, 6, Eigen::RowVector3d(0, 1, 0)), -1);
    EXPECT_EQ(SplitMeshEdge(edited, 0, 8, Eigen::RowVector3d(0, 1, 0)), -1);
    EXPECT_EQ(SplitMeshFace(edited, 12, Eigen::RowVector3d(0, 1, 0)), -1);
    EXPECT_FALSE(RemoveMeshVertex(edited, 8));
    EXPECT_EQ(edited.V, before.V);
    EXPECT_EQ(edited.F, before.F);
    EXPECT_EQ(edited.faceColors.size(), before.faceColors.size());
}

TEST_F(VertexEdit, RemovingVertexThreeDropsItsFacesRenumbersAndRefitsTheBounds)
{
    const SceneObject cube = PaintedMeshCube();
    SceneObject edited = cube;
    ASSERT_TRUE(RemoveMeshVertex(edited, 3));
    EXPECT_EQ(edited.V.rows(), 7);
    EXPECT_EQ(edited.F.rows(), 9);
    EXPECT_TRUE(AllIndicesInRange(edited.V, edited.F));
    EXPECT_EQ(edited.V.row(6), cube.V.row(7));
    ExpectPaintFollowsFaces(edited, cube);
    ExpectBoundsFitVertices(edited);

    // Down to one vertex: no faces left, bounds shrink to it.
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(RemoveMeshVertex(edited, 0));
    EXPECT_EQ(edited.F.rows(), 0);
    EXPECT_TRUE(edited.faceColors.empty());
    ExpectBoundsFitVertices(edited);
}

TEST_F(VertexEdit, EmptyArraysStayEmptyAndShortOnesStayWithinTheirFaces)
{
    SceneObject unpainted = PaintedMeshCube();
    unpainted.faceColors.clear();
    unpainted.faceTextureIDs.clear();
    unpainted.faceTextureScales.clear();
    ASSERT_EQ(SplitMeshFace(unpainted, 0, Eigen::RowVector3d(0.5, 0.5, -1)), 8);
    ASSERT_TRUE(RemoveMeshVertex(unpainted, 1));
    EXPECT_TRUE(unpainted.faceColors.empty() && unpainted.faceTextureIDs.empty() && unpainted.faceTextureScales.empty());

    // Entries for faces 0 to 2 only: a split of face 1 gives entries for the
    // first five faces, each its parent's.
    SceneObject shortPaint = PaintedMeshCube();
    shortPaint.faceColors.resize(3);
    shortPaint.faceTextureIDs.resize(3);
    shortPaint.faceTextureScales.resize(2);
    ASSERT_EQ(SplitMeshFace(shortPaint, 1, Eigen::RowVector3d(-0.5, 1.5, -1)), 8);
    ASSERT_EQ(shortPaint.faceColors.size(), 5u);
    EXPECT_EQ(shortPaint.faceColors[3].r, 1);
    EXPECT_EQ(shortPaint.faceColors[4].r, 2);
    EXPECT_EQ(shortPaint.faceTextureScales.size(), 4u);
}

TEST_F(VertexEdit, MovesAndSetsRefitTheBoundsOfExplicitMeshesOnly)
{
    g_SceneObjects.push_back(PaintedMeshCube());
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_CUBE, L"Primitive", 0, 0, 0, 1, 1, 1));
    MoveSelectedVertices({{0, 6}, {0, 7}, {1, 0}, {5, 0}, {0, 99}}, Eigen::RowVector3d(0, 3, 0));
    ExpectBoundsFitVertices(g_SceneObjects[0]);
    EXPECT_DOUBLE_EQ(g_SceneObjects[0].V(6, 1), 5.0);
    EXPECT_DOUBLE_EQ(g_SceneObjects[0].V(2, 1), 2.0);
    EXPECT_FLOAT_EQ(g_SceneObjects[1].maxY, 1.0f);

    EXPECT_TRUE(SetMeshVertex(g_SceneObjects[0], 0, Eigen::RowVector3d(-4, -1, -1)));
    ExpectBoundsFitVertices(g_SceneObjects[0]);
    EXPECT_FALSE(SetMeshVertex(g_SceneObjects[0], 8, Eigen::RowVector3d(0, 0, 0)));
}

TEST_F(VertexEdit, RayApproachFindsTheEdgePointAndRefusesParallelRays)
{
    Ray ray;
    ray.valid = true;
    ray.origin = Vec3f(0.5f, 0.25f, 5.0f);
    ray.direction = Vec3f(0.0f, 0.0f, -1.0f);
    EdgeApproach approach{};
    ASSERT_TRUE(ApproachRayToEdge(ray, Vec3f(0, 0, 0), Vec3f(2, 0, 0), &approach));
    EXPECT_FLOAT_EQ(approach.s, 0.25f);
    EXPECT_FLOAT_EQ(approach.point.x, 0.5f);
    EXPECT_FLOAT_EQ(approach.distance, 0.25f);

    ray.direction = Vec3f(1.0f, 0.0f, 0.0f);
    EXPECT_FALSE(ApproachRayToEdge(ray, Vec3f(0, 0, 0), Vec3f(2, 0, 0), &approach));
}
