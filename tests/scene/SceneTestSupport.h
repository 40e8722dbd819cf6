// Test helpers for the scene core: a fixture that resets every scene global
// and hook around each test, hooks that record their calls, and mesh checks.
#pragma once

#include <string>
#include <vector>

#include <Eigen/Core>
#include <gtest/gtest.h>

#include "scene/SceneTypes.h"

const double PI_D = 3.14159265358979323846;

// What the recording hooks saw, in call order.
struct HookRecord {
    std::vector<std::string> calls;        // hook names
    std::vector<int> selectedTreeItems;     // arguments of SelectTreeItemByObjectIndex
    std::vector<bool> guardWhileSelecting;  // g_TreeSelectionGuard at each of those calls
    std::vector<bool> toolsEnabled;         // arguments of SetCreationToolsEnabled
    std::vector<std::wstring> logLines;
    bool ctrlDown = false;                  // answer of IsCtrlKeyDown
};

extern HookRecord g_HookRecord;

// Every container, selection, state variable and undo stack back to its
// start-up value. The hooks and the placeholder texture stay as they are (a
// running program's panels and OpenGL context).
void ResetSceneState();

// The same, with the hooks back to their no-op defaults and the record emptied.
void ResetSceneGlobals();

// Points every hook at a recorder writing into g_HookRecord.
void InstallRecordingHooks();

int CountCalls(const std::string& name);

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSceneGlobals(); }
    void TearDown() override { ResetSceneGlobals(); }
};

// A primitive of the given type, name and bounds, every other field default.
SceneObject MakePrimitive(int type, const std::wstring& name, float minX, float minY, float minZ, float maxX,
                          float maxY, float maxZ);

// Mesh checks.
double SignedVolume(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F);
// Every directed edge used once and its reverse once: closed and consistently wound.
bool IsClosedAndConsistent(const Eigen::MatrixXi& F);
// No triangle of (near) zero area, no two triangles on the same three vertices.
bool HasNoDegenerateOrDuplicateTriangles(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F);
bool AllIndicesInRange(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F);
Eigen::Vector3d TriangleNormal(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, int face);
