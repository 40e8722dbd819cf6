// Turning parametric primitives into explicit meshes in place. Every caller
// (the hierarchy and mode switch, the Painter, the Vertex Editor) converts
// through ConvertObjectsToMeshes with its own rule: whether an undo snapshot
// comes first, whether the name gains "[Mesh] ", and what is logged. The
// question to the user, where there is one, belongs to the caller
// (ui/MeshConversion.h asks and converts in one call).
#pragma once

#include <string>
#include <vector>

#include "scene/SceneTypes.h"

struct MeshConversionRule {
    // One SaveUndoState before the first conversion (none when nothing is
    // converted).
    bool takeSnapshot = true;
    // The new name is "[Mesh] " + the old name; false keeps the name.
    bool prefixName = true;
    // The log line for each converted object, given the object after its
    // conversion (new name, V and F); null, or an empty result, logs nothing.
    std::wstring (*logLine)(const SceneObject& converted) = nullptr;
};

// Converts each listed primitive in order: V, F = its world mesh (rotation
// applied about the bounds centre), isCSGMesh set, rotation 0, the per-face
// arrays filled by EnsurePerFaceArrays with its texture, scale and colour.
// Bounds, colour, texture, texScale and orientation stay. Invalid indices,
// objects that are meshes already and indices listed twice are skipped.
// After at least one conversion the hierarchy tree is refreshed through
// g_Hooks. Returns the number of objects converted.
int ConvertObjectsToMeshes(const std::vector<int>& objects, const MeshConversionRule& rule);
