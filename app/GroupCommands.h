// The Object menu's group commands on the scene state: Create Group, Add to
// Group, Remove from Group and Ungroup. Each acts on the primary selection,
// keeps members' groupID and the groups' member lists in step, keeps each
// group's centre at the mean of its members' bounds centres, and refreshes
// the tree through g_Hooks. Refusals come back as the message box to show
// (information icon); nothing here touches a window. The dialogs that
// collect a name or a group run between the check and the change.
#pragma once

#include <string>

#include "app/CsgCommands.h"

// "Group N" for the next group.
std::wstring ProposedGroupName();

// The refusal that ends Create Group before its dialog, or a message with
// show false when the dialog may open.
CommandMessage CheckCreateGroup();

// Takes one undo step and makes a group of the primary object from the
// pending dialog values.
void CreateGroupFromSelection();

// Refusals of Add to Group in their order, or show false.
CommandMessage CheckAddToGroup();

// Takes one undo step and adds the primary object to group groupIndex
// (nothing for an invalid index).
void AddSelectionToGroup(int groupIndex);

// Each returns its refusal, or show false when it changed the scene.
CommandMessage RemoveSelectionFromGroup();
CommandMessage UngroupSelection();

// Mean of the valid members' bounds centres; a group without one keeps its
// centre.
void UpdateGroupCentre(int groupIndex);
