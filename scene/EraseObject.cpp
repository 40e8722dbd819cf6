#include "scene/EraseObject.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "scene/Renumber.h"
#include "scene/SceneState.h"

namespace {

void RenumberIndexList(std::vector<int>& list, int erased)
{
    list.erase(std::remove(list.begin(), list.end(), erased), list.end());
    for (int& held : list)
        held = RenumberIndex(held, erased);
}

void RenumberFaceSelection(int erased)
{
    g_SelectedFacesObject = RenumberIndex(g_SelectedFacesObject, erased);
    if (g_SelectedFacesObject == -1)
        g_SelectedFaces.clear();
    g_HoveredFaceObject = RenumberIndex(g_HoveredFaceObject, erased);
    if (g_HoveredFaceObject == -1)
        g_HoveredFace = -1;
}

void RenumberVertexSelection(int erased)
{
    g_SelectedVertices.erase(
        std::remove_if(g_SelectedVertices.begin(), g_SelectedVertices.end(),
                       [erased](const std::pair<int, int>& v) { return v.first == erased; }),
        g_SelectedVertices.end());
    for (std::pair<int, int>& v : g_SelectedVertices)
        v.first = RenumberIndex(v.first, erased);

    g_SelectedVertexObject = RenumberIndex(g_SelectedVertexObject, erased);
    if (g_SelectedVertexObject == -1)
        g_SelectedVertexIndex = -1;
}

} // namespace

void EraseSceneObject(int index)
{
    if (index < 0 || index >= static_cast<int>(g_SceneObjects.size()))
        return;

    g_SceneObjects.erase(g_SceneObjects.begin() + index);

    RenumberIndexList(g_SelectedObjects, index);
    RenumberIndexList(g_OperationSelection, index);
    g_SelectedObjectIndex = RenumberIndex(g_SelectedObjectIndex, index);
    for (Group& group : g_Groups)
        RenumberIndexList(group.members, index);
    RenumberFaceSelection(index);
    RenumberVertexSelection(index);
}
