// Project files (.tsp), reading side: replaces the scene with a saved one.
// Hostile or damaged files never crash the reader and never leave a value
// the rest of the editor cannot use (NaN bounds, a cell size of 0, indices
// past their lists, duplicate model ids). A damaged part costs only itself;
// everything left out or mended is counted in a ProjectLoadReport.
#pragma once

#include <string>

// What a load had to leave out or mend. All zero for a file the writer wrote
// whose side files and models loaded.
struct ProjectLoadReport {
    int skippedObjects = 0;        // side file failed, or the element unusable
    int skippedModels = 0;         // model file failed to load
    int repairedElements = 0;      // an element read with a value missing, refused or replaced
    int unreadableParts = 0;       // tags and text that could not be read at all

    bool Clean() const;
};

// The warning shown after a partial load: what was skipped, by kind, and that
// the file was not fully read.
std::wstring PartialLoadMessage(const ProjectLoadReport& report);

// Reads the project at path. False (scene untouched, one "ERROR: " log line)
// when the file cannot be read or holds no project; otherwise the scene is
// replaced, every undo and redo stack is emptied and the log says "Scene
// loaded: ". g_CurrentScenePath becomes path after a clean load and is
// emptied after a partial one, so the next Save asks for a name instead of
// overwriting the file. executableFolder (with its separator) locates the
// built-in prop's model.
bool LoadScene(const std::wstring& path, const std::wstring& executableFolder,
               ProjectLoadReport* report = nullptr);

// The same from the file's bytes; path names the project for its folder.
bool LoadSceneFromBytes(const std::string& bytes, const std::wstring& path, const std::wstring& executableFolder,
                        ProjectLoadReport* report = nullptr);

// A saved texture, side-file or model path made usable: kept when it starts
// with '\' or '/' or holds ':', else taken relative to folder.
std::wstring ResolveProjectPath(const std::wstring& saved, const std::wstring& folder);
