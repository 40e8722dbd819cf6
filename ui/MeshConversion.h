// The "Convert to Mesh" question put before a primitive is turned into an
// explicit mesh, and the conversion that follows a Yes. Each caller passes its
// own question text and conversion rule (scene/MeshConversion.h); the
// hierarchy and the Vertex Editor's mode switch share one ready-made pair.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "scene/MeshConversion.h"

// "Object \"name\" is a primitive.\n\n" for one object, else the count and
// " selected objects are primitives.\n\n": the first lines of a question.
std::wstring PrimitivesLead(const std::vector<int>& primitives);

// A vertex-editing question: the lead, "To edit vertices, " + need and a
// line break, the two lines on what is lost, extra, then "Convert to mesh?".
std::wstring VertexEditingQuestion(const std::wstring& lead, const std::wstring& need,
                                   const std::wstring& extra = std::wstring());

// "Converted <name> to mesh for vertex editing".
std::wstring VertexEditingLogLine(const SceneObject& converted);

// Asks prompt in a "Convert to Mesh" Yes/No box with the question icon
// (owner given); on Yes converts the listed objects by rule. Returns whether
// the user said Yes. An empty list, or one whose first index names no object,
// asks nothing and returns false.
bool AskAndConvertToMeshes(HWND owner, const std::wstring& prompt, const std::vector<int>& primitives,
                           const MeshConversionRule& rule);

// The conversion for vertex editing, as the hierarchy and the mode switch
// offer it: the lead, "To edit vertices, they must be converted to meshes."
// and the rest of the question; on Yes one undo snapshot, "[Mesh] " names and
// "Converted <name> to mesh for vertex editing" per object.
bool AskAndConvertForVertexEditing(HWND owner, const std::vector<int>& primitives);
