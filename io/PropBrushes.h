// Prop brushes: the built-in "Custom" brush made from the model file
// config/customprop.glb in the executable's folder.
#pragma once

#include <string>

// The built-in model's path below the executable's folder.
std::wstring BuiltInCustomPropPath(const std::wstring& executableFolder);

// Loads the built-in model (or reuses it when g_Models holds its path) and
// appends the "Custom" brush to g_PropBrushes; without the model only a
// warning is logged. executableFolder ends with a separator. Does not look
// for an existing "Custom" brush: callers clear the list first.
void LoadBuiltInCustomPropFrom(const std::wstring& executableFolder);
