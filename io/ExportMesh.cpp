#include "io/ExportMesh.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace {

const float TWO_PI = 6.2831855f;
const float PI = 3.1415927f;
const int CIRCLE_SEGMENTS = 32;
const int SPHERE_RINGS = 16;

struct Vertex {
    float x, y, z;
    float u, v;
};

struct Normal {
    float x, y, z;
};

void AddVertex(ExportMesh& mesh, const Vertex& vertex, const Normal& normal)
{
    mesh.positions.push_back(vertex.x);
    mesh.positions.push_back(vertex.y);
    mesh.positions.push_back(vertex.z);
    mesh.normals.push_back(normal.x);
    mesh.normals.push_back(normal.y);
    mesh.normals.push_back(normal.z);
    mesh.uvs.push_back(vertex.u);
    mesh.uvs.push_back(vertex.v);
}

void AddTriangle(ExportMesh& mesh, uint32_t a, uint32_t b, uint32_t c)
{
    mesh.indices.push_back(a);
    mesh.indices.push_back(b);
    mesh.indices.push_back(c);
}

// One flat face of a ramp or wedge: its corners with one normal, and its
// triangles as offsets from the face's first vertex.
void AddFlatFace(ExportMesh& mesh, std::initializer_list<Vertex> corners, const Normal& normal,
                 std::initializer_list<uint32_t> offsets)
{
    const uint32_t base = static_cast<uint32_t>(mesh.VertexCount());
    for (const Vertex& corner : corners)
        AddVertex(mesh, corner, normal);
    for (uint32_t offset : offsets)
        mesh.indices.push_back(base + offset);
}

// Centre and half extents of the bounds, in f32 as the tessellation uses them.
struct Box {
    float cx, cy, cz;
    float hx, hy, hz;

    explicit Box(const SceneObject& object)
        : cx((object.minX + object.maxX) / 2.0f), cy((object.minY + object.maxY) / 2.0f),
          cz((object.minZ + object.maxZ) / 2.0f), hx((object.maxX - object.minX) / 2.0f),
          hy((object.maxY - object.minY) / 2.0f), hz((object.maxZ - object.minZ) / 2.0f)
    {
    }
};

float CircleAngle(int j) { return static_cast<float>(j) * TWO_PI * 0.03125f; }

void AppendCube(const SceneObject& object, bool scaled, float t, ExportMesh& mesh)
{
    const Box box(object);
    const float xs[2] = {box.cx - box.hx, box.cx + box.hx};
    const float ys[2] = {box.cy - box.hy, box.cy + box.hy};
    const float zs[2] = {box.cz - box.hz, box.cz + box.hz};
    const float width = 2.0f * box.hx / t, height = 2.0f * box.hy / t, depth = 2.0f * box.hz / t;
    struct CubeFace {
        Normal normal;
        int corners[4][3];   // 0 for the low, 1 for the high coordinate
        float uScale, vScale;
    };
    const CubeFace faces[6] = {
        {{0, 0, 1}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}, width, height},
        {{0, 0, -1}, {{1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0}}, width, height},
        {{1, 0, 0}, {{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}}, depth, height},
        {{-1, 0, 0}, {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}, depth, height},
        {{0, 1, 0}, {{0, 1, 1}, {1, 1, 1}, {1, 1, 0}, {0, 1, 0}}, width, depth},
        {{0, -1, 0}, {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}, width, depth},
    };
    const float cornerUvs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const CubeFace& face : faces) {
        const uint32_t base = static_cast<uint32_t>(mesh.VertexCount());
        for (int k = 0; k < 4; ++k) {
            Vertex vertex = {xs[face.corners[k][0]], ys[face.corners[k][1]], zs[face.corners[k][2]],
                             cornerUvs[k][0], cornerUvs[k][1]};
            if (scaled) {
                vertex.u *= face.uScale;
                vertex.v *= face.vScale;
            }
            AddVertex(mesh, vertex, face.normal);
        }
        AddTriangle(mesh, base, base + 1, base + 2);
        AddTriangle(mesh, base, base + 2, base + 3);
    }
}

