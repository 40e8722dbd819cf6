#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/Preferences.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/ViewportTestSupport.h"
#include "viewport/PrimitiveDrawing.h"
#include "viewport/RenderScene.h"
#include "viewport/ViewProjection.h"
#include "viewport/ViewportState.h"

namespace {

class Drawing : public ViewportTest {
protected:
    void SetUp() override
    {
        ViewportTest::SetUp();
        g_ShowGrid = false;
        g_ColorPrefs.Background = {0.0f, 0.0f, 0.0f};
    }
};

// A flat square at height y as an explicit mesh of two triangles: one layer
// of pixels, whatever the blending.
SceneObject MakeMeshSquare(float half, float y, int r, int g, int b, int a)
{
    SceneObject object = MakeCube(-half, y, -half, half, y, half, r, g, b, a);
    object.isCSGMesh = true;
    object.V.resize(4, 3);
    object.V << -half, y, -half, half, y, -half, half, y, half, -half, y, half;
    object.F.resize(2, 3);
    object.F << 0, 1, 2, 0, 2, 3;
    return object;
}

int CountPixels(const Rgb& color)
{
    std::vector<unsigned char> pixels(VIEW_WIDTH * VIEW_HEIGHT * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, VIEW_WIDTH, VIEW_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (int i = 0; i < VIEW_WIDTH * VIEW_HEIGHT; ++i)
        count += SameColor({pixels[i * 4], pixels[i * 4 + 1], pixels[i * 4 + 2]}, color) ? 1 : 0;
    return count;
}

bool IsLit(const Rgb& color)
{
    return !(color[0] < 8 && color[1] < 8 && color[2] < 8);
}

} // namespace

TEST_F(Drawing, ClearsToTheBackgroundPreference)
{
    g_ColorPrefs.Background = {0.2f, 0.4f, 0.6f};
    RenderFrame();
    EXPECT_TRUE(SameColor(ReadPixel(5, 5), {51, 102, 153})) << Describe(ReadPixel(5, 5));
    EXPECT_TRUE(SameColor(ReadPixel(VIEW_WIDTH / 2, VIEW_HEIGHT / 2), {51, 102, 153}));
}

TEST_F(Drawing, GridLinesTakeTheGridColour)
{
    g_ShowGrid = true;
    g_ColorPrefs.Grid = {0.0f, 1.0f, 0.0f};
    RenderFrame();
    EXPECT_TRUE(AnyPixelNear(3.0f, 0.0f, 1.5f, 1, {0, 255, 0}));
    EXPECT_TRUE(AnyPixelNear(-6.5f, 0.0f, -4.0f, 1, {0, 255, 0}));
    EXPECT_TRUE(SameColor(PixelAtWorld(3.5f, 0.0f, 1.5f), {0, 0, 0}));
}

TEST_F(Drawing, SolidObjectShowsItsOwnColourUnlit)
{
    g_SceneObjects.push_back(MakeCube(-1, -1, -1, 1, 1, 1, 200, 50, 25));
    RenderFrame();
    for (const Rgb& pixel : {PixelAtWorld(0, 1, 0), PixelAtWorld(1, 0, 0), PixelAtWorld(0, 0, 1)})
        EXPECT_TRUE(SameColor(pixel, {200, 50, 25})) << Describe(pixel);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Drawing, InvisibleObjectIsNotDrawn)
{
    g_SceneObjects.push_back(MakeCube(-1, -1, -1, 1, 1, 1, 200, 50, 25));
    g_SceneObjects[0].visible = false;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 1, 0), {0, 0, 0}));
}

TEST_F(Drawing, TransparentObjectBlendsWithWhatIsBehind)
{
    g_ColorPrefs.Background = {0.0f, 0.0f, 0.6f};
    g_SceneObjects.push_back(MakeMeshSquare(2.0f, 0.0f, 255, 0, 0, 128));
    RenderFrame();
    const float alpha = 128.0f / 255.0f;
    const Rgb expected = ToRgb(alpha, 0.0f, 0.6f * (1.0f - alpha));
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 0, 0), expected)) << Describe(PixelAtWorld(0, 0, 0));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_TRUE(depthMask);
}

