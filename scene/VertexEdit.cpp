#include "scene/VertexEdit.h"

#include <cmath>

#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"

namespace {

const float PARALLEL_LIMIT = 1e-8f;

bool HasVertex(const SceneObject& object, int vertex)
{
    return vertex >= 0 && vertex < object.V.rows() && object.V.cols() >= 3;
}

bool IsFaceInMesh(const SceneObject& object, int face)
{
    if (face < 0 || face >= object.F.rows() || object.F.cols() < 3)
        return false;
    for (int k = 0; k < 3; ++k)
        if (!HasVertex(object, object.F(face, k)))
            return false;
    return true;
}

// Each new face's entry is its parent's; parents never decrease, so an array
// shorter than the old face list yields one shorter than the new.
template <typename T>
void FollowFaces(std::vector<T>& values, const std::vector<int>& parents)
{
    if (values.empty())
        return;
    std::vector<T> followed;
    followed.reserve(parents.size());
    for (int parent : parents) {
        if (parent >= static_cast<int>(values.size()))
            break;
        followed.push_back(values[parent]);
    }
    values = std::move(followed);
}

// Rebuilds F face by face: replace(f, corners, out) appends the faces that
// take face f's place (none to drop it); each inherits f's paint.
template <typename Replace>
void ReplaceFaces(SceneObject& object, Replace replace)
{
    std::vector<Eigen::Vector3i> faces;
    std::vector<int> parents;
    faces.reserve(static_cast<size_t>(object.F.rows()) + 2);
    parents.reserve(faces.capacity());
    for (int f = 0; f < static_cast<int>(object.F.rows()) && object.F.cols() >= 3; ++f) {
        const size_t before = faces.size();
        replace(f, Eigen::Vector3i(object.F.row(f).leftCols(3).transpose()), faces);
        parents.insert(parents.end(), faces.size() - before, f);
    }
    object.F.resize(static_cast<Eigen::Index>(faces.size()), 3);
    for (size_t i = 0; i < faces.size(); ++i)
        object.F.row(static_cast<Eigen::Index>(i)) = faces[i].transpose();
    FollowFaces(object.faceTextureIDs, parents);
    FollowFaces(object.faceTextureScales, parents);
    FollowFaces(object.faceColors, parents);
}

int AppendVertex(SceneObject& object, const Eigen::RowVector3d& point)
{
    const Eigen::Index n = object.V.rows();
    object.V.conservativeResize(n + 1, 3);
    object.V.row(n) = point;
    return static_cast<int>(n);
}

float Dot(const Vec3f& a, const Vec3f& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3f Minus(const Vec3f& a, const Vec3f& b)
{
    return Vec3f(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vec3f Along(const Vec3f& start, const Vec3f& direction, float t)
{
    return Vec3f(start.x + t * direction.x, start.y + t * direction.y, start.z + t * direction.z);
}

} // namespace

bool ApproachRayToEdge(const Ray& ray, const Vec3f& p0, const Vec3f& p1, EdgeApproach* approach)
{
    const Vec3f& d = ray.direction;
    const Vec3f e = Minus(p1, p0);
    const Vec3f w = Minus(ray.origin, p0);
    const float dd = Dot(d, d), ed = Dot(e, d), ee = Dot(e, e), wd = Dot(w, d), we = Dot(w, e);
    const float n = ee * dd - ed * ed;
    if (std::fabs(n) <= PARALLEL_LIMIT)
        return false;
    const float t = (we * ed - wd * ee) / n;
    float s = (we * dd - wd * ed) / n;
    s = s < 0.0f ? 0.0f : (s > 1.0f ? 1.0f : s);
    approach->s = s;
    approach->point = Along(p0, e, s);
    const Vec3f gap = Minus(Along(ray.origin, d, t), approach->point);
    approach->distance = std::sqrt(Dot(gap, gap));
    return true;
}

bool AreVerticesConnected(const Eigen::MatrixXi& F, int a, int b)
{
    if (F.cols() < 3)
        return false;
    for (Eigen::Index f = 0; f < F.rows(); ++f) {
        bool hasA = false, hasB = false;
        for (int k = 0; k < 3; ++k) {
            hasA = hasA || F(f, k) == a;
            hasB = hasB || F(f, k) == b;
        }
        if (hasA && hasB)
            return true;
    }
    return false;
}

int SplitMeshEdge(SceneObject& object, int a, int b, const Eigen::RowVector3d& point)
{
    if (a == b || !HasVertex(object, a) || !HasVertex(object, b) || !AreVerticesConnected(object.F, a, b))
        return -1;
    const int n = AppendVertex(object, point);
    ReplaceFaces(object, [&](int, const Eigen::Vector3i& corners, std::vector<Eigen::Vector3i>& out) {
        int from = -1;   // corner where the face runs from one end of the edge to the other
        for (int k = 0; k < 3; ++k) {
            const int here = corners(k), next = corners((k + 1) % 3);
            if ((here == a && next == b) || (here == b && next == a))
                from = k;
        }
        if (from < 0) {
            out.push_back(corners);
            return;
        }
        const int first = corners(from), second = corners((from + 1) % 3), third = corners((from + 2) % 3);
        out.emplace_back(first, n, third);
        out.emplace_back(n, second, third);
    });
    FitBoundsToMesh(object);
    return n;
}

int SplitMeshFace(SceneObject& object, int face, const Eigen::RowVector3d& point)
{
    if (!IsFaceInMesh(object, face))
        return -1;
    const int n = AppendVertex(object, point);
    ReplaceFaces(object, [&](int f, const Eigen::Vector3i& corners, std::vector<Eigen::Vector3i>& out) {
        if (f != face) {
            out.push_back(corners);
            return;
        }
        for (int k = 0; k < 3; ++k)
            out.emplace_back(corners(k), corners((k + 1) % 3), n);
    });
    FitBoundsToMesh(object);
    return n;
}

bool RemoveMeshVertex(SceneObject& object, int vertex)
{
    if (!HasVertex(object, vertex))
        return false;
    const Eigen::Index rows = object.V.rows();
    Eigen::MatrixXd V(rows - 1, 3);
    V.topRows(vertex) = object.V.topRows(vertex).leftCols(3);
    V.bottomRows(rows - 1 - vertex) = object.V.bottomRows(rows - 1 - vertex).leftCols(3);
    object.V = std::move(V);
    ReplaceFaces(object, [&](int, Eigen::Vector3i corners, std::vector<Eigen::Vector3i>& out) {
        if ((corners.array() == vertex).any())
            return;
        for (int k = 0; k < 3; ++k)
            if (corners(k) > vertex)
                --corners(k);
        out.push_back(corners);
    });
    FitBoundsToMesh(object);
    return true;
}

void MoveSelectedVertices(const std::vector<std::pair<int, int>>& selection, const Eigen::RowVector3d& move)
{
    std::vector<int> touched;
    for (const auto& [objectIndex, vertex] : selection) {
        if (!IsValidObjectIndex(objectIndex) || !HasVertex(g_SceneObjects[objectIndex], vertex))
            continue;
        g_SceneObjects[objectIndex].V.row(vertex).leftCols(3) += move;
        if (touched.empty() || touched.back() != objectIndex)
            touched.push_back(objectIndex);
    }
    for (int objectIndex : touched)
        FitBoundsToMesh(g_SceneObjects[objectIndex]);
}

bool SelectedVertexCentroid(Vec3f* centroid)
{
    Eigen::RowVector3d sum = Eigen::RowVector3d::Zero();
    int counted = 0;
    Eigen::MatrixXd generated;
    Eigen::MatrixXi faces;
    int generatedFor = -1;
    for (const auto& [objectIndex, vertex] : g_SelectedVertices) {
        if (!IsValidObjectIndex(objectIndex))
            continue;
        const SceneObject& object = g_SceneObjects[objectIndex];
        // A primitive's vertices exist only in its generated mesh.
        if (!object.isCSGMesh && generatedFor != objectIndex) {
            ObjectToMesh(object, generated, faces);
            generatedFor = objectIndex;
        }
        const Eigen::MatrixXd& V = object.isCSGMesh ? object.V : generated;
        if (vertex < 0 || vertex >= V.rows() || V.cols() < 3)
            continue;
        sum += V.row(vertex).leftCols(3);
        ++counted;
    }
    if (counted == 0)
        return false;
    *centroid = Vec3f(static_cast<float>(sum(0) / counted), static_cast<float>(sum(1) / counted),
                      static_cast<float>(sum(2) / counted));
    return true;
}

bool SetMeshVertex(SceneObject& object, int vertex, const Eigen::RowVector3d& position)
{
    if (!HasVertex(object, vertex))
        return false;
    object.V.row(vertex).leftCols(3) = position;
    FitBoundsToMesh(object);
    return true;
}
