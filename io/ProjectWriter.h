// Project files (.tsp), writing side: the scene as XML text with a fixed
// layout (two-space indentation, CR LF line ends, six significant digits,
// names and paths in the plain or the escaped form of io/ByteText.h) plus one mesh side file per explicit mesh in the
// folder stem + "_meshes" beside the project.
#pragma once

#include <string>

// Writes the project file and its side files. Everything is written to
// temporary files first and moved into place only when all of it was
// written, so a failed save leaves the previous project intact. On success
// sets g_CurrentScenePath and logs "Scene saved: "; on failure returns false
// with failure naming what failed (for the "Save Error" box).
bool SaveScene(const std::wstring& path, std::wstring& failure);

// The project file's exact bytes for the current scene saved at path.
std::string ProjectFileText(const std::wstring& path);

// The side file of mesh number meshNumber, and the meshFile value naming it
// relative to the project's folder.
std::wstring MeshSideFilePath(const std::wstring& projectPath, int meshNumber);
std::wstring MeshFileReference(const std::wstring& projectPath, int meshNumber);

// path without folder when it lies in the folder (compared ignoring the case
// of A to Z), else path unchanged.
std::wstring PathRelativeToFolder(const std::wstring& path, const std::wstring& folder);
