// Mesh booleans for the CSG commands: union, intersection, difference (A minus B)
// and symmetric difference of two closed triangle meshes, computed with exact
// arithmetic. Every result triangle reports the input triangle it was born from.
//
// Meshes are vertices V (n x 3 doubles) and triangles F (m x 3 ints, 0-based rows
// of V, counter-clockwise seen from outside). Rows of V no triangle uses are
// ignored; rows with equal coordinates are one point.
//
// Accepted operands: no triangles at all (empty), or triangles that form closed
// surfaces (every edge bordered as often one way as the other, so parts may
// share vertices and edges) enclosing a positive volume, with no triangle
// crossing or touching another except at the vertices and edges they share.
// Refused, with the reason: V or F not 3 columns wide, a non-finite coordinate,
// an index outside V, a triangle with two corners at one point or of zero area,
// an open surface, a flat mesh (its volume next to nothing of its area times
// its extent, at any scale) or an inside-out one (negative volume), and
// self-intersections. Both operands always get every check, also when the
// other is empty; one marked valid by construction skips only the
// self-intersection check. An operand not so marked that is refused only for
// zero-area triangles or up to 64 crossings (what moving or scaling a result
// in doubles can leave where it held points or faces a hair apart) is first
// mended as results are (see below), merging no points at first and then
// ever farther ones, and taken if it then passes every check; J still names
// its triangles. Faces laid on one another, two triangles in one
// plane folded over one another deeper than 1e-9 of the largest coordinate and
// triangles with two corners at one point are the modeller's and refused as
// before.
//
// Results: the exact result rounded to doubles, input vertices that survive
// keeping their value bit for bit (but for the flattened and nudged points
// below). Where faces of the two operands lie in one plane, the result takes
// A's. Where turned operands' faces touch or overlap but miss each other's
// planes by rounding (by less than 1e-11 of the largest coordinate), each
// cluster of such near-coplanar faces of both operands is first flattened
// exactly onto one plane of A (points of A there move by a unit in the last
// place or so, points of B by up to that tolerance; where points of A cannot
// move without A cutting itself, the plane is turned to pass through up to
// three of them, by at most 16 units in the last place, which moves the
// others by as much of the cluster's size), so no sliver a hair thick
// is cut between them: boxes that only touch have an empty intersection. Where
// that fails, B's points are moved onto A's planes instead, then both operands'
// onto each other's, then nothing is moved; a move that would make an operand
// cut itself is not made. A moved point beyond snapping's reach of the other
// operand whose result triangles are all input triangles as they were takes its
// input value again. Each of these is tried again with the pieces of an operand
// that meet only at a point cut as separate meshes (the exact cutting cannot
// take two copies of a point lying on the other operand). Where XOR's first way
// fails, it is next built from two parts each rounded on its own: the union of
// A and B less their intersection, then the union of A minus B and B minus A.
// Rounding can still leave zero-area triangles, flat pieces, slivers and
// needles thinner than the merging tolerance, faces rounded onto one another or
// crossings a hair deep near new points; these are mended (close points merged,
// thin pieces, back-to-back pairs and flat pillows (a quad and its reverse
// split along the other diagonal) dropped, a piece's volume summed exactly
// where rounding errors could decide whether it is flat, zero-area triangles
// flipped away, new points nudged a few units in the last place off faces they
// crossed) and checked again: closedness, volume, and that parts touching along
// an edge do not overlap there (rounding can turn two faces that lay back to
// back at it a hair past each other, though no two triangles cross; a far
// corner of one is then nudged the same way). New and flattened points within
// 1e-12 of the largest coordinate of another point are merged into it in every
// result (within 1e-9 where that merge still leaves crossings, so such a
// result can stray from the exact one by that much: a sliver or needle of an
// older result thinner than that, cut through, is closed; within 1e-14 in the
// rare result only that finer merge rounds soundly, and not at all in the
// rarer one where merging would tilt a face into another a hair away), so
// results seldom hold such crumbs to trouble the next operation.
// Where the first way fails on an operand that holds them, flat pillows or flat
// pieces anyway (an older result), it is merged and mended the same way and, if
// it is still an accepted operand, every way is tried on it before the other
// ways on it as given; J still names its input triangles. Every result is
// therefore itself an accepted operand (possibly non-manifold, as two boxes
// sharing an edge), valid by construction; in the rare case no valid rounding
// is found the call fails with an internal error and changes nothing. Before
// failing, as a last resort, every way is tried once more with input points at
// the crossings nudged too where new points alone do not clear them. The same
// inputs give the same output, triangle order included. Operands whose
// largest coordinate is below 2^-64 or at least 2^64 are worked on (and
// checked) scaled by a power of two to near one, which changes no bit, and the
// result is scaled back: products of such coordinates would under- or overflow.
//
// Threads: the first way runs on the caller's thread. Where it fails, worker
// threads try the other ways at once with it, and the call returns when they
// are done; the result is the one the lowest successful way gives, the same
// for any number of threads. The workers are started on first need and kept
// for later calls (with MinGW a thread that ends corrupts the heap as CGAL's
// thread-local objects are destroyed). Separate calls on different threads
// may run at once and share only the workers: while one call uses them,
// another runs on its caller's thread alone, with the same result.
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
    // non-degenerate bounds, or a result of this module): its
    // self-intersection check is skipped.
    bool operandAValid = false;
    bool operandBValid = false;
    // Threads that may try other ways at once, the caller's included; 0 takes
    // one per processor, up to 8; 1 keeps the whole call on the caller's thread.
    int threads = 0;
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

// Runs the operand checks alone. Returns true when the mesh is usable as it is;
// otherwise false with the reason (MeshBoolean may still mend it, see above).
bool CheckMeshBooleanOperand(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F,
                             bool validByConstruction, std::string* reason);

std::string DescribeMeshBooleanFailure(const MeshBooleanFailure& failure);
