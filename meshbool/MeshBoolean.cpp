// Exact mesh booleans on CGAL's exact kernel. This is the only translation unit
// of the module that sees CGAL (it takes long to compile; keep it alone).
//
// Route: check and merge each operand soup (exact point merging). Only the
// triangles whose boxes meet a triangle box of the other operand can touch it;
// they become exact surface meshes (non-manifold vertices and edges split and
// declared to the corefinement) and are corefined while birth faces follow
// their sub-faces. Each corefined mesh splits into patches bounded by
// intersection edges; each patch is classified once against the other operand
// (inside, outside, on it with the same or the opposite orientation). The
// untouched triangles form groups joined through shared points, each wholly
// inside or outside and asked once. The operation then keeps and orients what
// it needs, and exact points are rounded to the nearest double, equal results
// merged. Where rounding spoils a result, other ways of snapping and cutting
// are tried (for XOR, first the union of the two differences). The first way
// runs on the caller's thread; the other ways are tried by worker threads at
// once, and the lowest way that succeeds is taken, as if tried in turn.
#include "meshbool/MeshBoolean.h"

#include <Eigen/Eigenvalues>
#include <Eigen/Geometry>

#include <CGAL/Surface_mesh.h>
#include <CGAL/AABB_traits.h>
#include <CGAL/AABB_tree.h>
#include <CGAL/AABB_triangle_primitive.h>
#include <CGAL/Exact_predicates_exact_constructions_kernel.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
// What the corefinement builds on, with CGAL's usual assertions.
#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Polygon_mesh_processing/connected_components.h>
#include <CGAL/Polygon_mesh_processing/orientation.h>
#include <CGAL/Polygon_mesh_processing/stitch_borders.h>
#include <CGAL/Projection_traits_3.h>
#include <CGAL/Side_of_triangle_mesh.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#include <CGAL/boost/graph/Euler_operations.h>
#include <CGAL/boost/graph/copy_face_graph.h>
// The assertions of the corefinement's visitor stay on in every build: where
// it meets a case it cannot handle it then throws (and another way is tried)
// instead of reading past its tables, so optimised and debug builds agree.
// Its whole-triangulation validity checks are left out (they cost more than
// the corefinement); the rest of CGAL keeps the build's setting.
#if defined(CGAL_NO_ASSERTIONS)
constexpr bool IsCheapCgalCheck(const char* text)
{
    for (const char* p = text; *p; ++p)
        if (p[0] == 'i' && p[1] == 's' && p[2] == '_' && p[3] == 'v' && p[4] == 'a' && p[5] == 'l' && p[6] == 'i' &&
            p[7] == 'd')
            return false;
    return true;
}
#undef CGAL_assertion
#undef CGAL_assertion_msg
#undef CGAL_assertion_code
#define CGAL_assertion(EX)                                                                                     \
    (!IsCheapCgalCheck(#EX) || CGAL::possibly(EX) ? static_cast<void>(0)                                       \
                                                  : ::CGAL::assertion_fail(#EX, __FILE__, __LINE__))
#define CGAL_assertion_msg(EX, MSG)                                                                            \
    (!IsCheapCgalCheck(#EX) || CGAL::possibly(EX) ? static_cast<void>(0)                                       \
                                                  : ::CGAL::assertion_fail(#EX, __FILE__, __LINE__, MSG))
#define CGAL_assertion_code(CODE) CODE
#include <CGAL/Polygon_mesh_processing/Non_manifold_feature_map.h>
#include <CGAL/Polygon_mesh_processing/internal/Corefinement/intersection_impl.h>
#include <CGAL/Polygon_mesh_processing/internal/Corefinement/Visitor.h>
#undef CGAL_assertion
#undef CGAL_assertion_msg
#undef CGAL_assertion_code
#define CGAL_assertion(EX) (static_cast<void>(0))
#define CGAL_assertion_msg(EX, MSG) (static_cast<void>(0))
#define CGAL_assertion_code(CODE)
#endif
#include "meshbool/CorefinementBoxes.h"
#include <CGAL/Polygon_mesh_processing/intersection.h>
#include <CGAL/Polygon_mesh_processing/corefinement.h>
#include <CGAL/Polygon_mesh_processing/internal/Side_of_triangle_mesh/Point_inside_vertical_ray_cast.h>
#include <CGAL/Polygon_mesh_processing/orient_polygon_soup.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/box_intersection_d.h>
// Needs the graph traits of Surface_mesh above.
#include <CGAL/Polygon_mesh_processing/Non_manifold_feature_map.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cfloat>
#include <climits>
#include <condition_variable>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace PMP = CGAL::Polygon_mesh_processing;

namespace {

typedef CGAL::Exact_predicates_inexact_constructions_kernel IK;
typedef CGAL::Exact_predicates_exact_constructions_kernel EK;
typedef CGAL::Surface_mesh<EK::Point_3> ExactMesh;
typedef ExactMesh::Vertex_index VertexIndex;
typedef ExactMesh::Face_index FaceIndex;
typedef ExactMesh::Edge_index EdgeIndex;
typedef ExactMesh::Halfedge_index HalfedgeIndex;
typedef EK::FT::Exact_type ExactNumber;

typedef std::array<double, 3> Point3d;
typedef std::array<int, 3> Tri;

// Relative volume below which a closed mesh counts as flat (a knife, a primitive
// of zero height): |signed volume| against the sum of |tetrahedron volumes|.
const double FLAT_VOLUME_RATIO = 1e-12;

// Vertices of a patch tried with the fast inexact-construction query before the
// exact centroid query takes over.
const int MAX_FAST_CLASSIFY_TRIES = 16;

// Ways tried at once on worker threads: while one works on a way, a lower way
// that succeeds on another makes its result useless, and it stops at its next
// check (one nudge, one cut of a face) with this.
struct WayAbandoned
{
};
thread_local const std::atomic<int>* t_lowestSucceeded = nullptr;
thread_local int t_way = 0;

void StopIfAbandoned()
{
    if (t_lowestSucceeded && t_lowestSucceeded->load(std::memory_order_relaxed) < t_way)
        throw WayAbandoned();
}

// Worker threads are started on first need and kept for the rest of the run:
// with MinGW a thread that ends frees its thread-local storage before the
// destructors of CGAL's thread-local objects run, which corrupts the heap.
struct WorkerPool
{
    std::mutex mutex;
    std::condition_variable wake, finished;
    int started = 0;
    unsigned long round = 0;
    int wanted = 0, running = 0;
    const std::function<void()>* job = nullptr;
};

void ServePool(WorkerPool* pool, int index)
{
    unsigned long seen = 0;
    std::unique_lock<std::mutex> lock(pool->mutex);
    for (;;)
    {
        pool->wake.wait(lock, [&]() { return pool->round != seen; });
        seen = pool->round;
        if (index >= pool->wanted)
            continue;
        const std::function<void()>& job = *pool->job;
        lock.unlock();
        job();
        lock.lock();
        if (--pool->running == 0)
            pool->finished.notify_all();
    }
}

// Runs `job` on `count` threads, the caller's included, and returns when every
// run has ended. A call while another uses the workers runs it on the caller's
// thread alone.
void RunOnWorkers(int count, const std::function<void()>& job)
{
    static WorkerPool* const pool = new WorkerPool; // kept, as its threads are
    static std::mutex inUse;
    std::unique_lock<std::mutex> use(inUse, std::try_to_lock);
    if (count > 1 && use.owns_lock())
    {
        std::lock_guard<std::mutex> lock(pool->mutex);
        for (; pool->started < count - 1; ++pool->started)
            std::thread(ServePool, pool, pool->started).detach();
        pool->job = &job;
        pool->wanted = pool->running = count - 1;
        ++pool->round;
    }
    else
        count = 1;
    if (count > 1)
        pool->wake.notify_all();
    job();
    if (count > 1)
    {
        std::unique_lock<std::mutex> lock(pool->mutex);
        pool->finished.wait(lock, [&]() { return pool->running == 0; });
    }
}

// One checked operand: distinct points (exact input doubles) and the triangles
// in the order of F, indexing those points.
struct OperandSoup
{
    std::vector<Point3d> points;
    std::vector<int> pointRow; // an input row of each point, for messages
    std::vector<Tri> triangles;
    double bbox[6] = {0, 0, 0, 0, 0, 0};
    // Points moved exactly onto the other operand's nearby planes (see
    // SnapToNearbyPlanes): index into `snapped` per point, or -1.
    std::vector<int> snapOf;
    std::vector<EK::Point_3> snapped;
    // The input triangle of each triangle where snapping replaced some (see
    // FlipFlattenedEdges); empty while each triangle is its own.
    std::vector<int> birthOf;
};

double LargestCoordinate(const OperandSoup& soup)
{
    double scale = 0;
    for (double c : soup.bbox)
        scale = std::max(scale, std::fabs(c));
    return scale;
}

bool IsSnapped(const OperandSoup& soup, int u)
{
    return !soup.snapped.empty() && soup.snapOf[size_t(u)] >= 0;
}

EK::Point_3 ExactPointOf(const OperandSoup& soup, int u)
{
    if (IsSnapped(soup, u))
        return soup.snapped[size_t(soup.snapOf[size_t(u)])];
    const Point3d& p = soup.points[size_t(u)];
    return EK::Point_3(p[0], p[1], p[2]);
}

std::string RowText(int row)
{
    return std::to_string(row);
}

IK::Point_3 ToInexact(const Point3d& p)
{
    return IK::Point_3(p[0], p[1], p[2]);
}

bool CheckShapesAndValues(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, std::string& reason)
{
    if (V.rows() > 0 && V.cols() != 3)
    {
        reason = "the vertex matrix has " + std::to_string(V.cols()) + " columns instead of 3";
        return false;
    }
    if (F.rows() > 0 && F.cols() != 3)
    {
        reason = "the triangle matrix has " + std::to_string(F.cols()) + " columns instead of 3";
        return false;
    }
    for (Eigen::Index r = 0; r < V.rows(); ++r)
        for (int c = 0; c < 3; ++c)
            if (!std::isfinite(V(r, c)))
            {
                reason = "vertex " + RowText(int(r)) + " has a non-finite coordinate";
                return false;
            }
    const Eigen::Index n = V.rows();
    for (Eigen::Index r = 0; r < F.rows(); ++r)
        for (int c = 0; c < 3; ++c)
            if (F(r, c) < 0 || F(r, c) >= n)
            {
                reason = "triangle " + RowText(int(r)) + " refers to vertex " + std::to_string(F(r, c)) +
                         ", outside the " + std::to_string(n) + " vertices";
                return false;
            }
    return true;
}

// Operands whose largest coordinate lies beyond these are worked on scaled by
// a power of two, so that it lies between 1 and 2: every tolerance here is
// relative to the largest coordinate, but products of coordinates under- or
// overflow doubles at such sizes (turned boxes of side 1e-110 then crossed by
// rounding). Scaling by a power of two changes no bit of a coordinate and no
// exact decision; the result is scaled back.
const double SCALED_BELOW = 0x1p-64, SCALED_FROM = 0x1p64;

// The exponent of that power of two (0: not scaled). Where shrinking would
// round a coordinate into the subnormals, nothing is scaled. Shapes and
// indices are already checked.
int ScaleExponent(const std::vector<std::pair<const Eigen::MatrixXd*, const Eigen::MatrixXi*>>& operands)
{
    double largest = 0;
    for (const auto& [V, F] : operands)
        for (Eigen::Index r = 0; r < F->rows(); ++r)
            for (int c = 0; c < 3; ++c)
                largest = std::max({largest, std::fabs((*V)((*F)(r, c), 0)), std::fabs((*V)((*F)(r, c), 1)),
                                    std::fabs((*V)((*F)(r, c), 2))});
    if (largest == 0 || (largest >= SCALED_BELOW && largest < SCALED_FROM))
        return 0;
    const int exponent = -std::ilogb(largest);
    if (exponent < 0)
    {
        const double smallest = std::ldexp(1.0, std::numeric_limits<double>::min_exponent - 1 - exponent);
        for (const auto& [V, F] : operands)
            for (Eigen::Index r = 0; r < F->rows(); ++r)
                for (int c = 0; c < 3; ++c)
                    for (int k = 0; k < 3; ++k)
                    {
                        const double x = (*V)((*F)(r, c), k);
                        if (x != 0 && std::fabs(x) < smallest && std::ldexp(std::ldexp(x, exponent), -exponent) != x)
                            return 0;
                    }
    }
    return exponent;
}

// Merges exactly equal points and keeps only the referenced ones, taken times
// 2^exponent.
void MergePoints(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, int exponent, OperandSoup& soup)
{
    const int n = int(V.rows());
    std::vector<char> used(n, 0);
    for (Eigen::Index r = 0; r < F.rows(); ++r)
        for (int c = 0; c < 3; ++c)
            used[F(r, c)] = 1;
    std::vector<int> rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i)
        if (used[i])
            rows.push_back(i);
    auto less = [&](int a, int b) {
        for (int c = 0; c < 3; ++c)
        {
            if (V(a, c) < V(b, c))
                return true;
            if (V(b, c) < V(a, c))
                return false;
        }
        return a < b;
    };
    std::sort(rows.begin(), rows.end(), less);
    std::vector<int> pointOfRow(n, -1);
    for (size_t k = 0; k < rows.size(); ++k)
    {
        const int r = rows[k];
        const bool same = k > 0 && V(r, 0) == V(rows[k - 1], 0) && V(r, 1) == V(rows[k - 1], 1) &&
                          V(r, 2) == V(rows[k - 1], 2);
        if (!same)
        {
            // +0.0 for -0.0: the same value, one spelling
            soup.points.push_back({std::ldexp(V(r, 0), exponent) + 0.0, std::ldexp(V(r, 1), exponent) + 0.0,
                                   std::ldexp(V(r, 2), exponent) + 0.0});
            soup.pointRow.push_back(r);
        }
        pointOfRow[r] = int(soup.points.size()) - 1;
    }
    soup.triangles.resize(size_t(F.rows()));
    for (Eigen::Index r = 0; r < F.rows(); ++r)
        soup.triangles[size_t(r)] = {pointOfRow[F(r, 0)], pointOfRow[F(r, 1)], pointOfRow[F(r, 2)]};
    if (!soup.points.empty())
    {
        for (int c = 0; c < 3; ++c)
        {
            soup.bbox[c] = soup.bbox[c + 3] = soup.points[0][c];
        }
        for (const Point3d& p : soup.points)
            for (int c = 0; c < 3; ++c)
            {
                soup.bbox[c] = std::min(soup.bbox[c], p[c]);
                soup.bbox[c + 3] = std::max(soup.bbox[c + 3], p[c]);
            }
    }
}

bool CheckTriangles(const OperandSoup& soup, std::string& reason)
{
    for (size_t t = 0; t < soup.triangles.size(); ++t)
    {
        const Tri& tri = soup.triangles[t];
        if (tri[0] == tri[1] || tri[1] == tri[2] || tri[0] == tri[2])
        {
            reason = "triangle " + RowText(int(t)) + " is degenerate (two corners at the same point)";
            return false;
        }
        if (CGAL::collinear(ToInexact(soup.points[tri[0]]), ToInexact(soup.points[tri[1]]),
                            ToInexact(soup.points[tri[2]])))
        {
            reason = "triangle " + RowText(int(t)) + " is degenerate (zero area)";
            return false;
        }
    }
    return true;
}

bool HasDirectedEdge(const Tri& t, int u, int v)
{
    return (t[0] == u && t[1] == v) || (t[1] == u && t[2] == v) || (t[2] == u && t[0] == v);
}

// The triangles around each point.
struct TrianglesAround
{
    std::vector<int> start, around;

    TrianglesAround(size_t pointCount, const std::vector<Tri>& triangles) : start(pointCount + 1, 0)
    {
        for (const Tri& tri : triangles)
            for (int c = 0; c < 3; ++c)
                ++start[size_t(tri[c]) + 1];
        for (size_t i = 0; i < pointCount; ++i)
            start[i + 1] += start[i];
        around.resize(size_t(start[pointCount]));
        std::vector<int> fill(start.begin(), start.end() - 1);
        for (size_t t = 0; t < triangles.size(); ++t)
            for (int c = 0; c < 3; ++c)
                around[size_t(fill[size_t(triangles[t][c])]++)] = int(t);
    }
};

// Going round an edge more than two triangles share (parts touching along
// it), the triangles must alternate in direction: two neighbours running the
// same way bound a wedge inside both parts, or outside both, so the parts
// overlap there or one is inside out, though no two triangles cross. Rounding
// can turn faces that touch back to back a hair past each other. Triangles in
// one half-plane of the edge count by their balance: a face and its reverse
// (faces touching, a flat pillow) are no wedge, and two faces one way
// overlap. `at` holds the triangles at the edge uv. Exact predicates only.
bool SharedEdgeAlternates(const std::vector<Point3d>& points, const std::vector<Tri>& triangles, int u, int v,
                          const std::vector<int>& at)
{
    struct Wing
    {
        IK::Point_3 tip;
        int half; // 0 with the first wing, 1 less than a half turn on, 2 a half turn, 3 more
        int way;  // 1 along uv, -1 against it
    };
    const IK::Point_3 a = ToInexact(points[size_t(u)]), b = ToInexact(points[size_t(v)]);
    std::vector<Wing> wings;
    for (int t : at)
    {
        const Tri& tri = triangles[size_t(t)];
        const int tip = tri[0] != u && tri[0] != v ? tri[0] : tri[1] != u && tri[1] != v ? tri[1] : tri[2];
        wings.push_back({ToInexact(points[size_t(tip)]), 0, HasDirectedEdge(tri, u, v) ? 1 : -1});
    }
    for (size_t j = 1; j < wings.size(); ++j)
    {
        const CGAL::Orientation o = CGAL::orientation(a, b, wings[0].tip, wings[j].tip);
        if (o != CGAL::COPLANAR)
            wings[j].half = o == CGAL::POSITIVE ? 1 : 3;
        else
            wings[j].half = CGAL::coplanar_orientation(a, b, wings[0].tip, wings[j].tip) == CGAL::NEGATIVE ? 2 : 0;
    }
    // Within a half turn the orientation orders two wings.
    auto sameAngle = [&](const Wing& x, const Wing& y) {
        return x.half == y.half && (x.half % 2 == 0 || CGAL::orientation(a, b, x.tip, y.tip) == CGAL::COPLANAR);
    };
    std::sort(wings.begin(), wings.end(), [&](const Wing& x, const Wing& y) {
        if (x.half != y.half)
            return x.half < y.half;
        return x.half % 2 == 1 && CGAL::orientation(a, b, x.tip, y.tip) == CGAL::POSITIVE;
    });
    std::vector<int> ways;
    for (size_t i = 0, j = 0; i < wings.size(); i = j)
    {
        int balance = 0;
        for (j = i; j < wings.size() && sameAngle(wings[i], wings[j]); ++j)
            balance += wings[j].way;
        if (balance < -1 || balance > 1)
            return false;
        if (balance != 0)
            ways.push_back(balance);
    }
    for (size_t i = 0; i < ways.size(); ++i)
        if (ways[i] == ways[(i + 1) % ways.size()])
            return false;
    return true;
}

// An edge more than two triangles share (parts touching along it), with
// those triangles.
struct SharedEdge
{
    int u, v;
    std::vector<int> at;
};

// Closed means every edge is crossed as often in one direction as in the
// other, which also covers the edges touching parts share; those are listed.
// At the first edge that is not, `open` holds its ends and its counts one way
// and the other.
bool EdgesBalanced(const std::vector<Point3d>& points, const std::vector<Tri>& triangles, std::vector<SharedEdge>& shared,
                   std::array<int, 4>& open)
{
    shared.clear();
    const TrianglesAround ring(points.size(), triangles);
    std::vector<int> at;
    for (size_t t = 0; t < triangles.size(); ++t)
        for (int c = 0; c < 3; ++c)
        {
            const int u = triangles[t][c], v = triangles[t][(c + 1) % 3];
            int forward = 0, backward = 0;
            at.clear();
            for (int k = ring.start[size_t(u)]; k < ring.start[size_t(u) + 1]; ++k)
            {
                const int s = ring.around[size_t(k)];
                const bool f = HasDirectedEdge(triangles[size_t(s)], u, v);
                const bool b = HasDirectedEdge(triangles[size_t(s)], v, u);
                forward += f;
                backward += b;
                if (f || b)
                    at.push_back(s);
            }
            if (forward != backward)
            {
                open = {u, v, forward, backward};
                return false;
            }
            // Each shared edge once: from its first triangle.
            if (forward > 1 && at[0] == int(t))
                shared.push_back({u, v, at});
        }
    return true;
}

bool CheckClosed(const OperandSoup& soup, std::string& reason)
{
    std::vector<SharedEdge> shared;
    std::array<int, 4> open;
    if (EdgesBalanced(soup.points, soup.triangles, shared, open))
        return true;
    reason = "the mesh is not closed: the edge between vertices " + RowText(soup.pointRow[size_t(open[0])]) +
             " and " + RowText(soup.pointRow[size_t(open[1])]) + " borders " + std::to_string(open[2]) +
             " triangle(s) one way and " + std::to_string(open[3]) + " the other way";
    return false;
}

// The signed volume (times 6) of triangles and their area (times 2) times
// their extent, on coordinates scaled by a power of two so that tiny and huge
// meshes neither underflow nor overflow. A solid's volume is a fair share of
// the product; a flat piece's is next to nothing of it. The volume of a
// needle or a ribbon, long but next to nothing across, is below the rounding
// error of its terms, even of its sign: there it is summed again exactly.
void VolumeAndMagnitude(const std::vector<Point3d>& points, const std::vector<Tri>& triangles,
                        const std::vector<int>& which, double& volume, double& magnitude)
{
    volume = magnitude = 0;
    if (which.empty())
        return;
    const Point3d& o = points[size_t(triangles[size_t(which[0])][0])];
    double extent = 0;
    for (int t : which)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                extent = std::max(extent, std::fabs(points[size_t(triangles[size_t(t)][c])][k] - o[k]));
    int exponent = 0;
    std::frexp(extent, &exponent);
    // A power of two: the scaling is exact.
    const double factor = std::ldexp(1.0, -std::max(-1000, std::min(1000, exponent)));
    const double rest = std::ldexp(1.0, -(exponent - std::max(-1000, std::min(1000, exponent))));
    double error = 0;
    auto norm = [](double x, double y, double z) { return std::fabs(x) + std::fabs(y) + std::fabs(z); };
    for (int t : which)
    {
        const Tri& tri = triangles[size_t(t)];
        double a[3], b[3], c[3];
        for (int k = 0; k < 3; ++k)
        {
            a[k] = (points[size_t(tri[0])][k] - o[k]) * factor * rest;
            b[k] = (points[size_t(tri[1])][k] - o[k]) * factor * rest;
            c[k] = (points[size_t(tri[2])][k] - o[k]) * factor * rest;
        }
        const double cross[3] = {(b[1] - a[1]) * (c[2] - a[2]) - (b[2] - a[2]) * (c[1] - a[1]),
                                 (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]),
                                 (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])};
        volume += a[0] * cross[0] + a[1] * cross[1] + a[2] * cross[2];
        magnitude += std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]);
        // A generous bound on this term's rounding error, offsets included.
        error += 64 * DBL_EPSILON * norm(a[0], a[1], a[2]) * norm(b[0] - a[0], b[1] - a[1], b[2] - a[2]) *
                 norm(c[0] - a[0], c[1] - a[1], c[2] - a[2]);
    }
    // Scaled coordinates span at most 2 from o.
    if (std::fabs(volume) > error)
        return;
    ExactNumber sum = 0;
    const ExactNumber scale = ExactNumber(factor) * ExactNumber(rest);
    for (int t : which)
    {
        ExactNumber p[3][3];
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                p[c][k] = (ExactNumber(points[size_t(triangles[size_t(t)][c])][k]) - ExactNumber(o[k])) * scale;
        sum += p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) - p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
               p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0]);
    }
    volume = CGAL::to_double(sum);
}

bool IsFlat(double volume, double magnitude)
{
    return !(std::fabs(volume) > FLAT_VOLUME_RATIO * magnitude) || volume == 0;
}

bool CheckVolume(const OperandSoup& soup, std::string& reason)
{
    std::vector<int> all(soup.triangles.size());
    for (size_t t = 0; t < all.size(); ++t)
        all[t] = int(t);
    double volume, magnitude;
    VolumeAndMagnitude(soup.points, soup.triangles, all, volume, magnitude);
    if (IsFlat(volume, magnitude))
    {
        reason = "the mesh is flat (zero volume)";
        return false;
    }
    if (volume < 0)
    {
        reason = "the mesh is inside out (its triangles face inwards, negative volume)";
        return false;
    }
    return true;
}

// The coordinate axis the triangle abc looks widest along (its normal's
// largest component, in doubles).
template <class K>
int WidestSeenAlong(const typename K::Point_3& a, const typename K::Point_3& b, const typename K::Point_3& c)
{
    const Eigen::Vector3d u(CGAL::to_double(b.x() - a.x()), CGAL::to_double(b.y() - a.y()), CGAL::to_double(b.z() - a.z()));
    const Eigen::Vector3d v(CGAL::to_double(c.x() - a.x()), CGAL::to_double(c.y() - a.y()), CGAL::to_double(c.z() - a.z()));
    Eigen::Index widest = 0;
    u.cross(v).cwiseAbs().maxCoeff(&widest);
    return int(widest);
}

// p seen along axis k.
template <class K>
typename K::Point_2 DropAxis(const typename K::Point_3& p, int k)
{
    return typename K::Point_2(p[(k + 1) % 3], p[(k + 2) % 3]);
}

// Coplanar triangles are tested in the coordinate plane their plane projects
// onto without loss: exact 2D orientations are far cheaper than the 3D ones.
// Points are seen along the axis the triangle of the first three looks widest
// along; false when that triangle is degenerate there (the 3D tests decide).
template <class K>
bool ProjectOntoCoordinatePlane(const typename K::Point_3* points[], int count, typename K::Point_2 out[])
{
    const int k = WidestSeenAlong<K>(*points[0], *points[1], *points[2]);
    for (int i = 0; i < count; ++i)
        out[i] = DropAxis<K>(*points[i], k);
    return CGAL::orientation(out[0], out[1], out[2]) != CGAL::COLLINEAR;
}

// Does a line through an edge of the triangle or segment p have all of q
// strictly on a side p is not on?
template <class Point2>
bool EdgeSeparates(const Point2* p, int pCount, const Point2* q, int qCount)
{
    for (int i = 0; i < (pCount == 2 ? 1 : 3); ++i)
    {
        const Point2 &a = p[i], &b = p[(i + 1) % pCount];
        const CGAL::Orientation inner = pCount == 3 ? CGAL::orientation(a, b, p[(i + 2) % 3]) : CGAL::COLLINEAR;
        const CGAL::Orientation side = CGAL::orientation(a, b, q[0]);
        bool separates = side != CGAL::COLLINEAR && side != inner;
        for (int j = 1; j < qCount && separates; ++j)
            separates = CGAL::orientation(a, b, q[j]) == side;
        if (separates)
            return true;
    }
    return false;
}

// Do a closed triangle and a closed triangle or segment, all in one plane,
// meet? (Disjoint convex figures have a separating line along an edge of one.)
template <class Point2>
bool CoplanarFiguresMeet(const Point2* triangle, const Point2* q, int qCount)
{
    return !EdgeSeparates(triangle, 3, q, qCount) && !EdgeSeparates(q, qCount, triangle, 3);
}

// Triangles s and t share the edge of s's corners u and v; q is t's other
// corner. Seen along the axis s is widest from, do the other corners lie
// strictly on opposite sides of that edge?
template <class K>
bool NeighboursApartInShadow(const typename K::Point_3 s[3], int u, int v, const typename K::Point_3& q)
{
    const int k = WidestSeenAlong<K>(s[0], s[1], s[2]);
    const typename K::Point_2 a = DropAxis<K>(s[u], k), b = DropAxis<K>(s[v], k);
    const CGAL::Orientation sideS = CGAL::orientation(a, b, DropAxis<K>(s[3 - u - v], k));
    const CGAL::Orientation sideT = CGAL::orientation(a, b, DropAxis<K>(q, k));
    return sideS != CGAL::COLLINEAR && sideT != CGAL::COLLINEAR && sideS != sideT;
}

// Triangles s and t share only s's corner i, t's corner j. Seen along the
// axis s is widest from (s not edge-on), is there a line along one of their
// edges at that corner with one triangle's other corners strictly on one side
// and the other's on the other? Then their shadows meet only at the corner.
template <class K>
bool CornerNeighboursApartInShadow(const typename K::Point_3 s[3], int i, const typename K::Point_3 t[3], int j)
{
    const int k = WidestSeenAlong<K>(s[0], s[1], s[2]);
    const typename K::Point_2 p = DropAxis<K>(s[i], k);
    const typename K::Point_2 fan[2][2] = {{DropAxis<K>(s[(i + 1) % 3], k), DropAxis<K>(s[(i + 2) % 3], k)},
                                           {DropAxis<K>(t[(j + 1) % 3], k), DropAxis<K>(t[(j + 2) % 3], k)}};
    if (CGAL::orientation(p, fan[0][0], fan[0][1]) == CGAL::COLLINEAR)
        return false;
    for (int own = 0; own < 2; ++own)
        for (int e = 0; e < 2; ++e)
        {
            const CGAL::Orientation inner = CGAL::orientation(p, fan[own][e], fan[own][1 - e]);
            if (inner == CGAL::COLLINEAR)
                continue;
            const CGAL::Orientation outer = CGAL::orientation(p, fan[own][e], fan[1 - own][0]);
            if (outer != CGAL::COLLINEAR && outer != inner &&
                CGAL::orientation(p, fan[own][e], fan[1 - own][1]) == outer)
                return true;
        }
    return false;
}

