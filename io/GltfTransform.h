// 4 x 4 single-precision matrices in glTF's column-major order, and a glTF
// node's local transform.
#pragma once

#include <array>

#include "io/TinyGltf.h"

typedef std::array<float, 16> Matrix4;   // element (row r, column c) at [c * 4 + r]

Matrix4 IdentityMatrix4();

// a x b: b applies first, then a.
Matrix4 MultiplyMatrix4(const Matrix4& a, const Matrix4& b);

// The node's matrix when it has one of 16 numbers, else T x R x S from its
// translation, rotation quaternion (x, y, z, w) and scale, each defaulting to
// no change when absent or of the wrong length.
Matrix4 NodeLocalTransform(const tinygltf::Node& node);

// m x (x, y, z, 1), first three components, no division by w.
std::array<float, 3> TransformPoint(const Matrix4& m, float x, float y, float z);
