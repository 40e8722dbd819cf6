#include "scene/MeshConversion.h"

#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/ObjectMesh.h"
#include "scene/PerFaceArrays.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

bool IsPrimitiveObject(int index)
{
    return IsValidObjectIndex(index) && !g_SceneObjects[static_cast<size_t>(index)].isCSGMesh;
}

void ConvertToExplicitMesh(SceneObject& object)
{
    ObjectToMesh(object, object.V, object.F);
    object.isCSGMesh = true;
    object.rotation = Vec3f();   // the rotation now lives in the vertices
    EnsurePerFaceArrays(object);
}

} // namespace

int ConvertObjectsToMeshes(const std::vector<int>& objects, const MeshConversionRule& rule)
{
    int converted = 0;
    for (int index : objects) {
        // Checked per object: an index listed twice is a mesh on its second turn.
        if (!IsPrimitiveObject(index))
            continue;
        if (converted == 0 && rule.takeSnapshot)
            SaveUndoState();
        SceneObject& object = g_SceneObjects[static_cast<size_t>(index)];
        ConvertToExplicitMesh(object);
        if (rule.prefixName)
            object.name = L"[Mesh] " + object.name;
        if (rule.logLine) {
            const std::wstring line = rule.logLine(object);
            if (!line.empty())
                DebugLog(line);
        }
        ++converted;
    }
    if (converted > 0)
        g_Hooks.RefreshHierarchyTree();
    return converted;
}
