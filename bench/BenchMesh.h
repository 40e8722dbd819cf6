// Meshes as the mesh booleans take them, for their benchmarks and tests: the
// enclosed volume, and the faces a result leaves a hair apart.
#pragma once

#include <Eigen/Core>
#include <Eigen/Geometry>

#include <algorithm>
#include <cmath>
#include <vector>

struct BenchMesh
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
};

inline double MeasureVolume(const BenchMesh& m)
{
    // Measured from a corner of the mesh: from the origin, a mesh far from it
    // sums large terms that cancel, and loses the digits compared.
    const Eigen::Vector3d o = m.V.rows() > 0 ? Eigen::Vector3d(m.V.row(0)) : Eigen::Vector3d::Zero();
    double six = 0;
    for (Eigen::Index t = 0; t < m.F.rows(); ++t)
    {
        const Eigen::Vector3d a = Eigen::Vector3d(m.V.row(m.F(t, 0))) - o, b = Eigen::Vector3d(m.V.row(m.F(t, 1))) - o,
                              c = Eigen::Vector3d(m.V.row(m.F(t, 2))) - o;
        six += a.dot(b.cross(c));
    }
    return six / 6;
}

// Pairs of facing triangles less than 1e-9 of the largest coordinate apart,
// one over the other: the traces of faces that touched exactly but were not
// laid onto one another before rounding. A result holding them is accepted,
// but they spoil the flattening of later operations near them, and each such
// operation tends to leave more.
inline long CountFacesAHairApart(const BenchMesh& m)
{
    const double gap = 1e-9 * (m.V.rows() > 0 ? m.V.cwiseAbs().maxCoeff() : 0.0);
    const Eigen::Index n = m.F.rows();
    const size_t count = size_t(n);
    std::vector<Eigen::Vector3d> lo(count), hi(count), normal(count), centre(count);
    std::vector<Eigen::Index> byLow(count);
    auto corner = [&](Eigen::Index t, int k) { return Eigen::Vector3d(m.V.row(m.F(t, k))); };
    for (Eigen::Index t = 0; t < n; ++t)
    {
        const Eigen::Vector3d a = corner(t, 0), b = corner(t, 1), c = corner(t, 2);
        lo[size_t(t)] = a.cwiseMin(b).cwiseMin(c).array() - gap;
        hi[size_t(t)] = a.cwiseMax(b).cwiseMax(c).array() + gap;
        normal[size_t(t)] = (b - a).cross(c - a).normalized();
        centre[size_t(t)] = (a + b + c) / 3;
        byLow[size_t(t)] = t;
    }
    // Within the gap of s's plane and strictly inside s seen along its normal.
    auto over = [&](Eigen::Index s, const Eigen::Vector3d& p) {
        const Eigen::Vector3d& nrm = normal[size_t(s)];
        if (!(std::fabs(nrm.dot(p - corner(s, 0))) <= gap))
            return false;
        for (int k = 0; k < 3; ++k)
            if (!(nrm.dot((corner(s, (k + 1) % 3) - corner(s, k)).cross(p - corner(s, k))) > 0))
                return false;
        return true;
    };
    std::sort(byLow.begin(), byLow.end(), [&](Eigen::Index a, Eigen::Index b) { return lo[size_t(a)].x() < lo[size_t(b)].x(); });
    long pairs = 0;
    for (size_t i = 0; i < byLow.size(); ++i)
        for (size_t j = i + 1; j < byLow.size() && lo[size_t(byLow[j])].x() <= hi[size_t(byLow[i])].x(); ++j)
        {
            const Eigen::Index s = byLow[i], t = byLow[j];
            if (!(lo[size_t(s)].array() <= hi[size_t(t)].array()).all() ||
                !(lo[size_t(t)].array() <= hi[size_t(s)].array()).all() ||
                !(normal[size_t(s)].dot(normal[size_t(t)]) < -0.999999))
                continue;
            if (over(s, centre[size_t(t)]) || over(t, centre[size_t(s)]))
                ++pairs;
        }
    return pairs;
}
