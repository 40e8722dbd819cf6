// The mesh-boolean benchmarks' meshes: vertices and triangles as the module
// takes them, and their enclosed volume.
#pragma once

#include <Eigen/Core>

struct BenchMesh
{
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
};

inline double MeasureVolume(const BenchMesh& m)
{
    double six = 0;
    for (Eigen::Index t = 0; t < m.F.rows(); ++t)
    {
        const Eigen::Vector3d a = m.V.row(m.F(t, 0)), b = m.V.row(m.F(t, 1)), c = m.V.row(m.F(t, 2));
        six += a.dot(b.cross(c));
    }
    return six / 6;
}
