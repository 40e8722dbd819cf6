#include "io/ProjectReader.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "io/ByteText.h"
#include "io/FileUtil.h"
#include "io/MeshFile.h"
#include "io/ModelLoader.h"
#include "io/ProjectXml.h"
#include "io/PropBrushes.h"
#include "io/TextureLoader.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

// Far beyond any project; the cap keeps a hostile file from taking all memory.
const size_t MAX_PROJECT_FILE_BYTES = size_t(256) << 20;
// Saved model ids above this are not taken over, so the id counter cannot overflow.
const int MAX_SAVED_MODEL_ID = 1 << 30;

// What atof would give, as f32; overflow becomes infinity, not undefined.
float ParseFloatText(const std::string& text) { return std::strtof(text.c_str(), nullptr); }

// What atoi would give, saturated instead of undefined on overflow.
int ParseIntText(const std::string& text)
{
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = std::min<long long>(value * 10 + (text[at] - '0'), 1LL << 32);
    value = negative ? -value : value;
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
}

struct ElementReader {
    const XmlElement& element;

    const std::string& Text(const char* name) const
    {
        static const std::string EMPTY;
        const std::string* value = FindXmlAttribute(element, name);
        return value ? *value : EMPTY;
    }
    bool Has(const char* name) const { return FindXmlAttribute(element, name) != nullptr; }
    // Non-finite values become fallback.
    float Float(const char* name, float fallback = 0.0f) const
    {
        float value = ParseFloatText(Text(name));
        return std::isfinite(value) ? value : fallback;
    }
    int Int(const char* name) const { return ParseIntText(Text(name)); }
    // Low eight bits, as the format keeps colours.
    int Byte(const char* name) const { return static_cast<int>(static_cast<unsigned>(Int(name)) & 0xFFu); }
    // Empty or missing is true; otherwise only "true" is.
    bool Flag(const char* name) const
    {
        const std::string& value = Text(name);
        return value.empty() || value == "true";
    }
};

struct LoadContext {
    XmlDocument document;
    std::wstring folder;
    std::vector<int> textureIndices;            // saved position -> index in g_Textures
    std::vector<std::pair<int, int>> modelIds;  // saved id -> id of the loaded model
};

int MappedTexture(const LoadContext& context, int saved)
{
    if (saved < 0 || static_cast<size_t>(saved) >= context.textureIndices.size())
        return -1;
    return context.textureIndices[saved];
}

int MappedModelId(const LoadContext& context, int saved)
{
    for (const auto& entry : context.modelIds) {
        if (entry.first == saved)
            return entry.second;
    }
    return -1;
}

int Child(const LoadContext& context, int element, const char* name)
{
    return FindXmlChild(context.document, element, name);
}

void ReadSettings(const LoadContext& context)
{
    int grid = FindXmlElement(context.document, "Grid");
    if (grid >= 0) {
        ElementReader reader{context.document.elements[grid]};
        g_GridHeight = reader.Float("height");
        float cell = reader.Float("cellSize");
        g_GridCellSize = cell > 0.0f ? cell : 1.0f;
        g_GridOffsetX = reader.Float("offsetX");
        g_GridOffsetZ = reader.Float("offsetZ");
    }
    int camera = FindXmlElement(context.document, "Camera");
    if (camera >= 0) {
        ElementReader reader{context.document.elements[camera]};
        g_CameraDistance = std::max(MIN_CAMERA_DISTANCE, reader.Float("distance", MIN_CAMERA_DISTANCE));
        g_CameraYaw = reader.Float("yaw");
        g_CameraPitch = reader.Float("pitch");
        g_CameraTargetX = reader.Float("targetX");
        g_CameraTargetY = reader.Float("targetY");
        g_CameraTargetZ = reader.Float("targetZ");
    }
}

std::wstring PathAttribute(const LoadContext& context, const ElementReader& reader, const char* name)
{
    return ResolveProjectPath(WidenBytes(reader.Text(name)), context.folder);
}

