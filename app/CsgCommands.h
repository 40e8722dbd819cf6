// The CSG commands of the Edit menu on the scene state: Join Objects,
// Intersection, XOR (Symmetric Difference) and Slice. Each takes its operands
// from the operation selection (or, when that is empty, the selected
// objects), takes one undo step, logs its work through DebugLog, refreshes the
// panels through g_Hooks, and returns the message box it ends with as data;
// the window layer shows it. Nothing here touches a window.
#pragma once

#include "scene/CommandMessage.h"

// Union of the solids minus the holes, folded left to right from the first
// solid.
CommandMessage JoinSelectedObjects();

// Intersection of all operands; every operand must be a solid.
CommandMessage IntersectSelectedObjects();

// Symmetric difference folded over the operands; every operand must be a solid.
CommandMessage XorSelectedObjects();

// Cuts every selected object in two along the first selected knife's plane,
// hides the cut objects and erases the knives.
CommandMessage SliceSelectedObjects();
