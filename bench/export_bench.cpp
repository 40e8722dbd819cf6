// Speed of the exports on 1,000 mixed primitives and one 200,000-triangle
// mesh with per-face colours, untextured. The GLB is set against writing the
// same number of bytes with a plain buffered stream; the OBJ with its MTL
// against the text floor: the same numbers formatted with std::to_chars into
// one buffer and written. Medians of 7 runs, taken in turns; then the PNG
// encoding of one 1024 x 1024 texture on its own.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchScene.h"
#include "bench/BenchTiming.h"
#include "io/ExportMesh.h"
#include "io/FileUtil.h"
#include "io/GlbExport.h"
#include "io/ObjExport.h"
#include "io/PngEncode.h"
#include "scene/SceneState.h"

namespace {

const int RUNS = 7;
const int PRIMITIVES = 1000;
const int ROWS = 400, COLUMNS = 250;   // 2 x 400 x 250 = 200,000 triangles

SceneObject MakeMesh()
{
    SceneObject mesh;
    mesh.isCSGMesh = true;
    mesh.name = L"Terrain";
    mesh.V.resize((ROWS + 1) * (COLUMNS + 1), 3);
    for (int i = 0; i <= ROWS; ++i)
        for (int j = 0; j <= COLUMNS; ++j)
            mesh.V.row(i * (COLUMNS + 1) + j) << i * 0.1, 0.3 * std::sin(i * 0.2) * std::cos(j * 0.3), j * 0.1;
    mesh.F.resize(2 * ROWS * COLUMNS, 3);
    int face = 0;
    for (int i = 0; i < ROWS; ++i) {
        for (int j = 0; j < COLUMNS; ++j) {
            const int a = i * (COLUMNS + 1) + j;
            mesh.F.row(face++) << a, a + 1, a + COLUMNS + 1;
            mesh.F.row(face++) << a + 1, a + COLUMNS + 2, a + COLUMNS + 1;
        }
    }
    for (int f = 0; f < face; ++f)
        mesh.faceColors.push_back(FaceColor(50 * (f % 5), 100, 255 - 30 * (f % 7)));
    return mesh;
}

void BuildScene()
{
    g_SceneObjects.clear();
    for (int i = 0; i < PRIMITIVES; ++i) {
        SceneObject object = MakeBenchPrimitive(i);
        object.texScale = 1.0f + i % 3;
        g_SceneObjects.push_back(object);
    }
    g_SceneObjects.push_back(MakeMesh());
}

void WriteRaw(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

template <typename T>
void AppendNumber(std::vector<char>& buffer, T value)
{
    char text[32];
    std::to_chars_result result = [&] {
        if constexpr (std::is_floating_point_v<T>)
            return std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
        else
            return std::to_chars(text, text + sizeof text, value);
    }();
    buffer.insert(buffer.end(), text, result.ptr);
    buffer.push_back(' ');
}

// Every number the OBJ holds (three per f corner), formatted into one buffer.
std::vector<char> TextFloor(const std::vector<ExportMesh>& meshes)
{
    std::vector<char> buffer;
    size_t base = 1;
    for (const ExportMesh& mesh : meshes) {
        for (float value : mesh.positions)
            AppendNumber(buffer, value);
        for (float value : mesh.normals)
            AppendNumber(buffer, value);
        for (float value : mesh.uvs)
            AppendNumber(buffer, value);
        for (uint32_t index : mesh.indices) {
            for (int k = 0; k < 3; ++k)
                AppendNumber(buffer, index + base);
        }
        base += mesh.VertexCount();
    }
    return buffer;
}

// The OBJ's meshes, as its exporter splits them.
std::vector<ExportMesh> ObjMeshes()
{
    std::vector<ExportMesh> meshes;
    for (const SceneObject& object : g_SceneObjects) {
        if (object.isCSGMesh && HasPerFaceColors(object)) {
            for (const auto& group : GroupFacesByKey(object)) {
                meshes.emplace_back();
                AppendMeshFaces(object, group.second, false, meshes.back());
            }
        } else {
            meshes.push_back(BuildExportMesh(object));
        }
    }
    return meshes;
}

long long FileSize(const std::filesystem::path& path) { return static_cast<long long>(std::filesystem::file_size(path)); }

} // namespace

int main()
{
    BuildScene();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarsel-export-bench";
    std::filesystem::create_directories(folder);
    const std::filesystem::path glb = folder / "scene.glb", obj = folder / "scene.obj", mtl = folder / "scene.mtl";
    const std::string raw = (folder / "raw.bin").string(), floor = (folder / "floor.txt").string();
    const std::filesystem::path replaced = folder / "replaced.bin";

    if (!ExportSceneToGLB(glb.wstring()).written || !ExportSceneToOBJ(obj.wstring()).written) {
        std::printf("export failed\n");
        return 1;
    }
    const std::vector<char> glbSizedBuffer(static_cast<size_t>(FileSize(glb)), 'x');
    const std::vector<char> floorText = TextFloor(ObjMeshes());

    const std::vector<ExportMesh> meshes = ObjMeshes();
    Timing glbTime, rawTime, replaceTime, objTime, floorTime, formatTime;
    for (int run = 0; run < RUNS; ++run) {
        Time(glbTime, [&] { ExportSceneToGLB(glb.wstring()); });
        Time(rawTime, [&] { WriteRaw(raw, glbSizedBuffer); });
        Time(replaceTime, [&] { WriteFileReplacing(replaced.wstring(), glbSizedBuffer.data(), glbSizedBuffer.size()); });
        Time(objTime, [&] { ExportSceneToOBJ(obj.wstring()); });
        Time(floorTime, [&] { WriteRaw(floor, TextFloor(ObjMeshes())); });
        Time(formatTime, [&] { WriteRaw(floor, TextFloor(meshes)); });
    }
    std::printf("scene: %d primitives and one mesh of %d triangles with per-face colours\n", PRIMITIVES,
                2 * ROWS * COLUMNS);
    std::printf("GLB export       %8.1f ms  (%lld bytes)\n", glbTime.Median(), FileSize(glb));
    std::printf("raw stream write %8.1f ms  (same byte count)\n", rawTime.Median());
    std::printf("GLB ratio        %8.2f    (target <= 2)\n", glbTime.Median() / rawTime.Median());
    std::printf("safe replace     %8.1f ms  (the same bytes to a temporary file moved over the target,\n"
                "                               as every export writes; ratio to the raw write %.2f)\n",
                replaceTime.Median(), replaceTime.Median() / rawTime.Median());
    std::printf("OBJ+MTL export   %8.1f ms  (%lld + %lld bytes)\n", objTime.Median(), FileSize(obj), FileSize(mtl));
    std::printf("text floor       %8.1f ms  (%zu bytes: tessellation, to_chars of the same numbers, one write)\n",
                floorTime.Median(), floorText.size());
    std::printf("OBJ ratio        %8.2f    (target <= 1.3)\n", objTime.Median() / floorTime.Median());
    std::printf("formatting only  %8.1f ms  (the floor without tessellation; ratio %.2f)\n", formatTime.Median(),
                objTime.Median() / formatTime.Median());

    DecodedImage texture;
    texture.width = texture.height = 1024;
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x)
            for (int c = 0; c < 4; ++c)
                texture.rgba.push_back(static_cast<unsigned char>(c == 3 ? 255 : (x * (c + 1) + y * (3 - c)) ^ (x >> 3)));
    Timing pngTime;
    std::vector<unsigned char> png;
    for (int run = 0; run < RUNS; ++run)
        Time(pngTime, [&] { EncodePng(texture, png); });
    std::printf("PNG 1024x1024    %8.1f ms  (%zu bytes)\n", pngTime.Median(), png.size());

    std::filesystem::remove_all(folder);
    return 0;
}
