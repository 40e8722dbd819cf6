#include "scene/PrimitiveMeshes.h"

#include <cmath>
#include <vector>

namespace {

const float PI_F = 3.1415927f;
const float TWO_PI_F = 6.2831855f;

// The round shapes are built in growable lists and copied out at the end.
struct MeshBuilder {
    std::vector<float> coords;
    std::vector<int> indices;

    void AddVertex(float x, float y, float z)
    {
        coords.push_back(x);
        coords.push_back(y);
        coords.push_back(z);
    }
    void AddTriangle(int a, int b, int c)
    {
        indices.push_back(a);
        indices.push_back(b);
        indices.push_back(c);
    }
    void CopyTo(Eigen::MatrixXd& V, Eigen::MatrixXi& F) const
    {
        const Eigen::Index n = static_cast<Eigen::Index>(coords.size() / 3);
        const Eigen::Index m = static_cast<Eigen::Index>(indices.size() / 3);
        V.resize(n, 3);
        F.resize(m, 3);
        for (Eigen::Index i = 0; i < n; ++i)
            for (int k = 0; k < 3; ++k)
                V(i, k) = static_cast<double>(coords[static_cast<size_t>(i * 3 + k)]);
        for (Eigen::Index i = 0; i < m; ++i)
            for (int k = 0; k < 3; ++k)
                F(i, k) = indices[static_cast<size_t>(i * 3 + k)];
    }
};

void SetRow(Eigen::MatrixXd& V, int row, float x, float y, float z)
{
    V(row, 0) = static_cast<double>(x);
    V(row, 1) = static_cast<double>(y);
    V(row, 2) = static_cast<double>(z);
}

void SetTriangle(Eigen::MatrixXi& F, int row, int a, int b, int c)
{
    F(row, 0) = a;
    F(row, 1) = b;
    F(row, 2) = c;
}

} // namespace

void GenerateCubeMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                      Eigen::MatrixXd& V, Eigen::MatrixXi& F)
{
    V.resize(8, 3);
    SetRow(V, 0, minX, minY, minZ);
    SetRow(V, 1, maxX, minY, minZ);
    SetRow(V, 2, maxX, maxY, minZ);
    SetRow(V, 3, minX, maxY, minZ);
    SetRow(V, 4, minX, minY, maxZ);
    SetRow(V, 5, maxX, minY, maxZ);
    SetRow(V, 6, maxX, maxY, maxZ);
    SetRow(V, 7, minX, maxY, maxZ);

    F.resize(12, 3);
    SetTriangle(F, 0, 0, 2, 1);  // z = minZ
    SetTriangle(F, 1, 0, 3, 2);
    SetTriangle(F, 2, 4, 5, 6);  // z = maxZ
    SetTriangle(F, 3, 4, 6, 7);
    SetTriangle(F, 4, 0, 1, 5);  // y = minY
    SetTriangle(F, 5, 0, 5, 4);
    SetTriangle(F, 6, 2, 3, 7);  // y = maxY
    SetTriangle(F, 7, 2, 7, 6);
    SetTriangle(F, 8, 0, 4, 7);  // x = minX
    SetTriangle(F, 9, 0, 7, 3);
    SetTriangle(F, 10, 1, 2, 6); // x = maxX
    SetTriangle(F, 11, 1, 6, 5);
}

void GenerateSphereMesh(float cx, float cy, float cz, float r,
                        Eigen::MatrixXd& V, Eigen::MatrixXi& F)
{
    const int RINGS = 31;
    const int SEGMENTS = 64;
    MeshBuilder mesh;
    mesh.coords.reserve((2 + RINGS * SEGMENTS) * 3);
    mesh.indices.reserve(2 * SEGMENTS * RINGS * 3);

    mesh.AddVertex(cx, cy + r, cz);
    for (int i = 1; i <= RINGS; ++i) {
        const float phi = static_cast<float>(i) * PI_F * 0.03125f;
        const float sinPhi = std::sin(phi);
        const float cosPhi = std::cos(phi);
        for (int j = 0; j < SEGMENTS; ++j) {
            const float theta = static_cast<float>(j) * TWO_PI_F * 0.015625f;
            const float cosTheta = std::cos(theta);
            const float sinTheta = std::sin(theta);
            mesh.AddVertex(cx + cosTheta * sinPhi * r,
                           cy + cosPhi * r,
                           cz + sinTheta * sinPhi * r);
        }
    }
    const int bottom = 1 + RINGS * SEGMENTS;  // 1985
    mesh.AddVertex(cx, cy - r, cz);

    for (int j = 0; j < SEGMENTS; ++j)
        mesh.AddTriangle(0, 1 + (j + 1) % SEGMENTS, 1 + j);
    for (int i = 1; i < RINGS; ++i) {
        const int a = 1 + SEGMENTS * (i - 1);
        const int b = a + SEGMENTS;
        for (int j = 0; j < SEGMENTS; ++j) {
            const int n = (j + 1) % SEGMENTS;
            mesh.AddTriangle(a + j, a + n, b + j);
            mesh.AddTriangle(a + n, b + n, b + j);
        }
    }
    const int last = 1 + SEGMENTS * (RINGS - 1);  // first vertex of the last ring
    for (int j = 0; j < SEGMENTS; ++j)
        mesh.AddTriangle(bottom, last + j, last + (j + 1) % SEGMENTS);

    mesh.CopyTo(V, F);
}

void GenerateCylinderMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                          Eigen::MatrixXd& V, Eigen::MatrixXi& F)
{
    const int SEGMENTS = 32;
    const float cx = (minX + maxX) / 2.0f;
    const float cz = (minZ + maxZ) / 2.0f;
    const float r = (maxX - minX) / 2.0f;
    MeshBuilder mesh;
    mesh.coords.reserve((2 * SEGMENTS + 2) * 3);
    mesh.indices.reserve(4 * SEGMENTS * 3);

    for (int i = 0; i < SEGMENTS; ++i) {
        const float theta = static_cast<float>(i) * TWO_PI_F * 0.03125f;
        const float x = cx + r * std::cos(theta);
        const float z = cz + r * std::sin(theta);
        mesh.AddVertex(x, minY, z);  // 2i
        mesh.AddVertex(x, maxY, z);  // 2i + 1
    }
    const int bottomCentre = 2 * SEGMENTS;
    const int topCentre = bottomCentre + 1;
    mesh.AddVertex(cx, minY, cz);
    mesh.AddVertex(cx, maxY, cz);

    for (int i = 0; i < SEGMENTS; ++i) {
        const int n = (i + 1) % SEGMENTS;
        mesh.AddTriangle(2 * i + 1, 2 * n + 1, 2 * i);
        mesh.AddTriangle(2 * n + 1, 2 * n, 2 * i);
    }
    for (int i = 0; i < SEGMENTS; ++i)
        mesh.AddTriangle(bottomCentre, 2 * i, 2 * ((i + 1) % SEGMENTS));
    for (int i = 0; i < SEGMENTS; ++i)
        mesh.AddTriangle(topCentre, 2 * ((i + 1) % SEGMENTS) + 1, 2 * i + 1);

    mesh.CopyTo(V, F);
}

void GenerateConeMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                      Eigen::MatrixXd& V, Eigen::MatrixXi& F)
{
    const int SEGMENTS = 32;
    const float cx = (minX + maxX) / 2.0f;
    const float cz = (minZ + maxZ) / 2.0f;
    const float r = (maxX - minX) / 2.0f;
    MeshBuilder mesh;
    mesh.coords.reserve((SEGMENTS + 2) * 3);
    mesh.indices.reserve(2 * SEGMENTS * 3);

    mesh.AddVertex(cx, maxY, cz);  // apex
    for (int i = 0; i < SEGMENTS; ++i) {
        const float theta = static_cast<float>(i) * TWO_PI_F * 0.03125f;
        mesh.AddVertex(cx + r * std::cos(theta), minY, cz + r * std::sin(theta));
    }
    const int baseCentre = SEGMENTS + 1;
    mesh.AddVertex(cx, minY, cz);

    for (int i = 0; i < SEGMENTS; ++i)
        mesh.AddTriangle(0, 1 + (i + 1) % SEGMENTS, 1 + i);
    for (int i = 0; i < SEGMENTS; ++i)
        mesh.AddTriangle(baseCentre, 1 + i, 1 + (i + 1) % SEGMENTS);

    mesh.CopyTo(V, F);
}

void GenerateRampMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                      Eigen::MatrixXd& V, Eigen::MatrixXi& F)
{
    V.resize(6, 3);
    SetRow(V, 0, minX, minY, minZ);
    SetRow(V, 1, maxX, minY, minZ);
    SetRow(V, 2, minX, maxY, minZ);
    SetRow(V, 3, maxX, maxY, minZ);
    SetRow(V, 4, minX, minY, maxZ);
    SetRow(V, 5, maxX, minY, maxZ);

    F.resize(8, 3);
    SetTriangle(F, 0, 0, 3, 1);  // back, z = minZ
    SetTriangle(F, 1, 0, 2, 3);
    SetTriangle(F, 2, 0, 1, 5);  // bottom
    SetTriangle(F, 3, 0, 5, 4);
    SetTriangle(F, 4, 2, 4, 5);  // slope
    SetTriangle(F, 5, 2, 5, 3);
    SetTriangle(F, 6, 0, 4, 2);  // side, x = minX
    SetTriangle(F, 7, 1, 3, 5);  // side, x = maxX
}

void GenerateWedgeMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                       Eigen::MatrixXd& V, Eigen::MatrixXi& F)
{
    const float cx = (minX + maxX) / 2.0f;
    V.resize(6, 3);
    SetRow(V, 0, minX, minY, minZ);
    SetRow(V, 1, maxX, minY, minZ);
    SetRow(V, 2, cx, minY, maxZ);
    SetRow(V, 3, minX, maxY, minZ);
    SetRow(V, 4, maxX, maxY, minZ);
    SetRow(V, 5, cx, maxY, maxZ);

    F.resize(8, 3);
    SetTriangle(F, 0, 0, 1, 2);  // bottom
    SetTriangle(F, 1, 3, 5, 4);  // top
    SetTriangle(F, 2, 0, 3, 4);  // back, z = minZ
    SetTriangle(F, 3, 0, 4, 1);
    SetTriangle(F, 4, 0, 2, 5);  // slanted side through minX
    SetTriangle(F, 5, 0, 5, 3);
    SetTriangle(F, 6, 1, 4, 5);  // slanted side through maxX
    SetTriangle(F, 7, 1, 5, 2);
}

void GenerateKnifeMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                       Eigen::MatrixXd& V, Eigen::MatrixXi& F)
{
    (void)maxY;  // a knife is flat at minY whatever its height
    V.resize(4, 3);
    SetRow(V, 0, minX, minY, minZ);
    SetRow(V, 1, maxX, minY, minZ);
    SetRow(V, 2, maxX, minY, maxZ);
    SetRow(V, 3, minX, minY, maxZ);

    F.resize(4, 3);
    SetTriangle(F, 0, 0, 1, 2);  // facing down
    SetTriangle(F, 1, 0, 2, 3);
    SetTriangle(F, 2, 0, 3, 2);  // facing up
    SetTriangle(F, 3, 0, 2, 1);
}
