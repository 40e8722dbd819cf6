// Project files (.tsp), reading side: replaces the scene with a saved one.
// Hostile or damaged files never crash the reader and never leave a value
// the rest of the editor cannot use (NaN bounds, a cell size of 0, indices
// past their lists, duplicate model ids).
#pragma once

#include <string>

// Reads the project at path. False (scene untouched, one "ERROR: " log line)
// when the file cannot be read; otherwise the scene is replaced, every undo
// and redo stack is emptied, g_CurrentScenePath becomes path and the log says
// "Scene loaded: ". executableFolder (with its separator) locates the
// built-in prop's model.
bool LoadScene(const std::wstring& path, const std::wstring& executableFolder);

// The same from the file's bytes; path names the project for its folder.
void LoadSceneFromBytes(const std::string& bytes, const std::wstring& path, const std::wstring& executableFolder);

// A saved texture, side-file or model path made usable: kept when it starts
// with '\' or '/' or holds ':', else taken relative to folder.
std::wstring ResolveProjectPath(const std::wstring& saved, const std::wstring& folder);
