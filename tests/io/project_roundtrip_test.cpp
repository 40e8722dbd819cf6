// Every file the writer writes reads back to the same scene, whatever names
// and paths hold; a damaged file costs at most its damaged element and is
// never reported as fully read when something is missing.
#include <gtest/gtest.h>

#include <random>

#include "ProjectTestSupport.h"
#include "SceneRoundTrip.h"
#include "TestSupport.h"
#include "io/FileUtil.h"
#include "io/ModelLoader.h"
#include "io/ProjectReader.h"
#include "io/ProjectWriter.h"
#include "io/PropBrushes.h"
#include "io/Utf8.h"

namespace {

const wchar_t* const PROJECT_NAMES[] = {L"scene.tsp", L"\u0423\u0440\u043E\u0432\u0435\u043D\u044C.tsp",
                                        L"\u4E2D & co.tsp", L"it's #1;.tsp"};

using ProjectRoundTripTest = ProjectFileTest;

} // namespace

TEST_F(ProjectRoundTripTest, HostileScenesReadBackFieldByField)
{
    std::wstring folder = temp.MakeSubfolder(L"\u041F\u0430\u043F\u043A\u0430 \u4E2D");
    std::mt19937 random(12);
    for (int seed = 0; seed < 300; ++seed) {
        std::vector<uint8_t> bytes(600);
        for (uint8_t& byte : bytes)
            byte = static_cast<uint8_t>(random());
        ByteSource source{bytes.data(), bytes.size()};
        RoundTripOptions options;
        options.folder = folder;
        options.meshes = true;
        for (int m = 0; m < 2; ++m) {
            std::wstring path = folder + L"m" + std::to_wstring(m) + HostileText(source, true) + L".glb";
            WriteTestFile(path, TriangleGlb({0, 0, 0, 1, 0, 0, 0, 1, static_cast<float>(m)}));
            options.modelPaths.push_back(path);
        }
        g_Models.clear();
        BuildSceneFromBytes(source, options);
        ExpectedScene expected = CaptureScene();
        std::wstring path = folder + PROJECT_NAMES[seed % 4];
        std::wstring failure;
        ASSERT_TRUE(SaveScene(path, failure)) << WideToUtf8(failure);
        g_Textures.clear();   // the reader appends to them
        ProjectLoadReport report;
        ASSERT_TRUE(LoadScene(path, executable, &report));
        ASSERT_TRUE(report.Clean()) << "seed " << seed << ": " << WideToUtf8(PartialLoadMessage(report));
        ASSERT_EQ(DifferenceFrom(expected), "") << "seed " << seed;
        ASSERT_EQ(g_CurrentScenePath, path);
    }
}

TEST_F(ProjectRoundTripTest, PlainFilesWithMarkupInNamesReadWhole)
{
    // Written without escaping, as files always were: the name runs to the
    // last "</Name>" of its line and the brush name to the tag's end.
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<OstrelScene version=\"1.0\">\r\n"
                       "  <PropBrushes>\r\n    <PropBrush id=\"1\" modelID=\"-1\" name=\"Crate\">\"/>\r\n"
                       "    <PropBrush id=\"2\" modelID=\"-1\" name=\"R&D <1>\"/>\r\n  </PropBrushes>\r\n"
                       "  <Objects>\r\n    <Primitive id=\"0\" type=\"cube\">\r\n      <Name>a</Name>b &amp; \xE9</Name>\r\n"
                       "    </Primitive>\r\n    <Primitive id=\"1\" type=\"cone\">\r\n      <Name>c</Name>\r\n"
                       "    </Primitive>\r\n  </Objects>\r\n</OstrelScene>\r\n";
    ProjectLoadReport report;
    // A byte order mark, as a text editor may add one, is no damage.
    ASSERT_TRUE(LoadSceneFromBytes("\xEF\xBB\xBF" + text, temp.File(L"old.tsp"), executable, &report));
    EXPECT_EQ(report.unreadableParts, 0);
    ASSERT_EQ(g_PropBrushes.size(), 3u);
    EXPECT_EQ(g_PropBrushes[1].name, L"Crate\">");
    EXPECT_EQ(g_PropBrushes[2].name, L"R&D <1>");
    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(g_SceneObjects[0].name, L"a</Name>b &amp; \u00E9");
    EXPECT_EQ(g_SceneObjects[1].type, PRIMITIVE_CONE);
}

