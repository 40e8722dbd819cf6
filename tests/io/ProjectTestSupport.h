// Helpers for the project file tests: a clean scene state, the fixed scene
// the golden files were written by hand for, and file reads.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"

// Empties the scene, selections and history and restores camera, grid and
// counters; then ResetAssetState (log capture, fake texture upload).
void ResetProjectState();

// The fixed scene of tests/io/golden/scene.tsp, saved into folder (which
// ends with a separator): texture and model paths lie in folder where the
// golden file has them relative.
void BuildGoldenScene(const std::wstring& folder);

// A clean project state around each test, and a folder "exe" holding
// config/customprop.glb (one triangle) as beside the executable.
struct ProjectFileTest : ::testing::Test {
    TempFolder temp;
    std::wstring executable;   // with its separator

    void SetUp() override;
    void TearDown() override;
};

// A file of tests/io/golden.
std::wstring GoldenFile(const std::wstring& name);

std::vector<unsigned char> FileBytes(const std::wstring& path);
std::string FileText(const std::wstring& path);
