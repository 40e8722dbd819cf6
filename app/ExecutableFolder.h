// The folder of the running executable and what is placed beside it: the
// config folder with the preferences file and the built-in prop model.
#pragma once

#include <string>

// The executable's folder, without a trailing separator. Paths of any length
// are found, not only those under MAX_PATH.
std::wstring GetExecutableFolder();

// The same with its separator, the form the asset loaders take.
std::wstring ExecutableFolderWithSeparator();

// Adds the built-in "Custom" prop brush from "config\customprop.glb" beside
// the executable.
void LoadBuiltInCustomProp();
