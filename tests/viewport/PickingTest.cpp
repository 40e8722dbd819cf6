#include "app/Preferences.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/InputSupport.h"
#include "viewport/Picking.h"
#include "viewport/ViewProjection.h"

namespace {

using Picking = ViewportInputTest;

Model MakeTriangleModel(int id)
{
    Model model;
    model.id = id;
    model.V.resize(3, 3);
    model.V << -0.5, 0, -0.5, 0.5, 0, -0.5, 0, 0, 0.5;
    model.F.resize(1, 3);
    model.F << 0, 1, 2;
    return model;
}

} // namespace

TEST_F(Picking, TriangleIsHitFromBothSidesAndNotBehindTheOrigin)
{
    Ray down;
    down.origin = Vec3f(0.2f, 5.0f, 0.2f);
    down.direction = Vec3f(0.0f, -1.0f, 0.0f);
    down.valid = true;
    const Vec3f a(0, 0, 0), b(1, 0, 0), c(0, 0, 1);
    float t = 0.0f;
    ASSERT_TRUE(RayIntersectsTriangle(down, a, b, c, &t));
    EXPECT_FLOAT_EQ(t, 5.0f);
    ASSERT_TRUE(RayIntersectsTriangle(down, a, c, b, &t));
    Ray up = down;
    up.direction = Vec3f(0.0f, 1.0f, 0.0f);
    t = -1.0f;
    EXPECT_FALSE(RayIntersectsTriangle(up, a, b, c, &t));
    EXPECT_FLOAT_EQ(t, -1.0f);
    Ray beside = down;
    beside.origin = Vec3f(0.8f, 5.0f, 0.8f);
    EXPECT_FALSE(RayIntersectsTriangle(beside, a, b, c, &t));
}

TEST_F(Picking, NearestObjectWinsAndTiesKeepTheLowerIndex)
{
    g_SceneObjects.push_back(MakeCube(-1, 0, -1, 1, 1, 1, 255, 0, 0));
    g_SceneObjects.push_back(MakeCube(-1, 0, -1, 1, 3, 1, 0, 255, 0));
    g_SceneObjects.push_back(MakeCube(-1, 0, -1, 1, 3, 1, 0, 0, 255));
    RenderFrame();
    const ClientPoint top = Aim(0.0f, 3.0f, 0.0f);
    int object = -1, face = -1;
    ASSERT_TRUE(PickFace(top.x, top.y, &object, &face));
    EXPECT_EQ(object, 1);
    EXPECT_GE(face, 0);
    EXPECT_EQ(PickObject(top.x, top.y), 1);
    EXPECT_EQ(CountLogLines(L"PickObject called at (" + std::to_wstring(top.x) + L", " + std::to_wstring(top.y) + L")"),
              1);
    EXPECT_EQ(CountLogLines(L"  Found object: 1, face: " + std::to_wstring(face)), 1);
    g_SceneObjects[1].visible = false;
    EXPECT_EQ(PickObject(top.x, top.y), 2);
    g_SceneObjects[2].selectable = false;
    EXPECT_EQ(PickObject(top.x, top.y), -1);
    EXPECT_EQ(CountLogLines(L"  No object found"), 1);
}

