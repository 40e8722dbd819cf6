// What the GLB and OBJ exporters share: the export tessellation of every
// object (unshared vertices with flat or analytic normals, never rotated),
// the material key and table, and the per-face grouping of explicit meshes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "scene/SceneTypes.h"

// Flat triangle lists; vertex k is positions 3k..3k+2, normals 3k..3k+2 and
// uvs 2k..2k+1.
struct ExportMesh {
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> uvs;
    std::vector<uint32_t> indices;
    std::string name;   // the OBJ exporter's material name

    size_t VertexCount() const { return positions.size() / 3; }
};

// The GLB exporter's unit: one primitive of the file.
struct GlbMeshPart : ExportMesh {
    int material = -1;   // index into the material table
};

// "r_g_b_a_texture_0", plain decimal.
std::string MaterialKey(int r, int g, int b, int a, int texture);

// Colour, alpha and texture read back out of a key.
struct MaterialFields {
    int r = 255, g = 255, b = 255;
    float alpha = 255.0f;
    int texture = -1;
};
MaterialFields ParseMaterialKey(const std::string& key);

// Keys in the order they were first registered; a new key gets the number of
// keys held so far.
struct MaterialTable {
    std::map<std::string, int> indexByKey;
    std::vector<std::string> keys;

    int Register(const std::string& key);
};

std::string ObjectMaterialKey(const SceneObject& object);

// One entry per face of F, exactly.
bool HasPerFaceTextures(const SceneObject& object);
bool HasPerFaceColors(const SceneObject& object);

// Faces of an explicit mesh with per-face materials, grouped by face key in
// ascending byte order of the key; faces in ascending order within a group.
std::map<std::string, std::vector<int>> GroupFacesByKey(const SceneObject& object);

// A texture scale fit to divide by: not finite or not above 0 counts as 1.
float UsableTextureScale(float scale);

// The OBJ exporter's tessellation: the object's primitive with fixed texture
// coordinates, or all faces of an explicit mesh; empty for a knife.
ExportMesh BuildExportMesh(const SceneObject& object);

// The GLB exporter's tessellation of a primitive: texture coordinates of the
// cube, sphere and cone scaled by size over texScale.
void AppendGlbPrimitive(const SceneObject& object, ExportMesh& mesh);

// Appends the listed faces of an explicit mesh. Each face gets its own three
// vertices; faceScales picks entry f of faceTextureScales as face f's scale
// (texScale where the array has no entry). Faces naming a vertex outside V,
// or with a corner that is not finite, are skipped.
void AppendMeshFaces(const SceneObject& object, const std::vector<int>& faces, bool faceScales, ExportMesh& mesh);

// Every face index of the object, in order.
std::vector<int> AllFaces(const SceneObject& object);
