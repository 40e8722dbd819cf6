#include "io/ObjExport.h"

#include <charconv>
#include <cstring>
#include <vector>

#include "io/ExportMesh.h"
#include "io/FileUtil.h"
#include "io/NumberText.h"
#include "io/PngEncode.h"
#include "io/Utf8.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"

namespace {

// One byte per character as readers of these files expect; a name that one
// byte cannot hold is written as UTF-8, so it still names the file written.
std::string FileNameBytes(const std::wstring& name)
{
    for (wchar_t c : name) {
        if (static_cast<unsigned long>(c) > 0xFF)
            return WideToUtf8(name);
    }
    std::string bytes;
    for (wchar_t c : name)
        bytes += static_cast<char>(static_cast<unsigned char>(c));
    return bytes;
}

void AppendFloats(std::string& out, const char* prefix, const std::vector<float>& values, size_t index, int count)
{
    out += prefix;
    for (int k = 0; k < count; ++k) {
        out += ' ';
        AppendFloat6(out, values[index + static_cast<size_t>(k)]);
    }
    out += '\n';
}

// The output meshes in order, each named after its material.
std::vector<ExportMesh> BuildOutputMeshes(MaterialTable& table)
{
    std::vector<ExportMesh> meshes;
    for (const SceneObject& object : g_SceneObjects) {
        if (!object.visible)
            continue;
        if (object.isCSGMesh && (HasPerFaceTextures(object) || HasPerFaceColors(object))) {
            const bool faceScales = HasPerFaceTextures(object);
            for (const auto& group : GroupFacesByKey(object)) {
                ExportMesh mesh;
                AppendMeshFaces(object, group.second, faceScales, mesh);
                const int material = table.Register(group.first);
                if (mesh.indices.empty())
                    continue;
                mesh.name = "material_" + std::to_string(material);
                meshes.push_back(std::move(mesh));
            }
            continue;
        }
        const int material = table.Register(ObjectMaterialKey(object));
        meshes.push_back(BuildExportMesh(object));
        meshes.back().name = "material_" + std::to_string(material);
    }
    return meshes;
}

// The MTL text; writes each material's texture file on the way, and names it
// only when it was written.
std::string MaterialLibraryText(const MaterialTable& table, const std::wstring& textureFolder,
                                const std::string& textureFolderName)
{
    std::string out = "# Ostrel Material Library\n\n";
    for (size_t m = 0; m < table.keys.size(); ++m) {
        const MaterialFields material = ParseMaterialKey(table.keys[m]);
        out += "newmtl material_" + std::to_string(m) + "\n";
        out += "Ka 1.0 1.0 1.0\n";
        out += "Kd ";
        AppendFloat6(out, static_cast<float>(material.r) / 255.0f);
        out += ' ';
        AppendFloat6(out, static_cast<float>(material.g) / 255.0f);
        out += ' ';
        AppendFloat6(out, static_cast<float>(material.b) / 255.0f);
        out += "\nKs 0.0 0.0 0.0\nd ";
        AppendFloat6(out, material.alpha / 255.0f);
        out += '\n';
        std::vector<unsigned char> png;
        if (EncodeTextureAsPng(material.texture, png)) {
            const std::wstring file = L"texture_" + std::to_wstring(material.texture) + L".png";
            if (WriteFileReplacing(textureFolder + file, png))
                out += "map_Kd " + textureFolderName + "/" + FileNameBytes(file) + "\n";
            else
                DebugLog(L"WARNING: Failed to write texture file: " + textureFolder + file);
        }
        out += '\n';
    }
    return out;
}

std::string ObjText(const std::vector<ExportMesh>& meshes, const std::string& mtlName)
{
    std::string out = "# Ostrel OBJ Export\nmtllib " + mtlName + "\n\n";
    // A generous guess of the text's size, so the text is not copied as it grows.
    size_t estimate = 0;
    for (const ExportMesh& mesh : meshes)
        estimate += 32 + mesh.VertexCount() * 96 + mesh.indices.size() * 24;
    out.reserve(out.size() + estimate);
    size_t base = 1;
    for (const ExportMesh& mesh : meshes) {
        const size_t count = mesh.VertexCount();
        for (size_t k = 0; k < count; ++k)
            AppendFloats(out, "v", mesh.positions, 3 * k, 3);
        // Flat faces repeat one normal on all three corners: format it once.
        size_t lineStart = 0, lineLength = 0;
        for (size_t k = 0; k < count; ++k) {
            if (k > 0 && std::memcmp(&mesh.normals[3 * k], &mesh.normals[3 * (k - 1)], 3 * sizeof(float)) == 0) {
                out.append(out, lineStart, lineLength);
                continue;
            }
            lineStart = out.size();
            AppendFloats(out, "vn", mesh.normals, 3 * k, 3);
            lineLength = out.size() - lineStart;
        }
        for (size_t k = 0; k < count; ++k)
            AppendFloats(out, "vt", mesh.uvs, 2 * k, 2);
        out += "\nusemtl " + mesh.name + "\n";
        for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
            out += 'f';
            for (int corner = 0; corner < 3; ++corner) {
                char index[24];
                const size_t length =
                    static_cast<size_t>(std::to_chars(index, index + sizeof index, mesh.indices[i + corner] + base).ptr -
                                        index);
                out += ' ';
                out.append(index, length);
                out += '/';
                out.append(index, length);
                out += '/';
                out.append(index, length);
            }
            out += '\n';
        }
        base += count;
    }
    return out;
}

} // namespace

ExportOutcome ExportSceneToOBJ(const std::wstring& path)
{
    if (g_SceneObjects.empty())
        return ExportOutcome().Fail(L"No objects to export!");
    const std::wstring dir = FolderPart(path);
    const std::wstring stem = FileStemPart(path);
    const std::wstring textureFolder = dir + stem + L"_textures";
    CreateFolder(textureFolder);

    MaterialTable table;
    const std::vector<ExportMesh> meshes = BuildOutputMeshes(table);
    const std::string mtl =
        MaterialLibraryText(table, textureFolder + PATH_SEPARATOR, FileNameBytes(stem + L"_textures"));
    if (!WriteFileReplacing(dir + stem + L".mtl", mtl))
        return ExportOutcome().Fail(L"Failed to create MTL file!");
    if (!WriteFileReplacing(path, ObjText(meshes, FileNameBytes(stem + L".mtl"))))
        return ExportOutcome().Fail(L"Failed to create OBJ file!");
    return ExportOutcome().Succeed(L"Scene exported to OBJ successfully!");
}
