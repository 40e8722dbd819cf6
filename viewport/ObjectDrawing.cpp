#include "viewport/ObjectDrawing.h"

#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <Eigen/Geometry>

#include "app/Preferences.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"
#include "viewport/DrawCache.h"
#include "viewport/Patterns.h"
#include "viewport/PrimitiveDrawing.h"

namespace {

// The log line of RenderMesh is written for the first calls only.
const int RENDER_MESH_LOGGED_CALLS = 3;
int g_RenderMeshCalls = 0;

const float HOLE_GREY = 0.7f;
const float HOLE_ALPHA = 0.85f;

bool Contains(const std::vector<int>& list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

void EnableBlending()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void LogRenderMeshCall(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, float texScale, bool perFaceTextures)
{
    if (g_RenderMeshCalls < RENDER_MESH_LOGGED_CALLS) {
        wchar_t scale[64];
        std::swprintf(scale, 64, L"%f", static_cast<double>(texScale));
        DebugLog(L"RenderMesh called: " + std::to_wstring(V.rows()) + L" verts, " + std::to_wstring(F.rows()) +
                 L" faces, textureScale=" + scale + L", perFaceTextures=" + (perFaceTextures ? L"true" : L"false"));
    }
    ++g_RenderMeshCalls;
}

bool FaceIsValid(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, Eigen::Index face)
{
    if (V.cols() < 3 || F.cols() < 3)
        return false;
    for (int k = 0; k < 3; ++k)
        if (F(face, k) < 0 || F(face, k) >= V.rows())
            return false;
    return true;
}

void BindTextureOrNone(int textureIndex)
{
    if (textureIndex >= 0 && textureIndex < static_cast<int>(g_Textures.size())) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, g_Textures[textureIndex].glName);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

void DrawMeshFaces(const MeshInputs& mesh)
{
    const Eigen::MatrixXd& V = *mesh.V;
    const Eigen::MatrixXi& F = *mesh.F;
    const std::vector<int>& faceTextureIDs = *mesh.faceTextureIDs;
    const std::vector<float>& faceTextureScales = *mesh.faceTextureScales;
    const std::vector<FaceColor>& faceColors = *mesh.faceColors;
    const bool perFaceTextures = !faceTextureIDs.empty() && faceTextureIDs.size() == static_cast<size_t>(F.rows());
    const float faceAlpha = mesh.alpha / 255.0f;

    bool batchOpen = false;
    int currentTexture = 0;
    for (Eigen::Index f = 0; f < F.rows(); ++f) {
        if (!FaceIsValid(V, F, f))
            continue;
        float scale = mesh.texScale;
        if (perFaceTextures) {
            const int textureId = faceTextureIDs[f];
            if (static_cast<size_t>(f) < faceTextureScales.size())
                scale = faceTextureScales[f];
            if (!batchOpen || textureId != currentTexture) {
                if (batchOpen)
                    glEnd();
                BindTextureOrNone(textureId);
                glBegin(GL_TRIANGLES);
                batchOpen = true;
                currentTexture = textureId;
            }
        } else if (!batchOpen) {
            glBegin(GL_TRIANGLES);
            batchOpen = true;
        }

        const Eigen::Vector3d p0 = V.row(F(f, 0)).transpose();
        const Eigen::Vector3d p1 = V.row(F(f, 1)).transpose();
        const Eigen::Vector3d p2 = V.row(F(f, 2)).transpose();
        Eigen::Vector3d n = (p1 - p0).cross(p2 - p0);
        if (n.squaredNorm() > 0.0)
            n /= n.norm();
        glNormal3d(n.x(), n.y(), n.z());

        if (static_cast<size_t>(f) < faceColors.size()) {
            const FaceColor& c = faceColors[f];
            glColor4f(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, faceAlpha);
        }

        const float ax = std::fabs(static_cast<float>(n.x()));
        const float ay = std::fabs(static_cast<float>(n.y()));
        const float az = std::fabs(static_cast<float>(n.z()));
        const int uAxis = (ax >= ay && ax >= az) ? 2 : 0;
        const int vAxis = (ax >= ay && ax >= az) ? 1 : ((ay >= ax && ay >= az) ? 2 : 1);
        for (int k = 0; k < 3; ++k) {
            const auto corner = V.row(F(f, k));
            glTexCoord2f(static_cast<float>(corner(uAxis) / scale), static_cast<float>(corner(vAxis) / scale));
            glVertex3d(corner(0), corner(1), corner(2));
        }
    }
    if (batchOpen)
        glEnd();
}

void DrawObjectShape(const SceneObject& object, bool outline)
{
    static const std::vector<int> NO_TEXTURES;
    static const std::vector<float> NO_SCALES;
    static const std::vector<FaceColor> NO_COLORS;
    if (object.isCSGMesh) {
        if (outline)
            RenderMesh(object.V, object.F, object.texScale, NO_TEXTURES, NO_SCALES, NO_COLORS, 255);
        else
            RenderMesh(object.V, object.F, object.texScale, object.faceTextureIDs, object.faceTextureScales,
                       object.faceColors, object.a);
    } else {
        DrawPrimitive(object.type, object.minX, object.minY, object.minZ, object.maxX, object.maxY, object.maxZ,
                      object.texScale);
    }
}

const Color3f* OutlineColor(int index)
{
    const bool selected = index == g_SelectedObjectIndex || Contains(g_SelectedObjects, index);
    if (selected)
        return g_SelectedObjects.size() < 2 ? &g_ColorPrefs.SelectionSingle : &g_ColorPrefs.SelectionMulti;
    if (Contains(g_OperationSelection, index))
        return &g_ColorPrefs.SelectionOperation;
    return nullptr;
}

// One object of either pass. In the transparent pass the object's alpha
// applies to holes too and blending stays on throughout.
void DrawSceneObject(int index, bool transparentPass)
{
    const SceneObject& object = g_SceneObjects[index];
    const bool hole = object.objectType == OBJECT_HOLE;
    const float alpha = transparentPass ? object.a / 255.0f : (hole ? HOLE_ALPHA : 1.0f);

    if (hole) {
        EnableBlending();
        glColor4f(HOLE_GREY, HOLE_GREY, HOLE_GREY, alpha);
    } else {
        if (!transparentPass)
            glDisable(GL_BLEND);
        glColor4f(object.r / 255.0f, object.g / 255.0f, object.b / 255.0f, alpha);
    }
    BindTextureOrNone(hole ? -1 : object.texture);

    glPushMatrix();
    const float cx = (object.minX + object.maxX) / 2;
    const float cy = (object.minY + object.maxY) / 2;
    const float cz = (object.minZ + object.maxZ) / 2;
    glTranslatef(cx, cy, cz);
    glRotatef(object.rotation.y, 0.0f, 1.0f, 0.0f);
    glRotatef(object.rotation.x, 1.0f, 0.0f, 0.0f);
    glRotatef(object.rotation.z, 0.0f, 0.0f, 1.0f);
    glTranslatef(-cx, -cy, -cz);

    glDisable(GL_CULL_FACE);
    if (hole) {
        static const std::array<std::uint8_t, 128> STIPPLE = MakeHoleStipple();
        glEnable(GL_POLYGON_STIPPLE);
        glPolygonStipple(STIPPLE.data());
    }
    if (g_ShowWireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glDisable(GL_TEXTURE_2D);
    } else {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    DrawObjectShape(object, false);
    if (g_ShowWireframe)
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (hole)
        glDisable(GL_POLYGON_STIPPLE);

    if (const Color3f* outline = OutlineColor(index)) {
        glDisable(GL_TEXTURE_2D);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glLineWidth(g_ColorPrefs.SelectionOutlineWidth);
        glColor3f(outline->r, outline->g, outline->b);
        glPolygonOffset(-1.0f, -1.0f);
        glEnable(GL_POLYGON_OFFSET_LINE);
        DrawObjectShape(object, true);
        glDisable(GL_POLYGON_OFFSET_LINE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glLineWidth(1.0f);
    }

    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
}

} // namespace

void RenderSceneObjects()
{
    const int count = static_cast<int>(g_SceneObjects.size());
    for (int i = 0; i < count; ++i)
        if (g_SceneObjects[i].visible && g_SceneObjects[i].a >= 255)
            DrawSceneObject(i, false);

    glDepthMask(GL_FALSE);
    EnableBlending();
    for (int i = 0; i < count; ++i)
        if (g_SceneObjects[i].visible && g_SceneObjects[i].a < 255)
            DrawSceneObject(i, true);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
}

void RenderMesh(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, float texScale,
                const std::vector<int>& faceTextureIDs, const std::vector<float>& faceTextureScales,
                const std::vector<FaceColor>& faceColors, int alpha)
{
    LogRenderMeshCall(V, F, texScale, !faceTextureIDs.empty());
    DrawMeshCached({&V, &F, texScale, &faceTextureIDs, &faceTextureScales, &faceColors, alpha}, DrawMeshFaces);
}
