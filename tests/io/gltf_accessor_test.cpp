#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "io/GltfAccessors.h"
#include "io/GltfDocument.h"
#include "io/GltfTransform.h"

namespace {

const size_t NO_LIMIT = 1000000;

GltfDocument Parse(const GltfBuilder& builder)
{
    GltfDocument document;
    EXPECT_EQ(GLTF_PARSED, ParseGltfDocument(builder.Glb(), L"", document));
    return document;
}

void ExpectMatrixNear(const Matrix4& expected, const Matrix4& actual)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(expected[i], actual[i], 1e-6) << "element " << i;
}

} // namespace

TEST(GltfAccessors, ReadsTightlyPackedFloats)
{
    GltfBuilder builder;
    int accessor = builder.AddFloats({1, 2, 3, 4, 5, 6}, "VEC3");
    GltfDocument document = Parse(builder);
    std::vector<float> values;
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, accessor, 3, NO_LIMIT, values));
    EXPECT_EQ((std::vector<float>{1, 2, 3, 4, 5, 6}), values);
    EXPECT_EQ(2, AccessorCount(document.gltf, accessor));
    EXPECT_EQ(-1, AccessorCount(document.gltf, 5));
    // The wrong component count is refused.
    EXPECT_FALSE(ReadAccessorFloats(document.gltf, accessor, 2, NO_LIMIT, values));
    // More elements than allowed are refused before anything is allocated.
    EXPECT_FALSE(ReadAccessorFloats(document.gltf, accessor, 3, 1, values));
}

TEST(GltfAccessors, ReadsInterleavedData)
{
    // Position (3 floats) and UV (2 floats) interleaved, 20 bytes per vertex.
    std::vector<float> data = {0, 0, 0, 0.25f, 0.5f, 1, 0, 0, 0.75f, 1.0f, 0, 1, 0, 0.5f, 0.0f};
    GltfBuilder builder;
    int view = builder.AddBufferView(data.data(), data.size() * 4, 20);
    int positions = builder.AddAccessor(view, 5126, 3, "VEC3");
    int uvs = builder.AddAccessor(view, 5126, 3, "VEC2", 12);
    GltfDocument document = Parse(builder);
    std::vector<float> values;
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, positions, 3, NO_LIMIT, values));
    EXPECT_EQ((std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0}), values);
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, uvs, 2, NO_LIMIT, values));
    EXPECT_EQ((std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f, 0.5f, 0.0f}), values);
}

TEST(GltfAccessors, NormalisesIntegerComponents)
{
    GltfBuilder builder;
    uint8_t u8[] = {0, 255, 51, 0};
    uint16_t u16[] = {0, 65535};
    int8_t i8[] = {-128, 127};
    int16_t i16[] = {-32768, 16384};
    int a = builder.AddAccessor(builder.AddBufferView(u8, 4), 5121, 2, "VEC2", 0, true);
    int b = builder.AddAccessor(builder.AddBufferView(u16, 4), 5123, 1, "VEC2", 0, true);
    int c = builder.AddAccessor(builder.AddBufferView(i8, 2), 5120, 1, "VEC2", 0, true);
    int d = builder.AddAccessor(builder.AddBufferView(i16, 4), 5122, 1, "VEC2", 0, true);
    int e = builder.AddAccessor(builder.AddBufferView(u16, 4), 5123, 1, "VEC2", 0, false);
    GltfDocument document = Parse(builder);
    std::vector<float> values;
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, a, 2, NO_LIMIT, values));
    EXPECT_EQ((std::vector<float>{0.0f, 1.0f, 0.2f, 0.0f}), values);
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, b, 2, NO_LIMIT, values));
    EXPECT_EQ((std::vector<float>{0.0f, 1.0f}), values);
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, c, 2, NO_LIMIT, values));
    EXPECT_EQ((std::vector<float>{-1.0f, 1.0f}), values);
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, d, 2, NO_LIMIT, values));
    EXPECT_FLOAT_EQ(-1.0f, values[0]);
    EXPECT_FLOAT_EQ(16384.0f / 32767.0f, values[1]);
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, e, 2, NO_LIMIT, values));
    EXPECT_EQ((std::vector<float>{0.0f, 65535.0f}), values);
}

TEST(GltfAccessors, AppliesSparseSubstitutions)
{
    GltfBuilder builder;
    int base = builder.AddFloats({0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3}, "VEC3");
    uint16_t targets[] = {1, 3};
    float replacements[] = {10, 11, 12, 30, 31, 32};
    int indexView = builder.AddBufferView(targets, sizeof targets);
    int valueView = builder.AddBufferView(replacements, sizeof replacements);
    builder.root["accessors"][base]["sparse"] = {{"count", 2},
                                                 {"indices", {{"bufferView", indexView}, {"componentType", 5123}}},
                                                 {"values", {{"bufferView", valueView}}}};
    // A sparse accessor without a buffer view starts from zeros.
    int zeros = builder.AddAccessor(-1, 5126, 4, "VEC3");
    builder.root["accessors"][zeros]["sparse"] = builder.root["accessors"][base]["sparse"];
    GltfDocument document = Parse(builder);
    std::vector<float> values;
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, base, 3, NO_LIMIT, values));
    EXPECT_EQ((std::vector<float>{0, 0, 0, 10, 11, 12, 2, 2, 2, 30, 31, 32}), values);
    ASSERT_TRUE(ReadAccessorFloats(document.gltf, zeros, 3, NO_LIMIT, values));
    EXPECT_EQ((std::vector<float>{0, 0, 0, 10, 11, 12, 0, 0, 0, 30, 31, 32}), values);
}

