#include "ExportTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"

namespace {

uint32_t U32At(const std::vector<unsigned char>& bytes, size_t offset)
{
    uint32_t value = 0;
    for (int k = 3; k >= 0; --k)
        value = (value << 8) | bytes[offset + static_cast<size_t>(k)];
    return value;
}

} // namespace

GlbChunks ReadGlb(const std::vector<unsigned char>& file)
{
    GlbChunks chunks;
    if (file.size() < 28) {
        ADD_FAILURE() << "GLB of " << file.size() << " bytes";
        return chunks;
    }
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "glTF");
    EXPECT_EQ(U32At(file, 4), 2u);
    EXPECT_EQ(U32At(file, 8), file.size()) << "header length";
    const size_t jsonLength = U32At(file, 12);
    EXPECT_EQ(U32At(file, 16), 0x4E4F534Au);
    EXPECT_EQ(jsonLength % 4, 0u);
    if (20 + jsonLength + 8 > file.size()) {
        ADD_FAILURE() << "JSON chunk runs past the file";
        return chunks;
    }
    chunks.json.assign(file.begin() + 20, file.begin() + 20 + static_cast<long>(jsonLength));
    const size_t binLength = U32At(file, 20 + jsonLength);
    EXPECT_EQ(U32At(file, 24 + jsonLength), 0x004E4942u);
    EXPECT_EQ(binLength % 4, 0u);
    EXPECT_EQ(28 + jsonLength + binLength, file.size());
    if (28 + jsonLength + binLength != file.size())
        return chunks;
    chunks.bin.assign(file.begin() + 28 + static_cast<long>(jsonLength), file.end());
    chunks.ok = true;
    return chunks;
}

DecodedImage AddTextureFile(const std::wstring& folder, const std::wstring& name)
{
    DecodedImage image;
    image.width = 3;
    image.height = 2;
    const unsigned char seed = static_cast<unsigned char>(g_Textures.size() * 40);
    for (int i = 0; i < 6; ++i) {
        image.rgba.push_back(static_cast<unsigned char>(seed + i * 30));
        image.rgba.push_back(static_cast<unsigned char>(200 - i * 20));
        image.rgba.push_back(static_cast<unsigned char>(i * 7));
        image.rgba.push_back(static_cast<unsigned char>(255 - i));
    }
    WriteTestFile(folder + name, EncodePng(image.width, image.height, image.rgba));
    Texture texture;
    texture.id = g_NextTextureId++;
    texture.path = folder + name;
    texture.name = name;
    g_Textures.push_back(texture);
    return image;
}

void BuildExportScene(const std::wstring& folder)
{
    AddTextureFile(folder, L"bricks.png");
    AddTextureFile(folder, L"grass.png");
    const int types[] = {PRIMITIVE_CUBE, PRIMITIVE_SPHERE, PRIMITIVE_CYLINDER, PRIMITIVE_CONE, PRIMITIVE_RAMP,
                         PRIMITIVE_WEDGE};
    float x = 0.0f;
    for (int type : types) {
        for (float size : {0.5f, 3.0f}) {
            SceneObject object = MakePrimitive(type, L"Shape", x, 0.0f, 1.0f, x + size, size * 1.5f, 1.0f + size);
            object.r = static_cast<int>(x * 10) % 256;
            object.texScale = size;
            g_SceneObjects.push_back(object);
            x += size + 0.5f;
        }
    }
    SceneObject flatCone = MakePrimitive(PRIMITIVE_CONE, L"Flat cone", 0, 2, 0, 1, 2, 1);
    flatCone.texScale = 0.0f;
    g_SceneObjects.push_back(flatCone);
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_RAMP, L"Flat ramp", 0, 3, 0, 1, 3, 0));
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_WEDGE, L"Flat wedge", 2, 3, 0, 2, 4, 0));

    SceneObject glass = MakePrimitive(PRIMITIVE_SPHERE, L"Glass", -3, 0, -3, -1, 2, -1);
    glass.a = 128;
    g_SceneObjects.push_back(glass);
    for (int k = 0; k < 2; ++k) {
        SceneObject wall = MakePrimitive(PRIMITIVE_CUBE, L"Wall", -6.0f, 0, 2.0f * k, -5.0f, 2, 2.0f * k + 1);
        wall.texture = 0;
        wall.g = 100 * k;   // a second material with the same texture
        g_SceneObjects.push_back(wall);
    }
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_KNIFE, L"Knife", 0, 0, 0, 1, 1, 1));
    SceneObject hidden = MakePrimitive(PRIMITIVE_CUBE, L"Hidden", 9, 9, 9, 10, 10, 10);
    hidden.visible = false;
    g_SceneObjects.push_back(hidden);

    // Four faces with per-face colours and textures, one collinear.
    SceneObject mesh = MakePrimitive(PRIMITIVE_CUBE, L"Union_1", 0, 0, 0, 1, 1, 1);
    mesh.isCSGMesh = true;
    mesh.V.resize(5, 3);
    mesh.V << 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 2, 0, 0;
    mesh.F.resize(4, 3);
    mesh.F << 0, 2, 1, 0, 1, 3, 1, 2, 3, 0, 1, 4;
    mesh.faceTextureIDs = {1, -1, 1, 0};
    mesh.faceTextureScales = {2.0f, 1.0f, 0.5f, 1.0f};
    mesh.faceColors = {FaceColor(10, 20, 30), FaceColor(9, 9, 9), FaceColor(10, 20, 30), FaceColor(255, 0, 0)};
    g_SceneObjects.push_back(mesh);
}
