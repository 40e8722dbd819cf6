// Ray picking: the ray/triangle test and the pickers for the faces and
// objects of the scene, the vertices of the selected objects and the prop
// instances. Each casts the pick ray through a client point of the viewport
// (valid once a frame has been drawn); the nearest hit along the ray wins and
// a tie keeps the earlier object, face or vertex.
#pragma once

#include "scene/VectorMath.h"

// Both sides of the triangle count; on true *t is the distance along the ray
// (in multiples of its direction), always above 1e-7.
bool RayIntersectsTriangle(const Ray& ray, const Vec3f& p0, const Vec3f& p1, const Vec3f& p2, float* t);

// The nearest face of a visible, selectable object; the outputs are written
// only on a hit.
bool PickFace(int x, int y, int* object, int* face);

// The object of the nearest face, or -1; logs the call and its outcome.
int PickObject(int x, int y);

// The nearest vertex (row of the owner's world mesh) of the objects in
// g_SelectedObjects, as spheres of radius VertexSize, or -1; *object (when
// not null) receives the owner or -1.
int PickVertex(int x, int y, int* object);

// The nearest visible, selectable prop instance, or -1.
int PickPropInstance(int x, int y);
