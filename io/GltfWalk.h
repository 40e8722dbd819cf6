// Flattening a glTF node tree into one indexed triangle list: the walk over
// the default scene's nodes (each node once, depth capped) and the fallback
// that reads every mesh untransformed. Every reference and range is checked;
// a primitive that cannot be read whole is skipped with a line in the log text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/GltfDocument.h"
#include "io/GltfTransform.h"

// Deeper node trees are cut off here (with a log line) to bound the recursion.
const int MAX_NODE_DEPTH = 128;
// Upper bounds on vertices plus indices collected from one file: a fixed cap,
// and a multiple of the file's size (nodes may reuse a mesh, but not without end).
const size_t MAX_MODEL_ELEMENTS = size_t(1) << 24;
const size_t MODEL_ELEMENTS_PER_INPUT_BYTE = 8;
// Lines of the walk's log text beyond this are only counted.
const int MAX_WALK_LOG_LINES = 1000;

struct GltfWalkContext {
    const GltfDocument* document;
    std::vector<float> positions;          // x, y, z per vertex
    std::vector<float> texcoords;          // u, v per vertex
    std::vector<int> indices;              // three per triangle
    std::vector<int> triangleMaterials;    // one per triangle
    int vertexCount;
    std::wstring logText;                  // one LF-terminated line per mesh and primitive
    int logLines;
    int omittedLogLines;
    std::vector<bool> visitedNodes;
    int depth;
    size_t elementBudget;                  // vertices, indices and texture coordinates still allowed
    size_t elementsRead;                   // what the walk has charged so far

    explicit GltfWalkContext(const GltfDocument& document);
};

// Walks node `node` and its children; parentWorld applies after the node's own transform.
void ProcessGLTFNode(GltfWalkContext& context, int node, const Matrix4& parentWorld);

// The walk's log text, with a closing line counting what was left out.
std::wstring WalkLogText(const GltfWalkContext& context);

// Reads every mesh of the file in order without node transforms, for files
// that name no default scene.
void ProcessGLTFMeshesDirectly(GltfWalkContext& context);
