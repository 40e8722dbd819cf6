// Speed of saving and opening a project: 1,000 primitives and 20 explicit
// meshes of 50,000 triangles each, against writing and reading the same
// files' bytes with a plain buffered stream. Prints the median of 9 runs.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchScene.h"
#include "bench/BenchTiming.h"
#include "io/ProjectReader.h"
#include "io/ProjectWriter.h"
#include "scene/SceneState.h"

namespace {

const int RUNS = 9;
const int PRIMITIVES = 1000;
const int MESHES = 20;
const int GRID = 158;   // 2 x 157 x 159 = 49,926 triangles; with the fan below, 50,000

double MedianMilliseconds(const std::function<void()>& work)
{
    Timing timing;
    for (int run = 0; run < RUNS; ++run)
        Time(timing, work);
    return timing.Median();
}

// A wavy grid of exactly 50,000 triangles with full per-face arrays.
SceneObject MakeMesh(int number)
{
    const int triangles = 50000;
    SceneObject mesh;
    mesh.isCSGMesh = true;
    mesh.name = L"Mesh " + std::to_wstring(number);
    mesh.V.resize(GRID * GRID, 3);
    for (int i = 0; i < GRID; ++i)
        for (int j = 0; j < GRID; ++j)
            mesh.V.row(i * GRID + j) << i * 0.1 + number, 0.3 * std::sin(i * 0.2) * std::cos(j * 0.3), j * 0.1;
    mesh.F.resize(triangles, 3);
    int face = 0;
    for (int i = 0; i + 1 < GRID && face < triangles; ++i) {
        for (int j = 0; j + 1 < GRID && face < triangles; ++j) {
            int a = i * GRID + j;
            mesh.F.row(face++) << a, a + 1, a + GRID;
            if (face < triangles)
                mesh.F.row(face++) << a + 1, a + GRID + 1, a + GRID;
        }
    }
    for (; face < triangles; ++face)
        mesh.F.row(face) << 0, 1, GRID;
    mesh.faceTextureIDs.assign(triangles, -1);
    mesh.faceTextureScales.assign(triangles, 1.5f);
    mesh.faceColors.assign(triangles, FaceColor(200, 100, 50));
    return mesh;
}

void BuildScene()
{
    g_SceneObjects.clear();
    for (int i = 0; i < PRIMITIVES; ++i) {
        SceneObject object = MakeBenchPrimitive(i);
        object.name = L"Primitive " + std::to_wstring(i);
        object.rotation = Vec3f(0.0f, static_cast<float>(i % 360), 0.0f);
        g_SceneObjects.push_back(object);
    }
    for (int i = 0; i < MESHES; ++i)
        g_SceneObjects.push_back(MakeMesh(i));
}

std::vector<std::string> ProjectFiles(const std::filesystem::path& folder)
{
    std::vector<std::string> files = {(folder / "bench.tsp").string()};
    for (int i = 0; i < MESHES; ++i)
        files.push_back((folder / "bench_meshes" / ("mesh_" + std::to_string(i) + ".tsm")).string());
    return files;
}

} // namespace

int main()
{
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarsel-project-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::wstring project = (folder / "bench.tsp").wstring();
    std::wstring executable = (folder / "none").wstring() + L"/";

    BuildScene();
    std::wstring failure;
    double save = MedianMilliseconds([&] {
        if (!SaveScene(project, failure))
            std::printf("save failed\n");
    });

    // The same files' bytes through a plain buffered stream.
    std::vector<std::string> files = ProjectFiles(folder);
    std::vector<std::vector<char>> contents;
    size_t total = 0;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        total += contents.back().size();
    }
    std::filesystem::create_directories(folder / "plain_meshes");
    double plainWrite = MedianMilliseconds([&] {
        for (size_t i = 0; i < files.size(); ++i) {
            std::ofstream out(files[i] + ".plain", std::ios::binary);
            out.write(contents[i].data(), static_cast<std::streamsize>(contents[i].size()));
        }
    });
    double plainRead = MedianMilliseconds([&] {
        for (const std::string& file : files) {
            std::ifstream in(file + ".plain", std::ios::binary | std::ios::ate);
            std::vector<char> bytes(static_cast<size_t>(in.tellg()));
            in.seekg(0);
            if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
                std::printf("read failed\n");
        }
    });
    double load = MedianMilliseconds([&] {
        if (!LoadScene(project, executable) || g_SceneObjects.size() != PRIMITIVES + MESHES)
            std::printf("load failed\n");
    });

    std::printf("project: %d primitives + %d meshes x 50000 triangles, %zu files, %.1f MB\n", PRIMITIVES, MESHES,
                files.size(), total / 1e6);
    std::printf("save  %8.1f ms   plain write %8.1f ms   ratio %.2f\n", save, plainWrite, save / plainWrite);
    std::printf("load  %8.1f ms   plain read  %8.1f ms   ratio %.2f\n", load, plainRead, load / plainRead);
    std::filesystem::remove_all(folder);
    return 0;
}
