#include <gtest/gtest.h>

#include <algorithm>

#include "app/SceneStatistics.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "tests/app/StatisticsScene.h"
#include "tests/scene/SceneTestSupport.h"

using SceneStatistics = SceneTest;

TEST_F(SceneStatistics, EmptySceneShowsZerosAndNoOptionalParts)
{
    EXPECT_EQ(BuildSceneStatisticsText(),
              L"SCENE STATISTICS\n\nObjects:\n  Total Objects: 0\n  Total Groups: 0\n\n"
              L"Geometry:\n  CSG Vertices: 0\n  CSG Triangles: 0\n  Prop Vertices: 0\n  Prop Triangles: 0\n"
              L"  Total Vertices: 0\n  Total Triangles: 0\n\n"
              L"Assets:\n  Textures Loaded: 0\n  Models Loaded (GLB): 0\n\n"
              L"Props (Plotter Mode):\n  Prop Brushes: 0\n  Prop Instances: 0\n");
}

TEST_F(SceneStatistics, PrimitivesCountByTypeAndVisibilityButAddNoGeometry)
{
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_CUBE, L"Cube_1", 0, 0, 0, 1, 1, 1));
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_CUBE, L"Cube_2", 2, 0, 0, 3, 1, 1));
    g_SceneObjects.back().visible = false;
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_SPHERE, L"Sphere_3", 4, 0, 0, 5, 1, 1));
    EXPECT_EQ(BuildSceneStatisticsText(),
              L"SCENE STATISTICS\n\nObjects:\n  Total Objects: 3 (Visible: 2, Hidden: 1)\n"
              L"    Cubes: 2\n    Spheres: 1\n  Total Groups: 0\n\n"
              L"Geometry:\n  CSG Vertices: 0\n  CSG Triangles: 0\n  Prop Vertices: 0\n  Prop Triangles: 0\n"
              L"  Total Vertices: 0\n  Total Triangles: 0\n\n"
              L"Assets:\n  Textures Loaded: 0\n  Models Loaded (GLB): 0\n\n"
              L"Props (Plotter Mode):\n  Prop Brushes: 0\n  Prop Instances: 0\n");
}

TEST_F(SceneStatistics, PropWithoutItsModelCountsButAddsNoGeometry)
{
    PropInstance prop;
    prop.modelID = 3;
    g_PropInstances.push_back(prop);
    EXPECT_EQ(BuildSceneStatisticsText(),
              L"SCENE STATISTICS\n\nObjects:\n  Total Objects: 0\n  Total Groups: 0\n\n"
              L"Geometry:\n  CSG Vertices: 0\n  CSG Triangles: 0\n  Prop Vertices: 0\n  Prop Triangles: 0\n"
              L"  Total Vertices: 0\n  Total Triangles: 0\n\n"
              L"Assets:\n  Textures Loaded: 0\n  Models Loaded (GLB): 0\n\n"
              L"Props (Plotter Mode):\n  Prop Brushes: 0\n  Prop Instances: 1 (Visible: 1, Hidden: 0)\n");
}

TEST_F(SceneStatistics, EveryKindOfThingIsCountedInTwentyEightLines)
{
    FillEveryKindScene();
    const std::wstring text = BuildSceneStatisticsText();
    EXPECT_EQ(text, EVERY_KIND_STATISTICS);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 28);
}
