// Runtime scene export: the modelled geometry as "modeller.glb", copies of
// every loaded model and texture file in the assets folder
// dir + "." + stem + "Assets", and the binary runtime-scene file (.trs) that
// lists the models and the placed prop instances.
#pragma once

#include <string>
#include <vector>

#include "io/ExportOutcome.h"

const unsigned int TRS_VERSION = 1;

// The runtime-scene file's bytes for the current models and prop instances.
// Strings are the low byte of each character, as the runtime reads them.
std::vector<unsigned char> RuntimeSceneBytes();

// The assets folder for an output path, with a trailing separator.
std::wstring RuntimeAssetsFolder(const std::wstring& path);

// The GLB export's boxes come first in the outcome, then this export's own.
ExportOutcome ExportRuntimeScene(const std::wstring& path);
