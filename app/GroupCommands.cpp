#include "app/GroupCommands.h"

#include <algorithm>

#include "app/CsgText.h"
#include "scene/Hooks.h"
#include "scene/ObjectMesh.h"
#include "scene/Renumber.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

CommandMessage Refusal(const wchar_t* caption, const wchar_t* text)
{
    return MakeCommandMessage(caption, text, MESSAGE_ICON_INFORMATION);
}

bool IsValidGroupIndex(int index)
{
    return index >= 0 && index < static_cast<int>(g_Groups.size());
}

// The primary object's group, or -1 when it has none that exists.
int PrimaryGroup()
{
    const int group = g_SceneObjects[g_SelectedObjectIndex].groupID;
    return IsValidGroupIndex(group) ? group : -1;
}

void RefreshTreeOnPrimary()
{
    g_Hooks.RefreshHierarchyTree();
    g_Hooks.SelectTreeItemByObjectIndex(g_SelectedObjectIndex);
}

// Erases a group; objects and the group selection that named a later group
// follow it down, those that named it lose it.
void EraseGroup(int index)
{
    g_Groups.erase(g_Groups.begin() + index);
    for (SceneObject& object : g_SceneObjects) {
        if (object.groupID > index)
            object.groupID -= 1;
    }
    g_SelectedGroup = RenumberIndex(g_SelectedGroup, index);
}

} // namespace

std::wstring ProposedGroupName()
{
    return L"Group " + std::to_wstring(g_Groups.size() + 1);
}

void UpdateGroupCentre(int groupIndex)
{
    if (!IsValidGroupIndex(groupIndex))
        return;
    Group& group = g_Groups[groupIndex];
    Vec3f centre;
    if (MeanBoundsCentre(group.members, centre)) {
        group.x = centre.x;
        group.y = centre.y;
        group.z = centre.z;
    }
}

CommandMessage CheckCreateGroup()
{
    if (!IsValidObjectIndex(g_SelectedObjectIndex))
        return Refusal(L"Create Group", L"Please select an object first to create a group.");
    // One object belongs to one group: the tree and the transforms follow
    // groupID and the member lists, which must agree.
    if (PrimaryGroup() >= 0)
        return Refusal(L"Create Group", L"Object is already in a group. Ungroup it first.");
    return CommandMessage();
}

void CreateGroupFromSelection()
{
    if (CheckCreateGroup().show)
        return;
    SaveUndoState();
    Group group;
    group.name = g_PendingGroupName;
    group.pivotMode = g_PendingGroupPivotMode;
    group.tidallyLocked = g_PendingGroupTidallyLocked;
    group.members.push_back(g_SelectedObjectIndex);
    g_SceneObjects[g_SelectedObjectIndex].groupID = static_cast<int>(g_Groups.size());
    g_Groups.push_back(group);
    UpdateGroupCentre(static_cast<int>(g_Groups.size()) - 1);
    RefreshTreeOnPrimary();
}

CommandMessage CheckAddToGroup()
{
    if (!IsValidObjectIndex(g_SelectedObjectIndex))
        return Refusal(L"Add to Group", L"Please select an object first.");
    if (g_SceneObjects[g_SelectedObjectIndex].groupID >= 0)
        return Refusal(L"Add to Group", L"Object is already in a group. Ungroup it first.");
    if (g_Groups.empty())
        return Refusal(L"Add to Group", L"No groups exist. Create a group first.");
    return CommandMessage();
}

void AddSelectionToGroup(int groupIndex)
{
    if (CheckAddToGroup().show || !IsValidGroupIndex(groupIndex))
        return;
    SaveUndoState();
    g_Groups[groupIndex].members.push_back(g_SelectedObjectIndex);
    g_SceneObjects[g_SelectedObjectIndex].groupID = groupIndex;
    UpdateGroupCentre(groupIndex);
    RefreshTreeOnPrimary();
}

CommandMessage RemoveSelectionFromGroup()
{
    if (!IsValidObjectIndex(g_SelectedObjectIndex))
        return Refusal(L"Remove from Group", L"Please select an object first.");
    const int groupIndex = PrimaryGroup();
    if (groupIndex < 0)
        return Refusal(L"Remove from Group", L"Selected object is not in a group.");

    SaveUndoState();
    std::vector<int>& members = g_Groups[groupIndex].members;
    auto found = std::find(members.begin(), members.end(), g_SelectedObjectIndex);
    if (found != members.end())
        members.erase(found);
    g_SceneObjects[g_SelectedObjectIndex].groupID = -1;
    if (members.empty())
        EraseGroup(groupIndex);
    else
        UpdateGroupCentre(groupIndex);
    RefreshTreeOnPrimary();
    return CommandMessage();
}

CommandMessage UngroupSelection()
{
    if (!IsValidObjectIndex(g_SelectedObjectIndex))
        return CommandMessage();
    const int groupIndex = PrimaryGroup();
    if (groupIndex < 0)
        return Refusal(L"Ungroup", L"Selected object is not in a group.");

    SaveUndoState();
    for (int member : g_Groups[groupIndex].members) {
        if (IsValidObjectIndex(member))
            g_SceneObjects[member].groupID = -1;
    }
    EraseGroup(groupIndex);
    RefreshTreeOnPrimary();
    return CommandMessage();
}