void ReadTextures(LoadContext& context)
{
    int section = FindXmlElement(context.document, "Textures");
    if (section < 0)
        return;
    for (int element : context.document.elements[section].children) {
        if (context.document.elements[element].name != "Texture")
            continue;
        ElementReader reader{context.document.elements[element]};
        context.textureIndices.push_back(LoadTexture(PathAttribute(context, reader, "path")));
    }
}

int PrimitiveTypeOf(const ElementReader& reader)
{
    if (!reader.Has("type"))
        return PRIMITIVE_CUBE;
    static const char* const WORDS[] = {"cube", "sphere", "cylinder", "cone", "ramp", "wedge"};
    const std::string& word = reader.Text("type");
    for (int type = PRIMITIVE_CUBE; type <= PRIMITIVE_WEDGE; ++type) {
        if (word == WORDS[type])
            return type;
    }
    return word.empty() ? PRIMITIVE_KNIFE : PRIMITIVE_CUBE;
}

// Fields every object element has, whatever its kind.
void ReadObjectFields(const LoadContext& context, int element, SceneObject& object)
{
    const XmlDocument& document = context.document;
    int name = Child(context, element, "Name");
    if (name >= 0)
        object.name = WidenBytes(document.elements[name].text);
    int bounds = Child(context, element, "Bounds");
    if (bounds >= 0) {
        ElementReader reader{document.elements[bounds]};
        object.minX = reader.Float("minX");
        object.maxX = reader.Float("maxX");
        object.minY = reader.Float("minY");
        object.maxY = reader.Float("maxY");
        object.minZ = reader.Float("minZ");
        object.maxZ = reader.Float("maxZ");
    }
    int rotation = Child(context, element, "Rotation");
    if (rotation >= 0) {
        ElementReader reader{document.elements[rotation]};
        object.rotation = Vec3f(reader.Float("x"), reader.Float("y"), reader.Float("z"));
    }
    int material = Child(context, element, "Material");
    if (material >= 0) {
        ElementReader reader{document.elements[material]};
        object.r = reader.Byte("r");
        object.g = reader.Byte("g");
        object.b = reader.Byte("b");
        object.a = reader.Byte("a");
        object.texture = MappedTexture(context, reader.Int("texture"));
        float scale = reader.Float("texScale", 1.0f);
        object.texScale = scale > 0.0f ? scale : 1.0f;
    }
    int hierarchy = Child(context, element, "Hierarchy");
    if (hierarchy >= 0) {
        ElementReader reader{document.elements[hierarchy]};
        object.objectType = reader.Text("objectType") == "solid" ? OBJECT_SOLID : OBJECT_HOLE;
        object.visible = reader.Flag("visible");
        object.selectable = reader.Flag("selectable");
    }
    // Groups are not saved, so no saved group id names anything.
    object.groupID = -1;
}

void ReadObjects(const LoadContext& context, int section)
{
    const XmlDocument& document = context.document;
    for (int element : document.elements[section].children) {
        if (document.elements[element].name != "Primitive")
            continue;
        SceneObject object;
        object.type = PrimitiveTypeOf(ElementReader{document.elements[element]});
        ReadObjectFields(context, element, object);
        g_SceneObjects.push_back(std::move(object));
    }
    for (int element : document.elements[section].children) {
        if (document.elements[element].name != "CSGMesh")
            continue;
        SceneObject object;
        object.type = PRIMITIVE_CUBE;
        object.isCSGMesh = true;
        ReadObjectFields(context, element, object);
        ElementReader reader{document.elements[element]};
        if (reader.Has("meshFile")) {
            std::wstring meshPath = PathAttribute(context, reader, "meshFile");
            if (!LoadMeshFile(meshPath, object.V, object.F, object.faceTextureIDs, object.faceTextureScales,
                              object.faceColors)) {
                DebugLog(L"ERROR: Failed to load mesh file: " + meshPath);
                continue;
            }
            for (int& texture : object.faceTextureIDs)
                texture = MappedTexture(context, texture);
        }
        g_SceneObjects.push_back(std::move(object));
    }
}

bool ModelIdTaken(int id, size_t except)
{
    for (size_t i = 0; i < g_Models.size(); ++i) {
        if (i != except && g_Models[i].id == id)
            return true;
    }
    return false;
}

