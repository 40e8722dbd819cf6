// Include in every file that runs CGAL's corefinement on a Surface_mesh, before
// that code is used (one definition must hold throughout the program).
//
// The corefinement finds crossing triangles with boxes numbered by their
// addresses, and that number orders boxes with equal corners: the order of the
// cuts, and so the triangles they make, then follows where the allocator put
// the boxes. Numbered as they are made instead, one input gives one result in
// every run and build.
#pragma once

#include <CGAL/Box_intersection_d/Box_with_info_d.h>
#include <CGAL/Surface_mesh.h>

namespace CGAL {
namespace Box_intersection_d {
template <>
class Box_with_info_d<double, 3, SM_Halfedge_index, ID_FROM_BOX_ADDRESS>
    : public Box_with_info_d<double, 3, SM_Halfedge_index, ID_EXPLICIT>
{
public:
    using Box_with_info_d<double, 3, SM_Halfedge_index, ID_EXPLICIT>::Box_with_info_d;
};
} // namespace Box_intersection_d
} // namespace CGAL
