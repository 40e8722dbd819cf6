#include "SceneRoundTrip.h"

#include <algorithm>

#include "io/ModelLoader.h"
#include "io/Utf8.h"

namespace {

const wchar_t* const NAME_PIECES[] = {
    L"\"", L"'", L"<", L">", L"&", L"/", L"=", L" ", L"\t", L"\n", L"\r", L"\r\n", L";", L"#", L"amp;", L"&amp;",
    L"&#10;", L"&#x41;", L"&quot", L"</Name>", L"<Name>", L"\"/>", L"\">", L"\" >", L"a\" b=\"c", L"Crate", L"\u00E9",
    L"\u00D7\u00BD", L"\u00C3\u00A9", L"\u00FF\u0080", L"\u0416", L"\u4E2D", L"\U0001F600", L"\uFFFD", L"\u0085",
    L"\u00A0", L"\x7F", L"\x01", L"?", L"\u0122", L"\u00E0\u00A0\u0080"};
// What Windows file names may hold as well.
const wchar_t* const FILE_PIECES[] = {
    L"'", L"&", L"=", L" ", L";", L"#", L"amp;", L"&amp;", L"&#10;", L"&#x41;", L"Crate", L"\u00E9", L"\u00D7\u00BD",
    L"\u00C3\u00A9", L"\u00FF\u00AB", L"\u0416", L"\u4E2D", L"\U0001F600", L"\u0122", L"(1)"};

// Exactly representable in six significant digits.
float SmallFloat(ByteSource& source) { return static_cast<float>(source.Below(8001) - 4000) / 8.0f; }
float PositiveFloat(ByteSource& source) { return static_cast<float>(source.Below(4000) + 1) / 8.0f; }

std::string Utf8(const std::wstring& text) { return WideToUtf8(text); }

std::wstring TexturePathOf(int texture)
{
    return texture >= 0 && static_cast<size_t>(texture) < g_Textures.size() ? g_Textures[texture].path : L"(none)";
}

std::wstring ModelPathOf(int id, const std::vector<Model>& models)
{
    for (const Model& model : models) {
        if (model.id == id)
            return model.path;
    }
    return L"(none)";
}

std::wstring ExpectedTexturePath(int texture, const ExpectedScene& expected)
{
    return texture >= 0 && static_cast<size_t>(texture) < expected.texturePaths.size() ? expected.texturePaths[texture]
                                                                                        : L"(none)";
}

template <typename T>
std::string Compare(const char* what, size_t index, const T& got, const T& want)
{
    return got == want ? std::string() : std::string(what) + " of entry " + std::to_string(index) + " differs";
}

// references: texture references compared by path, or left out.
std::string CompareObject(size_t i, const SceneObject& got, const SceneObject& want, const ExpectedScene& expected,
                          bool references = true)
{
    auto texture = [&](int got, int want) {
        return !references || TexturePathOf(got) == ExpectedTexturePath(want, expected);
    };
    if (got.name != want.name)
        return "name of object " + std::to_string(i) + ": got '" + Utf8(got.name) + "', want '" + Utf8(want.name) + "'";
    const float gotValues[] = {got.minX, got.minY, got.minZ, got.maxX, got.maxY, got.maxZ,
                               got.rotation.x, got.rotation.y, got.rotation.z, got.texScale};
    const float wantValues[] = {want.minX, want.minY, want.minZ, want.maxX, want.maxY, want.maxZ,
                                want.rotation.x, want.rotation.y, want.rotation.z, want.texScale};
    std::string difference;
    for (size_t k = 0; k < 10 && difference.empty(); ++k)
        difference = Compare("object float", i, gotValues[k], wantValues[k]);
    const int gotInts[] = {got.isCSGMesh ? 0 : got.type, got.objectType, got.r, got.g, got.b, got.a,
                           got.visible, got.selectable, got.isCSGMesh, got.groupID};
    const int wantInts[] = {want.isCSGMesh ? 0 : want.type, want.objectType, want.r, want.g, want.b, want.a,
                            want.visible, want.selectable, want.isCSGMesh, want.groupID};
    for (size_t k = 0; k < 10 && difference.empty(); ++k)
        difference = Compare("object field", i, gotInts[k], wantInts[k]);
    if (difference.empty() && !texture(got.texture, want.texture))
        difference = "texture of object " + std::to_string(i) + " differs";
    if (!difference.empty() || !want.isCSGMesh)
        return difference;
    if (got.V.rows() != want.V.rows() || got.V.cols() != want.V.cols() || got.F.rows() != want.F.rows() ||
        got.F.cols() != want.F.cols() || got.V != want.V || got.F != want.F)
        return "mesh of object " + std::to_string(i) + " differs";
    // Side files hold a full entry per face: short arrays come back padded
    // with the object's own texture, scale and colour.
    for (Eigen::Index f = 0; f < want.F.rows(); ++f) {
        size_t face = static_cast<size_t>(f);
        int id = face < want.faceTextureIDs.size() ? want.faceTextureIDs[face] : want.texture;
        float scale = face < want.faceTextureScales.size() ? want.faceTextureScales[face] : want.texScale;
        FaceColor color = face < want.faceColors.size() ? want.faceColors[face] : FaceColor(want.r, want.g, want.b);
        if (face >= got.faceTextureIDs.size() || face >= got.faceTextureScales.size() || face >= got.faceColors.size())
            return "per-face arrays of object " + std::to_string(i) + " are short";
        if (!texture(got.faceTextureIDs[face], id) ||
            got.faceTextureScales[face] != scale || got.faceColors[face].r != color.r ||
            got.faceColors[face].g != color.g || got.faceColors[face].b != color.b)
            return "face " + std::to_string(f) + " of object " + std::to_string(i) + " differs";
    }
    return std::string();
}

} // namespace