TEST_F(Picking, MissLeavesTheOutputsAndRotatedPrimitivesArePickedWhereDrawn)
{
    SceneObject slab = MakeCube(-3, 0, -0.25f, 3, 0.5f, 0.25f, 255, 255, 255);
    slab.rotation = Vec3f(0.0f, 90.0f, 0.0f);
    g_SceneObjects.push_back(slab);
    RenderFrame();
    int object = 5, face = 6;
    const ClientPoint offSlab = Aim(2.5f, 0.5f, 0.0f);
    EXPECT_FALSE(PickFace(offSlab.x, offSlab.y, &object, &face));
    EXPECT_EQ(object, 5);
    EXPECT_EQ(face, 6);
    const ClientPoint onSlab = Aim(0.0f, 0.5f, 2.5f);
    EXPECT_EQ(PickObject(onSlab.x, onSlab.y), 0);
    // Moving the object is seen by the next pick.
    g_SceneObjects[0].rotation = Vec3f(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(PickObject(offSlab.x, offSlab.y), 0);
    EXPECT_EQ(PickObject(onSlab.x, onSlab.y), -1);
}

TEST_F(Picking, VerticesOfSelectedObjectsOnlyFirstListedWins)
{
    g_SceneObjects.push_back(MakeCube(-1, 0, -1, 1, 2, 1, 255, 0, 0));
    g_SceneObjects.push_back(MakeMeshCube(-1, 0, -1, 1, 2, 1));
    g_SceneObjects[1].visible = false;
    RenderFrame();
    const ClientPoint corner = Aim(1.0f, 2.0f, 1.0f);
    int owner = 9;
    EXPECT_EQ(PickVertex(corner.x, corner.y, &owner), -1);
    EXPECT_EQ(owner, -1);
    g_SelectedObjects = {4, 1, 0};
    const int vertex = PickVertex(corner.x, corner.y, &owner);
    EXPECT_EQ(owner, 1);
    ASSERT_GE(vertex, 0);
    EXPECT_DOUBLE_EQ(g_SceneObjects[1].V(vertex, 0), 1.0);
    EXPECT_DOUBLE_EQ(g_SceneObjects[1].V(vertex, 1), 2.0);
    EXPECT_DOUBLE_EQ(g_SceneObjects[1].V(vertex, 2), 1.0);
    const ClientPoint away = Aim(0.0f, 1.0f, 0.0f);
    EXPECT_EQ(PickVertex(away.x, away.y, nullptr), -1);
}

TEST_F(Picking, PropInstanceIsHitWhereItsScaledModelLies)
{
    g_Models.push_back(MakeTriangleModel(3));
    PropInstance instance;
    instance.modelID = 3;
    instance.position = Vec3f(0.0f, 1.0f, 0.0f);
    instance.scale = Vec3f(4.0f, 1.0f, 1.0f);
    g_PropInstances.push_back(instance);
    RenderFrame();
    const ClientPoint wide = Aim(-1.6f, 1.0f, -0.45f);
    EXPECT_EQ(PickPropInstance(wide.x, wide.y), 0);
    g_PropInstances[0].scale = Vec3f(1.0f, 1.0f, 1.0f);
    EXPECT_EQ(PickPropInstance(wide.x, wide.y), -1);
    g_PropInstances[0].scale = Vec3f(4.0f, 1.0f, 1.0f);
    g_PropInstances[0].modelID = 8;
    EXPECT_EQ(PickPropInstance(wide.x, wide.y), -1);
}

TEST(PickingBounds, EveryPrimitiveLiesWithinTheSphereThroughItsBoundsCorners)
{
    for (int type = PRIMITIVE_CUBE; type <= PRIMITIVE_KNIFE; ++type) {
        for (const Vec3f& rotation : {Vec3f(0, 0, 0), Vec3f(30, 45, 60)}) {
            SceneObject object = MakeCube(-1, 0, -2, 3, 1, 0, 255, 255, 255);
            object.type = type;
            object.rotation = rotation;
            Eigen::MatrixXd V;
            Eigen::MatrixXi F;
            ObjectToMesh(object, V, F);
            ASSERT_GT(V.rows(), 0) << type;
            const Eigen::Vector3d centre(1.0, 0.5, -1.0);
            const double radius = Eigen::Vector3d(2.0, 0.5, 1.0).norm();
            for (Eigen::Index i = 0; i < V.rows(); ++i)
                EXPECT_LE((V.row(i).transpose() - centre).norm(), radius * 1.0001) << type;
        }
    }
}

TEST_F(Picking, ObjectsAwayFromTheRayAreSkippedWithoutChangingTheResult)
{
    g_SceneObjects.push_back(MakeCube(5, 0, 5, 6, 1, 6, 255, 0, 0));
    SceneObject sphere = MakeCube(-1, 0, -1, 1, 2, 1, 0, 255, 0);
    sphere.type = PRIMITIVE_SPHERE;
    g_SceneObjects.push_back(sphere);
    RenderFrame();
    const ClientPoint edge = Aim(0.99f, 1.0f, 0.0f);
    EXPECT_EQ(PickObject(edge.x, edge.y), 1);
    const ClientPoint beside = Aim(1.2f, 1.0f, -1.2f);
    EXPECT_EQ(PickObject(beside.x, beside.y), -1);
}
