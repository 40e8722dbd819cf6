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
#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

// Far beyond any project; the cap keeps a hostile file from taking all memory.
const size_t MAX_PROJECT_FILE_BYTES = size_t(256) << 20;
// Saved model ids above this are not taken over, so the id counter cannot overflow.
const int MAX_SAVED_MODEL_ID = 1 << 30;

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

struct LoadContext {
    XmlDocument document;
    std::wstring folder;
    std::vector<int> textureIndices;            // saved position -> index in g_Textures
    std::vector<std::pair<int, int>> modelIds;  // saved id -> id of the loaded model
    ProjectLoadReport report;
};

// Names and paths as written: escaped, or one byte per character.
std::wstring DecodeText(const LoadContext& context, const std::string& bytes, bool& repaired)
{
    if (!context.document.escaped)
        return WidenBytes(bytes);
    int faults = 0;
    std::wstring text = UnescapeText(bytes, faults);
    repaired = repaired || faults > 0;
    return text;
}

// Reads one element's attributes, noting each value that is missing, not
// wholly a number, or refused; the element then counts once as repaired.
struct ElementReader {
    LoadContext& context;
    const XmlElement& element;
    bool repaired = false;

    ElementReader(LoadContext& context, int index)
        : context(context), element(context.document.elements[index]), repaired(element.damaged)
    {
    }
    ~ElementReader()
    {
        if (repaired)
            ++context.report.repairedElements;
    }
    ElementReader(const ElementReader&) = delete;
    ElementReader& operator=(const ElementReader&) = delete;

