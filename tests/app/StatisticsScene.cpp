#include "tests/app/StatisticsScene.h"

#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "tests/scene/SceneTestSupport.h"

namespace {

SceneObject MakeMesh(int type, int vertices, int triangles)
{
    SceneObject object = MakePrimitive(type, L"Mesh", 0, 0, 0, 1, 1, 1);
    object.isCSGMesh = true;
    object.V = Eigen::MatrixXd::Zero(vertices, 3);
    object.F = Eigen::MatrixXi::Zero(triangles, 3);
    return object;
}

Model MakeModel(int id, int vertices, int triangles)
{
    Model model;
    model.id = id;
    model.V = Eigen::MatrixXd::Zero(vertices, 3);
    model.F = Eigen::MatrixXi::Zero(triangles, 3);
    return model;
}

PropInstance MakeProp(int modelID, bool visible)
{
    PropInstance prop;
    prop.modelID = modelID;
    prop.visible = visible;
    return prop;
}

} // namespace

void FillEveryKindScene()
{
    for (int type = PRIMITIVE_CUBE; type <= PRIMITIVE_KNIFE; ++type)
        g_SceneObjects.push_back(MakePrimitive(type, L"Object", 0, 0, 0, 1, 1, 1));
    g_SceneObjects.push_back(MakePrimitive(PRIMITIVE_CUBE, L"Hidden", 0, 0, 0, 1, 1, 1));
    g_SceneObjects.back().visible = false;
    g_SceneObjects.push_back(MakeMesh(PRIMITIVE_CUBE, 8, 12));
    g_SceneObjects.push_back(MakeMesh(PRIMITIVE_SPHERE, 1000, 1996));
    g_Groups.resize(2);
    g_Textures.resize(3);
    g_Models.push_back(MakeModel(4, 24, 12));
    g_Models.push_back(MakeModel(7, 3, 1));
    g_PropBrushes.resize(2);
    g_PropInstances.push_back(MakeProp(4, true));
    g_PropInstances.push_back(MakeProp(4, false));
    g_PropInstances.push_back(MakeProp(7, true));
    g_PropInstances.push_back(MakeProp(99, true));   // its model was removed
}

const std::wstring EVERY_KIND_STATISTICS =
    L"SCENE STATISTICS\n"
    L"\n"
    L"Objects:\n"
    L"  Total Objects: 10 (Visible: 9, Hidden: 1)\n"
    L"    Cubes: 3\n"
    L"    Spheres: 2\n"
    L"    Cylinders: 1\n"
    L"    Cones: 1\n"
    L"    Ramps: 1\n"
    L"    Wedges: 1\n"
    L"    Knives: 1\n"
    L"  Total Groups: 2\n"
    L"\n"
    L"Geometry:\n"
    L"  CSG Vertices: 1008\n"
    L"  CSG Triangles: 2008\n"
    L"  Prop Vertices: 51\n"
    L"  Prop Triangles: 25\n"
    L"  Total Vertices: 1059\n"
    L"  Total Triangles: 2033\n"
    L"\n"
    L"Assets:\n"
    L"  Textures Loaded: 3\n"
    L"  Models Loaded (GLB): 2\n"
    L"\n"
    L"Props (Plotter Mode):\n"
    L"  Prop Brushes: 2\n"
    L"  Prop Instances: 4 (Visible: 3, Hidden: 1)\n";
