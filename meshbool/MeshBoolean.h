// Mesh booleans for the CSG commands: union, intersection, difference (A minus B)
// and symmetric difference of two closed triangle meshes, computed with exact
// arithmetic. Every result triangle reports the input triangle it was born from.
//
// Meshes are vertices V (n x 3 doubles) and triangles F (m x 3 ints, 0-based rows
// of V, counter-clockwise seen from outside). Result coordinates are the exact
// result rounded to the nearest double; input vertices that survive keep their
// value bit for bit. Results may be non-manifold (two boxes sharing an edge) and
// are accepted again as operands.
//
// Operands are checked first and refused with a reason: wrong matrix shapes,
// non-finite coordinates, indices out of range, degenerate triangles, open meshes,
// zero or negative volume, self-intersections (shared vertices and edges of
// touching parts are not intersections). An operand marked valid by construction
// skips only the self-intersection check.
//
// Threads: every call runs entirely on the caller's thread and starts no worker
// thread; separate calls on different threads share no state.
#pragma once

#include <Eigen/Core>
#include <string>

enum MeshBooleanType : int
{
    MESH_BOOLEAN_UNION = 0,
    MESH_BOOLEAN_INTERSECTION = 1,
    MESH_BOOLEAN_MINUS = 2,
    MESH_BOOLEAN_XOR = 3,
};

struct MeshBooleanOptions
{
    // Set for an operand the program generated itself (a primitive with
    // non-degenerate bounds): its self-intersection check is skipped.
    bool operandAValid = false;
    bool operandBValid = false;
};

struct MeshBooleanFailure
{
    char operand = 0;   // 'A' or 'B' when an operand was refused, 0 otherwise
    std::string reason; // what is wrong, for the user
};

// Computes VC, FC and J. J(i) < rows(FA) names triangle J(i) of A, otherwise
// triangle J(i) - rows(FA) of B. Returns false on failure, leaving VC, FC and J
// untouched and describing the cause in *failure when it is given. An empty
// result is a success with zero rows. The outputs may alias the inputs.
bool MeshBoolean(const Eigen::MatrixXd& VA, const Eigen::MatrixXi& FA,
                 const Eigen::MatrixXd& VB, const Eigen::MatrixXi& FB,
                 MeshBooleanType type,
                 Eigen::MatrixXd& VC, Eigen::MatrixXi& FC, Eigen::VectorXi& J);

bool MeshBoolean(const Eigen::MatrixXd& VA, const Eigen::MatrixXi& FA,
                 const Eigen::MatrixXd& VB, const Eigen::MatrixXi& FB,
                 MeshBooleanType type, const MeshBooleanOptions& options,
                 Eigen::MatrixXd& VC, Eigen::MatrixXi& FC, Eigen::VectorXi& J,
                 MeshBooleanFailure* failure);

// Same computation; a failure throws std::invalid_argument for a refused
// operand and std::runtime_error otherwise, with the text of
// DescribeMeshBooleanFailure ("Mesh boolean: operand A ...").
void MeshBooleanOrThrow(const Eigen::MatrixXd& VA, const Eigen::MatrixXi& FA,
                        const Eigen::MatrixXd& VB, const Eigen::MatrixXi& FB,
                        MeshBooleanType type,
                        Eigen::MatrixXd& VC, Eigen::MatrixXi& FC, Eigen::VectorXi& J,
                        const MeshBooleanOptions& options = MeshBooleanOptions());

// Runs the operand checks alone. Returns true when the mesh is usable; otherwise
// false with the reason.
bool CheckMeshBooleanOperand(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F,
                             bool validByConstruction, std::string* reason);

std::string DescribeMeshBooleanFailure(const MeshBooleanFailure& failure);