TEST_F(ProjectRoundTripTest, DamagedFilesLoseAtMostTheDamagedElementAndSaySo)
{
    std::wstring folder = temp.MakeSubfolder(L"p");
    std::wstring model = folder + L"tree.glb";
    WriteTestFile(model, TriangleGlb({0, 0, 0, 1, 0, 0, 0, 1, 0}));
    for (const wchar_t* brushName : {L"Tree", L"Crate\">"}) {   // the plain form, then the escaped one
        ResetProjectState();
        ASSERT_EQ(LoadGLBModel(model), 0);
        g_Textures.assign(1, Texture());
        g_Textures[0].path = folder + L"brick.png";
        g_PropBrushes.assign(1, PropBrush());
        g_PropBrushes[0].name = brushName;
        g_PropBrushes[0].modelID = g_Models[0].id;
        g_PropInstances.assign(1, PropInstance());
        g_PropInstances[0].name = L"Tree 1";
        g_PropInstances[0].modelID = g_Models[0].id;
        g_PropInstances[0].position = Vec3f(2.0f, 0.0f, 1.0f);
        g_SceneObjects.assign(2, SceneObject());
        g_SceneObjects[0].name = L"Cube 1";
        g_SceneObjects[0].maxX = 1.5f;
        SceneObject& mesh = g_SceneObjects[1];
        mesh.name = L"Mesh";
        mesh.isCSGMesh = true;
        mesh.V = Eigen::MatrixXd::Identity(3, 3);
        mesh.F.resize(1, 3);
        mesh.F << 0, 1, 2;
        g_SceneObjects[0].texture = mesh.texture = 0;
        ExpectedScene expected = CaptureScene();
        std::wstring path = folder + L"scene.tsp";
        std::wstring failure;
        ASSERT_TRUE(SaveScene(path, failure));
        std::string saved = FileText(path);

        auto check = [&](const std::string& bytes, const std::string& what) {
            g_Textures.clear();
            g_SceneObjects.assign(1, SceneObject());
            g_SceneObjects[0].name = L"untouched";
            ProjectLoadReport report;
            if (!LoadSceneFromBytes(bytes, path, executable, &report)) {
                ASSERT_EQ(g_SceneObjects.size(), 1u) << what;
                ASSERT_EQ(g_SceneObjects[0].name, L"untouched") << what;
                return;
            }
            ASSERT_LE(UnmatchedRecords(expected), 1) << what;
            // A clean report means nothing is missing (the built-in brush and model besides).
            if (report.Clean()) {
                ASSERT_TRUE(g_SceneObjects.size() == expected.objects.size() &&
                            g_PropInstances.size() == expected.instances.size() &&
                            g_PropBrushes.size() == expected.brushes.size() + 1 &&
                            g_Textures.size() == expected.texturePaths.size() && g_Models.size() == 2)
                    << what;
            }
            ASSERT_EQ(g_CurrentScenePath, report.Clean() ? path : std::wstring()) << what;
        };
        for (size_t at = 0; at < saved.size(); ++at) {
            for (char replacement : {'x', '7', '"', '<', '>', '=', '/', '\0'}) {
                if (saved[at] == replacement)
                    continue;
                std::string bytes = saved;
                bytes[at] = replacement;
                check(bytes, "byte " + std::to_string(at) + " replaced by " + std::to_string(replacement));
            }
        }
        for (size_t size = 0; size < saved.size(); ++size) {
            g_Textures.clear();
            g_SceneObjects.clear();
            ProjectLoadReport report;
            if (LoadSceneFromBytes(saved.substr(0, size), path, executable, &report) && report.Clean()) {
                ASSERT_EQ(UnmatchedRecords(expected), 0) << "cut at " << size;
            }
        }
    }
}
