#include "io/GltfAccessors.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

const int COMPONENT_BYTE = 5120;
const int COMPONENT_UNSIGNED_BYTE = 5121;
const int COMPONENT_SHORT = 5122;
const int COMPONENT_UNSIGNED_SHORT = 5123;
const int COMPONENT_UNSIGNED_INT = 5125;
const int COMPONENT_FLOAT = 5126;

int ComponentBytes(int componentType)
{
    switch (componentType) {
    case COMPONENT_BYTE:
    case COMPONENT_UNSIGNED_BYTE:
        return 1;
    case COMPONENT_SHORT:
    case COMPONENT_UNSIGNED_SHORT:
        return 2;
    case COMPONENT_UNSIGNED_INT:
    case COMPONENT_FLOAT:
        return 4;
    default:
        return 0;
    }
}

bool IsUnsignedIntegerType(int componentType)
{
    return componentType == COMPONENT_UNSIGNED_BYTE || componentType == COMPONENT_UNSIGNED_SHORT ||
           componentType == COMPONENT_UNSIGNED_INT;
}

// glTF data is little-endian whatever the machine.
uint32_t ReadLittleEndian(const unsigned char* p, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

float ToFloat(const unsigned char* p, int componentType, bool normalized)
{
    uint32_t raw = ReadLittleEndian(p, ComponentBytes(componentType));
    switch (componentType) {
    case COMPONENT_FLOAT: {
        float value;
        std::memcpy(&value, &raw, sizeof value);
        return value;
    }
    case COMPONENT_BYTE: {
        float value = static_cast<float>(static_cast<int8_t>(raw));
        return normalized ? std::max(value / 127.0f, -1.0f) : value;
    }
    case COMPONENT_SHORT: {
        float value = static_cast<float>(static_cast<int16_t>(raw));
        return normalized ? std::max(value / 32767.0f, -1.0f) : value;
    }
    case COMPONENT_UNSIGNED_BYTE:
        return normalized ? static_cast<float>(raw) / 255.0f : static_cast<float>(raw);
    case COMPONENT_UNSIGNED_SHORT:
        return normalized ? static_cast<float>(raw) / 65535.0f : static_cast<float>(raw);
    default:
        return normalized ? static_cast<float>(raw / 4294967295.0) : static_cast<float>(raw);
    }
}

uint32_t ToIndex(const unsigned char* p, int componentType, bool)
{
    return ReadLittleEndian(p, ComponentBytes(componentType));
}

// The bytes of a buffer view, checked to lie inside its buffer.
bool ViewBytes(const tinygltf::Model& gltf, int viewIndex, const unsigned char*& data, size_t& size,
               size_t& stride)
{
    if (viewIndex < 0 || static_cast<size_t>(viewIndex) >= gltf.bufferViews.size())
        return false;
    const tinygltf::BufferView& view = gltf.bufferViews[viewIndex];
    if (view.buffer < 0 || static_cast<size_t>(view.buffer) >= gltf.buffers.size())
        return false;
    const std::vector<unsigned char>& buffer = gltf.buffers[view.buffer].data;
    if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset)
        return false;
    data = buffer.data() + view.byteOffset;
    size = view.byteLength;
    stride = view.byteStride;
    return true;
}

// True when `count` elements of elementBytes, `stride` apart, starting at
// offset, fit in `size` bytes.
bool ElementsFit(size_t offset, size_t count, size_t elementBytes, size_t stride, size_t size)
{
    if (count == 0)
        return offset <= size;
    if (offset > size || elementBytes > size - offset)
        return false;
    return count - 1 <= (size - offset - elementBytes) / stride;
}

