// Chains of turned primitives through the mesh booleans, for failures the
// tests do not meet: each chain turns every primitive by one random rotation
// and places it at whole-unit positions, so faces often touch. Every step runs
// all four operations on the accumulated result and the next primitive and
// goes on with one of the non-empty results. Prints one line per operation
// (chain, step, operation, then a hash of the result or the failure, and the
// pairs of its faces a hair apart where it holds any) so two builds can be
// compared line by line, and the counts at the end. Where all
// four succeed their volumes must agree with the operands' (union plus
// intersection is A plus B, and so on), within what the coarser merge of
// rounded points may move the surface by; a step where they do not is counted.
//
// boolean_stress CHAINS SEED STEPS [KINDS [TURNS [SHIFT]]]   (KINDS 1-5: cube,
// cylinder, ramp, wedge, cone; 5 by default. TURNS: 0, one random rotation per
// chain, by default; 1, one per chain by a multiple of 15 degrees about x, y or
// z, the angles a designer turns pieces by; 2, each primitive its own such
// rotation. SHIFT: every primitive is moved by (SHIFT, SHIFT / 3, -SHIFT / 7)
// after turning, as a level's pieces lie far from the origin; 0 by default)
#include "bench/BenchMesh.h"
#include "meshbool/MeshBoolean.h"
#include "scene/PrimitiveMeshes.h"

#include <Eigen/Geometry>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

typedef BenchMesh Mesh;

std::uint64_t HashOf(const Mesh& m, const Eigen::VectorXi& J)
{
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&](std::uint64_t bits) { h = (h ^ bits) * 1099511628211ull; };
    for (Eigen::Index k = 0; k < m.V.size(); ++k)
    {
        const double d = m.V.data()[k] + 0.0;
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        mix(bits);
    }
    for (Eigen::Index k = 0; k < m.F.size(); ++k)
        mix(std::uint32_t(m.F.data()[k]));
    for (Eigen::Index k = 0; k < J.size(); ++k)
        mix(std::uint32_t(J(k)));
    return h;
}

Mesh MakePrimitive(std::mt19937& random, int kinds, const Eigen::Matrix3d& turn, const Eigen::Vector3d& shift)
{
    Mesh m;
    const int kind = int(random() % unsigned(kinds));
    const float x = float(random() % 4), y = float(random() % 4), z = float(random() % 4);
    const float w = float(1 + random() % 3), h = float(1 + random() % 3), d = float(1 + random() % 3);
    if (kind == 0)
        GenerateCubeMesh(x, y, z, x + w, y + h, z + d, m.V, m.F);
    else if (kind == 1)
        GenerateCylinderMesh(x, y, z, x + w, y + h, z + w, m.V, m.F);
    else if (kind == 2)
        GenerateRampMesh(x, y, z, x + w, y + h, z + d, m.V, m.F);
    else if (kind == 3)
        GenerateWedgeMesh(x, y, z, x + w, y + h, z + d, m.V, m.F);
    else
        GenerateConeMesh(x, y, z, x + w, y + h, z + w, m.V, m.F);
    for (Eigen::Index i = 0; i < m.V.rows(); ++i)
        m.V.row(i) = (turn * m.V.row(i).transpose() + shift).transpose();
    return m;
}

// Surface area times the largest coordinate: points merged within a ratio of
// the largest coordinate change the volume by at most that ratio of this.
double AreaTimesReach(const Mesh& m)
{
    double area = 0;
    for (Eigen::Index t = 0; t < m.F.rows(); ++t)
    {
        const Eigen::Vector3d a = m.V.row(m.F(t, 0)), b = m.V.row(m.F(t, 1)), c = m.V.row(m.F(t, 2));
        area += (b - a).cross(c - a).norm() / 2;
    }
    return area * (m.V.rows() > 0 ? m.V.cwiseAbs().maxCoeff() : 0.0);
}

// A multiple of 15 degrees, not 0, about x, y or z. The cosine and sine come
// from square roots, which both builds round alike (their sin and cos need
// not), so the two builds' lines can be compared.
Eigen::Matrix3d SnappedTurn(std::mt19937& random)
{
    const int axis = int(random() % 3), k = 1 + int(random() % 23);
    const double r2 = std::sqrt(2.0), r3 = std::sqrt(3.0), r6 = std::sqrt(6.0);
    const double quarter[6][2] = {{1, 0},          {(r6 + r2) / 4, (r6 - r2) / 4}, {r3 / 2, 0.5},
                                  {r2 / 2, r2 / 2}, {0.5, r3 / 2},                  {(r6 - r2) / 4, (r6 + r2) / 4}};
    double c = quarter[k % 6][0], s = quarter[k % 6][1];
    for (int q = 0; q < k / 6; ++q)
    {
        const double t = c; // another 90 degrees
        c = -s;
        s = t;
    }
    const int u = (axis + 1) % 3, v = (axis + 2) % 3;
    Eigen::Matrix3d turn = Eigen::Matrix3d::Identity();
    turn(u, u) = c;
    turn(u, v) = -s;
    turn(v, u) = s;
    turn(v, v) = c;
    return turn;
}

} // namespace