int ModelsSection(const LoadContext& context) { return FindXmlElement(context.document, "Models"); }

// Moves the id counter past every saved model id before any model is loaded,
// so no fresh id (the built-in model's included) takes one a saved model needs.
void ReserveSavedModelIds(const LoadContext& context)
{
    int section = ModelsSection(context);
    for (int element : section >= 0 ? context.document.elements[section].children : std::vector<int>()) {
        int savedId = ElementReader{context.document.elements[element]}.Int("id");
        if (context.document.elements[element].name == "Model" && savedId > 0 && savedId <= MAX_SAVED_MODEL_ID)
            g_NextModelId = std::max(g_NextModelId, savedId + 1);
    }
}

// Loaded models take their saved ids where that keeps ids unique, so brushes
// and instances, which name models by id, find them.
void ReadModels(LoadContext& context)
{
    int builtInModel = -1;
    for (const PropBrush& brush : g_PropBrushes) {
        for (size_t i = 0; brush.builtIn && i < g_Models.size(); ++i) {
            if (g_Models[i].id == brush.modelID)
                builtInModel = static_cast<int>(i);
        }
    }
    std::vector<bool> settled;
    int section = ModelsSection(context);
    for (int element : section >= 0 ? context.document.elements[section].children : std::vector<int>()) {
        if (context.document.elements[element].name != "Model")
            continue;
        ElementReader reader{context.document.elements[element]};
        int savedId = reader.Int("id");
        int index = LoadGLBModel(PathAttribute(context, reader, "path"));
        if (index < 0 || static_cast<size_t>(index) >= g_Models.size())
            continue;
        settled.resize(g_Models.size(), false);
        bool known = MappedModelId(context, savedId) != -1;
        if (!settled[index] && !known && savedId > 0 && savedId <= MAX_SAVED_MODEL_ID &&
            !ModelIdTaken(savedId, index))
            g_Models[index].id = savedId;
        settled[index] = true;
        if (!known)
            context.modelIds.emplace_back(savedId, g_Models[index].id);
    }
    for (PropBrush& brush : g_PropBrushes) {
        if (brush.builtIn && builtInModel >= 0)
            brush.modelID = g_Models[builtInModel].id;
    }
}

void ReadPropBrushes(const LoadContext& context)
{
    int section = FindXmlElement(context.document, "PropBrushes");
    if (section < 0)
        return;
    for (int element : context.document.elements[section].children) {
        if (context.document.elements[element].name != "PropBrush")
            continue;
        ElementReader reader{context.document.elements[element]};
        PropBrush brush;
        brush.modelID = MappedModelId(context, reader.Int("modelID"));
        brush.name = WidenBytes(reader.Text("name"));
        g_PropBrushes.push_back(brush);
    }
}

Vec3f ReadVector(const LoadContext& context, int element, const char* name, Vec3f fallback)
{
    int child = Child(context, element, name);
    if (child < 0)
        return fallback;
    ElementReader reader{context.document.elements[child]};
    return Vec3f(reader.Float("x"), reader.Float("y"), reader.Float("z"));
}

// The model's normalised vertices scaled and moved; a box 2 wide, 2 deep and
// 2 high standing on the position when the model is not loaded.
void ComputeWorldBounds(PropInstance& instance)
{
    const Vec3f& p = instance.position;
    const Vec3f& s = instance.scale;
    Bounds3f& bounds = instance.worldBounds;
    for (const Model& model : g_Models) {
        if (model.id != instance.modelID || model.V.rows() == 0 || model.V.cols() != 3)
            continue;
        const float scale[3] = {s.x, s.y, s.z};
        const float position[3] = {p.x, p.y, p.z};
        float low[3], high[3];
        for (int axis = 0; axis < 3; ++axis) {
            float a = static_cast<float>(model.V.col(axis).minCoeff()) * scale[axis] + position[axis];
            float b = static_cast<float>(model.V.col(axis).maxCoeff()) * scale[axis] + position[axis];
            low[axis] = std::min(a, b);
            high[axis] = std::max(a, b);
        }
        bounds.minX = low[0];
        bounds.minY = low[1];
        bounds.minZ = low[2];
        bounds.maxX = high[0];
        bounds.maxY = high[1];
        bounds.maxZ = high[2];
        return;
    }
    bounds.minX = p.x - 1.0f;
    bounds.minY = p.y;
    bounds.minZ = p.z - 1.0f;
    bounds.maxX = p.x + 1.0f;
    bounds.maxY = p.y + 2.0f;
    bounds.maxZ = p.z + 1.0f;
}

