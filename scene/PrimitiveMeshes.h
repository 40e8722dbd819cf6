// Closed triangle meshes of the seven primitive kinds, generated from their
// axis-aligned bounds in world units (no rotation). Each generator replaces
// whatever V (n x 3) and F (m x 3) held. Arithmetic is single precision; each
// coordinate is widened to double when stored. Triangles are wound
// counter-clockwise seen from outside; the knife is a two-sided flat cutter.
#pragma once

#include <Eigen/Core>

void GenerateCubeMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                      Eigen::MatrixXd& V, Eigen::MatrixXi& F);

// UV sphere: poles plus 31 rings of 64 segments (1986 vertices, 3968 triangles).
void GenerateSphereMesh(float cx, float cy, float cz, float r,
                        Eigen::MatrixXd& V, Eigen::MatrixXi& F);

// 32 segments, radius (maxX - minX) / 2 about the bounds centre; z extent unused.
void GenerateCylinderMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                          Eigen::MatrixXd& V, Eigen::MatrixXi& F);
void GenerateConeMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                      Eigen::MatrixXd& V, Eigen::MatrixXi& F);

// Right-triangle prism along x: full height at minZ, down to minY at maxZ.
void GenerateRampMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                      Eigen::MatrixXd& V, Eigen::MatrixXi& F);

// Prism over the triangle (minX, minZ), (maxX, minZ), (centre x, maxZ).
void GenerateWedgeMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                       Eigen::MatrixXd& V, Eigen::MatrixXi& F);

// Two-sided rectangle in the plane y = minY; maxY is ignored.
void GenerateKnifeMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                       Eigen::MatrixXd& V, Eigen::MatrixXi& F);
