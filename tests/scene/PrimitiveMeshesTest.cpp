#include "SceneTestSupport.h"

#include <cmath>

#include "scene/PrimitiveMeshes.h"

namespace {

typedef void (*BoxGenerator)(float, float, float, float, float, float, Eigen::MatrixXd&,
                             Eigen::MatrixXi&);

struct Shape {
    const char* name;
    BoxGenerator generate;
    int vertices, faces;
};

const Shape kSolids[] = {
    {"cube", GenerateCubeMesh, 8, 12},
    {"cylinder", GenerateCylinderMesh, 66, 128},
    {"cone", GenerateConeMesh, 34, 64},
    {"ramp", GenerateRampMesh, 6, 8},
    {"wedge", GenerateWedgeMesh, 6, 8},
};

struct Box {
    float minX, minY, minZ, maxX, maxY, maxZ;
};

const Box kBoxes[] = {
    {0, 0, 0, 1, 2, 3},
    {-5.5f, 0.25f, 2, 3, 7, 2.5f},
    {100, -3, -100, 100.5f, -2.75f, -90},
    {-0.05f, 0, -0.05f, 0.05f, 0.11f, 0.05f},
};

// Area of the 32-gon the round shapes stand on.
double PolygonArea(double r) { return 0.5 * 32 * r * r * std::sin(2 * PI_D / 32); }

double AnalyticVolume(const std::string& shape, const Box& b)
{
    const double w = b.maxX - b.minX, h = b.maxY - b.minY, d = b.maxZ - b.minZ;
    if (shape == "cube") return w * h * d;
    if (shape == "cylinder") return PolygonArea(w / 2) * h;
    if (shape == "cone") return PolygonArea(w / 2) * h / 3;
    return w * h * d / 2;  // ramp and wedge: half the box
}

void ExpectRow(const Eigen::MatrixXd& V, int row, double x, double y, double z)
{
    EXPECT_EQ(V(row, 0), x) << "row " << row;
    EXPECT_EQ(V(row, 1), y) << "row " << row;
    EXPECT_EQ(V(row, 2), z) << "row " << row;
}

} // namespace

TEST(PrimitiveMeshes, SolidsAreClosedOutwardAndClean)
{
    for (const Shape& shape : kSolids) {
        for (const Box& b : kBoxes) {
            SCOPED_TRACE(shape.name);
            Eigen::MatrixXd V;
            Eigen::MatrixXi F;
            shape.generate(b.minX, b.minY, b.minZ, b.maxX, b.maxY, b.maxZ, V, F);
            ASSERT_EQ(V.rows(), shape.vertices);
            ASSERT_EQ(V.cols(), 3);
            ASSERT_EQ(F.rows(), shape.faces);
            ASSERT_EQ(F.cols(), 3);
            EXPECT_TRUE(AllIndicesInRange(V, F));
            EXPECT_TRUE(IsClosedAndConsistent(F));
            EXPECT_TRUE(HasNoDegenerateOrDuplicateTriangles(V, F));
            const double expected = AnalyticVolume(shape.name, b);
            EXPECT_GT(SignedVolume(V, F), 0.0);
            EXPECT_NEAR(SignedVolume(V, F), expected, 1e-4 * std::max(0.01, expected));
        }
    }
}

TEST(PrimitiveMeshes, SphereIsClosedOutwardAndOnItsRadius)
{
    for (float r : {1.0f, 0.05f, 12.5f}) {
        Eigen::MatrixXd V;
        Eigen::MatrixXi F;
        GenerateSphereMesh(3, -2, 7, r, V, F);
        ASSERT_EQ(V.rows(), 1986);
        ASSERT_EQ(F.rows(), 3968);
        EXPECT_TRUE(AllIndicesInRange(V, F));
        EXPECT_TRUE(IsClosedAndConsistent(F));
        EXPECT_TRUE(HasNoDegenerateOrDuplicateTriangles(V, F));
        const double sphere = 4.0 / 3.0 * PI_D * r * r * r;
        const double volume = SignedVolume(V, F);
        EXPECT_GT(volume, 0.98 * sphere);  // the polyhedron lies just inside
        EXPECT_LT(volume, sphere);
        for (Eigen::Index i = 0; i < V.rows(); ++i)
            EXPECT_NEAR((V.row(i) - Eigen::RowVector3d(3, -2, 7)).norm(), r, 4e-6);
    }
}

TEST(PrimitiveMeshes, CubeVerticesAndFirstTriangle)
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    GenerateCubeMesh(0, 0, 0, 1, 2, 3, V, F);
    ExpectRow(V, 0, 0, 0, 0);
    ExpectRow(V, 2, 1, 2, 0);
    ExpectRow(V, 6, 1, 2, 3);
    ExpectRow(V, 7, 0, 2, 3);
    EXPECT_EQ(F.row(0), Eigen::RowVector3i(0, 2, 1));
    EXPECT_EQ(F.row(11), Eigen::RowVector3i(1, 6, 5));
    EXPECT_EQ(TriangleNormal(V, F, 0).normalized(), Eigen::Vector3d(0, 0, -1));
}

TEST(PrimitiveMeshes, CoordinatesAreSinglePrecisionValues)
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    GenerateCubeMesh(0.1f, 0.2f, 0.3f, 1.1f, 1.2f, 1.3f, V, F);
    EXPECT_EQ(V(0, 0), static_cast<double>(0.1f));
    EXPECT_NE(V(0, 0), 0.1);
    EXPECT_EQ(V(6, 2), static_cast<double>(1.3f));
}

