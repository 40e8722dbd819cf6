#include "SceneTestSupport.h"

#include "scene/PrimitiveCreation.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

class CreationTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        InstallRecordingHooks();
    }

    // Arms a type and drags the given corners and height, as the viewport does.
    void Drag(int type, float sx, float sz, float ex, float ez, float height)
    {
        BeginPrimitiveCreation(type);
        g_CreateStage = STAGE_HEIGHT;
        g_CreateStartX = sx;
        g_CreateStartZ = sz;
        g_CreateEndX = ex;
        g_CreateEndZ = ez;
        g_CreateHeight = height;
        const bool ctrl = g_HookRecord.ctrlDown;  // record only what finalising does
        g_HookRecord = HookRecord();
        g_HookRecord.ctrlDown = ctrl;
        FinalizeObjectCreation();
    }

    void ExpectBounds(const SceneObject& o, float x0, float y0, float z0, float x1, float y1, float z1)
    {
        EXPECT_FLOAT_EQ(o.minX, x0);
        EXPECT_FLOAT_EQ(o.minY, y0);
        EXPECT_FLOAT_EQ(o.minZ, z0);
        EXPECT_FLOAT_EQ(o.maxX, x1);
        EXPECT_FLOAT_EQ(o.maxY, y1);
        EXPECT_FLOAT_EQ(o.maxZ, z1);
    }
};

} // namespace

TEST_F(CreationTest, BeginArmsTypeAndDisablesTools)
{
    g_SelectedObjects = {3};
    g_SelectedObjectIndex = 3;
    g_CreateStage = STAGE_BASE;
    BeginPrimitiveCreation(PRIMITIVE_WEDGE);
    EXPECT_TRUE(g_IsInCreateMode);
    EXPECT_EQ(g_CreatePrimitiveType, PRIMITIVE_WEDGE);
    EXPECT_EQ(g_CreateStage, STAGE_NONE);
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_EQ(g_SelectedObjects, std::vector<int>{3});
    const std::vector<std::string> expected = {"ClearTreeSelection", "UpdatePropertiesPanel",
                                               "SetCreationToolsEnabled", "FocusViewport",
                                               "InvalidateToolsPanel", "InvalidateViewport"};
    EXPECT_EQ(g_HookRecord.calls, expected);
    EXPECT_EQ(g_HookRecord.toolsEnabled, std::vector<bool>{false});
}

TEST_F(CreationTest, CubeStandsOnGridWithOrderedCorners)
{
    g_GridHeight = 0.5f;
    g_CurrentTool = TOOL_MOVE;
    Drag(PRIMITIVE_CUBE, 3, 5, 1, 2, 2);
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    const SceneObject& cube = g_SceneObjects[0];
    ExpectBounds(cube, 1, 0.5f, 2, 3, 2.5f, 5);
    EXPECT_EQ(cube.type, PRIMITIVE_CUBE);
    EXPECT_EQ(cube.objectType, OBJECT_SOLID);
    EXPECT_FALSE(cube.isCSGMesh);
    EXPECT_EQ(cube.name, L"Cube_1");
    EXPECT_EQ(cube.rotation.x + cube.rotation.y + cube.rotation.z, 0.0f);
    EXPECT_EQ(g_SelectedObjectIndex, 0);

    // The snapshot was taken before the append.
    ASSERT_EQ(g_ModellerUndoStack.size(), 1u);
    EXPECT_TRUE(g_ModellerUndoStack[0].sceneObjects.empty());

    EXPECT_EQ(g_CreateStage, STAGE_NONE);
    EXPECT_EQ(g_CreateHeight, 0.0f);
    EXPECT_FALSE(g_IsInCreateMode);
    EXPECT_EQ(g_CurrentTool, TOOL_SELECT);
    const std::vector<std::string> expected = {"RefreshHierarchyTree", "SelectTreeItemByObjectIndex",
                                               "UpdatePropertiesPanel", "SetCreationToolsEnabled",
                                               "InvalidateToolsPanel"};
    EXPECT_EQ(g_HookRecord.calls, expected);
    EXPECT_EQ(g_HookRecord.selectedTreeItems, std::vector<int>{0});
    EXPECT_EQ(g_HookRecord.guardWhileSelecting, std::vector<bool>{false});
    EXPECT_EQ(g_HookRecord.toolsEnabled, std::vector<bool>{true});
}

TEST_F(CreationTest, SphereGetsSquareFootprintAndHeight)
{
    Drag(PRIMITIVE_SPHERE, 0, 0, 4, 2, 7);
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    ExpectBounds(g_SceneObjects[0], 0.5f, 0, -0.5f, 3.5f, 3, 2.5f);
    EXPECT_EQ(g_SceneObjects[0].name, L"Sphere_1");
}

