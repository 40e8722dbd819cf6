#include "io/RuntimeSceneExport.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <set>

#include "io/FileUtil.h"
#include "io/GlbExport.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"

namespace {

const wchar_t* const GEOMETRY_FILE = L"modeller.glb";

void PutU32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<unsigned char>(value >> (8 * k)));
}

void PutI32(std::vector<unsigned char>& out, int value) { PutU32(out, static_cast<uint32_t>(value)); }

void PutF32(std::vector<unsigned char>& out, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutU32(out, bits);
}

void PutString(std::vector<unsigned char>& out, const std::wstring& text)
{
    PutU32(out, static_cast<uint32_t>(text.size()));
    for (wchar_t c : text)
        out.push_back(static_cast<unsigned char>(c));
}

bool BeyondLatin1(const std::wstring& text)
{
    for (wchar_t c : text) {
        if (static_cast<unsigned long>(c) > 0xFF)
            return true;
    }
    return false;
}

// The runtime reads names as single bytes; say so when that loses characters.
void WarnIfNarrowed(const std::wstring& name)
{
    if (BeyondLatin1(name))
        DebugLog(L"WARNING: Name written to the runtime scene as single bytes loses characters: " + name);
}

std::wstring FoldedName(const std::wstring& name)
{
    std::wstring folded = name;
    for (wchar_t& c : folded) {
        if (c >= L'A' && c <= L'Z')
            c = c - L'A' + L'a';
    }
    return folded;
}

// Copies one model or texture file into the assets folder under its name.
void CopyAsset(const std::wstring& source, const std::wstring& name, const std::wstring& folder,
               std::set<std::wstring>& copiedNames)
{
    WarnIfNarrowed(name);
    const std::wstring folded = FoldedName(name);
    if (folded == GEOMETRY_FILE) {
        DebugLog(L"WARNING: Asset not copied, its name would replace the scene geometry: " + source);
        return;
    }
    if (!copiedNames.insert(folded).second)
        DebugLog(L"WARNING: Two assets are named " + name + L"; the later copy replaces the earlier: " + source);
    if (!CopyFileTo(source, folder + name))
        DebugLog(L"WARNING: Failed to copy asset: " + source);
}

} // namespace

std::wstring RuntimeAssetsFolder(const std::wstring& path)
{
    return FolderPart(path) + L"." + FileStemPart(path) + L"Assets" + PATH_SEPARATOR;
}

std::vector<unsigned char> RuntimeSceneBytes()
{
    std::map<int, std::wstring> fileById;
    for (const Model& model : g_Models)
        fileById[model.id] = model.name;

    std::vector<unsigned char> out = {'T', 'R', 'S', 0};
    PutU32(out, TRS_VERSION);
    PutString(out, GEOMETRY_FILE);
    PutU32(out, static_cast<uint32_t>(g_Models.size()));
    for (const Model& model : g_Models) {
        PutI32(out, model.id);
        PutString(out, fileById[model.id]);
        PutString(out, model.name);
        PutF32(out, model.normalizeScale);
    }
    PutU32(out, static_cast<uint32_t>(g_PropInstances.size()));
    for (const PropInstance& instance : g_PropInstances) {
        PutString(out, instance.name);
        PutI32(out, instance.modelID);
        PutF32(out, instance.position.x - instance.gridCellSize * 0.5f);
        PutF32(out, instance.position.y);
        PutF32(out, instance.position.z - instance.gridCellSize * 0.5f);
        for (const Vec3f* vector : {&instance.rotation, &instance.scale}) {
            PutF32(out, vector->x);
            PutF32(out, vector->y);
            PutF32(out, vector->z);
        }
        PutF32(out, instance.alpha / 255.0f);
        out.push_back(instance.visible ? 1 : 0);
        PutF32(out, instance.gridCellSize);
    }
    return out;
}

ExportOutcome ExportRuntimeScene(const std::wstring& path)
{
    if (g_SceneObjects.empty() && g_PropInstances.empty())
        return ExportOutcome().Fail(L"Scene is empty - nothing to export!");
    DebugLog(L"Exporting scene to TRS: " + path);
    const std::wstring assets = RuntimeAssetsFolder(path);
    CreateFolder(assets.substr(0, assets.size() - 1));

    ExportOutcome outcome = ExportSceneToGLB(assets + GEOMETRY_FILE);
    if (!outcome.written)
        return outcome.Fail(L"Failed to export modeller geometry!");

    std::set<std::wstring> copiedNames;
    for (const Model& model : g_Models)
        CopyAsset(model.path, model.name, assets, copiedNames);
    for (const Texture& texture : g_Textures)
        CopyAsset(texture.path, texture.name, assets, copiedNames);
    for (const PropInstance& instance : g_PropInstances)
        WarnIfNarrowed(instance.name);

    if (!WriteFileReplacing(path, RuntimeSceneBytes()))
        return outcome.Fail(L"Failed to create TRS file!");
    DebugLog(L"TRS export complete: " + path);
    return outcome.Succeed(L"Scene exported to TRS successfully!");
}
