#include "ui/MeshConversion.h"

#include "app/Modal.h"
#include "scene/SceneState.h"

std::wstring VertexEditingLogLine(const SceneObject& converted)
{
    return L"Converted " + converted.name + L" to mesh for vertex editing";
}

std::wstring VertexEditingQuestion(const std::wstring& lead, const std::wstring& need, const std::wstring& extra)
{
    return lead + L"To edit vertices, " + need + L"\n"
                  L"This will allow vertex editing but you will lose\n"
                  L"the ability to change primitive parameters.\n\n" +
           extra + L"Convert to mesh?";
}

std::wstring PrimitivesLead(const std::vector<int>& primitives)
{
    if (primitives.size() == 1 && IsValidObjectIndex(primitives[0]))
        return L"Object \"" + g_SceneObjects[static_cast<size_t>(primitives[0])].name + L"\" is a primitive.\n\n";
    return std::to_wstring(primitives.size()) + L" selected objects are primitives.\n\n";
}

bool AskAndConvertToMeshes(HWND owner, const std::wstring& prompt, const std::vector<int>& primitives,
                           const MeshConversionRule& rule)
{
    if (primitives.empty() || !IsValidObjectIndex(primitives[0]))
        return false;
    if (ShowMessageBox(owner, prompt, L"Convert to Mesh", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    ConvertObjectsToMeshes(primitives, rule);
    return true;
}

bool AskAndConvertForVertexEditing(HWND owner, const std::vector<int>& primitives)
{
    MeshConversionRule rule;
    rule.logLine = VertexEditingLogLine;
    return AskAndConvertToMeshes(
        owner, VertexEditingQuestion(PrimitivesLead(primitives), L"they must be converted to meshes."), primitives,
        rule);
}