TEST_F(CreationTest, CylinderAndConeKeepDraggedHeight)
{
    Drag(PRIMITIVE_CYLINDER, 0, 0, 4, 2, 7);
    Drag(PRIMITIVE_CONE, 0, 0, 4, 2, 0.5f);
    ASSERT_EQ(g_SceneObjects.size(), 2u);
    ExpectBounds(g_SceneObjects[0], 0.5f, 0, -0.5f, 3.5f, 7, 2.5f);
    ExpectBounds(g_SceneObjects[1], 0.5f, 0, -0.5f, 3.5f, 0.5f, 2.5f);
    EXPECT_EQ(g_SceneObjects[1].name, L"Cone_2");

    Drag(PRIMITIVE_CYLINDER, 0, 0, 4, 4, 0.1f);  // a wide footprint does not help
    EXPECT_EQ(g_SceneObjects.size(), 2u);
}

TEST_F(CreationTest, HeightThresholdIsStrict)
{
    Drag(PRIMITIVE_CUBE, 0, 0, 2, 2, 0.1f);
    EXPECT_TRUE(g_SceneObjects.empty());
    EXPECT_TRUE(g_ModellerUndoStack.empty());
    EXPECT_EQ(g_CreateStage, STAGE_NONE);
    EXPECT_EQ(g_CreateHeight, 0.0f);
    EXPECT_FALSE(g_IsInCreateMode);
    EXPECT_EQ(CountCalls("RefreshHierarchyTree"), 0);
    EXPECT_EQ(g_HookRecord.toolsEnabled, std::vector<bool>{true});

    Drag(PRIMITIVE_RAMP, 0, 0, 2, 2, 0.11f);
    EXPECT_EQ(g_SceneObjects.size(), 1u);
}

TEST_F(CreationTest, SphereThresholdIsOnItsSide)
{
    Drag(PRIMITIVE_SPHERE, 0, 0, 0.1f, 0.1f, 5);  // side exactly 0.1
    EXPECT_TRUE(g_SceneObjects.empty());
    Drag(PRIMITIVE_SPHERE, 0, 0, 0.12f, 0.1f, 0);
    EXPECT_EQ(g_SceneObjects.size(), 1u);
}

TEST_F(CreationTest, KnifeIsMadeWithoutHeight)
{
    Drag(PRIMITIVE_KNIFE, 0, 0, 2, 2, 0);
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_SceneObjects[0].name, L"Knife_1");
    EXPECT_EQ(g_SceneObjects[0].maxY, g_SceneObjects[0].minY);
}

TEST_F(CreationTest, NameNumberIsObjectCountPlusOne)
{
    for (int i = 0; i < 4; ++i) {
        SceneObject o;
        o.name = L"Cone_5";
        g_SceneObjects.push_back(o);
    }
    Drag(PRIMITIVE_CONE, 0, 0, 1, 1, 1);
    EXPECT_EQ(g_SceneObjects.back().name, L"Cone_5");
    EXPECT_EQ(g_SelectedObjectIndex, 4);
}

TEST_F(CreationTest, TypeWords)
{
    const wchar_t* words[] = {L"Cube", L"Sphere", L"Cylinder", L"Cone", L"Ramp", L"Wedge", L"Knife"};
    for (int type = 0; type < 7; ++type)
        EXPECT_EQ(PrimitiveTypeWord(type), words[type]);
    EXPECT_EQ(PrimitiveTypeWord(7), L"Object");
    EXPECT_EQ(PrimitiveTypeWord(-1), L"Object");
    Drag(12, 0, 0, 1, 1, 1);
    EXPECT_EQ(g_SceneObjects.back().name, L"Object_1");
}

TEST_F(CreationTest, CtrlKeepsTheTypeArmed)
{
    g_HookRecord.ctrlDown = true;
    g_CurrentTool = TOOL_MOVE;
    Drag(PRIMITIVE_CUBE, 0, 0, 1, 1, 1);
    EXPECT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_TRUE(g_IsInCreateMode);
    EXPECT_EQ(g_CreatePrimitiveType, PRIMITIVE_CUBE);
    EXPECT_EQ(g_CurrentTool, TOOL_MOVE);
    EXPECT_TRUE(g_HookRecord.toolsEnabled.empty());  // still disabled
    EXPECT_EQ(g_CreateStage, STAGE_NONE);

    g_HookRecord.ctrlDown = false;
    g_CreateStartX = g_CreateStartZ = 0;
    g_CreateEndX = g_CreateEndZ = 1;
    g_CreateHeight = 1;
    FinalizeObjectCreation();
    EXPECT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_FALSE(g_IsInCreateMode);
    EXPECT_EQ(g_CurrentTool, TOOL_SELECT);
    EXPECT_EQ(g_HookRecord.toolsEnabled, std::vector<bool>{true});
}

TEST_F(CreationTest, UndoRemovesOnlyTheNewObject)
{
    Drag(PRIMITIVE_CUBE, 0, 0, 1, 1, 1);
    Drag(PRIMITIVE_WEDGE, 0, 0, 1, 1, 1);
    ASSERT_EQ(g_SceneObjects.size(), 2u);
    Undo();
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_SceneObjects[0].name, L"Cube_1");
}