void AppendSphere(const SceneObject& object, bool scaled, float t, ExportMesh& mesh)
{
    const Box box(object);
    const uint32_t base = static_cast<uint32_t>(mesh.VertexCount());
    const float uScale = scaled ? box.hx * TWO_PI / t : 1.0f;
    const float vScale = scaled ? box.hy * PI / t : 1.0f;
    for (int i = 0; i <= SPHERE_RINGS; ++i) {
        const float phi = static_cast<float>(i) * PI * 0.0625f;
        const float sinPhi = std::sin(phi), cosPhi = std::cos(phi);
        for (int j = 0; j <= CIRCLE_SEGMENTS; ++j) {
            const float theta = CircleAngle(j);
            const float cosTheta = std::cos(theta), sinTheta = std::sin(theta);
            float u = static_cast<float>(j) * 0.03125f;
            float v = static_cast<float>(i) * 0.0625f;
            if (scaled) {
                u *= uScale;
                v *= vScale;
            }
            AddVertex(mesh,
                      {box.cx + box.hx * cosTheta * sinPhi, box.cy + box.hy * cosPhi,
                       box.cz + box.hz * sinTheta * sinPhi, u, v},
                      {cosTheta * sinPhi, cosPhi, sinTheta * sinPhi});
        }
    }
    for (uint32_t i = 1; i <= SPHERE_RINGS; ++i) {
        for (uint32_t j = 0; j < CIRCLE_SEGMENTS; ++j) {
            const uint32_t a = base + 33 * i + j + 1;
            AddTriangle(mesh, a, a - 1, a - 34);
            AddTriangle(mesh, a - 34, a - 33, a);
        }
    }
}

void AppendCapRing(ExportMesh& mesh, const Box& box, float y, const Normal& normal)
{
    for (int j = 0; j <= CIRCLE_SEGMENTS; ++j) {
        const float theta = CircleAngle(j);
        const float c = std::cos(theta), s = std::sin(theta);
        AddVertex(mesh, {box.cx + box.hx * c, y, box.cz + box.hz * s, c * 0.5f + 0.5f, s * 0.5f + 0.5f}, normal);
    }
}

void AppendCylinder(const SceneObject& object, float t, ExportMesh& mesh)
{
    const Box box(object);
    const uint32_t base = static_cast<uint32_t>(mesh.VertexCount());
    const float top = box.cy + box.hy, bottom = box.cy - box.hy;
    const Normal up = {0, 1, 0}, down = {0, -1, 0};
    AddVertex(mesh, {box.cx, top, box.cz, 0.5f, 0.5f}, up);
    AppendCapRing(mesh, box, top, up);
    const float uScale = box.hx * TWO_PI / t;
    const float bottomV = 2.0f * box.hy / t;
    for (int j = 0; j <= CIRCLE_SEGMENTS; ++j) {
        const float theta = CircleAngle(j);
        const float c = std::cos(theta), s = std::sin(theta);
        const float u = static_cast<float>(j) * 0.03125f * uScale;
        const Normal side = {c, 0, s};
        AddVertex(mesh, {box.cx + box.hx * c, top, box.cz + box.hz * s, u, 0.0f}, side);
        AddVertex(mesh, {box.cx + box.hx * c, bottom, box.cz + box.hz * s, u, bottomV}, side);
    }
    AppendCapRing(mesh, box, bottom, down);
    AddVertex(mesh, {box.cx, bottom, box.cz, 0.5f, 0.5f}, down);
    for (uint32_t k = 1; k <= CIRCLE_SEGMENTS; ++k)
        AddTriangle(mesh, base, base + k + 1, base + k);
    for (uint32_t j = 0; j < CIRCLE_SEGMENTS; ++j) {
        const uint32_t s = base + 34 + 2 * j;
        AddTriangle(mesh, s, s + 2, s + 1);
        AddTriangle(mesh, s + 1, s + 2, s + 3);
    }
    for (uint32_t k = 0; k < CIRCLE_SEGMENTS; ++k)
        AddTriangle(mesh, base + 133, base + 100 + k, base + 101 + k);
}

// The cone's slope normal at angle theta; a flat cone (no height) has the
// base's upward normal instead of a division by zero.
Normal ConeSlopeNormal(const Box& box, float theta)
{
    const float rise = box.hx / box.hy;
    if (!std::isfinite(rise))
        return {0, 1, 0};
    const float c = std::cos(theta), s = std::sin(theta);
    const float length = std::sqrt(c * c + rise * rise + s * s);
    return {c / length, rise / length, s / length};
}