// Applies a sparse accessor's substitutions to values already read.
// Substitutions for elements at or past values' end are checked, not applied.
template <typename T>
bool ApplySparse(const tinygltf::Model& gltf, const tinygltf::Accessor& accessor, int components,
                 T (*convert)(const unsigned char*, int, bool), std::vector<T>& values)
{
    const auto& sparse = accessor.sparse;
    if (sparse.count <= 0 || static_cast<size_t>(sparse.count) > accessor.count)
        return false;
    size_t count = static_cast<size_t>(sparse.count);
    int indexBytes = ComponentBytes(sparse.indices.componentType);
    if (!IsUnsignedIntegerType(sparse.indices.componentType) || sparse.indices.byteOffset < 0 ||
        sparse.values.byteOffset < 0)
        return false;
    const unsigned char *indexData, *valueData;
    size_t indexSize, valueSize, unusedStride;
    if (!ViewBytes(gltf, sparse.indices.bufferView, indexData, indexSize, unusedStride) ||
        !ViewBytes(gltf, sparse.values.bufferView, valueData, valueSize, unusedStride))
        return false;
    size_t componentBytes = ComponentBytes(accessor.componentType);
    size_t elementBytes = componentBytes * components;
    size_t indexOffset = static_cast<size_t>(sparse.indices.byteOffset);
    size_t valueOffset = static_cast<size_t>(sparse.values.byteOffset);
    // Sparse data is tightly packed.
    if (!ElementsFit(indexOffset, count, indexBytes, indexBytes, indexSize) ||
        !ElementsFit(valueOffset, count, elementBytes, elementBytes, valueSize))
        return false;
    for (size_t i = 0; i < count; ++i) {
        uint32_t target = ReadLittleEndian(indexData + indexOffset + i * indexBytes, indexBytes);
        if (target >= accessor.count)
            return false;
        if (static_cast<size_t>(target) * components >= values.size())
            continue;
        const unsigned char* element = valueData + valueOffset + i * elementBytes;
        for (int c = 0; c < components; ++c)
            values[static_cast<size_t>(target) * components + c] =
                convert(element + c * componentBytes, accessor.componentType, accessor.normalized);
    }
    return true;
}

// Reads the first `limit` elements (all when there are fewer).
template <typename T>
bool ReadAccessorValues(const tinygltf::Model& gltf, int index, int components, size_t maxCount, size_t limit,
                        bool indicesOnly, T (*convert)(const unsigned char*, int, bool),
                        std::vector<T>& values)
{
    values.clear();
    if (index < 0 || static_cast<size_t>(index) >= gltf.accessors.size())
        return false;
    const tinygltf::Accessor& accessor = gltf.accessors[index];
    int componentBytes = ComponentBytes(accessor.componentType);
    if (componentBytes == 0 || tinygltf::GetNumComponentsInType(accessor.type) != components ||
        accessor.count > maxCount || (indicesOnly && !IsUnsignedIntegerType(accessor.componentType)))
        return false;

    size_t elementBytes = static_cast<size_t>(componentBytes) * components;
    const unsigned char* data = nullptr;
    size_t size = 0, stride = 0;
    if (accessor.bufferView >= 0) {
        if (!ViewBytes(gltf, accessor.bufferView, data, size, stride))
            return false;
        if (stride == 0)
            stride = elementBytes;
        if (stride < elementBytes || !ElementsFit(accessor.byteOffset, accessor.count, elementBytes, stride, size))
            return false;
    }

    // Without a buffer view the elements are zeros (before sparse substitutions).
    const size_t count = std::min(accessor.count, limit);
    values.assign(count * components, T(0));
    if (data) {
        for (size_t i = 0; i < count; ++i) {
            const unsigned char* element = data + accessor.byteOffset + i * stride;
            for (int c = 0; c < components; ++c)
                values[i * components + c] =
                    convert(element + c * componentBytes, accessor.componentType, accessor.normalized);
        }
    }
    if (accessor.sparse.isSparse && !ApplySparse(gltf, accessor, components, convert, values)) {
        values.clear();
        return false;
    }
    return true;
}

} // namespace

bool ReadAccessorFloats(const tinygltf::Model& gltf, int index, int components, size_t maxCount,
                        std::vector<float>& values)
{
    return ReadAccessorValues(gltf, index, components, maxCount, SIZE_MAX, false, ToFloat, values);
}

bool ReadAccessorFloatsPrefix(const tinygltf::Model& gltf, int index, int components, size_t limit,
                              std::vector<float>& values)
{
    return ReadAccessorValues(gltf, index, components, SIZE_MAX, limit, false, ToFloat, values);
}

size_t AccessorPrefixWork(const tinygltf::Model& gltf, int index, size_t limit)
{
    if (index < 0 || static_cast<size_t>(index) >= gltf.accessors.size())
        return 0;
    const tinygltf::Accessor& accessor = gltf.accessors[index];
    size_t sparse = accessor.sparse.isSparse && accessor.sparse.count > 0 ? static_cast<size_t>(accessor.sparse.count) : 0;
    return std::min(accessor.count, limit) + std::min(sparse, accessor.count);
}

bool ReadAccessorIndices(const tinygltf::Model& gltf, int index, size_t maxCount, std::vector<uint32_t>& indices)
{
    return ReadAccessorValues(gltf, index, 1, maxCount, SIZE_MAX, true, ToIndex, indices);
}

bool BufferViewBytes(const tinygltf::Model& gltf, int index, const unsigned char*& data, size_t& size)
{
    size_t stride;
    return ViewBytes(gltf, index, data, size, stride);
}

long long AccessorCount(const tinygltf::Model& gltf, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= gltf.accessors.size())
        return -1;
    return static_cast<long long>(gltf.accessors[index].count);
}