TEST_F(Drawing, HoleIsGreyTranslucentAndStippledOnEveryFourthPixel)
{
    g_SceneObjects.push_back(MakeMeshSquare(3.0f, 0.0f, 255, 0, 0, 255));
    g_SceneObjects[0].objectType = OBJECT_HOLE;
    g_SceneObjects[0].texture = 0;
    RenderFrame();

    int cx = 0, cy = 0;
    ASSERT_TRUE(ProjectPoint(0, 0, 0, &cx, &cy));
    unsigned char block[32 * 32 * 4];
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(cx - 16, cy - 16, 32, 32, GL_RGBA, GL_UNSIGNED_BYTE, block);
    const Rgb grey = ToRgb(0.7f * 0.85f, 0.7f * 0.85f, 0.7f * 0.85f);
    int drawn = 0, other = 0;
    for (int i = 0; i < 32 * 32; ++i) {
        const Rgb pixel = {block[i * 4], block[i * 4 + 1], block[i * 4 + 2]};
        if (SameColor(pixel, grey))
            ++drawn;
        else if (!SameColor(pixel, {0, 0, 0}))
            ++other;
    }
    EXPECT_EQ(drawn, 256);
    EXPECT_EQ(other, 0);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_STIPPLE));
}

TEST_F(Drawing, TransparentHoleUsesItsOwnAlpha)
{
    g_SceneObjects.push_back(MakeMeshSquare(3.0f, 0.0f, 255, 0, 0, 51));
    g_SceneObjects[0].objectType = OBJECT_HOLE;
    RenderFrame();
    const Rgb grey = ToRgb(0.7f * 0.2f, 0.7f * 0.2f, 0.7f * 0.2f);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ProjectPoint(0, 0, 0, &cx, &cy));
    int drawn = 0;
    for (int x = 0; x < 8; ++x)
        drawn += SameColor(ReadPixel(cx + x, cy), grey) ? 1 : 0;
    EXPECT_EQ(drawn, 2);
}

TEST_F(Drawing, OutlineColourFollowsTheSelectionState)
{
    g_ColorPrefs.SelectionSingle = {1.0f, 0.5f, 0.0f};
    g_ColorPrefs.SelectionMulti = {0.0f, 1.0f, 0.0f};
    g_ColorPrefs.SelectionOperation = {1.0f, 0.0f, 1.0f};
    g_SceneObjects.push_back(MakeCube(-1, -1, -1, 1, 1, 1, 0, 0, 80));
    g_SceneObjects.push_back(MakeCube(-4, -1, -4, -2, 1, -2, 0, 0, 80));
    const Rgb single = {255, 128, 0}, multi = {0, 255, 0}, operation = {255, 0, 255};

    RenderFrame();
    EXPECT_FALSE(AnyPixelNear(1, 1, 0, 2, single, 30));
    EXPECT_FALSE(AnyPixelNear(1, 1, 0, 2, operation, 30));

    g_SelectedObjectIndex = 0;
    g_SelectedObjects = {0};
    RenderFrame();
    EXPECT_TRUE(AnyPixelNear(1, 1, 0, 2, single));
    EXPECT_FALSE(AnyPixelNear(-2, 1, -3, 2, single, 30));

    g_OperationSelection = {0, 1};
    RenderFrame();
    EXPECT_TRUE(AnyPixelNear(1, 1, 0, 2, single));
    EXPECT_FALSE(AnyPixelNear(1, 1, 0, 2, operation, 30));
    EXPECT_TRUE(AnyPixelNear(-2, 1, -3, 2, operation));

    g_SelectedObjects = {0, 1};
    g_OperationSelection.clear();
    RenderFrame();
    EXPECT_TRUE(AnyPixelNear(1, 1, 0, 2, multi));
    EXPECT_TRUE(AnyPixelNear(-2, 1, -3, 2, multi));
    EXPECT_FALSE(AnyPixelNear(1, 1, 0, 2, single, 30));

    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
}

