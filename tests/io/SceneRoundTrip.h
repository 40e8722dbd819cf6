// Scenes drawn from bytes, with hostile names and paths, for the project
// file's round-trip test and its fuzz target: the scene is saved, read back
// and compared field by field. No test framework here, so libFuzzer can use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/SceneState.h"

// Hands out the input's bytes, then zeros.
struct ByteSource {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    unsigned Next() { return at < size ? data[at++] : 0u; }
    // 0 to n - 1.
    int Below(int n);
};

struct RoundTripOptions {
    std::wstring folder;                   // the project's folder, with its separator
    std::vector<std::wstring> modelPaths;  // model files that load; brushes and instances use them
    bool meshes = false;                   // explicit meshes too (their side files go to disk)
};

// Text built from pieces that break markup (quotes, "</Name>", "\">",
// references, line breaks), Latin-1 pairs that look like UTF-8, and
// characters beyond one byte. fileName keeps to what file names may hold.
std::wstring HostileText(ByteSource& source, bool fileName);

// Replaces settings, textures, models, brushes, objects and prop instances
// with ones drawn from source. Every float has at most six significant
// digits, so the file keeps it exactly.
void BuildSceneFromBytes(ByteSource& source, const RoundTripOptions& options);

// What a load of the current scene's file must give back.
struct ExpectedScene {
    std::vector<SceneObject> objects;        // primitives first, then meshes, as the reader orders them
    std::vector<PropInstance> instances;
    std::vector<PropBrush> brushes;          // saved ones only
    std::vector<std::wstring> texturePaths;
    std::vector<Model> models;
    float grid[4];
    float camera[6];
};
ExpectedScene CaptureScene();

// The first difference between the scene now and expected, empty when none.
std::string DifferenceFrom(const ExpectedScene& expected);

// How many of expected's objects, prop instances, saved brushes, textures and
// models have no equal in the scene now (each object match used once). A
// record that only refers to a damaged one (a texture or model) still counts
// as equal: references are left out.
int UnmatchedRecords(const ExpectedScene& expected);
