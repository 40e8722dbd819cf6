// Creation of a new primitive: arming a type, then turning the dragged base
// rectangle and height into a named, selected, undoable SceneObject.
#pragma once

#include <string>

// Arms the creation of a primitive type, abandoning a creation in progress.
void BeginPrimitiveCreation(int type);

// Makes the object from g_CreateStartX/Z, g_CreateEndX/Z and g_CreateHeight
// when it is big enough, then ends creation unless Ctrl is held.
void FinalizeObjectCreation();

// "Cube", "Sphere", ... "Knife"; "Object" for any other value.
std::wstring PrimitiveTypeWord(int type);
