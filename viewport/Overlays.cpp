#include "viewport/Overlays.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <string>

#include <Eigen/Core>

#include "app/Preferences.h"
#include "scene/DebugLog.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "scene/VertexEdit.h"
#include "viewport/GizmoDrawing.h"
#include "viewport/PrimitiveDrawing.h"

namespace {

// The selection count the Vertex Editor last logged; -1 before the first.
int g_LastReportedVertexModeSelection = -1;

bool IsTransformTool(int tool)
{
    return tool == TOOL_MOVE || tool == TOOL_ROTATE || tool == TOOL_SCALE;
}

// Three handles about a box centre, turned with its owner.
void DrawBoxGizmo(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, const Vec3f& rotation)
{
    const float hx = (maxX - minX) / 2, hy = (maxY - minY) / 2, hz = (maxZ - minZ) / 2;
    glPushMatrix();
    glTranslatef((minX + maxX) / 2, (minY + maxY) / 2, (minZ + maxZ) / 2);
    glRotatef(rotation.y, 0.0f, 1.0f, 0.0f);
    glRotatef(rotation.x, 1.0f, 0.0f, 0.0f);
    glRotatef(rotation.z, 0.0f, 0.0f, 1.0f);
    if (g_CurrentTool == TOOL_MOVE) {
        DrawMoveGizmoAxis(hx, 0, 0, 0);
        DrawMoveGizmoAxis(0, hy, 0, 1);
        DrawMoveGizmoAxis(0, 0, hz, 2);
    } else if (g_CurrentTool == TOOL_SCALE) {
        DrawScaleGizmoAxis(hx, 0, 0, 0);
        DrawScaleGizmoAxis(0, hy, 0, 1);
        DrawScaleGizmoAxis(0, 0, hz, 2);
    } else {
        for (int axis = 0; axis < 3; ++axis)
            DrawRotateGizmoRing(0, 0, 0, axis);
    }
    glPopMatrix();
}

void DrawVertexGizmo()
{
    Vec3f centroid;
    if (!SelectedVertexCentroid(&centroid))
        return;
    glPushMatrix();
    glTranslatef(centroid.x, centroid.y, centroid.z);
    for (int axis = 0; axis < 3; ++axis)
        DrawMoveGizmoAxis(0, 0, 0, axis);
    glPopMatrix();
}

void EnableBlending()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void DrawFace(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, int face)
{
    if (V.cols() < 3 || F.cols() < 3)
        return;
    for (int k = 0; k < 3; ++k) {
        const int v = F(face, k);
        if (v < 0 || v >= V.rows())
            return;
    }
    for (int k = 0; k < 3; ++k) {
        const int v = F(face, k);
        glVertex3d(V(v, 0), V(v, 1), V(v, 2));
    }
}

bool IsSelectedVertex(int object, int vertex)
{
    return std::find(g_SelectedVertices.begin(), g_SelectedVertices.end(), std::make_pair(object, vertex)) !=
           g_SelectedVertices.end();
}

// The world mesh of one object: an explicit mesh is read in place (no copy of
// a large mesh every frame), a primitive's is generated.
class WorldMesh {
public:
    explicit WorldMesh(const SceneObject& object) : object_(object)
    {
        if (!object.isCSGMesh)
            ObjectToMesh(object, generatedV_, generatedF_);
    }
    const Eigen::MatrixXd& V() const { return object_.isCSGMesh ? object_.V : generatedV_; }
    const Eigen::MatrixXi& F() const { return object_.isCSGMesh ? object_.F : generatedF_; }

private:
    const SceneObject& object_;
    Eigen::MatrixXd generatedV_;
    Eigen::MatrixXi generatedF_;
};

} // namespace

void RenderGizmos()
{
    if (g_CurrentMode != MODE_VERTEX_EDITOR && IsValidObjectIndex(g_SelectedObjectIndex) && IsTransformTool(g_CurrentTool)) {
        const SceneObject& object = g_SceneObjects[g_SelectedObjectIndex];
        if (object.visible)
            DrawBoxGizmo(object.minX, object.minY, object.minZ, object.maxX, object.maxY, object.maxZ, object.rotation);
    }
    if (g_CurrentMode == MODE_PLOTTER && g_SelectedPropInstance >= 0 &&
        g_SelectedPropInstance < static_cast<int>(g_PropInstances.size()) && IsTransformTool(g_CurrentTool)) {
        const PropInstance& instance = g_PropInstances[g_SelectedPropInstance];
        const Bounds3f& b = instance.worldBounds;
        if (instance.visible)
            DrawBoxGizmo(b.minX, b.minY, b.minZ, b.maxX, b.maxY, b.maxZ, instance.rotation);
    }
    if (g_CurrentMode == MODE_VERTEX_EDITOR && g_CurrentTool == TOOL_MOVE && !g_SelectedVertices.empty())
        DrawVertexGizmo();
}

