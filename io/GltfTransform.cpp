#include "io/GltfTransform.h"

Matrix4 IdentityMatrix4()
{
    Matrix4 m{};
    m[0] = m[5] = m[10] = m[15] = 1.0f;
    return m;
}

Matrix4 MultiplyMatrix4(const Matrix4& a, const Matrix4& b)
{
    Matrix4 result{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[column * 4 + k];
            result[column * 4 + row] = sum;
        }
    }
    return result;
}

Matrix4 NodeLocalTransform(const tinygltf::Node& node)
{
    Matrix4 m = IdentityMatrix4();
    if (node.matrix.size() == 16) {
        for (int i = 0; i < 16; ++i)
            m[i] = static_cast<float>(node.matrix[i]);
        return m;
    }
    float t[3] = {0.0f, 0.0f, 0.0f};
    float q[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float s[3] = {1.0f, 1.0f, 1.0f};
    if (node.translation.size() == 3)
        for (int i = 0; i < 3; ++i)
            t[i] = static_cast<float>(node.translation[i]);
    if (node.rotation.size() == 4)
        for (int i = 0; i < 4; ++i)
            q[i] = static_cast<float>(node.rotation[i]);
    if (node.scale.size() == 3)
        for (int i = 0; i < 3; ++i)
            s[i] = static_cast<float>(node.scale[i]);

    float x = q[0], y = q[1], z = q[2], w = q[3];
    // Rotation matrix of the unit quaternion, columns scaled by S, then T.
    m[0] = (1 - 2 * (y * y + z * z)) * s[0];
    m[1] = (2 * (x * y + z * w)) * s[0];
    m[2] = (2 * (x * z - y * w)) * s[0];
    m[4] = (2 * (x * y - z * w)) * s[1];
    m[5] = (1 - 2 * (x * x + z * z)) * s[1];
    m[6] = (2 * (y * z + x * w)) * s[1];
    m[8] = (2 * (x * z + y * w)) * s[2];
    m[9] = (2 * (y * z - x * w)) * s[2];
    m[10] = (1 - 2 * (x * x + y * y)) * s[2];
    m[12] = t[0];
    m[13] = t[1];
    m[14] = t[2];
    return m;
}

std::array<float, 3> TransformPoint(const Matrix4& m, float x, float y, float z)
{
    std::array<float, 3> p;
    for (int row = 0; row < 3; ++row)
        p[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    return p;
}
