#include "SceneRoundTrip.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <tuple>

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

std::wstring TexturePath(int texture, const std::vector<std::wstring>& paths)
{
    return texture >= 0 && static_cast<size_t>(texture) < paths.size() ? paths[texture] : L"(none)";
}

std::vector<std::wstring> TexturePaths()
{
    std::vector<std::wstring> paths;
    for (const Texture& texture : g_Textures)
        paths.push_back(texture.path);
    return paths;
}

std::wstring ModelPathOf(int id, const std::vector<Model>& models)
{
    for (const Model& model : models) {
        if (model.id == id)
            return model.path;
    }
    return L"(none)";
}

std::array<float, 10> View()
{
    return {g_GridHeight, g_GridCellSize, g_GridOffsetX, g_GridOffsetZ, g_CameraDistance,
            g_CameraYaw, g_CameraPitch, g_CameraTargetX, g_CameraTargetY, g_CameraTargetZ};
}

std::vector<PropBrush> SavedBrushes()
{
    std::vector<PropBrush> saved;
    std::copy_if(g_PropBrushes.begin(), g_PropBrushes.end(), std::back_inserter(saved),
                 [](const PropBrush& brush) { return !brush.builtIn; });
    return saved;
}

// references: texture and model references compared by path, or left out.
bool SameObject(const SceneObject& got, const SceneObject& want, const ExpectedScene& expected, bool references)
{
    const std::vector<std::wstring> paths = TexturePaths();
    auto texture = [&](int got, int want) {
        return !references || TexturePath(got, paths) == TexturePath(want, expected.texturePaths);
    };
    auto fields = [](const SceneObject& o) {
        return std::make_tuple(o.name, o.minX, o.minY, o.minZ, o.maxX, o.maxY, o.maxZ, o.rotation.x, o.rotation.y,
                               o.rotation.z, o.texScale, o.isCSGMesh ? 0 : o.type, o.objectType, o.r, o.g, o.b, o.a,
                               o.visible, o.selectable, o.isCSGMesh, o.groupID);
    };
    if (fields(got) != fields(want) || !texture(got.texture, want.texture))
        return false;
    if (!want.isCSGMesh)
        return true;
    if (got.V.rows() != want.V.rows() || got.V.cols() != want.V.cols() || got.F.rows() != want.F.rows() ||
        got.F.cols() != want.F.cols() || got.V != want.V || got.F != want.F)
        return false;
    // Side files hold a full entry per face: short arrays come back padded
    // with the object's own texture, scale and colour.
    for (size_t face = 0; face < static_cast<size_t>(want.F.rows()); ++face) {
        int id = face < want.faceTextureIDs.size() ? want.faceTextureIDs[face] : want.texture;
        float scale = face < want.faceTextureScales.size() ? want.faceTextureScales[face] : want.texScale;
        FaceColor color = face < want.faceColors.size() ? want.faceColors[face] : FaceColor(want.r, want.g, want.b);
        if (face >= got.faceTextureIDs.size() || face >= got.faceTextureScales.size() || face >= got.faceColors.size() ||
            !texture(got.faceTextureIDs[face], id) || got.faceTextureScales[face] != scale ||
            got.faceColors[face].r != color.r || got.faceColors[face].g != color.g || got.faceColors[face].b != color.b)
            return false;
    }
    return true;
}

bool SameInstance(const PropInstance& got, const PropInstance& want, const ExpectedScene& expected, bool references)
{
    auto fields = [](const PropInstance& p) {
        return std::make_tuple(p.name, p.position.x, p.position.y, p.position.z, p.rotation.x, p.rotation.y,
                               p.rotation.z, p.scale.x, p.scale.y, p.scale.z, p.alpha, p.visible, p.selectable,
                               p.gridCellSize);
    };
    return fields(got) == fields(want) &&
           (!references || ModelPathOf(got.modelID, g_Models) == ModelPathOf(want.modelID, expected.models));
}

