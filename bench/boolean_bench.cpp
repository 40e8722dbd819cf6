// Speed and memory of the mesh booleans: the module with operands marked valid,
// the module with every check, and CGAL's own corefinement booleans on exact
// Surface_mesh copies of the same inputs (conversion both ways included).
// Prints the median of 5 runs per case, the result's triangle count and volume,
// and the peak memory of the module's runs of each case. Then the Join
// pattern: a 20 x 20 grid of overlapping cubes united one at a time through
// the CSG commands' CombineMeshes, against the same 400 CGAL steps.
#include "app/CsgMesh.h"
#include "bench/BenchMesh.h"
#include "meshbool/CorefinementBoxes.h"
#include "meshbool/MeshBoolean.h"

#include <Eigen/Geometry>

#include <CGAL/Exact_predicates_exact_constructions_kernel.h>
#include <CGAL/Polygon_mesh_processing/corefinement.h>
#include <CGAL/Surface_mesh.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX // Boost, included through CGAL, may have defined it
#define NOMINMAX
#endif
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace {

typedef CGAL::Exact_predicates_exact_constructions_kernel EK;
typedef CGAL::Surface_mesh<EK::Point_3> ExactMesh;
namespace PMP = CGAL::Polygon_mesh_processing;

const int RUNS = 5;
const double PI = 3.14159265358979323846;

typedef BenchMesh Mesh;

// Peak resident memory since the last reset (Linux can reset it; Windows
// reports the process peak).
void ResetPeakMemory()
{
#ifndef _WIN32
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w"))
    {
        std::fputs("5", f);
        std::fclose(f);
    }
#endif
}

double PeakMemoryMB()
{
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return double(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    return -1;
#else
    if (FILE* f = std::fopen("/proc/self/status", "r"))
    {
        char line[256];
        long kb = -1;
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %ld", &kb) == 1)
                break;
        std::fclose(f);
        if (kb >= 0)
            return double(kb) / 1024.0;
    }
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
#endif
}

// UV sphere: two poles, `rings` rings of `segments` vertices; 2 * segments * rings triangles.
Mesh MakeSphere(double cx, double cy, double cz, double r, int rings, int segments)
{
    Mesh m;
    m.V.resize(2 + rings * segments, 3);
    m.V.row(0) << cx, cy + r, cz;
    for (int i = 0; i < rings; ++i)
    {
        const double phi = PI * (i + 1) / (rings + 1);
        for (int j = 0; j < segments; ++j)
        {
            const double theta = 2 * PI * j / segments;
            m.V.row(1 + i * segments + j) << cx + r * std::sin(phi) * std::cos(theta), cy + r * std::cos(phi),
                cz + r * std::sin(phi) * std::sin(theta);
        }
    }
    const int bottom = 1 + rings * segments;
    m.V.row(bottom) << cx, cy - r, cz;
    std::vector<Eigen::Vector3i> tris;
    for (int j = 0; j < segments; ++j)
        tris.emplace_back(0, 1 + (j + 1) % segments, 1 + j);
    for (int i = 0; i + 1 < rings; ++i)
    {
        const int a = 1 + i * segments, b = a + segments;
        for (int j = 0; j < segments; ++j)
        {
            const int n = (j + 1) % segments;
            tris.emplace_back(a + j, a + n, b + j);
            tris.emplace_back(a + n, b + n, b + j);
        }
    }
    const int last = 1 + (rings - 1) * segments;
    for (int j = 0; j < segments; ++j)
        tris.emplace_back(bottom, last + j, last + (j + 1) % segments);
    m.F.resize(int(tris.size()), 3);
    for (size_t t = 0; t < tris.size(); ++t)
        m.F.row(int(t)) = tris[t].transpose();
    return m;
}

Mesh MakeBox(double x0, double y0, double z0, double x1, double y1, double z1)
{
    Mesh m;
    m.V.resize(8, 3);
    m.V << x0, y0, z0, x1, y0, z0, x1, y1, z0, x0, y1, z0, x0, y0, z1, x1, y0, z1, x1, y1, z1, x0, y1, z1;
    m.F.resize(12, 3);
    m.F << 0, 2, 1, 0, 3, 2, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4, 2, 3, 7, 2, 7, 6, 0, 4, 7, 0, 7, 3, 1, 2, 6, 1, 6,
        5;
    return m;
}

// Cylinder along y with `segments` sides.
Mesh MakeCylinder(double cx, double cz, double r, double y0, double y1, int segments)
{
    Mesh m;
    m.V.resize(2 * segments + 2, 3);
    for (int i = 0; i < segments; ++i)
    {
        const double theta = 2 * PI * i / segments;
        const double x = cx + r * std::cos(theta), z = cz + r * std::sin(theta);
        m.V.row(2 * i) << x, y0, z;
        m.V.row(2 * i + 1) << x, y1, z;
    }
    m.V.row(2 * segments) << cx, y0, cz;
    m.V.row(2 * segments + 1) << cx, y1, cz;
    m.F.resize(4 * segments, 3);
    for (int i = 0; i < segments; ++i)
    {
        const int n = (i + 1) % segments;
        m.F.row(4 * i) << 2 * i + 1, 2 * n + 1, 2 * i;
        m.F.row(4 * i + 1) << 2 * n + 1, 2 * n, 2 * i;
        m.F.row(4 * i + 2) << 2 * segments, 2 * i, 2 * n;
        m.F.row(4 * i + 3) << 2 * segments + 1, 2 * n + 1, 2 * i + 1;
    }
    return m;
}

Mesh Turned(const Mesh& m, double degrees, Eigen::Vector3d axis)
{
    const Eigen::Matrix3d R = Eigen::AngleAxisd(degrees * PI / 180.0, axis.normalized()).toRotationMatrix();
    Mesh r = m;
    for (Eigen::Index i = 0; i < m.V.rows(); ++i)
        r.V.row(i) = (R * m.V.row(i).transpose()).transpose();
    return r;
}

void ToExactMesh(const Mesh& m, ExactMesh& out)
{
    out.clear();
    out.reserve(ExactMesh::size_type(m.V.rows()), ExactMesh::size_type(m.F.rows() * 3 / 2),
                ExactMesh::size_type(m.F.rows()));
    for (Eigen::Index i = 0; i < m.V.rows(); ++i)
        out.add_vertex(EK::Point_3(m.V(i, 0), m.V(i, 1), m.V(i, 2)));
    for (Eigen::Index t = 0; t < m.F.rows(); ++t)
        out.add_face(ExactMesh::Vertex_index(m.F(t, 0)), ExactMesh::Vertex_index(m.F(t, 1)),
                     ExactMesh::Vertex_index(m.F(t, 2)));
}

double RoundToNearest(const EK::FT& x)
{
    const std::pair<double, double> i = CGAL::to_interval(x);
    if (i.first == i.second)
        return i.first;
    const std::pair<double, double> tight = CGAL::to_interval(x.exact());
    return tight.first; // the reference only needs a representative value
}

void FromExactMesh(const ExactMesh& m, Mesh& out)
{
    out.V.resize(Eigen::Index(m.number_of_vertices()), 3);
    for (ExactMesh::Vertex_index v : m.vertices())
    {
        const EK::Point_3& p = m.point(v);
        out.V.row(Eigen::Index(v.idx())) << RoundToNearest(p.x()), RoundToNearest(p.y()), RoundToNearest(p.z());
    }
    out.F.resize(Eigen::Index(m.number_of_faces()), 3);
    Eigen::Index row = 0;
    for (ExactMesh::Face_index f : m.faces())
    {
        int k = 0;
        for (ExactMesh::Vertex_index v : CGAL::vertices_around_face(m.halfedge(f), m))
            out.F(row, k++) = int(v.idx());
        ++row;
    }
}

// One step as the reference does it; false when CGAL refuses.
bool ReferenceBoolean(const Mesh& a, const Mesh& b, MeshBooleanType type, Mesh& out)
{
    ExactMesh ea, eb, ec;
    ToExactMesh(a, ea);
    ToExactMesh(b, eb);
    bool ok = false;
    if (type == MESH_BOOLEAN_UNION)
        ok = PMP::corefine_and_compute_union(ea, eb, ec);
    else if (type == MESH_BOOLEAN_MINUS)
        ok = PMP::corefine_and_compute_difference(ea, eb, ec);
    else if (type == MESH_BOOLEAN_INTERSECTION)
        ok = PMP::corefine_and_compute_intersection(ea, eb, ec);
    if (ok)
        FromExactMesh(ec, out);
    return ok;
}

struct Step
{
    Mesh operand;
    MeshBooleanType type;
};

struct Case
{
    std::string name;
    Mesh first;
    std::vector<Step> steps; // folded left to right
    // CGAL's rounded results of turned operands are often invalid operands
    // (it crashes on them): its chain then stays exact between steps.
    bool referenceStaysExact = false;
};

// The chain as CGAL alone does it, exact from the first step to the last.
bool ExactReferenceChain(const Case& c, Mesh& out)
{
    ExactMesh acc, operand;
    ToExactMesh(c.first, acc);
    for (const Step& step : c.steps)
    {
        ToExactMesh(step.operand, operand);
        ExactMesh result;
        bool ok = false;
        if (step.type == MESH_BOOLEAN_UNION)
            ok = PMP::corefine_and_compute_union(acc, operand, result);
        else if (step.type == MESH_BOOLEAN_MINUS)
            ok = PMP::corefine_and_compute_difference(acc, operand, result);
        else if (step.type == MESH_BOOLEAN_INTERSECTION)
            ok = PMP::corefine_and_compute_intersection(acc, operand, result);
        if (!ok)
            return false;
        acc = std::move(result);
    }
    FromExactMesh(acc, out);
    return true;
}

enum Runner
{
    RUN_MARKED_VALID,
    RUN_FULL_CHECKS,
    RUN_REFERENCE,
};

struct Timing
{
    double medianMs = 0;
    bool ok = true;
    Mesh result;
};

Timing Measure(const Case& c, Runner runner)
{
    std::vector<double> times;
    Timing timing;
    for (int run = 0; run < RUNS; ++run)
    {
        Mesh acc = c.first;
        bool ok = true;
        const auto start = std::chrono::steady_clock::now();
        if (runner == RUN_REFERENCE && c.referenceStaysExact)
            ok = ExactReferenceChain(c, acc);
        for (size_t k = 0; k < c.steps.size() && !(runner == RUN_REFERENCE && c.referenceStaysExact); ++k)
        {
            const Step& step = c.steps[k];
            Mesh out;
            Eigen::VectorXi J;
            if (runner == RUN_REFERENCE)
                ok = ReferenceBoolean(acc, step.operand, step.type, out);
            else
            {
                MeshBooleanOptions options;
                options.operandAValid = options.operandBValid = runner == RUN_MARKED_VALID;
                options.threads = 1; // as CGAL runs
                MeshBooleanFailure failure;
                ok = MeshBoolean(acc.V, acc.F, step.operand.V, step.operand.F, step.type, options, out.V, out.F, J,
                                 &failure);
                if (!ok)
                    std::fprintf(stderr, "  %s failed: %s\n", c.name.c_str(),
                                 DescribeMeshBooleanFailure(failure).c_str());
            }
            if (!ok)
                break;
            acc = std::move(out);
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        timing.ok = ok;
        timing.result = acc;
    }
    std::sort(times.begin(), times.end());
    timing.medianMs = times[RUNS / 2];
    return timing;
}

// 400 cubes of side 1.5 on a grid of spacing 1, each overlapping its
// neighbours, united one at a time as the Join command does.
std::vector<AttributedMesh> JoinPatternCubes()
{
    std::vector<AttributedMesh> cubes;
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j)
        {
            const Mesh box = MakeBox(i, 0, j, i + 1.5, 1.5, j + 1.5);
            AttributedMesh cube;
            cube.V = box.V;
            cube.F = box.F;
            cube.faceTextureIDs.assign(12, -1);
            cube.faceTextureScales.assign(12, 1.0f);
            cube.faceColors.assign(12, FaceColor());
            cubes.push_back(cube);
        }
    return cubes;
}

void MeasureJoinPattern()
{
    const std::vector<AttributedMesh> cubes = JoinPatternCubes();
    const int runs = 3;
    std::vector<double> module, checked, reference;
    AttributedMesh result;
    bool ok = true;
    for (int run = 0; run < runs; ++run)
    {
        // As the command now does: the engine's own results pass as valid.
        for (int mode = 0; mode < 2; ++mode)
        {
            AttributedMesh acc = cubes[0];
            bool accValid = true;
            const auto start = std::chrono::steady_clock::now();
            for (size_t k = 1; k < cubes.size() && ok; ++k)
            {
                std::string failure;
                ok = CombineMeshes(acc, accValid, cubes[k], true, MESH_BOOLEAN_UNION, false, failure);
                if (!ok)
                    std::fprintf(stderr, "  join pattern step %zu failed: %s\n", k, failure.c_str());
                accValid = mode == 0;
            }
            (mode == 0 ? module : checked)
                .push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            result = acc;
        }
        // CGAL keeps its exact mesh from step to step.
        Case steps{"join pattern", Mesh{cubes[0].V, cubes[0].F}, {}};
        for (size_t k = 1; k < cubes.size(); ++k)
            steps.steps.push_back({Mesh{cubes[k].V, cubes[k].F}, MESH_BOOLEAN_UNION});
        Mesh out;
        const auto start = std::chrono::steady_clock::now();
        if (!ExactReferenceChain(steps, out))
            std::fprintf(stderr, "  join pattern: CGAL refused a step\n");
        reference.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    for (std::vector<double>* times : {&module, &checked, &reference})
        std::sort(times->begin(), times->end());
    const Mesh final{result.V, result.F};
    std::printf("\nJoin pattern, 20 x 20 overlapping cubes, 400 unions through CombineMeshes (median of %d):\n"
                "  results passed as valid %10.1f ms   accumulated result fully checked %10.1f ms\n"
                "  CGAL corefinement       %10.1f ms   ratio valid/CGAL %.2f, checked/CGAL %.2f\n"
                "  result: %ld triangles, volume %.6f (expected %.6f)%s\n",
                runs, module[runs / 2], checked[runs / 2], reference[runs / 2], module[runs / 2] / reference[runs / 2],
                checked[runs / 2] / reference[runs / 2], long(final.F.rows()), MeasureVolume(final), 20.5 * 20.5 * 1.5,
                ok ? "" : "  (module FAILED)");
}

} // namespace

int main(int argc, char** argv)
{
    // Optional: only the cases whose name contains argv[1].
    const std::string filter = argc > 1 ? argv[1] : "";
    std::vector<Case> cases;
    const int sphereSizes[][2] = {{16, 32}, {50, 100}, {158, 316}}; // ~1k, 10k, 100k triangles each
    const char* sphereNames[] = {"spheres 1k", "spheres 10k", "spheres 100k"};
    for (int s = 0; s < 3; ++s)
    {
        const Mesh a = MakeSphere(0, 0, 0, 1, sphereSizes[s][0], sphereSizes[s][1]);
        const Mesh b = MakeSphere(0.5, 0.3, 0.2, 1, sphereSizes[s][0], sphereSizes[s][1]);
        cases.push_back({std::string(sphereNames[s]) + " union", a, {{b, MESH_BOOLEAN_UNION}}});
        cases.push_back({std::string(sphereNames[s]) + " minus", a, {{b, MESH_BOOLEAN_MINUS}}});
    }
    cases.push_back({"grid cubes coplanar union", MakeBox(0, 0, 0, 2, 2, 2), {{MakeBox(1, 0, 1, 3, 2, 3), MESH_BOOLEAN_UNION}}});
    cases.push_back({"grid cubes coplanar minus", MakeBox(0, 0, 0, 2, 2, 2), {{MakeBox(1, 0, 1, 3, 2, 3), MESH_BOOLEAN_MINUS}}});
    cases.push_back({"cube + cylinder64 union", MakeBox(0, 0, 0, 2, 2, 2), {{MakeCylinder(2, 2, 1, -0.5, 2.5, 64), MESH_BOOLEAN_UNION}}});
    cases.push_back({"cube - cylinder64", MakeBox(0, 0, 0, 2, 2, 2), {{MakeCylinder(2, 2, 1, -0.5, 2.5, 64), MESH_BOOLEAN_MINUS}}});
    Case chain{"chain of 10 cubes union", MakeBox(0, 0, 0, 2, 2, 2), {}};
    for (int i = 1; i < 10; ++i)
        chain.steps.push_back({MakeBox(i, 0, 0, i + 2, 2, 2), MESH_BOOLEAN_UNION});
    cases.push_back(chain);
    // Turned by one shared rotation: faces that were coplanar now miss each
    // other's planes by rounding.
    const Eigen::Vector3d axis(1, 2, 3);
    cases.push_back({"spheres 100k turned union", Turned(MakeSphere(0, 0, 0, 1, 158, 316), 37, axis),
                     {{Turned(MakeSphere(0.5, 0.3, 0.2, 1, 158, 316), 37, axis), MESH_BOOLEAN_UNION}}});
    Case turnedChain{"chain of 10 turned cubes", Turned(chain.first, 37, axis), {}, true};
    for (const Step& step : chain.steps)
        turnedChain.steps.push_back({Turned(step.operand, 37, axis), step.type});
    cases.push_back(turnedChain);

    std::printf("Median of %d runs, caller's thread only. Ratios against the CGAL reference.\n\n", RUNS);
    std::printf("%-28s %8s | %10s %10s %10s | %8s %8s | %9s %12s %9s %12s | %8s\n", "case", "tris in", "valid ms",
                "checked ms", "cgal ms", "valid x", "check x", "tris out", "volume", "cgal tris", "cgal volume",
                "peak MB");
    for (const Case& c : cases)
    {
        if (c.name.find(filter) == std::string::npos)
            continue;
        ResetPeakMemory();
        const Timing valid = Measure(c, RUN_MARKED_VALID);
        const double peak = PeakMemoryMB(); // the module's own runs
        const Timing checked = Measure(c, RUN_FULL_CHECKS);
        const Timing reference = Measure(c, RUN_REFERENCE);
        long trisIn = long(c.first.F.rows());
        for (const Step& s : c.steps)
            trisIn += long(s.operand.F.rows());
        std::printf("%-28s %8ld | %10.2f %10.2f %10.2f | %8.2f %8.2f | %9ld %12.6f %9ld %12.6f | %8.1f%s\n",
                    c.name.c_str(), trisIn, valid.medianMs, checked.medianMs, reference.medianMs,
                    valid.medianMs / reference.medianMs, checked.medianMs / reference.medianMs,
                    long(valid.result.F.rows()), MeasureVolume(valid.result), long(reference.result.F.rows()),
                    reference.ok ? MeasureVolume(reference.result) : 0.0, peak,
                    (valid.ok && checked.ok) ? (reference.ok ? "" : "  (reference refused)") : "  (module FAILED)");
        std::fflush(stdout);
    }
    if (std::string("join pattern").find(filter) != std::string::npos)
        MeasureJoinPattern();
    return 0;
}
