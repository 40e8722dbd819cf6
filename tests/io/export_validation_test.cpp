// Exported files checked by independent readers: the Khronos glTF validator
// (run with node) for every GLB and tinyobjloader (run with Debian's python3)
// for every OBJ and MTL. scripts/install-deps installs both; a test run by
// hand without them skips loudly, and fails when TARSEL_REQUIRE_VALIDATORS is
// set (scripts/test sets it).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

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

void AddJoinedMesh(const std::wstring& folder);

struct ExportValidation : ::testing::Test {
    TempFolder temp{L"tarsel-export-check"};
    std::vector<std::wstring> glbFiles, objFiles;
    size_t glbTriangles = 0;
    void SetUp() override { ResetProjectState(); }
    void TearDown() override { ResetProjectState(); }

    void ExportBoth(const std::wstring& stem)
    {
        const std::wstring glb = temp.File(stem + L".glb"), obj = temp.File(stem + L".obj");
        ASSERT_TRUE(ExportSceneToGLB(glb).written) << WideToUtf8(stem);
        ASSERT_TRUE(ExportSceneToOBJ(obj).written) << WideToUtf8(stem);
        glbFiles.push_back(glb);
        objFiles.push_back(obj);
    }

    // Every kind of object, each primitive type alone at several sizes, and
    // one scene of everything; sets glbTriangles to that scene's triangles.
    void ExportEverything()
    {
        // Each primitive type alone at several sizes and texture scales.
        for (int type = PRIMITIVE_CUBE; type <= PRIMITIVE_WEDGE; ++type) {
            for (float size : {0.01f, 1.0f, 37.5f}) {
                SceneObject object = MakePrimitive(type, L"P", -size, 0, 2, size, size * 0.5f, 2 + size * 3);
                object.texScale = size;
                g_SceneObjects = {object};
                ExportBoth(L"type" + std::to_wstring(type) + L"_" + std::to_wstring(static_cast<int>(size * 100)));
            }
        }
        g_SceneObjects = {MakePrimitive(PRIMITIVE_CONE, L"Flat", 0, 1, 0, 2, 1, 2)};
        ExportBoth(L"flat_cone");
        SceneObject glass = MakePrimitive(PRIMITIVE_CUBE, L"Glass", 0, 0, 0, 1, 1, 1);
        glass.a = 128;
        g_SceneObjects = {glass};
        ExportBoth(L"alpha128");

        g_SceneObjects.clear();
        BuildExportScene(temp.path);
        AddJoinedMesh(temp.path);
        ExportBoth(L"everything");
        const nlohmann::json json = nlohmann::json::parse(ReadGlb(FileBytes(glbFiles.back())).json);
        for (const auto& accessor : json["accessors"]) {
            if (accessor["type"] == "SCALAR")
                glbTriangles += accessor["count"].get<size_t>() / 3;
        }
    }

    static std::string QuotedList(const std::vector<std::wstring>& files)
    {
        std::string list;
        for (const std::wstring& file : files)
            list += " " + Quoted(file);
        return list;
    }
};

// Joins two overlapping cubes of different colours and textures, so the
// result carries per-face colours and textures.
void AddJoinedMesh(const std::wstring& folder)
{
    AddTextureFile(folder, L"join_a.png");
    AddTextureFile(folder, L"join_b.png");
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
    ASSERT_EQ(g_SceneObjects.size(), static_cast<size_t>(first + 3));
    const SceneObject& joined = g_SceneObjects.back();
    ASSERT_TRUE(joined.isCSGMesh);
    ASSERT_EQ(joined.faceColors.size(), static_cast<size_t>(joined.F.rows()));
    ASSERT_EQ(joined.faceTextureIDs.size(), static_cast<size_t>(joined.F.rows()));
}

size_t CountLinesStarting(const std::string& text, const std::string& prefix)
{
    size_t count = 0;
    for (size_t at = 0; at < text.size();) {
        if (text.compare(at, prefix.size(), prefix) == 0)
            ++count;
        const size_t end = text.find('\n', at);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return count;
}

TEST_F(ExportValidation, EveryGlbPassesTheKhronosValidator)
{
    ASSERT_NO_FATAL_FAILURE(ExportEverything());
    ToolRun glb = RunTool("node '" TARSEL_VALIDATOR_DIR "validate_glb.js'" + QuotedList(glbFiles));
    REQUIRE_TOOL(glb, "node with the gltf-validator package");
    std::printf("%s", glb.output.c_str());
    EXPECT_EQ(glb.status, 0) << glb.output;
    EXPECT_EQ(std::count(glb.output.begin(), glb.output.end(), '\n'), static_cast<long>(glbFiles.size()))
        << glb.output;
}

TEST_F(ExportValidation, EveryObjAndMtlReadsCleanlyWithTinyObjLoader)
{
    ASSERT_NO_FATAL_FAILURE(ExportEverything());
    ToolRun obj =
        RunTool(PythonWithDebianModules() + " '" TARSEL_VALIDATOR_DIR "read_obj.py'" + QuotedList(objFiles));
    REQUIRE_TOOL(obj, "python3 with python3-tinyobjloader");
    std::printf("%s", obj.output.c_str());
    ASSERT_EQ(obj.status, 0) << obj.output;
    // Each file's triangles as written; the big scene's match its GLB.
    size_t checked = 0;
    std::istringstream lines(obj.output);
    for (std::string text; std::getline(lines, text);) {
        const size_t colon = text.rfind(": vertices=");
        size_t vertices = 0, texcoords = 0, normals = 0, triangles = 0, materials = 0;
        ASSERT_TRUE(colon != std::string::npos &&
                    std::sscanf(text.c_str() + colon, ": vertices=%zu texcoords=%zu normals=%zu triangles=%zu "
                                "materials=%zu", &vertices, &texcoords, &normals, &triangles, &materials) == 5)
            << text;
        const std::string file = text.substr(0, colon);
        const std::string objText = FileText(Utf8ToWide(file));
        EXPECT_EQ(triangles, CountLinesStarting(objText, "f ")) << text;
        EXPECT_EQ(vertices, CountLinesStarting(objText, "v ")) << text;
        if (file == WideToUtf8(objFiles.back())) {
            EXPECT_EQ(triangles, glbTriangles);
            EXPECT_GT(materials, 10u);
        }
        ++checked;
    }
    EXPECT_EQ(checked, objFiles.size());
}

} // namespace
