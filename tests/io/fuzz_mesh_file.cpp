// libFuzzer target: the mesh side file decoder on arbitrary bytes. Whatever
// it accepts must be usable: indices within the vertices, finite values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "io/MeshFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> bytes(data, data + size);
    MeshFileData mesh;
    std::wstring error;
    if (!DecodeMeshFile(bytes, L"fuzz.tsm", mesh, error))
        return 0;
    if (!mesh.V.allFinite() || (mesh.F.size() > 0 && (mesh.F.minCoeff() < 0 || mesh.F.maxCoeff() >= mesh.V.rows())))
        std::abort();
    if (mesh.faceTextureIDs.size() != static_cast<size_t>(mesh.F.rows()) ||
        mesh.faceTextureScales.size() != static_cast<size_t>(mesh.F.rows()))
        std::abort();
    for (float scale : mesh.faceTextureScales) {
        if (!(scale > 0.0f) || !std::isfinite(scale))
            std::abort();
    }
    for (const FaceColor& color : mesh.faceColors) {
        if (color.r < 0 || color.r > 255 || color.g < 0 || color.g > 255 || color.b < 0 || color.b > 255)
            std::abort();
    }
    return 0;
}