TEST(GltfAccessors, RefusesSparseTargetsPastTheCount)
{
    GltfBuilder builder;
    int base = builder.AddFloats({0, 0, 0, 1, 1, 1}, "VEC3");
    uint16_t targets[] = {2};
    float replacements[] = {10, 11, 12};
    int indexView = builder.AddBufferView(targets, sizeof targets);
    int valueView = builder.AddBufferView(replacements, sizeof replacements);
    builder.root["accessors"][base]["sparse"] = {{"count", 1},
                                                 {"indices", {{"bufferView", indexView}, {"componentType", 5123}}},
                                                 {"values", {{"bufferView", valueView}}}};
    GltfDocument document = Parse(builder);
    std::vector<float> values;
    EXPECT_FALSE(ReadAccessorFloats(document.gltf, base, 3, NO_LIMIT, values));
    EXPECT_TRUE(values.empty());
}

TEST(GltfAccessors, RefusesElementsOutsideTheView)
{
    GltfBuilder builder;
    std::vector<float> data(9, 1.0f);
    int view = builder.AddBufferView(data.data(), data.size() * 4);
    int fits = builder.AddAccessor(view, 5126, 3, "VEC3");
    int overrun = builder.AddAccessor(view, 5126, 4, "VEC3");
    int offsetOverrun = builder.AddAccessor(view, 5126, 3, "VEC3", 4);
    int huge = builder.AddAccessor(view, 5126, size_t(1) << 40, "VEC3");
    int badType = builder.AddAccessor(view, 5127, 1, "VEC3");
    GltfDocument document = Parse(builder);
    std::vector<float> values;
    EXPECT_TRUE(ReadAccessorFloats(document.gltf, fits, 3, NO_LIMIT, values));
    EXPECT_FALSE(ReadAccessorFloats(document.gltf, overrun, 3, NO_LIMIT, values));
    EXPECT_FALSE(ReadAccessorFloats(document.gltf, offsetOverrun, 3, NO_LIMIT, values));
    EXPECT_FALSE(ReadAccessorFloats(document.gltf, huge, 3, SIZE_MAX, values));
    EXPECT_FALSE(ReadAccessorFloats(document.gltf, badType, 3, NO_LIMIT, values));
    EXPECT_FALSE(ReadAccessorFloats(document.gltf, -1, 3, NO_LIMIT, values));
}

TEST(GltfAccessors, ReadsIndicesOfEachUnsignedType)
{
    GltfBuilder builder;
    uint8_t u8[] = {0, 1, 2};
    int a = builder.AddAccessor(builder.AddBufferView(u8, 3), 5121, 3, "SCALAR");
    int b = builder.AddIndices16({2, 1, 0});
    int c = builder.AddIndices32({70000, 1, 2});
    int floats = builder.AddFloats({0, 1, 2}, "SCALAR");
    GltfDocument document = Parse(builder);
    std::vector<uint32_t> indices;
    ASSERT_TRUE(ReadAccessorIndices(document.gltf, a, NO_LIMIT, indices));
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2}), indices);
    ASSERT_TRUE(ReadAccessorIndices(document.gltf, b, NO_LIMIT, indices));
    EXPECT_EQ((std::vector<uint32_t>{2, 1, 0}), indices);
    ASSERT_TRUE(ReadAccessorIndices(document.gltf, c, NO_LIMIT, indices));
    EXPECT_EQ((std::vector<uint32_t>{70000, 1, 2}), indices);
    EXPECT_FALSE(ReadAccessorIndices(document.gltf, floats, NO_LIMIT, indices));
}

TEST(GltfTransform, DefaultsGiveTheIdentity)
{
    tinygltf::Node node;
    ExpectMatrixNear(IdentityMatrix4(), NodeLocalTransform(node));
    // Components of the wrong length count as absent.
    node.translation = {1, 2};
    ExpectMatrixNear(IdentityMatrix4(), NodeLocalTransform(node));
}

TEST(GltfTransform, ComposesTranslationRotationScale)
{
    tinygltf::Node node;
    node.translation = {1, 2, 3};
    node.rotation = {0, std::sqrt(0.5), 0, std::sqrt(0.5)};   // 90 degrees about y
    node.scale = {2, 2, 2};
    std::array<float, 3> p = TransformPoint(NodeLocalTransform(node), 1, 0, 0);
    // Scaled to (2, 0, 0), turned to (0, 0, -2), moved by (1, 2, 3).
    EXPECT_NEAR(1.0f, p[0], 1e-6);
    EXPECT_NEAR(2.0f, p[1], 1e-6);
    EXPECT_NEAR(1.0f, p[2], 1e-6);
}

TEST(GltfTransform, MatrixTakesPrecedence)
{
    tinygltf::Node node;
    node.translation = {5, 5, 5};
    node.matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 8, 9, 1};
    std::array<float, 3> p = TransformPoint(NodeLocalTransform(node), 1, 1, 1);
    EXPECT_FLOAT_EQ(8.0f, p[0]);
    EXPECT_FLOAT_EQ(9.0f, p[1]);
    EXPECT_FLOAT_EQ(10.0f, p[2]);
}

TEST(GltfTransform, ParentAppliesAfterChild)
{
    tinygltf::Node parent, child;
    parent.translation = {1, 0, 0};
    child.rotation = {0, std::sqrt(0.5), 0, std::sqrt(0.5)};
    Matrix4 world = MultiplyMatrix4(NodeLocalTransform(parent), NodeLocalTransform(child));
    std::array<float, 3> p = TransformPoint(world, 1, 0, 0);
    EXPECT_NEAR(1.0f, p[0], 1e-6);
    EXPECT_NEAR(0.0f, p[1], 1e-6);
    EXPECT_NEAR(-1.0f, p[2], 1e-6);
}
