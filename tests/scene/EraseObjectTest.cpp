// Erasing one object keeps every index held elsewhere pointing at the same
// objects.
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "scene/EraseObject.h"
#include "scene/SceneState.h"

namespace {

class EraseObjectTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        for (const wchar_t* name : {L"A", L"B", L"C", L"D"}) {
            SceneObject object;
            object.name = name;
            g_SceneObjects.push_back(object);
        }
    }
};

TEST_F(EraseObjectTest, LaterObjectsMoveDown)
{
    EraseSceneObject(1);

    ASSERT_EQ(g_SceneObjects.size(), 3u);
    EXPECT_EQ(g_SceneObjects[0].name, L"A");
    EXPECT_EQ(g_SceneObjects[1].name, L"C");
    EXPECT_EQ(g_SceneObjects[2].name, L"D");
}

TEST_F(EraseObjectTest, SelectionsDropTheObjectAndFollowTheOthers)
{
    g_SelectedObjects = {3, 1, 0, 1};
    g_OperationSelection = {1, 2};
    g_SelectedObjectIndex = 3;

    EraseSceneObject(1);

    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{2, 0}));
    EXPECT_EQ(g_OperationSelection, std::vector<int>{1});
    EXPECT_EQ(g_SelectedObjectIndex, 2);
}

TEST_F(EraseObjectTest, PrimarySelectionOfTheErasedObjectBecomesNone)
{
    g_SelectedObjectIndex = 2;
    EraseSceneObject(2);
    EXPECT_EQ(g_SelectedObjectIndex, -1);

    g_SelectedObjectIndex = 0;
    EraseSceneObject(1);
    EXPECT_EQ(g_SelectedObjectIndex, 0);
}

TEST_F(EraseObjectTest, GroupMembersAreRenumberedAndTheirGroupIdsStayValid)
{
    Group first;
    first.members = {0, 2, 3};
    Group second;
    second.members = {2};
    g_Groups = {first, second};
    g_SceneObjects[0].groupID = 0;
    g_SceneObjects[2].groupID = 0;
    g_SceneObjects[3].groupID = 0;

    EraseSceneObject(2);

    EXPECT_EQ(g_Groups[0].members, (std::vector<int>{0, 2}));
    EXPECT_TRUE(g_Groups[1].members.empty());
    EXPECT_EQ(g_SceneObjects[0].groupID, 0);
    EXPECT_EQ(g_SceneObjects[2].groupID, 0);
    EXPECT_EQ(g_SceneObjects[2].name, L"D");
}

TEST_F(EraseObjectTest, PainterFaceSelectionFollowsOrIsDropped)
{
    g_SelectedFacesObject = 3;
    g_SelectedFaces = {5, 7};
    g_HoveredFace = 5;
    g_HoveredFaceObject = 3;
    EraseSceneObject(0);
    EXPECT_EQ(g_SelectedFacesObject, 2);
    EXPECT_EQ(g_SelectedFaces, (std::vector<int>{5, 7}));
    EXPECT_EQ(g_HoveredFace, 5);
    EXPECT_EQ(g_HoveredFaceObject, 2);

    EraseSceneObject(2);
    EXPECT_EQ(g_SelectedFacesObject, -1);
    EXPECT_TRUE(g_SelectedFaces.empty());
    EXPECT_EQ(g_HoveredFace, -1);
    EXPECT_EQ(g_HoveredFaceObject, -1);
}

TEST_F(EraseObjectTest, VertexSelectionFollowsOrIsDropped)
{
    g_SelectedVertices = {{1, 4}, {3, 0}, {0, 2}};
    g_SelectedVertexObject = 3;
    g_SelectedVertexIndex = 0;

    EraseSceneObject(1);

    EXPECT_EQ(g_SelectedVertices, (std::vector<std::pair<int, int>>{{2, 0}, {0, 2}}));
    EXPECT_EQ(g_SelectedVertexObject, 2);
    EXPECT_EQ(g_SelectedVertexIndex, 0);

    EraseSceneObject(2);
    EXPECT_EQ(g_SelectedVertices, (std::vector<std::pair<int, int>>{{0, 2}}));
    EXPECT_EQ(g_SelectedVertexObject, -1);
    EXPECT_EQ(g_SelectedVertexIndex, -1);
}

TEST_F(EraseObjectTest, IndexOutsideTheListChangesNothing)
{
    g_SelectedObjects = {0, 3};
    g_SelectedObjectIndex = 3;

    EraseSceneObject(4);
    EraseSceneObject(-1);

    EXPECT_EQ(g_SceneObjects.size(), 4u);
    EXPECT_EQ(g_SelectedObjects, (std::vector<int>{0, 3}));
    EXPECT_EQ(g_SelectedObjectIndex, 3);
}

} // namespace