// Shewchuk's bound on the error of the 3D orientation determinant evaluated
// in doubles, relative to its permanent. It holds only while no product
// underflows: below this permanent, rounding into subnormals can cost more.
const double ORIENTATION_ERROR = (7.0 + 56.0 * 0x1p-53) * 0x1p-53;
const double MIN_ORIENTATION_PERMANENT = 0x1p-900;

// The side of d against the plane of abc (as CGAL::orientation gives it)
// where doubles decide it; false when it is too close to call. Faces of
// symmetric meshes often lie exactly in one plane, which only exact
// arithmetic can confirm.
bool OrientationInDoubles(const IK::Point_3& a, const IK::Point_3& b, const IK::Point_3& c, const IK::Point_3& d,
                          CGAL::Orientation& side)
{
    const double adx = a.x() - d.x(), bdx = b.x() - d.x(), cdx = c.x() - d.x();
    const double ady = a.y() - d.y(), bdy = b.y() - d.y(), cdy = c.y() - d.y();
    const double adz = a.z() - d.z(), bdz = b.z() - d.z(), cdz = c.z() - d.z();
    const double det = adx * (bdy * cdz - bdz * cdy) + bdx * (cdy * adz - cdz * ady) + cdx * (ady * bdz - adz * bdy);
    const double permanent = std::fabs(adx) * (std::fabs(bdy * cdz) + std::fabs(bdz * cdy)) +
                             std::fabs(bdx) * (std::fabs(cdy * adz) + std::fabs(cdz * ady)) +
                             std::fabs(cdx) * (std::fabs(ady * bdz) + std::fabs(adz * bdy));
    if (!(permanent >= MIN_ORIENTATION_PERMANENT) || !(std::fabs(det) > ORIENTATION_ERROR * permanent))
        return false;
    // det(a - d, b - d, c - d) is positive where d lies on the negative side.
    side = det > 0 ? CGAL::NEGATIVE : CGAL::POSITIVE;
    return true;
}

// Do the shadows of two triangles, seen along the axis s is widest from, lie
// apart? Then so do the triangles.
template <class K>
bool ShadowsApart(const typename K::Point_3 s[3], const typename K::Point_3 t[3])
{
    const int k = WidestSeenAlong<K>(s[0], s[1], s[2]);
    const typename K::Point_2 fs[3] = {DropAxis<K>(s[0], k), DropAxis<K>(s[1], k), DropAxis<K>(s[2], k)};
    const typename K::Point_2 ft[3] = {DropAxis<K>(t[0], k), DropAxis<K>(t[1], k), DropAxis<K>(t[2], k)};
    return EdgeSeparates(fs, 3, ft, 3) || EdgeSeparates(ft, 3, fs, 3);
}

// Do two triangles meet anywhere but at the vertices and edges they share?
// P gives a point of kernel K by its index.
template <class K, class PointOf>
bool TrianglesMeet(const PointOf& P, const Tri& s, const Tri& t)
{
    typedef typename K::Point_3 Point3;
    typedef typename K::Point_2 Point2;
    int sharedS[3], sharedT[3], shared = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (s[i] == t[j])
            {
                sharedS[shared] = i;
                sharedT[shared] = j;
                ++shared;
            }
    if (shared == 3)
        return true; // the same triangle twice
    const Point3 ps[3] = {P(s[0]), P(s[1]), P(s[2])}, pt[3] = {P(t[0]), P(t[1]), P(t[2])};
    // Seen along an axis s is not seen edge-on from, neighbours whose shadows
    // meet only on what they share cannot meet elsewhere, coplanar or not.
    // That spares the exact 3D tests of neighbours on a nearly flat stretch
    // (the halves of a rounded quad), which rounding leaves to exact arithmetic.
    if (shared == 2 && NeighboursApartInShadow<K>(ps, sharedS[0], sharedS[1], pt[3 - sharedT[0] - sharedT[1]]))
        return false;
    if (shared == 1 && CornerNeighboursApartInShadow<K>(ps, sharedS[0], pt, sharedT[0]))
        return false;
    // With exact points, the 3D orientations of points flattened onto one
    // plane always fall to exact arithmetic; the 2D ones of their shadows
    // seldom do, so apart shadows are looked for first.
    if constexpr (!std::is_same<K, IK>::value)
        if (shared == 0 && ShadowsApart<K>(ps, pt))
            return false;
    // t's corners against s's plane; shared ones lie on it.
    CGAL::Orientation sideOfT[3] = {CGAL::COPLANAR, CGAL::COPLANAR, CGAL::COPLANAR};
    bool inDoubt[3] = {false, false, false};
    for (int j = 0; j < 3; ++j)
        if (s[0] != t[j] && s[1] != t[j] && s[2] != t[j])
        {
            if constexpr (std::is_same<K, IK>::value)
                inDoubt[j] = !OrientationInDoubles(ps[0], ps[1], ps[2], pt[j], sideOfT[j]);
            else
                sideOfT[j] = CGAL::orientation(ps[0], ps[1], ps[2], pt[j]);
        }
    // Apart triangles nearly in one plane: their shadows are compared before
    // anything exact is computed.
    if ((inDoubt[0] || inDoubt[1] || inDoubt[2]) && shared == 0 && ShadowsApart<K>(ps, pt))
        return false;
    for (int j = 0; j < 3; ++j)
        if (inDoubt[j])
            sideOfT[j] = CGAL::orientation(ps[0], ps[1], ps[2], pt[j]);
    Point2 flat[6];
    const Point3* all[6] = {&ps[0], &ps[1], &ps[2], &pt[0], &pt[1], &pt[2]};
    const bool flatten = sideOfT[0] == CGAL::COPLANAR && sideOfT[1] == CGAL::COPLANAR &&
                         sideOfT[2] == CGAL::COPLANAR && ProjectOntoCoordinatePlane<K>(all, 6, flat) &&
                         CGAL::orientation(flat[3], flat[4], flat[5]) != CGAL::COLLINEAR;
    if (shared == 2)
    {
        // Overlap only when both lie in one plane on the same side of the edge.
        const int u = sharedS[0], v = sharedS[1];
        const int os = 3 - sharedS[0] - sharedS[1];
        const int ot = 3 - sharedT[0] - sharedT[1];
        if (sideOfT[ot] != CGAL::COPLANAR)
            return false;
        if (flatten)
        {
            const CGAL::Orientation o = CGAL::orientation(flat[u], flat[v], flat[3 + ot]);
            return o != CGAL::COLLINEAR && o == CGAL::orientation(flat[u], flat[v], flat[os]);
        }
        return CGAL::coplanar_orientation(ps[u], ps[v], ps[os], pt[ot]) == CGAL::POSITIVE;
    }
    if (shared == 1)
    {
        // Beyond the shared corner they meet only if an opposite edge meets the
        // other triangle; not at all when one triangle's other corners lie
        // strictly on one side of the other's plane (the common case, cheap).
        const int i = sharedS[0], j = sharedT[0];
        const CGAL::Orientation t1 = sideOfT[(j + 1) % 3];
        if (t1 != CGAL::COPLANAR && t1 == sideOfT[(j + 2) % 3])
            return false;
        if (flatten)
        {
            const Point2 es[2] = {flat[(i + 1) % 3], flat[(i + 2) % 3]};
            const Point2 et[2] = {flat[3 + (j + 1) % 3], flat[3 + (j + 2) % 3]};
            return CoplanarFiguresMeet(flat + 3, es, 2) || CoplanarFiguresMeet(flat, et, 2);
        }
        const CGAL::Orientation s1 = CGAL::orientation(pt[0], pt[1], pt[2], ps[(i + 1) % 3]);
        if (s1 != CGAL::COPLANAR && s1 == CGAL::orientation(pt[0], pt[1], pt[2], ps[(i + 2) % 3]))
            return false;
        const typename K::Segment_3 es(ps[(i + 1) % 3], ps[(i + 2) % 3]);
        const typename K::Segment_3 et(pt[(j + 1) % 3], pt[(j + 2) % 3]);
        return CGAL::do_intersect(es, typename K::Triangle_3(pt[0], pt[1], pt[2])) ||
               CGAL::do_intersect(et, typename K::Triangle_3(ps[0], ps[1], ps[2]));
    }
    if (sideOfT[0] != CGAL::COPLANAR && sideOfT[0] == sideOfT[1] && sideOfT[1] == sideOfT[2])
        return false;
    if (flatten)
        return CoplanarFiguresMeet(flat, flat + 3, 3);
    return CGAL::do_intersect(typename K::Triangle_3(ps[0], ps[1], ps[2]), typename K::Triangle_3(pt[0], pt[1], pt[2]));
}

bool TrianglesIntersect(const std::vector<Point3d>& points, const Tri& s, const Tri& t)
{
    return TrianglesMeet<IK>([&](int id) { return ToInexact(points[size_t(id)]); }, s, t);
}

// Flags the points (of those `wanted`, or all when it is empty) whose fan is
// unfolded: the triangles at the point form one cycle through its edges and,
// seen around a line through the point, turn the same way and go round it
// exactly once. Their angles around the line then overlap only on the edges
// they share, so two triangles with such a corner in common meet nowhere else.
// Checking the fan costs three orientations per triangle, where testing its
// pairs costs several each.
std::vector<char> UnfoldedFanPoints(const std::vector<Point3d>& points, const std::vector<Tri>& triangles,
                                    const std::vector<char>& wanted)
{
    std::vector<char> unfolded(points.size(), 0);
    auto isWanted = [&](int u) { return wanted.empty() || wanted[size_t(u)]; };
    std::vector<int> start(points.size() + 1, 0);
    for (const Tri& tri : triangles)
        for (int u : tri)
            if (isWanted(u))
                ++start[size_t(u) + 1];
    for (size_t u = 0; u < points.size(); ++u)
        start[u + 1] += start[u];
    // Each triangle at u as the edge of its other two corners, in turning order.
    std::vector<std::array<int, 2>> rim(size_t(start.back()));
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (const Tri& tri : triangles)
        for (int c = 0; c < 3; ++c)
            if (isWanted(tri[size_t(c)]))
                rim[size_t(fill[size_t(tri[size_t(c)])]++)] = {tri[size_t((c + 1) % 3)], tri[size_t((c + 2) % 3)]};
    std::vector<int> cycle;
    for (size_t u = 0; u < points.size(); ++u)
    {
        const auto first = rim.begin() + start[u], last = rim.begin() + start[u + 1];
        const size_t n = size_t(last - first);
        if (n < 3)
            continue;
        std::sort(first, last);
        bool single = true;
        for (auto e = first; e + 1 != last && single; ++e)
            single = (*e)[0] != (*(e + 1))[0];
        // Follow the rim from its first edge: it must close after n edges.
        cycle.assign(1, (*first)[0]);
        for (size_t k = 0; k < n && single; ++k)
        {
            const auto e = std::lower_bound(first, last, std::array<int, 2>{cycle.back(), INT_MIN});
            single = e != last && (*e)[0] == cycle.back();
            if (single)
                cycle.push_back((*e)[1]);
        }
        if (!single || cycle.back() != cycle.front())
            continue;
        for (size_t k = 1; k < n && single; ++k)
            single = cycle[k] != cycle.front();
        if (!single)
            continue;
        // Seen around the line from the point towards its summed normal, every
        // triangle must turn the same way (a fan over a sharp edge or corner
        // is seen from outside both faces, where an axis may see one edge-on).
        // The eye stands about the fan's size away at any scale; where the
        // normal under- or overflows, the fan is tested pair by pair.
        Eigen::Vector3d normal = Eigen::Vector3d::Zero();
        const Eigen::Vector3d p(points[u].data());
        double reach = 0;
        for (size_t k = 0; k < n; ++k)
        {
            const Eigen::Vector3d a = Eigen::Vector3d(points[size_t(cycle[k])].data()) - p;
            normal += a.cross(Eigen::Vector3d(points[size_t(cycle[k + 1])].data()) - p);
            reach = std::max(reach, a.cwiseAbs().maxCoeff());
        }
        const double largest = normal.cwiseAbs().maxCoeff();
        const Eigen::Vector3d eyeAt = p + normal * (reach / largest);
        if (!(largest > 0) || !eyeAt.allFinite())
            continue;
        const IK::Point_3 centre = ToInexact(points[u]), eye(eyeAt[0], eyeAt[1], eyeAt[2]),
                          ray = ToInexact(points[size_t(cycle[0])]);
        // How many triangles' angles around that line, each from its first rim
        // corner (included) to its second, hold the direction of the first
        // edge: the first triangle's does, the last one's ends there.
        int windings = 1;
        bool turning = true;
        for (size_t k = 0; k < n && turning; ++k)
        {
            const IK::Point_3 a = ToInexact(points[size_t(cycle[k])]), b = ToInexact(points[size_t(cycle[k + 1])]);
            turning = CGAL::orientation(centre, a, b, eye) == CGAL::POSITIVE;
            if (turning && k > 0 && k + 1 < n && CGAL::orientation(centre, a, ray, eye) != CGAL::NEGATIVE &&
                CGAL::orientation(centre, ray, b, eye) == CGAL::POSITIVE)
                ++windings;
        }
        unfolded[u] = char(turning && windings == 1);
    }
    return unfolded;
}

// Do two triangles share a corner whose fan is unfolded (they cannot meet
// beyond what they share)?
bool ShareUnfoldedCorner(const Tri& s, const Tri& t, const std::vector<char>& unfolded)
{
    for (int u : s)
        if (unfolded[size_t(u)] && (u == t[0] || u == t[1] || u == t[2]))
            return true;
    return false;
}

struct FoundIntersection
{
    int first, second;
};

typedef CGAL::Box_intersection_d::Box_with_info_d<double, 3, int> TriangleBox;

// A uniform grid of cubic cells over the boxes' span.
struct CellGrid
{
    double lo[3] = {0, 0, 0};
    double cell = 0;
    long long dims[3] = {1, 1, 1};
    long long cells = 1;

    // False when the size is unusable or more than maxCells cells are needed.
    bool Lay(const std::vector<TriangleBox>& boxes, double size, double maxCells)
    {
        double hi[3];
        for (int c = 0; c < 3; ++c)
        {
            lo[c] = boxes[0].min_coord(c);
            hi[c] = boxes[0].max_coord(c);
        }
        for (const TriangleBox& box : boxes)
            for (int c = 0; c < 3; ++c)
            {
                lo[c] = std::min(lo[c], box.min_coord(c));
                hi[c] = std::max(hi[c], box.max_coord(c));
            }
        cell = size;
        if (!(cell > 0) || !std::isfinite(cell))
            return false;
        cells = 1;
        for (int c = 0; c < 3; ++c)
        {
            const double span = std::ceil((hi[c] - lo[c]) / cell);
            if (!(span * double(cells) <= maxCells))
                return false;
            dims[c] = std::max(1LL, (long long)span);
            cells *= dims[c];
        }
        return true;
    }

    long long CellOf(double x, int c) const
    {
        const double k = std::floor((x - lo[c]) / cell);
        return k < 0 ? 0LL : (k >= double(dims[c]) ? dims[c] - 1 : (long long)k);
    }

    size_t Id(long long x, long long y, long long z) const
    {
        return size_t((x * dims[1] + y) * dims[2] + z);
    }
};

// The mean over boxes of their longest side, and the volume of their span.
void MeasureBoxes(const std::vector<TriangleBox>& boxes, double& meanSide, double& space)
{
    double lo[3], hi[3], sum = 0;
    for (int c = 0; c < 3; ++c)
    {
        lo[c] = boxes[0].min_coord(c);
        hi[c] = boxes[0].max_coord(c);
    }
    for (const TriangleBox& box : boxes)
    {
        double longest = 0;
        for (int c = 0; c < 3; ++c)
        {
            lo[c] = std::min(lo[c], box.min_coord(c));
            hi[c] = std::max(hi[c], box.max_coord(c));
            longest = std::max(longest, box.max_coord(c) - box.min_coord(c));
        }
        sum += longest;
    }
    meanSide = sum / double(boxes.size());
    space = (hi[0] - lo[0]) * (hi[1] - lo[1]) * (hi[2] - lo[2]);
}

// Calls f(a, b) once for each pair of overlapping boxes, using a uniform grid
// of cells about the size of a box: each pair is met in the cell holding the
// low corner of their overlap. Returns false, having called nothing, when the
// boxes are too uneven for a grid.
template <class F>
bool ForEachOverlappingPairOnGrid(const std::vector<TriangleBox>& boxes, F&& f)
{
    if (boxes.size() < 64)
        return false;
    // About a box across, but no more cells than about twice the boxes: a
    // surface fills only a thin layer of them.
    double meanSide, space;
    MeasureBoxes(boxes, meanSide, space);
    CellGrid grid;
    if (!grid.Lay(boxes, std::max(meanSide, std::cbrt(space / (2 * double(boxes.size())))),
                  4 * double(boxes.size()) + 1024))
        return false;
    const long long cells = grid.cells;
    const long long* dims = grid.dims;
    auto cellOf = [&](double x, int c) { return grid.CellOf(x, c); };
    std::vector<long long> first(boxes.size() * 3), last(boxes.size() * 3);
    std::vector<int> start(size_t(cells) + 1, 0);
    long long entries = 0;
    const long long budget = 16 * (long long)boxes.size() + 4096;
    for (size_t k = 0; k < boxes.size(); ++k)
    {
        long long count = 1;
        for (int c = 0; c < 3; ++c)
        {
            first[3 * k + size_t(c)] = cellOf(boxes[k].min_coord(c), c);
            last[3 * k + size_t(c)] = cellOf(boxes[k].max_coord(c), c);
            count *= last[3 * k + size_t(c)] - first[3 * k + size_t(c)] + 1;
        }
        entries += count;
        if (entries > budget)
            return false;
    }
    auto forCells = [&](size_t k, auto&& visit) {
        for (long long x = first[3 * k]; x <= last[3 * k]; ++x)
            for (long long y = first[3 * k + 1]; y <= last[3 * k + 1]; ++y)
                for (long long z = first[3 * k + 2]; z <= last[3 * k + 2]; ++z)
                    visit(size_t((x * dims[1] + y) * dims[2] + z));
    };
    for (size_t k = 0; k < boxes.size(); ++k)
        forCells(k, [&](size_t id) { ++start[id + 1]; });
    for (size_t i = 0; i < size_t(cells); ++i)
        start[i + 1] += start[i];
    std::vector<int> fill(start.begin(), start.end() - 1);
    std::vector<int> members(static_cast<size_t>(start[size_t(cells)]));
    for (size_t k = 0; k < boxes.size(); ++k)
        forCells(k, [&](size_t id) { members[size_t(fill[id]++)] = int(k); });
    for (long long x = 0; x < dims[0]; ++x)
        for (long long y = 0; y < dims[1]; ++y)
            for (long long z = 0; z < dims[2]; ++z)
            {
                const size_t id = size_t((x * dims[1] + y) * dims[2] + z);
                const long long here[3] = {x, y, z};
                for (int i = start[id]; i < start[id + 1]; ++i)
                    for (int j = i + 1; j < start[id + 1]; ++j)
                    {
                        const size_t p = size_t(members[size_t(i)]), q = size_t(members[size_t(j)]);
                        // The overlap's low corner lies in the cell of the larger first cells.
                        bool home = true;
                        for (int c = 0; c < 3 && home; ++c)
                            home = std::max(first[3 * p + size_t(c)], first[3 * q + size_t(c)]) == here[c];
                        if (!home)
                            continue;
                        const TriangleBox &a = boxes[p], &b = boxes[q];
                        bool meet = true;
                        for (int c = 0; c < 3 && meet; ++c)
                            meet = a.min_coord(c) <= b.max_coord(c) && b.min_coord(c) <= a.max_coord(c);
                        if (meet)
                            f(a, b);
                    }
            }
    return true;
}

bool CheckSelfIntersections(const OperandSoup& soup, std::string& reason)
{
    typedef TriangleBox Box;
    std::vector<Box> boxes;
    boxes.reserve(soup.triangles.size());
    for (size_t t = 0; t < soup.triangles.size(); ++t)
    {
        const Tri& tri = soup.triangles[t];
        double lo[3], hi[3];
        for (int c = 0; c < 3; ++c)
        {
            lo[c] = std::min({soup.points[tri[0]][c], soup.points[tri[1]][c], soup.points[tri[2]][c]});
            hi[c] = std::max({soup.points[tri[0]][c], soup.points[tri[1]][c], soup.points[tri[2]][c]});
        }
        boxes.push_back(Box(lo, hi, int(t)));
    }
    const std::vector<char> unfolded = UnfoldedFanPoints(soup.points, soup.triangles, {});
    auto test = [&](const Box& a, const Box& b) {
        const Tri &s = soup.triangles[size_t(a.info())], &t = soup.triangles[size_t(b.info())];
        if (!ShareUnfoldedCorner(s, t, unfolded) && TrianglesIntersect(soup.points, s, t))
            throw FoundIntersection{std::min(a.info(), b.info()), std::max(a.info(), b.info())};
    };
    try
    {
        if (!ForEachOverlappingPairOnGrid(boxes, test))
        {
            // Uneven sizes: the general box intersection.
            std::vector<const Box*> pointers;
            pointers.reserve(boxes.size());
            for (const Box& box : boxes)
                pointers.push_back(&box);
            CGAL::box_self_intersection_d(pointers.begin(), pointers.end(),
                                          [&](const Box* a, const Box* b) { test(*a, *b); });
        }
    }
    catch (const FoundIntersection& found)
    {
        reason = "the mesh intersects itself (triangles " + RowText(found.first) + " and " +
                 RowText(found.second) + ")";
        return false;
    }
    return true;
}

// Checks that need no mesh, once shapes, values and indices are checked:
// exact point merging, degenerate triangles.
bool PrepareOperand(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, int exponent, OperandSoup& soup,
                    std::string& reason)
{
    MergePoints(V, F, exponent, soup);
    return soup.triangles.empty() || CheckTriangles(soup, reason);
}

// Checks once closedness is known.
bool CheckSolid(const OperandSoup& soup, bool validByConstruction, std::string& reason)
{
    if (soup.triangles.empty())
        return true;
    return CheckVolume(soup, reason) && (validByConstruction || CheckSelfIntersections(soup, reason));
}

bool CheckOperand(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, bool validByConstruction,
                  OperandSoup& soup, std::string& reason)
{
    return CheckShapesAndValues(V, F, reason) && PrepareOperand(V, F, ScaleExponent({{&V, &F}}), soup, reason) &&
           (soup.triangles.empty() || CheckClosed(soup, reason)) && CheckSolid(soup, validByConstruction, reason);
}

// ---------------------------------------------------------------------------
// Exact meshes

struct ExactOperand
{
    ExactMesh mesh;
    ExactMesh::Property_map<FaceIndex, int> birth;
    ExactMesh::Property_map<EdgeIndex, bool> constrained;
    ExactMesh::Property_map<VertexIndex, int> node; // intersection node of a new vertex, else -1
    PMP::Non_manifold_feature_map<ExactMesh> nonManifold;
    std::vector<int> soupPoint;                     // input point of each initial vertex
};

bool AddFacesInOrder(const std::vector<EK::Point_3>& points, const std::vector<Tri>& triangles, ExactMesh& mesh)
{
    mesh.reserve(ExactMesh::size_type(points.size()), ExactMesh::size_type(triangles.size() * 3 / 2 + 3),
                 ExactMesh::size_type(triangles.size()));
    for (const EK::Point_3& p : points)
        mesh.add_vertex(p);
    for (const Tri& t : triangles)
    {
        const FaceIndex f = mesh.add_face(VertexIndex(t[0]), VertexIndex(t[1]), VertexIndex(t[2]));
        if (f == ExactMesh::null_face())
            return false;
    }
    return true;
}

// A vertex shared by separate fans (two boxes touching at a corner) shows as a
// vertex whose fan misses some of its triangles.
bool HasPinchedVertex(const ExactMesh& mesh, const std::vector<Tri>& triangles)
{
    std::vector<int> incident(mesh.number_of_vertices(), 0);
    for (const Tri& t : triangles)
        for (int c = 0; c < 3; ++c)
            ++incident[size_t(t[c])];
    for (VertexIndex v : mesh.vertices())
    {
        int fan = 0;
        for (HalfedgeIndex h : CGAL::halfedges_around_target(mesh.halfedge(v), mesh))
            fan += mesh.is_border(h) ? 0 : 1;
        if (fan != incident[size_t(v)])
            return true;
    }
    return false;
}

// Builds the exact mesh of the given triangles of a closed soup (the ones that
// can meet the other operand; the mesh may have borders).
bool BuildExactOperand(const OperandSoup& soup, const std::vector<int>& faces, ExactOperand& op, std::string& reason)
{
    std::vector<int> localOf(soup.points.size(), -1);
    std::vector<Tri> local(faces.size());
    for (size_t i = 0; i < faces.size(); ++i)
        for (int c = 0; c < 3; ++c)
        {
            const int u = soup.triangles[size_t(faces[i])][c];
            if (localOf[size_t(u)] < 0)
            {
                localOf[size_t(u)] = int(op.soupPoint.size());
                op.soupPoint.push_back(u);
            }
            local[i][c] = localOf[size_t(u)];
        }
    std::vector<EK::Point_3> points;
    points.reserve(op.soupPoint.size());
    for (int u : op.soupPoint)
        points.push_back(ExactPointOf(soup, u));

    const bool manifold = AddFacesInOrder(points, local, op.mesh) && !HasPinchedVertex(op.mesh, local);
    if (!manifold)
    {
        // Split non-manifold vertices and edges into copies; the corefinement is
        // told which copies belong together.
        op.mesh.clear();
        std::vector<IK::Point_3> soupPoints;
        soupPoints.reserve(op.soupPoint.size());
        for (int u : op.soupPoint)
            soupPoints.push_back(ToInexact(soup.points[size_t(u)]));
        const size_t distinct = soupPoints.size();
        std::vector<std::vector<std::size_t>> polygons;
        polygons.reserve(local.size());
        for (const Tri& t : local)
            polygons.push_back({std::size_t(t[0]), std::size_t(t[1]), std::size_t(t[2])});
        PMP::orient_polygon_soup(soupPoints, polygons);
        std::vector<Tri> split(polygons.size());
        for (size_t i = 0; i < polygons.size(); ++i)
        {
            const std::vector<std::size_t>& poly = polygons[i];
            if (poly.size() != 3)
            {
                reason = "internal error: splitting non-manifold features changed a triangle";
                return false;
            }
            // The soup is consistently oriented already; a flipped triangle would be a bug.
            const Tri& original = local[i];
            bool sameCycle = false;
            for (int rot = 0; rot < 3 && !sameCycle; ++rot)
            {
                sameCycle = true;
                for (int c = 0; c < 3; ++c)
                    if (soupPoints[poly[(c + rot) % 3]] != soupPoints[size_t(original[c])])
                        sameCycle = false;
            }
            if (!sameCycle)
            {
                reason = "internal error: splitting non-manifold features reoriented triangle " +
                         RowText(faces[i]);
                return false;
            }
            split[i] = {int(poly[0]), int(poly[1]), int(poly[2])};
        }
        // Copies made by the split keep their input point.
        std::map<IK::Point_3, int> pointIndex;
        for (size_t i = 0; i < distinct; ++i)
            pointIndex.emplace(soupPoints[i], op.soupPoint[i]);
        for (size_t i = distinct; i < soupPoints.size(); ++i)
            op.soupPoint.push_back(pointIndex.at(soupPoints[i]));
        points.clear();
        for (int u : op.soupPoint)
            points.push_back(ExactPointOf(soup, u));
        op.mesh.clear();
        if (!AddFacesInOrder(points, split, op.mesh))
        {
            reason = "internal error: could not build a surface from the split mesh";
            return false;
        }
        op.nonManifold = PMP::Non_manifold_feature_map<ExactMesh>(op.mesh, op.mesh.points());
    }
    else
    {
        // The corefinement reads the maps even when nothing is shared.
        const std::size_t NONE = std::size_t(-1);
        op.nonManifold.e_nm_id = get(CGAL::dynamic_edge_property_t<std::size_t>(), op.mesh);
        op.nonManifold.v_nm_id = get(CGAL::dynamic_vertex_property_t<std::size_t>(), op.mesh);
        for (EdgeIndex e : op.mesh.edges())
            put(op.nonManifold.e_nm_id, e, NONE);
        for (VertexIndex v : op.mesh.vertices())
            put(op.nonManifold.v_nm_id, v, NONE);
    }
    op.birth = op.mesh.add_property_map<FaceIndex, int>("f:birth", -1).first;
    for (FaceIndex f : op.mesh.faces())
        op.birth[f] = soup.birthOf.empty() ? faces[f.idx()] : soup.birthOf[size_t(faces[f.idx()])];
    op.constrained = op.mesh.add_property_map<EdgeIndex, bool>("e:constrained", false).first;
    op.node = op.mesh.add_property_map<VertexIndex, int>("v:node", -1).first;
    return true;
}

