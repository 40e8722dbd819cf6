#include "scene/ObjectMesh.h"

#include <cmath>

#include "scene/PrimitiveMeshes.h"
#include "scene/SceneState.h"
#include "scene/VectorMath.h"

namespace {

float DegreesToRadians(float degrees) { return degrees * 3.1415927f / 180.0f; }

void GeneratePrimitive(const SceneObject& o, Eigen::MatrixXd& V, Eigen::MatrixXi& F)
{
    switch (o.type) {
    case PRIMITIVE_CUBE:
        GenerateCubeMesh(o.minX, o.minY, o.minZ, o.maxX, o.maxY, o.maxZ, V, F);
        break;
    case PRIMITIVE_SPHERE:
        // Only the x extent sets the radius.
        GenerateSphereMesh((o.minX + o.maxX) / 2.0f, (o.minY + o.maxY) / 2.0f,
                           (o.minZ + o.maxZ) / 2.0f, (o.maxX - o.minX) / 2.0f, V, F);
        break;
    case PRIMITIVE_CYLINDER:
        GenerateCylinderMesh(o.minX, o.minY, o.minZ, o.maxX, o.maxY, o.maxZ, V, F);
        break;
    case PRIMITIVE_CONE:
        GenerateConeMesh(o.minX, o.minY, o.minZ, o.maxX, o.maxY, o.maxZ, V, F);
        break;
    case PRIMITIVE_RAMP:
        GenerateRampMesh(o.minX, o.minY, o.minZ, o.maxX, o.maxY, o.maxZ, V, F);
        break;
    case PRIMITIVE_WEDGE:
        GenerateWedgeMesh(o.minX, o.minY, o.minZ, o.maxX, o.maxY, o.maxZ, V, F);
        break;
    case PRIMITIVE_KNIFE:
        GenerateKnifeMesh(o.minX, o.minY, o.minZ, o.maxX, o.maxY, o.maxZ, V, F);
        break;
    default:
        // Never hand back a caller's stale mesh as this object's geometry.
        V.resize(0, 3);
        F.resize(0, 3);
        break;
    }
}

} // namespace

void ObjectToMesh(const SceneObject& object, Eigen::MatrixXd& V, Eigen::MatrixXi& F)
{
    if (object.isCSGMesh) {
        V = object.V;
        F = object.F;
        return;
    }

    GeneratePrimitive(object, V, F);

    const Vec3f& rot = object.rotation;
    if (rot.x == 0.0f && rot.y == 0.0f && rot.z == 0.0f)
        return;

    const float cx = (object.minX + object.maxX) / 2.0f;
    const float cy = (object.minY + object.maxY) / 2.0f;
    const float cz = (object.minZ + object.maxZ) / 2.0f;
    const float ax = DegreesToRadians(rot.x);
    const float ay = DegreesToRadians(rot.y);
    const float az = DegreesToRadians(rot.z);
    const float cosX = std::cos(ax), sinX = std::sin(ax);
    const float cosY = std::cos(ay), sinY = std::sin(ay);
    const float cosZ = std::cos(az), sinZ = std::sin(az);

    for (Eigen::Index i = 0; i < V.rows(); ++i) {
        const float px = static_cast<float>(V(i, 0) - static_cast<double>(cx));
        const float py = static_cast<float>(V(i, 1) - static_cast<double>(cy));
        const float pz = static_cast<float>(V(i, 2) - static_cast<double>(cz));
        // About Y, then X, then Z.
        const float x1 = cosY * px + sinY * pz;
        const float z1 = cosY * pz - sinY * px;
        const float y2 = cosX * py - sinX * z1;
        const float z2 = cosX * z1 + sinX * py;
        const float x3 = cosZ * x1 - sinZ * y2;
        const float y3 = sinZ * x1 + cosZ * y2;
        V(i, 0) = static_cast<double>(x3 + cx);
        V(i, 1) = static_cast<double>(y3 + cy);
        V(i, 2) = static_cast<double>(z2 + cz);
    }
}