    const std::string& Text(const char* name)
    {
        static const std::string EMPTY;
        const std::string* value = FindXmlAttribute(element, name);
        repaired = repaired || !value;
        return value ? *value : EMPTY;
    }
    bool Has(const char* name) const { return FindXmlAttribute(element, name) != nullptr; }
    // Names and paths, in the form the file was written in.
    std::wstring String(const char* name) { return DecodeText(context, Text(name), repaired); }
    // Non-finite values become fallback.
    float Float(const char* name, float fallback = 0.0f)
    {
        const std::string& text = Text(name);
        char* end = nullptr;
        float value = std::strtof(text.c_str(), &end);
        repaired = repaired || text.empty() || end != text.c_str() + text.size();
        if (std::isfinite(value))
            return value;
        repaired = true;
        return fallback;
    }
    // Values below low become fallback.
    float FloatAtLeast(const char* name, float low, float fallback)
    {
        float value = Float(name, fallback);
        if (value >= low)
            return value;
        repaired = true;
        return fallback;
    }
    float FloatAbove(const char* name, float low, float fallback)
    {
        float value = Float(name, fallback);
        if (value > low)
            return value;
        repaired = true;
        return fallback;
    }
    int Int(const char* name)
    {
        const std::string& text = Text(name);
        int value = ParseIntText(text);
        repaired = repaired || text.empty() || text != std::to_string(value);
        return value;
    }
    // Low eight bits, as the format keeps colours.
    int Byte(const char* name)
    {
        int value = Int(name);
        repaired = repaired || value < 0 || value > 255;
        return static_cast<int>(static_cast<unsigned>(value) & 0xFFu);
    }
    // Empty or missing is true; otherwise only "true" is.
    bool Flag(const char* name)
    {
        const std::string& value = Text(name);
        repaired = repaired || (value != "true" && value != "false");
        return value.empty() || value == "true";
    }
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

// The elements of that name inside the section of that name.
std::vector<int> SectionElements(const LoadContext& context, const char* section, const char* name)
{
    std::vector<int> elements;
    int index = FindXmlElement(context.document, section);
    for (int element : index >= 0 ? context.document.elements[index].children : std::vector<int>()) {
        if (context.document.elements[element].name == name)
            elements.push_back(element);
    }
    return elements;
}

void ReadSettings(LoadContext& context)
{
    int grid = FindXmlElement(context.document, "Grid");
    if (grid >= 0) {
        ElementReader reader(context, grid);
        g_GridHeight = reader.Float("height");
        g_GridCellSize = reader.FloatAbove("cellSize", 0.0f, 1.0f);
        g_GridOffsetX = reader.Float("offsetX");
        g_GridOffsetZ = reader.Float("offsetZ");
    }
    int camera = FindXmlElement(context.document, "Camera");
    if (camera >= 0) {
        ElementReader reader(context, camera);
        g_CameraDistance = reader.FloatAtLeast("distance", MIN_CAMERA_DISTANCE, MIN_CAMERA_DISTANCE);
        g_CameraYaw = reader.Float("yaw");
        g_CameraPitch = reader.Float("pitch");
        g_CameraTargetX = reader.Float("targetX");
        g_CameraTargetY = reader.Float("targetY");
        g_CameraTargetZ = reader.Float("targetZ");
    }
}

std::wstring PathAttribute(ElementReader& reader, const char* name)
{
    return ResolveProjectPath(reader.String(name), reader.context.folder);
}

void ReadTextures(LoadContext& context)
{
    for (int element : SectionElements(context, "Textures", "Texture")) {
        ElementReader reader(context, element);
        context.textureIndices.push_back(LoadTexture(PathAttribute(reader, "path")));
    }
}

int PrimitiveTypeOf(ElementReader& reader)
{
    static const char* const WORDS[] = {"cube", "sphere", "cylinder", "cone", "ramp", "wedge"};
    const std::string& word = reader.Text("type");
    for (int type = PRIMITIVE_CUBE; type <= PRIMITIVE_WEDGE; ++type) {
        if (word == WORDS[type])
            return type;
    }
    if (word.empty() && reader.Has("type"))
        return PRIMITIVE_KNIFE;
    reader.repaired = true;
    return PRIMITIVE_CUBE;
}

// A saved texture position mapped; one that names no saved texture is none.
int ReadTextureIndex(ElementReader& reader)
{
    int saved = reader.Int("texture");
    int texture = MappedTexture(reader.context, saved);
    reader.repaired = reader.repaired || (texture == -1 && saved != -1);
    return texture;
}

// Fields every object element has, whatever its kind. A missing child counts
// as a repair of the object.
void ReadObjectFields(LoadContext& context, int element, SceneObject& object, bool& repaired)
{
    const XmlDocument& document = context.document;
    int name = Child(context, element, "Name");
    if (name >= 0) {
        object.name = DecodeText(context, document.elements[name].text, repaired);
        repaired = repaired || document.elements[name].damaged;
    }
    int bounds = Child(context, element, "Bounds");
    if (bounds >= 0) {
        ElementReader reader(context, bounds);
        object.minX = reader.Float("minX");
        object.maxX = reader.Float("maxX");
        object.minY = reader.Float("minY");
        object.maxY = reader.Float("maxY");
        object.minZ = reader.Float("minZ");
        object.maxZ = reader.Float("maxZ");
    }
    int rotation = Child(context, element, "Rotation");
    if (rotation >= 0) {
        ElementReader reader(context, rotation);
        object.rotation = Vec3f(reader.Float("x"), reader.Float("y"), reader.Float("z"));
    }
    int material = Child(context, element, "Material");
    if (material >= 0) {
        ElementReader reader(context, material);
        object.r = reader.Byte("r");
        object.g = reader.Byte("g");
        object.b = reader.Byte("b");
        object.a = reader.Byte("a");
        object.texture = ReadTextureIndex(reader);
        object.texScale = reader.FloatAbove("texScale", 0.0f, 1.0f);
    }
    int hierarchy = Child(context, element, "Hierarchy");
    if (hierarchy >= 0) {
        ElementReader reader(context, hierarchy);
        const std::string& type = reader.Text("objectType");
        object.objectType = type == "solid" ? OBJECT_SOLID : OBJECT_HOLE;
        reader.repaired = reader.repaired || (type != "solid" && type != "hole");
        reader.Int("groupID");
        object.visible = reader.Flag("visible");
        object.selectable = reader.Flag("selectable");
    }
    repaired = repaired || name < 0 || bounds < 0 || rotation < 0 || material < 0 || hierarchy < 0;
    // Groups are not saved, so no saved group id names anything.
    object.groupID = -1;
}

// Per-face texture positions mapped; false when one named no saved texture.
bool MapFaceTextures(const LoadContext& context, std::vector<int>& faceTextureIDs)
{
    bool all = true;
    for (int& texture : faceTextureIDs) {
        int saved = texture;
        texture = MappedTexture(context, saved);
        all = all && (texture != -1 || saved == -1);
    }
    return all;
}

void ReadObjects(LoadContext& context)
{
    for (int element : SectionElements(context, "Objects", "Primitive")) {
        SceneObject object;
        {
            ElementReader reader(context, element);
            object.type = PrimitiveTypeOf(reader);
            ReadObjectFields(context, element, object, reader.repaired);
        }
        g_SceneObjects.push_back(std::move(object));
    }
    for (int element : SectionElements(context, "Objects", "CSGMesh")) {
        SceneObject object;
        object.type = PRIMITIVE_CUBE;
        object.isCSGMesh = true;
        ElementReader reader(context, element);
        ReadObjectFields(context, element, object, reader.repaired);
        if (reader.Has("meshFile")) {
            std::wstring meshPath = PathAttribute(reader, "meshFile");
            int meshRepairs = 0;
            if (!LoadMeshFile(meshPath, object.V, object.F, object.faceTextureIDs, object.faceTextureScales,
                              object.faceColors, &meshRepairs)) {
                DebugLog(L"ERROR: Failed to load mesh file: " + meshPath);
                ++context.report.skippedObjects;
                reader.repaired = false;
                continue;
            }
            reader.repaired = reader.repaired || meshRepairs > 0 || !MapFaceTextures(context, object.faceTextureIDs);
        } else {
            reader.repaired = true;
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

// Moves the id counter past every saved model id before any model is loaded,
// so no fresh id (the built-in model's included) takes one a saved model needs.
void ReserveSavedModelIds(const LoadContext& context)
{
    for (int element : SectionElements(context, "Models", "Model")) {
        const std::string* text = FindXmlAttribute(context.document.elements[element], "id");
        int savedId = text ? ParseIntText(*text) : 0;
        if (savedId > 0 && savedId <= MAX_SAVED_MODEL_ID)
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
    for (int element : SectionElements(context, "Models", "Model")) {
        ElementReader reader(context, element);
        int savedId = reader.Int("id");
        reader.repaired = reader.repaired || savedId <= 0 || savedId > MAX_SAVED_MODEL_ID;
        int index = LoadGLBModel(PathAttribute(reader, "path"));
        if (index < 0 || static_cast<size_t>(index) >= g_Models.size()) {
            ++context.report.skippedModels;
            reader.repaired = false;
            continue;
        }
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

void ReadPropBrushes(LoadContext& context)
{
    for (int element : SectionElements(context, "PropBrushes", "PropBrush")) {
        ElementReader reader(context, element);
        PropBrush brush;
        brush.modelID = MappedModelId(context, reader.Int("modelID"));
        brush.name = reader.String("name");
        g_PropBrushes.push_back(brush);
    }
}

Vec3f ReadVector(LoadContext& context, int element, const char* name, Vec3f fallback, bool& repaired)
{
    int child = Child(context, element, name);
    if (child < 0) {
        repaired = true;
        return fallback;
    }
    ElementReader reader(context, child);
    return Vec3f(reader.Float("x"), reader.Float("y"), reader.Float("z"));
}

// The model's normalised vertices scaled and moved; a box 2 wide, 2 deep and
// 2 high standing on the position when the model is not loaded. An axis whose
// bounds would overflow keeps its position and gets scale 1 (false then).
bool ComputeWorldBounds(PropInstance& instance)
{
    const Vec3f& p = instance.position;
    const Model* model = FindModelById(instance.modelID);
    if (!model || model->V.rows() == 0 || model->V.cols() != 3) {
        instance.worldBounds = BoundsBetween(Vec3f(p.x - 1.0f, p.y, p.z - 1.0f), Vec3f(p.x + 1.0f, p.y + 2.0f, p.z + 1.0f));
        return true;
    }
    float* scale[3] = {&instance.scale.x, &instance.scale.y, &instance.scale.z};
    const float position[3] = {p.x, p.y, p.z};
    static const wchar_t* const AXES[3] = {L"X", L"Y", L"Z"};
    float low[3], high[3];
    bool finite = true;
    for (int axis = 0; axis < 3; ++axis) {
        float lowest = static_cast<float>(model->V.col(axis).minCoeff());
        float highest = static_cast<float>(model->V.col(axis).maxCoeff());
        float a = lowest * *scale[axis] + position[axis];
        float b = highest * *scale[axis] + position[axis];
        if (!std::isfinite(a) || !std::isfinite(b)) {
            DebugLog(L"WARNING: Prop instance bounds overflow on the " + std::wstring(AXES[axis]) +
                     L" axis, scale set to 1: " + instance.name);
            *scale[axis] = 1.0f;
            a = lowest + position[axis];
            b = highest + position[axis];
            finite = false;
        }
        low[axis] = std::min(a, b);
        high[axis] = std::max(a, b);
    }
    instance.worldBounds = BoundsBetween(Vec3f(low[0], low[1], low[2]), Vec3f(high[0], high[1], high[2]));
    return finite;
}

void ReadPropInstances(LoadContext& context)
{
    for (int element : SectionElements(context, "PropInstances", "PropInstance")) {
        ElementReader reader(context, element);
        PropInstance instance;
        instance.modelID = MappedModelId(context, reader.Int("modelID"));
        instance.gridCellSize = reader.FloatAbove("gridCellSize", 0.0f, 1.0f);
        int name = Child(context, element, "Name");
        if (name >= 0) {
            instance.name = DecodeText(context, context.document.elements[name].text, reader.repaired);
            reader.repaired = reader.repaired || context.document.elements[name].damaged;
        }
        instance.position = ReadVector(context, element, "Position", instance.position, reader.repaired);
        instance.rotation = ReadVector(context, element, "Rotation", instance.rotation, reader.repaired);
        instance.scale = ReadVector(context, element, "Scale", instance.scale, reader.repaired);
        int material = Child(context, element, "Material");
        if (material >= 0) {
            ElementReader materialReader(context, material);
            float alpha = materialReader.Float("alpha");
            instance.alpha = std::min(255.0f, std::max(0.0f, alpha));
            materialReader.repaired = materialReader.repaired || instance.alpha != alpha;
            instance.visible = materialReader.Flag("visible");
            instance.selectable = materialReader.Flag("selectable");
        }
        reader.repaired = reader.repaired || name < 0 || material < 0;
        if (!ComputeWorldBounds(instance))
            reader.repaired = true;
        g_PropInstances.push_back(instance);
    }
}

// A file without an Objects section has its models, brushes and instances
// left unread, as files always had; they count as left out.
void CountUnreadRecords(LoadContext& context)
{
    const char* const SECTIONS[][2] = {{"Models", "Model"}, {"PropBrushes", "PropBrush"}, {"PropInstances", "PropInstance"}};
    for (const auto& section : SECTIONS)
        context.report.unreadableParts += static_cast<int>(SectionElements(context, section[0], section[1]).size());
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

bool ProjectLoadReport::Clean() const
{
    return skippedObjects == 0 && skippedModels == 0 && repairedElements == 0 && unreadableParts == 0;
}

namespace {

// What was skipped or repaired, one entry per kind that occurred.
std::vector<std::wstring> ReportItems(const ProjectLoadReport& report)
{
    std::vector<std::wstring> items;
    auto add = [&items](int count, const wchar_t* one, const wchar_t* many) {
        if (count > 0)
            items.push_back(std::to_wstring(count) + L" " + (count == 1 ? one : many));
    };
    add(report.skippedObjects, L"object skipped (its mesh file failed to load)",
        L"objects skipped (their mesh files failed to load)");
    add(report.skippedModels, L"model skipped (its file failed to load)",
        L"models skipped (their files failed to load)");
    add(report.repairedElements, L"element read with values missing or replaced",
        L"elements read with values missing or replaced");
    add(report.unreadableParts, L"damaged part skipped", L"damaged parts skipped");
    return items;
}

} // namespace

std::wstring PartialLoadMessage(const ProjectLoadReport& report)
{
    std::wstring text = L"The scene file was not fully read. Skipped or repaired:\n";
    for (const std::wstring& item : ReportItems(report))
        text += L"\n    " + item;
    return text + L"\n\nThe scene has no file name now: Save asks for a new one, so the original file is not "
                  L"overwritten.";
}

bool LoadSceneFromBytes(const std::string& bytes, const std::wstring& path, const std::wstring& executableFolder,
                        ProjectLoadReport* report)
{
    LoadContext context;
    context.folder = FolderPart(path);
    if (!ParseProjectXml(WithoutCarriageReturns(bytes), context.document)) {
        DebugLog(L"ERROR: Not a scene file: " + path);
        return false;
    }
    context.report.unreadableParts = context.document.unreadableParts;

    ClearSceneAndSelections();
    ReserveSavedModelIds(context);
    LoadBuiltInCustomPropFrom(executableFolder);
    ReadSettings(context);
    ReadTextures(context);
    if (FindXmlElement(context.document, "Objects") >= 0) {
        ReadObjects(context);
        ReadModels(context);
        ReadPropBrushes(context);
        ReadPropInstances(context);
    } else {
        CountUnreadRecords(context);
    }
    bool clean = context.report.Clean();
    g_CurrentScenePath = clean ? path : std::wstring();
    ClearUndoHistory();
    g_Hooks.RefreshHierarchyTree();
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.UpdateVertexPropertiesPanel();
    g_Hooks.InvalidateViewport();
    DebugLog(L"Scene loaded: " + path + L" (" + std::to_wstring(g_SceneObjects.size()) + L" objects)");
    if (!clean) {
        std::wstring line = L"WARNING: The scene file was not fully read: ";
        std::vector<std::wstring> items = ReportItems(context.report);
        for (size_t i = 0; i < items.size(); ++i)
            line += (i ? L", " : L"") + items[i];
        DebugLog(line);
    }
    if (report)
        *report = context.report;
    return true;
}

bool LoadScene(const std::wstring& path, const std::wstring& executableFolder, ProjectLoadReport* report)
{
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, bytes, MAX_PROJECT_FILE_BYTES)) {
        DebugLog(L"ERROR: Failed to open scene file: " + path);
        return false;
    }
    return LoadSceneFromBytes(std::string(bytes.begin(), bytes.end()), path, executableFolder, report);
}