int ByteSource::Below(int n)
{
    if (n <= 1)
        return 0;
    unsigned value = Next();
    if (n > 256)
        value = value << 8 | Next();
    return static_cast<int>(value % static_cast<unsigned>(n));
}

std::wstring HostileText(ByteSource& source, bool fileName)
{
    std::wstring text;
    int pieces = source.Below(6);
    for (int i = 0; i < pieces; ++i) {
        if (fileName)
            text += FILE_PIECES[source.Below(sizeof FILE_PIECES / sizeof FILE_PIECES[0])];
        else if (source.Below(8) == 0)
            text += static_cast<wchar_t>(source.Below(2) ? 0xD800 + source.Below(0x800) : source.Below(0x20));
        else
            text += NAME_PIECES[source.Below(sizeof NAME_PIECES / sizeof NAME_PIECES[0])];
    }
    return text;
}

void BuildSceneFromBytes(ByteSource& source, const RoundTripOptions& options)
{
    g_SceneObjects.clear();
    g_PropInstances.clear();
    g_PropBrushes.clear();
    g_Textures.clear();
    g_Models.clear();
    g_GridHeight = SmallFloat(source);
    g_GridCellSize = PositiveFloat(source);
    g_GridOffsetX = SmallFloat(source);
    g_GridOffsetZ = SmallFloat(source);
    g_CameraDistance = PositiveFloat(source) + 0.5f;
    g_CameraYaw = SmallFloat(source);
    g_CameraPitch = SmallFloat(source);
    g_CameraTargetX = SmallFloat(source);
    g_CameraTargetY = SmallFloat(source);
    g_CameraTargetZ = SmallFloat(source);

    int textures = source.Below(4);
    for (int i = 0; i < textures; ++i) {
        Texture texture;
        // Unique, and relative to the folder in the file ("t" so it never starts with a separator).
        texture.path = options.folder + L"t" + HostileText(source, false) + std::to_wstring(i) + L".png";
        std::replace(texture.path.begin() + static_cast<std::ptrdiff_t>(options.folder.size()), texture.path.end(),
                     L':', L';');
        texture.name = texture.path;
        g_Textures.push_back(texture);
    }
    for (const std::wstring& path : options.modelPaths)
        LoadGLBModel(path);
    auto modelId = [&source]() { return g_Models.empty() || source.Below(4) == 0 ? -1 : g_Models[source.Below(static_cast<int>(g_Models.size()))].id; };

    int brushes = source.Below(4);
    for (int i = 0; i < brushes; ++i) {
        PropBrush brush;
        brush.name = HostileText(source, false);
        brush.modelID = modelId();
        g_PropBrushes.push_back(brush);
    }
    int objects = source.Below(6);
    for (int i = 0; i < objects; ++i) {
        SceneObject object;
        object.type = source.Below(7);
        object.objectType = source.Below(2);
        object.minX = SmallFloat(source);
        object.minY = SmallFloat(source);
        object.minZ = SmallFloat(source);
        object.maxX = SmallFloat(source);
        object.maxY = SmallFloat(source);
        object.maxZ = SmallFloat(source);
        object.rotation = Vec3f(SmallFloat(source), SmallFloat(source), SmallFloat(source));
        object.name = HostileText(source, false);
        object.r = source.Below(256);
        object.g = source.Below(256);
        object.b = source.Below(256);
        object.a = source.Below(256);
        object.texture = source.Below(textures + 1) - 1;
        object.texScale = PositiveFloat(source);
        object.visible = source.Below(2) == 1;
        object.selectable = source.Below(2) == 1;
        object.isCSGMesh = options.meshes && source.Below(3) == 0;
        if (object.isCSGMesh) {
            int vertices = source.Below(5) + 3;
            int faces = source.Below(4);
            object.V.resize(vertices, 3);
            for (int v = 0; v < vertices; ++v)
                for (int k = 0; k < 3; ++k)
                    object.V(v, k) = SmallFloat(source) / 3.0;
            object.F.resize(faces, 3);
            for (int f = 0; f < faces; ++f)
                for (int k = 0; k < 3; ++k)
                    object.F(f, k) = source.Below(vertices);
            if (source.Below(2)) {
                for (int f = 0; f < faces; ++f) {
                    object.faceTextureIDs.push_back(source.Below(textures + 1) - 1);
                    object.faceTextureScales.push_back(PositiveFloat(source));
                    object.faceColors.push_back(FaceColor(source.Below(256), source.Below(256), source.Below(256)));
                }
            }
        }
        g_SceneObjects.push_back(object);
    }
    int instances = source.Below(4);
    for (int i = 0; i < instances; ++i) {
        PropInstance instance;
        instance.modelID = modelId();
        instance.name = HostileText(source, false);
        instance.position = Vec3f(SmallFloat(source), SmallFloat(source), SmallFloat(source));
        instance.rotation = Vec3f(SmallFloat(source), SmallFloat(source), SmallFloat(source));
        instance.scale = Vec3f(SmallFloat(source), SmallFloat(source), SmallFloat(source));
        instance.alpha = static_cast<float>(source.Below(511)) / 2.0f;
        instance.visible = source.Below(2) == 1;
        instance.selectable = source.Below(2) == 1;
        instance.gridCellSize = PositiveFloat(source);
        g_PropInstances.push_back(instance);
    }
}

