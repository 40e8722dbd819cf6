// A scene holding every kind of thing the Scene Statistics count: all seven
// object types (one hidden), two explicit meshes, groups, textures, models,
// prop brushes and props (one hidden, one whose model was removed).
#pragma once

#include <string>

void FillEveryKindScene();

// The statistics text of that scene.
extern const std::wstring EVERY_KIND_STATISTICS;
