// Scene records and the enumerations the whole editor switches on: SceneObject,
// FaceColor, Group, PropInstance and the small vector records they are built from.
#pragma once

#include <string>
#include <vector>

#include <Eigen/Core>

// Editor modes, held in g_CurrentMode.
enum EditorMode {
    MODE_MODELLER = 0,
    MODE_PAINTER = 1,
    MODE_PLOTTER = 2,
    MODE_VERTEX_EDITOR = 3
};

// Tools, held in g_CurrentTool.
enum Tool {
    TOOL_SELECT = 0,
    TOOL_MOVE = 1,
    TOOL_ROTATE = 2,
    TOOL_SCALE = 3,
    TOOL_PLOT = 4,
    TOOL_ADD_VERTEX = 5,
    TOOL_REMOVE_VERTEX = 6
};

// Primitive kinds; an explicit mesh keeps the kind it was made from.
enum PrimitiveType {
    PRIMITIVE_CUBE = 0,
    PRIMITIVE_SPHERE = 1,
    PRIMITIVE_CYLINDER = 2,
    PRIMITIVE_CONE = 3,
    PRIMITIVE_RAMP = 4,
    PRIMITIVE_WEDGE = 5,
    PRIMITIVE_KNIFE = 6
};

// Solids are joined, holes are subtracted by Join Objects.
enum ObjectType {
    OBJECT_SOLID = 0,
    OBJECT_HOLE = 1
};

// Progress of a primitive being dragged out in the viewport.
enum CreationStage {
    STAGE_NONE = 0,
    STAGE_BASE = 1,
    STAGE_HEIGHT = 2
};

enum GroupPivotMode {
    PIVOT_GROUP_CENTER = 0,
    PIVOT_PARENT = 1
};

struct Vec3f {
    float x, y, z;
    Vec3f() : x(0.0f), y(0.0f), z(0.0f) {}
    Vec3f(float px, float py, float pz) : x(px), y(py), z(pz) {}
};

// Quaternion in w, x, y, z order; defaults to the identity.
struct Quatf {
    float w, x, y, z;
    Quatf() : w(1.0f), x(0.0f), y(0.0f), z(0.0f) {}
    Quatf(float pw, float px, float py, float pz) : w(pw), x(px), y(py), z(pz) {}
};

// Axis-aligned box as two corners.
struct Bounds3f {
    float minX, minY, minZ, maxX, maxY, maxZ;
    Bounds3f() : minX(0.0f), minY(0.0f), minZ(0.0f), maxX(0.0f), maxY(0.0f), maxZ(0.0f) {}
};

struct FaceColor {
    int r, g, b;
    FaceColor() : r(255), g(255), b(255) {}
    FaceColor(int pr, int pg, int pb) : r(pr), g(pg), b(pb) {}
};

// One object of the scene: a parametric primitive (mesh generated from type and
// bounds) or, with isCSGMesh set, an explicit world-space mesh in V and F.
// Copies are deep: snapshots and the CSG commands rely on value semantics.
struct SceneObject {
    int type;
    int objectType;
    float minX, minY, minZ;
    float maxX, maxY, maxZ;
    Vec3f rotation;        // degrees about the bounds centre
    Quatf orientation;     // kept in step with rotation; stored only
    std::wstring name;
    int r, g, b, a;
    int texture;           // index into g_Textures, -1 none
    float texScale;
    bool visible;
    bool selectable;
    int groupID;           // index into g_Groups, -1 none
    bool isCSGMesh;
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    std::vector<int> faceTextureIDs;      // parallel to the rows of F, or empty
    std::vector<float> faceTextureScales; // parallel to faceTextureIDs
    std::vector<FaceColor> faceColors;    // parallel to the rows of F, or empty

    // Creators set type, bounds and rotation; they start at zero so that a
    // forgotten assignment is at least deterministic.
    SceneObject()
        : type(PRIMITIVE_CUBE), objectType(OBJECT_SOLID),
          minX(0.0f), minY(0.0f), minZ(0.0f), maxX(0.0f), maxY(0.0f), maxZ(0.0f),
          r(255), g(255), b(255), a(255), texture(-1), texScale(1.0f),
          visible(true), selectable(true), groupID(-1), isCSGMesh(false) {}
};

// A named set of objects with its pivot centre (mean of the members' centres).
struct Group {
    std::wstring name;
    std::vector<int> members;  // indices into g_SceneObjects, in the order added
    int pivotMode;
    bool tidallyLocked;
    float x, y, z;

    Group() : pivotMode(PIVOT_GROUP_CENTER), tidallyLocked(false), x(0.0f), y(0.0f), z(0.0f) {}
};

// One prop placed in the Plotter; refers to its Model by id, not by index.
struct PropInstance {
    int modelID;
    std::wstring name;
    Vec3f position;
    Vec3f rotation;   // degrees
    Vec3f scale;
    float alpha;      // 0 to 255, 255 opaque
    bool visible;
    bool selectable;
    float gridCellSize;
    Bounds3f worldBounds;  // computed on placement or load, never saved

    // The placing code and the project reader assign the rest.
    PropInstance()
        : modelID(-1), scale(1.0f, 1.0f, 1.0f), alpha(255.0f), visible(true),
          selectable(true), gridCellSize(1.0f) {}
};

// Hierarchy tree item value of a group: -2 for group 0, -3 for group 1, ...
inline int GroupTreeItemValue(int groupIndex) { return -2 - groupIndex; }
