#include "SceneTestSupport.h"

#include <cmath>

#include <Eigen/Geometry>

#include "scene/ObjectMesh.h"
#include "scene/PrimitiveMeshes.h"

namespace {

SceneObject MakePrimitive(int type, float minX, float minY, float minZ, float maxX, float maxY,
                          float maxZ, Vec3f rotation = Vec3f())
{
    SceneObject o;
    o.type = type;
    o.minX = minX;
    o.minY = minY;
    o.minZ = minZ;
    o.maxX = maxX;
    o.maxY = maxY;
    o.maxZ = maxZ;
    o.rotation = rotation;
    return o;
}

SceneObject MakeMesh(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F)
{
    SceneObject o;
    o.isCSGMesh = true;
    o.V = V;
    o.F = F;
    const Eigen::RowVector3d lo = V.colwise().minCoeff(), hi = V.colwise().maxCoeff();
    o.minX = static_cast<float>(lo(0));
    o.minY = static_cast<float>(lo(1));
    o.minZ = static_cast<float>(lo(2));
    o.maxX = static_cast<float>(hi(0));
    o.maxY = static_cast<float>(hi(1));
    o.maxZ = static_cast<float>(hi(2));
    return o;
}

Eigen::Matrix3d Rotation(double degrees, const Eigen::Vector3d& axis)
{
    return Eigen::AngleAxisd(degrees * PI_D / 180.0, axis).toRotationMatrix();
}

} // namespace

TEST(ObjectMesh, ExplicitMeshComesOutAsStoredDespiteRotation)
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    GenerateWedgeMesh(0, 0, 0, 3, 1, 2, V, F);
    SceneObject o = MakeMesh(V, F);
    o.rotation = Vec3f(0, 90, 0);
    Eigen::MatrixXd outV;
    Eigen::MatrixXi outF;
    ObjectToMesh(o, outV, outF);
    EXPECT_EQ(outV, V);
    EXPECT_EQ(outF, F);
}

TEST(ObjectMesh, UnrotatedPrimitiveIsExactlyTheGeneratorOutput)
{
    Eigen::MatrixXd expected, V;
    Eigen::MatrixXi expectedF, F;
    const float b[6] = {0.3f, -1.7f, 2.2f, 4.9f, 0.6f, 8.1f};
    const struct {
        int type;
        void (*generate)(float, float, float, float, float, float, Eigen::MatrixXd&, Eigen::MatrixXi&);
    } cases[] = {{PRIMITIVE_CUBE, GenerateCubeMesh},   {PRIMITIVE_CYLINDER, GenerateCylinderMesh},
                 {PRIMITIVE_CONE, GenerateConeMesh},   {PRIMITIVE_RAMP, GenerateRampMesh},
                 {PRIMITIVE_WEDGE, GenerateWedgeMesh}, {PRIMITIVE_KNIFE, GenerateKnifeMesh}};
    for (const auto& c : cases) {
        c.generate(b[0], b[1], b[2], b[3], b[4], b[5], expected, expectedF);
        ObjectToMesh(MakePrimitive(c.type, b[0], b[1], b[2], b[3], b[4], b[5]), V, F);
        EXPECT_EQ(V, expected) << "type " << c.type;
        EXPECT_EQ(F, expectedF) << "type " << c.type;
    }
}

TEST(ObjectMesh, SphereUsesBoundsCentreAndWidthAsDiameter)
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    ObjectToMesh(MakePrimitive(PRIMITIVE_SPHERE, 1, 2, 3, 3, 6, 9), V, F);  // 2 x 4 x 6
    ASSERT_EQ(V.rows(), 1986);
    for (Eigen::Index i = 0; i < V.rows(); ++i)
        EXPECT_NEAR((V.row(i) - Eigen::RowVector3d(2, 4, 6)).norm(), 1.0, 2e-6);
}

