#include <cmath>

#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"

namespace {

// A model whose normalised vertices span the given box (two corners).
Model BoxModel(int id, float x0, float y0, float z0, float x1, float y1, float z1)
{
    Model model;
    model.id = id;
    model.V.resize(2, 3);
    model.V << x0, y0, z0, x1, y1, z1;
    return model;
}

bool Finite(const PropInstance& p)
{
    const float values[] = {p.scale.x, p.scale.y, p.scale.z, p.worldBounds.minX, p.worldBounds.minY,
                            p.worldBounds.minZ, p.worldBounds.maxX, p.worldBounds.maxY, p.worldBounds.maxZ};
    for (float v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

using PropInstances = SceneTest;

} // namespace

TEST_F(PropInstances, ANewInstanceStandsCentredOnItsPointAndCountsEveryInstance)
{
    g_Models.push_back(BoxModel(7, -0.5f, -0.25f, 0.0f, 0.5f, 0.25f, 0.4f));
    g_GridHeight = 2.0f;
    g_GridCellSize = 0.5f;
    g_PropInstances.resize(2);
    PropBrush brush;
    brush.name = L"Rock";
    brush.modelID = 7;

    const PropInstance placed = MakePropInstance(brush, 3.0f, -1.0f);
    EXPECT_EQ(placed.name, L"Rock 3");
    EXPECT_EQ(placed.modelID, 7);
    EXPECT_FLOAT_EQ(placed.position.x, 3.0f);
    EXPECT_FLOAT_EQ(placed.position.y, 2.25f);
    EXPECT_FLOAT_EQ(placed.position.z, -1.2f);
    EXPECT_FLOAT_EQ(placed.worldBounds.minY, 2.0f);
    EXPECT_FLOAT_EQ(placed.worldBounds.minX + placed.worldBounds.maxX, 6.0f);
    EXPECT_FLOAT_EQ(placed.worldBounds.minZ + placed.worldBounds.maxZ, -2.0f);
    EXPECT_FLOAT_EQ(placed.gridCellSize, 0.5f);

    // Without its model a unit box stands about the ground point.
    brush.modelID = 99;
    const PropInstance missing = MakePropInstance(brush, 3.0f, -1.0f);
    EXPECT_FLOAT_EQ(missing.position.y, 2.0f);
    EXPECT_FLOAT_EQ(missing.worldBounds.minY, 1.5f);
    EXPECT_FLOAT_EQ(missing.worldBounds.maxX, 3.5f);
}

TEST_F(PropInstances, ScalingNeverDividesByAFlatSizeOrAZeroScale)
{
    const Vec3f low(-1.0f, 0.0f, -1.0f), flatHigh(1.0f, 0.0f, 1.0f);
    for (bool linked : {false, true}) {
        PropInstance prop;
        ScalePropFromStart(prop, Vec3f(1.0f, 1.0f, 1.0f), low, flatHigh, 1, 3.0f, linked, 0.1f);
        EXPECT_TRUE(Finite(prop));
        EXPECT_FLOAT_EQ(prop.scale.y, 1.0f);
        EXPECT_FLOAT_EQ(prop.worldBounds.minY, 0.0f);
        EXPECT_FLOAT_EQ(prop.worldBounds.maxY, 0.0f);
        EXPECT_FLOAT_EQ(prop.scale.x, linked ? 2.5f : 1.0f);
    }

    // A zero start scale (a project may hold one) keeps that axis's bounds.
    PropInstance prop;
    ScalePropFromStart(prop, Vec3f(2.0f, 0.0f, 1.0f), low, Vec3f(1.0f, 2.0f, 1.0f), 1, 2.0f, true, 0.1f);
    EXPECT_TRUE(Finite(prop));
    EXPECT_FLOAT_EQ(prop.scale.y, 0.0f);
    EXPECT_FLOAT_EQ(prop.worldBounds.maxY, 2.0f);
    EXPECT_FLOAT_EQ(prop.scale.x, 4.0f);
    EXPECT_FLOAT_EQ(prop.worldBounds.maxX, 2.0f);
    EXPECT_FLOAT_EQ(prop.worldBounds.minX, -2.0f);
}

TEST_F(PropInstances, ScalingStopsAtTheFloorAndKeepsTheCentre)
{
    PropInstance prop;
    ScalePropFromStart(prop, Vec3f(1.0f, 2.0f, 1.0f), Vec3f(), Vec3f(2.0f, 4.0f, 2.0f), 1, -10.0f, false, 0.5f);
    EXPECT_FLOAT_EQ(prop.scale.y, 2.0f * 0.5f / 4.0f);
    EXPECT_FLOAT_EQ(prop.worldBounds.minY, 1.75f);
    EXPECT_FLOAT_EQ(prop.worldBounds.maxY, 2.25f);
    EXPECT_FLOAT_EQ(prop.scale.x, 1.0f);
    EXPECT_FLOAT_EQ(prop.worldBounds.maxX, 2.0f);
}
