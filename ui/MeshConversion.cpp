#include "ui/MeshConversion.h"

#include <string>

#include "app/Modal.h"
#include "scene/DebugLog.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

std::wstring ConversionPrompt(const std::vector<int>& primitives)
{
    std::wstring prompt;
    if (primitives.size() == 1)
        prompt = L"Object \"" + g_SceneObjects[primitives[0]].name + L"\" is a primitive.\n\n";
    else
        prompt = std::to_wstring(primitives.size()) + L" selected objects are primitives.\n\n";
    prompt += L"To edit vertices, they must be converted to meshes.\n"
              L"This will allow vertex editing but you will lose\n"
              L"the ability to change primitive parameters.\n\n"
              L"Convert to mesh?";
    return prompt;
}

} // namespace

bool AskAndConvertToMeshes(HWND owner, const std::vector<int>& primitives)
{
    if (primitives.empty() || !IsValidObjectIndex(primitives[0]))
        return false;
    if (ShowMessageBox(owner, ConversionPrompt(primitives), L"Convert to Mesh", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;

    SaveUndoState();
    for (int index : primitives) {
        // An index listed twice is converted once, not renamed twice.
        if (!IsValidObjectIndex(index) || g_SceneObjects[index].isCSGMesh)
            continue;
        SceneObject& object = g_SceneObjects[index];
        ObjectToMesh(object, object.V, object.F);
        object.isCSGMesh = true;
        object.rotation = Vec3f();
        object.name = L"[Mesh] " + object.name;
        DebugLog(L"Converted " + object.name + L" to mesh for vertex editing");
    }
    return true;
}
