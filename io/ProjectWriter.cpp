#include "io/ProjectWriter.h"

#include <vector>

#include "io/ByteText.h"
#include "io/FileUtil.h"
#include "io/MeshFile.h"
#include "io/NumberText.h"
#include "io/ProjectXml.h"
#include "scene/DebugLog.h"
#include "scene/PerFaceArrays.h"
#include "scene/SceneState.h"

namespace {

// Temporary files sit beside their targets, so moving them into place never
// crosses a file system.
const wchar_t* const SAVING_SUFFIX = L".saving";

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

// Line text is built with '\n' and every '\n' becomes CR LF at the end, as a
// text-mode stream would write it, whichever platform this runs on.
struct ProjectText {
    std::string out;
    bool escaped = false;        // names and paths in the escaped form
    bool needsEscaping = false;  // a value the plain form cannot carry was met

    void Indent(int spaces) { out.append(static_cast<size_t>(spaces), ' '); }
    void Line(int spaces, const char* text)
    {
        Indent(spaces);
        out += text;
        out += '\n';
    }
    void Open(int spaces, const char* element)
    {
        Indent(spaces);
        out += '<';
        out += element;
    }
    void Raw(const char* name, const std::string& value)
    {
        out += ' ';
        out += name;
        out += "=\"";
        out += value;
        out += '"';
    }
    void Append(const std::wstring& value, bool attributeValue)
    {
        if (escaped) {
            AppendEscaped(out, value);
            return;
        }
        needsEscaping = needsEscaping || NeedsEscapedForm(value, attributeValue);
        AppendPlain(out, value);
    }
    void Text(const char* name, const std::wstring& value)
    {
        out += ' ';
        out += name;
        out += "=\"";
        Append(value, true);
        out += '"';
    }
    void Float(const char* name, float value)
    {
        std::string number;
        AppendFloat6(number, value);
        Raw(name, number);
    }
    void Int(const char* name, long long value) { Raw(name, std::to_string(value)); }
    void Bool(const char* name, bool value) { Raw(name, value ? "true" : "false"); }
    void EndEmpty() { out += "/>\n"; }
    void EndStart() { out += ">\n"; }
    void NameLine(const std::wstring& name)
    {
        Indent(6);
        out += "<Name>";
        Append(name, false);
        out += "</Name>\n";
    }
};

const char* PrimitiveWord(int type)
{
    switch (type) {
    case PRIMITIVE_CUBE: return "cube";
    case PRIMITIVE_SPHERE: return "sphere";
    case PRIMITIVE_CYLINDER: return "cylinder";
    case PRIMITIVE_CONE: return "cone";
    case PRIMITIVE_RAMP: return "ramp";
    case PRIMITIVE_WEDGE: return "wedge";
    default: return "";
    }
}

void WriteSettings(ProjectText& text)
{
    text.Line(2, "<Settings>");
    text.Open(4, "Grid");
    text.Float("height", g_GridHeight);
    text.Float("cellSize", g_GridCellSize);
    text.Float("offsetX", g_GridOffsetX);
    text.Float("offsetZ", g_GridOffsetZ);
    text.EndEmpty();
    text.Open(4, "Camera");
    text.Float("distance", g_CameraDistance);
    text.Float("yaw", g_CameraYaw);
    text.Float("pitch", g_CameraPitch);
    text.Float("targetX", g_CameraTargetX);
    text.Float("targetY", g_CameraTargetY);
    text.Float("targetZ", g_CameraTargetZ);
    text.EndEmpty();
    text.Line(2, "</Settings>");
}

void WriteAssets(ProjectText& text, const std::wstring& folder)
{
    text.Line(2, "<Textures>");
    for (size_t i = 0; i < g_Textures.size(); ++i) {
        text.Open(4, "Texture");
        text.Int("id", static_cast<long long>(i));
        text.Text("path", PathRelativeToFolder(g_Textures[i].path, folder));
        text.EndEmpty();
    }
    text.Line(2, "</Textures>");
    text.Line(2, "<Models>");
    for (const Model& model : g_Models) {
        text.Open(4, "Model");
        text.Int("id", model.id);
        text.Text("path", PathRelativeToFolder(model.path, folder));
        text.Text("name", model.name);
        text.EndEmpty();
    }
    text.Line(2, "</Models>");
    text.Line(2, "<PropBrushes>");
    for (size_t i = 0; i < g_PropBrushes.size(); ++i) {
        const PropBrush& brush = g_PropBrushes[i];
        if (brush.builtIn)
            continue;
        text.Open(4, "PropBrush");
        text.Int("id", static_cast<long long>(i));
        text.Int("modelID", brush.modelID);
        text.Text("name", brush.name);
        text.EndEmpty();
    }
    text.Line(2, "</PropBrushes>");
}

void WriteObjectChildren(ProjectText& text, const SceneObject& object)
{
    text.NameLine(object.name);
    text.Open(6, "Bounds");
    text.Float("minX", object.minX);
    text.Float("maxX", object.maxX);
    text.Float("minY", object.minY);
    text.Float("maxY", object.maxY);
    text.Float("minZ", object.minZ);
    text.Float("maxZ", object.maxZ);
    text.EndEmpty();
    text.Open(6, "Rotation");
    text.Float("x", object.rotation.x);
    text.Float("y", object.rotation.y);
    text.Float("z", object.rotation.z);
    text.EndEmpty();
    text.Open(6, "Material");
    text.Int("r", object.r);
    text.Int("g", object.g);
    text.Int("b", object.b);
    text.Int("a", object.a);
    text.Int("texture", object.texture);
    text.Float("texScale", object.texScale);
    text.EndEmpty();
    text.Open(6, "Hierarchy");
    text.Raw("objectType", object.objectType == OBJECT_SOLID ? "solid" : "hole");
    text.Int("groupID", object.groupID);
    text.Bool("visible", object.visible);
    text.Bool("selectable", object.selectable);
    text.EndEmpty();
}

void WriteObjects(ProjectText& text, const std::wstring& projectPath)
{
    text.Line(2, "<Objects>");
    int meshNumber = 0;
    for (size_t i = 0; i < g_SceneObjects.size(); ++i) {
        const SceneObject& object = g_SceneObjects[i];
        if (object.isCSGMesh) {
            text.Open(4, "CSGMesh");
            text.Int("id", static_cast<long long>(i));
            text.Text("meshFile", MeshFileReference(projectPath, meshNumber++));
        } else {
            text.Open(4, "Primitive");
            text.Int("id", static_cast<long long>(i));
            text.Raw("type", PrimitiveWord(object.type));
        }
        text.EndStart();
        WriteObjectChildren(text, object);
        text.Line(4, object.isCSGMesh ? "</CSGMesh>" : "</Primitive>");
    }
    text.Line(2, "</Objects>");
}

void WritePropInstances(ProjectText& text)
{
    text.Line(2, "<PropInstances>");
    for (size_t i = 0; i < g_PropInstances.size(); ++i) {
        const PropInstance& instance = g_PropInstances[i];
        text.Open(4, "PropInstance");
        text.Int("id", static_cast<long long>(i));
        text.Int("modelID", instance.modelID);
        text.Float("gridCellSize", instance.gridCellSize);
        text.EndStart();
        text.NameLine(instance.name);
        const char* vectors[3] = {"Position", "Rotation", "Scale"};
        const Vec3f* values[3] = {&instance.position, &instance.rotation, &instance.scale};
        for (int k = 0; k < 3; ++k) {
            text.Open(6, vectors[k]);
            text.Float("x", values[k]->x);
            text.Float("y", values[k]->y);
            text.Float("z", values[k]->z);
            text.EndEmpty();
        }
        text.Open(6, "Material");
        text.Float("alpha", instance.alpha);
        text.Bool("visible", instance.visible);
        text.Bool("selectable", instance.selectable);
        text.EndEmpty();
        text.Line(4, "</PropInstance>");
    }
    text.Line(2, "</PropInstances>");
}

std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

bool WriteTextFile(const std::wstring& path, const std::string& text)
{
    return WriteFileBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

// Faces without their own entries are written with the object's texture,
// scale and colour, which is how they are drawn.
std::vector<unsigned char> EncodeObjectMesh(const SceneObject& object)
{
    std::vector<int> textureIDs = object.faceTextureIDs;
    std::vector<float> textureScales = object.faceTextureScales;
    std::vector<FaceColor> colors = object.faceColors;
    FitPerFaceArrays(object, textureIDs, textureScales, colors);
    return EncodeMeshFile(object.V, object.F, textureIDs, textureScales, colors);
}

void RemoveStaged(const std::vector<std::wstring>& targets)
{
    for (const std::wstring& target : targets)
        RemoveFile(target + SAVING_SUFFIX);
}

} // namespace

std::wstring PathRelativeToFolder(const std::wstring& path, const std::wstring& folder)
{
    if (folder.empty() || path.size() < folder.size())
        return path;
    for (size_t i = 0; i < folder.size(); ++i) {
        if (LowerAscii(path[i]) != LowerAscii(folder[i]))
            return path;
    }
    return path.substr(folder.size());
}

std::wstring MeshSideFilePath(const std::wstring& projectPath, int meshNumber)
{
    return FolderPart(projectPath) + FileStemPart(projectPath) + L"_meshes" + PATH_SEPARATOR + L"mesh_" +
           std::to_wstring(meshNumber) + L".tsm";
}

std::wstring MeshFileReference(const std::wstring& projectPath, int meshNumber)
{
    return FileStemPart(projectPath) + L"_meshes/mesh_" + std::to_wstring(meshNumber) + L".tsm";
}

namespace {

void WriteProject(ProjectText& text, const std::wstring& path)
{
    text.Line(0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    if (text.escaped)
        text.Line(0, (std::string("<OstrelScene version=\"1.0\" ") + PROJECT_TEXT_ATTRIBUTE + "=\"" +
                      PROJECT_TEXT_ESCAPED + "\">").c_str());
    else
        text.Line(0, "<OstrelScene version=\"1.0\">");
    WriteSettings(text);
    WriteAssets(text, FolderPart(path));
    WriteObjects(text, path);
    WritePropInstances(text);
    text.Line(0, "</OstrelScene>");
}

} // namespace

// The plain form while every name and path fits it, so such files stay as
// they always were; else the whole file in the escaped form.
std::string ProjectFileText(const std::wstring& path)
{
    ProjectText text;
    WriteProject(text, path);
    if (text.needsEscaping) {
        text = ProjectText();
        text.escaped = true;
        WriteProject(text, path);
    }
    return WithCrLf(text.out);
}

bool SaveScene(const std::wstring& path, std::wstring& failure)
{
    const std::string text = ProjectFileText(path);
    CreateFolder(FolderPart(path) + FileStemPart(path) + L"_meshes");

    // Stage every file, then move them all into place.
    std::vector<std::wstring> targets;
    std::vector<const SceneObject*> meshes;
    for (const SceneObject& object : g_SceneObjects) {
        if (!object.isCSGMesh)
            continue;
        std::wstring target = MeshSideFilePath(path, static_cast<int>(meshes.size()));
        targets.push_back(target);
        meshes.push_back(&object);
        if (!WriteFileBytes(target + SAVING_SUFFIX, EncodeObjectMesh(object))) {
            DebugLog(L"ERROR: Failed to create TSM file: " + target);
            failure = L"Failed to write mesh file: " + target;
            RemoveStaged(targets);
            return false;
        }
    }
    targets.push_back(path);
    if (!WriteTextFile(path + SAVING_SUFFIX, text)) {
        failure = L"Failed to create scene file!";
        RemoveStaged(targets);
        return false;
    }
    for (size_t i = 0; i < targets.size(); ++i) {
        if (!ReplaceFileWith(targets[i], targets[i] + SAVING_SUFFIX)) {
            failure = L"Failed to replace " + targets[i];
            RemoveStaged(targets);
            return false;
        }
        if (i < meshes.size())
            LogMeshFileSaved(targets[i], meshes[i]->V, meshes[i]->F);
    }
    g_CurrentScenePath = path;
    DebugLog(L"Scene saved: " + path);
    return true;
}
