#include "viewport/PropDrawing.h"

#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <array>

#include "app/Preferences.h"
#include "scene/SceneState.h"
#include "viewport/Camera.h"
#include "viewport/ViewProjection.h"
#include "viewport/ViewportState.h"

namespace {

using Rgba = std::array<float, 4>;

// How a material's base colour becomes the colour its triangles are drawn in.
struct PropColoring {
    bool preview;    // the brush preview under the cursor
    bool plotter;    // drawn in the Plotter
    bool selected;   // the Plotter's selected instance
    float alpha;     // 0 to 1
};

Rgba MaterialColor(const PropColoring& coloring, const std::array<float, 3>& c)
{
    if (coloring.preview)
        return {(c[0] + 0.3f) * 0.6f + 0.2f, (c[1] + 0.3f) * 0.7f + 0.1f, (c[2] + 0.3f) * 0.8f + 0.2f, 0.5f};
    if (coloring.plotter && coloring.selected) {
        const Color3f& tint = g_ColorPrefs.PropSelectedTint;
        return {c[0] * tint.r + 0.3f, c[1] * tint.g + 0.2f, c[2] * tint.b, coloring.alpha};
    }
    if (coloring.plotter)
        return {c[0] + 0.3f, c[1] + 0.3f, c[2] + 0.3f, coloring.alpha};
    const float grey = (c[0] + c[1] + c[2]) / 3.0f * 0.5f;
    if (g_ShowPropsInColor)
        return {c[0] * 0.5f + grey, c[1] * 0.5f + grey, c[2] * 0.5f + grey, coloring.alpha};
    return {grey, grey, grey, coloring.alpha * 0.4f};
}

void EnableBlending()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// Makes texture (0 for none) the one triangles are drawn with; *bound is the
// one in use, 0 while texturing is off.
void UseTexture(unsigned int texture, unsigned int* bound)
{
    if (texture == *bound)
        return;
    if (texture != 0) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    *bound = texture;
}

// The model's triangles in batches that restart only when the texture
// changes. A model without materials is drawn untextured in its base colour.
// *bound carries the texture in use from one model to the next, so instances
// of one model change no state between them; texturing is left as it ends.
void DrawModelTriangles(const Model& model, const PropColoring& coloring, unsigned int* bound)
{
    if (model.V.cols() < 3 || model.F.cols() < 3)
        return;
    const bool hasUV = model.UV.cols() >= 2;
    const int materialCount = static_cast<int>(model.materialColors.size());
    int currentMaterial = -1;
    Rgba color = MaterialColor(coloring, model.baseColor);
    if (materialCount == 0)
        UseTexture(0, bound);
    bool drawing = false;
    for (Eigen::Index t = 0; t < model.F.rows(); ++t) {
        if (materialCount > 0) {
            int m = t < model.faceMaterial.size() ? model.faceMaterial(t) : 0;
            m = std::max(0, std::min(m, materialCount - 1));
            if (m != currentMaterial) {
                currentMaterial = m;
                color = MaterialColor(coloring, model.materialColors[m]);
                const unsigned int texture =
                    m < static_cast<int>(model.materialTextures.size()) ? model.materialTextures[m] : 0;
                if (texture != *bound && drawing) {
                    glEnd();
                    drawing = false;
                }
                UseTexture(texture, bound);
            }
        }
        if (!drawing) {
            glBegin(GL_TRIANGLES);
            drawing = true;
        }
        bool valid = true;
        for (int k = 0; k < 3; ++k)
            valid = valid && model.F(t, k) >= 0 && model.F(t, k) < model.V.rows();
        if (!valid)
            continue;
        glColor4f(color[0], color[1], color[2], color[3]);
        for (int k = 0; k < 3; ++k) {
            const int v = model.F(t, k);
            if (*bound != 0 && hasUV && v < model.UV.rows())
                glTexCoord2f(static_cast<float>(model.UV(v, 0)), static_cast<float>(model.UV(v, 1)));
            glVertex3f(static_cast<float>(model.V(v, 0)), static_cast<float>(model.V(v, 1)),
                       static_cast<float>(model.V(v, 2)));
        }
    }
    if (drawing)
        glEnd();
}

} // namespace

void MultiplyPropTransform(const PropInstance& instance)
{
    glTranslatef(instance.position.x, instance.position.y, instance.position.z);
    glRotatef(instance.rotation.y, 0.0f, 1.0f, 0.0f);
    glRotatef(instance.rotation.x, 1.0f, 0.0f, 0.0f);
    glRotatef(instance.rotation.z, 0.0f, 0.0f, 1.0f);
    glScalef(instance.scale.x, instance.scale.y, instance.scale.z);
}

void RenderPropInstances()
{
    const bool plotter = g_CurrentMode == MODE_PLOTTER;
    EnableBlending();
    glEnable(GL_DEPTH_TEST);
    unsigned int bound = 0;
    for (size_t i = 0; i < g_PropInstances.size(); ++i) {
        const PropInstance& instance = g_PropInstances[i];
        if (!instance.visible)
            continue;
        const Model* model = FindModelById(instance.modelID);
        if (!model)
            continue;
        const PropColoring coloring = {false, plotter, plotter && static_cast<int>(i) == g_SelectedPropInstance,
                                       instance.alpha / 255.0f};
        glPushMatrix();
        MultiplyPropTransform(instance);
        DrawModelTriangles(*model, coloring, &bound);
        glPopMatrix();
    }
    UseTexture(0, &bound);
    glDisable(GL_BLEND);
}

void RenderPlotterBrushPreview()
{
    if (g_CurrentMode != MODE_PLOTTER || g_CurrentTool != TOOL_PLOT)
        return;
    if (g_SelectedPropBrush < 0 || g_SelectedPropBrush >= static_cast<int>(g_PropBrushes.size()))
        return;
    const Model* model = FindModelById(g_PropBrushes[g_SelectedPropBrush].modelID);
    if (!model)
        return;
    float x = 0.0f, z = 0.0f;
    if (!ScreenToGroundPlane(g_PreviewMouseX, g_PreviewMouseY, &x, &z))
        return;
    if (g_SnapToGrid) {
        x = SnapToCellCentre(x, g_GridCellSize);
        z = SnapToCellCentre(z, g_GridCellSize);
    }
    const Vec3f offset = ModelStandingOffset(model);
    EnableBlending();
    glEnable(GL_DEPTH_TEST);
    glPushMatrix();
    glTranslatef(x + offset.x, g_GridHeight + offset.y, z + offset.z);
    unsigned int bound = 0;
    DrawModelTriangles(*model, {true, true, false, 0.5f}, &bound);
    UseTexture(0, &bound);
    glPopMatrix();
    glDisable(GL_BLEND);
}
