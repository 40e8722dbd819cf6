// GLB export: the visible scene objects as one glTF 2.0 binary file, one
// primitive per material part, textures embedded as PNG. The file is built in
// memory and moved into place whole.
#pragma once

#include <string>

#include "io/ExportOutcome.h"

// Logs its progress; the outcome's boxes are, in order, one "CSG Export
// Debug" box per visible explicit mesh and then the result box. written is
// true only when the file was written.
ExportOutcome ExportSceneToGLB(const std::wstring& path);