void AppendCone(const SceneObject& object, bool scaled, float t, ExportMesh& mesh)
{
    const Box box(object);
    const uint32_t base = static_cast<uint32_t>(mesh.VertexCount());
    const float top = box.cy + box.hy, bottom = box.cy - box.hy;
    const float uScale = scaled ? box.hx * TWO_PI / t : 1.0f;
    const float cornerV = scaled ? 2.0f * box.hy / t : 1.0f;
    for (int i = 0; i < CIRCLE_SEGMENTS; ++i) {
        const float left = CircleAngle(i), right = CircleAngle(i + 1);
        const Normal nL = ConeSlopeNormal(box, left), nR = ConeSlopeNormal(box, right);
        const Normal apex = {(nL.x + nR.x) * 0.5f, (nL.y + nR.y) * 0.5f, (nL.z + nR.z) * 0.5f};
        AddVertex(mesh, {box.cx, top, box.cz, (static_cast<float>(i) * 0.03125f + 0.015625f) * uScale, 0.0f}, apex);
        AddVertex(mesh,
                  {box.cx + box.hx * std::cos(left), bottom, box.cz + box.hz * std::sin(left),
                   static_cast<float>(i) * 0.03125f * uScale, cornerV},
                  nL);
        AddVertex(mesh,
                  {box.cx + box.hx * std::cos(right), bottom, box.cz + box.hz * std::sin(right),
                   static_cast<float>(i + 1) * 0.03125f * uScale, cornerV},
                  nR);
        const uint32_t first = base + 3 * static_cast<uint32_t>(i);
        AddTriangle(mesh, first, first + 2, first + 1);
    }
    const Normal down = {0, -1, 0};
    AppendCapRing(mesh, box, bottom, down);
    AddVertex(mesh, {box.cx, bottom, box.cz, 0.5f, 0.5f}, down);
    for (uint32_t k = 0; k < CIRCLE_SEGMENTS; ++k)
        AddTriangle(mesh, base + 129, base + 96 + k, base + 97 + k);
}

void AppendRamp(const SceneObject& o, ExportMesh& mesh)
{
    const float dz = o.maxZ - o.minZ, dy = o.maxY - o.minY;
    const float s = std::sqrt(dz * dz + dy * dy);
    // A ramp with no slope length faces straight up.
    const Normal slope = s > 0.0f && std::isfinite(s) ? Normal{0, dz / s, dy / s} : Normal{0, 1, 0};
    AddFlatFace(mesh,
                {{o.minX, o.minY, o.minZ, 0, 1}, {o.maxX, o.minY, o.minZ, 1, 1}, {o.maxX, o.maxY, o.minZ, 1, 0},
                 {o.minX, o.maxY, o.minZ, 0, 0}},
                {0, 0, -1}, {0, 2, 1, 0, 3, 2});
    AddFlatFace(mesh, {{o.minX, o.minY, o.minZ, 0, 1}, {o.minX, o.minY, o.maxZ, 1, 1}, {o.minX, o.maxY, o.minZ, 0, 0}},
                {-1, 0, 0}, {0, 1, 2});
    AddFlatFace(mesh, {{o.maxX, o.minY, o.minZ, 0, 1}, {o.maxX, o.maxY, o.minZ, 0, 0}, {o.maxX, o.minY, o.maxZ, 1, 1}},
                {1, 0, 0}, {0, 1, 2});
    AddFlatFace(mesh,
                {{o.minX, o.minY, o.minZ, 0, 0}, {o.maxX, o.minY, o.minZ, 1, 0}, {o.minX, o.minY, o.maxZ, 0, 1},
                 {o.maxX, o.minY, o.maxZ, 1, 1}},
                {0, -1, 0}, {0, 1, 3, 0, 3, 2});
    AddFlatFace(mesh,
                {{o.minX, o.maxY, o.minZ, 0, 0}, {o.maxX, o.maxY, o.minZ, 1, 0}, {o.minX, o.minY, o.maxZ, 0, 1},
                 {o.maxX, o.minY, o.maxZ, 1, 1}},
                slope, {0, 2, 3, 0, 3, 1});
}

