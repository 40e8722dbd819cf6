#include "scene/PropInstances.h"

#include <algorithm>

#include "scene/SceneState.h"

namespace {

const float FLAT_SIZE = 0.001f;
const float MISSING_MODEL_HALF_SIZE = 0.5f;

float& Component(Vec3f& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

bool HasVertices(const Model* model)
{
    return model && model->V.rows() > 0 && model->V.cols() >= 3;
}

} // namespace

Bounds3f BoundsBetween(const Vec3f& low, const Vec3f& high)
{
    Bounds3f b;
    b.minX = low.x;
    b.minY = low.y;
    b.minZ = low.z;
    b.maxX = high.x;
    b.maxY = high.y;
    b.maxZ = high.z;
    return b;
}

const Model* FindModelById(int id)
{
    for (const Model& model : g_Models)
        if (model.id == id)
            return &model;
    return nullptr;
}

bool IsValidPropInstanceIndex(int index)
{
    return index >= 0 && static_cast<size_t>(index) < g_PropInstances.size();
}

Vec3f ModelStandingOffset(const Model* model)
{
    if (!HasVertices(model))
        return Vec3f();
    const Eigen::RowVectorXd low = model->V.colwise().minCoeff();
    const Eigen::RowVectorXd high = model->V.colwise().maxCoeff();
    return Vec3f(static_cast<float>(-(low(0) + high(0)) / 2), static_cast<float>(-low(1)),
                 static_cast<float>(-(low(2) + high(2)) / 2));
}

PropInstance MakePropInstance(const PropBrush& brush, float groundX, float groundZ)
{
    const Model* model = FindModelById(brush.modelID);
    const Vec3f offset = ModelStandingOffset(model);
    PropInstance instance;
    instance.modelID = brush.modelID;
    instance.name = brush.name + L" " + std::to_wstring(g_PropInstances.size() + 1);
    instance.position = Vec3f(groundX + offset.x, g_GridHeight + offset.y, groundZ + offset.z);
    instance.rotation = Vec3f();
    instance.scale = Vec3f(1.0f, 1.0f, 1.0f);
    instance.alpha = 255.0f;
    instance.visible = true;
    instance.gridCellSize = g_GridCellSize;
    if (HasVertices(model)) {
        const Eigen::RowVectorXd low = model->V.colwise().minCoeff();
        const Eigen::RowVectorXd high = model->V.colwise().maxCoeff();
        const Vec3f& p = instance.position;
        instance.worldBounds = BoundsBetween(
            Vec3f(p.x + static_cast<float>(low(0)), p.y + static_cast<float>(low(1)), p.z + static_cast<float>(low(2))),
            Vec3f(p.x + static_cast<float>(high(0)), p.y + static_cast<float>(high(1)),
                  p.z + static_cast<float>(high(2))));
    } else {
        const float h = MISSING_MODEL_HALF_SIZE;
        instance.worldBounds = BoundsBetween(Vec3f(groundX - h, g_GridHeight - h, groundZ - h),
                                             Vec3f(groundX + h, g_GridHeight + h, groundZ + h));
    }
    return instance;
}

void ScalePropFromStart(PropInstance& instance, const Vec3f& startScale, const Vec3f& startMin, const Vec3f& startMax,
                        int axis, float growth, bool linked, float floor)
{
    Vec3f low = startMin, high = startMax;
    Vec3f scale = startScale;
    Vec3f newLow = low, newHigh = high;
    for (int k = 0; k < 3; ++k) {
        const float size = Component(high, k) - Component(low, k);
        const float start = Component(scale, k);
        // Dividing by a flat size or a zero scale would give an infinite scale
        // and NaN bounds, which would then be saved.
        if (!(linked || k == axis) || !(size > FLAT_SIZE) || start == 0.0f)
            continue;
        const float ratio = std::max(floor, size + growth) / size;
        Component(scale, k) = start * ratio;
        const float centre = (Component(low, k) + Component(high, k)) / 2;
        Component(newLow, k) = centre - ratio * size * 0.5f;
        Component(newHigh, k) = centre + ratio * size * 0.5f;
    }
    instance.scale = scale;
    instance.worldBounds = BoundsBetween(newLow, newHigh);
}
