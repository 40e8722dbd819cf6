// libFuzzer target, structure-aware: the input's bytes become a scene with
// hostile names and paths; the scene is written, read back and compared
// field by field. Any difference, or a load that is not clean, is a crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SceneRoundTrip.h"
#include "io/ProjectReader.h"
#include "io/ProjectWriter.h"
#include "io/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring folder = L"/nonexistent-tarsel-fuzz/";
    ByteSource source{data, size};
    RoundTripOptions options;
    options.folder = folder;
    BuildSceneFromBytes(source, options);
    const std::wstring path = folder + (source.Below(2) ? L"scene.tsp" : L"\u0423\u0440\u043E\u0432\u0435\u043D\u044C.tsp");
    ExpectedScene expected = CaptureScene();
    std::string text = ProjectFileText(path);
    g_Textures.clear();   // the reader appends to them
    ProjectLoadReport report;
    if (!LoadSceneFromBytes(text, path, folder, &report) || !report.Clean()) {
        std::fprintf(stderr, "written file not read cleanly:\n%s\n", text.c_str());
        std::abort();
    }
    std::string difference = DifferenceFrom(expected);
    if (!difference.empty()) {
        std::fprintf(stderr, "%s\n%s\n", difference.c_str(), text.c_str());
        std::abort();
    }
    return 0;
}
