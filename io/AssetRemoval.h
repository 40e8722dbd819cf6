// Removing a loaded texture or model while keeping every reference to the
// others right: what the Texture Manager and Prop Manager call.
#pragma once

// Erases g_Textures[index] and releases its OpenGL texture (never the shared
// placeholder). Every texture reference (objects' texture and
// faceTextureIDs, paint brushes, and the same fields in every undo and redo
// snapshot of every mode) that named it becomes -1 and those naming a later
// texture move down by one, so each keeps showing the same image. False for
// an index outside the list.
bool RemoveTexture(int index);

// Erases g_Models[index] and releases its material textures. Prop brushes
// and prop instances that used its id are left without a model; ids of the
// other models do not change. False for an index outside the list.
bool RemoveModel(int index);
