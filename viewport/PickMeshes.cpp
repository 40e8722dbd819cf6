#include "viewport/PickMeshes.h"

#include <algorithm>
#include <cmath>

#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"

namespace {

// A cached primitive mesh and what it was generated from.
struct CachedPrimitive {
    bool built = false;
    int type = 0;
    float bounds[6] = {};
    Vec3f rotation;
    Eigen::MatrixXi faces;
    PickMesh mesh;
};

std::vector<CachedPrimitive> g_PrimitiveCache;
PickMesh g_ExplicitMesh;
Eigen::MatrixXi g_NoFaces;

bool SameShape(const CachedPrimitive& entry, const SceneObject& object)
{
    return entry.built && entry.type == object.type && entry.bounds[0] == object.minX &&
           entry.bounds[1] == object.minY && entry.bounds[2] == object.minZ && entry.bounds[3] == object.maxX &&
           entry.bounds[4] == object.maxY && entry.bounds[5] == object.maxZ &&
           entry.rotation.x == object.rotation.x && entry.rotation.y == object.rotation.y &&
           entry.rotation.z == object.rotation.z;
}

void FillVertices(const Eigen::MatrixXd& V, PickMesh& mesh)
{
    mesh.vertices.resize(V.cols() >= 3 ? static_cast<size_t>(V.rows()) : 0);
    mesh.low = Vec3f(0.0f, 0.0f, 0.0f);
    mesh.high = Vec3f(0.0f, 0.0f, 0.0f);
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        const Eigen::Index row = static_cast<Eigen::Index>(i);
        const Vec3f p(static_cast<float>(V(row, 0)), static_cast<float>(V(row, 1)), static_cast<float>(V(row, 2)));
        mesh.vertices[i] = p;
        if (i == 0) {
            mesh.low = p;
            mesh.high = p;
            continue;
        }
        mesh.low = Vec3f(std::min(mesh.low.x, p.x), std::min(mesh.low.y, p.y), std::min(mesh.low.z, p.z));
        mesh.high = Vec3f(std::max(mesh.high.x, p.x), std::max(mesh.high.y, p.y), std::max(mesh.high.z, p.z));
    }
}

} // namespace

const PickMesh& GetPickMesh(int index)
{
    const SceneObject& object = g_SceneObjects[index];
    if (object.isCSGMesh) {
        FillVertices(object.V, g_ExplicitMesh);
        g_ExplicitMesh.faces = object.F.cols() >= 3 ? &object.F : &g_NoFaces;
        return g_ExplicitMesh;
    }
    if (g_PrimitiveCache.size() < g_SceneObjects.size())
        g_PrimitiveCache.resize(g_SceneObjects.size());
    CachedPrimitive& entry = g_PrimitiveCache[index];
    if (!SameShape(entry, object)) {
        Eigen::MatrixXd V;
        ObjectToMesh(object, V, entry.faces);
        FillVertices(V, entry.mesh);
        entry.built = true;
        entry.type = object.type;
        entry.bounds[0] = object.minX;
        entry.bounds[1] = object.minY;
        entry.bounds[2] = object.minZ;
        entry.bounds[3] = object.maxX;
        entry.bounds[4] = object.maxY;
        entry.bounds[5] = object.maxZ;
        entry.rotation = object.rotation;
    }
    entry.mesh.faces = entry.faces.cols() >= 3 ? &entry.faces : &g_NoFaces;
    return entry.mesh;
}

bool RayMayHitObject(const Ray& ray, const SceneObject& object)
{
    if (object.isCSGMesh)
        return true;
    const double half[3] = {(static_cast<double>(object.maxX) - object.minX) / 2,
                            (static_cast<double>(object.maxY) - object.minY) / 2,
                            (static_cast<double>(object.maxZ) - object.minZ) / 2};
    const double centre[3] = {object.minX + half[0], object.minY + half[1], object.minZ + half[2]};
    const double radius = std::sqrt(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]);
    const double origin[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const double direction[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    double along = 0.0, squared = 0.0, length = 0.0;
    for (int i = 0; i < 3; ++i) {
        along += (centre[i] - origin[i]) * direction[i];
        length += direction[i] * direction[i];
    }
    if (!(length > 0.0))
        return false;
    along /= length;
    for (int i = 0; i < 3; ++i) {
        const double gap = centre[i] - (origin[i] + along * direction[i]);
        squared += gap * gap;
    }
    const double slack = 1e-3 * (1.0 + std::fabs(centre[0]) + std::fabs(centre[1]) + std::fabs(centre[2]));
    const double reach = radius * 1.01 + slack;
    // Too far from the line, or wholly behind the origin.
    return squared <= reach * reach && along * std::sqrt(length) >= -reach;
}

bool RayMayHitBox(const Ray& ray, const Vec3f& low, const Vec3f& high)
{
    const double origin[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const double direction[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    const double lowAxes[3] = {low.x, low.y, low.z}, highAxes[3] = {high.x, high.y, high.z};
    double enter = -1e300, leave = 1e300;
    for (int i = 0; i < 3; ++i) {
        const double slack = 1e-3 * (1.0 + std::fabs(lowAxes[i]) + std::fabs(highAxes[i]));
        const double a = lowAxes[i] - slack, b = highAxes[i] + slack;
        if (std::fabs(direction[i]) < 1e-30) {
            if (origin[i] < a || origin[i] > b)
                return false;
            continue;
        }
        double t0 = (a - origin[i]) / direction[i], t1 = (b - origin[i]) / direction[i];
        if (t0 > t1)
            std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
    }
    return enter <= leave && leave >= 0.0;
}

bool IsFaceValid(const PickMesh& mesh, int face)
{
    const Eigen::MatrixXi& F = *mesh.faces;
    const int count = static_cast<int>(mesh.vertices.size());
    for (int k = 0; k < 3; ++k) {
        const int v = F(face, k);
        if (v < 0 || v >= count)
            return false;
    }
    return true;
}
