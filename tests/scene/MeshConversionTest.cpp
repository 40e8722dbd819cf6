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

SceneObject RedTexturedCube(bool asMesh)
{
    SceneObject cube = MakePrimitive(PRIMITIVE_CUBE, L"Box", 0, 0, 0, 2, 2, 2);
    cube.r = 200;
    cube.g = 10;
    cube.b = 20;
    cube.texture = 3;
    cube.texScale = 2.5f;
    if (asMesh) {
        ObjectToMesh(cube, cube.V, cube.F);
        cube.isCSGMesh = true;
    }
    return cube;
}

// Every face has the cube's texture 3, scale 2.5 and colour (200, 10, 20).
bool AllFacesLookLikeTheCube(const SceneObject& object)
{
    const size_t faces = static_cast<size_t>(object.F.rows());
    bool same = object.faceTextureIDs.size() == faces && object.faceTextureScales.size() == faces &&
                object.faceColors.size() == faces;
    for (size_t f = 0; same && f < faces; ++f) {
        const FaceColor& c = object.faceColors[f];
        same = object.faceTextureIDs[f] == 3 && object.faceTextureScales[f] == 2.5f && c.r == 200 && c.g == 10 && c.b == 20;
    }
    return same;
}

using PerFaceArrays = SceneTest;
using FacePainting = SceneTest;
using MeshConversion = SceneTest;

// Short and overlong arrays end at the face count; entries that were there
// stay, new ones take the object's own look.
TEST_F(PerFaceArrays, EveryArrayIsSizedToTheFacesKeepingExistingEntries)
{
    SceneObject mesh = RedTexturedCube(true);
    ASSERT_EQ(mesh.F.rows(), 12);
    mesh.faceTextureIDs.assign(12, 7);
    mesh.faceTextureScales = {0.5f};
    mesh.faceColors.assign(20, FaceColor(1, 2, 3));

    EnsurePerFaceArrays(mesh);

    ASSERT_TRUE(mesh.faceTextureIDs.size() == 12u && mesh.faceTextureScales.size() == 12u && mesh.faceColors.size() == 12u);
    EXPECT_EQ(mesh.faceTextureIDs[11], 7);
    EXPECT_EQ(mesh.faceTextureScales[0], 0.5f);
    EXPECT_EQ(mesh.faceTextureScales[11], 2.5f);
    EXPECT_EQ(mesh.faceColors[11].r, 1);
}

// Paint lands on a mesh whose lists are empty or short (a scale list of one
// entry under a full texture list must not be written past), only on faces
// that exist, and leaves the other faces in the object's own look.
TEST_F(FacePainting, PaintsExistingFacesWhateverTheListsHold)
{
    SceneObject mesh = RedTexturedCube(true);
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
    mesh.F.conservativeResize(11, 3);   // the other faces keep the object's look
    EnsurePerFaceArrays(mesh);
    EXPECT_TRUE(AllFacesLookLikeTheCube(mesh));
}

// Listed twice and with indices out of range: converted and named once, in
// place, with the look of the primitive on every face.
TEST_F(MeshConversion, EachRuleConvertsInPlaceAndKeepsTheLook)
{
    for (bool full : {true, false}) {
        ResetSceneGlobals();
        InstallRecordingHooks();
        g_SceneObjects = {RedTexturedCube(false)};
        g_SceneObjects[0].rotation = Vec3f(0, 90, 0);
        Eigen::MatrixXd expectedV;
        Eigen::MatrixXi expectedF;
        ObjectToMesh(g_SceneObjects[0], expectedV, expectedF);
        MeshConversionRule rule;
        rule.takeSnapshot = rule.prefixName = full;
        rule.logLine = full ? +[](const SceneObject& o) -> std::wstring { return o.name + L": " + std::to_wstring(o.V.rows()); } : nullptr;

        EXPECT_EQ(ConvertObjectsToMeshes({0, 5, 0}, rule), 1);

        const SceneObject& object = g_SceneObjects[0];
        EXPECT_TRUE(object.isCSGMesh);
        EXPECT_EQ(object.name, full ? L"[Mesh] Box" : L"Box");
        EXPECT_EQ(object.rotation.y, 0.0f);
        EXPECT_TRUE(object.V.isApprox(expectedV));
        EXPECT_TRUE(AllFacesLookLikeTheCube(object));
        ASSERT_EQ(g_ModellerUndoStack.size(), full ? 1u : 0u);
        if (full) {
            EXPECT_FALSE(g_ModellerUndoStack[0].sceneObjects[0].isCSGMesh);
        }
        EXPECT_EQ(g_HookRecord.logLines, full ? std::vector<std::wstring>{L"[Mesh] Box: 8"} : std::vector<std::wstring>());
        EXPECT_EQ(CountCalls("RefreshHierarchyTree"), 1);
    }
}

TEST_F(MeshConversion, NothingToConvertTakesNoSnapshotAndRefreshesNothing)
{
    InstallRecordingHooks();
    g_SceneObjects = {RedTexturedCube(true)};

    EXPECT_EQ(ConvertObjectsToMeshes({0, -1, 9}, MeshConversionRule()), 0);

    EXPECT_TRUE(g_ModellerUndoStack.empty());
    EXPECT_EQ(CountCalls("RefreshHierarchyTree"), 0);
    EXPECT_EQ(g_SceneObjects[0].name, L"Box");
}

} // namespace