// Marks the boxes of A and B that meet a box of the other, with a uniform grid
// of cells about the size of a box. Returns false (nothing marked) when the
// boxes are too uneven for it to pay.
bool MarkNearOnGrid(const std::vector<TriangleBox>& boxesA, const std::vector<TriangleBox>& boxesB,
                    std::vector<char>& isNearA, std::vector<char>& isNearB)
{
    // About a box of B across, but no more cells than about twice the boxes.
    double meanSide, space;
    MeasureBoxes(boxesB, meanSide, space);
    const double count = double(boxesA.size() + boxesB.size());
    CellGrid grid;
    if (!grid.Lay(boxesB, std::max(meanSide, std::cbrt(space / (2 * count))), 4 * count + 1024))
        return false;
    const long long cells = grid.cells;
    const long long* dims = grid.dims;
    auto cellOf = [&](double x, int c) { return grid.CellOf(x, c); };
    auto range = [&](const TriangleBox& box, int c, long long& first, long long& last) {
        first = cellOf(box.min_coord(c), c);
        last = cellOf(box.max_coord(c), c);
    };
    // Cell lists of B's boxes, as offsets into one array.
    std::vector<int> start(size_t(cells) + 1, 0);
    long long entries = 0;
    const long long budget = 16 * (long long)(boxesA.size() + boxesB.size()) + 4096;
    for (int pass = 0; pass < 2; ++pass)
    {
        std::vector<int> fill;
        if (pass == 1)
        {
            for (size_t i = 0; i < size_t(cells); ++i)
                start[i + 1] += start[i];
            fill.assign(start.begin(), start.end() - 1);
        }
        std::vector<int> members(pass == 1 ? size_t(start[size_t(cells)]) : 0);
        for (size_t k = 0; k < boxesB.size(); ++k)
        {
            long long f[3], l[3];
            for (int c = 0; c < 3; ++c)
                range(boxesB[k], c, f[c], l[c]);
            for (long long x = f[0]; x <= l[0]; ++x)
                for (long long y = f[1]; y <= l[1]; ++y)
                    for (long long z = f[2]; z <= l[2]; ++z)
                    {
                        const size_t id = size_t((x * dims[1] + y) * dims[2] + z);
                        if (pass == 0)
                        {
                            ++start[id + 1];
                            if (++entries > budget)
                                return false;
                        }
                        else
                            members[size_t(fill[id]++)] = int(k);
                    }
        }
        if (pass == 0)
            continue;
        long long visits = 0;
        for (const TriangleBox& box : boxesA)
        {
            long long f[3], l[3];
            for (int c = 0; c < 3; ++c)
                range(box, c, f[c], l[c]);
            visits += (l[0] - f[0] + 1) * (l[1] - f[1] + 1) * (l[2] - f[2] + 1);
            if (visits > 4 * budget)
                return false; // what was marked is true; the caller starts over
            for (long long x = f[0]; x <= l[0]; ++x)
                for (long long y = f[1]; y <= l[1]; ++y)
                    for (long long z = f[2]; z <= l[2]; ++z)
                    {
                        const size_t id = size_t((x * dims[1] + y) * dims[2] + z);
                        for (int m = start[id]; m < start[id + 1]; ++m)
                        {
                            const TriangleBox& other = boxesB[size_t(members[size_t(m)])];
                            if (box.min_coord(0) <= other.max_coord(0) && other.min_coord(0) <= box.max_coord(0) &&
                                box.min_coord(1) <= other.max_coord(1) && other.min_coord(1) <= box.max_coord(1) &&
                                box.min_coord(2) <= other.max_coord(2) && other.min_coord(2) <= box.max_coord(2))
                            {
                                isNearA[size_t(box.info())] = 1;
                                isNearB[size_t(other.info())] = 1;
                            }
                        }
                    }
        }
    }
    return true;
}

// Triangles of each operand whose boxes meet a triangle box of the other: only
// these can touch the other surface. The rest stay as they are.
void FindNearTriangles(const OperandSoup& a, const OperandSoup& b, double margin, std::vector<int>& nearA,
                       std::vector<int>& nearB)
{
    typedef TriangleBox Box;
    auto boxesNear = [margin](const OperandSoup& soup, const OperandSoup& other) {
        std::vector<Box> boxes;
        for (size_t t = 0; t < soup.triangles.size(); ++t)
        {
            const Tri& tri = soup.triangles[t];
            double lo[3], hi[3];
            bool apart = false;
            for (int c = 0; c < 3; ++c)
            {
                lo[c] = std::min({soup.points[tri[0]][c], soup.points[tri[1]][c], soup.points[tri[2]][c]}) - margin;
                hi[c] = std::max({soup.points[tri[0]][c], soup.points[tri[1]][c], soup.points[tri[2]][c]}) + margin;
                apart = apart || hi[c] < other.bbox[c] - margin || lo[c] > other.bbox[c + 3] + margin;
            }
            if (!apart)
                boxes.push_back(Box(lo, hi, int(t)));
        }
        return boxes;
    };
    std::vector<Box> boxesA = boxesNear(a, b), boxesB = boxesNear(b, a);
    std::vector<char> isNearA(a.triangles.size(), 0), isNearB(b.triangles.size(), 0);
    auto collect = [&]() {
        for (size_t t = 0; t < isNearA.size(); ++t)
            if (isNearA[t])
                nearA.push_back(int(t));
        for (size_t t = 0; t < isNearB.size(); ++t)
            if (isNearB[t])
                nearB.push_back(int(t));
    };
    if (boxesA.empty() || boxesB.empty())
        return;
    if (MarkNearOnGrid(boxesA, boxesB, isNearA, isNearB))
    {
        collect();
        return;
    }
    // Uneven triangle sizes: the general box intersection.
    // Sorting pointers moves less memory than sorting the boxes.
    std::vector<const Box*> pointersA, pointersB;
    for (const Box& box : boxesA)
        pointersA.push_back(&box);
    for (const Box& box : boxesB)
        pointersB.push_back(&box);
    CGAL::box_intersection_d(pointersA.begin(), pointersA.end(), pointersB.begin(), pointersB.end(),
                             [&](const Box* x, const Box* y) {
                                 isNearA[size_t(x->info())] = 1;
                                 isNearB[size_t(y->info())] = 1;
                             });
    collect();
}

// Gives each triangle its birth in `birthOf` (empty while each is its own),
// before triangles are replaced or added.
void ListBirths(OperandSoup& soup)
{
    if (!soup.birthOf.empty())
        return;
    soup.birthOf.resize(soup.triangles.size());
    for (size_t i = 0; i < soup.birthOf.size(); ++i)
        soup.birthOf[i] = int(i);
}

// The box of a triangle of the soup's points grown by `grow`, with `info`.
TriangleBox BoxOfTriangle(const OperandSoup& soup, const Tri& tri, double grow, int info)
{
    const Point3d &a = soup.points[size_t(tri[0])], &b = soup.points[size_t(tri[1])], &c = soup.points[size_t(tri[2])];
    double lo[3], hi[3];
    for (int k = 0; k < 3; ++k)
    {
        lo[k] = std::min({a[size_t(k)], b[size_t(k)], c[size_t(k)]}) - grow;
        hi[k] = std::max({a[size_t(k)], b[size_t(k)], c[size_t(k)]}) + grow;
    }
    return TriangleBox(lo, hi, info);
}

// Where parts of an operand touch, rounding an older result can leave a corner
// of one part a hair off an edge or a face of the other instead of on it.
// Flattening moves them by units in the last place (one corner's move tilts
// a face and its edges), which can put the corner across the edge or the
// face, and the faces around it then meet the other part's; sending them
// back leaves faces a hair off the other operand's, and the result holds
// slivers a hair thick. The triangles at such an edge, or such a face, are
// split at the corner, so the parts share it and move together. Only near
// triangles' corners, edges and faces are looked at, where the corner or the
// edge or face moves. A split is left out where it would leave a degenerate
// triangle or bend one into another, or where a triangle has another split
// before it (its edges in point order, then its face). The triangles split
// join the near set; `facesSplit` gets each face split, as its corner and the
// triangle that keeps the face's index. Returns whether anything was split.
const double TOUCHING_CORNER_RATIO = 1e-14;