ExpectedScene CaptureScene()
{
    ExpectedScene expected;
    for (int meshes = 0; meshes < 2; ++meshes) {
        for (const SceneObject& object : g_SceneObjects) {
            if (object.isCSGMesh == (meshes == 1))
                expected.objects.push_back(object);
        }
    }
    expected.instances = g_PropInstances;
    for (const PropBrush& brush : g_PropBrushes) {
        if (!brush.builtIn)
            expected.brushes.push_back(brush);
    }
    for (const Texture& texture : g_Textures)
        expected.texturePaths.push_back(texture.path);
    expected.models = g_Models;
    const float grid[4] = {g_GridHeight, g_GridCellSize, g_GridOffsetX, g_GridOffsetZ};
    const float camera[6] = {g_CameraDistance, g_CameraYaw, g_CameraPitch, g_CameraTargetX, g_CameraTargetY, g_CameraTargetZ};
    std::copy(grid, grid + 4, expected.grid);
    std::copy(camera, camera + 6, expected.camera);
    return expected;
}

std::string DifferenceFrom(const ExpectedScene& expected)
{
    const float grid[4] = {g_GridHeight, g_GridCellSize, g_GridOffsetX, g_GridOffsetZ};
    const float camera[6] = {g_CameraDistance, g_CameraYaw, g_CameraPitch, g_CameraTargetX, g_CameraTargetY, g_CameraTargetZ};
    if (!std::equal(grid, grid + 4, expected.grid) || !std::equal(camera, camera + 6, expected.camera))
        return "grid or camera differs";
    if (g_Textures.size() != expected.texturePaths.size())
        return "texture count " + std::to_string(g_Textures.size()) + ", want " + std::to_string(expected.texturePaths.size());
    for (size_t i = 0; i < g_Textures.size(); ++i) {
        if (g_Textures[i].path != expected.texturePaths[i])
            return "texture path " + std::to_string(i) + ": got '" + Utf8(g_Textures[i].path) + "', want '" +
                   Utf8(expected.texturePaths[i]) + "'";
    }
    if (g_SceneObjects.size() != expected.objects.size())
        return "object count " + std::to_string(g_SceneObjects.size()) + ", want " + std::to_string(expected.objects.size());
    for (size_t i = 0; i < g_SceneObjects.size(); ++i) {
        std::string difference = CompareObject(i, g_SceneObjects[i], expected.objects[i], expected);
        if (!difference.empty())
            return difference;
    }
    std::vector<PropBrush> brushes;
    for (const PropBrush& brush : g_PropBrushes) {
        if (!brush.builtIn)
            brushes.push_back(brush);
    }
    if (brushes.size() != expected.brushes.size())
        return "prop brush count differs";
    for (size_t i = 0; i < brushes.size(); ++i) {
        if (brushes[i].name != expected.brushes[i].name)
            return "prop brush name: got '" + Utf8(brushes[i].name) + "', want '" + Utf8(expected.brushes[i].name) + "'";
        if (ModelPathOf(brushes[i].modelID, g_Models) != ModelPathOf(expected.brushes[i].modelID, expected.models))
            return "model of prop brush " + std::to_string(i) + " differs";
    }
    if (g_PropInstances.size() != expected.instances.size())
        return "prop instance count differs";
    for (size_t i = 0; i < g_PropInstances.size(); ++i) {
        const PropInstance& got = g_PropInstances[i];
        const PropInstance& want = expected.instances[i];
        if (got.name != want.name)
            return "prop instance name: got '" + Utf8(got.name) + "', want '" + Utf8(want.name) + "'";
        const float gotValues[] = {got.position.x, got.position.y, got.position.z, got.rotation.x, got.rotation.y,
                                   got.rotation.z, got.scale.x, got.scale.y, got.scale.z, got.alpha, got.gridCellSize};
        const float wantValues[] = {want.position.x, want.position.y, want.position.z, want.rotation.x, want.rotation.y,
                                    want.rotation.z, want.scale.x, want.scale.y, want.scale.z, want.alpha, want.gridCellSize};
        if (!std::equal(gotValues, gotValues + 11, wantValues) || got.visible != want.visible ||
            got.selectable != want.selectable ||
            ModelPathOf(got.modelID, g_Models) != ModelPathOf(want.modelID, expected.models))
            return "prop instance " + std::to_string(i) + " differs";
    }
    return std::string();
}

