#include <GL/gl.h>

#include <vector>

#include "app/Preferences.h"
#include "app/WinGlobals.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/ViewportTestSupport.h"
#include "viewport/PrimitiveDrawing.h"

namespace {

class DrawCache : public ViewportTest {
protected:
    void SetUp() override
    {
        ViewportTest::SetUp();
        g_ShowGrid = false;
        g_ColorPrefs.Background = {0.0f, 0.0f, 0.0f};
    }
};

std::vector<unsigned char> ReadFrame()
{
    std::vector<unsigned char> pixels(VIEW_WIDTH * VIEW_HEIGHT * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, VIEW_WIDTH, VIEW_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

SceneObject MakeColouredSquare()
{
    SceneObject square = MakeMeshCube(-2, 0, -2, 2, 0, 2);
    square.V.resize(4, 3);
    square.V << -2, 0, -2, 2, 0, -2, 2, 0, 2, -2, 0, 2;
    square.F.resize(2, 3);
    square.F << 0, 1, 2, 0, 2, 3;
    square.faceColors = {FaceColor(255, 0, 0), FaceColor(255, 0, 0)};
    return square;
}

} // namespace

TEST_F(DrawCache, ReplayedFramesMatchTheFirstPixelForPixel)
{
    Texture missing;
    missing.glName = g_MissingTexture;
    g_Textures.push_back(missing);
    for (int type = PRIMITIVE_CUBE; type <= PRIMITIVE_KNIFE; ++type) {
        SceneObject object = MakeCube(type * 2.0f - 6, 0, 0, type * 2.0f - 5, 1, 1, 100, 150, 200, type % 2 ? 128 : 255);
        object.type = type;
        object.texture = 0;
        object.objectType = type == PRIMITIVE_RAMP ? OBJECT_HOLE : OBJECT_SOLID;
        g_SceneObjects.push_back(object);
    }
    SceneObject mesh = MakeColouredSquare();
    mesh.faceTextureIDs = {0, -1};
    mesh.faceTextureScales = {0.5f, 2.0f};
    g_SceneObjects.push_back(mesh);
    g_SelectedObjects = {1, 7};
    g_SelectedObjectIndex = 7;

    RenderFrame();
    const std::vector<unsigned char> first = ReadFrame();
    RenderFrame();
    EXPECT_TRUE(ReadFrame() == first);
    g_ShowWireframe = true;
    RenderFrame();
    const std::vector<unsigned char> wireframe = ReadFrame();
    EXPECT_FALSE(wireframe == first);
    g_ShowWireframe = false;
    RenderFrame();
    EXPECT_TRUE(ReadFrame() == first);
}

TEST_F(DrawCache, MeshEditedInPlaceIsDrawnAsItIsNow)
{
    g_SceneObjects.push_back(MakeColouredSquare());
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(1, 0, -1), {255, 0, 0}));

    g_SceneObjects[0].faceColors[0] = FaceColor(0, 255, 0);
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(1, 0, -1), {0, 255, 0}));

    g_SceneObjects[0].V(1, 0) = -1.5;   // the first triangle shrinks away from (1, 0, -1)
    g_SceneObjects[0].V(2, 0) = -1.5;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(1, 0, -1), {0, 0, 0}));
}

TEST_F(DrawCache, PerFaceTextureFollowsTheTexturesGlName)
{
    Texture texture;
    texture.glName = g_MissingTexture;
    g_Textures.push_back(texture);
    SceneObject square = MakeColouredSquare();
    square.faceColors = {FaceColor(255, 255, 255), FaceColor(255, 255, 255)};
    square.faceTextureIDs = {0, 0};
    square.faceTextureScales = {1000.0f, 1000.0f};
    g_SceneObjects.push_back(square);
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(1, 0, 1.5f), {255, 0, 255}));

    GLuint plain = 0;
    glGenTextures(1, &plain);
    glBindTexture(GL_TEXTURE_2D, plain);
    const unsigned char green[4] = {0, 255, 0, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, green);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    g_Textures[0].glName = plain;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(1, 0, 1.5f), {0, 255, 0}));
}

TEST_F(DrawCache, ListsSurviveNeitherTheContextNorAChangedPrimitive)
{
    g_SceneObjects.push_back(MakeCube(-1, -1, -1, 1, 1, 1, 200, 50, 25));
    RenderFrame();
    g_SceneObjects[0].maxX = 3.0f;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(2.5f, 1, 0), {200, 50, 25}));

    // A new context hands out list names afresh: nothing stale is replayed.
    DestroyWindow(parent);
    viewport = CreateViewportWindow(&parent, VIEW_WIDTH, VIEW_HEIGHT);
    g_hViewport = viewport;
    g_SceneObjects[0] = MakeCube(-1, -1, -1, 1, 1, 1, 0, 0, 250);
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 1, 0), {0, 0, 250}));
    EXPECT_TRUE(SameColor(PixelAtWorld(2.5f, 1, 0), {0, 0, 0}));
}