bool SplitAtTouchingCorners(OperandSoup& soup, std::vector<int>& near, const std::vector<char>& moving,
                            std::vector<std::pair<int, int>>& facesSplit)
{
    const double tolerance = TOUCHING_CORNER_RATIO * LargestCoordinate(soup);
    if (near.empty() || !(tolerance > 0) || std::find(moving.begin(), moving.end(), 1) == moving.end())
        return false;
    std::vector<int> corners;
    std::vector<std::pair<int, int>> edges; // lower point first
    std::vector<char> seen(soup.points.size(), 0);
    for (int t : near)
    {
        const Tri& tri = soup.triangles[size_t(t)];
        for (int c = 0; c < 3; ++c)
        {
            const int u = tri[size_t(c)];
            if (!seen[size_t(u)]++)
                corners.push_back(u);
            edges.push_back(std::minmax(u, tri[size_t((c + 1) % 3)]));
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    // Corners and edges boxed as triangles with repeated points; the near
    // triangles follow the edges, numbered on from them.
    std::vector<TriangleBox> cornerBoxes, sideBoxes;
    for (size_t i = 0; i < corners.size(); ++i)
        cornerBoxes.push_back(BoxOfTriangle(soup, {corners[i], corners[i], corners[i]}, 0, int(i)));
    for (size_t i = 0; i < edges.size(); ++i)
        sideBoxes.push_back(BoxOfTriangle(soup, {edges[i].first, edges[i].second, edges[i].second}, tolerance, int(i)));
    for (size_t i = 0; i < near.size(); ++i)
        sideBoxes.push_back(BoxOfTriangle(soup, soup.triangles[size_t(near[i])], tolerance, int(edges.size() + i)));
    struct Split
    {
        int face = -1; // the triangle split at its one corner, or -1 for an edge
        std::vector<std::pair<double, int>> corners; // along an edge from its lower point
        std::vector<int> triangles;
        bool sound = true;
    };
    std::map<std::pair<int, int>, Split> splits; // edges by their points, faces as (-1, triangle)
    auto vectorOf = [&](int u) { return Eigen::Vector3d(soup.points[size_t(u)].data()); };
    CGAL::box_intersection_d(
        cornerBoxes.begin(), cornerBoxes.end(), sideBoxes.begin(), sideBoxes.end(),
        [&](const TriangleBox& corner, const TriangleBox& side) {
            const int u = corners[size_t(corner.info())];
            const Eigen::Vector3d p = vectorOf(u);
            if (size_t(side.info()) < edges.size())
            {
                const std::pair<int, int>& e = edges[size_t(side.info())];
                if (u == e.first || u == e.second ||
                    !(moving[size_t(u)] || moving[size_t(e.first)] || moving[size_t(e.second)]))
                    return;
                const Eigen::Vector3d a = vectorOf(e.first), along = vectorOf(e.second) - a;
                const double length = along.norm(), at = along.dot(p - a) / length;
                if (at > tolerance && at < length - tolerance && (p - a - along * (at / length)).norm() <= tolerance)
                    splits[e].corners.push_back({at, u});
                return;
            }
            // On the face, a tolerance inside each of its edges.
            const int t = near[size_t(side.info()) - edges.size()];
            const Tri& tri = soup.triangles[size_t(t)];
            const Eigen::Vector3d a = vectorOf(tri[0]), b = vectorOf(tri[1]), c = vectorOf(tri[2]);
            const Eigen::Vector3d normal = (b - a).cross(c - a).normalized();
            if (u == tri[0] || u == tri[1] || u == tri[2] ||
                !(moving[size_t(u)] || moving[size_t(tri[0])] || moving[size_t(tri[1])] || moving[size_t(tri[2])]) ||
                !(std::fabs(normal.dot(p - a)) <= tolerance))
                return;
            for (const auto& edge : {std::make_pair(a, b), std::make_pair(b, c), std::make_pair(c, a)})
                if (!(normal.cross(edge.second - edge.first).normalized().dot(p - edge.first) > tolerance))
                    return;
            Split& split = splits[{-1, t}];
            split.face = t;
            split.triangles = {t};
            split.corners.push_back({0, u});
        });
    if (splits.empty())
        return false;
    auto edgeAt = [&](const Tri& tri, int c) -> std::pair<int, int> {
        return std::minmax(tri[size_t(c)], tri[size_t((c + 1) % 3)]);
    };
    for (size_t t = 0; t < soup.triangles.size(); ++t)
        for (int c = 0; c < 3; ++c)
        {
            const auto found = splits.find(edgeAt(soup.triangles[t], c));
            if (found != splits.end())
                found->second.triangles.push_back(int(t));
        }
    // The triangles a split makes of triangle t: at an edge, starting at t's
    // corner c, the run of corners along it to its other end, each piece
    // with t's third corner; in a face, a piece at each of its edges.
    auto pieces = [&](int t, const std::pair<int, int>& key, const Split& split) {
        const Tri& tri = soup.triangles[size_t(t)];
        std::vector<Tri> made;
        if (split.face >= 0)
        {
            for (int c = 0; c < 3; ++c)
                made.push_back({tri[size_t(c)], tri[size_t((c + 1) % 3)], split.corners[0].second});
            return made;
        }
        int c = 0;
        while (edgeAt(tri, c) != key)
            ++c;
        const int p = tri[size_t(c)], q = tri[size_t((c + 1) % 3)], r = tri[size_t((c + 2) % 3)];
        std::vector<int> run(1, p);
        for (const auto& corner : split.corners)
            run.push_back(corner.second);
        if (p > q) // the corners run from the lower point
            std::reverse(run.begin() + 1, run.end());
        run.push_back(q);
        for (size_t k = 0; k + 1 < run.size(); ++k)
            made.push_back({run[k], run[k + 1], r});
        return made;
    };
    for (auto& entry : splits)
    {
        Split& split = entry.second;
        std::sort(split.corners.begin(), split.corners.end());
        split.corners.erase(std::unique(split.corners.begin(), split.corners.end()), split.corners.end());
        split.sound = split.face < 0 || split.corners.size() == 1;
        for (int t : split.triangles)
            for (const Tri& piece : pieces(t, entry.first, split))
                split.sound = split.sound && piece[0] != piece[2] && piece[1] != piece[2] &&
                              !CGAL::collinear(ToInexact(soup.points[size_t(piece[0])]),
                                               ToInexact(soup.points[size_t(piece[1])]),
                                               ToInexact(soup.points[size_t(piece[2])]));
    }
    // One split per triangle: its others stay as they are, on every triangle at them.
    for (size_t t = 0; t < soup.triangles.size(); ++t)
    {
        bool taken = false;
        std::array<std::pair<int, int>, 4> at = {edgeAt(soup.triangles[t], 0), edgeAt(soup.triangles[t], 1),
                                                 edgeAt(soup.triangles[t], 2), std::make_pair(-1, int(t))};
        std::sort(at.begin(), at.begin() + 3);
        for (const auto& key : at)
        {
            const auto found = splits.find(key);
            if (found == splits.end() || !found->second.sound)
                continue;
            if (taken)
                found->second.sound = false;
            taken = true;
        }
    }
    // A split bends the triangles it cuts by a hair; where that makes one
    // meet another triangle, it is left out. Looked at again until none is
    // dropped, as a dropped one brings its triangles back.
    for (bool dropped = true; dropped;)
    {
        dropped = false;
        std::vector<Tri> made;
        std::vector<std::pair<Split*, int>> source; // the split and triangle of each piece
        std::vector<char> replaced(soup.triangles.size(), 0);
        for (auto& entry : splits)
            if (entry.second.sound)
                for (int t : entry.second.triangles)
                {
                    replaced[size_t(t)] = 1;
                    for (const Tri& piece : pieces(t, entry.first, entry.second))
                    {
                        made.push_back(piece);
                        source.push_back({&entry.second, t});
                    }
                }
        // Pieces by their index, the rest by -1 - triangle.
        std::vector<TriangleBox> madeBoxes, all;
        for (size_t i = 0; i < made.size(); ++i)
            madeBoxes.push_back(BoxOfTriangle(soup, made[i], 0, int(i)));
        all = madeBoxes;
        for (size_t t = 0; t < soup.triangles.size(); ++t)
            if (!replaced[t])
                all.push_back(BoxOfTriangle(soup, soup.triangles[t], 0, -1 - int(t)));
        CGAL::box_intersection_d(madeBoxes.begin(), madeBoxes.end(), all.begin(), all.end(),
                                 [&](const TriangleBox& a, const TriangleBox& b) {
                                     const int i = a.info(), j = b.info();
                                     if (j >= 0 && (j <= i || source[size_t(j)].second == source[size_t(i)].second))
                                         return;
                                     const Tri& other = j >= 0 ? made[size_t(j)] : soup.triangles[size_t(-1 - j)];
                                     const bool unsplit = j < 0 || !source[size_t(j)].first->sound;
                                     if ((!source[size_t(i)].first->sound && unsplit) ||
                                         !TrianglesIntersect(soup.points, made[size_t(i)], other))
                                         return;
                                     source[size_t(i)].first->sound = false;
                                     if (j >= 0)
                                         source[size_t(j)].first->sound = false;
                                     dropped = true;
                                 });
    }
    if (std::none_of(splits.begin(), splits.end(), [](const auto& entry) { return entry.second.sound; }))
        return false;
    ListBirths(soup);
    std::vector<char> isNear(soup.triangles.size(), 0);
    for (int t : near)
        isNear[size_t(t)] = 1;
    for (const auto& entry : splits)
    {
        if (!entry.second.sound)
            continue;
        for (int t : entry.second.triangles)
        {
            if (entry.second.face >= 0)
                facesSplit.push_back({entry.second.corners[0].second, t});
            const std::vector<Tri> made = pieces(t, entry.first, entry.second);
            soup.triangles[size_t(t)] = made[0];
            if (!isNear[size_t(t)])
                near.push_back(t);
            for (size_t k = 1; k < made.size(); ++k)
            {
                near.push_back(int(soup.triangles.size()));
                soup.triangles.push_back(made[k]);
                soup.birthOf.push_back(soup.birthOf[size_t(t)]);
            }
        }
    }
    std::sort(near.begin(), near.end());
    return true;
}

// Where parts of an operand share an edge (boxes touching along it), the
// corefinement sees the edge split into copies, which is only sound when all
// the triangles at it are there: a near set holding two of four would join
// them as neighbours facing opposite ways. Adds the missing ones.
void CloseNearSetOverSharedEdges(const OperandSoup& soup, std::vector<int>& near)
{
    std::vector<char> isNear(soup.triangles.size(), 0);
    for (int t : near)
        isNear[size_t(t)] = 1;
    auto key = [](int u, int v) { return (std::uint64_t(std::uint32_t(std::min(u, v))) << 32) | std::uint32_t(std::max(u, v)); };
    for (bool changed = true; changed;)
    {
        changed = false;
        // Edges of the near set not bordered by exactly one triangle each way.
        std::unordered_map<std::uint64_t, std::array<int, 2>> uses;
        for (int t : near)
            for (int c = 0; c < 3; ++c)
            {
                const int u = soup.triangles[size_t(t)][c], v = soup.triangles[size_t(t)][(c + 1) % 3];
                ++uses[key(u, v)][u < v ? 0 : 1];
            }
        std::vector<char> marked(soup.points.size(), 0);
        std::unordered_map<std::uint64_t, std::vector<int>> open;
        for (const auto& edge : uses)
            if (edge.second[0] != 1 || edge.second[1] != 1)
            {
                open[edge.first];
                marked[size_t(edge.first >> 32)] = marked[size_t(edge.first & 0xffffffffu)] = 1;
            }
        if (open.empty())
            return;
        for (size_t t = 0; t < soup.triangles.size(); ++t)
        {
            const Tri& tri = soup.triangles[t];
            for (int c = 0; c < 3; ++c)
                if (marked[size_t(tri[c])] && marked[size_t(tri[(c + 1) % 3])])
                {
                    auto found = open.find(key(tri[c], tri[(c + 1) % 3]));
                    if (found != open.end())
                        found->second.push_back(int(t));
                }
        }
        for (const auto& edge : open)
        {
            if (edge.second.size() <= 2)
                continue;
            for (int t : edge.second)
                if (!isNear[size_t(t)])
                {
                    isNear[size_t(t)] = 1;
                    near.push_back(t);
                    changed = true;
                }
        }
    }
    std::sort(near.begin(), near.end());
}

// Carries the birth face of a split face to each of its sub-faces, and notes
// which intersection node each new vertex is (both meshes get one vertex per
// node: it is rounded once).
struct BirthVisitor : public PMP::Corefinement::Default_visitor<ExactMesh>
{
    std::shared_ptr<int> current = std::make_shared<int>(-1);
    // Node numbers of earlier corefinements of the same operands start at 0
    // too: this call's are shifted past them.
    int nodeBase = 0;
    std::shared_ptr<int> nodeEnd = std::make_shared<int>(0);
    const ExactMesh* meshA = nullptr;
    ExactOperand* a = nullptr;
    ExactOperand* b = nullptr;

    ExactOperand& OperandOf(const ExactMesh& tm)
    {
        return &tm == meshA ? *a : *b;
    }
    void before_subface_creations(FaceIndex fOld, ExactMesh& tm)
    {
        StopIfAbandoned();
        *current = OperandOf(tm).birth[fOld];
    }
    void after_subface_created(FaceIndex fNew, ExactMesh& tm)
    {
        OperandOf(tm).birth[fNew] = *current;
    }
    void new_vertex_added(std::size_t nodeId, VertexIndex v, const ExactMesh& tm)
    {
        const int node = nodeBase + int(nodeId);
        OperandOf(tm).node[v] = node;
        *nodeEnd = std::max(*nodeEnd, node + 1);
    }
};

// ---------------------------------------------------------------------------
// Classification of patches against the other operand

enum PatchSide
{
    SIDE_UNKNOWN,
    SIDE_INSIDE,
    SIDE_OUTSIDE,
    SIDE_ON_SAME,
    SIDE_ON_OPPOSITE,
};

template <class K>
typename K::Point_3 SoupPoint(const OperandSoup& soup, int u);

template <>
IK::Point_3 SoupPoint<IK>(const OperandSoup& soup, int u)
{
    return ToInexact(soup.points[size_t(u)]);
}

template <>
EK::Point_3 SoupPoint<EK>(const OperandSoup& soup, int u)
{
    return ExactPointOf(soup, u);
}

template <class K>
struct TriangleTree
{
    typedef std::vector<typename K::Triangle_3> Triangles;
    typedef CGAL::AABB_triangle_primitive<K, typename Triangles::const_iterator> Primitive;
    typedef CGAL::AABB_tree<CGAL::AABB_traits<K, Primitive>> Tree;
    Triangles triangles;
    Tree tree;

    explicit TriangleTree(const OperandSoup& soup)
    {
        triangles.reserve(soup.triangles.size());
        for (const Tri& t : soup.triangles)
            triangles.emplace_back(SoupPoint<K>(soup, t[0]), SoupPoint<K>(soup, t[1]), SoupPoint<K>(soup, t[2]));
        tree.insert(triangles.begin(), triangles.end());
        tree.build();
    }

    // Over some triangles only; the k-th primitive is soup triangle which[k].
    TriangleTree(const OperandSoup& soup, const std::vector<int>& which)
    {
        triangles.reserve(which.size());
        for (int i : which)
        {
            const Tri& t = soup.triangles[size_t(i)];
            triangles.emplace_back(SoupPoint<K>(soup, t[0]), SoupPoint<K>(soup, t[1]), SoupPoint<K>(soup, t[2]));
        }
        tree.insert(triangles.begin(), triangles.end());
        tree.build();
    }

    // Inside, outside or on the boundary of the closed soup, by ray parity.
    CGAL::Bounded_side Locate(const typename K::Point_3& p) const
    {
        const CGAL::Bbox_3 box = tree.bbox();
        const CGAL::Bbox_3 pb = p.bbox();
        if (pb.xmax() < box.xmin() || pb.xmin() > box.xmax() || pb.ymax() < box.ymin() || pb.ymin() > box.ymax() ||
            pb.zmax() < box.zmin() || pb.zmin() > box.zmax())
            return CGAL::ON_UNBOUNDED_SIDE;
        return CGAL::internal::Point_inside_vertical_ray_cast<K, Tree>()(p, tree);
    }
};

// What one triangle of the soup does to a ray cast from p: the segment from p
// to q, a point beyond the soup's box.
enum RayStep
{
    RAY_MISSES,
    RAY_CROSSES,
    RAY_STARTS_ON_IT,
    RAY_GRAZES, // through an edge or a vertex, or along the triangle: try another ray
};

RayStep CastSegment(const OperandSoup& soup, int t, const IK::Point_3& p, const IK::Point_3& q)
{
    const Tri& tri = soup.triangles[size_t(t)];
    const IK::Point_3 a = ToInexact(soup.points[size_t(tri[0])]), b = ToInexact(soup.points[size_t(tri[1])]),
                      c = ToInexact(soup.points[size_t(tri[2])]);
    const CGAL::Orientation sp = CGAL::orientation(a, b, c, p), sq = CGAL::orientation(a, b, c, q);
    if (sp == CGAL::COPLANAR)
    {
        if (CGAL::coplanar_orientation(a, b, c, p) != CGAL::NEGATIVE &&
            CGAL::coplanar_orientation(b, c, a, p) != CGAL::NEGATIVE &&
            CGAL::coplanar_orientation(c, a, b, p) != CGAL::NEGATIVE)
            return RAY_STARTS_ON_IT;
        return sq == CGAL::COPLANAR ? RAY_GRAZES : RAY_MISSES;
    }
    if (sq == sp || sq == CGAL::COPLANAR)
        return RAY_MISSES; // q lies outside the box, so off the triangle
    const CGAL::Orientation o1 = CGAL::orientation(p, q, a, b), o2 = CGAL::orientation(p, q, b, c),
                            o3 = CGAL::orientation(p, q, c, a);
    if ((o1 == CGAL::POSITIVE || o2 == CGAL::POSITIVE || o3 == CGAL::POSITIVE) &&
        (o1 == CGAL::NEGATIVE || o2 == CGAL::NEGATIVE || o3 == CGAL::NEGATIVE))
        return RAY_MISSES;
    return o1 == CGAL::COPLANAR || o2 == CGAL::COPLANAR || o3 == CGAL::COPLANAR ? RAY_GRAZES : RAY_CROSSES;
}

// Inside, outside or on the soup by the parity of the triangles the segment
// from p to q (beyond the soup's box) crosses, or nothing when it grazes one.
// Exact predicates on doubles only: no point is constructed, so it holds at
// any scale.
template <class Triangles>
bool LocateBySegment(const OperandSoup& soup, const Triangles& candidates, const IK::Point_3& p, const IK::Point_3& q,
                     CGAL::Bounded_side& where)
{
    int crossings = 0;
    for (int t : candidates)
        switch (CastSegment(soup, t, p, q))
        {
        case RAY_MISSES:
            break;
        case RAY_CROSSES:
            ++crossings;
            break;
        case RAY_STARTS_ON_IT:
            where = CGAL::ON_BOUNDARY;
            return true;
        case RAY_GRAZES:
            return false;
        }
    where = (crossings & 1) ? CGAL::ON_BOUNDED_SIDE : CGAL::ON_UNBOUNDED_SIDE;
    return true;
}

// The triangles whose (x, y) boxes hold p: an upward ray can meet no others.
// Without a tree it beats building one while few points are asked.
struct ShadowCandidates
{
    const std::vector<std::array<double, 4>>* boxes;
    double px, py;

    struct Iterator
    {
        const ShadowCandidates* owner;
        size_t t;
        void Skip()
        {
            const std::vector<std::array<double, 4>>& boxes = *owner->boxes;
            while (t < boxes.size() && (owner->px < boxes[t][0] || owner->px > boxes[t][1] ||
                                        owner->py < boxes[t][2] || owner->py > boxes[t][3]))
                ++t;
        }
        int operator*() const { return int(t); }
        Iterator& operator++()
        {
            ++t;
            Skip();
            return *this;
        }
        bool operator!=(const Iterator& other) const { return t != other.t; }
    };
    Iterator begin() const
    {
        Iterator it{this, 0};
        it.Skip();
        return it;
    }
    Iterator end() const { return Iterator{this, boxes->size()}; }
};

// Brute-force ray queries a classifier answers before it builds a tree.
const int MAX_RAY_QUERIES_WITHOUT_TREE = 24;

struct Classifier
{
    const OperandSoup* other = nullptr;
    // The other's triangles that can touch this operand: covers and contacts
    // are among them.
    std::vector<int> nearOther;
    std::vector<std::array<double, 4>> shadowBoxes;
    int rayQueries = 0;
    std::unique_ptr<TriangleTree<IK>> fastTree, nearTree;
    std::unique_ptr<TriangleTree<EK>> exactTree;
    // Where the other's snapped triangles swept on their way: elsewhere its
    // inside and outside are those of the unsnapped doubles.
    std::vector<CGAL::Bbox_3> sweptBoxes;
    bool sweptKnown = false;

    bool TriangleSnapped(int t) const
    {
        const Tri& tri = other->triangles[size_t(t)];
        return IsSnapped(*other, tri[0]) || IsSnapped(*other, tri[1]) || IsSnapped(*other, tri[2]);
    }

    bool NearSnappedTriangle(const CGAL::Bbox_3& box)
    {
        if (other->snapped.empty())
            return false;
        if (!sweptKnown)
        {
            sweptKnown = true;
            for (size_t t = 0; t < other->triangles.size(); ++t)
            {
                if (!TriangleSnapped(int(t)))
                    continue;
                CGAL::Bbox_3 swept;
                for (int u : other->triangles[t])
                    swept += ToInexact(other->points[size_t(u)]).bbox() + ExactPointOf(*other, u).bbox();
                sweptBoxes.push_back(swept);
            }
        }
        for (const CGAL::Bbox_3& swept : sweptBoxes)
            if (CGAL::do_overlap(swept, box))
                return true;
        return false;
    }

    CGAL::Bounded_side LocateInputPoint(const IK::Point_3& p)
    {
        // Near snapped triangles only the exact tree sees the moved points.
        if (NearSnappedTriangle(p.bbox()))
            return Exact().Locate(EK::Point_3(p.x(), p.y(), p.z()));
        if (!fastTree && (rayQueries < MAX_RAY_QUERIES_WITHOUT_TREE || other->triangles.size() < 64))
        {
            ++rayQueries;
            if (shadowBoxes.empty())
            {
                shadowBoxes.resize(other->triangles.size());
                for (size_t t = 0; t < other->triangles.size(); ++t)
                {
                    const Tri& tri = other->triangles[t];
                    const Point3d &a = other->points[tri[0]], &b = other->points[tri[1]], &c = other->points[tri[2]];
                    shadowBoxes[t] = {std::min({a[0], b[0], c[0]}), std::max({a[0], b[0], c[0]}),
                                      std::min({a[1], b[1], c[1]}), std::max({a[1], b[1], c[1]})};
                }
            }
            CGAL::Bounded_side where;
            const double top = std::nextafter(std::max(p.z(), other->bbox[5]), HUGE_VAL);
            if (std::isfinite(top) &&
                LocateBySegment(*other, ShadowCandidates{&shadowBoxes, p.x(), p.y()}, p, IK::Point_3(p.x(), p.y(), top), where))
                return where;
        }
        if (!fastTree)
            fastTree.reset(new TriangleTree<IK>(*other));
        // Up, then a few slanted rays, each ending beyond the tree's box (a
        // ray from p through p plus a unit vector degenerates far from the
        // origin, where that sum rounds back to p).
        const CGAL::Bbox_3 box = fastTree->tree.bbox();
        double reach = 0;
        for (int c = 0; c < 3; ++c)
            reach += (box.max(c) - box.min(c)) + std::fabs(p[c] - box.min(c)) + std::fabs(p[c] - box.max(c));
        static const double DIRECTIONS[4][3] = {{0, 0, 1}, {0.36, 0.48, 0.8}, {-0.6, 0.64, -0.48}, {0.48, -0.8, 0.36}};
        std::vector<TriangleTree<IK>::Tree::Primitive_id> hits;
        std::vector<int> candidates;
        for (const double* d : DIRECTIONS)
        {
            const IK::Point_3 q(p.x() + 2 * reach * d[0], p.y() + 2 * reach * d[1], p.z() + 2 * reach * d[2]);
            if (!std::isfinite(q.x()) || !std::isfinite(q.y()) || !std::isfinite(q.z()) ||
                CGAL::do_overlap(q.bbox(), box))
                continue;
            hits.clear();
            fastTree->tree.all_intersected_primitives(IK::Segment_3(p, q), std::back_inserter(hits));
            candidates.clear();
            for (const auto& id : hits)
                candidates.push_back(int(id - fastTree->triangles.begin()));
            CGAL::Bounded_side where;
            if (LocateBySegment(*other, candidates, p, q, where))
                return where;
        }
        return Exact().Locate(EK::Point_3(p.x(), p.y(), p.z()));
    }
    // Does the triangle abc lie inside a coplanar triangle of the other soup?
    // Then `same` tells whether both face the same way. Exact predicates only.
    bool FindCoplanarCover(const IK::Point_3& a, const IK::Point_3& b, const IK::Point_3& c, bool& same)
    {
        auto covers = [&](const IK::Triangle_3& t) {
            const IK::Point_3 &p = t[0], &q = t[1], &r = t[2];
            for (const IK::Point_3* x : {&a, &b, &c})
            {
                if (CGAL::orientation(p, q, r, *x) != CGAL::COPLANAR ||
                    CGAL::coplanar_orientation(p, q, r, *x) == CGAL::NEGATIVE ||
                    CGAL::coplanar_orientation(q, r, p, *x) == CGAL::NEGATIVE ||
                    CGAL::coplanar_orientation(r, p, q, *x) == CGAL::NEGATIVE)
                    return false;
            }
            same = CGAL::coplanar_orientation(a, b, c) == CGAL::coplanar_orientation(p, q, r);
            return true;
        };
        // Moved triangles are not their doubles: the exact classification decides.
        auto coversWith = [&](int t) {
            if (TriangleSnapped(t))
                return false;
            const Tri& tri = other->triangles[size_t(t)];
            return covers(IK::Triangle_3(ToInexact(other->points[tri[0]]), ToInexact(other->points[tri[1]]),
                                         ToInexact(other->points[tri[2]])));
        };
        const CGAL::Bbox_3 box = a.bbox() + b.bbox() + c.bbox();
        if (nearOther.size() < 256)
        {
            for (int t : nearOther)
            {
                const Tri& tri = other->triangles[size_t(t)];
                const CGAL::Bbox_3 tb = ToInexact(other->points[tri[0]]).bbox() +
                                        ToInexact(other->points[tri[1]]).bbox() + ToInexact(other->points[tri[2]]).bbox();
                if (CGAL::do_overlap(tb, box) && coversWith(t))
                    return true;
            }
            return false;
        }
        if (!nearTree)
            nearTree.reset(new TriangleTree<IK>(*other, nearOther));
        std::vector<TriangleTree<IK>::Tree::Primitive_id> hits;
        nearTree->tree.all_intersected_primitives(IK::Iso_cuboid_3(box), std::back_inserter(hits));
        for (const auto& id : hits)
            if (coversWith(nearOther[size_t(id - nearTree->triangles.begin())]))
                return true;
        return false;
    }

    // Is the exact point on a near triangle of the other? Then `same` tells
    // whether the normal n agrees with that triangle's.
    bool FindExactContact(const EK::Point_3& x, const EK::Vector_3& n, bool& same)
    {
        const CGAL::Bbox_3 box = x.bbox();
        for (int t : nearOther)
        {
            const Tri& tri = other->triangles[size_t(t)];
            const EK::Point_3 p = ExactPointOf(*other, tri[0]), q = ExactPointOf(*other, tri[1]),
                              r = ExactPointOf(*other, tri[2]);
            if (!CGAL::do_overlap(p.bbox() + q.bbox() + r.bbox(), box))
                continue;
            // Triangle_3::has_on solves for barycentric coordinates, which the
            // interval filter never settles: every call would be exact.
            if (CGAL::orientation(p, q, r, x) != CGAL::COPLANAR ||
                CGAL::coplanar_orientation(p, q, r, x) == CGAL::NEGATIVE ||
                CGAL::coplanar_orientation(q, r, p, x) == CGAL::NEGATIVE ||
                CGAL::coplanar_orientation(r, p, q, x) == CGAL::NEGATIVE)
                continue;
            same = CGAL::is_positive(n * CGAL::cross_product(q - p, r - p));
            return true;
        }
        return false;
    }
    TriangleTree<EK>& Exact()
    {
        if (!exactTree)
            exactTree.reset(new TriangleTree<EK>(*other));
        return *exactTree;
    }
};

// A point whose interval approximation is a single double triple is exactly it.
bool ExactDoublePoint(const EK::Point_3& p, IK::Point_3& out);

// Same, computing the exact value when the interval is not tight (it then
// becomes tight): an intersection point on a grid is often a double.
bool ExactDoublePointForced(const EK::Point_3& p, IK::Point_3& out)
{
    if (ExactDoublePoint(p, out))
        return true;
    const EK::Point_3::Exact_type& e = p.exact();
    const std::pair<double, double> x = CGAL::to_interval(e.x()), y = CGAL::to_interval(e.y()),
                                    z = CGAL::to_interval(e.z());
    if (x.first != x.second || y.first != y.second || z.first != z.second)
        return false;
    out = IK::Point_3(x.first, y.first, z.first);
    return true;
}

bool ExactDoublePoint(const EK::Point_3& p, IK::Point_3& out)
{
    const auto& a = CGAL::approx(p);
    if (a.x().inf() != a.x().sup() || a.y().inf() != a.y().sup() || a.z().inf() != a.z().sup())
        return false;
    out = IK::Point_3(a.x().inf(), a.y().inf(), a.z().inf());
    return true;
}

// x + y and its half, when both are exact in double.
bool ExactHalfSum(double x, double y, double& half)
{
    const double sum = x + y;
    const double yv = sum - x, xv = sum - yv;
    if ((x - xv) + (y - yv) != 0)
        return false;
    half = sum * 0.5;
    return half * 2 == sum;
}

// The interior point (a + b + 2c) / 4 of a triangle when doubles hold it exactly
// (they do on a grid): it lets the inexact-construction queries stay exact.
bool InteriorDoublePoint(const IK::Point_3& a, const IK::Point_3& b, const IK::Point_3& c, IK::Point_3& out)
{
    double q[3];
    for (int k = 0; k < 3; ++k)
    {
        double m;
        if (!ExactHalfSum(a[k], b[k], m) || !ExactHalfSum(m, c[k], q[k]))
            return false;
    }
    out = IK::Point_3(q[0], q[1], q[2]);
    return true;
}

PatchSide ClassifyFaceExactly(const ExactMesh& mesh, FaceIndex f, Classifier& classifier, bool needOrientation)
{
    const HalfedgeIndex h = mesh.halfedge(f);
    const EK::Point_3& a = mesh.point(mesh.source(h));
    const EK::Point_3& b = mesh.point(mesh.target(h));
    const EK::Point_3& c = mesh.point(mesh.target(mesh.next(h)));
    const EK::Point_3 centroid = CGAL::centroid(a, b, c);
    const EK::Vector_3 normal = CGAL::cross_product(b - a, c - a);
    // On the other surface is decided among the triangles that can touch this
    // face, without a tree over all of the other operand.
    bool same = true;
    if (classifier.FindExactContact(centroid, normal, same))
        return !needOrientation || same ? SIDE_ON_SAME : SIDE_ON_OPPOSITE;
    TriangleTree<EK>& tree = classifier.Exact();
    const CGAL::Bounded_side side = tree.Locate(centroid);
    if (side == CGAL::ON_BOUNDED_SIDE)
        return SIDE_INSIDE;
    if (side == CGAL::ON_UNBOUNDED_SIDE)
        return SIDE_OUTSIDE;
    if (!needOrientation)
        return SIDE_ON_SAME;
    // On the other surface: compare with the other triangle lying in the same plane.
    std::vector<TriangleTree<EK>::Tree::Primitive_id> hits;
    tree.tree.all_intersected_primitives(centroid, std::back_inserter(hits));
    for (const auto& id : hits)
    {
        const EK::Triangle_3& t = *id;
        if (CGAL::orientation(t[0], t[1], t[2], a) != CGAL::COPLANAR ||
            CGAL::orientation(t[0], t[1], t[2], b) != CGAL::COPLANAR ||
            CGAL::orientation(t[0], t[1], t[2], c) != CGAL::COPLANAR)
            continue;
        const EK::Vector_3 otherNormal = CGAL::cross_product(t[1] - t[0], t[2] - t[0]);
        return CGAL::is_positive(normal * otherNormal) ? SIDE_ON_SAME : SIDE_ON_OPPOSITE;
    }
    return SIDE_UNKNOWN;
}

// Triangles that cannot touch the other surface, grouped through shared points
// (none of which touches it either): each group lies wholly inside or outside.
struct FarGroups
{
    std::vector<int> farTriangles;
    std::vector<int> groupOfPoint; // root point of its group, -1 when no far triangle uses it
    std::vector<PatchSide> sideOfGroup;
};

int FindRoot(std::vector<int>& parent, int x)
{
    while (parent[size_t(x)] != x)
    {
        parent[size_t(x)] = parent[size_t(parent[size_t(x)])];
        x = parent[size_t(x)];
    }
    return x;
}

void GroupFarTriangles(const OperandSoup& soup, const std::vector<int>& nearTriangles, FarGroups& far)
{
    std::vector<char> isNear(soup.triangles.size(), 0);
    for (int t : nearTriangles)
        isNear[size_t(t)] = 1;
    std::vector<int> parent(soup.points.size());
    for (size_t i = 0; i < parent.size(); ++i)
        parent[i] = int(i);
    far.groupOfPoint.assign(soup.points.size(), -1);
    for (size_t t = 0; t < soup.triangles.size(); ++t)
    {
        if (isNear[t])
            continue;
        far.farTriangles.push_back(int(t));
        const Tri& tri = soup.triangles[t];
        for (int c = 0; c < 3; ++c)
        {
            far.groupOfPoint[size_t(tri[c])] = 0;
            const int r1 = FindRoot(parent, tri[c]), r2 = FindRoot(parent, tri[(c + 1) % 3]);
            if (r1 != r2)
                parent[size_t(r1)] = r2;
        }
    }
    for (size_t u = 0; u < parent.size(); ++u)
        if (far.groupOfPoint[u] == 0)
            far.groupOfPoint[u] = FindRoot(parent, int(u));
    far.sideOfGroup.assign(soup.points.size(), SIDE_UNKNOWN);
}

// The side of the group of a point that no far triangle's box lets touch the
// other surface, asked once per group.
PatchSide SideOfFarGroup(FarGroups& far, const OperandSoup& soup, int point, Classifier& classifier)
{
    const int root = far.groupOfPoint[size_t(point)];
    PatchSide& side = far.sideOfGroup[size_t(root)];
    auto locate = [&](int u) {
        const CGAL::Bounded_side where = IsSnapped(soup, u) ? classifier.Exact().Locate(ExactPointOf(soup, u))
                                                            : classifier.LocateInputPoint(ToInexact(soup.points[size_t(u)]));
        if (where != CGAL::ON_BOUNDARY)
            side = where == CGAL::ON_BOUNDED_SIDE ? SIDE_INSIDE : SIDE_OUTSIDE;
    };
    if (side == SIDE_UNKNOWN)
        locate(root);
    // The root may touch the other surface where the group meets cut
    // triangles; any other point of the group, or a triangle's centre, tells.
    for (size_t u = 0; u < far.groupOfPoint.size() && side == SIDE_UNKNOWN; ++u)
        if (far.groupOfPoint[u] == root && int(u) != root)
            locate(int(u));
    for (size_t k = 0; k < far.farTriangles.size() && side == SIDE_UNKNOWN; ++k)
    {
        const Tri& tri = soup.triangles[size_t(far.farTriangles[k])];
        if (far.groupOfPoint[size_t(tri[0])] != root)
            continue;
        const CGAL::Bounded_side where = classifier.Exact().Locate(
            CGAL::centroid(ExactPointOf(soup, tri[0]), ExactPointOf(soup, tri[1]), ExactPointOf(soup, tri[2])));
        if (where != CGAL::ON_BOUNDARY)
            side = where == CGAL::ON_BOUNDED_SIDE ? SIDE_INSIDE : SIDE_OUTSIDE;
    }
    return side;
}

// Labels every face with its patch and classifies each patch once.
bool ClassifyFaces(const ExactOperand& op, const OperandSoup& soup, FarGroups& far, Classifier& classifier,
                   bool needOrientation, std::vector<PatchSide>& sideOfFace)
{
    const ExactMesh& mesh = op.mesh;
    const size_t faceCount = mesh.number_of_faces();
    sideOfFace.assign(faceCount, SIDE_UNKNOWN);
    std::vector<int> patchOfFace(faceCount, -1);
    std::vector<FaceIndex> stack, patchFaces;
    int patchCount = 0;
    for (FaceIndex seed : mesh.faces())
    {
        if (patchOfFace[seed.idx()] >= 0)
            continue;
        const int patch = patchCount++;
        patchFaces.clear();
        stack.assign(1, seed);
        patchOfFace[seed.idx()] = patch;
        while (!stack.empty())
        {
            const FaceIndex f = stack.back();
            stack.pop_back();
            patchFaces.push_back(f);
            for (HalfedgeIndex h : CGAL::halfedges_around_face(mesh.halfedge(f), mesh))
            {
                if (op.constrained[mesh.edge(h)])
                    continue;
                const FaceIndex g = mesh.face(mesh.opposite(h));
                if (g == ExactMesh::null_face() || patchOfFace[g.idx()] >= 0)
                    continue;
                patchOfFace[g.idx()] = patch;
                stack.push_back(g);
            }
        }

        // A point shared with untouched triangles: the patch is on their side.
        PatchSide side = SIDE_UNKNOWN;
        for (size_t k = 0; k < patchFaces.size() && side == SIDE_UNKNOWN; ++k)
            for (VertexIndex v : CGAL::vertices_around_face(mesh.halfedge(patchFaces[k]), mesh))
                if (v.idx() < op.soupPoint.size() && far.groupOfPoint[size_t(op.soupPoint[v.idx()])] >= 0)
                {
                    side = SideOfFarGroup(far, soup, op.soupPoint[v.idx()], classifier);
                    break;
                }

        // Fast route: an input vertex of the patch strictly inside or outside.
        int tries = 0;
        for (size_t k = 0; k < patchFaces.size() && side == SIDE_UNKNOWN && tries < MAX_FAST_CLASSIFY_TRIES; ++k)
        {
            for (VertexIndex v : CGAL::vertices_around_face(mesh.halfedge(patchFaces[k]), mesh))
            {
                IK::Point_3 p;
                if (op.node[v] >= 0 || !ExactDoublePoint(mesh.point(v), p))
                    continue; // intersection points lie on the other surface anyway
                ++tries;
                const CGAL::Bounded_side where = classifier.LocateInputPoint(p);
                if (where != CGAL::ON_BOUNDARY)
                {
                    side = where == CGAL::ON_BOUNDED_SIDE ? SIDE_INSIDE : SIDE_OUTSIDE;
                    break;
                }
                if (tries >= MAX_FAST_CLASSIFY_TRIES)
                    break;
            }
        }
        // Every vertex tried is on the other surface: a face of input points may
        // still be shown to lie on it without exact constructions.
        FaceIndex probe = patchFaces[0];
        for (size_t k = 0; k < patchFaces.size() && side == SIDE_UNKNOWN && k < MAX_FAST_CLASSIFY_TRIES; ++k)
        {
            IK::Point_3 corner[3];
            int n = 0;
            for (VertexIndex v : CGAL::vertices_around_face(mesh.halfedge(patchFaces[k]), mesh))
                n += ExactDoublePointForced(mesh.point(v), corner[n]) ? 1 : 0;
            if (n < 3)
                continue;
            bool same = true;
            IK::Point_3 inner;
            if (classifier.FindCoplanarCover(corner[0], corner[1], corner[2], same))
                side = same ? SIDE_ON_SAME : SIDE_ON_OPPOSITE;
            else if (InteriorDoublePoint(corner[0], corner[1], corner[2], inner))
            {
                // Off the surface: an interior point is strictly inside or outside.
                const CGAL::Bounded_side where = classifier.LocateInputPoint(inner);
                if (where != CGAL::ON_BOUNDARY)
                    side = where == CGAL::ON_BOUNDED_SIDE ? SIDE_INSIDE : SIDE_OUTSIDE;
            }
            probe = patchFaces[k];
            break;
        }
        if (side == SIDE_UNKNOWN)
            side = ClassifyFaceExactly(mesh, probe, classifier, needOrientation);
        if (side == SIDE_UNKNOWN)
            return false;
        for (FaceIndex f : patchFaces)
            sideOfFace[f.idx()] = side;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Output

// The exact value rounded to the nearest double (ties to even); `inexact` is
// set when that changed it.
double RoundToNearest(const EK::FT& value, bool& inexact)
{
    const std::pair<double, double> approx = CGAL::to_interval(value);
    if (approx.first == approx.second)
        return approx.first;
    const ExactNumber& exact = value.exact();
    const std::pair<double, double> tight = CGAL::to_interval(exact);
    if (tight.first == tight.second)
        return tight.first;
    inexact = true;
    const ExactNumber mid = (ExactNumber(tight.first) + ExactNumber(tight.second)) / 2;
    if (exact < mid)
        return tight.first;
    if (exact > mid)
        return tight.second;
    std::uint64_t bits;
    std::memcpy(&bits, &tight.first, sizeof bits);
    return (bits & 1) == 0 ? tight.first : tight.second;
}

Point3d RoundPoint(const EK::Point_3& p, bool& inexact)
{
    IK::Point_3 q;
    if (ExactDoublePoint(p, q))
        return {q.x(), q.y(), q.z()};
    return {RoundToNearest(p.x(), inexact), RoundToNearest(p.y(), inexact), RoundToNearest(p.z(), inexact)};
}

struct PointHash
{
    size_t operator()(const Point3d& p) const
    {
        std::uint64_t h = 1469598103934665603ull;
        for (double d : p)
        {
            d += 0.0;
            std::uint64_t bits;
            std::memcpy(&bits, &d, sizeof bits);
            h = (h ^ bits) * 1099511628211ull;
            h ^= h >> 29;
        }
        return size_t(h);
    }
};

struct ResultBuilder
{
    std::unordered_map<int, int> pointOfNode;
    std::vector<Point3d> points;
    std::vector<char> rounded; // the point is an exact point rounded to doubles
    // Rounded, mended, or a corner of a cut face snapping may have laid onto
    // the other operand: the triangles around it are checked.
    std::vector<char> suspect;
    std::unordered_map<Point3d, int, PointHash> indexOfPoint;
    std::vector<Tri> triangles;
    std::vector<int> births;
    // The input point a point was first added as (2 × its index, plus 1 for
    // B's), else -1; and the points that are input points snapping moved.
    std::vector<int> source;
    std::vector<int> moved;

    int AddPoint(const Point3d& p, bool inexact = false)
    {
        const Point3d key = {p[0] + 0.0, p[1] + 0.0, p[2] + 0.0};
        auto found = indexOfPoint.emplace(key, int(points.size()));
        if (found.second)
        {
            points.push_back(key);
            rounded.push_back(0);
            suspect.push_back(0);
            source.push_back(-1);
        }
        rounded[size_t(found.first->second)] |= char(inexact);
        suspect[size_t(found.first->second)] |= char(inexact);
        return found.first->second;
    }

    int AddExactPoint(const EK::Point_3& p)
    {
        bool inexact = false;
        const Point3d q = RoundPoint(p, inexact);
        return AddPoint(q, inexact);
    }

    // Records that point `id`, added when there were `countBefore` points, is
    // input point u of the operand.
    void NoteInputPoint(int id, size_t countBefore, const OperandSoup& soup, int u, int operand)
    {
        if (size_t(id) < countBefore)
            return;
        source[size_t(id)] = 2 * u + operand;
        if (IsSnapped(soup, u))
            moved.push_back(id);
    }

    void AddTriangle(int a, int b, int c, int birth)
    {
        // Points that round together make a sliver vanish; dropping it keeps the
        // surface closed.
        if (a == b || b == c || a == c)
            return;
        triangles.push_back({a, b, c});
        births.push_back(birth);
    }

    // Far triangles keep their input points; none of them can equal a point of
    // the other operand, so they skip the merging table (snapped points excepted).
    void AddFarFaces(const OperandSoup& soup, int operand, FarGroups& far, Classifier& classifier, PatchSide keep,
                     PatchSide keepFlipped, int birthOffset, std::vector<int>& pointOfInput)
    {
        for (int t : far.farTriangles)
        {
            const Tri& tri = soup.triangles[size_t(t)];
            const PatchSide side = SideOfFarGroup(far, soup, tri[0], classifier);
            if (side == SIDE_UNKNOWN)
                throw std::runtime_error("an untouched part could not be located");
            const bool flip = side == keepFlipped;
            if (side != keep && !flip)
                continue;
            int corner[3];
            for (int c = 0; c < 3; ++c)
            {
                int& id = pointOfInput[size_t(tri[c])];
                const size_t countBefore = points.size();
                if (id < 0 && IsSnapped(soup, tri[c]))
                    id = AddExactPoint(ExactPointOf(soup, tri[c]));
                else if (id < 0)
                {
                    id = int(points.size());
                    const Point3d& p = soup.points[size_t(tri[c])];
                    points.push_back({p[0] + 0.0, p[1] + 0.0, p[2] + 0.0});
                    rounded.push_back(0);
                    suspect.push_back(0);
                    source.push_back(-1);
                }
                NoteInputPoint(id, countBefore, soup, tri[c], operand);
                corner[c] = id;
            }
            if (flip)
                AddTriangle(corner[0], corner[2], corner[1], t + birthOffset);
            else
                AddTriangle(corner[0], corner[1], corner[2], t + birthOffset);
        }
    }

    void AddFaces(const ExactOperand& op, const OperandSoup& soup, int operand, const std::vector<PatchSide>& sideOfFace,
                  PatchSide keep, PatchSide keepFlipped, PatchSide keepAlso, int birthOffset,
                  const std::vector<char>& snappedNear, std::vector<int>& pointOfInput)
    {
        const ExactMesh& mesh = op.mesh;
        std::vector<int> pointOfVertex(mesh.number_of_vertices(), -1);
        for (FaceIndex f : mesh.faces())
        {
            const PatchSide side = sideOfFace[f.idx()];
            const bool flip = side == keepFlipped;
            if (side != keep && side != keepAlso && !flip)
                continue;
            int corner[3], k = 0;
            for (VertexIndex v : CGAL::vertices_around_face(mesh.halfedge(f), mesh))
            {
                int& id = pointOfVertex[v.idx()];
                if (id < 0 && v.idx() < op.soupPoint.size())
                    id = pointOfInput[size_t(op.soupPoint[v.idx()])];
                if (id < 0)
                {
                    const size_t countBefore = points.size();
                    const int node = op.node[v];
                    if (node < 0)
                        id = AddExactPoint(mesh.point(v));
                    else
                    {
                        auto known = pointOfNode.find(node);
                        if (known == pointOfNode.end())
                            known = pointOfNode.emplace(node, AddExactPoint(mesh.point(v))).first;
                        id = known->second;
                    }
                    if (v.idx() < op.soupPoint.size())
                    {
                        pointOfInput[size_t(op.soupPoint[v.idx()])] = id;
                        NoteInputPoint(id, countBefore, soup, op.soupPoint[v.idx()], operand);
                    }
                }
                suspect[size_t(id)] |= snappedNear[size_t(op.birth[f])];
                corner[k++] = id;
            }
            if (flip)
                AddTriangle(corner[0], corner[2], corner[1], op.birth[f] + birthOffset);
            else
                AddTriangle(corner[0], corner[1], corner[2], op.birth[f] + birthOffset);
        }
    }
};

void CopyOperand(const OperandSoup& soup, int birthOffset, ResultBuilder& out)
{
    std::vector<int> id(soup.points.size());
    for (size_t i = 0; i < soup.points.size(); ++i)
        id[i] = out.AddPoint(soup.points[i]);
    for (size_t t = 0; t < soup.triangles.size(); ++t)
    {
        const Tri& tri = soup.triangles[t];
        out.AddTriangle(id[size_t(tri[0])], id[size_t(tri[1])], id[size_t(tri[2])], int(t) + birthOffset);
    }
}

// ---------------------------------------------------------------------------
// Settling the rounded result

// Rounding moves new points by half a unit in the last place. Where the exact
// result has near-degenerate triangles or parts thinner than that, rounding can
// leave zero-area triangles, flat pieces or crossings a hair deep. Only
// triangles with a rounded corner can be affected; they are checked, mended
// (flat components dropped, zero-area triangles removed by an edge flip), and
// checked again.

// Rounded points closer than this (relative to the largest coordinate) to
// another point are merged into it, and zero-area triangles are those with a
// corner this close to the opposite edge; the second value is tried when the
// first leaves crossings, the third where merging itself folded a sliver into
// a crossing of exact points no nudge may move. The last merges nothing: where
// a cut passes a hair from a corner of a face, merging the points it leaves
// there tilts the face by that hair, into a face an older result holds a
// hair beneath it.
const int MERGE_WAYS = 4;
const double MERGE_RATIOS[MERGE_WAYS] = {1e-12, 1e-9, 1e-14, 0};

// How far, in units in the last place, a rounded point may be nudged off a
// face it crossed.
const int NUDGE_REACH = 5;

// Nudging is for a few points rounding put a hair past a face; each is tried
// at every reach against every triangle near it. More crossings than this
// (in turned chains the ones nudging mended had up to 64) are not rounding
// slips, and nudging them would only delay the next way by minutes.
const size_t MAX_NUDGED_CROSSINGS = 256;

// Indices of the triangles rounding or cutting may have spoiled: those with a
// rounded corner or a corner of a cut face.
std::vector<int> SuspectTriangles(const ResultBuilder& out)
{
    std::vector<int> list;
    for (size_t t = 0; t < out.triangles.size(); ++t)
    {
        const Tri& tri = out.triangles[t];
        if (out.suspect[size_t(tri[0])] || out.suspect[size_t(tri[1])] || out.suspect[size_t(tri[2])])
            list.push_back(int(t));
    }
    return list;
}

CGAL::Bbox_3 BoxOfResultTriangle(const ResultBuilder& out, int t)
{
    CGAL::Bbox_3 box;
    for (int v : out.triangles[size_t(t)])
        box += ToInexact(out.points[size_t(v)]).bbox();
    return box;
}

void RemoveTriangles(ResultBuilder& out, const std::vector<char>& drop)
{
    size_t kept = 0;
    for (size_t t = 0; t < out.triangles.size(); ++t)
        if (!drop[t])
        {
            out.triangles[kept] = out.triangles[t];
            out.births[kept] = out.births[t];
            ++kept;
        }
    out.triangles.resize(kept);
    out.births.resize(kept);
}

// How far the points of a piece stray from its best-fitting plane: a sheet,
// a sliver or a needle is thin whatever its extent.
double PieceThickness(const ResultBuilder& out, const std::vector<int>& piece)
{
    std::vector<int> corners;
    for (int t : piece)
        corners.insert(corners.end(), out.triangles[size_t(t)].begin(), out.triangles[size_t(t)].end());
    std::sort(corners.begin(), corners.end());
    corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
    // Offsets from the first corner, scaled to at most 1 so huge meshes do not overflow.
    const Eigen::Vector3d origin(out.points[size_t(corners[0])].data());
    double extent = 0;
    for (int u : corners)
        extent = std::max(extent, (Eigen::Vector3d(out.points[size_t(u)].data()) - origin).cwiseAbs().maxCoeff());
    if (!(extent > 0))
        return 0;
    std::vector<Eigen::Vector3d> offsets;
    Eigen::Vector3d centre = Eigen::Vector3d::Zero();
    for (int u : corners)
    {
        offsets.push_back((Eigen::Vector3d(out.points[size_t(u)].data()) - origin) / extent);
        centre += offsets.back();
    }
    centre /= double(offsets.size());
    Eigen::Matrix3d spread = Eigen::Matrix3d::Zero();
    for (const Eigen::Vector3d& d : offsets)
        spread += (d - centre) * (d - centre).transpose();
    const Eigen::Vector3d normal = Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d>(spread).eigenvectors().col(0);
    double thickness = 0;
    for (const Eigen::Vector3d& d : offsets)
        thickness = std::max(thickness, std::fabs(normal.dot(d - centre)));
    return thickness * extent;
}

// Drops the connected pieces that enclose no volume or are no thicker than
// `tolerance` (rounding debris: specks, and slivers left where faces that
// touch missed each other by a few units in the last place).
bool DropFlatPieces(ResultBuilder& out, double tolerance)
{
    std::vector<int> parent(out.points.size());
    for (size_t i = 0; i < parent.size(); ++i)
        parent[i] = int(i);
    for (const Tri& tri : out.triangles)
        for (int c = 0; c < 2; ++c)
        {
            const int r1 = FindRoot(parent, tri[c]), r2 = FindRoot(parent, tri[c + 1]);
            if (r1 != r2)
                parent[size_t(std::max(r1, r2))] = std::min(r1, r2);
        }
    // Triangles grouped by piece: counting sort on the root.
    std::vector<int> start(out.points.size() + 1, 0);
    for (const Tri& tri : out.triangles)
        ++start[size_t(FindRoot(parent, tri[0])) + 1];
    for (size_t i = 0; i < out.points.size(); ++i)
        start[i + 1] += start[i];
    std::vector<int> fill(start.begin(), start.end() - 1), order(out.triangles.size());
    for (size_t t = 0; t < out.triangles.size(); ++t)
        order[size_t(fill[size_t(FindRoot(parent, out.triangles[t][0]))]++)] = int(t);
    std::vector<char> drop(out.triangles.size(), 0);
    bool any = false;
    for (size_t root = 0; root < out.points.size(); ++root)
    {
        if (start[root] == start[root + 1])
            continue;
        const std::vector<int> piece(order.begin() + start[root], order.begin() + start[root + 1]);
        double volume, magnitude;
        VolumeAndMagnitude(out.points, out.triangles, piece, volume, magnitude);
        // A body between two planes t apart holds at most half its area times
        // t: most pieces hold more than that for t = tolerance and need no fit.
        CGAL::Bbox_3 box;
        for (int t : piece)
            box += BoxOfResultTriangle(out, t);
        const double extent = std::max({box.xmax() - box.xmin(), box.ymax() - box.ymin(), box.zmax() - box.zmin()});
        const bool thick = std::fabs(volume) * extent > 6 * magnitude * tolerance;
        if (!IsFlat(volume, magnitude) && (thick || !(PieceThickness(out, piece) <= tolerance)))
            continue;
        for (int t : piece)
            drop[size_t(t)] = 1;
        any = true;
    }
    if (any)
        RemoveTriangles(out, drop);
    return any;
}

// Removes each zero-area triangle abc (c between a and b after rounding) by
// flipping its long edge ab with the triangle on the other side, which c then
// splits in two halves in its own plane. A flat pair abc, bac goes as a whole.
// The corner of a triangle that lies within `tolerance` of the opposite
// edge, between its ends, or -1.
int CornerOnOppositeEdge(const ResultBuilder& out, const Tri& tri, double tolerance)
{
    auto P = [&](int id) { return ToInexact(out.points[size_t(id)]); };
    for (int c = 0; c < 3; ++c)
    {
        const IK::Point_3 x = P(tri[c]), a = P(tri[(c + 1) % 3]), b = P(tri[(c + 2) % 3]);
        if (CGAL::collinear(a, x, b))
        {
            if (CGAL::collinear_are_strictly_ordered_along_line(a, x, b))
                return c;
            continue;
        }
        const IK::Vector_3 ab = b - a, ax = x - a, bx = x - b;
        if (!(ax * ab > 0) || !(bx * ab < 0))
            continue;
        const double height2 = CGAL::cross_product(ab, ax).squared_length() / ab.squared_length();
        if (height2 <= tolerance * tolerance)
            return c;
    }
    return -1;
}

void FlipZeroAreaTriangles(ResultBuilder& out, double tolerance, bool& changed)
{
    std::vector<int> flat;
    std::vector<int> cornerOf(out.triangles.size(), -1);
    for (int t : SuspectTriangles(out))
    {
        const int k = CornerOnOppositeEdge(out, out.triangles[size_t(t)], tolerance);
        if (k >= 0)
        {
            flat.push_back(t);
            cornerOf[size_t(t)] = k;
        }
    }
    if (flat.empty())
        return;
    changed = true;
    std::map<std::pair<int, int>, std::vector<int>> byEdge; // directed edge -> triangles
    for (size_t t = 0; t < out.triangles.size(); ++t)
        for (int c = 0; c < 3; ++c)
            byEdge[{out.triangles[t][c], out.triangles[t][(c + 1) % 3]}].push_back(int(t));
    std::vector<char> drop(out.triangles.size(), 0);
    for (int t : flat)
    {
        if (drop[size_t(t)])
            continue;
        const Tri tri = out.triangles[size_t(t)];
        const int k = cornerOf[size_t(t)];
        const int c0 = tri[size_t(k)], a = tri[size_t((k + 1) % 3)], b = tri[size_t((k + 2) % 3)];
        // abc in order a, b, c0: the long edge is a->b; its partner runs b->a.
        int partner = -1;
        for (int other : byEdge[{b, a}])
            if (!drop[size_t(other)] && other != t)
            {
                partner = other;
                break;
            }
        if (partner < 0)
            continue; // its partner went with another flat triangle: next pass
        const Tri& q = out.triangles[size_t(partner)];
        int d = -1;
        for (int c = 0; c < 3; ++c)
            if (q[c] != a && q[c] != b)
                d = q[c];
        drop[size_t(t)] = 1;
        drop[size_t(partner)] = 1;
        if (d == c0)
            continue; // a flat pocket: both go
        const int birth = out.births[size_t(partner)];
        // The new triangles may close up against others: check them all.
        for (int u : {c0, a, b, d})
            out.suspect[size_t(u)] = 1;
        out.triangles.push_back({c0, a, d});
        out.births.push_back(birth);
        out.triangles.push_back({c0, d, b});
        out.births.push_back(birth);
        drop.push_back(0);
        drop.push_back(0);
    }
    RemoveTriangles(out, drop);
}

typedef CGAL::Box_intersection_d::Box_with_info_d<double, 3, int> ResultBox;

// Boxes of the rounded triangles and of every triangle whose box meets them.
void RoundedBoxes(const ResultBuilder& out, std::vector<ResultBox>& rounded, std::vector<ResultBox>& all)
{
    auto boxOf = [&](int t) {
        const Tri& tri = out.triangles[size_t(t)];
        double lo[3], hi[3];
        for (int c = 0; c < 3; ++c)
        {
            lo[c] = std::min({out.points[size_t(tri[0])][c], out.points[size_t(tri[1])][c], out.points[size_t(tri[2])][c]});
            hi[c] = std::max({out.points[size_t(tri[0])][c], out.points[size_t(tri[1])][c], out.points[size_t(tri[2])][c]});
        }
        return ResultBox(lo, hi, t);
    };
    rounded.clear();
    all.clear();
    for (int t : SuspectTriangles(out))
        rounded.push_back(boxOf(t));
    if (rounded.empty())
        return;
    CGAL::Bbox_3 span = rounded[0].bbox();
    for (const ResultBox& box : rounded)
        span += box.bbox();
    for (size_t t = 0; t < out.triangles.size(); ++t)
    {
        const ResultBox box = boxOf(int(t));
        if (CGAL::do_overlap(box.bbox(), span))
            all.push_back(box);
    }
}

// Directed 4-cycles of points, smallest point first.
std::array<int, 4> CanonicalCycle(std::array<int, 4> cycle)
{
    std::rotate(cycle.begin(), std::min_element(cycle.begin(), cycle.end()), cycle.end());
    return cycle;
}

// Drops the four faces of flat pillows among suspect triangles: a quad of two
// triangles and the same quad the other way round, split along its other
// diagonal. Two parts touching along a turned quad leave one where the quad
// is a hair off flat, and flattening it later would lay its faces on one
// another. Alone they close a piece of next to no volume.
bool DropFlatPillows(ResultBuilder& out, std::vector<char>& drop)
{
    // Sorted lists rather than maps of lists: this runs on every result.
    const std::vector<int> suspect = SuspectTriangles(out);
    std::vector<std::array<int, 3>> withEdge; // directed edge, its triangle
    for (int t : suspect)
        for (int c = 0; c < 3; ++c)
            withEdge.push_back({out.triangles[size_t(t)][c], out.triangles[size_t(t)][(c + 1) % 3], t});
    std::sort(withEdge.begin(), withEdge.end());
    // The reverse of quad a, w, b, third has a triangle on a -> third whose
    // third corner is w or b (which ever diagonal splits it). On a sound
    // surface that triangle is t's neighbour, with another corner: such
    // quads are left out, which leaves the matches as they were.
    auto reversible = [&](int a, int w, int b, int third) {
        for (auto e = std::lower_bound(withEdge.begin(), withEdge.end(), std::array<int, 3>{a, third, INT_MIN});
             e != withEdge.end() && (*e)[0] == a && (*e)[1] == third; ++e)
        {
            const Tri& other = out.triangles[size_t((*e)[2])];
            const int corner = other[0] + other[1] + other[2] - a - third;
            if (corner == w || corner == b)
                return true;
        }
        return false;
    };
    struct Quad
    {
        std::array<int, 4> cycle;
        int t, o; // its two triangles
        bool operator<(const Quad& q) const { return std::tie(cycle, t, o) < std::tie(q.cycle, q.t, q.o); }
    };
    std::vector<Quad> quads;
    for (int t : suspect)
        for (int c = 0; c < 3; ++c)
        {
            const Tri& tri = out.triangles[size_t(t)];
            const int a = tri[c], b = tri[(c + 1) % 3], third = tri[(c + 2) % 3];
            for (auto e = std::lower_bound(withEdge.begin(), withEdge.end(), std::array<int, 3>{b, a, INT_MIN});
                 e != withEdge.end() && (*e)[0] == b && (*e)[1] == a; ++e)
            {
                const int o = (*e)[2];
                const Tri& other = out.triangles[size_t(o)];
                const int w = other[0] + other[1] + other[2] - a - b;
                if (w != third && reversible(a, w, b, third))
                    quads.push_back({CanonicalCycle({a, w, b, third}), t, o});
            }
        }
    std::sort(quads.begin(), quads.end());
    auto byCycle = [](const Quad& x, const Quad& y) { return x.cycle < y.cycle; };
    bool any = false;
    for (auto group = quads.begin(); group != quads.end();)
    {
        const std::array<int, 4>& q = group->cycle;
        const auto end = std::upper_bound(group, quads.end(), *group, byCycle);
        const auto reverse = std::equal_range(quads.begin(), quads.end(),
                                              Quad{CanonicalCycle({q[0], q[3], q[2], q[1]}), 0, 0}, byCycle);
        for (auto one = group; one != end; ++one)
            for (auto other = reverse.first; other != reverse.second; ++other)
            {
                const std::vector<int> pillow = {one->t, one->o, other->t, other->o};
                bool free = true;
                for (int t : pillow)
                    free = free && !drop[size_t(t)];
                double volume, magnitude;
                VolumeAndMagnitude(out.points, out.triangles, pillow, volume, magnitude);
                if (!free || !IsFlat(volume, magnitude))
                    continue;
                for (int t : pillow)
                    drop[size_t(t)] = 1;
                any = true;
            }
        group = end;
    }
    return any;
}

// Drops pairs of rounded triangles with the same corners both ways round: a
// flat double sheet, left where two faces closer than rounding met in the
// same points; and flat pillows (see DropFlatPillows). Returns whether any
// went.
bool DropDoubleSheets(ResultBuilder& out)
{
    std::vector<std::pair<std::array<int, 3>, int>> bySet; // sorted corners, triangle
    for (int t : SuspectTriangles(out))
    {
        std::array<int, 3> key = out.triangles[size_t(t)];
        std::sort(key.begin(), key.end());
        bySet.push_back({key, t});
    }
    std::sort(bySet.begin(), bySet.end());
    std::vector<char> drop(out.triangles.size(), 0);
    bool any = false;
    for (size_t x = 0; x < bySet.size(); ++x)
        for (size_t y = x + 1; y < bySet.size() && bySet[y].first == bySet[x].first; ++y)
        {
            const int s = bySet[x].second, t = bySet[y].second;
            if (drop[size_t(s)] || drop[size_t(t)])
                continue;
            const Tri& ts = out.triangles[size_t(s)];
            if (HasDirectedEdge(out.triangles[size_t(t)], ts[1], ts[0]))
                drop[size_t(s)] = drop[size_t(t)] = any = true;
        }
    any = DropFlatPillows(out, drop) || any;
    if (any)
        RemoveTriangles(out, drop);
    return any;
}

// Merges each rounded point into a point closer than `tolerance` (an exact
// one when there is one) and drops the triangles that collapse, and pairs of
// triangles that are one another's reverse. Returns whether anything changed.
bool MergeClosePoints(ResultBuilder& out, double tolerance)
{
    if (!(tolerance > 0))
        return false;
    // Points in cells `tolerance` wide: a point closer than that to a rounded
    // one lies in the rounded one's cell or a neighbour. Coordinates are at
    // most 1e14 cells (the finest merge ratio) from the origin.
    typedef std::array<std::int64_t, 3> Cell;
    struct CellHash
    {
        size_t operator()(const Cell& c) const
        {
            return size_t((std::uint64_t(c[0]) * 73856093u) ^ (std::uint64_t(c[1]) * 19349663u) ^
                          (std::uint64_t(c[2]) * 83492791u));
        }
    };
    auto cellOf = [&](int u) {
        Cell c;
        for (int k = 0; k < 3; ++k)
            c[size_t(k)] = std::int64_t(std::floor(out.points[size_t(u)][k] / tolerance));
        return c;
    };
    std::vector<char> used(out.points.size(), 0);
    for (const Tri& tri : out.triangles)
        for (int u : tri)
            used[size_t(u)] = 1;
    std::unordered_map<Cell, int, CellHash> firstInCell;
    std::vector<int> nextInCell(out.points.size(), -1);
    for (int u = 0; u < int(out.points.size()); ++u)
        if (used[size_t(u)])
        {
            auto found = firstInCell.emplace(cellOf(u), u);
            if (!found.second)
            {
                nextInCell[size_t(u)] = found.first->second;
                found.first->second = u;
            }
        }
    const double squared = tolerance * tolerance;
    std::vector<std::pair<int, int>> close;
    for (int u = 0; u < int(out.points.size()); ++u)
    {
        if (!used[size_t(u)] || !out.rounded[size_t(u)])
            continue;
        const Cell home = cellOf(u);
        for (int n = 0; n < 27; ++n)
        {
            const Cell cell = {home[0] + n % 3 - 1, home[1] + n / 3 % 3 - 1, home[2] + n / 9 - 1};
            const auto found = firstInCell.find(cell);
            for (int v = found == firstInCell.end() ? -1 : found->second; v >= 0; v = nextInCell[size_t(v)])
            {
                double sum = 0;
                for (int c = 0; c < 3; ++c)
                {
                    const double d = out.points[size_t(u)][c] - out.points[size_t(v)][c];
                    sum += d * d;
                }
                if (v != u && sum <= squared)
                    close.push_back({u, v});
            }
        }
    }
    if (close.empty())
        return false;
    // Each group keeps its best point (see below), whatever the order pairs
    // were found in.
    std::sort(close.begin(), close.end());
    close.erase(std::unique(close.begin(), close.end()), close.end());
    std::vector<int> parent(out.points.size());
    for (size_t i = 0; i < parent.size(); ++i)
        parent[i] = int(i);
    // Exact points first, then the lower coordinates: point indices follow the
    // corefinement's internal order, which is not the same in every process.
    auto better = [&](int x, int y) {
        if (out.rounded[size_t(x)] != out.rounded[size_t(y)])
            return !out.rounded[size_t(x)];
        return out.points[size_t(x)] < out.points[size_t(y)];
    };
    for (const auto& pair : close)
    {
        const int r1 = FindRoot(parent, pair.first), r2 = FindRoot(parent, pair.second);
        if (r1 == r2)
            continue;
        if (better(r1, r2))
            parent[size_t(r2)] = r1;
        else
            parent[size_t(r1)] = r2;
    }
    for (Tri& tri : out.triangles)
        for (int c = 0; c < 3; ++c)
            tri[c] = FindRoot(parent, tri[c]);
    // The triangles around a point that took others in moved: check them too.
    for (const auto& pair : close)
        out.suspect[size_t(FindRoot(parent, pair.first))] = 1;
    std::vector<char> drop(out.triangles.size(), 0);
    for (size_t t = 0; t < out.triangles.size(); ++t)
    {
        const Tri& tri = out.triangles[t];
        drop[t] = tri[0] == tri[1] || tri[1] == tri[2] || tri[0] == tri[2];
    }
    RemoveTriangles(out, drop);
    DropDoubleSheets(out);
    return true;
}

// Pairs of rounded triangles and other triangles that cross or touch beyond
// shared corners; with `firstOnly`, at most one.
std::vector<std::pair<int, int>> FindRoundedCrossings(const ResultBuilder& out, bool firstOnly)
{
    typedef ResultBox Box;
    std::vector<std::pair<int, int>> found;
    std::vector<Box> rounded, all;
    RoundedBoxes(out, rounded, all);
    if (rounded.empty())
        return found;
    std::vector<char> isRounded(out.triangles.size(), 0), corner(out.points.size(), 0);
    for (const Box& box : rounded)
    {
        isRounded[size_t(box.info())] = 1;
        for (int u : out.triangles[size_t(box.info())])
            corner[size_t(u)] = 1;
    }
    const std::vector<char> unfolded = UnfoldedFanPoints(out.points, out.triangles, corner);
    // Each pair is named with a rounded triangle first, two rounded ones in
    // index order.
    auto test = [&](const Box& a, const Box& b) {
        int r = a.info(), o = b.info();
        if (!isRounded[size_t(r)] || (isRounded[size_t(o)] && o < r))
            std::swap(r, o);
        const Tri &s = out.triangles[size_t(r)], &t = out.triangles[size_t(o)];
        if (!isRounded[size_t(r)] || ShareUnfoldedCorner(s, t, unfolded) || !TrianglesIntersect(out.points, s, t))
            return;
        found.push_back({r, o});
        if (firstOnly)
            throw FoundIntersection{r, o};
    };
    try
    {
        // Where most triangles are rounded the grid is quicker; it meets every
        // pair once.
        if (2 * rounded.size() < all.size() || !ForEachOverlappingPairOnGrid(all, test))
            CGAL::box_intersection_d(rounded.begin(), rounded.end(), all.begin(), all.end(), [&](const Box& a, const Box& b) {
                // A pair of rounded triangles is met twice: test it once.
                if (a.info() != b.info() && !(isRounded[size_t(b.info())] && b.info() < a.info()))
                    test(a, b);
            });
    }
    catch (const FoundIntersection&)
    {
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Do rounded triangles cross or touch other triangles beyond shared corners?
bool DescribeCrossing(const std::vector<std::pair<int, int>>& found, std::string& reason)
{
    if (found.empty())
        return false;
    reason = "internal error: rounding the result made triangles " + RowText(found[0].first) + " and " +
             RowText(found[0].second) + " cross";
    return true;
}

bool RoundedTrianglesCross(const ResultBuilder& out, std::string& reason)
{
    return DescribeCrossing(FindRoundedCrossings(out, true), reason);
}

// Steps of a nudge in units in the last place, nearest first, in a fixed order.
std::vector<std::array<int, 3>> NudgeSteps()
{
    std::vector<std::array<int, 3>> steps;
    for (int reach = 1; reach <= NUDGE_REACH; ++reach)
        for (int x = -reach; x <= reach; ++x)
            for (int y = -reach; y <= reach; ++y)
                for (int z = -reach; z <= reach; ++z)
                    if (std::max({std::abs(x), std::abs(y), std::abs(z)}) == reach)
                        steps.push_back({x, y, z});
    return steps;
}

double StepUlps(double value, int steps)
{
    for (; steps > 0; --steps)
        value = std::nextafter(value, HUGE_VAL);
    for (; steps < 0; ++steps)
        value = std::nextafter(value, -HUGE_VAL);
    return value;
}

// Does triangle s stay clear of triangle t, but for the corners they share,
// wherever its corner u lies within `reach` (u's possible places, a box)? It
// does where s's other corners lie strictly on one side of t's plane, as
// interval arithmetic, rounding outward, proves over the whole box.
bool StaysApartWithin(const ResultBuilder& out, const Tri& s, const Tri& t, int u, const CGAL::Bbox_3& reach)
{
    typedef CGAL::Interval_nt<false> Interval;
    CGAL::Protect_FPU_rounding<true> rounding;
    auto coordinates = [&](int v, Interval c[3]) {
        if (v == u)
            for (int k = 0; k < 3; ++k)
                c[k] = Interval(reach.min(k), reach.max(k));
        else
            for (int k = 0; k < 3; ++k)
                c[k] = Interval(out.points[size_t(v)][size_t(k)]);
    };
    Interval a[3], b[3], c[3];
    coordinates(t[0], a);
    coordinates(t[1], b);
    coordinates(t[2], c);
    const Interval e[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, f[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const Interval n[3] = {e[1] * f[2] - e[2] * f[1], e[2] * f[0] - e[0] * f[2], e[0] * f[1] - e[1] * f[0]};
    int side = 0;
    for (int v : s)
    {
        if (v == t[0] || v == t[1] || v == t[2])
            continue;
        Interval q[3];
        coordinates(v, q);
        const Interval d = n[0] * (q[0] - a[0]) + n[1] * (q[1] - a[1]) + n[2] * (q[2] - a[2]);
        const int sign = d.inf() > 0 ? 1 : d.sup() < 0 ? -1 : 0;
        if (sign == 0 || (side != 0 && sign != side))
            return false;
        side = sign;
    }
    return side != 0;
}

// Rounding takes each new point to the nearest double; where that puts it a
// hair past a face it should not reach, a neighbouring double a few units in
// the last place away lies on the right side. The rounded point u is moved to
// the nearest such neighbour that clears the most crossings of its own
// triangles and leaves none of them zero-area; given `sound`, only to one
// that clears them all and for which `sound` holds. Returns whether it moved.
bool NudgePoint(ResultBuilder& out, int u, const std::function<bool()>* sound)
{
    static const std::vector<std::array<int, 3>> steps = NudgeSteps();
    std::vector<int> star;
    std::vector<char> inStar(out.triangles.size(), 0);
    for (size_t t = 0; t < out.triangles.size(); ++t)
        if (std::find(out.triangles[t].begin(), out.triangles[t].end(), u) != out.triangles[t].end())
        {
            star.push_back(int(t));
            inStar[t] = 1;
        }
    // Triangles near the star, with room for the largest nudge.
    CGAL::Bbox_3 reach;
    for (int t : star)
        reach += BoxOfResultTriangle(out, t);
    const double margin = 1e-12 * (1 + std::max({std::fabs(reach.xmin()), std::fabs(reach.xmax()),
                                                 std::fabs(reach.ymin()), std::fabs(reach.ymax()),
                                                 std::fabs(reach.zmin()), std::fabs(reach.zmax())}));
    reach = CGAL::Bbox_3(reach.xmin() - margin, reach.ymin() - margin, reach.zmin() - margin, reach.xmax() + margin,
                         reach.ymax() + margin, reach.zmax() + margin);
    std::vector<int> near;
    std::vector<CGAL::Bbox_3> nearBoxes;
    for (size_t t = 0; t < out.triangles.size(); ++t)
    {
        const CGAL::Bbox_3 box = BoxOfResultTriangle(out, int(t));
        if (CGAL::do_overlap(box, reach))
        {
            near.push_back(int(t));
            nearBoxes.push_back(box);
        }
    }
    // The near triangles each star triangle may meet somewhere in the reach
    // of a nudge: most of those whose boxes overlap its own lie clear of it
    // wherever u goes, and are left out of every count below.
    const Point3d& at = out.points[size_t(u)];
    const CGAL::Bbox_3 reachOfU(StepUlps(at[0], -NUDGE_REACH), StepUlps(at[1], -NUDGE_REACH),
                                StepUlps(at[2], -NUDGE_REACH), StepUlps(at[0], NUDGE_REACH),
                                StepUlps(at[1], NUDGE_REACH), StepUlps(at[2], NUDGE_REACH));
    std::vector<std::vector<size_t>> mayMeet(star.size());
    for (size_t i = 0; i < star.size(); ++i)
    {
        const Tri& s = out.triangles[size_t(star[i])];
        for (size_t k = 0; k < near.size(); ++k)
        {
            const int t = near[k];
            if (t != star[i] && !StaysApartWithin(out, s, out.triangles[size_t(t)], u, reachOfU))
                mayMeet[i].push_back(k);
        }
    }
    // Crossings of the star, or -1 when a triangle of it is zero-area; the
    // count stops at `enough`, where a nudge can no longer be the best.
    // Every nudge is tried against every near triangle it may meet: boxes
    // that stay apart spare the exact test.
    auto crossings = [&](int enough) {
        int count = 0;
        for (size_t i = 0; i < star.size(); ++i)
        {
            const int s = star[i];
            if (CornerOnOppositeEdge(out, out.triangles[size_t(s)], 0) >= 0)
                return -1;
            const CGAL::Bbox_3 boxS = BoxOfResultTriangle(out, s);
            for (size_t k : mayMeet[i])
            {
                const int t = near[k];
                if (!CGAL::do_overlap(boxS, inStar[size_t(t)] ? BoxOfResultTriangle(out, t) : nearBoxes[k]))
                    continue;
                if (TrianglesIntersect(out.points, out.triangles[size_t(s)], out.triangles[size_t(t)]) &&
                    ++count >= enough)
                    return count;
            }
        }
        return count;
    };
    const int before = crossings(INT_MAX);
    if (before == 0 && !sound)
        return false;
    // The nudge that clears the most; one that clears only some still
    // counts, as a neighbouring point may need to move as well.
    const Point3d original = out.points[size_t(u)];
    Point3d best = original;
    int fewest = before < 0 || sound ? INT_MAX : before;
    for (const std::array<int, 3>& step : steps)
    {
        const Point3d p = {StepUlps(original[0], step[0]), StepUlps(original[1], step[1]),
                           StepUlps(original[2], step[2])};
        if (out.indexOfPoint.count(p))
            continue;
        StopIfAbandoned();
        out.points[size_t(u)] = p;
        const int after = crossings(sound ? 1 : fewest);
        if (after >= 0 && after < fewest && (!sound || (after == 0 && (*sound)())))
        {
            fewest = after;
            best = p;
            if (after == 0)
                break;
        }
    }
    out.points[size_t(u)] = best;
    if (best == original)
        return false;
    out.indexOfPoint.erase(original);
    out.indexOfPoint.emplace(best, u);
    return true;
}

// Each rounded corner of a crossing triangle is nudged, with `inputsToo` every
// corner. Returns whether anything moved.
bool NudgeCrossingPoints(ResultBuilder& out, const std::vector<std::pair<int, int>>& crossings, bool inputsToo)
{
    std::vector<int> candidates;
    for (const auto& pair : crossings)
        for (int t : {pair.first, pair.second})
            for (int u : out.triangles[size_t(t)])
                if (out.rounded[size_t(u)] || inputsToo)
                    candidates.push_back(u);
    // In coordinate order: point indices follow the corefinement's internal
    // order, which is not the same in every process.
    std::sort(candidates.begin(), candidates.end(),
              [&](int u, int v) { return out.points[size_t(u)] < out.points[size_t(v)]; });
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    bool moved = false;
    for (int u : candidates)
        moved = NudgePoint(out, u, nullptr) || moved;
    return moved;
}

// Where parts touch along an edge, rounding the far corners of two faces that
// lay back to back there, or the edge's own ends, can turn them a hair past
// each other: the parts then overlap at the edge. A rounded far corner of one
// of them, failing that a rounded end, is nudged until the faces at the edge
// alternate again. `shared` lists the result's shared edges (see
// EdgesBalanced). Returns false where some edge is left so, also one a nudge
// for another edge spoiled.
bool NudgeFoldedEdges(ResultBuilder& out, std::vector<SharedEdge>& shared)
{
    // In coordinate order, as the nudges may interact: triangle indices follow
    // the corefinement's internal order.
    auto ends = [&](const SharedEdge& e) {
        return std::minmax(out.points[size_t(e.u)], out.points[size_t(e.v)]);
    };
    std::sort(shared.begin(), shared.end(), [&](const SharedEdge& x, const SharedEdge& y) { return ends(x) < ends(y); });
    bool moved = false;
    for (const SharedEdge& edge : shared)
    {
        const std::function<bool()> alternates = [&]() {
            return SharedEdgeAlternates(out.points, out.triangles, edge.u, edge.v, edge.at);
        };
        if (alternates())
            continue;
        auto inOrder = [&](int u, int v) { return out.points[size_t(u)] < out.points[size_t(v)]; };
        // Rounded corners to nudge: the far ones first, then the edge's own ends.
        std::vector<int> corners, ends;
        for (int t : edge.at)
            for (int u : out.triangles[size_t(t)])
                if (u != edge.u && u != edge.v && out.rounded[size_t(u)])
                    corners.push_back(u);
        std::sort(corners.begin(), corners.end(), inOrder);
        corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
        for (int u : {edge.u, edge.v})
            if (out.rounded[size_t(u)])
                ends.push_back(u);
        std::sort(ends.begin(), ends.end(), inOrder);
        corners.insert(corners.end(), ends.begin(), ends.end());
        bool mended = false;
        for (size_t k = 0; k < corners.size() && !mended; ++k)
            mended = NudgePoint(out, corners[k], &alternates);
        if (!mended)
            return false;
        moved = true;
    }
    for (size_t k = 0; moved && k < shared.size(); ++k)
        if (!SharedEdgeAlternates(out.points, out.triangles, shared[k].u, shared[k].v, shared[k].at))
            return false;
    return true;
}

// A rounded triangle with a corner on the opposite edge (zero area).
bool HasZeroAreaTriangle(const ResultBuilder& out)
{
    for (int t : SuspectTriangles(out))
        if (CornerOnOppositeEdge(out, out.triangles[size_t(t)], 0) >= 0)
            return true;
    return false;
}

typedef std::unordered_map<std::uint64_t, int> EdgeBalance; // lower point first; +1 for low to high

std::uint64_t EdgeKey(int u, int v)
{
    return (std::uint64_t(std::uint32_t(std::min(u, v))) << 32) | std::uint32_t(std::max(u, v));
}

// How often each edge at a suspect point is bordered one way more than the
// other. (All triangles at such an edge are suspect ones; other edges were
// left as the exact result had them.)
EdgeBalance SuspectEdgeBalance(const ResultBuilder& out)
{
    EdgeBalance balance;
    for (int t : SuspectTriangles(out))
        for (int c = 0; c < 3; ++c)
        {
            const int u = out.triangles[size_t(t)][c], v = out.triangles[size_t(t)][(c + 1) % 3];
            if (out.suspect[size_t(u)] || out.suspect[size_t(v)])
                balance[EdgeKey(u, v)] += u < v ? 1 : -1;
        }
    return balance;
}

bool SuspectEdgesClosed(const ResultBuilder& out)
{
    for (const auto& edge : SuspectEdgeBalance(out))
        if (edge.second != 0)
            return false;
    return true;
}

// Drops the suspect triangles every edge of which is bordered once too often
// in its own direction: the lid of a sliver whose other side rounded away.
bool DropLoneLids(ResultBuilder& out)
{
    const EdgeBalance balance = SuspectEdgeBalance(out);
    std::vector<char> drop(out.triangles.size(), 0);
    bool any = false;
    for (int t : SuspectTriangles(out))
    {
        bool lone = true;
        for (int c = 0; c < 3 && lone; ++c)
        {
            const int u = out.triangles[size_t(t)][c], v = out.triangles[size_t(t)][(c + 1) % 3];
            const auto found = balance.find(EdgeKey(u, v));
            lone = found != balance.end() && found->second == (u < v ? 1 : -1);
        }
        drop[size_t(t)] = lone;
        any = any || lone;
    }
    if (any)
        RemoveTriangles(out, drop);
    return any;
}

// The settled result must be an accepted operand: checked where rounding,
// cutting or mending could have spoiled it (zero-area triangles only after
// mending: the caller found none before; crossings are the caller's). Lone
// lids that leave it open are dropped first.
bool CheckSettledResult(ResultBuilder& out, bool mended, std::string& reason)
{
    if (mended && HasZeroAreaTriangle(out))
    {
        reason = "internal error: rounding the result left a zero-area triangle";
        return false;
    }
    if (!SuspectEdgesClosed(out) && !(DropLoneLids(out) && SuspectEdgesClosed(out)))
    {
        reason = "internal error: the result is not closed";
        return false;
    }
    if (out.triangles.empty())
        return true;
    // Every edge, not only the suspect ones: the shared edges are listed only
    // when all are balanced.
    std::vector<SharedEdge> shared;
    std::array<int, 4> open;
    if (!EdgesBalanced(out.points, out.triangles, shared, open))
    {
        reason = "internal error: the result is not closed";
        return false;
    }
    if (!NudgeFoldedEdges(out, shared))
    {
        reason = "internal error: rounding the result made parts overlap at an edge they share";
        return false;
    }
    std::vector<int> all(out.triangles.size());
    for (size_t t = 0; t < all.size(); ++t)
        all[t] = int(t);
    double volume, magnitude;
    VolumeAndMagnitude(out.points, out.triangles, all, volume, magnitude);
    if (IsFlat(volume, magnitude) || volume < 0)
    {
        reason = "internal error: rounding the result left no positive volume";
        return false;
    }
    return true;
}

void MatricesOf(const ResultBuilder& out, Eigen::MatrixXd& V, Eigen::MatrixXi& F, Eigen::VectorXi& births)
{
    V.resize(Eigen::Index(out.points.size()), 3);
    for (size_t i = 0; i < out.points.size(); ++i)
        for (int c = 0; c < 3; ++c)
            V(Eigen::Index(i), c) = out.points[i][c];
    F.resize(Eigen::Index(out.triangles.size()), 3);
    births.resize(Eigen::Index(out.triangles.size()));
    for (size_t t = 0; t < out.triangles.size(); ++t)
    {
        for (int c = 0; c < 3; ++c)
            F(Eigen::Index(t), c) = out.triangles[t][c];
        births(Eigen::Index(t)) = out.births[t];
    }
}

// Merges close points, drops what collapses and flips zero-area triangles,
// then nudges rounded points off the faces they still cross; with
// `nudgeInputs`, where that is not enough, input points at the crossings too.
bool MendRoundedPoints(ResultBuilder& out, double tolerance, bool nudgeInputs, std::string& reason,
                       size_t maxCrossings = MAX_NUDGED_CROSSINGS)
{
    for (int pass = 0; pass < 8; ++pass)
    {
        bool changed = MergeClosePoints(out, tolerance);
        changed = DropDoubleSheets(out) || changed;
        changed = DropFlatPieces(out, tolerance) || changed;
        FlipZeroAreaTriangles(out, tolerance, changed);
        if (!changed)
            break;
    }
    // Nudging needs every crossing; once none is left the check is done.
    bool inputsToo = false;
    for (int pass = 0;; ++pass)
    {
        // The merging passes can stop with a face and its reverse left by their
        // last flips: those two always cross and no nudge parts them.
        DropDoubleSheets(out);
        const std::vector<std::pair<int, int>> crossings = FindRoundedCrossings(out, false);
        if (!DescribeCrossing(crossings, reason))
            return true;
        if (crossings.size() > maxCrossings || pass == (nudgeInputs ? 8 : 4))
            return false;
        // Input points join in once new points alone have had their passes
        // or no longer move.
        inputsToo = inputsToo || (nudgeInputs && pass == 4);
        if (NudgeCrossingPoints(out, crossings, inputsToo))
            continue;
        if (inputsToo || !nudgeInputs || !NudgeCrossingPoints(out, crossings, true))
            return false;
        inputsToo = true;
    }
}

bool SettleRoundedResult(ResultBuilder& out, double mergeRatio, bool nudgeInputs, std::string& reason)
{
    if (SuspectTriangles(out).empty())
        return true;
    double scale = 0;
    for (const Point3d& p : out.points)
        scale = std::max({scale, std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])});
    const double tolerance = mergeRatio * scale;
    // Rounded points this close to another are merged even where nothing is
    // wrong yet: the crumbs between them are sound here but spoil the next
    // operation on this result.
    const bool merged = MergeClosePoints(out, tolerance);
    DropFlatPieces(out, tolerance);
    // Mended only where the check finds a fault.
    std::string why;
    const bool mend = HasZeroAreaTriangle(out) || RoundedTrianglesCross(out, why);
    if (mend && !MendRoundedPoints(out, tolerance, nudgeInputs, reason))
        return false;
    return CheckSettledResult(out, mend || merged, reason);
}

// How deep two crossing triangles lying in one plane overlap: for two that
// share an edge, the nearer of their third corners to it (both lie on one
// side); otherwise how far a corner of one lies inside the other. A hair for
// pieces a rounding pushed into one another; a fold the modeller made is deep.
double CoplanarOverlapDepth(const std::vector<Point3d>& points, const Tri& s, const Tri& t)
{
    auto at = [&](int u) { return Eigen::Vector3d(points[size_t(u)].data()); };
    const Eigen::Vector3d normal = (at(s[1]) - at(s[0])).cross(at(s[2]) - at(s[0]));
    // Distance of p from the line through a and b, positive on the side where
    // `inside` lies.
    auto beyond = [&](const Eigen::Vector3d& p, const Eigen::Vector3d& a, const Eigen::Vector3d& b,
                      const Eigen::Vector3d& inside) {
        const Eigen::Vector3d across = normal.cross(b - a).normalized();
        const double side = across.dot(inside - a) < 0 ? -1 : 1;
        return side * across.dot(p - a);
    };
    std::vector<int> common;
    for (int u : s)
        if (u == t[0] || u == t[1] || u == t[2])
            common.push_back(u);
    if (common.size() == 2)
    {
        const int thirdS = s[0] + s[1] + s[2] - common[0] - common[1];
        const int thirdT = t[0] + t[1] + t[2] - common[0] - common[1];
        const Eigen::Vector3d a = at(common[0]), b = at(common[1]);
        const Eigen::Vector3d across = normal.cross(b - a).normalized();
        return std::min(std::fabs(across.dot(at(thirdS) - a)), std::fabs(across.dot(at(thirdT) - a)));
    }
    double depth = 0;
    for (int pass = 0; pass < 2; ++pass)
    {
        const Tri& into = pass ? t : s;
        for (int u : pass ? s : t)
        {
            double inside = std::numeric_limits<double>::infinity();
            for (int c = 0; c < 3; ++c)
                inside = std::min(inside, beyond(at(u), at(into[c]), at(into[(c + 1) % 3]), at(into[(c + 2) % 3])));
            depth = std::max(depth, inside);
        }
    }
    return depth;
}

// A refused operand with more crossings than this is not a result a rounding
// spoiled (those had up to 40); trying to mend it would only delay the refusal.
const size_t MAX_MENDED_OPERAND_CROSSINGS = 64;

// For an operand holding crumbs: points closer than the merging tolerance with
// the slivers between them, left by the rounding of results where merging
// them failed or of results written before such points were merged, flat
// pillows, or flat pieces (needles whose double volume could not tell them
// flat, nor inside out). They are merged and dropped as a result's are, and
// the operand is taken only if it is still a sound solid. `births` gives the
// input triangle of each of its triangles. Points closer than `mergeRatio`
// times the largest coordinate are merged. With `faulty` (the operand was
// refused) the mending goes on where there are no crumbs, but only with no
// tolerance at all. Both are changed only where this succeeds.
bool MergeOperandCrumbs(OperandSoup& soup, std::vector<int>& births, double mergeRatio = MERGE_RATIOS[0],
                        bool faulty = false)
{
    ResultBuilder out;
    CopyOperand(soup, 0, out);
    std::fill(out.rounded.begin(), out.rounded.end(), char(1));
    std::fill(out.suspect.begin(), out.suspect.end(), char(1));
    const double tolerance = mergeRatio * LargestCoordinate(soup);
    std::string reason;
    bool crumbs = MergeClosePoints(out, tolerance);
    crumbs = DropDoubleSheets(out) || crumbs;
    crumbs = DropFlatPieces(out, tolerance) || crumbs;
    // A refused operand is mended with no tolerance first (see
    // MendRefusedOperand): a wider one that finds nothing would only repeat it.
    if (!crumbs && (!faulty || mergeRatio > 0))
        return false;
    if (!MendRoundedPoints(out, tolerance, false, reason, faulty ? MAX_MENDED_OPERAND_CROSSINGS : MAX_NUDGED_CROSSINGS) ||
        !CheckSettledResult(out, true, reason) || out.triangles.empty())
        return false;
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    Eigen::VectorXi J;
    MatricesOf(out, V, F, J);
    OperandSoup merged;
    if (!CheckOperand(V, F, false, merged, reason))
        return false;
    soup = std::move(merged);
    births = out.births;
    return true;
}

// Moving or scaling a result in doubles moves each point by a rounding, which
// can leave a triangle of zero area or two crossing a hair deep where the
// result held crumbs or a nudged point. An operand refused for nothing else
// is mended as results are and taken if it then passes every check: it must
// be closed, of positive volume, with no triangle with two corners at one
// point and at most MAX_MENDED_OPERAND_CROSSINGS crossings, none of them
// between faces laid on one another or two triangles in one plane folded over
// one another deeper than the coarser merging tolerance (those are the
// modeller's, not a rounding's: nudging would only part them by a hair).
// `soup` is the operand as the checks left it: its points merged, unless its
// shapes or values were refused (it is then empty).
bool MendRefusedOperand(OperandSoup& soup, std::vector<int>& births)
{
    std::string ignored;
    for (const Tri& tri : soup.triangles)
        if (tri[0] == tri[1] || tri[1] == tri[2] || tri[0] == tri[2])
            return false;
    if (soup.triangles.empty() || !CheckClosed(soup, ignored) || !CheckVolume(soup, ignored))
        return false;
    ResultBuilder given;
    CopyOperand(soup, 0, given);
    std::fill(given.suspect.begin(), given.suspect.end(), char(1));
    if (DropDoubleSheets(given))
        return false;
    const std::vector<std::pair<int, int>> crossings = FindRoundedCrossings(given, false);
    if (crossings.size() > MAX_MENDED_OPERAND_CROSSINGS)
        return false;
    auto P = [&](int u) { return ToInexact(given.points[size_t(u)]); };
    const double thin = MERGE_RATIOS[1] * LargestCoordinate(soup);
    for (const auto& pair : crossings)
    {
        const Tri &s = given.triangles[size_t(pair.first)], &t = given.triangles[size_t(pair.second)];
        // A triangle of zero area lies in every plane through its line and
        // folds over nothing: the mend flips it away.
        if (CGAL::collinear(P(s[0]), P(s[1]), P(s[2])) || CGAL::collinear(P(t[0]), P(t[1]), P(t[2])))
            continue;
        bool coplanar = true;
        for (int u : t)
            coplanar = coplanar && CGAL::orientation(P(s[0]), P(s[1]), P(s[2]), P(u)) == CGAL::COPLANAR;
        if (coplanar && CoplanarOverlapDepth(given.points, s, t) > thin)
            return false;
    }
    // Each merging tolerance in turn, finest (none) first: the mend changes
    // the operand as little as it can, and a result that kept points closer
    // than a tolerance did so because merging them would make faces cross.
    std::vector<double> ratios(std::begin(MERGE_RATIOS), std::end(MERGE_RATIOS));
    std::sort(ratios.begin(), ratios.end());
    for (double ratio : ratios)
        if (MergeOperandCrumbs(soup, births, ratio, true))
            return true;
    return false;
}

// Points in order of first use and the triangles sorted by birth face, then by
// corners (each triangle starting at its smallest point): the order depends on
// nothing but the result itself.
void PutInCanonicalOrder(ResultBuilder& out)
{
    const size_t n = out.triangles.size();
    std::vector<Tri> tri = out.triangles;
    for (Tri& t : tri)
    {
        int k = 0;
        for (int c = 1; c < 3; ++c)
            if (out.points[size_t(t[c])] < out.points[size_t(t[k])])
                k = c;
        std::rotate(t.begin(), t.begin() + k, t.end());
    }
    std::vector<int> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int x, int y) {
        if (out.births[size_t(x)] != out.births[size_t(y)])
            return out.births[size_t(x)] < out.births[size_t(y)];
        for (int c = 0; c < 3; ++c)
        {
            const Point3d &p = out.points[size_t(tri[size_t(x)][c])], &q = out.points[size_t(tri[size_t(y)][c])];
            if (p != q)
                return p < q;
        }
        return false;
    });
    std::vector<int> newId(out.points.size(), -1);
    std::vector<Point3d> points;
    std::vector<Tri> triangles(n);
    std::vector<int> births(n);
    for (size_t i = 0; i < n; ++i)
    {
        const Tri& t = tri[size_t(order[i])];
        for (int c = 0; c < 3; ++c)
        {
            int& id = newId[size_t(t[c])];
            if (id < 0)
            {
                id = int(points.size());
                points.push_back(out.points[size_t(t[c])]);
            }
            triangles[i][c] = id;
        }
        births[i] = out.births[size_t(order[i])];
    }
    out.points.swap(points);
    out.triangles.swap(triangles);
    out.births.swap(births);
}

bool BoxesApart(const OperandSoup& a, const OperandSoup& b)
{
    for (int c = 0; c < 3; ++c)
        if (a.bbox[c + 3] < b.bbox[c] || b.bbox[c + 3] < a.bbox[c])
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Snapping near-coincident features

// Points of B closer than this (relative to the largest coordinate) to the
// plane of a nearby triangle of A are moved exactly onto it: faces that touch
// or overlap but missed each other's plane by rounding (turned objects) then
// meet exactly, and no sliver a hair thick is cut between them.
const double SNAP_RATIO = 1e-11;

struct SnapPlane
{
    double distance;
    int triangle; // of A
};

// Twice a triangle's area over its longest side squared, below which its
// normal is not taken (see UnitNormal): rounding the corners can turn a
// thinner triangle's normal by more than PARALLEL_SINE.
const double MIN_SHAPE_FOR_NORMAL = 1e-6;

// n . x = d for the plane of an exact triangle, n pointing out.
void PlaneOf(const OperandSoup& soup, int t, EK::Vector_3& n, EK::FT& d)
{
    const Tri& tri = soup.triangles[size_t(t)];
    const EK::Point_3 a = ExactPointOf(soup, tri[0]), b = ExactPointOf(soup, tri[1]), c = ExactPointOf(soup, tri[2]);
    n = CGAL::cross_product(b - a, c - a);
    d = n * (a - CGAL::ORIGIN);
}

// The unit normal in doubles, or zero where the triangle is so thin that
// rounding leaves its direction meaningless (a sliver's may point anywhere,
// and would join planes it has nothing to do with): such a face lies on no
// plane snapping takes.
Eigen::Vector3d UnitNormal(const OperandSoup& soup, int t)
{
    const Tri& tri = soup.triangles[size_t(t)];
    const Eigen::Vector3d a(soup.points[size_t(tri[0])].data()), b(soup.points[size_t(tri[1])].data()),
        c(soup.points[size_t(tri[2])].data());
    const Eigen::Vector3d ab = b - a, ac = c - a;
    const double longest = std::max({ab.squaredNorm(), ac.squaredNorm(), (c - b).squaredNorm()});
    const Eigen::Vector3d area = ab.cross(ac);
    return area.norm() >= MIN_SHAPE_FOR_NORMAL * longest ? area.normalized() : Eigen::Vector3d::Zero();
}

// The plane a cluster of near-coplanar faces is flattened onto: where A's
// faces in it are exactly coplanar, their own plane, so none of them moves;
// otherwise the plane through the first corner of A's first triangle with that
// triangle's unit normal rounded to doubles. A plane through three rounded
// points has numbers several times longer, and every exact computation on the
// points moved onto it pays for their length.
void ClusterPlane(const OperandSoup& a, int t, bool planar, EK::Vector_3& n, EK::FT& d)
{
    if (planar)
    {
        PlaneOf(a, t, n, d);
        return;
    }
    Eigen::Vector3d unit = UnitNormal(a, t);
    // A component far below the others would only lengthen d.
    const double largest = unit.cwiseAbs().maxCoeff();
    for (int c = 0; c < 3; ++c)
        if (std::fabs(unit[c]) < 0x1p-60 * largest)
            unit[c] = 0;
    n = EK::Vector_3(unit[0], unit[1], unit[2]);
    const Point3d& p = a.points[size_t(a.triangles[size_t(t)][0])];
    d = n * (EK::Point_3(p[0], p[1], p[2]) - CGAL::ORIGIN);
}

// A point on the common part of up to three planes with independent normals,
// near p: coordinates of p are kept where the planes leave them free (one
// along one plane, one of the three along two), so the exact numbers stay
// small. The free coordinates are the ones the planes fix best.
EK::Point_3 ProjectOntoPlanes(const EK::Point_3& p, const std::vector<EK::Vector_3>& n, const std::vector<EK::FT>& d)
{
    EK::FT x[3] = {p.x(), p.y(), p.z()};
    auto magnitude = [](const EK::FT& v) { return std::fabs(CGAL::to_double(v)); };
    if (n.size() == 1)
    {
        int k = 0;
        for (int c = 1; c < 3; ++c)
            if (magnitude(n[0][c]) > magnitude(n[0][k]))
                k = c;
        EK::FT rest = d[0];
        for (int c = 0; c < 3; ++c)
            if (c != k)
                rest -= n[0][c] * x[c];
        x[k] = rest / n[0][k];
    }
    else if (n.size() == 2)
    {
        // Keep coordinate k; solve the 2 x 2 system for the others.
        const EK::Vector_3 along = CGAL::cross_product(n[0], n[1]);
        int k = 0;
        for (int c = 1; c < 3; ++c)
            if (magnitude(along[c]) > magnitude(along[k]))
                k = c;
        const int u = (k + 1) % 3, v = (k + 2) % 3;
        const EK::FT r0 = d[0] - n[0][k] * x[k], r1 = d[1] - n[1][k] * x[k];
        const EK::FT det = n[0][u] * n[1][v] - n[0][v] * n[1][u];
        x[u] = (r0 * n[1][v] - n[0][v] * r1) / det;
        x[v] = (n[0][u] * r1 - r0 * n[1][u]) / det;
    }
    else
    {
        auto det3 = [](const EK::FT m[3][3]) {
            return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                   m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        };
        EK::FT m[3][3];
        for (int i = 0; i < 3; ++i)
            for (int c = 0; c < 3; ++c)
                m[i][c] = n[size_t(i)][c];
        const EK::FT det = det3(m);
        for (int col = 0; col < 3; ++col)
        {
            EK::FT mc[3][3];
            for (int i = 0; i < 3; ++i)
                for (int c = 0; c < 3; ++c)
                    mc[i][c] = c == col ? d[size_t(i)] : m[i][c];
            x[col] = det3(mc) / det;
        }
    }
    return EK::Point_3(x[0], x[1], x[2]);
}

// The pairs of near triangles the last look found meeting, so the next one
// tests again only pairs with a triangle that changed since.
struct MeetingPairs
{
    bool tested = false;
    std::vector<std::pair<int, int>> pairs;
};

// Moved triangles of an operand that are now degenerate, share a point with
// another moved point or cut another near triangle: the corefinement needs
// operands that do not meet themselves. `changed` marks the triangles whose
// corners changed since the look that found `last` (empty: look at all).
std::vector<int> UnsoundMovedTriangles(const OperandSoup& soup, const std::vector<int>& near,
                                       const std::vector<char>& changed, MeetingPairs& last)
{
    const bool again = !changed.empty();
    std::vector<int> unsound;
    std::vector<char> isMoved(soup.triangles.size(), 0);
    std::vector<TriangleBox> moved, all;
    for (int t : near)
    {
        const Tri& tri = soup.triangles[size_t(t)];
        CGAL::Bbox_3 box;
        for (int u : tri)
        {
            box += ExactPointOf(soup, u).bbox();
            isMoved[size_t(t)] |= char(IsSnapped(soup, u));
        }
        all.push_back(TriangleBox(box, t));
        if (!isMoved[size_t(t)])
            continue;
        moved.push_back(all.back());
        // A moved triangle that did not change was not degenerate last time.
        if ((!again || changed[size_t(t)]) &&
            CGAL::collinear(ExactPointOf(soup, tri[0]), ExactPointOf(soup, tri[1]), ExactPointOf(soup, tri[2])))
            unsound.push_back(t);
    }
    if (!unsound.empty())
    {
        last.tested = false;
        return unsound;
    }
    const bool keep = again && last.tested;
    std::vector<std::pair<int, int>> meeting;
    if (keep)
        for (const auto& pair : last.pairs)
            if (!changed[size_t(pair.first)] && !changed[size_t(pair.second)])
                meeting.push_back(pair);
    auto P = [&](int u) { return ExactPointOf(soup, u); };
    CGAL::box_intersection_d(moved.begin(), moved.end(), all.begin(), all.end(), [&](const TriangleBox& a, const TriangleBox& b) {
        // A pair of moved triangles is met twice: test it once.
        if (a.info() == b.info() || (isMoved[size_t(b.info())] && b.info() < a.info()))
            return;
        if (keep && !changed[size_t(a.info())] && !changed[size_t(b.info())])
            return;
        const Tri &s = soup.triangles[size_t(a.info())], &t = soup.triangles[size_t(b.info())];
        bool coincide = false;
        for (int u : s)
            for (int v : t)
                coincide = coincide || (u != v && (IsSnapped(soup, u) || IsSnapped(soup, v)) && P(u) == P(v));
        if (coincide || TrianglesMeet<EK>(P, s, t))
            meeting.push_back({a.info(), b.info()});
    });
    for (const auto& pair : meeting)
    {
        unsound.push_back(pair.first);
        unsound.push_back(pair.second);
    }
    last.tested = true;
    last.pairs.swap(meeting);
    return unsound;
}

// Is c between a and b, within `thin` of the line through them?
bool NeedleAlong(const EK::Point_3& a, const EK::Point_3& b, const EK::Point_3& c, double thin)
{
    if (CGAL::collinear(a, b, c))
        return CGAL::collinear_are_strictly_ordered_along_line(a, c, b);
    if (!(thin > 0))
        return false;
    auto near = [](const EK::Point_3& e) {
        return IK::Point_3(CGAL::to_double(e.x()), CGAL::to_double(e.y()), CGAL::to_double(e.z()));
    };
    const IK::Vector_3 along = near(b) - near(a), to = near(c) - near(a);
    const double length2 = along.squared_length(), t = along * to;
    return t > 0 && t < length2 && CGAL::cross_product(along, to).squared_length() <= thin * thin * length2;
}

// Two ways a flattened triangle can spoil its operand that flips of its edges
// mend:
// - a needle (c between a and b on their line, or a hair off it where all
//   three were flattened, as rounding leaves them) overlaps the faces it was
//   laid flat with. Moving its corners back would leave those faces a hair
//   off the other operand's; instead the needle goes as a zero-area triangle
//   of a result does, into any triangle across its long edge ab: with the
//   triangle baw there, they become bcw and caw.
// - flattened faces can lie across an edge cw of other triangles from a
//   corner c of theirs to another, w (a ridge that touched the faces a hair
//   away, across their diagonals): the diagonals it crosses are flipped, one
//   after another where their quad is convex, until cw is an edge of the
//   faces too, so the ridge meets them on that edge, as parts of a solid may.
//   Only faces exactly in one plane, alone at the diagonals, are flipped.
// Needles go first, as a crossing can be one only a needle made. Each
// triangle flips at most once. Returns whether anything flipped.
bool FlipFlattenedEdges(OperandSoup& s, const std::vector<int>& unsound)
{
    const double thin = SNAP_RATIO * LargestCoordinate(s);
    // Rare: every edge of the soup is looked at.
    std::map<std::pair<int, int>, std::vector<int>> trianglesAt; // edge, lower point first
    std::map<int, std::vector<int>> linked; // the points an edge joins each point to
    for (size_t n = 0; n < s.triangles.size(); ++n)
        for (int e = 0; e < 3; ++e)
        {
            const int u = s.triangles[n][size_t(e)], v = s.triangles[n][size_t((e + 1) % 3)];
            std::vector<int>& at = trianglesAt[std::minmax(u, v)];
            at.push_back(int(n));
            if (at.size() == 1)
            {
                linked[u].push_back(v);
                linked[v].push_back(u);
            }
        }
    const std::set<int> candidates(unsound.begin(), unsound.end());
    std::set<int> taken; // each triangle flips at most once
    std::vector<std::pair<int, Tri>> flips; // triangle and what it becomes
    auto P = [&](int u) { return ExactPointOf(s, u); };
    // The triangle across edge ab (running b to a) of triangle t, and its
    // third corner w; a needle may take any, a crossing only the one there is.
    auto across = [&](int t, int a, int b, bool onlyOne, int& w) {
        const std::vector<int>& at = trianglesAt.at(std::minmax(a, b));
        if (onlyOne && at.size() != 2)
            return -1;
        for (int o : at)
        {
            const Tri& other = s.triangles[size_t(o)];
            if (o == t || taken.count(o))
                continue;
            for (int e = 0; e < 3; ++e)
                if (other[size_t(e)] == b && other[size_t((e + 1) % 3)] == a)
                {
                    w = other[size_t((e + 2) % 3)];
                    if (!CGAL::collinear(P(a), P(b), P(w)))
                        return o;
                }
        }
        return -1;
    };
    for (int t : candidates)
    {
        const Tri tri = s.triangles[size_t(t)];
        for (int k = 0; k < 3 && !taken.count(t); ++k)
        {
            const int a = tri[size_t(k)], b = tri[size_t((k + 1) % 3)], c = tri[size_t((k + 2) % 3)];
            const bool flat = IsSnapped(s, a) && IsSnapped(s, b) && IsSnapped(s, c);
            int w = -1;
            const int o = NeedleAlong(P(a), P(b), P(c), flat ? thin : 0) ? across(t, a, b, false, w) : -1;
            // The flip makes edge cw.
            if (o < 0 || trianglesAt.count(std::minmax(c, w)))
                continue;
            flips.push_back({t, {b, c, w}});
            flips.push_back({o, {c, a, w}});
            ListBirths(s);
            s.birthOf[size_t(t)] = s.birthOf[size_t(o)]; // a needle has no area of its own
            taken.insert(t);
            taken.insert(o);
        }
    }
    // An edge cw from a corner c of t across faces of t's plane: the faces it
    // crosses (t first) and the diagonals it crosses, in order, found by
    // walking along it in the coordinate plane the faces look widest in.
    struct Crossing
    {
        std::vector<int> faces;
        std::vector<std::pair<int, int>> diagonals;
        int axis = -1; // the faces are seen along it
    };
    auto walk = [&](int t, int c, int w, Crossing& crossing) {
        const Tri& tri = s.triangles[size_t(t)];
        int k = 0;
        while (tri[size_t(k)] != c)
            ++k;
        int x = tri[size_t((k + 1) % 3)], y = tri[size_t((k + 2) % 3)];
        const EK::Point_3 pc = P(c), pw = P(w);
        crossing.axis = WidestSeenAlong<EK>(pc, P(x), P(y));
        auto flat = [&](int u) { return DropAxis<EK>(P(u), crossing.axis); };
        const EK::Point_2 fc = flat(c), fw = flat(w);
        const CGAL::Orientation turn = CGAL::orientation(fc, flat(x), flat(y));
        if (turn == CGAL::COLLINEAR || !CGAL::coplanar(pc, P(x), P(y), pw) ||
            CGAL::orientation(fc, flat(x), fw) != turn || CGAL::orientation(fc, fw, flat(y)) != turn)
            return false;
        crossing.faces.push_back(t);
        // x lies to one side of cw, y to the other.
        for (int face = t; crossing.faces.size() <= 16;)
        {
            if (CGAL::orientation(flat(x), flat(y), fw) != -turn)
                return false;
            crossing.diagonals.push_back({x, y});
            int z = -1;
            face = across(face, x, y, true, z);
            if (face < 0 || std::count(crossing.faces.begin(), crossing.faces.end(), face) ||
                !CGAL::coplanar(pc, pw, P(x), P(z)))
                return false;
            crossing.faces.push_back(face);
            if (z == w)
                return true;
            const CGAL::Orientation side = CGAL::orientation(fc, fw, flat(z));
            if (side == CGAL::COLLINEAR)
                return false;
            (side == turn ? y : x) = z;
        }
        return false;
    };
    for (int t : candidates)
    {
        if (taken.count(t))
            continue;
        const Tri tri = s.triangles[size_t(t)];
        for (int c : tri)
            for (int w : linked[c])
            {
                Crossing crossing;
                if (taken.count(t) || std::count(tri.begin(), tri.end(), w) || !walk(t, c, w, crossing))
                    continue;
                // Flip the crossed diagonals where their quad is convex, until
                // none is left; a diagonal flipped in may cross cw again.
                std::map<int, Tri> faces;
                for (int f : crossing.faces)
                    faces[f] = s.triangles[size_t(f)];
                auto flat = [&](int u) { return DropAxis<EK>(P(u), crossing.axis); };
                auto crosses = [&](int p, int q) {
                    const CGAL::Orientation sp = CGAL::orientation(flat(c), flat(w), flat(p));
                    return sp != CGAL::COLLINEAR && sp == -CGAL::orientation(flat(c), flat(w), flat(q));
                };
                std::deque<std::pair<int, int>> left(crossing.diagonals.begin(), crossing.diagonals.end());
                bool laid = true;
                for (size_t tries = 0; !left.empty() && laid; ++tries)
                {
                    const auto [p, q] = left.front();
                    left.pop_front();
                    int first = -1, second = -1, r1 = -1, r2 = -1;
                    for (const auto& [f, face] : faces)
                        for (int e = 0; e < 3; ++e)
                        {
                            if (face[size_t(e)] == p && face[size_t((e + 1) % 3)] == q)
                                first = f, r1 = face[size_t((e + 2) % 3)];
                            if (face[size_t(e)] == q && face[size_t((e + 1) % 3)] == p)
                                second = f, r2 = face[size_t((e + 2) % 3)];
                        }
                    laid = first >= 0 && second >= 0 && tries < 64 &&
                           (std::minmax(r1, r2) == std::minmax(c, w) || !trianglesAt.count(std::minmax(r1, r2)));
                    if (!laid)
                        break;
                    const CGAL::Orientation sp = CGAL::orientation(flat(r1), flat(r2), flat(p));
                    if (sp == CGAL::COLLINEAR || sp != -CGAL::orientation(flat(r1), flat(r2), flat(q)))
                    {
                        left.push_back({p, q}); // not convex yet: others first
                        continue;
                    }
                    faces[first] = {q, r1, r2};
                    faces[second] = {r1, p, r2};
                    if (crosses(r1, r2))
                        left.push_back({r1, r2});
                }
                if (!laid)
                    continue;
                for (const auto& [f, face] : faces)
                {
                    flips.push_back({f, face});
                    taken.insert(f);
                }
            }
    }
    for (const auto& flip : flips)
        s.triangles[size_t(flip.first)] = flip.second;
    return !flips.empty();
}

// The triangles whose moved corners go back to mend `unsound`: a degenerate
// triangle's own; of two that meet, those of the one with fewer moved corners
// (a neighbour that only shares a corner with a flattened face, where sending
// the face's corners back too would leave the face a hair off the plane the
// other operand was laid on), or of both where they have as many.
std::vector<int> TrianglesToSendBack(const OperandSoup& s, const std::vector<int>& unsound, const MeetingPairs& last)
{
    if (!last.tested || last.pairs.empty())
        return unsound;
    auto moved = [&](int t) {
        const Tri& tri = s.triangles[size_t(t)];
        return int(IsSnapped(s, tri[0])) + int(IsSnapped(s, tri[1])) + int(IsSnapped(s, tri[2]));
    };
    std::vector<int> back;
    for (const auto& pair : last.pairs)
    {
        const int first = moved(pair.first), second = moved(pair.second);
        if (first == 0 || first >= second)
            back.push_back(pair.second);
        if (second == 0 || second >= first)
            back.push_back(pair.first);
    }
    return back;
}

// Undoes the moves that spoil the operand (see UnsoundMovedTriangles): moved
// corners go back (see TrianglesToSendBack), until no spoilt triangle is
// left. Edges a flip mends are flipped first; if that is not enough, the
// flips are undone.
void KeepSnapsIfSound(OperandSoup& s, const std::vector<int>& near)
{
    std::vector<Tri> unflipped;
    std::vector<int> unflippedBirths;
    bool flipped = false, mayFlip = true;
    // Triangles whose corners went back since the last look; empty after a
    // flip, which changes triangles themselves.
    std::vector<char> changed;
    MeetingPairs last;
    for (;;)
    {
        const std::vector<int> unsound =
            s.snapped.empty() ? std::vector<int>() : UnsoundMovedTriangles(s, near, changed, last);
        if (unsound.empty())
            break;
        changed.clear();
        if (mayFlip)
        {
            mayFlip = false;
            unflipped = s.triangles;
            unflippedBirths = s.birthOf;
            flipped = FlipFlattenedEdges(s, unsound);
            if (flipped)
                continue;
        }
        if (flipped)
        {
            s.triangles.swap(unflipped);
            s.birthOf.swap(unflippedBirths);
            flipped = false;
            continue;
        }
        std::vector<char> wentBack(s.points.size(), 0);
        for (int t : TrianglesToSendBack(s, unsound, last))
            for (int u : s.triangles[size_t(t)])
            {
                wentBack[size_t(u)] |= char(s.snapOf[size_t(u)] >= 0);
                s.snapOf[size_t(u)] = -1;
            }
        changed.assign(s.triangles.size(), 0);
        for (int t : near)
            for (int u : s.triangles[size_t(t)])
                changed[size_t(t)] |= wentBack[size_t(u)];
        if (std::find_if(s.snapOf.begin(), s.snapOf.end(), [](int k) { return k >= 0; }) == s.snapOf.end())
            s.snapped.clear();
    }
    if (s.snapped.empty())
        s.snapOf.clear();
}

double SnapTolerance(const OperandSoup& a, const OperandSoup& b)
{
    return SNAP_RATIO * std::max(LargestCoordinate(a), LargestCoordinate(b));
}

std::vector<TriangleBox> GrownBoxes(const OperandSoup& soup, const std::vector<int>& which, double grow)
{
    std::vector<TriangleBox> boxes;
    boxes.reserve(which.size());
    for (int t : which)
        boxes.push_back(BoxOfTriangle(soup, soup.triangles[size_t(t)], grow, t));
    return boxes;
}

// Planes (nearly) parallel to one taken add nothing but trouble: a point is
// moved onto at most three planes with independent normals.
bool TakeIfIndependent(std::vector<Eigen::Vector3d>& normals, const Eigen::Vector3d& unit)
{
    bool independent = normals.size() < 3;
    if (normals.size() == 1)
        independent = normals[0].cross(unit).norm() > 1e-3;
    else if (normals.size() == 2)
        independent = std::fabs(normals[0].cross(normals[1]).normalized().dot(unit)) > 1e-3;
    if (independent)
        normals.push_back(unit);
    return independent;
}

// Records the move of point u onto the planes, unless that is farther than
// 8 tolerances. Then the planes the point is that far from on its own are left
// out and the move is onto the others: a cluster's plane is its first face's,
// and faces joined into it as neighbours continuing one another can drift
// from it along the cluster. Leaving the point where it is would leave it a
// hair off its other planes too.
void MovePointOntoPlanes(OperandSoup& s, int u, const std::vector<EK::Vector_3>& n, const std::vector<EK::FT>& d,
                         double tolerance)
{
    const EK::Point_3 p(s.points[size_t(u)][0], s.points[size_t(u)][1], s.points[size_t(u)][2]);
    auto within = [&](const EK::Point_3& q) {
        return CGAL::to_double(CGAL::squared_distance(p, q)) <= 64 * tolerance * tolerance;
    };
    EK::Point_3 moved = ProjectOntoPlanes(p, n, d);
    if (!within(moved))
    {
        std::vector<EK::Vector_3> nearN;
        std::vector<EK::FT> nearD;
        for (size_t i = 0; i < n.size(); ++i)
            if (within(ProjectOntoPlanes(p, {n[i]}, {d[i]})))
            {
                nearN.push_back(n[i]);
                nearD.push_back(d[i]);
            }
        if (nearN.empty() || nearN.size() == n.size())
            return;
        moved = ProjectOntoPlanes(p, nearN, nearD);
        if (!within(moved))
            return;
    }
    s.snapOf[size_t(u)] = int(s.snapped.size());
    s.snapped.push_back(moved);
}

// Moves points of B's near triangles onto the planes of A's near triangles
// they almost lie on (points exactly on a plane stay on it). Nothing moves
// when a move would be larger than the tolerance or would make a triangle of
// B degenerate or two of its points coincide.
void SnapToNearbyPlanes(OperandSoup& b, const std::vector<int>& nearB, const OperandSoup& a,
                        const std::vector<int>& nearA)
{
    const double tolerance = SnapTolerance(a, b);
    if (!(tolerance > 0) || nearA.empty() || nearB.empty())
        return;
    std::vector<TriangleBox> boxesA = GrownBoxes(a, nearA, tolerance), boxesB = GrownBoxes(b, nearB, 0);
    std::vector<std::pair<int, SnapPlane>> candidates; // point of B, plane of A
    bool anyOff = false;
    CGAL::box_intersection_d(boxesB.begin(), boxesB.end(), boxesA.begin(), boxesA.end(),
                             [&](const TriangleBox& boxB, const TriangleBox& boxA) {
                                 const Tri& ta = a.triangles[size_t(boxA.info())];
                                 const IK::Point_3 p = ToInexact(a.points[size_t(ta[0])]),
                                                   q = ToInexact(a.points[size_t(ta[1])]),
                                                   r = ToInexact(a.points[size_t(ta[2])]);
                                 const Eigen::Vector3d n = UnitNormal(a, boxA.info());
                                 if (n.squaredNorm() == 0)
                                     return;
                                 for (int u : b.triangles[size_t(boxB.info())])
                                 {
                                     const IK::Point_3 x = ToInexact(b.points[size_t(u)]);
                                     const bool on = CGAL::orientation(p, q, r, x) == CGAL::COPLANAR;
                                     const double distance =
                                         on ? 0.0
                                            : std::fabs(n.dot(Eigen::Vector3d(x.x() - p.x(), x.y() - p.y(), x.z() - p.z())));
                                     if (distance > tolerance)
                                         continue;
                                     anyOff = anyOff || !on;
                                     candidates.push_back({u, SnapPlane{distance, boxA.info()}});
                                 }
                             });
    if (!anyOff)
        return;
    std::sort(candidates.begin(), candidates.end(), [](const std::pair<int, SnapPlane>& x, const std::pair<int, SnapPlane>& y) {
        if (x.first != y.first)
            return x.first < y.first;
        if (x.second.distance != y.second.distance)
            return x.second.distance < y.second.distance;
        return x.second.triangle < y.second.triangle;
    });
    OperandSoup& s = b;
    s.snapOf.assign(s.points.size(), -1);
    for (size_t i = 0; i < candidates.size();)
    {
        const int u = candidates[i].first;
        size_t j = i;
        std::vector<Eigen::Vector3d> normals;
        std::vector<EK::Vector_3> n;
        std::vector<EK::FT> d;
        bool off = false;
        for (; j < candidates.size() && candidates[j].first == u; ++j)
        {
            if (n.size() == 3)
                continue;
            const int t = candidates[j].second.triangle;
            if (!TakeIfIndependent(normals, UnitNormal(a, t)))
                continue;
            n.emplace_back();
            d.emplace_back();
            PlaneOf(a, t, n.back(), d.back());
            off = off || candidates[j].second.distance > 0;
        }
        i = j;
        if (!off)
            continue;
        MovePointOntoPlanes(s, u, n, d, tolerance);
    }
    KeepSnapsIfSound(s, nearB);
}

// Normals closer than this (the sine of their angle) count as parallel when
// near-coplanar faces are gathered: turned quads bend by about 1e-16.
const double PARALLEL_SINE = 1e-9;

// Turns a cluster's plane (n, d) to pass through p as well as through the
// points it already passes through (up to two): points a hair off the plane
// that must stay where they are then lie on it. Refused where the plane would
// turn by more than 16 units in the last place: about points close together,
// a larger turn moves points of A far from them by more than rounding leaves
// room for, and results fail to round.
bool PassPlaneThrough(std::vector<EK::Point_3>& through, const EK::Point_3& p, EK::Vector_3& n, EK::FT& d)
{
    EK::Vector_3 m = n;
    if (through.size() == 1)
    {
        const EK::Vector_3 e = p - through[0];
        m = n * (e * e) - e * (n * e);
    }
    else if (through.size() == 2)
    {
        m = CGAL::cross_product(through[1] - through[0], p - through[0]);
        if (m * n < 0)
            m = -m;
    }
    else if (through.size() > 2)
        return false;
    if (!through.empty())
    {
        const Eigen::Vector3d u(CGAL::to_double(m.x()), CGAL::to_double(m.y()), CGAL::to_double(m.z())),
            v(CGAL::to_double(n.x()), CGAL::to_double(n.y()), CGAL::to_double(n.z()));
        // A third point in line with the others gives no plane.
        if (m == CGAL::NULL_VECTOR || !(u.cross(v).norm() <= 16 * DBL_EPSILON * u.norm() * v.norm()))
            return false;
    }
    n = m;
    d = m * (p - CGAL::ORIGIN);
    through.push_back(p);
    return true;
}

// Flattens each cluster of near-coplanar triangles that holds faces of both
// operands onto one plane, given by its first triangle of A (see ClusterPlane):
// the faces of a turned quad and the faces of B lying on it then meet exactly,
// where snapping B onto one triangle's plane would leave it a hair off the
// other's. Points of A move by a unit in the last place or so, points of B up
// to the snapping tolerance; a point on several clusters goes onto all their
// planes.
void FlattenCoplanarClusters(OperandSoup& a, std::vector<int>& nearA, OperandSoup& b, std::vector<int>& nearB)
{
    const double tolerance = SnapTolerance(a, b);
    if (!(tolerance > 0) || nearA.empty() || nearB.empty())
        return;
    OperandSoup* soup[2] = {&a, &b};
    std::vector<int>* near[2] = {&nearA, &nearB};
    // Items: the near triangles of A, then those of B.
    std::vector<std::pair<int, int>> items; // operand, triangle
    std::vector<Eigen::Vector3d> normals;
    for (int k = 0; k < 2; ++k)
        for (int t : *near[k])
        {
            items.push_back({k, t});
            normals.push_back(UnitNormal(*soup[k], t));
        }
    const int countA = int(nearA.size());
    std::vector<int> parent(items.size());
    for (size_t i = 0; i < parent.size(); ++i)
        parent[i] = int(i);
    auto join = [&](int i, int j) {
        const int r1 = FindRoot(parent, i), r2 = FindRoot(parent, j);
        if (r1 != r2)
            parent[size_t(std::max(r1, r2))] = std::min(r1, r2);
    };
    auto parallel = [&](int i, int j) {
        return normals[size_t(i)].squaredNorm() > 0 && normals[size_t(j)].squaredNorm() > 0 &&
               normals[size_t(i)].cross(normals[size_t(j)]).norm() < PARALLEL_SINE;
    };
    // Neighbours in one operand that continue one another's plane.
    for (int k = 0; k < 2; ++k)
    {
        std::map<std::pair<int, int>, int> firstAtEdge;
        const int offset = k == 0 ? 0 : countA;
        for (size_t n = 0; n < near[k]->size(); ++n)
        {
            const int i = offset + int(n);
            const Tri& tri = soup[k]->triangles[size_t((*near[k])[n])];
            for (int c = 0; c < 3; ++c)
            {
                const auto found = firstAtEdge.emplace(std::minmax(tri[c], tri[(c + 1) % 3]), i);
                if (!found.second && normals[size_t(i)].dot(normals[size_t(found.first->second)]) > 0 &&
                    parallel(i, found.first->second))
                    join(i, found.first->second);
            }
        }
    }
    // Faces of B lying on a face of A, either way round.
    std::vector<TriangleBox> boxesA = GrownBoxes(a, nearA, tolerance), boxesB = GrownBoxes(b, nearB, 0);
    std::vector<int> itemOfA(a.triangles.size(), -1), itemOfB(b.triangles.size(), -1);
    for (int i = 0; i < int(items.size()); ++i)
        (items[size_t(i)].first == 0 ? itemOfA : itemOfB)[size_t(items[size_t(i)].second)] = i;
    CGAL::box_intersection_d(boxesB.begin(), boxesB.end(), boxesA.begin(), boxesA.end(),
                             [&](const TriangleBox& boxB, const TriangleBox& boxA) {
                                 const int i = itemOfA[size_t(boxA.info())], j = itemOfB[size_t(boxB.info())];
                                 if (!parallel(i, j))
                                     return;
                                 const Point3d& o = a.points[size_t(a.triangles[size_t(boxA.info())][0])];
                                 for (int u : b.triangles[size_t(boxB.info())])
                                 {
                                     const Point3d& p = b.points[size_t(u)];
                                     const Eigen::Vector3d d(p[0] - o[0], p[1] - o[1], p[2] - o[2]);
                                     if (!(std::fabs(normals[size_t(i)].dot(d)) <= tolerance))
                                         return;
                                 }
                                 join(i, j);
                             });
    // A point can lie exactly on only one of two parallel planes: clusters
    // with a point in common (parts of one face that meet only through the
    // other operand's points) become one.
    std::map<std::pair<int, int>, std::vector<int>> itemsAt; // operand and point
    for (int i = 0; i < int(items.size()); ++i)
        for (int u : soup[items[size_t(i)].first]->triangles[size_t(items[size_t(i)].second)])
            itemsAt[{items[size_t(i)].first, u}].push_back(i);
    for (const auto& at : itemsAt)
        for (size_t x = 0; x < at.second.size(); ++x)
            for (size_t y = x + 1; y < at.second.size(); ++y)
                if (FindRoot(parent, at.second[x]) != FindRoot(parent, at.second[y]) &&
                    parallel(at.second[x], at.second[y]))
                    join(at.second[x], at.second[y]);
    // Clusters with faces of both operands, each with the plane of its first
    // triangle of A (items of A come first, in triangle order).
    std::vector<char> hasB(items.size(), 0);
    for (int i = countA; i < int(items.size()); ++i)
        hasB[size_t(FindRoot(parent, i))] = 1;
    std::vector<int> planeItem(items.size(), -1);
    for (int i = 0; i < countA; ++i)
    {
        const int root = FindRoot(parent, i);
        if (hasB[size_t(root)] && planeItem[size_t(root)] < 0)
            planeItem[size_t(root)] = i;
    }
    // Is each cluster's part of A exactly flat already?
    std::vector<char> planar(items.size(), 1);
    for (int i = 0; i < countA; ++i)
    {
        const int plane = planeItem[size_t(FindRoot(parent, i))];
        if (plane < 0 || !planar[size_t(plane)])
            continue;
        const Tri& first = a.triangles[size_t(items[size_t(plane)].second)];
        for (int u : a.triangles[size_t(items[size_t(i)].second)])
            if (CGAL::orientation(ToInexact(a.points[size_t(first[0])]), ToInexact(a.points[size_t(first[1])]),
                                  ToInexact(a.points[size_t(first[2])]), ToInexact(a.points[size_t(u)])) != CGAL::COPLANAR)
                planar[size_t(plane)] = 0;
    }
    std::vector<EK::Vector_3> planeNormal(items.size());
    std::vector<EK::FT> planeOffset(items.size());
    for (int i = 0; i < countA; ++i)
        if (planeItem[size_t(FindRoot(parent, i))] == i)
            ClusterPlane(a, items[size_t(i)].second, planar[size_t(i)], planeNormal[size_t(i)], planeOffset[size_t(i)]);
    // The cluster planes at each point of each operand, in the order first met.
    std::map<int, std::vector<int>> planesAt[2];
    for (int k = 0; k < 2; ++k)
    {
        OperandSoup& s = *soup[k];
        for (int i = 0; i < int(items.size()); ++i)
        {
            if (items[size_t(i)].first != k)
                continue;
            const int plane = planeItem[size_t(FindRoot(parent, i))];
            if (plane < 0)
                continue;
            for (int u : s.triangles[size_t(items[size_t(i)].second)])
            {
                std::vector<int>& list = planesAt[k][u];
                if (std::find(list.begin(), list.end(), plane) == list.end())
                    list.push_back(plane);
            }
        }
        std::vector<char> moving(s.points.size(), 0);
        for (const auto& at : planesAt[k])
            moving[size_t(at.first)] = 1;
        // A corner a face was split at goes onto the face's plane too; one
        // an edge was split at keeps its own planes (taking those of the
        // faces at the edge too bends them where they meet at a tiny angle).
        std::vector<std::pair<int, int>> facesSplit;
        if (SplitAtTouchingCorners(s, *near[k], moving, facesSplit))
            CloseNearSetOverSharedEdges(s, *near[k]);
        for (const auto& split : facesSplit)
        {
            const int plane = planeItem[size_t(FindRoot(parent, (k == 0 ? itemOfA : itemOfB)[size_t(split.second)]))];
            if (plane < 0)
                continue;
            std::vector<int>& list = planesAt[k][split.first];
            if (std::find(list.begin(), list.end(), plane) == list.end())
                list.push_back(plane);
        }
    }
    auto moveOntoPlanes = [&]() {
        for (int k = 0; k < 2; ++k)
        {
            OperandSoup& s = *soup[k];
            s.snapOf.assign(s.points.size(), -1);
            s.snapped.clear();
            for (const auto& at : planesAt[k])
            {
                const Point3d& q = s.points[size_t(at.first)];
                const EK::Point_3 p(q[0], q[1], q[2]);
                std::vector<Eigen::Vector3d> taken;
                std::vector<EK::Vector_3> n;
                std::vector<EK::FT> d;
                bool off = false;
                for (int plane : at.second)
                {
                    if (!TakeIfIndependent(taken, normals[size_t(plane)]))
                        continue;
                    n.push_back(planeNormal[size_t(plane)]);
                    d.push_back(planeOffset[size_t(plane)]);
                    off = off || n.back() * (p - CGAL::ORIGIN) != d.back();
                }
                if (!off)
                    continue;
                MovePointOntoPlanes(s, at.first, n, d, tolerance);
            }
        }
    };
    moveOntoPlanes();
    std::vector<char> movedA(a.points.size(), 0);
    for (const auto& at : planesAt[0])
        movedA[size_t(at.first)] = IsSnapped(a, at.first);
    // The planes were taken from A's points as they were.
    KeepSnapsIfSound(a, nearA);
    // A point of A that had to go back (it lies a hair from another part of
    // A, which moving it would cross) leaves the faces at it off their
    // cluster's plane, and the other operand's faces laid there a hair from
    // them. Its cluster's plane is turned to pass through it and up to two
    // more such points on that plane alone, and everything is moved again.
    std::vector<char> sentBack(a.points.size(), 0);
    std::vector<std::vector<EK::Point_3>> through(items.size());
    std::map<int, std::pair<EK::Vector_3, EK::FT>> throughFirst; // each plane through its first point alone
    for (const auto& at : planesAt[0])
    {
        const int plane = at.second[0];
        sentBack[size_t(at.first)] = movedA[size_t(at.first)] && !IsSnapped(a, at.first);
        if (!sentBack[size_t(at.first)] || at.second.size() != 1 ||
            !PassPlaneThrough(through[size_t(plane)], ExactPointOf(a, at.first), planeNormal[size_t(plane)],
                              planeOffset[size_t(plane)]))
            continue;
        if (through[size_t(plane)].size() == 1)
            throughFirst[plane] = {planeNormal[size_t(plane)], planeOffset[size_t(plane)]};
    }
    const bool anchored = !throughFirst.empty();
    if (anchored)
    {
        moveOntoPlanes();
        for (const auto& at : planesAt[0])
            movedA[size_t(at.first)] = IsSnapped(a, at.first);
        KeepSnapsIfSound(a, nearA);
        // A turned plane that made another point go back passes through its
        // first point alone again.
        bool untilted = false;
        for (const auto& at : planesAt[0])
        {
            if (!movedA[size_t(at.first)] || IsSnapped(a, at.first) || sentBack[size_t(at.first)])
                continue;
            for (int plane : at.second)
                if (through[size_t(plane)].size() > 1)
                {
                    planeNormal[size_t(plane)] = throughFirst[plane].first;
                    planeOffset[size_t(plane)] = throughFirst[plane].second;
                    through[size_t(plane)].resize(1);
                    untilted = true;
                }
        }
        if (untilted)
        {
            moveOntoPlanes();
            KeepSnapsIfSound(a, nearA);
        }
    }
    KeepSnapsIfSound(b, nearB);
}

// Triangles snapping may have laid onto the other operand's faces: those
// with a moved corner, and the other's near triangles whose boxes meet them.
void MarkSnappedNeighbourhood(const OperandSoup& a, const std::vector<int>& nearA, const OperandSoup& b,
                              const std::vector<int>& nearB, std::vector<char>& markA, std::vector<char>& markB)
{
    markA.assign(a.triangles.size(), 0);
    markB.assign(b.triangles.size(), 0);
    if (a.snapped.empty() && b.snapped.empty())
        return;
    typedef CGAL::Box_intersection_d::Box_with_info_d<double, 3, int> Box;
    auto collect = [](const OperandSoup& soup, const std::vector<int>& near, std::vector<char>& mark,
                      std::vector<Box>& moved, std::vector<Box>& all) {
        for (int t : near)
        {
            CGAL::Bbox_3 box;
            bool snapped = false;
            for (int u : soup.triangles[size_t(t)])
            {
                box += ToInexact(soup.points[size_t(u)]).bbox() + ExactPointOf(soup, u).bbox();
                snapped = snapped || IsSnapped(soup, u);
            }
            all.push_back(Box(box, t));
            if (snapped)
            {
                mark[size_t(t)] = 1;
                moved.push_back(Box(box, t));
            }
        }
    };
    std::vector<Box> movedA, allA, movedB, allB;
    collect(a, nearA, markA, movedA, allA);
    collect(b, nearB, markB, movedB, allB);
    CGAL::box_intersection_d(movedA.begin(), movedA.end(), allB.begin(), allB.end(),
                             [&](const Box&, const Box& other) { markB[size_t(other.info())] = 1; });
    CGAL::box_intersection_d(movedB.begin(), movedB.end(), allA.begin(), allA.end(),
                             [&](const Box&, const Box& other) { markA[size_t(other.info())] = 1; });
}

enum SnapWay
{
    SNAP_CLUSTERS,
    SNAP_B_ONTO_A,
    SNAP_BOTH,
    SNAP_NONE,
};
const int SNAP_WAYS = 4;

// Where a near set's triangles around a point form separate fans (pieces that
// touch at a corner, or a surface the near set cuts into arcs), the exact mesh
// holds copies of the point. If that point lies on the other operand, the
// corefinement makes one intersection node per copy and loses the cut through
// it. Such fans are corefined as separate meshes: no part has two fans at one
// point. Triangles at an edge shared by more than two stay together (see
// CloseNearSetOverSharedEdges). One part when nothing pinches.
std::vector<std::vector<int>> SeparatePinchedParts(const OperandSoup& soup, const std::vector<int>& near)
{
    std::unordered_map<std::uint64_t, std::vector<int>> atEdge; // positions in `near`
    for (size_t i = 0; i < near.size(); ++i)
        for (int c = 0; c < 3; ++c)
        {
            const Tri& tri = soup.triangles[size_t(near[i])];
            atEdge[EdgeKey(tri[c], tri[(c + 1) % 3])].push_back(int(i));
        }
    // Units: triangles joined over shared edges. Fans: triangles at one point
    // joined over edges from it.
    std::vector<int> unit(near.size()), fan(3 * near.size());
    for (size_t i = 0; i < near.size(); ++i)
        unit[i] = int(i);
    for (size_t i = 0; i < fan.size(); ++i)
        fan[i] = int(i);
    auto join = [](std::vector<int>& parent, int x, int y) {
        const int r1 = FindRoot(parent, x), r2 = FindRoot(parent, y);
        if (r1 != r2)
            parent[size_t(std::max(r1, r2))] = std::min(r1, r2);
    };
    auto cornerOf = [&](int i, int u) {
        const Tri& tri = soup.triangles[size_t(near[size_t(i)])];
        return 3 * i + (tri[0] == u ? 0 : tri[1] == u ? 1 : 2);
    };
    for (const auto& edge : atEdge)
    {
        const int u = int(edge.first >> 32), v = int(edge.first & 0xffffffffu);
        for (size_t k = 1; k < edge.second.size(); ++k)
        {
            if (edge.second.size() > 2)
                join(unit, edge.second[0], edge.second[k]);
            join(fan, cornerOf(edge.second[0], u), cornerOf(edge.second[k], u));
            join(fan, cornerOf(edge.second[0], v), cornerOf(edge.second[k], v));
        }
    }
    // Units in different fans at one point must go to different parts. Points
    // where more than one fan meets are few; where a file makes them many, the
    // parts are not worth work that grows with the square of the fans, and
    // nothing is separated.
    std::vector<std::array<int, 3>> atPoint; // point, fan, unit
    for (size_t i = 0; i < near.size(); ++i)
        for (int c = 0; c < 3; ++c)
            atPoint.push_back({soup.triangles[size_t(near[i])][c], FindRoot(fan, int(3 * i) + c),
                               FindRoot(unit, int(i))});
    std::sort(atPoint.begin(), atPoint.end());
    atPoint.erase(std::unique(atPoint.begin(), atPoint.end()), atPoint.end());
    std::map<int, std::vector<int>> conflicts;
    size_t budget = 64 * near.size() + 4096;
    for (size_t i = 0, j = 0; i < atPoint.size(); i = j)
    {
        bool oneFan = true;
        for (j = i; j < atPoint.size() && atPoint[j][0] == atPoint[i][0]; ++j)
            oneFan = oneFan && atPoint[j][1] == atPoint[i][1];
        if (oneFan)
            continue;
        if ((j - i) * (j - i) > budget)
            return std::vector<std::vector<int>>(1, near);
        budget -= (j - i) * (j - i);
        for (size_t k = i; k < j; ++k)
            for (size_t l = i; l < j; ++l)
                if (atPoint[k][1] != atPoint[l][1])
                    conflicts[atPoint[k][2]].push_back(atPoint[l][2]);
    }
    std::vector<int> partOf(near.size(), -1);
    std::vector<std::vector<int>> parts(1);
    for (size_t i = 0; i < near.size(); ++i)
    {
        const int root = FindRoot(unit, int(i));
        if (partOf[size_t(root)] < 0)
        {
            int part = 0;
            auto found = conflicts.find(root);
            if (found != conflicts.end())
            {
                std::vector<char> taken(parts.size() + 1, 0);
                for (int other : found->second)
                    if (partOf[size_t(other)] >= 0)
                        taken[size_t(partOf[size_t(other)])] = 1;
                while (taken[size_t(part)])
                    ++part;
            }
            partOf[size_t(root)] = part;
            if (size_t(part) == parts.size())
                parts.emplace_back();
        }
        parts[size_t(partOf[size_t(root)])].push_back(near[i]);
    }
    if (near.empty())
        parts.clear();
    return parts;
}

bool ComputeBoolean(OperandSoup& soupA, OperandSoup& soupB, MeshBooleanType type, SnapWay snap, bool separate,
                    ResultBuilder& out, std::string& reason)
{
    const int offsetB = int(soupA.triangles.size());
    std::vector<int> nearA, nearB;
    // Snapping moves points by up to 8 tolerances: whatever they may reach is near.
    FindNearTriangles(soupA, soupB, snap == SNAP_NONE ? 0.0 : 8 * SnapTolerance(soupA, soupB), nearA, nearB);
    CloseNearSetOverSharedEdges(soupA, nearA);
    CloseNearSetOverSharedEdges(soupB, nearB);
    if (snap == SNAP_CLUSTERS)
        FlattenCoplanarClusters(soupA, nearA, soupB, nearB);
    if (snap == SNAP_BOTH)
        SnapToNearbyPlanes(soupA, nearA, soupB, nearB);
    if (snap == SNAP_B_ONTO_A || snap == SNAP_BOTH)
        SnapToNearbyPlanes(soupB, nearB, soupA, nearA);

    std::vector<std::vector<int>> partsA(1, nearA), partsB(1, nearB);
    if (separate)
    {
        partsA = SeparatePinchedParts(soupA, nearA);
        partsB = SeparatePinchedParts(soupB, nearB);
        if (partsA.size() <= 1 && partsB.size() <= 1)
        {
            reason = "nothing to separate";
            return false;
        }
    }
    // The corefinement orders its work by the meshes' addresses: one array keeps
    // A's parts below B's in every build, so the same inputs give the same result.
    const size_t countA = partsA.size(), countB = partsB.size();
    std::vector<ExactOperand> operands(countA + countB);
    if (!nearA.empty())
    {
        for (size_t k = 0; k < countA + countB; ++k)
            if (!BuildExactOperand(k < countA ? soupA : soupB, k < countA ? partsA[k] : partsB[k - countA],
                                   operands[k], reason))
                return false;
        int nodeBase = 0;
        std::vector<char> cut(countA + countB, 0);
        for (size_t i = 0; i < countA; ++i)
            for (size_t j = countA; j < countA + countB; ++j)
            {
                ExactOperand& a = operands[i];
                ExactOperand& b = operands[j];
                // A mesh cut already has new vertices and edges, some of them
                // copies of one another: its shared features are found again.
                for (ExactOperand* op : {&a, &b})
                    if (cut[size_t(op - operands.data())]++)
                        op->nonManifold = PMP::Non_manifold_feature_map<ExactMesh>(op->mesh, op->mesh.points());
                BirthVisitor visitor;
                visitor.nodeBase = nodeBase;
                *visitor.nodeEnd = nodeBase;
                visitor.meshA = &a.mesh;
                visitor.a = &a;
                visitor.b = &b;
                PMP::corefine(
                    a.mesh, b.mesh,
                    CGAL::parameters::visitor(visitor).edge_is_constrained_map(a.constrained).non_manifold_feature_map(
                        a.nonManifold),
                    CGAL::parameters::edge_is_constrained_map(b.constrained).non_manifold_feature_map(b.nonManifold));
                nodeBase = *visitor.nodeEnd;
            }
    }

    FarGroups farA, farB;
    GroupFarTriangles(soupA, nearA, farA);
    GroupFarTriangles(soupB, nearB, farB);
    Classifier againstB, againstA;
    againstB.other = &soupB;
    againstB.nearOther = nearB;
    againstA.other = &soupA;
    againstA.nearOther = nearA;
    std::vector<std::vector<PatchSide>> sides(countA + countB);
    for (size_t k = 0; k < countA + countB; ++k)
        if (k < countA ? !ClassifyFaces(operands[k], soupA, farA, againstB, true, sides[k])
                       : !ClassifyFaces(operands[k], soupB, farB, againstA, false, sides[k]))
        {
            reason = "internal error: a coincident face could not be matched";
            return false;
        }

    // What each operand keeps: outright, flipped, and of the faces on the other surface.
    PatchSide keepA = SIDE_UNKNOWN, flipA = SIDE_UNKNOWN, onA = SIDE_UNKNOWN, keepB = SIDE_UNKNOWN,
              flipB = SIDE_UNKNOWN;
    switch (type)
    {
    case MESH_BOOLEAN_UNION:
        keepA = SIDE_OUTSIDE, onA = SIDE_ON_SAME, keepB = SIDE_OUTSIDE;
        break;
    case MESH_BOOLEAN_INTERSECTION:
        keepA = SIDE_INSIDE, onA = SIDE_ON_SAME, keepB = SIDE_INSIDE;
        break;
    case MESH_BOOLEAN_MINUS:
        keepA = SIDE_OUTSIDE, onA = SIDE_ON_OPPOSITE, flipB = SIDE_INSIDE;
        break;
    case MESH_BOOLEAN_XOR:
        keepA = SIDE_OUTSIDE, flipA = SIDE_INSIDE, keepB = SIDE_OUTSIDE, flipB = SIDE_INSIDE;
        break;
    }
    std::vector<int> pointOfA(soupA.points.size(), -1), pointOfB(soupB.points.size(), -1);
    // Faces moved onto one another can leave coincident pairs the exact
    // classification does not see; elsewhere the cut is exact.
    std::vector<char> snappedNearA, snappedNearB;
    MarkSnappedNeighbourhood(soupA, nearA, soupB, nearB, snappedNearA, snappedNearB);
    for (size_t k = 0; k < countA + countB; ++k)
    {
        if (k < countA)
            out.AddFaces(operands[k], soupA, 0, sides[k], keepA, flipA, onA, 0, snappedNearA, pointOfA);
        else
            out.AddFaces(operands[k], soupB, 1, sides[k], keepB, flipB, SIDE_UNKNOWN, offsetB, snappedNearB, pointOfB);
    }
    out.AddFarFaces(soupA, 0, farA, againstB, keepA, flipA, 0, pointOfA);
    out.AddFarFaces(soupB, 1, farB, againstA, keepB, flipB, offsetB, pointOfB);
    return true;
}

// Flattening moves every point of a cluster's faces, also far from the other
// operand. Where a moved point is beyond snapping's reach of the other
// operand and its result triangles are all input triangles as they were, it
// takes its input value again: rounding the moved value can fold the needles
// a hair thick an older result holds there, and the input value was sound
// with them. (Within reach, a whole triangle may lie on the other's faces,
// moved there on purpose.) `soupA` and `soupB` are the operands as given.
void RestoreUntouchedPoints(ResultBuilder& out, const OperandSoup& soupA, const OperandSoup& soupB)
{
    if (out.moved.empty())
        return;
    const int countA = int(soupA.triangles.size());
    std::vector<char> restore(out.points.size(), 0);
    for (int id : out.moved)
        restore[size_t(id)] = 1;
    for (size_t t = 0; t < out.triangles.size(); ++t)
    {
        const Tri& tri = out.triangles[t];
        if (!restore[size_t(tri[0])] && !restore[size_t(tri[1])] && !restore[size_t(tri[2])])
            continue;
        const int birth = out.births[t], operand = birth < countA ? 0 : 1;
        const Tri& input = operand == 0 ? soupA.triangles[size_t(birth)] : soupB.triangles[size_t(birth - countA)];
        std::array<int, 3> was, is;
        for (int c = 0; c < 3; ++c)
        {
            was[size_t(c)] = 2 * input[size_t(c)] + operand;
            is[size_t(c)] = out.source[size_t(tri[size_t(c)])];
        }
        std::sort(was.begin(), was.end());
        std::sort(is.begin(), is.end());
        if (was != is)
            for (int u : tri)
                restore[size_t(u)] = 0;
    }
    const double reach = 8 * SnapTolerance(soupA, soupB);
    const OperandSoup* soup[2] = {&soupA, &soupB};
    for (int k = 0; k < 2; ++k)
    {
        std::vector<TriangleBox> points, others;
        for (int id : out.moved)
        {
            const int s = out.source[size_t(id)];
            if (s % 2 != k || !restore[size_t(id)])
                continue;
            const Point3d& p = soup[k]->points[size_t(s / 2)];
            double lo[3] = {p[0] - reach, p[1] - reach, p[2] - reach}, hi[3] = {p[0] + reach, p[1] + reach, p[2] + reach};
            points.push_back(TriangleBox(lo, hi, id));
        }
        if (points.empty())
            continue;
        std::vector<int> all(soup[1 - k]->triangles.size());
        for (size_t t = 0; t < all.size(); ++t)
            all[t] = int(t);
        others = GrownBoxes(*soup[1 - k], all, 0);
        CGAL::box_intersection_d(points.begin(), points.end(), others.begin(), others.end(),
                                 [&](const TriangleBox& point, const TriangleBox&) { restore[size_t(point.info())] = 0; });
    }
    for (int id : out.moved)
    {
        const int s = out.source[size_t(id)];
        const Point3d& input = soup[s % 2]->points[size_t(s / 2)];
        const Point3d value = {input[0] + 0.0, input[1] + 0.0, input[2] + 0.0};
        if (!restore[size_t(id)] || out.points[size_t(id)] == value || !out.indexOfPoint.emplace(value, id).second)
            continue;
        out.indexOfPoint.erase(out.points[size_t(id)]);
        out.points[size_t(id)] = value;
        out.rounded[size_t(id)] = 0;
    }
}

// Near-coincident faces are snapped together first; where rounding still
// spoils that result, the other ways are tried, and then all of them again
// with pieces that meet at points corefined apart. Ways from `firstWay` up to
// `endWay` are tried and the lowest that succeeds is taken; `reason` tells why
// the first of them failed.
const int ALL_WAYS = 2 * MERGE_WAYS * SNAP_WAYS;

// Ways that differ only in the merging tolerance settle one cut result: it is
// computed once for a pair of operands, also when their ways are tried in
// more than one call.
struct WayCut
{
    bool tried = false, done = false;
    ResultBuilder result;
    std::string why;
};
typedef std::array<WayCut, 2 * SNAP_WAYS> WayCuts;

int CutOfWay(int way)
{
    return way % SNAP_WAYS + (way >= MERGE_WAYS * SNAP_WAYS ? SNAP_WAYS : 0);
}

// Computes the cut of `way` unless it was tried already. A way abandoned while
// it computes leaves the cut untried.
void MakeCut(const OperandSoup& soupA, const OperandSoup& soupB, MeshBooleanType type, int way, WayCut& cut)
{
    if (cut.tried)
        return;
    StopIfAbandoned();
    cut.tried = true;
    try
    {
        OperandSoup a = soupA, b = soupB;
        cut.done = ComputeBoolean(a, b, type, SnapWay(way % SNAP_WAYS), way >= MERGE_WAYS * SNAP_WAYS, cut.result,
                                  cut.why);
        if (cut.done)
            RestoreUntouchedPoints(cut.result, soupA, soupB);
    }
    catch (const std::exception& e)
    {
        cut.done = false;
        cut.why = std::string("internal error: ") + e.what();
    }
    catch (const WayAbandoned&)
    {
        cut = WayCut();
        throw;
    }
}

// How ways are tried: on up to `threads` threads, and with `nudgeInputs`
// mending crossings by nudging input points too (the last resort, as those
// points then lose their input values).
struct WayOptions
{
    int threads = 1;
    bool nudgeInputs = false;
};

// One way: its cut settled with its merging tolerance into `out`; `why` tells
// why it failed. With `shared` the cut is copied, as other ways read it at
// the same time; otherwise it is moved out where settling cannot fail.
bool SettleWay(int way, WayCut& cut, bool shared, const WayOptions& options, ResultBuilder& out,
               std::string& why)
{
    why = cut.why;
    if (!cut.done)
        return false;
    try
    {
        // Kept where settling can fail, for a later way or the last resort.
        if (shared || !SuspectTriangles(cut.result).empty())
            out = cut.result;
        else
            out = std::move(cut.result);
        return SettleRoundedResult(out, MERGE_RATIOS[(way / SNAP_WAYS) % MERGE_WAYS], options.nudgeInputs, why);
    }
    catch (const std::exception& e)
    {
        why = std::string("internal error: ") + e.what();
    }
    return false;
}

// Where more than one way is left they are tried on up to `options.threads`
// threads, the caller's included, each taking the next way: first the lowest
// way of each cut, then the others in turn. A way above one that succeeded is
// not tried or stops, so the lowest way that succeeds is the one taken in turn
// would be.
bool TryEachWay(const OperandSoup& soupA, const OperandSoup& soupB, MeshBooleanType type, const WayOptions& options,
                ResultBuilder& out, std::string& reason, WayCuts& cuts, int firstWay = 0, int endWay = ALL_WAYS)
{
    if (options.threads <= 1 || endWay - firstWay <= 1)
    {
        for (int way = firstWay; way < endWay; ++way)
        {
            WayCut& cut = cuts[size_t(CutOfWay(way))];
            std::string why;
            MakeCut(soupA, soupB, type, way, cut);
            if (SettleWay(way, cut, false, options, out, why))
                return true;
            if (way == firstWay)
                reason = why;
        }
        return false;
    }
    std::vector<int> order;
    for (int pass = 0; pass < 2; ++pass)
        for (int way = firstWay; way < endWay; ++way)
        {
            bool first = true; // the lowest way of its cut
            for (int other = firstWay; other < way && first; ++other)
                first = CutOfWay(other) != CutOfWay(way);
            if (first == (pass == 0))
                order.push_back(way);
        }
    std::vector<ResultBuilder> results(size_t(endWay - firstWay));
    std::vector<std::string> whys(results.size());
    std::array<std::mutex, 2 * SNAP_WAYS> making;
    std::atomic<int> lowest{endWay};
    std::atomic<size_t> next{0};
    const std::function<void()> work = [&]() {
        for (size_t k = next++; k < order.size(); k = next++)
        {
            const int way = order[k];
            if (way > lowest.load())
                continue;
            WayCut& cut = cuts[size_t(CutOfWay(way))];
            t_lowestSucceeded = &lowest;
            t_way = way;
            bool done = false;
            try
            {
                {
                    std::lock_guard<std::mutex> lock(making[size_t(CutOfWay(way))]);
                    MakeCut(soupA, soupB, type, way, cut);
                }
                done = SettleWay(way, cut, true, options, results[size_t(way - firstWay)],
                                 whys[size_t(way - firstWay)]);
            }
            catch (const WayAbandoned&)
            {
            }
            t_lowestSucceeded = nullptr;
            for (int seen = lowest.load(); done && way < seen && !lowest.compare_exchange_weak(seen, way);)
            {
            }
        }
    };
    RunOnWorkers(int(std::min(order.size(), size_t(options.threads))), work);
    const int found = lowest.load();
    if (found != firstWay)
        reason = whys[0];
    if (found == endWay)
        return false;
    out = std::move(results[size_t(found - firstWay)]);
    return true;
}

// XOR keeps four sheets where the surfaces cross, and rounding can leave two
// of them crossing a hair deep. XOR's other ways build the same solid from
// two parts rounded each on its own. The union of A minus B and B minus A:
// their insides are apart, but they lie back to back where A and B touched,
// each flattened onto its own first operand. The union of A and B less their
// intersection: both parts cut A with B, so faces that touched are flattened
// alike in each, and their surfaces meet only along the cut; but both keep
// A's faces where B's lay on them, each rounded its own way, and where the
// two copies are not laid back onto one another the result holds faces a
// hair apart over an area, which spoil the next operation on it.
struct XorWay
{
    MeshBooleanType part[2];
    bool swapped[2]; // the part takes B first
    MeshBooleanType combine;
};
const XorWay XOR_WAYS[] = {
    {{MESH_BOOLEAN_MINUS, MESH_BOOLEAN_MINUS}, {false, true}, MESH_BOOLEAN_UNION},
    {{MESH_BOOLEAN_UNION, MESH_BOOLEAN_INTERSECTION}, {false, false}, MESH_BOOLEAN_MINUS},
};

// The order they are tried in, with the ways of combining the parts each
// try takes: the differences' union first only where its first way rounds
// (where it does not, its other ways are slow and seldom succeed), then the
// union less the intersection, then the differences' union's other ways.
struct XorTry
{
    size_t way;
    int firstWay, endWay;
};
const XorTry XOR_TRIES[] = {{0, 0, 1}, {1, 0, ALL_WAYS}, {0, 1, ALL_WAYS}};

// The cuts of one XOR way, kept for the last resort, which then mostly only
// settles them again: those making each part, the parts made, and the cuts
// combining them.
struct XorParts
{
    WayCuts partCuts[2];
    OperandSoup parts[2];
    WayCuts cuts;
};

// Births are given back in A's and B's numbering. The parts are combined by
// the ways from `firstWay` to `endWay`.
bool XorFromParts(const OperandSoup& soupA, const OperandSoup& soupB, const XorWay& way, const WayOptions& options,
                  XorParts& kept, ResultBuilder& out, int firstWay, int endWay)
{
    const int countA = int(soupA.triangles.size()), countB = int(soupB.triangles.size());
    OperandSoup parts[2];
    std::vector<int> births[2];
    std::string ignored;
    for (int k = 0; k < 2; ++k)
    {
        const bool swapped = way.swapped[k];
        ResultBuilder part;
        if (!TryEachWay(swapped ? soupB : soupA, swapped ? soupA : soupB, way.part[k], options, part, ignored,
                        kept.partCuts[k]))
            return false;
        PutInCanonicalOrder(part);
        Eigen::MatrixXd V;
        Eigen::MatrixXi F;
        Eigen::VectorXi J;
        MatricesOf(part, V, F, J);
        if (!PrepareOperand(V, F, 0, parts[k], ignored))
            return false;
        // A part taking B first numbers B's faces first.
        for (Eigen::Index t = 0; t < J.size(); ++t)
            births[k].push_back(!swapped ? J(t) : J(t) < countB ? countA + J(t) : J(t) - countB);
        if (parts[k].points != kept.parts[k].points || parts[k].triangles != kept.parts[k].triangles)
        {
            kept.parts[k] = parts[k];
            kept.cuts = WayCuts();
        }
    }
    out = ResultBuilder();
    const int count0 = int(parts[0].triangles.size());
    if (parts[0].triangles.empty() || parts[1].triangles.empty() || BoxesApart(parts[0], parts[1]))
    {
        CopyOperand(parts[0], 0, out);
        if (way.combine == MESH_BOOLEAN_UNION)
            CopyOperand(parts[1], count0, out);
    }
    else if (!TryEachWay(parts[0], parts[1], way.combine, options, out, ignored, kept.cuts, firstWay, endWay))
        return false;
    for (int& birth : out.births)
        birth = birth < count0 ? births[0][size_t(birth)] : births[1][size_t(birth - count0)];
    return true;
}

void Fail(MeshBooleanFailure* failure, char operand, const std::string& reason)
{
    if (failure)
    {
        failure->operand = operand;
        failure->reason = reason;
    }
}

} // namespace

bool CheckMeshBooleanOperand(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, bool validByConstruction,
                             std::string* reason)
{
    OperandSoup soup;
    std::string why;
    try
    {
        if (CheckOperand(V, F, validByConstruction, soup, why))
            return true;
    }
    catch (const std::exception& e)
    {
        why = std::string("internal error: ") + e.what();
    }
    if (reason)
        *reason = why;
    return false;
}

bool MeshBoolean(const Eigen::MatrixXd& VA, const Eigen::MatrixXi& FA, const Eigen::MatrixXd& VB,
                 const Eigen::MatrixXi& FB, MeshBooleanType type, const MeshBooleanOptions& options,
                 Eigen::MatrixXd& VC, Eigen::MatrixXi& FC, Eigen::VectorXi& J, MeshBooleanFailure* failure)
{
    if (type != MESH_BOOLEAN_UNION && type != MESH_BOOLEAN_INTERSECTION && type != MESH_BOOLEAN_MINUS &&
        type != MESH_BOOLEAN_XOR)
    {
        Fail(failure, 0, "unknown operation type " + std::to_string(int(type)));
        return false;
    }
    ResultBuilder out;
    int exponent = 0;
    try
    {
        OperandSoup soups[2];
        const Eigen::MatrixXd* V[2] = {&VA, &VB};
        const Eigen::MatrixXi* F[2] = {&FA, &FB};
        const bool valid[2] = {options.operandAValid, options.operandBValid};
        const char name[2] = {'A', 'B'};
        std::string reason;
        // The input triangle of each triangle of an operand that was mended.
        std::vector<int> mendedBirths[2];
        for (int k = 0; k < 2; ++k)
            if (!CheckShapesAndValues(*V[k], *F[k], reason))
            {
                Fail(failure, name[k], reason);
                return false;
            }
        exponent = ScaleExponent({{&VA, &FA}, {&VB, &FB}});
        for (int k = 0; k < 2; ++k)
        {
            const bool accepted = PrepareOperand(*V[k], *F[k], exponent, soups[k], reason) &&
                                  (soups[k].triangles.empty() || (CheckClosed(soups[k], reason) &&
                                                                  CheckSolid(soups[k], valid[k], reason)));
            if (!accepted && (valid[k] || !MendRefusedOperand(soups[k], mendedBirths[k])))
            {
                Fail(failure, name[k], reason);
                return false;
            }
        }
        // Empty operands and operands whose boxes are apart need no exact work.
        const bool emptyA = soups[0].triangles.empty(), emptyB = soups[1].triangles.empty();
        const bool exactWork = !emptyA && !emptyB && !BoxesApart(soups[0], soups[1]);
        const int offsetB = int(soups[0].triangles.size());
        if (!exactWork)
        {
            // Nothing to cut: each operand is wholly outside the other.
            if (type != MESH_BOOLEAN_INTERSECTION)
                CopyOperand(soups[0], 0, out);
            if (type == MESH_BOOLEAN_UNION || type == MESH_BOOLEAN_XOR)
                CopyOperand(soups[1], offsetB, out);
        }
        else
        {
            // Each way in progress holds its own copy of the cut meshes.
            WayOptions ways;
            ways.threads = options.threads > 0 ? options.threads
                                               : int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
            // XOR's ways from parts come right after the first: they rarely fail.
            std::string ignored;
            typedef std::array<XorParts, std::size(XOR_WAYS)> XorPartsKept;
            auto otherWays = [&](const OperandSoup& a, const OperandSoup& b, WayCuts& cuts, XorPartsKept& xorParts,
                                 int firstWay) {
                if (type == MESH_BOOLEAN_XOR)
                    for (const XorTry& t : XOR_TRIES)
                        if (XorFromParts(a, b, XOR_WAYS[t.way], ways, xorParts[t.way], out, t.firstWay, t.endWay))
                            return true;
                return TryEachWay(a, b, type, ways, out, ignored, cuts, firstWay);
            };
            WayCuts cutsAsGiven;
            XorPartsKept xorPartsAsGiven;
            bool done = TryEachWay(soups[0], soups[1], type, ways, out, reason, cutsAsGiven, 0, 1);
            if (!done)
            {
                // Where the first way fails on an operand holding crumbs,
                // every way is tried on it merged before the other ways on
                // it as it is: cutting the slivers between crumbs is slow and
                // seldom rounds soundly.
                OperandSoup merged[2] = {soups[0], soups[1]};
                std::vector<int> births[2];
                bool anyMerged = false;
                for (int k = 0; k < 2; ++k)
                    anyMerged = MergeOperandCrumbs(merged[k], births[k]) || anyMerged;
                WayCuts cutsMerged;
                XorPartsKept xorPartsMerged;
                done = anyMerged && (TryEachWay(merged[0], merged[1], type, ways, out, ignored, cutsMerged, 0, 1) ||
                                     otherWays(merged[0], merged[1], cutsMerged, xorPartsMerged, 1));
                const int mergedOffsetB = int(merged[0].triangles.size());
                for (size_t i = 0; done && i < out.births.size(); ++i)
                {
                    const int k = out.births[i] < mergedOffsetB ? 0 : 1;
                    const int t = out.births[i] - (k ? mergedOffsetB : 0);
                    out.births[i] = (k ? offsetB : 0) + (births[k].empty() ? t : births[k][size_t(t)]);
                }
            }
            done = done || otherWays(soups[0], soups[1], cutsAsGiven, xorPartsAsGiven, 1);
            // The last resort: every way again, nudging input points too. The
            // cuts of the operands as given, and XOR's parts, are kept from
            // the ways above: mostly only settling is done again.
            ways.nudgeInputs = true;
            done = done || otherWays(soups[0], soups[1], cutsAsGiven, xorPartsAsGiven, 0);
            if (!done)
            {
                Fail(failure, 0, reason);
                return false;
            }
        }
        for (int& birth : out.births)
        {
            const int k = birth < offsetB ? 0 : 1;
            const int t = birth - (k ? offsetB : 0);
            birth = (k ? int(FA.rows()) : 0) + (mendedBirths[k].empty() ? t : mendedBirths[k][size_t(t)]);
        }
        if (exactWork)
            PutInCanonicalOrder(out);
    }
    catch (const std::exception& e)
    {
        Fail(failure, 0, std::string("internal error: ") + e.what());
        return false;
    }

    // Written last: the outputs may be the inputs.
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    Eigen::VectorXi births;
    MatricesOf(out, V, F, births);
    for (Eigen::Index k = 0; k < V.size(); ++k)
        V.data()[k] = std::ldexp(V.data()[k], -exponent);
    VC.swap(V);
    FC.swap(F);
    J.swap(births);
    return true;
}

bool MeshBoolean(const Eigen::MatrixXd& VA, const Eigen::MatrixXi& FA, const Eigen::MatrixXd& VB,
                 const Eigen::MatrixXi& FB, MeshBooleanType type, Eigen::MatrixXd& VC, Eigen::MatrixXi& FC,
                 Eigen::VectorXi& J)
{
    return MeshBoolean(VA, FA, VB, FB, type, MeshBooleanOptions(), VC, FC, J, nullptr);
}

std::string DescribeMeshBooleanFailure(const MeshBooleanFailure& failure)
{
    std::string text = "Mesh boolean: ";
    if (failure.operand)
        text += std::string("operand ") + failure.operand + " refused: ";
    return text + failure.reason;
}

void MeshBooleanOrThrow(const Eigen::MatrixXd& VA, const Eigen::MatrixXi& FA, const Eigen::MatrixXd& VB,
                        const Eigen::MatrixXi& FB, MeshBooleanType type, Eigen::MatrixXd& VC, Eigen::MatrixXi& FC,
                        Eigen::VectorXi& J, const MeshBooleanOptions& options)
{
    MeshBooleanFailure failure;
    if (MeshBoolean(VA, FA, VB, FB, type, options, VC, FC, J, &failure))
        return;
    if (failure.operand)
        throw std::invalid_argument(DescribeMeshBooleanFailure(failure));
    throw std::runtime_error(DescribeMeshBooleanFailure(failure));
}