void AppendWedge(const SceneObject& o, ExportMesh& mesh)
{
    const float cx = (o.minX + o.maxX) / 2.0f;
    const float hx = (o.maxX - o.minX) / 2.0f, dz = o.maxZ - o.minZ;
    const float s = std::sqrt(hx * hx + dz * dz);
    // Slants with no length face along x.
    const bool slanted = s > 0.0f && std::isfinite(s);
    const Normal left = slanted ? Normal{-dz / s, 0, hx / s} : Normal{-1, 0, 0};
    const Normal right = slanted ? Normal{dz / s, 0, hx / s} : Normal{1, 0, 0};
    AddFlatFace(mesh, {{o.minX, o.minY, o.minZ, 0, 0}, {cx, o.minY, o.maxZ, 0.5f, 1}, {o.maxX, o.minY, o.minZ, 1, 0}},
                {0, -1, 0}, {0, 2, 1});
    AddFlatFace(mesh, {{o.minX, o.maxY, o.minZ, 0, 0}, {o.maxX, o.maxY, o.minZ, 1, 0}, {cx, o.maxY, o.maxZ, 0.5f, 1}},
                {0, 1, 0}, {0, 2, 1});
    AddFlatFace(mesh,
                {{o.minX, o.minY, o.minZ, 0, 1}, {o.maxX, o.minY, o.minZ, 1, 1}, {o.maxX, o.maxY, o.minZ, 1, 0},
                 {o.minX, o.maxY, o.minZ, 0, 0}},
                {0, 0, -1}, {0, 3, 2, 0, 2, 1});
    AddFlatFace(mesh,
                {{o.minX, o.minY, o.minZ, 0, 1}, {o.minX, o.maxY, o.minZ, 0, 0}, {cx, o.maxY, o.maxZ, 1, 0},
                 {cx, o.minY, o.maxZ, 1, 1}},
                left, {0, 3, 2, 0, 2, 1});
    AddFlatFace(mesh,
                {{o.maxX, o.minY, o.minZ, 0, 1}, {cx, o.minY, o.maxZ, 1, 1}, {cx, o.maxY, o.maxZ, 1, 0},
                 {o.maxX, o.maxY, o.minZ, 0, 0}},
                right, {0, 3, 2, 0, 2, 1});
}

void AppendPrimitive(const SceneObject& object, bool scaled, ExportMesh& mesh)
{
    const float t = UsableTextureScale(object.texScale);
    switch (object.type) {
    case PRIMITIVE_CUBE: AppendCube(object, scaled, t, mesh); break;
    case PRIMITIVE_SPHERE: AppendSphere(object, scaled, t, mesh); break;
    case PRIMITIVE_CYLINDER: AppendCylinder(object, t, mesh); break;
    case PRIMITIVE_CONE: AppendCone(object, scaled, t, mesh); break;
    case PRIMITIVE_RAMP: AppendRamp(object, mesh); break;
    case PRIMITIVE_WEDGE: AppendWedge(object, mesh); break;
    default: break;   // a knife has no geometry
    }
}

bool FaceIsUsable(const SceneObject& object, int face)
{
    for (int k = 0; k < 3; ++k) {
        const int row = object.F(face, k);
        if (row < 0 || row >= object.V.rows())
            return false;
        for (int axis = 0; axis < 3; ++axis) {
            if (!std::isfinite(object.V(row, axis)))
                return false;
        }
    }
    return true;
}

int KeyField(const std::string& key, size_t& position)
{
    const size_t end = key.find('_', position);
    const int value = std::atoi(key.substr(position, end - position).c_str());
    position = end == std::string::npos ? key.size() : end + 1;
    return value;
}

} // namespace

std::string MaterialKey(int r, int g, int b, int a, int texture)
{
    return std::to_string(r) + "_" + std::to_string(g) + "_" + std::to_string(b) + "_" + std::to_string(a) + "_" +
           std::to_string(texture) + "_0";
}

MaterialFields ParseMaterialKey(const std::string& key)
{
    MaterialFields fields;
    size_t position = 0;
    fields.r = KeyField(key, position);
    fields.g = KeyField(key, position);
    fields.b = KeyField(key, position);
    fields.alpha = static_cast<float>(KeyField(key, position));
    fields.texture = KeyField(key, position);
    return fields;
}

int MaterialTable::Register(const std::string& key)
{
    auto found = indexByKey.find(key);
    if (found != indexByKey.end())
        return found->second;
    const int index = static_cast<int>(keys.size());
    indexByKey.emplace(key, index);
    keys.push_back(key);
    return index;
}

std::string ObjectMaterialKey(const SceneObject& object)
{
    return MaterialKey(object.r, object.g, object.b, object.a, object.texture);
}

bool HasPerFaceTextures(const SceneObject& object)
{
    return object.faceTextureIDs.size() == static_cast<size_t>(object.F.rows());
}

bool HasPerFaceColors(const SceneObject& object)
{
    return object.faceColors.size() == static_cast<size_t>(object.F.rows());
}

