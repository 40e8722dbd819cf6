#include "CsgTestSupport.h"

#include <algorithm>
#include <stdexcept>

#include "scene/Hooks.h"
#include "scene/PrimitiveMeshes.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

int AddPrimitive(int type, float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                 const std::wstring& name, int r, int g, int b)
{
    SceneObject object = MakePrimitive(type, name, minX, minY, minZ, maxX, maxY, maxZ);
    object.r = r;
    object.g = g;
    object.b = b;
    g_SceneObjects.push_back(object);
    return static_cast<int>(g_SceneObjects.size()) - 1;
}

int AddCube(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, const std::wstring& name,
            int r, int g, int b)
{
    return AddPrimitive(PRIMITIVE_CUBE, minX, minY, minZ, maxX, maxY, maxZ, name, r, g, b);
}

int AddHole(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, const std::wstring& name)
{
    const int index = AddCube(minX, minY, minZ, maxX, maxY, maxZ, name, 0, 0, 255);
    g_SceneObjects[static_cast<size_t>(index)].objectType = OBJECT_HOLE;
    return index;
}

int AddKnife(float centreX, float height, float centreZ, float halfSize, const std::wstring& name)
{
    return AddPrimitive(PRIMITIVE_KNIFE, centreX - halfSize, height, centreZ - halfSize, centreX + halfSize, height,
                        centreZ + halfSize, name);
}

int AddOpenMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, const std::wstring& name)
{
    const int index = AddCube(minX, minY, minZ, maxX, maxY, maxZ, name);
    SceneObject& object = g_SceneObjects[static_cast<size_t>(index)];
    Eigen::MatrixXi F;
    GenerateCubeMesh(minX, minY, minZ, maxX, maxY, maxZ, object.V, F);
    object.F = F.topRows(F.rows() - 1);
    object.isCSGMesh = true;
    return index;
}

namespace {

std::wstring g_ThrowingLineStart;

void LogThenThrowOnLine(const std::wstring& line)
{
    g_HookRecord.logLines.push_back(line);
    if (line.compare(0, g_ThrowingLineStart.size(), g_ThrowingLineStart) == 0)
        throw std::runtime_error("simulated failure");
}

} // namespace

void ThrowOnLogLinesStartingWith(const std::wstring& start)
{
    g_ThrowingLineStart = start;
    g_Hooks.AppendLogLine = LogThenThrowOnLine;
}

double ObjectVolume(const SceneObject& object)
{
    return SignedVolume(object.V, object.F);
}

bool HasLogLine(const std::wstring& line)
{
    const std::vector<std::wstring>& lines = g_HookRecord.logLines;
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HasLogLineStartingWith(const std::wstring& start)
{
    const std::vector<std::wstring>& lines = g_HookRecord.logLines;
    return std::any_of(lines.begin(), lines.end(),
                       [&start](const std::wstring& line) { return line.compare(0, start.size(), start) == 0; });
}

int UndoDepth()
{
    return static_cast<int>(g_ModellerUndoStack.size());
}
