// Helpers for the CSG command tests: a fixture with recording hooks over a
// clean scene, object builders and checks on the log and on meshes.
#pragma once

#include <string>
#include <vector>

#include "SceneTestSupport.h"
#include "scene/SceneTypes.h"

class CsgTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        InstallRecordingHooks();
    }
};

// A primitive with the given bounds and colour; appended, its index returned.
int AddPrimitive(int type, float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                 const std::wstring& name, int r = 255, int g = 255, int b = 255);
int AddCube(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, const std::wstring& name,
            int r = 255, int g = 255, int b = 255);
int AddHole(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, const std::wstring& name);
// A flat knife: the rectangle y = height over the given x-z square.
int AddKnife(float centreX, float height, float centreZ, float halfSize, const std::wstring& name);

// An explicit mesh the engine refuses: a cube with one triangle missing.
int AddOpenMesh(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, const std::wstring& name);

// Logs as the recording hook does, then throws std::runtime_error("simulated
// failure") for a line with the given start: a failure deep inside a command.
void ThrowOnLogLinesStartingWith(const std::wstring& start);

double ObjectVolume(const SceneObject& object);
bool HasLogLine(const std::wstring& line);
bool HasLogLineStartingWith(const std::wstring& start);
int UndoDepth();