std::map<std::string, std::vector<int>> GroupFacesByKey(const SceneObject& object)
{
    const bool textures = HasPerFaceTextures(object), colors = HasPerFaceColors(object);
    std::map<std::string, std::vector<int>> groups;
    // Key strings are built once per distinct colour and texture, not per face.
    std::map<std::array<int, 4>, std::vector<int>*> groupByFields;
    std::array<int, 4> last = {-1, -1, -1, -2};
    std::vector<int>* lastGroup = nullptr;
    for (int f = 0; f < object.F.rows(); ++f) {
        const FaceColor color = colors ? object.faceColors[f] : FaceColor(object.r, object.g, object.b);
        const std::array<int, 4> fields = {color.r, color.g, color.b, textures ? object.faceTextureIDs[f] : object.texture};
        if (!lastGroup || fields != last) {
            std::vector<int>*& group = groupByFields[fields];
            if (!group)
                group = &groups[MaterialKey(fields[0], fields[1], fields[2], object.a, fields[3])];
            last = fields;
            lastGroup = group;
        }
        lastGroup->push_back(f);
    }
    return groups;
}

float UsableTextureScale(float scale) { return std::isfinite(scale) && scale > 0.0f ? scale : 1.0f; }

std::vector<int> AllFaces(const SceneObject& object)
{
    std::vector<int> faces(static_cast<size_t>(object.F.rows()));
    for (size_t f = 0; f < faces.size(); ++f)
        faces[f] = static_cast<int>(f);
    return faces;
}

void AppendMeshFaces(const SceneObject& object, const std::vector<int>& faces, bool faceScales, ExportMesh& mesh)
{
    if (object.V.cols() != 3 || object.F.cols() != 3)
        return;
    // Room for three vertices per face, filled in place and trimmed to the
    // faces kept: large meshes are neither copied as they grow nor checked per value.
    const size_t first = mesh.VertexCount();
    mesh.positions.resize(3 * (first + 3 * faces.size()));
    mesh.normals.resize(mesh.positions.size());
    mesh.uvs.resize(2 * (first + 3 * faces.size()));
    mesh.indices.reserve(mesh.indices.size() + 3 * faces.size());
    float* position = mesh.positions.data() + 3 * first;
    float* normalOut = mesh.normals.data() + 3 * first;
    float* uv = mesh.uvs.data() + 2 * first;
    uint32_t next = static_cast<uint32_t>(first);
    for (int f : faces) {
        if (f < 0 || f >= object.F.rows() || !FaceIsUsable(object, f))
            continue;
        const bool hasScale = faceScales && static_cast<size_t>(f) < object.faceTextureScales.size();
        const double t = UsableTextureScale(hasScale ? object.faceTextureScales[f] : object.texScale);
        double p[3][3];
        for (int corner = 0; corner < 3; ++corner) {
            for (int axis = 0; axis < 3; ++axis)
                p[corner][axis] = object.V(object.F(f, corner), axis);
        }
        const double e1[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
        const double e2[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
        double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const double squared = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
        if (squared > 0.0) {
            const double length = std::sqrt(squared);
            for (double& component : n)
                component /= length;
        }
        const float ax = static_cast<float>(std::fabs(n[0]));
        const float ay = static_cast<float>(std::fabs(n[1]));
        const float az = static_cast<float>(std::fabs(n[2]));
        // Texture coordinates project the corner along the dominant axis.
        int uAxis = 0, vAxis = 1;
        if (ax >= ay && ax >= az) {
            uAxis = 2;
        } else if (ay >= ax && ay >= az) {
            vAxis = 2;
        }
        for (const double* corner : p) {
            for (int axis = 0; axis < 3; ++axis) {
                *position++ = static_cast<float>(corner[axis]);
                *normalOut++ = static_cast<float>(n[axis]);
            }
            *uv++ = static_cast<float>(corner[uAxis] / t);
            *uv++ = static_cast<float>(corner[vAxis] / t);
        }
        AddTriangle(mesh, next, next + 1, next + 2);
        next += 3;
    }
    mesh.positions.resize(3 * static_cast<size_t>(next));
    mesh.normals.resize(3 * static_cast<size_t>(next));
    mesh.uvs.resize(2 * static_cast<size_t>(next));
}

ExportMesh BuildExportMesh(const SceneObject& object)
{
    ExportMesh mesh;
    if (object.isCSGMesh)
        AppendMeshFaces(object, AllFaces(object), !object.faceTextureScales.empty(), mesh);
    else
        AppendPrimitive(object, false, mesh);
    return mesh;
}

void AppendGlbPrimitive(const SceneObject& object, ExportMesh& mesh) { AppendPrimitive(object, true, mesh); }
