#include "io/GltfWalk.h"

#include <algorithm>
#include <cmath>

#include "io/GltfAccessors.h"

namespace {

const int GLTF_MODE_TRIANGLES = 4;
const int GLTF_MODE_LAST = 6;

// What reading one primitive gave.
enum PrimitiveOutcome {
    PRIMITIVE_LOADED,
    PRIMITIVE_NO_POSITION,
    PRIMITIVE_SKIPPED,   // a line saying why is already in the log text
};

struct PrimitiveSummary {
    int vertices;
    int triangles;
    int material;
    bool hasIndices;
};

std::wstring Number(long long value) { return std::to_wstring(value); }

// Appends one LF-terminated line, or only counts it once the log is long
// enough: a file of many primitives must not flood the debug window.
void AppendWalkLine(GltfWalkContext& context, const std::wstring& line)
{
    if (context.logLines < MAX_WALK_LOG_LINES)
        context.logText += line;
    else
        ++context.omittedLogLines;
    ++context.logLines;
}

// The TEXCOORD set the material's base-colour texture reads, 0 without one.
int BaseColorTexCoordSet(const tinygltf::Model& gltf, int material)
{
    if (material < 0 || static_cast<size_t>(material) >= gltf.materials.size())
        return 0;
    const tinygltf::TextureInfo& info = gltf.materials[material].pbrMetallicRoughness.baseColorTexture;
    return info.index >= 0 ? info.texCoord : 0;
}

int FindAttribute(const tinygltf::Primitive& primitive, const std::string& name)
{
    auto it = primitive.attributes.find(name);
    return it == primitive.attributes.end() ? -1 : it->second;
}

PrimitiveOutcome Skip(GltfWalkContext& context, const wchar_t* reason)
{
    AppendWalkLine(context, std::wstring(L"    Skipping primitive: ") + reason + L"\n");
    return PRIMITIVE_SKIPPED;
}

// Reads one triangle-list primitive, transformed by `world`, and appends it
// only when all of it is sound.
PrimitiveOutcome ReadPrimitive(GltfWalkContext& context, const tinygltf::Primitive& primitive,
                               const Matrix4& world, PrimitiveSummary& summary)
{
    const tinygltf::Model& gltf = context.document->gltf;
    int positionAccessor = FindAttribute(primitive, "POSITION");
    if (positionAccessor < 0)
        return PRIMITIVE_NO_POSITION;
    long long vertexCount = AccessorCount(gltf, positionAccessor);
    if (vertexCount < 0)
        return Skip(context, L"invalid accessor");

    // Without materials in the file every triangle uses the default grey, 0.
    int material = primitive.material < 0 ? 0 : primitive.material;
    size_t materialCount = std::max<size_t>(gltf.materials.size(), 1);
    if (static_cast<size_t>(material) >= materialCount)
        return Skip(context, L"invalid material");

    long long indexCount = primitive.indices >= 0 ? AccessorCount(gltf, primitive.indices) : vertexCount;
    if (indexCount < 0)
        return Skip(context, L"invalid accessor");
    // Texture coordinates past the vertices are never used: only those up to
    // the vertex count are read, and that work is charged like the rest.
    int texcoordSet = BaseColorTexCoordSet(gltf, primitive.material);
    int texcoordAccessor = FindAttribute(primitive, "TEXCOORD_" + std::to_string(texcoordSet));
    size_t texcoordWork = AccessorPrefixWork(gltf, texcoordAccessor, static_cast<size_t>(vertexCount));
    unsigned long long work = static_cast<unsigned long long>(vertexCount) +
                              static_cast<unsigned long long>(indexCount) + texcoordWork;
    if (work > context.elementBudget)
        return Skip(context, L"more geometry than the file size allows");
    // Charged before reading, so a primitive refused later still costs its work.
    context.elementBudget -= static_cast<size_t>(work);
    context.elementsRead += static_cast<size_t>(work);

    std::vector<float> positions, texcoords;
    if (!ReadAccessorFloats(gltf, positionAccessor, 3, vertexCount, positions))
        return Skip(context, L"unreadable accessor");
    if (texcoordAccessor >= 0 &&
        !ReadAccessorFloatsPrefix(gltf, texcoordAccessor, 2, static_cast<size_t>(vertexCount), texcoords))
        return Skip(context, L"unreadable accessor");

    std::vector<uint32_t> primitiveIndices;
    if (primitive.indices >= 0) {
        if (!ReadAccessorIndices(gltf, primitive.indices, indexCount, primitiveIndices))
            return Skip(context, L"unreadable accessor");
        for (uint32_t index : primitiveIndices) {
            if (index >= vertexCount)
                return Skip(context, L"index out of range");
        }
    } else {
        primitiveIndices.resize(static_cast<size_t>(vertexCount));
        for (size_t i = 0; i < primitiveIndices.size(); ++i)
            primitiveIndices[i] = static_cast<uint32_t>(i);
    }
    // A count that is no multiple of three would shift every later triangle:
    // the incomplete one is dropped.
    primitiveIndices.resize(primitiveIndices.size() / 3 * 3);

    for (size_t i = 0; i < positions.size(); i += 3) {
        std::array<float, 3> p = TransformPoint(world, positions[i], positions[i + 1], positions[i + 2]);
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            return Skip(context, L"position not finite");
        positions[i] = p[0];
        positions[i + 1] = p[1];
        positions[i + 2] = p[2];
    }

    int base = context.vertexCount;
    context.positions.insert(context.positions.end(), positions.begin(), positions.end());
    size_t knownTexcoords = std::min(texcoords.size(), positions.size() / 3 * 2);
    context.texcoords.insert(context.texcoords.end(), texcoords.begin(), texcoords.begin() + knownTexcoords);
    context.texcoords.resize(context.positions.size() / 3 * 2, 0.0f);
    for (uint32_t index : primitiveIndices)
        context.indices.push_back(base + static_cast<int>(index));
    int triangles = static_cast<int>(primitiveIndices.size() / 3);
    context.triangleMaterials.insert(context.triangleMaterials.end(), triangles, material);
    context.vertexCount += static_cast<int>(vertexCount);

    summary.vertices = static_cast<int>(vertexCount);
    summary.triangles = triangles;
    summary.material = material;
    summary.hasIndices = primitive.indices >= 0;
    return PRIMITIVE_LOADED;
}

// The log numbers primitive types from 1 (glTF's mode plus one: triangles 5), 0 for an unknown mode.
long long LoggedPrimitiveType(int mode) { return mode >= 0 && mode <= GLTF_MODE_LAST ? mode + 1 : 0; }

} // namespace