void RescaleMeshToBounds(SceneObject& object, float newMinX, float newMinY, float newMinZ,
                         float newMaxX, float newMaxY, float newMaxZ)
{
    if (!object.isCSGMesh || object.V.rows() == 0)
        return;

    // A flat axis cannot be scaled; it only follows the new centre.
    const float ex = object.maxX - object.minX;
    const float ey = object.maxY - object.minY;
    const float ez = object.maxZ - object.minZ;
    const float sx = ex > 0.001f ? (newMaxX - newMinX) / ex : 1.0f;
    const float sy = ey > 0.001f ? (newMaxY - newMinY) / ey : 1.0f;
    const float sz = ez > 0.001f ? (newMaxZ - newMinZ) / ez : 1.0f;

    const float oldCx = (object.minX + object.maxX) / 2.0f;
    const float oldCy = (object.minY + object.maxY) / 2.0f;
    const float oldCz = (object.minZ + object.maxZ) / 2.0f;
    const float newCx = (newMinX + newMaxX) / 2.0f;
    const float newCy = (newMinY + newMaxY) / 2.0f;
    const float newCz = (newMinZ + newMaxZ) / 2.0f;

    for (Eigen::Index i = 0; i < object.V.rows(); ++i) {
        object.V(i, 0) = (object.V(i, 0) - oldCx) * static_cast<double>(sx) + newCx;
        object.V(i, 1) = (object.V(i, 1) - oldCy) * static_cast<double>(sy) + newCy;
        object.V(i, 2) = (object.V(i, 2) - oldCz) * static_cast<double>(sz) + newCz;
    }

    object.minX = newMinX;
    object.minY = newMinY;
    object.minZ = newMinZ;
    object.maxX = newMaxX;
    object.maxY = newMaxY;
    object.maxZ = newMaxZ;
}

void StoreBounds(SceneObject& object, const Vec3f& centre, const Vec3f& size)
{
    const float lowX = centre.x - size.x * 0.5f, highX = centre.x + size.x * 0.5f;
    const float lowY = centre.y - size.y * 0.5f, highY = centre.y + size.y * 0.5f;
    const float lowZ = centre.z - size.z * 0.5f, highZ = centre.z + size.z * 0.5f;
    if (object.isCSGMesh && object.V.rows() > 0) {
        RescaleMeshToBounds(object, lowX, lowY, lowZ, highX, highY, highZ);
        return;
    }
    object.minX = lowX;
    object.minY = lowY;
    object.minZ = lowZ;
    object.maxX = highX;
    object.maxY = highY;
    object.maxZ = highZ;
}

Vec3f BoundsCentre(const SceneObject& object)
{
    return Vec3f((object.minX + object.maxX) / 2, (object.minY + object.maxY) / 2, (object.minZ + object.maxZ) / 2);
}

bool MeanBoundsCentre(const std::vector<int>& indices, Vec3f& centre)
{
    Vec3f sum;
    int count = 0;
    for (int index : indices) {
        if (!IsValidObjectIndex(index))
            continue;
        const Vec3f c = BoundsCentre(g_SceneObjects[index]);
        sum = Vec3f(sum.x + c.x, sum.y + c.y, sum.z + c.z);
        ++count;
    }
    if (count == 0)
        return false;
    centre = Vec3f(sum.x / count, sum.y / count, sum.z / count);
    return true;
}

Vec3f BoundsSize(const SceneObject& object)
{
    return Vec3f(object.maxX - object.minX, object.maxY - object.minY, object.maxZ - object.minZ);
}

void SetObjectRotation(SceneObject& object, const Vec3f& rotation)
{
    object.rotation = rotation;
    Quatf& q = object.orientation;
    EulerToQuaternion(rotation.x, rotation.y, rotation.z, q.w, q.x, q.y, q.z);
}

void FitBoundsToMesh(SceneObject& object)
{
    if (!object.isCSGMesh || object.V.rows() == 0 || object.V.cols() < 3)
        return;
    const Eigen::RowVectorXd low = object.V.colwise().minCoeff();
    const Eigen::RowVectorXd high = object.V.colwise().maxCoeff();
    object.minX = static_cast<float>(low(0));
    object.minY = static_cast<float>(low(1));
    object.minZ = static_cast<float>(low(2));
    object.maxX = static_cast<float>(high(0));
    object.maxY = static_cast<float>(high(1));
    object.maxZ = static_cast<float>(high(2));
}