TEST_F(Drawing, MissingTextureShowsTheCheckerOnAWhiteObject)
{
    Texture missing;
    missing.glName = g_MissingTexture;
    g_Textures.push_back(missing);
    g_SceneObjects.push_back(MakeCube(-1, -1, -1, 1, 1, 1, 255, 255, 255));
    g_SceneObjects[0].texture = 0;
    RenderFrame();
    int magenta = 0, purple = 0, other = 0;
    for (int i = 0; i < 20; ++i) {
        const Rgb pixel = PixelAtWorld(-0.9f + i * 0.09f, 1.0f, -0.5f + i * 0.05f);
        if (SameColor(pixel, {255, 0, 255}))
            ++magenta;
        else if (SameColor(pixel, {128, 0, 128}))
            ++purple;
        else
            ++other;
    }
    EXPECT_GT(magenta, 0);
    EXPECT_GT(purple, 0);
    EXPECT_EQ(other, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(Drawing, PerFaceColoursAndTexturesOfAMesh)
{
    Texture missing;
    missing.glName = g_MissingTexture;
    g_Textures.push_back(missing);
    SceneObject mesh = MakeMeshSquare(2.0f, 0.0f, 255, 255, 255, 255);
    mesh.faceColors = {FaceColor(0, 255, 0), FaceColor(0, 0, 255)};
    // Shorter scales than ids: the object's scale applies (one cell is huge).
    mesh.faceTextureIDs = {-1, 0};
    mesh.texScale = 1000.0f;
    g_SceneObjects.push_back(mesh);
    RenderFrame();
    // Triangle 0 is (-2,-2) (2,-2) (2,2): below the diagonal x = z.
    EXPECT_TRUE(SameColor(PixelAtWorld(1.0f, 0.0f, -1.0f), {0, 255, 0})) << Describe(PixelAtWorld(1, 0, -1));
    // Triangle 1: blue times the checker's first cell (magenta).
    EXPECT_TRUE(SameColor(PixelAtWorld(0.5f, 0.0f, 1.5f), {0, 0, 255})) << Describe(PixelAtWorld(0.5f, 0, 1.5f));
    // Just below u = 0 the checker repeats from its last cell (purple).
    EXPECT_TRUE(SameColor(PixelAtWorld(-1.0f, 0.0f, 1.5f), {0, 0, 128})) << Describe(PixelAtWorld(-1, 0, 1.5f));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Drawing, MeshWithoutFacesOrWithBadIndicesDrawsNothingAndLeavesNoGlError)
{
    SceneObject empty = MakeMeshSquare(1.0f, 0.0f, 255, 0, 0, 255);
    empty.F.resize(0, 3);
    empty.faceTextureIDs.clear();
    g_SceneObjects.push_back(empty);
    SceneObject broken = MakeMeshSquare(1.0f, 0.0f, 255, 0, 0, 255);
    broken.F << 0, 1, 7, 0, 2, -1;
    broken.faceTextureIDs = {0, 0};
    g_SceneObjects.push_back(broken);
    RenderFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 0, 0), {0, 0, 0}));
}

TEST_F(Drawing, WireframeDrawsEdgesOnly)
{
    g_ShowWireframe = true;
    g_SceneObjects.push_back(MakeCube(-1, -1, -1, 1, 1, 1, 200, 50, 25));
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(0.3f, 1, 0.2f), {0, 0, 0}));
    EXPECT_TRUE(AnyPixelNear(1, 1, 0, 1, {200, 50, 25}));
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
}

TEST_F(Drawing, KnifeDoesNotLeaveFaceCullingOn)
{
    SceneObject knife = MakeCube(-1, 0, -1, 1, 0, 1, 255, 255, 255);
    knife.type = PRIMITIVE_KNIFE;
    g_SceneObjects.push_back(knife);
    RenderFrame();
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 0, 0), {255, 255, 255}));

    glEnable(GL_CULL_FACE);
    DrawPrimitive(PRIMITIVE_KNIFE, -1, 0, -1, 1, 0, 1, 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glDisable(GL_CULL_FACE);
    DrawPrimitive(PRIMITIVE_KNIFE, -1, 0, -1, 1, 0, 1, 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(Drawing, EveryPrimitiveTypeDrawsAtItsBoundsCentre)
{
    for (int type = PRIMITIVE_CUBE; type <= PRIMITIVE_WEDGE; ++type) {
        g_SceneObjects.clear();
        SceneObject object = MakeCube(-1, -1, -1, 1, 1, 1, 0, 200, 0);
        object.type = type;
        g_SceneObjects.push_back(object);
        RenderFrame();
        EXPECT_TRUE(SameColor(PixelAtWorld(0, 0, 0), {0, 200, 0})) << "type " << type;
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1) << "type " << type;
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW) << "type " << type;
    }
}

TEST_F(Drawing, MoveGizmoArrowsTakeTheAxisColoursAndYellowWhileDragged)
{
    g_SceneObjects.push_back(MakeCube(-1, -1, -1, 1, 1, 1, 90, 90, 90));
    g_SelectedObjectIndex = 0;
    g_SelectedObjects = {0};
    g_CurrentTool = TOOL_MOVE;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(2.55f, 0, 0), {255, 0, 0})) << Describe(PixelAtWorld(2.55f, 0, 0));
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 2.55f, 0), {0, 255, 0})) << Describe(PixelAtWorld(0, 2.55f, 0));
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 0, 2.55f), {0, 0, 255})) << Describe(PixelAtWorld(0, 0, 2.55f));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    g_IsDraggingGizmo = true;
    g_GizmoAxis = 1;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 2.55f, 0), {255, 255, 0}));
    EXPECT_TRUE(SameColor(PixelAtWorld(2.55f, 0, 0), {255, 0, 0}));
}