TEST(PrimitiveMeshes, RampAndWedgeVertices)
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    GenerateRampMesh(1, 2, 3, 5, 4, 9, V, F);
    ExpectRow(V, 0, 1, 2, 3);
    ExpectRow(V, 1, 5, 2, 3);
    ExpectRow(V, 2, 1, 4, 3);
    ExpectRow(V, 3, 5, 4, 3);
    ExpectRow(V, 4, 1, 2, 9);
    ExpectRow(V, 5, 5, 2, 9);
    EXPECT_EQ(F.row(0), Eigen::RowVector3i(0, 3, 1));

    GenerateWedgeMesh(1, 2, 3, 5, 4, 9, V, F);
    ExpectRow(V, 0, 1, 2, 3);
    ExpectRow(V, 1, 5, 2, 3);
    ExpectRow(V, 2, 3, 2, 9);
    ExpectRow(V, 3, 1, 4, 3);
    ExpectRow(V, 4, 5, 4, 3);
    ExpectRow(V, 5, 3, 4, 9);
    EXPECT_EQ(F.row(1), Eigen::RowVector3i(3, 5, 4));
}

TEST(PrimitiveMeshes, SphereLandmarks)
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    GenerateSphereMesh(0, 0, 0, 1, V, F);
    ExpectRow(V, 0, 0, 1, 0);
    ExpectRow(V, 1985, 0, -1, 0);
    EXPECT_NEAR(V(1, 0), std::sin(PI_D / 32), 1e-6);
    EXPECT_NEAR(V(1, 1), std::cos(PI_D / 32), 1e-6);
    EXPECT_EQ(V(1, 2), 0.0);
    EXPECT_EQ(F.row(0), Eigen::RowVector3i(0, 2, 1));
    EXPECT_EQ(F.row(3967), Eigen::RowVector3i(1985, 1984, 1921));
}

TEST(PrimitiveMeshes, RoundShapesTakeRadiusFromWidthOnly)
{
    for (BoxGenerator generate : {GenerateCylinderMesh, GenerateConeMesh}) {
        Eigen::MatrixXd V;
        Eigen::MatrixXi F;
        generate(4, 0, 10, 6, 3, 14, V, F);  // 2 wide, 4 deep: centre (5, 12)
        double ringPoints = 0;
        for (Eigen::Index i = 0; i < V.rows(); ++i) {
            const double dist = std::hypot(V(i, 0) - 5.0, V(i, 2) - 12.0);
            if (dist > 0.5) {
                EXPECT_NEAR(dist, 1.0, 1e-6);
                ++ringPoints;
            } else {
                EXPECT_EQ(dist, 0.0);  // apex or cap centre
            }
        }
        EXPECT_EQ(ringPoints, V.rows() == 66 ? 64 : 32);
    }
}

TEST(PrimitiveMeshes, FlatCylinderKeepsItsCounts)
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    GenerateCylinderMesh(0, 1, 0, 2, 1, 2, V, F);
    EXPECT_EQ(V.rows(), 66);
    EXPECT_EQ(F.rows(), 128);
    EXPECT_EQ(V.row(0), V.row(1));
}

TEST(PrimitiveMeshes, KnifeIsFlatTwoSidedAndIgnoresHeight)
{
    Eigen::MatrixXd V, V2;
    Eigen::MatrixXi F, F2;
    GenerateKnifeMesh(-1, 0.5f, -2, 3, 1, 4, V, F);
    GenerateKnifeMesh(-1, 0.5f, -2, 3, 9, 4, V2, F2);
    EXPECT_EQ(V, V2);
    EXPECT_EQ(F, F2);
    ASSERT_EQ(V.rows(), 4);
    ASSERT_EQ(F.rows(), 4);
    ExpectRow(V, 0, -1, 0.5, -2);
    ExpectRow(V, 1, 3, 0.5, -2);
    ExpectRow(V, 2, 3, 0.5, 4);
    ExpectRow(V, 3, -1, 0.5, 4);
    for (int f = 0; f < 4; ++f) {
        const Eigen::Vector3d n = TriangleNormal(V, F, f).normalized();
        EXPECT_EQ(n, Eigen::Vector3d(0, f < 2 ? -1 : 1, 0)) << "face " << f;
    }
    // The upper side is the lower side wound the other way.
    for (int f = 0; f < 2; ++f) {
        EXPECT_EQ(F(f + 2, 0), F(1 - f, 0));
        EXPECT_EQ(F(f + 2, 1), F(1 - f, 2));
        EXPECT_EQ(F(f + 2, 2), F(1 - f, 1));
    }
}

TEST(PrimitiveMeshes, OutputsAreReplacedNotAppended)
{
    const BoxGenerator all[] = {GenerateCubeMesh, GenerateCylinderMesh, GenerateConeMesh,
                                GenerateRampMesh, GenerateWedgeMesh, GenerateKnifeMesh};
    for (BoxGenerator generate : all) {
        Eigen::MatrixXd V = Eigen::MatrixXd::Constant(5000, 3, 42.0);
        Eigen::MatrixXi F = Eigen::MatrixXi::Constant(9000, 3, 4999);
        Eigen::MatrixXd fresh;
        Eigen::MatrixXi freshF;
        generate(0, 0, 0, 1, 1, 1, V, F);
        generate(0, 0, 0, 1, 1, 1, fresh, freshF);
        EXPECT_EQ(V, fresh);
        EXPECT_EQ(F, freshF);
    }
    Eigen::MatrixXd V = Eigen::MatrixXd::Constant(9000, 3, 42.0);
    Eigen::MatrixXi F = Eigen::MatrixXi::Constant(9000, 3, 1);
    GenerateSphereMesh(0, 0, 0, 1, V, F);
    EXPECT_EQ(V.rows(), 1986);
    EXPECT_EQ(F.rows(), 3968);
}