int main(int argc, char** argv)
{
    const int turns = argc > 5 ? std::atoi(argv[5]) : 0;
    if (argc < 4 || turns < 0 || turns > 2)
    {
        std::fprintf(stderr, "usage: boolean_stress CHAINS SEED STEPS [KINDS [TURNS [SHIFT]]]\n");
        return 2;
    }
    const int chains = std::atoi(argv[1]), seed = std::atoi(argv[2]), steps = std::atoi(argv[3]);
    const int kinds = argc > 4 ? std::max(1, std::min(5, std::atoi(argv[4]))) : 5;
    const double along = argc > 6 ? std::atof(argv[6]) : 0;
    const Eigen::Vector3d shift(along, along / 3, -along / 7);
    std::mt19937 random{unsigned(seed)};
    std::uniform_real_distribution<double> unit(0, 1);
    long operations = 0, failures = 0, invalid = 0, mismatches = 0, withHairs = 0;
    for (int c = 0; c < chains; ++c)
    {
        const Eigen::Vector3d axis(unit(random) - 0.5, unit(random) - 0.5, unit(random) - 0.5);
        const Eigen::Matrix3d turn = turns == 0 ? Eigen::AngleAxisd(unit(random) * 6.283185307179586, axis.normalized())
                                                      .toRotationMatrix()
                                                : SnappedTurn(random);
        Mesh acc = MakePrimitive(random, kinds, turn, shift);
        for (int s = 0; s < steps; ++s)
        {
            const Mesh b = MakePrimitive(random, kinds, turns == 2 ? SnappedTurn(random) : turn, shift);
            Mesh next;
            bool have = false;
            double volume[4];
            int done = 0;
            for (int op = 0; op < 4; ++op)
            {
                Mesh out;
                Eigen::VectorXi J;
                MeshBooleanFailure failure;
                MeshBooleanOptions options;
                options.operandAValid = options.operandBValid = true;
                ++operations;
                if (!MeshBoolean(acc.V, acc.F, b.V, b.F, MeshBooleanType(op), options, out.V, out.F, J, &failure))
                {
                    ++failures;
                    std::printf("%d %d %d FAIL %s\n", c, s, op, DescribeMeshBooleanFailure(failure).c_str());
                    continue;
                }
                volume[op] = MeasureVolume(out);
                ++done;
                std::string reason;
                const bool valid = CheckMeshBooleanOperand(out.V, out.F, false, &reason);
                invalid += valid ? 0 : 1;
                const long hairs = CountFacesAHairApart(out);
                withHairs += hairs > 0 ? 1 : 0;
                std::printf("%d %d %d %016llx %ld%s%s%s\n", c, s, op, (unsigned long long)HashOf(out, J),
                            long(out.F.rows()), valid ? "" : " INVALID ", reason.c_str(),
                            hairs > 0 ? (" hairs " + std::to_string(hairs)).c_str() : "");
                if (out.F.rows() > 0 && (!have || random() % 2))
                {
                    next = out;
                    have = true;
                }
            }
            const double va = MeasureVolume(acc), vb = MeasureVolume(b);
            const double slack = 1e-9 * (1 + std::fabs(va) + std::fabs(vb) + AreaTimesReach(acc) + AreaTimesReach(b));
            if (done == 4 && (std::fabs(volume[0] + volume[1] - va - vb) > slack ||
                              std::fabs(volume[2] - va + volume[1]) > slack ||
                              std::fabs(volume[3] - va - vb + 2 * volume[1]) > slack))
            {
                ++mismatches;
                std::printf("%d %d VOLUMES %.17g %.17g %.17g %.17g of %.17g %.17g\n", c, s, volume[0], volume[1],
                            volume[2], volume[3], va, vb);
            }
            if (!have)
                break;
            acc = next;
        }
        std::fflush(stdout);
    }
    std::printf("%ld operations, %ld failed, %ld results not accepted again, %ld steps with volumes that disagree, "
                "%ld results with faces a hair apart\n",
                operations, failures, invalid, mismatches, withHairs);
    return 0;
}