TEST_F(Drawing, ScaleAndRotateGizmosTakeTheAxisColours)
{
    g_ColorPrefs.GizmoX = {1.0f, 0.2f, 0.2f};
    g_SceneObjects.push_back(MakeCube(-1, -1, -1, 1, 1, 1, 90, 90, 90));
    g_SelectedObjectIndex = 0;
    g_CurrentTool = TOOL_SCALE;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(2.5f, 0, 0), {255, 51, 51})) << Describe(PixelAtWorld(2.5f, 0, 0));
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 0, 2.5f), {0, 0, 255}));

    // Rings overlap on screen (drawn x, y, z over each other): count colours.
    g_CurrentTool = TOOL_ROTATE;
    RenderFrame();
    EXPECT_GT(CountPixels({255, 51, 51}), 500);
    EXPECT_GT(CountPixels({0, 255, 0}), 500);
    EXPECT_GT(CountPixels({0, 0, 255}), 500);
    EXPECT_EQ(CountPixels({255, 255, 0}), 0);
    g_IsDraggingGizmo = true;
    g_GizmoAxis = 0;
    RenderFrame();
    EXPECT_EQ(CountPixels({255, 51, 51}), 0);
    EXPECT_GT(CountPixels({255, 255, 0}), 500);
}

TEST_F(Drawing, PropInstanceOutsideThePlotterIsHalfGreyed)
{
    Model model;
    model.id = 7;
    model.V.resize(4, 3);
    model.V << -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1;
    model.F.resize(2, 3);
    model.F << 0, 1, 2, 0, 2, 3;
    model.faceMaterial = Eigen::VectorXi::Zero(2);
    model.materialColors = {{{1.0f, 0.0f, 0.0f}}};
    model.materialTextures = {0};
    g_Models.push_back(model);
    PropInstance instance;
    instance.modelID = 7;
    instance.position = Vec3f(0, 0, 0);
    instance.rotation = Vec3f(0, 0, 0);
    instance.scale = Vec3f(2, 1, 2);
    g_PropInstances.push_back(instance);
    RenderFrame();
    const float grey = 1.0f / 3.0f * 0.5f;
    EXPECT_TRUE(SameColor(PixelAtWorld(1.5f, 0, 0), ToRgb(0.5f + grey, grey, grey))) << Describe(PixelAtWorld(1.5f, 0, 0));

    g_CurrentMode = MODE_PLOTTER;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(1.5f, 0, 0), {255, 77, 77})) << Describe(PixelAtWorld(1.5f, 0, 0));

    g_PropInstances[0].modelID = 8;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(1.5f, 0, 0), {0, 0, 0}));

    // A model without materials still draws, untextured.
    g_PropInstances[0].modelID = 7;
    g_Models[0].materialColors.clear();
    g_Models[0].materialTextures.clear();
    RenderFrame();
    EXPECT_TRUE(IsLit(PixelAtWorld(1.5f, 0, 0)));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Drawing, CreationPreviewAndPendingCorners)
{
    int sx = 0, sy = 0;
    RenderFrame();
    ASSERT_TRUE(ProjectPoint(2.4f, 0.0f, -1.3f, &sx, &sy));
    g_CreateStartScreenX = sx;
    g_CreateStartScreenY = VIEW_HEIGHT - sy;
    g_CreateStartPending = true;
    g_CreateEndPending = true;
    g_PreviewMouseX = sx;
    g_PreviewMouseY = VIEW_HEIGHT - sy;
    g_CreateStage = STAGE_NONE;
    RenderFrame();
    EXPECT_FALSE(g_CreateStartPending);
    EXPECT_TRUE(g_CreateEndPending);   // honoured by the first frame in the base stage
    EXPECT_FLOAT_EQ(g_CreateStartX, 2.0f);
    EXPECT_FLOAT_EQ(g_CreateStartZ, -1.0f);

    g_CreateStage = STAGE_BASE;
    g_SnapToGrid = false;
    RenderFrame();
    EXPECT_FALSE(g_CreateEndPending);
    EXPECT_NEAR(g_CreateEndX, 2.4f, 0.05f);
    EXPECT_NEAR(g_CreateEndZ, -1.3f, 0.05f);

    g_CreateStage = STAGE_HEIGHT;
    g_CreatePrimitiveType = PRIMITIVE_CUBE;
    g_CreateStartX = -1.0f;
    g_CreateStartZ = -1.0f;
    g_CreateEndX = 1.0f;
    g_CreateEndZ = 1.0f;
    g_CreateHeight = 2.0f;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(0, 2, 0), ToRgb(0.7f, 0.7f, 0.9f))) << Describe(PixelAtWorld(0, 2, 0));
}

