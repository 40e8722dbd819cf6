// Load time of hostile glTF binaries of about 1 MB: one mesh shared by tens
// of thousands of nodes, its TEXCOORD_0 accessor claiming far more elements
// than the mesh has vertices, once with the coordinates in the file and once
// without a buffer view (zeros), claiming nearly the file's whole element
// budget. Before texture coordinates were bounded by the vertex count, every
// node re-read the whole accessor (work growing with the square of the file
// size). Prints the median load time and the vertices loaded.
// Usage: gltf_bench [runs [kilobytes]]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "io/ModelLoader.h"
#include "scene/DebugLog.h"

namespace {

const int DEFAULT_RUNS = 5;
const size_t TARGET_BYTES = size_t(1) << 20;

void PutU32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A GLB with nodes sharing mesh 0 and texcoords texture coordinates, stored
// in the file when backed, else zeros without a buffer view.
std::vector<unsigned char> HostileGlb(size_t nodes, size_t texcoords, bool backed)
{
    std::vector<unsigned char> bin;
    const float triangle[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    bin.resize(sizeof triangle + (backed ? texcoords * 8 : 0), 0);
    std::memcpy(bin.data(), triangle, sizeof triangle);
    std::string json = "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) +
                       "}],\"bufferViews\":[{\"buffer\":0,\"byteOffset\":0,\"byteLength\":36}" +
                       (backed ? ",{\"buffer\":0,\"byteOffset\":36,\"byteLength\":" + std::to_string(texcoords * 8) + "}" : "") +
                       "],"
                       "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":3,\"type\":\"VEC3\","
                       "\"min\":[0,0,0],\"max\":[1,1,0]},{" + std::string(backed ? "\"bufferView\":1," : "") +
                       "\"componentType\":5126,\"count\":" + std::to_string(texcoords) + ",\"type\":\"VEC2\"}],"
                       "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0,\"TEXCOORD_0\":1}}]}],\"nodes\":[";
    for (size_t i = 0; i < nodes; ++i)
        json += i ? ",{\"mesh\":0}" : "{\"mesh\":0}";
    json += "],\"scene\":0,\"scenes\":[{\"nodes\":[";
    for (size_t i = 0; i < nodes; ++i)
        json += (i ? "," : "") + std::to_string(i);
    json += "]}]}";
    while (json.size() % 4)
        json += ' ';
    std::vector<unsigned char> glb;
    PutU32(glb, 0x46546C67);   // "glTF"
    PutU32(glb, 2);
    PutU32(glb, static_cast<uint32_t>(12 + 8 + json.size() + 8 + bin.size()));
    PutU32(glb, static_cast<uint32_t>(json.size()));
    PutU32(glb, 0x4E4F534A);   // "JSON"
    glb.insert(glb.end(), json.begin(), json.end());
    PutU32(glb, static_cast<uint32_t>(bin.size()));
    PutU32(glb, 0x004E4942);   // "BIN\0"
    glb.insert(glb.end(), bin.begin(), bin.end());
    return glb;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : DEFAULT_RUNS;
    // Half the bytes for nodes (about 17 bytes each), half for coordinates
    // (8 bytes each): the split that made the old walk's work largest.
    const size_t bytes = argc > 2 ? static_cast<size_t>(std::max(1, std::atoi(argv[2]))) << 10 : TARGET_BYTES;
    const size_t backedNodes = bytes / 2 / 17;
    const size_t unbackedNodes = bytes / 17;
    // Just under the element budget (8 per byte of the file) left once every
    // node took its share; the count's own digits change the size by little.
    const size_t unbackedSize = HostileGlb(unbackedNodes, 0, false).size();
    const size_t unbackedCount = unbackedSize * 8 - unbackedNodes * 6 - 64;
    struct Case {
        const char* what;
        std::vector<unsigned char> glb;
        size_t nodes, texcoords;
    } cases[] = {
        {"TEXCOORD_0 in the file", HostileGlb(backedNodes, bytes / 2 / 8, true), backedNodes, bytes / 2 / 8},
        {"TEXCOORD_0 of zeros, no buffer view", HostileGlb(unbackedNodes, unbackedCount, false), unbackedNodes,
         unbackedCount},
    };
    for (const Case& hostile : cases) {
        std::printf("hostile glTF, %s: %zu bytes, %zu nodes sharing one 3-vertex mesh, TEXCOORD_0 of %zu elements\n",
                    hostile.what, hostile.glb.size(), hostile.nodes, hostile.texcoords);
        std::vector<double> times;
        long long vertices = 0;
        for (int run = 0; run < runs; ++run) {
            Model model;
            auto start = std::chrono::steady_clock::now();
            bool loaded = ReadGltfModel(hostile.glb, L"", model);
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            vertices = loaded ? static_cast<long long>(model.V.rows()) : -1;
        }
        std::sort(times.begin(), times.end());
        std::printf("  load: median %.1f ms of %d runs (min %.1f, max %.1f); %lld vertices loaded\n", times[runs / 2],
                    runs, times.front(), times.back(), vertices);
    }
    return 0;
}
