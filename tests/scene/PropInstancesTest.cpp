#include <cmath>

#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"

namespace {

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

TEST_F(PropInstances, AnInstanceWithoutItsModelIsAUnitBoxAboutTheGroundPoint)
{
    g_GridHeight = 2.0f;
    g_PropInstances.resize(2);
    PropBrush brush;
    brush.name = L"Rock";
    brush.modelID = 99;
    const PropInstance placed = MakePropInstance(brush, 3.0f, -1.0f);
    EXPECT_EQ(placed.name, L"Rock 3");
    EXPECT_FLOAT_EQ(placed.position.y, 2.0f);
    EXPECT_FLOAT_EQ(placed.worldBounds.minY, 1.5f);
    EXPECT_FLOAT_EQ(placed.worldBounds.maxX, 3.5f);
    EXPECT_FLOAT_EQ(placed.worldBounds.minZ, -1.5f);
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