TEST(ObjectMesh, CubeTurnedAboutYAroundItsCentre)
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    ObjectToMesh(MakePrimitive(PRIMITIVE_CUBE, 0, 0, 0, 2, 2, 2, Vec3f(0, 90, 0)), V, F);
    EXPECT_NEAR(V(0, 0), 0.0, 1e-6);
    EXPECT_NEAR(V(0, 1), 0.0, 1e-6);
    EXPECT_NEAR(V(0, 2), 2.0, 1e-6);
}

TEST(ObjectMesh, RotationOrderIsYThenXThenZ)
{
    // Sphere vertex 961 (ring 16, segment 0) lies at +x from the centre.
    const Eigen::RowVector3d centre(5, 6, 7);
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    ObjectToMesh(MakePrimitive(PRIMITIVE_SPHERE, 4, 5, 6, 6, 7, 8), V, F);
    EXPECT_NEAR((V.row(961) - centre - Eigen::RowVector3d(1, 0, 0)).norm(), 0.0, 1e-6);

    ObjectToMesh(MakePrimitive(PRIMITIVE_SPHERE, 4, 5, 6, 6, 7, 8, Vec3f(90, 0, 90)), V, F);
    EXPECT_NEAR((V.row(961) - centre - Eigen::RowVector3d(0, 1, 0)).norm(), 0.0, 1e-5);
    EXPECT_GT((V.row(961) - centre - Eigen::RowVector3d(0, 0, 1)).norm(), 0.5);
}

TEST(ObjectMesh, RotationMatchesRzRxRyAndKeepsTheSolidIntact)
{
    const Vec3f angles(30, 45, -60);
    SceneObject o = MakePrimitive(PRIMITIVE_RAMP, -1, 0, 2, 3, 2, 5, angles);
    Eigen::MatrixXd V, plain;
    Eigen::MatrixXi F, plainF;
    ObjectToMesh(o, V, F);
    GenerateRampMesh(-1, 0, 2, 3, 2, 5, plain, plainF);
    EXPECT_EQ(F, plainF);

    const Eigen::Matrix3d R = Rotation(angles.z, Eigen::Vector3d::UnitZ()) *
                              Rotation(angles.x, Eigen::Vector3d::UnitX()) *
                              Rotation(angles.y, Eigen::Vector3d::UnitY());
    const Eigen::Vector3d c(1, 1, 3.5);
    for (Eigen::Index i = 0; i < V.rows(); ++i) {
        const Eigen::Vector3d expected = R * (plain.row(i).transpose() - c) + c;
        EXPECT_NEAR((V.row(i).transpose() - expected).norm(), 0.0, 1e-5) << "row " << i;
    }
    EXPECT_TRUE(IsClosedAndConsistent(F));
    EXPECT_NEAR(SignedVolume(V, F), 4.0 * 2.0 * 3.0 / 2.0, 1e-4);
}

TEST(ObjectMesh, UnknownTypeGivesEmptyMesh)
{
    for (int type : {7, -1, 1000}) {
        Eigen::MatrixXd V = Eigen::MatrixXd::Ones(8, 3);
        Eigen::MatrixXi F = Eigen::MatrixXi::Zero(12, 3);
        ObjectToMesh(MakePrimitive(type, 0, 0, 0, 1, 1, 1, Vec3f(0, 45, 0)), V, F);
        EXPECT_EQ(V.rows(), 0);
        EXPECT_EQ(F.rows(), 0);
    }
}

TEST(RescaleMeshToBounds, StretchesAlongOneAxis)
{
    Eigen::MatrixXd V(3, 3);
    V << 0, 0, 0, 1, 1, 1, 2, 2, 2;
    SceneObject o = MakeMesh(V, Eigen::MatrixXi::Zero(1, 3));
    RescaleMeshToBounds(o, 0, 0, 0, 4, 2, 2);
    EXPECT_EQ(o.V(2, 0), 4.0);
    EXPECT_EQ(o.V(1, 0), 2.0);
    EXPECT_EQ(o.V(0, 0), 0.0);
    EXPECT_EQ(o.V(1, 1), 1.0);
    EXPECT_EQ(o.V(2, 2), 2.0);
    EXPECT_EQ(o.maxX, 4.0f);
}

