// The text of the Scene Statistics dialog: counts of the scene's objects by
// kind and visibility, its groups, the stored mesh and prop geometry, the
// loaded assets and the Plotter's props, read from the scene containers.
#pragma once

#include <string>

// One block of lines ended by "\n"; counts are taken once, when called.
std::wstring BuildSceneStatisticsText();
