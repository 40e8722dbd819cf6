// OBJ export: the visible scene objects as a Wavefront OBJ file, its MTL
// material library beside it and the materials' textures as PNG files in the
// folder stem + "_textures". Each file is built in memory and moved into
// place whole.
#pragma once

#include <string>

#include "io/ExportOutcome.h"

// written is true only when both text files were written; texture files that
// fail are logged as warnings and leave their material untextured.
ExportOutcome ExportSceneToOBJ(const std::wstring& path);
