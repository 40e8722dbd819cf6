#include "viewport/Picking.h"

#include <cmath>
#include <string>
#include <vector>

#include "app/Preferences.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"
#include "viewport/PickMeshes.h"
#include "viewport/Rotation.h"
#include "viewport/ViewProjection.h"

namespace {

const float NO_HIT = 3.4028235e38f;
const float PARALLEL_LIMIT = 1e-7f;

Vec3f Minus(const Vec3f& a, const Vec3f& b)
{
    return Vec3f(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vec3f Cross(const Vec3f& a, const Vec3f& b)
{
    return Vec3f(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float Dot(const Vec3f& a, const Vec3f& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A prop's model corner in the world: scaled, turned about y, then x, then z,
// and moved to the instance position.
Vec3f PlacePropCorner(const PropInstance& instance, const Eigen::MatrixXd& V, int row, const float cosines[3],
                      const float sines[3])
{
    Vec3f p(static_cast<float>(V(row, 0)) * instance.scale.x, static_cast<float>(V(row, 1)) * instance.scale.y,
            static_cast<float>(V(row, 2)) * instance.scale.z);
    p = TurnAboutY(p, cosines[1], sines[1]);
    p = TurnAboutX(p, cosines[0], sines[0]);
    p = TurnAboutZ(p, cosines[2], sines[2]);
    return Vec3f(p.x + instance.position.x, p.y + instance.position.y, p.z + instance.position.z);
}

// Every vertex's offsets from the ray's line along two directions across
// it. A face whose three corners all lie beyond one side of the line (by a
// margin far above rounding) cannot meet the ray, so on a large mesh only the
// few faces around the line take the exact test.
struct RaySpace {
    std::vector<float> offsets;   // two per vertex
    float margin = 0.0f;
};

RaySpace& ProjectAcrossRay(const Ray& ray, const PickMesh& mesh)
{
    static RaySpace space;
    const Vec3f& d = ray.direction;
    const Vec3f helper = std::fabs(d.x) < 0.6f ? Vec3f(1, 0, 0) : Vec3f(0, 1, 0);
    Vec3f across1 = Cross(d, helper);
    const float length1 = std::sqrt(Dot(across1, across1));
    across1 = Vec3f(across1.x / length1, across1.y / length1, across1.z / length1);
    Vec3f across2 = Cross(d, across1);
    const float length2 = std::sqrt(Dot(across2, across2));
    across2 = Vec3f(across2.x / length2, across2.y / length2, across2.z / length2);

    const size_t count = mesh.vertices.size();
    space.offsets.resize(2 * count);
    for (size_t i = 0; i < count; ++i) {
        const Vec3f s = Minus(mesh.vertices[i], ray.origin);
        space.offsets[2 * i] = Dot(s, across1);
        space.offsets[2 * i + 1] = Dot(s, across2);
    }
    const float reach = std::fabs(ray.origin.x) + std::fabs(ray.origin.y) + std::fabs(ray.origin.z) +
                        std::fabs(mesh.low.x) + std::fabs(mesh.low.y) + std::fabs(mesh.low.z) +
                        std::fabs(mesh.high.x) + std::fabs(mesh.high.y) + std::fabs(mesh.high.z);
    space.margin = 1e-4f * (1.0f + reach);
    return space;
}

bool AllBeyond(float a, float b, float c, float margin)
{
    return (a > margin && b > margin && c > margin) || (a < -margin && b < -margin && c < -margin);
}

bool FaceMissesRayLine(const RaySpace& space, int v0, int v1, int v2)
{
    const float* o = space.offsets.data();
    return AllBeyond(o[2 * v0], o[2 * v1], o[2 * v2], space.margin) ||
           AllBeyond(o[2 * v0 + 1], o[2 * v1 + 1], o[2 * v2 + 1], space.margin);
}

const Model* FindPickableModel(int modelID)
{
    for (const Model& model : g_Models) {
        if (model.id != modelID)
            continue;
        if (model.V.rows() == 0 || model.F.rows() == 0 || model.V.cols() < 3 || model.F.cols() < 3)
            return nullptr;
        return &model;
    }
    return nullptr;
}

} // namespace

bool RayIntersectsTriangle(const Ray& ray, const Vec3f& p0, const Vec3f& p1, const Vec3f& p2, float* t)
{
    const Vec3f e1 = Minus(p1, p0);
    const Vec3f e2 = Minus(p2, p0);
    const Vec3f h = Cross(ray.direction, e2);
    const float a = Dot(e1, h);
    if (a > -PARALLEL_LIMIT && a < PARALLEL_LIMIT)
        return false;
    const float f = 1.0f / a;
    const Vec3f s = Minus(ray.origin, p0);
    const float u = f * Dot(s, h);
    if (u < 0.0f || u > 1.0f)
        return false;
    const Vec3f q = Cross(s, e1);
    const float v = f * Dot(ray.direction, q);
    if (v < 0.0f || u + v > 1.0f)
        return false;
    const float distance = f * Dot(e2, q);
    if (distance <= PARALLEL_LIMIT)
        return false;
    *t = distance;
    return true;
}

bool PickFace(int x, int y, int* object, int* face)
{
    if (g_SceneObjects.empty())
        return false;
    const Ray ray = GetRayFromMouse(x, y);
    if (!ray.valid)
        return false;
    float best = NO_HIT;
    int bestObject = -1, bestFace = -1;
    for (int i = 0; i < static_cast<int>(g_SceneObjects.size()); ++i) {
        const SceneObject& candidate = g_SceneObjects[i];
        if (!candidate.visible || !candidate.selectable || !RayMayHitObject(ray, candidate))
            continue;
        const PickMesh& mesh = GetPickMesh(i);
        if (mesh.vertices.empty() || !RayMayHitBox(ray, mesh.low, mesh.high))
            continue;
        const Eigen::MatrixXi& F = *mesh.faces;
        const RaySpace& space = ProjectAcrossRay(ray, mesh);
        for (int f = 0; f < static_cast<int>(F.rows()); ++f) {
            if (!IsFaceValid(mesh, f) || FaceMissesRayLine(space, F(f, 0), F(f, 1), F(f, 2)))
                continue;
            float t = 0.0f;
            if (RayIntersectsTriangle(ray, mesh.vertices[F(f, 0)], mesh.vertices[F(f, 1)], mesh.vertices[F(f, 2)],
                                      &t) &&
                t < best) {
                best = t;
                bestObject = i;
                bestFace = f;
            }
        }
    }
    if (bestObject < 0)
        return false;
    *object = bestObject;
    *face = bestFace;
    return true;
}

int PickObject(int x, int y)
{
    DebugLog(L"PickObject called at (" + std::to_wstring(x) + L", " + std::to_wstring(y) + L")");
    int object = -1, face = -1;
    if (PickFace(x, y, &object, &face)) {
        DebugLog(L"  Found object: " + std::to_wstring(object) + L", face: " + std::to_wstring(face));
        return object;
    }
    DebugLog(L"  No object found");
    return -1;
}

int PickVertex(int x, int y, int* object)
{
    int owner = -1, vertex = -1;
    const Ray ray = g_SelectedObjects.empty() ? Ray() : GetRayFromMouse(x, y);
    if (ray.valid) {
        const float r = g_ColorPrefs.VertexSize;
        const float qa = Dot(ray.direction, ray.direction);
        float best = NO_HIT;
        for (int index : g_SelectedObjects) {
            if (!IsValidObjectIndex(index))
                continue;
            const PickMesh& mesh = GetPickMesh(index);
            for (size_t row = 0; row < mesh.vertices.size(); ++row) {
                const Vec3f w = Minus(mesh.vertices[row], ray.origin);
                const float qb = -2.0f * Dot(ray.direction, w);
                const float qc = Dot(w, w) - r * r;
                const float disc = qb * qb - 4.0f * qa * qc;
                if (disc < 0.0f)
                    continue;
                const float t = (-qb - std::sqrt(disc)) / (2.0f * qa);
                if (t > 0.0f && t < best) {
                    best = t;
                    owner = index;
                    vertex = static_cast<int>(row);
                }
            }
        }
    }
    if (object)
        *object = owner;
    return vertex;
}

int PickPropInstance(int x, int y)
{
    if (g_PropInstances.empty())
        return -1;
    const Ray ray = GetRayFromMouse(x, y);
    if (!ray.valid)
        return -1;
    float best = NO_HIT;
    int result = -1;
    for (int i = 0; i < static_cast<int>(g_PropInstances.size()); ++i) {
        const PropInstance& instance = g_PropInstances[i];
        if (!instance.visible || !instance.selectable)
            continue;
        const Model* model = FindPickableModel(instance.modelID);
        if (!model)
            continue;
        const float angles[3] = {DegreesToRadians(instance.rotation.x), DegreesToRadians(instance.rotation.y),
                                 DegreesToRadians(instance.rotation.z)};
        const float cosines[3] = {std::cos(angles[0]), std::cos(angles[1]), std::cos(angles[2])};
        const float sines[3] = {std::sin(angles[0]), std::sin(angles[1]), std::sin(angles[2])};
        const int rows = static_cast<int>(model->V.rows());
        for (int f = 0; f < static_cast<int>(model->F.rows()); ++f) {
            Vec3f corners[3];
            bool valid = true;
            for (int k = 0; k < 3 && valid; ++k) {
                const int v = model->F(f, k);
                valid = v >= 0 && v < rows;
                if (valid)
                    corners[k] = PlacePropCorner(instance, model->V, v, cosines, sines);
            }
            float t = 0.0f;
            if (valid && RayIntersectsTriangle(ray, corners[0], corners[1], corners[2], &t) && t < best) {
                best = t;
                result = i;
            }
        }
    }
    return result;
}
