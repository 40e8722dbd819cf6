// Primitives turned into explicit meshes keep their look: the per-face arrays
// take the object's texture, scale and colour, whatever the caller's rule.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "scene/FacePainting.h"
#include "scene/MeshConversion.h"
#include "scene/ObjectMesh.h"
#include "scene/PerFaceArrays.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

SceneObject RedTexturedCube()
{
    SceneObject cube = MakePrimitive(PRIMITIVE_CUBE, L"Box", 0, 0, 0, 2, 2, 2);
    cube.r = 200;
    cube.g = 10;
    cube.b = 20;
    cube.texture = 3;
    cube.texScale = 2.5f;
    return cube;
}

std::wstring CountingLine(const SceneObject& converted)
{
    return L"Converted " + converted.name + L" to mesh: " + std::to_wstring(converted.V.rows()) + L" vertices";
}

bool AllFacesLookLike(const SceneObject& object, int texture, float scale, int r, int g, int b)
{
    const size_t faces = static_cast<size_t>(object.F.rows());
    if (object.faceTextureIDs.size() != faces || object.faceTextureScales.size() != faces ||
        object.faceColors.size() != faces)
        return false;
    for (size_t f = 0; f < faces; ++f) {
        const FaceColor& c = object.faceColors[f];
        if (object.faceTextureIDs[f] != texture || object.faceTextureScales[f] != scale || c.r != r || c.g != g ||
            c.b != b)
            return false;
    }
    return true;
}

using PerFaceArrays = SceneTest;
using FacePainting = SceneTest;
using MeshConversion = SceneTest;

// Short, empty and overlong arrays all end at the face count; entries that
// were there stay, new ones take the object's own look. Run under ASan: a
// scale array shorter than the texture list must not be written past.
TEST_F(PerFaceArrays, EveryArrayIsSizedToTheFacesKeepingExistingEntries)
{
    SceneObject mesh = RedTexturedCube();
    ObjectToMesh(mesh, mesh.V, mesh.F);
    mesh.isCSGMesh = true;
    ASSERT_EQ(mesh.F.rows(), 12);
    mesh.faceTextureIDs.assign(12, 7);
    mesh.faceTextureScales = {0.5f};
    mesh.faceColors.assign(20, FaceColor(1, 2, 3));

    EnsurePerFaceArrays(mesh);

    ASSERT_EQ(mesh.faceTextureIDs.size(), 12u);
    ASSERT_EQ(mesh.faceTextureScales.size(), 12u);
    ASSERT_EQ(mesh.faceColors.size(), 12u);
    EXPECT_EQ(mesh.faceTextureIDs[11], 7);
    EXPECT_EQ(mesh.faceTextureScales[0], 0.5f);
    EXPECT_EQ(mesh.faceTextureScales[11], 2.5f);
    EXPECT_EQ(mesh.faceColors[11].r, 1);

    mesh.faceTextureIDs.clear();
    mesh.faceTextureScales.clear();
    mesh.faceColors.clear();
    EnsurePerFaceArrays(mesh);
    EXPECT_TRUE(AllFacesLookLike(mesh, 3, 2.5f, 200, 10, 20));
}

// Paint lands on a mesh whose lists are empty or short (a scale list of one
// entry under a full texture list must not be written past), only on faces
// that exist, and leaves the other faces in the object's own look.
TEST_F(FacePainting, PaintsExistingFacesWhateverTheListsHold)
{
    SceneObject mesh = RedTexturedCube();
    ObjectToMesh(mesh, mesh.V, mesh.F);
    mesh.isCSGMesh = true;
    mesh.faceTextureIDs.assign(12, 3);
    mesh.faceTextureScales = {2.5f};
    PaintBrush brush;
    brush.texture = 1;
    brush.textureScale = 0.5f;
    brush.b = 0;

    EXPECT_TRUE(PaintFace(mesh, 11, brush));
    EXPECT_FALSE(PaintFace(mesh, 12, brush));
    EXPECT_FALSE(PaintFace(mesh, -1, brush));

    ASSERT_EQ(mesh.faceTextureScales.size(), 12u);
    EXPECT_EQ(mesh.faceTextureIDs[11], 1);
    EXPECT_EQ(mesh.faceTextureScales[11], 0.5f);
    EXPECT_EQ(mesh.faceColors[11].b, 0);
    EXPECT_EQ(mesh.faceColors[11].r, 255);
    mesh.faceTextureIDs[11] = 3;
    mesh.faceTextureScales[11] = 2.5f;
    mesh.faceColors[11] = FaceColor(200, 10, 20);
    EXPECT_TRUE(AllFacesLookLike(mesh, 3, 2.5f, 200, 10, 20));
}

TEST_F(MeshConversion, EachRuleConvertsInPlaceAndKeepsTheLook)
{
    struct Case {
        bool takeSnapshot;
        bool prefixName;
        std::wstring (*logLine)(const SceneObject&);
        const wchar_t* name;
        size_t undoDepth;
        size_t logLines;
    };
    const Case cases[] = {
        {true, true, CountingLine, L"[Mesh] Box", 1, 1},
        {false, true, CountingLine, L"[Mesh] Box", 0, 1},
        {true, false, nullptr, L"Box", 1, 0},
    };
    for (const Case& c : cases) {
        ResetSceneGlobals();
        InstallRecordingHooks();
        g_SceneObjects.push_back(RedTexturedCube());
        g_SceneObjects[0].rotation = Vec3f(0, 90, 0);
        Eigen::MatrixXd expectedV;
        Eigen::MatrixXi expectedF;
        ObjectToMesh(g_SceneObjects[0], expectedV, expectedF);
        MeshConversionRule rule;
        rule.takeSnapshot = c.takeSnapshot;
        rule.prefixName = c.prefixName;
        rule.logLine = c.logLine;

        // Listed twice: converted and named once.
        EXPECT_EQ(ConvertObjectsToMeshes({0, 5, 0}, rule), 1);

        const SceneObject& object = g_SceneObjects[0];
        EXPECT_TRUE(object.isCSGMesh);
        EXPECT_EQ(object.name, c.name);
        EXPECT_EQ(object.rotation.y, 0.0f);
        EXPECT_TRUE(object.V.isApprox(expectedV));
        EXPECT_EQ(object.F, expectedF);
        EXPECT_EQ(object.maxX, 2.0f);
        EXPECT_TRUE(AllFacesLookLike(object, 3, 2.5f, 200, 10, 20));
        EXPECT_EQ(g_ModellerUndoStack.size(), c.undoDepth);
        if (c.undoDepth == 1) {
            EXPECT_FALSE(g_ModellerUndoStack[0].sceneObjects[0].isCSGMesh);
        }
        EXPECT_EQ(g_HookRecord.logLines.size(), c.logLines);
        if (c.logLines == 1) {
            EXPECT_EQ(g_HookRecord.logLines[0], L"Converted [Mesh] Box to mesh: 8 vertices");
        }
        EXPECT_EQ(CountCalls("RefreshHierarchyTree"), 1);
    }
}

TEST_F(MeshConversion, NothingToConvertTakesNoSnapshotAndRefreshesNothing)
{
    InstallRecordingHooks();
    g_SceneObjects.push_back(RedTexturedCube());
    g_SceneObjects[0].isCSGMesh = true;

    EXPECT_EQ(ConvertObjectsToMeshes({0, -1, 9}, MeshConversionRule()), 0);

    EXPECT_TRUE(g_ModellerUndoStack.empty());
    EXPECT_EQ(CountCalls("RefreshHierarchyTree"), 0);
    EXPECT_EQ(g_SceneObjects[0].name, L"Box");
}

} // namespace
