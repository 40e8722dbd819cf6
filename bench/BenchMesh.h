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