void ReadPropInstances(const LoadContext& context)
{
    int section = FindXmlElement(context.document, "PropInstances");
    if (section < 0)
        return;
    for (int element : context.document.elements[section].children) {
        if (context.document.elements[element].name != "PropInstance")
            continue;
        ElementReader reader{context.document.elements[element]};
        PropInstance instance;
        instance.modelID = MappedModelId(context, reader.Int("modelID"));
        float cell = reader.Float("gridCellSize", 1.0f);
        instance.gridCellSize = cell > 0.0f ? cell : 1.0f;
        int name = Child(context, element, "Name");
        if (name >= 0)
            instance.name = WidenBytes(context.document.elements[name].text);
        instance.position = ReadVector(context, element, "Position", instance.position);
        instance.rotation = ReadVector(context, element, "Rotation", instance.rotation);
        instance.scale = ReadVector(context, element, "Scale", instance.scale);
        int material = Child(context, element, "Material");
        if (material >= 0) {
            ElementReader materialReader{context.document.elements[material]};
            instance.alpha = std::min(255.0f, std::max(0.0f, materialReader.Float("alpha")));
            instance.visible = materialReader.Flag("visible");
            instance.selectable = materialReader.Flag("selectable");
        }
        ComputeWorldBounds(instance);
        g_PropInstances.push_back(instance);
    }
}

// Nothing may keep pointing into the replaced lists.
void ClearSceneAndSelections()
{
    g_SceneObjects.clear();
    g_Groups.clear();
    g_PropInstances.clear();
    g_Models.clear();
    g_PropBrushes.clear();
    ClearSceneSelections();
}

// Lines end in CR LF on disk; the reader sees LF, as through a text stream.
std::string WithoutCarriageReturns(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            text += bytes[i];
    }
    return text;
}

} // namespace

std::wstring ResolveProjectPath(const std::wstring& saved, const std::wstring& folder)
{
    bool absolute =
        (!saved.empty() && (saved[0] == L'\\' || saved[0] == L'/')) || saved.find(L':') != std::wstring::npos;
    return absolute ? saved : folder + saved;
}

void LoadSceneFromBytes(const std::string& bytes, const std::wstring& path, const std::wstring& executableFolder)
{
    LoadContext context;
    context.folder = FolderPart(path);
    if (!ParseProjectXml(WithoutCarriageReturns(bytes), context.document))
        DebugLog(L"WARNING: Project file is damaged after byte " + std::to_wstring(context.document.faultOffset) +
                 L"; the rest is ignored: " + path);

    ClearSceneAndSelections();
    ReserveSavedModelIds(context);
    LoadBuiltInCustomPropFrom(executableFolder);
    ReadSettings(context);
    ReadTextures(context);
    int objects = FindXmlElement(context.document, "Objects");
    if (objects >= 0) {
        ReadObjects(context, objects);
        ReadModels(context);
        ReadPropBrushes(context);
        ReadPropInstances(context);
    }
    g_CurrentScenePath = path;
    ClearUndoHistory();
    g_Hooks.RefreshHierarchyTree();
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.InvalidateViewport();
    DebugLog(L"Scene loaded: " + path + L" (" + std::to_wstring(g_SceneObjects.size()) + L" objects)");
}

bool LoadScene(const std::wstring& path, const std::wstring& executableFolder)
{
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, bytes, MAX_PROJECT_FILE_BYTES)) {
        DebugLog(L"ERROR: Failed to open scene file: " + path);
        return false;
    }
    LoadSceneFromBytes(std::string(bytes.begin(), bytes.end()), path, executableFolder);
    return true;
}
