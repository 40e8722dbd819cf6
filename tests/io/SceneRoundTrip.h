// Scenes drawn from bytes, with hostile names and paths, for the project
// file's round-trip test and its fuzz target (no test framework here).
#pragma once

#include <array>
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
    int Below(int n);   // 0 to n - 1
};

struct RoundTripOptions {
    std::wstring folder;                   // the project's folder, with its separator
    std::vector<std::wstring> modelPaths;  // model files that load; brushes and instances use them
    bool meshes = false;                   // explicit meshes too (their side files go to disk)
};

// Text from pieces that break markup, Latin-1 pairs that look like UTF-8 and
// characters beyond one byte; fileName keeps to what file names may hold.
std::wstring HostileText(ByteSource& source, bool fileName);

// Replaces the whole scene with one drawn from source; every float is kept
// exactly by the file.
void BuildSceneFromBytes(ByteSource& source, const RoundTripOptions& options);

// What a load of the current scene's file must give back.
struct ExpectedScene {
    std::vector<SceneObject> objects;        // primitives first, then meshes, as the reader orders them
    std::vector<PropInstance> instances;
    std::vector<PropBrush> brushes;          // saved ones only
    std::vector<std::wstring> texturePaths;
    std::vector<Model> models;
    std::array<float, 10> view;              // grid, then camera
};
ExpectedScene CaptureScene();

// The first difference between the scene now and expected, empty when none.
std::string DifferenceFrom(const ExpectedScene& expected);

// How many of expected's records have no equal in the scene now, references
// to textures and models left out.
int UnmatchedRecords(const ExpectedScene& expected);
