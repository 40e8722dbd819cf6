// Erasing one scene object while keeping every index that refers to objects
// valid: the selections, the groups' member lists, the painter's face
// selection and the vertex editor's selection.
#pragma once

// Erases g_SceneObjects[index] (nothing for an index outside the list). The
// index is dropped wherever it is held and every higher index moves down by
// one, so no reference is left pointing at another object or past the end.
void EraseSceneObject(int index);
