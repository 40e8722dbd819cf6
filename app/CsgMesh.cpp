#include "app/CsgMesh.h"

#include <algorithm>
#include <utility>

#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"

std::vector<int> CsgOperandList()
{
    return g_OperationSelection.empty() ? g_SelectedObjects : g_OperationSelection;
}

bool IsSceneObjectIndex(int index)
{
    return index >= 0 && index < static_cast<int>(g_SceneObjects.size());
}

std::vector<int> DistinctValidIndices(const std::vector<int>& list)
{
    std::vector<int> distinct;
    for (int index : list) {
        if (IsSceneObjectIndex(index) && std::find(distinct.begin(), distinct.end(), index) == distinct.end())
            distinct.push_back(index);
    }
    return distinct;
}

bool IsGeneratedSolid(const SceneObject& object)
{
    if (object.isCSGMesh || object.type < PRIMITIVE_CUBE || object.type >= PRIMITIVE_KNIFE)
        return false;
    // Written so that NaN bounds fail too.
    return object.maxX > object.minX && object.maxY > object.minY && object.maxZ > object.minZ;
}

AttributedMesh MakeOperandMesh(const SceneObject& object)
{
    AttributedMesh mesh;
    ObjectToMesh(object, mesh.V, mesh.F);
    const size_t faces = static_cast<size_t>(mesh.F.rows());
    mesh.faceTextureIDs.assign(faces, object.texture);
    mesh.faceTextureScales.assign(faces, object.texScale);
    mesh.faceColors.assign(faces, FaceColor(object.r, object.g, object.b));
    return mesh;
}

bool CombineMeshes(AttributedMesh& A, bool aValidByConstruction, const AttributedMesh& B,
                   bool bValidByConstruction, MeshBooleanType type, bool cavityTakesFirstFace,
                   std::string& failure)
{
    MeshBooleanOptions options;
    options.operandAValid = aValidByConstruction;
    options.operandBValid = bValidByConstruction;
    AttributedMesh result;
    Eigen::VectorXi J;
    MeshBooleanFailure why;
    if (!MeshBoolean(A.V, A.F, B.V, B.F, type, options, result.V, result.F, J, &why)) {
        failure = DescribeMeshBooleanFailure(why);
        return false;
    }

    // Faces of the cavity (or any B face when A has none) fall back to the defaults.
    int cavityTexture = -1;
    float cavityScale = 1.0f;
    FaceColor cavityColor;
    if (!A.faceTextureIDs.empty()) {
        cavityTexture = A.faceTextureIDs[0];
        cavityScale = A.faceTextureScales[0];
        cavityColor = A.faceColors[0];
    }

    const int rowsOfA = static_cast<int>(A.F.rows());
    const size_t faces = static_cast<size_t>(result.F.rows());
    result.faceTextureIDs.resize(faces);
    result.faceTextureScales.resize(faces);
    result.faceColors.resize(faces);
    for (size_t i = 0; i < faces; ++i) {
        const int born = J(static_cast<Eigen::Index>(i));
        if (born < rowsOfA) {
            result.faceTextureIDs[i] = A.faceTextureIDs[static_cast<size_t>(born)];
            result.faceTextureScales[i] = A.faceTextureScales[static_cast<size_t>(born)];
            result.faceColors[i] = A.faceColors[static_cast<size_t>(born)];
        } else if (cavityTakesFirstFace) {
            result.faceTextureIDs[i] = cavityTexture;
            result.faceTextureScales[i] = cavityScale;
            result.faceColors[i] = cavityColor;
        } else {
            const size_t ofB = static_cast<size_t>(born - rowsOfA);
            result.faceTextureIDs[i] = B.faceTextureIDs[ofB];
            result.faceTextureScales[i] = B.faceTextureScales[ofB];
            result.faceColors[i] = B.faceColors[ofB];
        }
    }
    A = std::move(result);
    return true;
}

SceneObject MakeMeshObject(const SceneObject& source, int type, AttributedMesh mesh, const std::wstring& name)
{
    SceneObject object;
    object.type = type;
    object.isCSGMesh = true;
    object.name = name;
    object.r = source.r;
    object.g = source.g;
    object.b = source.b;
    object.a = source.a;
    object.texture = source.texture;
    object.texScale = source.texScale;
    object.V = std::move(mesh.V);
    object.F = std::move(mesh.F);
    object.faceTextureIDs = std::move(mesh.faceTextureIDs);
    object.faceTextureScales = std::move(mesh.faceTextureScales);
    object.faceColors = std::move(mesh.faceColors);
    FitBoundsToMesh(object);
    return object;
}

int AppendSceneObjects(std::vector<SceneObject>& objects)
{
    const int first = static_cast<int>(g_SceneObjects.size());
    g_SceneObjects.reserve(g_SceneObjects.size() + objects.size());
    for (SceneObject& object : objects)
        g_SceneObjects.push_back(std::move(object));
    return first;
}