TEST(RescaleMeshToBounds, FlatAxisFollowsTheNewCentre)
{
    Eigen::MatrixXd V(3, 3);
    V << 0, 1, 0, 2, 1, 0, 2, 1, 2;
    SceneObject o = MakeMesh(V, Eigen::MatrixXi::Zero(1, 3));
    ASSERT_EQ(o.maxY - o.minY, 0.0f);
    RescaleMeshToBounds(o, -1, 3, 0, 3, 5, 4);  // twice as wide and deep, centre y 4
    EXPECT_EQ(o.V(1, 0), 3.0);
    EXPECT_EQ(o.V(2, 2), 4.0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(o.V(i, 1), 4.0);
    EXPECT_EQ(o.minY, 3.0f);
    EXPECT_EQ(o.maxY, 5.0f);
    EXPECT_EQ(o.minX, -1.0f);
}

TEST(RescaleMeshToBounds, ThresholdIsStrict)
{
    Eigen::MatrixXd V(2, 3);
    V << 0, 0, 0, 0.001f, 1, 1;
    SceneObject o = MakeMesh(V, Eigen::MatrixXi::Zero(1, 3));
    ASSERT_EQ(o.maxX - o.minX, 0.001f);
    RescaleMeshToBounds(o, 10, 0, 0, 20, 1, 1);  // x extent not scaled, only moved
    EXPECT_NEAR(o.V(1, 0) - o.V(0, 0), 0.001, 1e-9);
    EXPECT_NEAR(o.V(0, 0), 15.0 - 0.0005, 1e-6);
}

TEST(RescaleMeshToBounds, LeavesPrimitivesAndEmptyMeshesAlone)
{
    SceneObject cube = MakePrimitive(PRIMITIVE_CUBE, 0, 0, 0, 1, 1, 1);
    RescaleMeshToBounds(cube, 5, 5, 5, 9, 9, 9);
    EXPECT_EQ(cube.minX, 0.0f);
    EXPECT_EQ(cube.maxZ, 1.0f);
    EXPECT_EQ(cube.V.rows(), 0);

    SceneObject empty = cube;
    empty.isCSGMesh = true;
    RescaleMeshToBounds(empty, 5, 5, 5, 9, 9, 9);
    EXPECT_EQ(empty.minX, 0.0f);
}

TEST(StoreBounds, PrimitivesTakeTheBoxMeshesCarryTheirVertices)
{
    SceneObject cube = MakePrimitive(PRIMITIVE_CUBE, 0, 0, 0, 2, 2, 2);
    StoreBounds(cube, Vec3f(5, 1, -1), Vec3f(4, 2, 2));
    EXPECT_EQ(cube.minX, 3.0f);
    EXPECT_EQ(cube.maxX, 7.0f);
    EXPECT_EQ(cube.minZ, -2.0f);
    EXPECT_EQ(cube.V.rows(), 0);

    Eigen::MatrixXd V(2, 3);
    V << 0, 0, 0, 2, 2, 2;
    SceneObject mesh = MakeMesh(V, Eigen::MatrixXi::Zero(1, 3));
    StoreBounds(mesh, Vec3f(11, 1, 1), Vec3f(4, 2, 2));
    EXPECT_EQ(mesh.V(0, 0), 9.0);
    EXPECT_EQ(mesh.V(1, 0), 13.0);
    EXPECT_EQ(mesh.minX, 9.0f);
    EXPECT_EQ(BoundsCentre(mesh).x, 11.0f);
    EXPECT_EQ(BoundsSize(mesh).x, 4.0f);

    // A mesh without vertices still moves its box.
    SceneObject empty = MakePrimitive(PRIMITIVE_CUBE, 0, 0, 0, 1, 1, 1);
    empty.isCSGMesh = true;
    StoreBounds(empty, Vec3f(5, 5, 5), Vec3f(1, 1, 1));
    EXPECT_EQ(empty.minX, 4.5f);
}
