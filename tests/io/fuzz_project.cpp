// libFuzzer target: the project reader on arbitrary file text. Textures,
// models and side files it names resolve inside a folder that does not exist.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "io/ProjectReader.h"
#include "scene/SceneState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    LoadSceneFromBytes(bytes, L"/nonexistent-tarsel-fuzz/scene.tsp", L"/nonexistent-tarsel-fuzz/");
    // What the rest of the editor relies on after any load.
    if (!(g_GridCellSize > 0.0f) || !std::isfinite(g_GridCellSize) || !std::isfinite(g_CameraDistance))
        std::abort();
    for (const SceneObject& object : g_SceneObjects) {
        if (!std::isfinite(object.minX + object.minY + object.minZ + object.maxX + object.maxY + object.maxZ) ||
            object.groupID != -1 || object.texture >= static_cast<int>(g_Textures.size()))
            std::abort();
    }
    // Textures accumulate across loads by design, and a refused file leaves
    // the scene as it was: keep runs independent.
    g_Textures.clear();
    g_SceneObjects.clear();
    return 0;
}
