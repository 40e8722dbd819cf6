#include "app/SceneStatistics.h"

#include <cstdint>
#include <sstream>

#include "scene/SceneState.h"
#include "scene/SceneTypes.h"

namespace {

const int TYPE_COUNT = PRIMITIVE_KNIFE + 1;

// Plural captions of the type lines, indexed by PrimitiveType.
const wchar_t* const TYPE_CAPTIONS[TYPE_COUNT] = {
    L"Cubes", L"Spheres", L"Cylinders", L"Cones", L"Ramps", L"Wedges", L"Knives"};

struct SceneCounts {
    uint32_t visibleObjects = 0;
    uint32_t byType[TYPE_COUNT] = {};
    uint32_t csgVertices = 0;
    uint32_t csgTriangles = 0;
    uint32_t propVertices = 0;
    uint32_t propTriangles = 0;
    uint32_t visibleProps = 0;
};

SceneCounts CountScene()
{
    SceneCounts counts;
    for (const SceneObject& object : g_SceneObjects) {
        if (object.visible)
            ++counts.visibleObjects;
        if (object.type >= 0 && object.type < TYPE_COUNT)
            ++counts.byType[object.type];
        // Parametric primitives store no mesh and so add nothing here.
        counts.csgVertices += static_cast<uint32_t>(object.V.rows());
        counts.csgTriangles += static_cast<uint32_t>(object.F.rows());
    }
    for (const PropInstance& prop : g_PropInstances) {
        if (prop.visible)
            ++counts.visibleProps;
        for (const Model& model : g_Models) {
            if (model.id == prop.modelID) {
                counts.propVertices += static_cast<uint32_t>(model.V.rows());
                counts.propTriangles += static_cast<uint32_t>(model.F.rows());
                break;
            }
        }
    }
    return counts;
}

} // namespace

std::wstring BuildSceneStatisticsText()
{
    const SceneCounts counts = CountScene();
    const uint32_t objects = static_cast<uint32_t>(g_SceneObjects.size());
    const uint32_t props = static_cast<uint32_t>(g_PropInstances.size());

    std::wostringstream text;
    text << L"SCENE STATISTICS\n\n";
    text << L"Objects:\n";
    text << L"  Total Objects: " << objects;
    if (objects > 0)
        text << L" (Visible: " << counts.visibleObjects << L", Hidden: " << objects - counts.visibleObjects << L")";
    text << L"\n";
    for (int type = 0; type < TYPE_COUNT; ++type) {
        if (counts.byType[type] > 0)
            text << L"    " << TYPE_CAPTIONS[type] << L": " << counts.byType[type] << L"\n";
    }
    text << L"  Total Groups: " << static_cast<uint32_t>(g_Groups.size()) << L"\n\n";

    text << L"Geometry:\n";
    text << L"  CSG Vertices: " << counts.csgVertices << L"\n";
    text << L"  CSG Triangles: " << counts.csgTriangles << L"\n";
    text << L"  Prop Vertices: " << counts.propVertices << L"\n";
    text << L"  Prop Triangles: " << counts.propTriangles << L"\n";
    text << L"  Total Vertices: " << counts.csgVertices + counts.propVertices << L"\n";
    text << L"  Total Triangles: " << counts.csgTriangles + counts.propTriangles << L"\n\n";

    text << L"Assets:\n";
    text << L"  Textures Loaded: " << static_cast<uint32_t>(g_Textures.size()) << L"\n";
    text << L"  Models Loaded (GLB): " << static_cast<uint32_t>(g_Models.size()) << L"\n\n";

    text << L"Props (Plotter Mode):\n";
    text << L"  Prop Brushes: " << static_cast<uint32_t>(g_PropBrushes.size()) << L"\n";
    text << L"  Prop Instances: " << props;
    if (props > 0)
        text << L" (Visible: " << counts.visibleProps << L", Hidden: " << props - counts.visibleProps << L")";
    text << L"\n";
    return text.str();
}
