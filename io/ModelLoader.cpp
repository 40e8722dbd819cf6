#include "io/ModelLoader.h"

#include <algorithm>
#include <cmath>

#include "io/FileUtil.h"
#include "io/GltfDocument.h"
#include "io/GltfMaterials.h"
#include "io/GltfWalk.h"
#include "io/TextureUpload.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"

namespace {

void ReleaseMaterialTextures(Model& model)
{
    std::vector<unsigned int> names = model.materialTextures;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (unsigned int name : names)
        ReleaseTexture(name);
    model.materialTextures.assign(model.materialTextures.size(), 0);
}

void WalkGeometry(GltfWalkContext& context)
{
    const tinygltf::Model& gltf = context.document->gltf;
    int scene = gltf.defaultScene;
    if (scene >= 0 && static_cast<size_t>(scene) < gltf.scenes.size() && !gltf.scenes[scene].nodes.empty()) {
        const std::vector<int>& roots = gltf.scenes[scene].nodes;
        DebugLog(L"Processing scene with " + std::to_wstring(roots.size()) + L" root nodes");
        for (int root : roots)
            ProcessGLTFNode(context, root, IdentityMatrix4());
    } else {
        DebugLog(L"WARNING: No scene or nodes found - trying to load meshes directly");
        ProcessGLTFMeshesDirectly(context);
    }
    if (!context.logText.empty())
        DebugLog(WalkLogText(context));
}

std::wstring BoundsText(float low, float high)
{
    return std::to_wstring(low) + L" to " + std::to_wstring(high);
}

// Fills V, UV, F and faceMaterial from the walk and normalises V.
void BuildGeometry(const GltfWalkContext& context, Model& model)
{
    const std::vector<float>& positions = context.positions;
    Eigen::Index n = static_cast<Eigen::Index>(positions.size() / 3);
    Eigen::Index m = static_cast<Eigen::Index>(context.indices.size() / 3);
    model.UV.resize(n, 2);
    model.F.resize(m, 3);
    model.faceMaterial.resize(m);
    for (Eigen::Index i = 0; i < n; ++i) {
        model.UV(i, 0) = context.texcoords[2 * i];
        model.UV(i, 1) = context.texcoords[2 * i + 1];
    }
    for (Eigen::Index i = 0; i < m; ++i) {
        for (int k = 0; k < 3; ++k)
            model.F(i, k) = context.indices[3 * i + k];
        model.faceMaterial(i) = context.triangleMaterials[i];
    }
    model.baseColor = model.materialColors[0];

    float low[3], high[3];
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = high[axis] = positions[axis];
        for (Eigen::Index i = 1; i < n; ++i) {
            low[axis] = std::min(low[axis], positions[3 * i + axis]);
            high[axis] = std::max(high[axis], positions[3 * i + axis]);
        }
    }
    DebugLog(L"Loaded " + std::to_wstring(n) + L" verts, " + std::to_wstring(m) + L" faces");
    DebugLog(L"  Original bounds: X[" + BoundsText(low[0], high[0]) + L"] Y[" + BoundsText(low[1], high[1]) +
             L"] Z[" + BoundsText(low[2], high[2]) + L"]");

    float largest = std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
    if (!std::isfinite(largest))   // extents beyond float range: take the factor from doubles
        largest = static_cast<float>(std::max({double(high[0]) - low[0], double(high[1]) - low[1],
                                               double(high[2]) - low[2]}));
    float scale = largest > 0.0f ? 1.0f / largest : 1.0f;
    model.V.resize(n, 3);
    for (int axis = 0; axis < 3; ++axis) {
        // Halves first, so the centre of huge bounds does not overflow.
        float centre = low[axis] * 0.5f + high[axis] * 0.5f;
        for (Eigen::Index i = 0; i < n; ++i)
            model.V(i, axis) = (positions[3 * i + axis] - centre) * scale;
    }
    model.normalizeScale = scale;
    DebugLog(L"  Normalized: scale=" + std::to_wstring(scale) + L", centered at origin, fits in 1x1x1 cube");
}

} // namespace

bool ReadGltfModel(const std::vector<unsigned char>& bytes, const std::wstring& folder, Model& model)
{
    GltfDocument document;
    GltfParseResult parsed = ParseGltfDocument(bytes, folder, document);
    if (parsed == GLTF_BUFFERS_MISSING) {
        DebugLog(L"ERROR: Failed to load GLB buffers");
        return false;
    }
    if (parsed != GLTF_PARSED) {
        DebugLog(L"ERROR: Failed to parse GLB file");
        return false;
    }
    LoadModelMaterials(document, folder, model);

    GltfWalkContext context(document);
    WalkGeometry(context);
    if (context.positions.empty() || context.indices.empty()) {
        DebugLog(L"ERROR: No geometry found in GLB file");
        // Nothing will ever refer to these textures.
        ReleaseMaterialTextures(model);
        return false;
    }
    BuildGeometry(context, model);
    return true;
}

int LoadGLBModel(const std::wstring& path)
{
    for (size_t i = 0; i < g_Models.size(); ++i) {
        if (g_Models[i].path == path)
            return static_cast<int>(i);
    }

    Model model;
    model.id = g_NextModelId++;
    model.path = path;
    model.name = FileNamePart(path);
    DebugLog(L"Loading model: " + path);

    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, bytes, MAX_MODEL_FILE_BYTES)) {
        DebugLog(L"ERROR: Failed to parse GLB file");
        return -1;
    }
    if (!ReadGltfModel(bytes, FolderPart(path), model))
        return -1;
    g_Models.push_back(model);
    return static_cast<int>(g_Models.size()) - 1;
}