TEST_F(Drawing, PainterOverlayTintsSelectedFacesThroughGeometry)
{
    g_SceneObjects.push_back(MakeMeshSquare(2.0f, 0.0f, 255, 255, 255, 255));
    g_SceneObjects.push_back(MakeCube(-0.5f, 0.5f, -0.5f, 0.5f, 1.5f, 0.5f, 0, 0, 0));
    g_CurrentMode = MODE_PAINTER;
    g_SelectedFacesObject = 0;
    g_SelectedFaces = {0};
    g_HoveredFace = 1;
    g_HoveredFaceObject = 0;
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(1.0f, 0, -1.0f), ToRgb(0.7f, 0.7f + 0.15f, 1.0f)))
        << Describe(PixelAtWorld(1.0f, 0, -1.0f));
    EXPECT_TRUE(SameColor(PixelAtWorld(-1.0f, 0, 1.0f), ToRgb(1.0f, 1.0f, 0.5f))) << Describe(PixelAtWorld(-1, 0, 1));
    // Behind the black cube the selected face still shows.
    EXPECT_TRUE(SameColor(PixelAtWorld(-0.3f, 0, -0.7f), ToRgb(0.0f, 0.15f, 0.3f)))
        << Describe(PixelAtWorld(-0.3f, 0, -0.7f));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(Drawing, VertexEditorDrawsSelectedAndUnselectedVertexSpheres)
{
    g_ColorPrefs.VertexSelected = {1.0f, 0.0f, 0.0f};
    g_ColorPrefs.VertexUnselected = {0.0f, 1.0f, 0.0f};
    g_SceneObjects.push_back(MakeMeshCube(-1, -1, -1, 1, 1, 1));
    const Eigen::MatrixXd& V = g_SceneObjects[0].V;
    int front = -1, top = -1;
    for (int i = 0; i < V.rows(); ++i) {
        if (V(i, 0) > 0 && V(i, 1) > 0 && V(i, 2) > 0)
            front = i;
        if (V(i, 0) < 0 && V(i, 1) > 0 && V(i, 2) > 0)
            top = i;
    }
    ASSERT_GE(front, 0);
    ASSERT_GE(top, 0);
    g_CurrentMode = MODE_VERTEX_EDITOR;
    g_SelectedObjects = {0};
    g_SelectedVertices = {{0, front}};
    RenderFrame();
    EXPECT_TRUE(SameColor(PixelAtWorld(1, 1, 1), {255, 0, 0})) << Describe(PixelAtWorld(1, 1, 1));
    EXPECT_TRUE(SameColor(PixelAtWorld(-1, 1, 1), {0, 255, 0})) << Describe(PixelAtWorld(-1, 1, 1));
}

TEST_F(Drawing, BusySceneLeavesTheStateTheNextFrameExpects)
{
    Texture missing;
    missing.glName = g_MissingTexture;
    g_Textures.push_back(missing);
    for (int type = PRIMITIVE_CUBE; type <= PRIMITIVE_KNIFE; ++type) {
        SceneObject object = MakeCube(type * 2.0f - 6, 0, 0, type * 2.0f - 5, 1, 1, 100, 150, 200, type % 2 ? 128 : 255);
        object.type = type;
        object.texture = 0;
        object.objectType = type == PRIMITIVE_RAMP ? OBJECT_HOLE : OBJECT_SOLID;
        object.rotation = Vec3f(10.0f * type, 5.0f, 0);
        g_SceneObjects.push_back(object);
    }
    g_SceneObjects.push_back(MakeMeshCube(-2, -2, -2, -1, -1, -1));
    g_SelectedObjects = {0, 3};
    g_SelectedObjectIndex = 3;
    g_OperationSelection = {5};
    g_CurrentTool = TOOL_ROTATE;
    g_ShowGrid = true;
    for (int mode = MODE_MODELLER; mode <= MODE_VERTEX_EDITOR; ++mode) {
        g_CurrentMode = mode;
        g_SelectedFacesObject = 7;
        g_SelectedFaces = {0, 1, 50};
        g_HoveredFace = 2;
        g_HoveredFaceObject = 7;
        g_SelectedVertices = {{7, 0}, {3, 5}};
        RenderFrame();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "mode " << mode;
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
    }
}
