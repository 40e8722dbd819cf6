#include "viewport/DrawCache.h"

#include <windows.h>
#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>

#include "scene/SceneState.h"

namespace {

struct CachedList {
    GLuint list = 0;
    unsigned int lastFrame = 0;
};

// A copy of everything a mesh list was compiled from. The texture names
// stand for the bindings that per-face textures compiled into the list.
struct MeshEntry {
    CachedList cached;
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    float texScale = 0.0f;
    std::vector<int> faceTextureIDs;
    std::vector<float> faceTextureScales;
    std::vector<FaceColor> faceColors;
    int alpha = 0;
    std::vector<unsigned int> textureNames;
};

using PrimitiveKey = std::tuple<int, std::array<std::uint32_t, 7>>;
// Where a mesh's arrays live: a hint that finds its entry, whose contents are
// then compared in full.
using MeshSlot = std::array<std::uintptr_t, 6>;

std::map<PrimitiveKey, CachedList> g_PrimitiveLists;
std::map<MeshSlot, MeshEntry> g_MeshLists;
unsigned int g_CacheFrame = 1;

// Bit patterns, so that -0 and 0 or two NaNs are told apart as the GL would.
std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

template <typename T>
bool SameBytes(const T* a, const T* b, size_t count)
{
    return count == 0 || std::memcmp(a, b, count * sizeof(T)) == 0;
}

template <typename T>
bool SameVector(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && SameBytes(a.data(), b.data(), a.size());
}

std::vector<unsigned int> TextureNames()
{
    std::vector<unsigned int> names;
    names.reserve(g_Textures.size());
    for (const Texture& texture : g_Textures)
        names.push_back(texture.glName);
    return names;
}

bool MatchesEntry(const MeshInputs& mesh, const MeshEntry& entry)
{
    const Eigen::MatrixXd& V = *mesh.V;
    const Eigen::MatrixXi& F = *mesh.F;
    return V.rows() == entry.V.rows() && F.rows() == entry.F.rows() && V.cols() == entry.V.cols() &&
           F.cols() == entry.F.cols() && Bits(mesh.texScale) == Bits(entry.texScale) && mesh.alpha == entry.alpha &&
           SameBytes(V.data(), entry.V.data(), V.size()) && SameBytes(F.data(), entry.F.data(), F.size()) &&
           SameVector(*mesh.faceTextureIDs, entry.faceTextureIDs) &&
           SameVector(*mesh.faceTextureScales, entry.faceTextureScales) &&
           entry.faceColors.size() == mesh.faceColors->size() &&
           std::equal(entry.faceColors.begin(), entry.faceColors.end(), mesh.faceColors->begin(),
                      [](const FaceColor& a, const FaceColor& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }) &&
           SameVector(TextureNames(), entry.textureNames);
}

// Replays the list when it is current; otherwise (re)compiles it while
// drawing.
template <typename Draw>
void CallOrCompile(CachedList& cached, bool current, Draw draw)
{
    cached.lastFrame = g_CacheFrame;
    if (cached.list != 0 && current) {
        glCallList(cached.list);
        return;
    }
    if (cached.list == 0)
        cached.list = glGenLists(1);
    if (cached.list == 0) {
        draw();
        return;
    }
    glNewList(cached.list, GL_COMPILE_AND_EXECUTE);
    draw();
    glEndList();
}

template <typename Map, typename ListOf>
void DeleteStale(Map& map, ListOf listOf)
{
    for (auto it = map.begin(); it != map.end();) {
        CachedList& cached = listOf(it->second);
        if (cached.lastFrame + 1 < g_CacheFrame) {
            if (cached.list != 0)
                glDeleteLists(cached.list, 1);
            it = map.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

void DrawPrimitiveCached(const PrimitiveShape& shape, void (*drawShape)(const PrimitiveShape&))
{
    const PrimitiveKey key(shape.type, {Bits(shape.minX), Bits(shape.minY), Bits(shape.minZ), Bits(shape.maxX),
                                        Bits(shape.maxY), Bits(shape.maxZ), Bits(shape.texScale)});
    CachedList& cached = g_PrimitiveLists[key];
    CallOrCompile(cached, true, [&] { drawShape(shape); });
}

void DrawMeshCached(const MeshInputs& mesh, void (*drawMesh)(const MeshInputs&))
{
    const MeshSlot slot = {reinterpret_cast<std::uintptr_t>(mesh.V->data()),
                           reinterpret_cast<std::uintptr_t>(mesh.F->data()),
                           reinterpret_cast<std::uintptr_t>(mesh.faceTextureIDs->data()),
                           reinterpret_cast<std::uintptr_t>(mesh.faceTextureScales->data()),
                           reinterpret_cast<std::uintptr_t>(mesh.faceColors->data()),
                           static_cast<std::uintptr_t>(mesh.alpha)};
    MeshEntry& entry = g_MeshLists[slot];
    const bool current = entry.cached.list != 0 && MatchesEntry(mesh, entry);
    if (!current) {
        entry.V = *mesh.V;
        entry.F = *mesh.F;
        entry.texScale = mesh.texScale;
        entry.faceTextureIDs = *mesh.faceTextureIDs;
        entry.faceTextureScales = *mesh.faceTextureScales;
        entry.faceColors = *mesh.faceColors;
        entry.alpha = mesh.alpha;
        entry.textureNames = TextureNames();
    }
    CallOrCompile(entry.cached, current, [&] { drawMesh(mesh); });
}

void AgeDrawCaches()
{
    DeleteStale(g_PrimitiveLists, [](CachedList& cached) -> CachedList& { return cached; });
    DeleteStale(g_MeshLists, [](MeshEntry& entry) -> CachedList& { return entry.cached; });
    ++g_CacheFrame;
}

void ForgetDrawCaches()
{
    g_PrimitiveLists.clear();
    g_MeshLists.clear();
}