int UnmatchedRecords(const ExpectedScene& expected)
{
    int unmatched = 0;
    std::vector<bool> used(g_SceneObjects.size(), false);
    for (const SceneObject& want : expected.objects) {
        bool found = false;
        for (size_t i = 0; i < g_SceneObjects.size() && !found; ++i) {
            found = !used[i] && CompareObject(i, g_SceneObjects[i], want, expected, false).empty();
            used[i] = used[i] || found;
        }
        unmatched += found ? 0 : 1;
    }
    for (const std::wstring& path : expected.texturePaths) {
        bool found = std::any_of(g_Textures.begin(), g_Textures.end(), [&](const Texture& t) { return t.path == path; });
        unmatched += found ? 0 : 1;
    }
    for (const PropBrush& want : expected.brushes) {
        bool found = std::any_of(g_PropBrushes.begin(), g_PropBrushes.end(), [&](const PropBrush& brush) {
            return !brush.builtIn && brush.name == want.name;
        });
        unmatched += found ? 0 : 1;
    }
    for (const PropInstance& want : expected.instances) {
        bool found = std::any_of(g_PropInstances.begin(), g_PropInstances.end(), [&](const PropInstance& got) {
            return got.name == want.name && got.position.x == want.position.x && got.position.y == want.position.y &&
                   got.position.z == want.position.z && got.rotation.x == want.rotation.x &&
                   got.rotation.y == want.rotation.y && got.rotation.z == want.rotation.z &&
                   got.scale.x == want.scale.x && got.scale.y == want.scale.y && got.scale.z == want.scale.z &&
                   got.alpha == want.alpha && got.visible == want.visible && got.selectable == want.selectable &&
                   got.gridCellSize == want.gridCellSize;
        });
        unmatched += found ? 0 : 1;
    }
    for (const Model& want : expected.models) {
        bool found = std::any_of(g_Models.begin(), g_Models.end(), [&](const Model& got) { return got.path == want.path; });
        unmatched += found ? 0 : 1;
    }
    return unmatched;
}
