#include "SceneTestSupport.h"

#include <cmath>
#include <limits>

#include <Eigen/Geometry>

#include "scene/VectorMath.h"

namespace {

const float HALF_SQRT2 = 0.70710678f;

void ExpectQuaternion(float ax, float ay, float az, float w, float x, float y, float z)
{
    float qw, qx, qy, qz;
    EulerToQuaternion(ax, ay, az, qw, qx, qy, qz);
    EXPECT_NEAR(qw, w, 1e-6);
    EXPECT_NEAR(qx, x, 1e-6);
    EXPECT_NEAR(qy, y, 1e-6);
    EXPECT_NEAR(qz, z, 1e-6);
}

// Column-major matrices as glGetDoublev returns them.
void Identity(double m[16])
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

// gluPerspective.
void Perspective(double fovY, double aspect, double zNear, double zFar, double m[16])
{
    const double f = 1.0 / std::tan(fovY * PI_D / 360.0);
    for (int i = 0; i < 16; ++i)
        m[i] = 0.0;
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0;
    m[14] = 2.0 * zFar * zNear / (zNear - zFar);
}

// gluLookAt with up = +y.
void LookAt(const Eigen::Vector3d& eye, const Eigen::Vector3d& target, double m[16])
{
    const Eigen::Vector3d f = (target - eye).normalized();
    const Eigen::Vector3d s = f.cross(Eigen::Vector3d::UnitY()).normalized();
    const Eigen::Vector3d u = s.cross(f);
    Eigen::Matrix4d view = Eigen::Matrix4d::Identity();
    view.block<1, 3>(0, 0) = s.transpose();
    view.block<1, 3>(1, 0) = u.transpose();
    view.block<1, 3>(2, 0) = -f.transpose();
    view(0, 3) = -s.dot(eye);
    view(1, 3) = -u.dot(eye);
    view(2, 3) = f.dot(eye);
    Eigen::Map<Eigen::Matrix4d> out(m);
    out = view;
}

float Length(const Vec3f& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

} // namespace

TEST(EulerToQuaternion, AxisAngles)
{
    ExpectQuaternion(0, 0, 0, 1, 0, 0, 0);
    ExpectQuaternion(90, 0, 0, HALF_SQRT2, HALF_SQRT2, 0, 0);
    ExpectQuaternion(0, 90, 0, HALF_SQRT2, 0, HALF_SQRT2, 0);
    ExpectQuaternion(0, 0, 90, HALF_SQRT2, 0, 0, HALF_SQRT2);
}

TEST(EulerToQuaternion, IsTheRotationRyRxRz)
{
    const float ax = 20, ay = -35, az = 70;
    float w, x, y, z;
    EulerToQuaternion(ax, ay, az, w, x, y, z);
    EXPECT_NEAR(w * w + x * x + y * y + z * z, 1.0f, 1e-6);
    const Eigen::Matrix3d fromQuaternion = Eigen::Quaterniond(w, x, y, z).toRotationMatrix();
    const Eigen::Matrix3d expected =
        Eigen::AngleAxisd(ay * PI_D / 180, Eigen::Vector3d::UnitY()).toRotationMatrix() *
        Eigen::AngleAxisd(ax * PI_D / 180, Eigen::Vector3d::UnitX()).toRotationMatrix() *
        Eigen::AngleAxisd(az * PI_D / 180, Eigen::Vector3d::UnitZ()).toRotationMatrix();
    EXPECT_LT((fromQuaternion - expected).cwiseAbs().maxCoeff(), 1e-6);
}

TEST(RayFromMatrices, CentreRayLooksAtTheTarget)
{
    double modelview[16], projection[16];
    const int viewport[4] = {0, 0, 800, 600};
    const Eigen::Vector3d eye(10, 6, -4), target(1, 0.5f, 2);
    LookAt(eye, target, modelview);
    Perspective(45, 800.0 / 600.0, 0.1, 1000, projection);

    const Ray ray = RayFromMatrices(modelview, projection, viewport, 400, 300);
    ASSERT_TRUE(ray.valid);
    EXPECT_NEAR(Length(ray.direction), 1.0f, 1e-6);
    const Eigen::Vector3d expected = (target - eye).normalized();
    EXPECT_NEAR(ray.direction.x, expected.x(), 1e-5);
    EXPECT_NEAR(ray.direction.y, expected.y(), 1e-5);
    EXPECT_NEAR(ray.direction.z, expected.z(), 1e-5);
    // The origin lies on the near plane, 0.1 in front of the eye.
    const Eigen::Vector3d origin(ray.origin.x, ray.origin.y, ray.origin.z);
    EXPECT_NEAR((origin - eye).dot(expected), 0.1, 1e-5);

    for (int x : {0, 799})
        for (int y : {0, 599}) {
            const Ray corner = RayFromMatrices(modelview, projection, viewport, x, y);
            ASSERT_TRUE(corner.valid);
            EXPECT_NEAR(Length(corner.direction), 1.0f, 1e-6);
        }
}

TEST(RayFromMatrices, TopRowUnprojectsAtViewportHeight)
{
    double identity[16];
    Identity(identity);
    const int viewport[4] = {0, 0, 100, 50};
    Ray ray = RayFromMatrices(identity, identity, viewport, 50, 0);
    ASSERT_TRUE(ray.valid);
    EXPECT_FLOAT_EQ(ray.origin.x, 0.0f);
    EXPECT_FLOAT_EQ(ray.origin.y, 1.0f);   // window y = 50 is the top edge
    EXPECT_FLOAT_EQ(ray.origin.z, -1.0f);
    EXPECT_FLOAT_EQ(ray.direction.z, 1.0f);

    ray = RayFromMatrices(identity, identity, viewport, 0, 50);
    EXPECT_FLOAT_EQ(ray.origin.x, -1.0f);
    EXPECT_FLOAT_EQ(ray.origin.y, -1.0f);

    // The viewport's y offset is not added to the window y.
    const int offset[4] = {0, 20, 100, 50};
    ray = RayFromMatrices(identity, identity, offset, 50, 0);
    EXPECT_FLOAT_EQ(ray.origin.y, 0.2f);
}

TEST(RayFromMatrices, DegenerateInputsGiveAMiss)
{
    double identity[16], zero[16] = {}, withNaN[16];
    Identity(identity);
    Identity(withNaN);
    withNaN[5] = std::numeric_limits<double>::quiet_NaN();
    const int viewport[4] = {0, 0, 640, 480};

    const Ray singular = RayFromMatrices(zero, identity, viewport, 10, 10);
    EXPECT_FALSE(singular.valid);
    EXPECT_EQ(singular.direction.x, 0.0f);
    EXPECT_FALSE(RayFromMatrices(identity, zero, viewport, 10, 10).valid);
    EXPECT_FALSE(RayFromMatrices(withNaN, identity, viewport, 10, 10).valid);

    const int minimised[4] = {0, 0, 0, 0};
    EXPECT_FALSE(RayFromMatrices(identity, identity, minimised, 0, 0).valid);
    const int noHeight[4] = {0, 0, 640, 0};
    EXPECT_FALSE(RayFromMatrices(identity, identity, noHeight, 5, 0).valid);

    // Near and far unproject to the same point: no direction.
    double flat[16];
    Identity(flat);
    flat[10] = 1e30;  // depth collapses
    const Ray collapsed = RayFromMatrices(flat, identity, viewport, 10, 10);
    EXPECT_FALSE(collapsed.valid);
    EXPECT_TRUE(std::isfinite(collapsed.direction.x));
}
