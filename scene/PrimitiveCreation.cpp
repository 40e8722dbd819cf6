#include "scene/PrimitiveCreation.h"

#include <algorithm>

#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

// Drags no larger than this make nothing.
const float MIN_CREATE_SIZE = 0.1f;

} // namespace

std::wstring PrimitiveTypeWord(int type)
{
    switch (type) {
    case PRIMITIVE_CUBE: return L"Cube";
    case PRIMITIVE_SPHERE: return L"Sphere";
    case PRIMITIVE_CYLINDER: return L"Cylinder";
    case PRIMITIVE_CONE: return L"Cone";
    case PRIMITIVE_RAMP: return L"Ramp";
    case PRIMITIVE_WEDGE: return L"Wedge";
    case PRIMITIVE_KNIFE: return L"Knife";
    default: return L"Object";
    }
}

void BeginPrimitiveCreation(int type)
{
    if (g_CreateStage != STAGE_NONE)
        g_CreateStage = STAGE_NONE;

    g_CreatePrimitiveType = type;
    g_IsInCreateMode = true;
    g_SelectedObjectIndex = -1;   // g_SelectedObjects stays as it is

    g_Hooks.ClearTreeSelection();
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.SetCreationToolsEnabled(false);
    g_Hooks.FocusViewport();
    g_Hooks.InvalidateToolsPanel();
    g_Hooks.InvalidateViewport();
}

void FinalizeObjectCreation()
{
    float x0 = std::min(g_CreateStartX, g_CreateEndX);
    float x1 = std::max(g_CreateStartX, g_CreateEndX);
    float z0 = std::min(g_CreateStartZ, g_CreateEndZ);
    float z1 = std::max(g_CreateStartZ, g_CreateEndZ);
    const int type = g_CreatePrimitiveType;

    bool make = false;
    if (type == PRIMITIVE_SPHERE || type == PRIMITIVE_CYLINDER || type == PRIMITIVE_CONE) {
        // Round shapes stand on a square about the rectangle's centre.
        const float r = ((x1 - x0) + (z1 - z0)) * 0.25f;
        const float cx = (x0 + x1) / 2.0f;
        const float cz = (z0 + z1) / 2.0f;
        x0 = cx - r;
        x1 = cx + r;
        z0 = cz - r;
        z1 = cz + r;
        if (type == PRIMITIVE_SPHERE) {
            g_CreateHeight = 2.0f * r;
            make = 2.0f * r > MIN_CREATE_SIZE;
        } else {
            make = g_CreateHeight > MIN_CREATE_SIZE;
        }
    } else if (type == PRIMITIVE_KNIFE) {
        make = true;   // a knife is flat: its height does not matter
    } else {
        make = g_CreateHeight > MIN_CREATE_SIZE;
    }

    if (make) {
        SceneObject object;
        object.type = type;
        object.objectType = OBJECT_SOLID;
        object.minX = x0;
        object.minY = g_GridHeight;
        object.minZ = z0;
        object.maxX = x1;
        object.maxY = g_GridHeight + g_CreateHeight;
        object.maxZ = z1;
        object.rotation = Vec3f(0.0f, 0.0f, 0.0f);
        object.isCSGMesh = false;
        object.name = PrimitiveTypeWord(type) + L"_" + std::to_wstring(g_SceneObjects.size() + 1);

        SaveUndoState();
        g_SceneObjects.push_back(object);
        g_SelectedObjectIndex = static_cast<int>(g_SceneObjects.size()) - 1;

        // No guard: the tree's own selection handling runs for the new item.
        g_Hooks.RefreshHierarchyTree();
        g_Hooks.SelectTreeItemByObjectIndex(g_SelectedObjectIndex);
        g_Hooks.UpdatePropertiesPanel();
    }

    g_CreateStage = STAGE_NONE;
    g_CreateHeight = 0.0f;
    // Holding Ctrl keeps the type armed for the next drag.
    if (!g_Hooks.IsCtrlKeyDown()) {
        g_IsInCreateMode = false;
        g_CurrentTool = TOOL_SELECT;
        g_Hooks.SetCreationToolsEnabled(true);
    }
    g_Hooks.InvalidateToolsPanel();
}