// How many of wanted have no equal in got, each of got used once.
template <typename T, typename Same>
int Missing(const std::vector<T>& wanted, const std::vector<T>& got, Same same)
{
    int missing = 0;
    std::vector<bool> used(got.size(), false);
    for (const T& want : wanted) {
        size_t i = 0;
        while (i < got.size() && (used[i] || !same(got[i], want)))
            ++i;
        if (i < got.size())
            used[i] = true;
        else
            ++missing;
    }
    return missing;
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
    for (float* value : {&g_GridHeight, &g_GridCellSize, &g_GridOffsetX, &g_GridOffsetZ, &g_CameraDistance,
                         &g_CameraYaw, &g_CameraPitch, &g_CameraTargetX, &g_CameraTargetY, &g_CameraTargetZ})
        *value = value == &g_GridCellSize || value == &g_CameraDistance ? PositiveFloat(source) + 0.5f : SmallFloat(source);

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
    auto modelId = [&source]() {
        return g_Models.empty() || source.Below(4) == 0 ? -1 : g_Models[source.Below(static_cast<int>(g_Models.size()))].id;
    };

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
        for (float* value : {&object.minX, &object.minY, &object.minZ, &object.maxX, &object.maxY, &object.maxZ,
                             &object.rotation.x, &object.rotation.y, &object.rotation.z})
            *value = SmallFloat(source);
        object.name = HostileText(source, false);
        for (int* channel : {&object.r, &object.g, &object.b, &object.a})
            *channel = source.Below(256);
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
        for (Vec3f* vector : {&instance.position, &instance.rotation, &instance.scale})
            *vector = Vec3f(SmallFloat(source), SmallFloat(source), SmallFloat(source));
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
    for (bool meshes : {false, true})
        std::copy_if(g_SceneObjects.begin(), g_SceneObjects.end(), std::back_inserter(expected.objects),
                     [meshes](const SceneObject& object) { return object.isCSGMesh == meshes; });
    expected.instances = g_PropInstances;
    expected.brushes = SavedBrushes();
    expected.texturePaths = TexturePaths();
    expected.models = g_Models;
    expected.view = View();
    return expected;
}

std::string DifferenceFrom(const ExpectedScene& expected)
{
    if (View() != expected.view)
        return "grid or camera differs";
    if (TexturePaths() != expected.texturePaths)
        return "texture paths differ";
    if (g_SceneObjects.size() != expected.objects.size())
        return "object count differs";
    for (size_t i = 0; i < g_SceneObjects.size(); ++i) {
        if (!SameObject(g_SceneObjects[i], expected.objects[i], expected, true))
            return "object " + std::to_string(i) + " ('" + WideToUtf8(expected.objects[i].name) + "') differs";
    }
    std::vector<PropBrush> brushes = SavedBrushes();
    if (brushes.size() != expected.brushes.size())
        return "prop brush count differs";
    for (size_t i = 0; i < brushes.size(); ++i) {
        if (brushes[i].name != expected.brushes[i].name ||
            ModelPathOf(brushes[i].modelID, g_Models) != ModelPathOf(expected.brushes[i].modelID, expected.models))
            return "prop brush " + std::to_string(i) + " ('" + WideToUtf8(expected.brushes[i].name) + "') differs";
    }
    if (g_PropInstances.size() != expected.instances.size())
        return "prop instance count differs";
    for (size_t i = 0; i < g_PropInstances.size(); ++i) {
        if (!SameInstance(g_PropInstances[i], expected.instances[i], expected, true))
            return "prop instance " + std::to_string(i) + " differs";
    }
    return std::string();
}

int UnmatchedRecords(const ExpectedScene& expected)
{
    auto sameObject = [&](const SceneObject& got, const SceneObject& want) { return SameObject(got, want, expected, false); };
    auto sameInstance = [&](const PropInstance& got, const PropInstance& want) {
        return SameInstance(got, want, expected, false);
    };
    return Missing(expected.objects, g_SceneObjects, sameObject) +
           Missing(expected.texturePaths, TexturePaths(), std::equal_to<std::wstring>()) +
           Missing(expected.brushes, SavedBrushes(), [](const PropBrush& a, const PropBrush& b) { return a.name == b.name; }) +
           Missing(expected.instances, g_PropInstances, sameInstance) +
           Missing(expected.models, g_Models, [](const Model& a, const Model& b) { return a.path == b.path; });
}
