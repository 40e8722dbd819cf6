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

// Face `face` gives way to `faces` (none: it is dropped); they inherit its
// paint.
struct FaceReplacement {
    int face;
    std::vector<Eigen::Vector3i> faces;
};

// The per-face entries spliced like the faces. Entries exist for a prefix of
// the faces only: replacements past the array's end leave it as it is.
template <typename T>
void SpliceValues(std::vector<T>& values, const std::vector<FaceReplacement>& replacements)
{
    if (values.empty())
        return;
    std::vector<T> spliced;
    spliced.reserve(values.size() + 2 * replacements.size());
    size_t from = 0;
    for (const FaceReplacement& replacement : replacements) {
        const size_t face = static_cast<size_t>(replacement.face);
        if (face >= values.size())
            break;
        spliced.insert(spliced.end(), values.begin() + static_cast<std::ptrdiff_t>(from),
                       values.begin() + static_cast<std::ptrdiff_t>(face));
        spliced.insert(spliced.end(), replacement.faces.size(), values[face]);
        from = face + 1;
    }
    spliced.insert(spliced.end(), values.begin() + static_cast<std::ptrdiff_t>(from), values.end());
    values = std::move(spliced);
}

// Rebuilds F with the replacements (in increasing face order) in place of
// their faces; the runs of faces between them are copied whole, so an edit
// costs a copy of the mesh, not a pass over it face by face.
void SpliceFaces(SceneObject& object, const std::vector<FaceReplacement>& replacements)
{
    if (object.F.cols() < 3)
        return;
    const Eigen::Index rows = object.F.rows();
    Eigen::Index newRows = rows;
    for (const FaceReplacement& replacement : replacements)
        newRows += static_cast<Eigen::Index>(replacement.faces.size()) - 1;
    Eigen::MatrixXi F(newRows, 3);
    Eigen::Index from = 0, to = 0;
    for (const FaceReplacement& replacement : replacements) {
        const Eigen::Index run = replacement.face - from;
        F.middleRows(to, run) = object.F.middleRows(from, run).leftCols(3);
        to += run;
        for (const Eigen::Vector3i& face : replacement.faces)
            F.row(to++) = face.transpose();
        from = replacement.face + 1;
    }
    F.bottomRows(rows - from) = object.F.bottomRows(rows - from).leftCols(3);
    object.F = std::move(F);
    SpliceValues(object.faceTextureIDs, replacements);
    SpliceValues(object.faceTextureScales, replacements);
    SpliceValues(object.faceColors, replacements);
}

bool HasCorner(const Eigen::MatrixXi& F, Eigen::Index face, int vertex)
{
    return F(face, 0) == vertex || F(face, 1) == vertex || F(face, 2) == vertex;
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
    for (Eigen::Index f = 0; f < F.rows(); ++f)
        if (HasCorner(F, f, a) && HasCorner(F, f, b))
            return true;
    return false;
}

int SplitMeshEdge(SceneObject& object, int a, int b, const Eigen::RowVector3d& point)
{
    if (a == b || !HasVertex(object, a) || !HasVertex(object, b) || object.F.cols() < 3)
        return -1;
    const Eigen::Array<bool, Eigen::Dynamic, 1> holdsEdge =
        (object.F.array() == a).rowwise().any() && (object.F.array() == b).rowwise().any();
    if (!holdsEdge.any())
        return -1;
    const int n = AppendVertex(object, point);
    std::vector<FaceReplacement> replacements;
    for (int f = 0; f < static_cast<int>(object.F.rows()); ++f) {
        if (!holdsEdge(f))
            continue;
        // The corner where the face runs from one end of the edge to the other.
        int from = 0;
        for (int k = 0; k < 3; ++k) {
            const int here = object.F(f, k), next = object.F(f, (k + 1) % 3);
            if ((here == a && next == b) || (here == b && next == a))
                from = k;
        }
        const int first = object.F(f, from), second = object.F(f, (from + 1) % 3), third = object.F(f, (from + 2) % 3);
        replacements.push_back({f, {Eigen::Vector3i(first, n, third), Eigen::Vector3i(n, second, third)}});
    }
    SpliceFaces(object, replacements);
    FitBoundsToMesh(object);
    return n;
}

int SplitMeshFace(SceneObject& object, int face, const Eigen::RowVector3d& point)
{
    if (!IsFaceInMesh(object, face))
        return -1;
    const int n = AppendVertex(object, point);
    const Eigen::Vector3i corners = object.F.row(face).leftCols(3).transpose();
    SpliceFaces(object, {{face,
                          {Eigen::Vector3i(corners(0), corners(1), n), Eigen::Vector3i(corners(1), corners(2), n),
                           Eigen::Vector3i(corners(2), corners(0), n)}}});
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
    std::vector<FaceReplacement> dropped;
    for (int f = 0; f < static_cast<int>(object.F.rows()) && object.F.cols() >= 3; ++f)
        if (HasCorner(object.F, f, vertex))
            dropped.push_back({f, {}});
    // Later rows moved down by one.
    object.F = (object.F.array() > vertex).select(object.F.array() - 1, object.F.array()).matrix();
    SpliceFaces(object, dropped);
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
