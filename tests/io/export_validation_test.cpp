// Exported files checked by independent readers: the Khronos glTF validator
// (run with node) for every GLB and tinyobjloader (run with Debian's python3)
// for every OBJ and MTL. scripts/install-deps installs both; a test run by
// hand without them skips loudly, and fails when TARSEL_REQUIRE_VALIDATORS is
// set (scripts/test sets it).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "ExportTestSupport.h"
#include "ProjectTestSupport.h"
#include "TestSupport.h"
#include "app/CsgCommands.h"
#include "io/GlbExport.h"
#include "io/ObjExport.h"
#include "io/Utf8.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"

namespace {

const int TOOL_MISSING = 2;

struct ToolRun {
    int status = -1;
    std::string output;
};

ToolRun RunTool(const std::string& command)
{
    ToolRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // The shell's "command not found" counts as a missing tool too.
    if (run.status == 127)
        run.status = TOOL_MISSING;
    return run;
}

std::string Quoted(const std::wstring& path) { return "'" + WideToUtf8(path) + "'"; }

// Skips (loudly) or fails when the tool is not installed.
#define REQUIRE_TOOL(run, what)                                                                        \
    if ((run).status == TOOL_MISSING) {                                                                \
        if (std::getenv("TARSEL_REQUIRE_VALIDATORS"))                                                  \
            FAIL() << what << " is not installed (scripts/install-deps installs it):\n" << (run).output; \
        std::fprintf(stderr, "\n*** SKIPPED: %s is not installed; run scripts/install-deps ***\n", what); \
        GTEST_SKIP() << what << " is not installed:\n" << (run).output;                                \
    }

std::string PythonWithDebianModules()
{
    // Debian's python3-tinyobjloader lives beside the system interpreter.
    return std::system("test -x /usr/bin/python3") == 0 ? "/usr/bin/python3" : "python3";
}

size_t CountLinesStarting(const std::string& text, const std::string& prefix)
{
    size_t count = text.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        count += text.compare(at + 1, prefix.size(), prefix) == 0 ? 1 : 0;
    return count;
}

// Every exporter feature on one scene, plus a join of two overlapping objects
// of different colours and textures, so the result carries per-face colours
// and textures; written as GLB and OBJ.
struct ExportValidation : ::testing::Test {
    TempFolder temp{L"tarsel-export-check"};
    const std::wstring glb = temp.File(L"everything.glb"), obj = temp.File(L"everything.obj");
    void SetUp() override
    {
        ResetProjectState();
        BuildExportScene(temp.path);
        AddTextureFile(temp.path, L"join_a.png");
        AddTextureFile(temp.path, L"join_b.png");
        SceneObject a = MakePrimitive(PRIMITIVE_CUBE, L"A", 10, 0, 0, 12, 2, 2);
        a.texture = static_cast<int>(g_Textures.size()) - 2;
        a.r = 200;
        SceneObject b = MakePrimitive(PRIMITIVE_SPHERE, L"B", 11, 1, 1, 13, 3, 3);
        b.texture = static_cast<int>(g_Textures.size()) - 1;
        b.b = 30;
        b.texScale = 0.5f;
        const int first = static_cast<int>(g_SceneObjects.size());
        g_SceneObjects.push_back(a);
        g_SceneObjects.push_back(b);
        g_SelectedObjects = {first, first + 1};
        g_SelectedObjectIndex = first;
        JoinSelectedObjects();
        ASSERT_TRUE(g_SceneObjects.back().isCSGMesh);
        ASSERT_FALSE(g_SceneObjects.back().faceTextureIDs.empty());
        ASSERT_TRUE(ExportSceneToGLB(glb).written);
        ASSERT_TRUE(ExportSceneToOBJ(obj).written);
    }
    void TearDown() override { ResetProjectState(); }
};

TEST_F(ExportValidation, TheGlbPassesTheKhronosValidator)
{
    ToolRun run = RunTool("node '" TARSEL_VALIDATOR_DIR "validate_glb.js' " + Quoted(glb));
    REQUIRE_TOOL(run, "node with the gltf-validator package");
    std::printf("%s", run.output.c_str());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(": 0 errors"), std::string::npos) << run.output;
}

TEST_F(ExportValidation, TheObjAndMtlReadCleanlyWithTinyObjLoader)
{
    ToolRun run = RunTool(PythonWithDebianModules() + " '" TARSEL_VALIDATOR_DIR "read_obj.py' " + Quoted(obj));
    REQUIRE_TOOL(run, "python3 with python3-tinyobjloader");
    std::printf("%s", run.output.c_str());
    ASSERT_EQ(run.status, 0) << run.output;
    size_t vertices = 0, texcoords = 0, normals = 0, triangles = 0, materials = 0;
    const size_t colon = run.output.rfind(": vertices=");
    ASSERT_TRUE(colon != std::string::npos &&
                std::sscanf(run.output.c_str() + colon, ": vertices=%zu texcoords=%zu normals=%zu triangles=%zu "
                            "materials=%zu", &vertices, &texcoords, &normals, &triangles, &materials) == 5)
        << run.output;
    // The reader sees every vertex and face written, and as many triangles as the GLB holds.
    const std::string text = FileText(obj);
    EXPECT_EQ(vertices, CountLinesStarting(text, "v "));
    EXPECT_EQ(triangles, CountLinesStarting(text, "f "));
    EXPECT_GT(materials, 10u);
    size_t glbTriangles = 0;
    const nlohmann::json json = nlohmann::json::parse(ReadGlb(FileBytes(glb)).json);
    for (const auto& accessor : json["accessors"]) {
        if (accessor["type"] == "SCALAR")
            glbTriangles += accessor["count"].get<size_t>() / 3;
    }
    EXPECT_EQ(triangles, glbTriangles);
}

} // namespace