GltfWalkContext::GltfWalkContext(const GltfDocument& document)
    : document(&document), vertexCount(0), logLines(0), omittedLogLines(0), visitedNodes(document.gltf.nodes.size(), false), depth(0),
      elementBudget(std::min(MAX_MODEL_ELEMENTS, document.inputBytes * MODEL_ELEMENTS_PER_INPUT_BYTE)), elementsRead(0)
{
}

void ProcessGLTFNode(GltfWalkContext& context, int node, const Matrix4& parentWorld)
{
    const tinygltf::Model& gltf = context.document->gltf;
    if (node < 0 || static_cast<size_t>(node) >= gltf.nodes.size()) {
        AppendWalkLine(context, L"  Skipping invalid node reference\n");
        return;
    }
    // A node is part of one tree only; a second visit means a cycle or a shared child.
    if (context.visitedNodes[node]) {
        AppendWalkLine(context, L"  Skipping node visited before\n");
        return;
    }
    if (context.depth >= MAX_NODE_DEPTH) {
        AppendWalkLine(context, L"  Skipping nodes nested too deep\n");
        return;
    }
    context.visitedNodes[node] = true;

    const tinygltf::Node& current = gltf.nodes[node];
    Matrix4 world = MultiplyMatrix4(parentWorld, NodeLocalTransform(current));

    if (current.mesh >= 0 && static_cast<size_t>(current.mesh) >= gltf.meshes.size()) {
        AppendWalkLine(context, L"  Skipping invalid mesh reference\n");
    } else if (current.mesh >= 0) {
        const tinygltf::Mesh& mesh = gltf.meshes[current.mesh];
        AppendWalkLine(context, L"  Processing mesh: " + Number(mesh.primitives.size()) + L" primitives\n");
        for (const tinygltf::Primitive& primitive : mesh.primitives) {
            if (primitive.mode != GLTF_MODE_TRIANGLES) {
                AppendWalkLine(context, L"    Skipping non-triangle primitive\n");
                continue;
            }
            PrimitiveSummary summary;
            PrimitiveOutcome outcome = ReadPrimitive(context, primitive, world, summary);
            if (outcome == PRIMITIVE_NO_POSITION)
                AppendWalkLine(context, L"    No position accessor found\n");
            else if (outcome == PRIMITIVE_LOADED)
                AppendWalkLine(context, L"    Loaded primitive: " + Number(summary.vertices) + L" verts, " +
                                   Number(summary.triangles) + L" tris, material " + Number(summary.material) + L"\n");
        }
    }

    ++context.depth;
    for (int child : current.children)
        ProcessGLTFNode(context, child, world);
    --context.depth;
}

void ProcessGLTFMeshesDirectly(GltfWalkContext& context)
{
    const tinygltf::Model& gltf = context.document->gltf;
    const Matrix4 identity = IdentityMatrix4();
    for (size_t j = 0; j < gltf.meshes.size(); ++j) {
        const tinygltf::Mesh& mesh = gltf.meshes[j];
        AppendWalkLine(context, L"  Fallback: Processing mesh " + Number(j) + L": " + Number(mesh.primitives.size()) +
                           L" primitives\n");
        for (const tinygltf::Primitive& primitive : mesh.primitives) {
            if (primitive.mode != GLTF_MODE_TRIANGLES) {
                AppendWalkLine(context, L"    Skipping non-triangle primitive (type=" + Number(LoggedPrimitiveType(primitive.mode)) + L")\n");
                continue;
            }
            PrimitiveSummary summary;
            PrimitiveOutcome outcome = ReadPrimitive(context, primitive, identity, summary);
            if (outcome == PRIMITIVE_NO_POSITION)
                AppendWalkLine(context, L"    No position accessor found\n");
            else if (outcome == PRIMITIVE_LOADED && summary.hasIndices)
                AppendWalkLine(context, L"    Loaded: " + Number(summary.vertices) + L" verts, " + Number(summary.triangles) +
                                   L" tris, material " + Number(summary.material) + L"\n");
            else if (outcome == PRIMITIVE_LOADED)
                AppendWalkLine(context, L"    Loaded (no indices): " + Number(summary.vertices) + L" verts, material " +
                                   Number(summary.material) + L"\n");
        }
    }
}

std::wstring WalkLogText(const GltfWalkContext& context)
{
    if (context.omittedLogLines == 0)
        return context.logText;
    return context.logText + L"  (" + Number(context.omittedLogLines) + L" more lines left out)\n";
}
