#include "scene/VectorMath.h"

#include <cfloat>
#include <cmath>

#include <Eigen/Dense>

void EulerToQuaternion(float ax, float ay, float az, float& w, float& x, float& y, float& z)
{
    const float hx = ax * 3.1415927f / 180.0f * 0.5f;
    const float hy = ay * 3.1415927f / 180.0f * 0.5f;
    const float hz = az * 3.1415927f / 180.0f * 0.5f;
    const float cx = std::cos(hx), sx = std::sin(hx);
    const float cy = std::cos(hy), sy = std::sin(hy);
    const float cz = std::cos(hz), sz = std::sin(hz);

    w = cy * cx * cz + sy * sx * sz;
    x = cy * sx * cz + sy * cx * sz;
    y = sy * cx * cz - cy * sx * sz;
    z = cy * cx * sz - sy * sx * cz;
}

namespace {

// The inverse of projection * modelview, as gluUnProject builds it.
bool InvertViewTransform(const double modelview[16], const double projection[16],
                         Eigen::Matrix4d& inverse)
{
    const Eigen::Map<const Eigen::Matrix4d> m(modelview);   // column-major, like GL
    const Eigen::Map<const Eigen::Matrix4d> p(projection);
    const Eigen::Matrix4d combined = p * m;
    if (!combined.allFinite())
        return false;
    const Eigen::FullPivLU<Eigen::Matrix4d> lu(combined);
    if (!lu.isInvertible())
        return false;
    inverse = lu.inverse();
    return inverse.allFinite();
}

bool UnProject(const Eigen::Matrix4d& inverse, const int viewport[4], double winX, double winY,
               double winZ, Eigen::Vector3d& out)
{
    const Eigen::Vector4d ndc((winX - viewport[0]) / viewport[2] * 2.0 - 1.0,
                              (winY - viewport[1]) / viewport[3] * 2.0 - 1.0,
                              winZ * 2.0 - 1.0,
                              1.0);
    const Eigen::Vector4d world = inverse * ndc;
    if (world.w() == 0.0)
        return false;
    out = world.head<3>() / world.w();
    return out.allFinite();
}

// Narrowing a double beyond the float range is undefined, so check first.
bool FitsInFloat(const Eigen::Vector3d& v)
{
    return v.allFinite() && v.cwiseAbs().maxCoeff() <= static_cast<double>(FLT_MAX);
}

} // namespace

Ray RayFromMatrices(const double modelview[16], const double projection[16],
                    const int viewport[4], int mouseX, int mouseY)
{
    Ray ray;
    // A minimised window has an empty viewport: nothing can be picked.
    if (viewport[2] <= 0 || viewport[3] <= 0)
        return ray;

    Eigen::Matrix4d inverse;
    if (!InvertViewTransform(modelview, projection, inverse))
        return ray;

    const double winX = static_cast<double>(mouseX);
    const double winY = static_cast<double>(viewport[3]) - static_cast<double>(mouseY);
    Eigen::Vector3d nearPoint, farPoint;
    if (!UnProject(inverse, viewport, winX, winY, 0.0, nearPoint) ||
        !UnProject(inverse, viewport, winX, winY, 1.0, farPoint))
        return ray;
    if (!FitsInFloat(nearPoint) || !FitsInFloat(farPoint - nearPoint))
        return ray;

    ray.origin = Vec3f(static_cast<float>(nearPoint.x()), static_cast<float>(nearPoint.y()),
                       static_cast<float>(nearPoint.z()));
    const float dx = static_cast<float>(farPoint.x() - nearPoint.x());
    const float dy = static_cast<float>(farPoint.y() - nearPoint.y());
    const float dz = static_cast<float>(farPoint.z() - nearPoint.z());
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    // Zero, or overflowing when squared: no usable direction.
    if (!(length > 0.0f) || !std::isfinite(length))
        return Ray();
    ray.direction = Vec3f(dx / length, dy / length, dz / length);
    ray.valid = true;
    return ray;
}
