// Speed of the CSG commands' core (operand meshes, booleans, per-face
// mapping, result objects; the message box is returned, not shown): joining
// ten overlapping grid cubes, joining two UV spheres and slicing a sphere.
// Prints the median of 5 runs per case.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/CsgCommands.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

const int RUNS = 5;

void ClearScene()
{
    g_SceneObjects.clear();
    g_Groups.clear();
    g_SelectedObjects.clear();
    g_OperationSelection.clear();
    g_SelectedObjectIndex = -1;
    ClearUndoHistory();
}

void AddObject(int type, float minX, float minY, float minZ, float maxX, float maxY, float maxZ, const Vec3f& rotation)
{
    SceneObject object;
    object.type = type;
    object.minX = minX;
    object.minY = minY;
    object.minZ = minZ;
    object.maxX = maxX;
    object.maxY = maxY;
    object.maxZ = maxZ;
    object.rotation = rotation;
    object.name = L"Object";
    g_OperationSelection.push_back(static_cast<int>(g_SceneObjects.size()));
    g_SceneObjects.push_back(object);
}

// Two-unit cubes one grid cell apart along x, every other one a cell higher.
void BuildGridCubes()
{
    for (int i = 0; i < 10; ++i) {
        const float x = static_cast<float>(i);
        const float y = static_cast<float>(i % 2);
        AddObject(PRIMITIVE_CUBE, x, y, 0.0f, x + 2.0f, y + 2.0f, 2.0f, Vec3f());
    }
}

void BuildTwoSpheres()
{
    AddObject(PRIMITIVE_SPHERE, -1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f, Vec3f());
    AddObject(PRIMITIVE_SPHERE, -0.5f, -0.7f, -0.8f, 1.5f, 1.3f, 1.2f, Vec3f());
}

void BuildSphereAndKnife()
{
    AddObject(PRIMITIVE_SPHERE, -1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f, Vec3f());
    AddObject(PRIMITIVE_KNIFE, -1.5f, 0.1f, -1.5f, 1.5f, 0.1f, 1.5f, Vec3f(15.0f, 25.0f, 10.0f));
}

// Milliseconds of the command alone, median of RUNS fresh scenes; the
// result's object count shows that the command did its work.
void Measure(const char* name, const std::function<void()>& build, const std::function<CommandMessage()>& command)
{
    std::vector<double> times;
    size_t objects = 0;
    for (int run = 0; run < RUNS; ++run) {
        ClearScene();
        build();
        const auto start = std::chrono::steady_clock::now();
        const CommandMessage message = command();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
        objects = g_SceneObjects.size();
        if (message.icon != MESSAGE_ICON_INFORMATION)
            std::printf("  %s: the command did not complete\n", name);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-32s median %8.2f ms  (min %.2f, max %.2f; %zu objects after)\n", name, times[RUNS / 2],
                times.front(), times.back(), objects);
}

} // namespace

int main()
{
    Measure("join 10 overlapping grid cubes", BuildGridCubes, JoinSelectedObjects);
    Measure("join two UV spheres", BuildTwoSpheres, JoinSelectedObjects);
    Measure("slice a UV sphere", BuildSphereAndKnife, SliceSelectedObjects);
    ClearScene();
    return 0;
}
