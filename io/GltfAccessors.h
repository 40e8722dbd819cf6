// Reading glTF accessors into plain arrays, with every range checked: byte
// strides, all component types (normalised or not), sparse substitutions.
// Nothing is read outside the buffers, and nothing is allocated for more
// elements than the caller allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/TinyGltf.h"

// Reads accessor `index` as count x components floats, row by row. The
// accessor's type must have exactly `components` components. False when the
// accessor is missing, malformed, reaches outside its buffer, or has more
// than maxCount elements.
bool ReadAccessorFloats(const tinygltf::Model& gltf, int index, int components, size_t maxCount,
                        std::vector<float>& values);

// Reads only the first `limit` elements of accessor `index` (fewer when it has
// fewer), with the same checks; a large count costs nothing beyond limit.
bool ReadAccessorFloatsPrefix(const tinygltf::Model& gltf, int index, int components, size_t limit,
                              std::vector<float>& values);

// The elements ReadAccessorFloatsPrefix visits for that limit, sparse
// substitutions included: the work to charge against a budget.
size_t AccessorPrefixWork(const tinygltf::Model& gltf, int index, size_t limit);

// Reads a scalar accessor of unsigned bytes, shorts or ints as indices.
bool ReadAccessorIndices(const tinygltf::Model& gltf, int index, size_t maxCount,
                         std::vector<uint32_t>& indices);

// The bytes of buffer view `index`, checked to lie inside its buffer.
bool BufferViewBytes(const tinygltf::Model& gltf, int index, const unsigned char*& data, size_t& size);

// The element count of accessor `index`, or -1 when there is no such accessor.
long long AccessorCount(const tinygltf::Model& gltf, int index);