void RenderCreationPreview()
{
    if (g_CreateStage == STAGE_NONE)
        return;
    float minX = std::min(g_CreateStartX, g_CreateEndX), maxX = std::max(g_CreateStartX, g_CreateEndX);
    float minZ = std::min(g_CreateStartZ, g_CreateEndZ), maxZ = std::max(g_CreateStartZ, g_CreateEndZ);
    const float y0 = g_GridHeight;
    glColor3f(0.7f, 0.7f, 0.9f);

    if (g_CreatePrimitiveType == PRIMITIVE_SPHERE) {
        const float r = std::max(0.1f, ((maxX - minX) + (maxZ - minZ)) * 0.25f);
        const float cx = (minX + maxX) / 2, cz = (minZ + maxZ) / 2;
        DrawPrimitive(PRIMITIVE_SPHERE, cx - r, y0, cz - r, cx + r, y0 + 2 * r, cz + r, 1.0f);
        return;
    }
    // Sides shorter than 0.1 are widened about their centre.
    if (maxX - minX < 0.1f) {
        const float c = (minX + maxX) / 2;
        minX = c - 0.05f;
        maxX = c + 0.05f;
    }
    if (maxZ - minZ < 0.1f) {
        const float c = (minZ + maxZ) / 2;
        minZ = c - 0.05f;
        maxZ = c + 0.05f;
    }
    if (g_CreatePrimitiveType == PRIMITIVE_WEDGE && g_CreateStage == STAGE_BASE) {
        glBegin(GL_LINE_LOOP);
        glVertex3f(minX, y0, minZ);
        glVertex3f(maxX, y0, minZ);
        glVertex3f((minX + maxX) / 2, y0, maxZ);
        glEnd();
        return;
    }
    const float height = std::max(0.1f, g_CreateHeight);
    DrawPrimitive(g_CreatePrimitiveType, minX, y0, minZ, maxX, y0 + height, maxZ, 1.0f);
}

void RenderPainterOverlay()
{
    if (g_CurrentMode != MODE_PAINTER || (g_SelectedFacesObject < 0 && g_HoveredFace < 0))
        return;
    glDisable(GL_LIGHTING);
    EnableBlending();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);

    if (IsValidObjectIndex(g_SelectedFacesObject) && !g_SelectedFaces.empty()) {
        WorldMesh mesh(g_SceneObjects[g_SelectedFacesObject]);
        glColor4f(0.0f, 0.5f, 1.0f, 0.3f);
        glBegin(GL_TRIANGLES);
        for (int face : g_SelectedFaces)
            if (face >= 0 && face < mesh.F().rows())
                DrawFace(mesh.V(), mesh.F(), face);
        glEnd();
    }
    // The hovered face is lit on its own object; a selected face keeps its tint.
    const bool hoverSelected =
        g_HoveredFaceObject == g_SelectedFacesObject &&
        std::find(g_SelectedFaces.begin(), g_SelectedFaces.end(), g_HoveredFace) != g_SelectedFaces.end();
    if (g_HoveredFace >= 0 && IsValidObjectIndex(g_HoveredFaceObject) && !hoverSelected) {
        WorldMesh mesh(g_SceneObjects[g_HoveredFaceObject]);
        if (g_HoveredFace < mesh.F().rows()) {
            const Color3f& hover = g_ColorPrefs.FaceHover;
            glColor4f(hover.r, hover.g, hover.b, 0.5f);
            glBegin(GL_TRIANGLES);
            DrawFace(mesh.V(), mesh.F(), g_HoveredFace);
            glEnd();
        }
    }
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

void RenderVertexOverlay()
{
    if (g_CurrentMode != MODE_VERTEX_EDITOR)
        return;
    const int selected = static_cast<int>(g_SelectedObjects.size());
    if (selected != g_LastReportedVertexModeSelection) {
        DebugLog(L"Vertex mode: g_SelectedObjects.size() = " + std::to_wstring(selected));
        g_LastReportedVertexModeSelection = selected;
    }
    if (g_SelectedObjects.empty())
        return;

    const GLboolean lighting = glIsEnabled(GL_LIGHTING);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    const float radius = g_ColorPrefs.VertexSize;
    GLUquadric* quadric = gluNewQuadric();
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    for (int object : g_SelectedObjects) {
        if (!IsValidObjectIndex(object))
            continue;
        ObjectToMesh(g_SceneObjects[object], V, F);
        if (V.cols() < 3)
            continue;
        for (int i = 0; i < V.rows(); ++i) {
            glPushMatrix();
            glTranslated(V(i, 0), V(i, 1), V(i, 2));
            const Color3f& c = IsSelectedVertex(object, i) ? g_ColorPrefs.VertexSelected : g_ColorPrefs.VertexUnselected;
            glColor3f(c.r, c.g, c.b);
            gluSphere(quadric, radius, 8, 8);
            glPopMatrix();
        }
    }
    gluDeleteQuadric(quadric);
    if (lighting)
        glEnable(GL_LIGHTING);
}
