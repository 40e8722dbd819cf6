#include "viewport/RenderScene.h"

#include <windows.h>
#include <GL/gl.h>

#include "app/Preferences.h"
#include "scene/SceneState.h"
#include "viewport/CreationInput.h"
#include "viewport/DrawCache.h"
#include "viewport/ObjectDrawing.h"
#include "viewport/Overlays.h"
#include "viewport/PropDrawing.h"
#include "viewport/ViewProjection.h"

namespace {

const int GRID_HALF_LINES = 10;

void DrawGrid()
{
    if (!g_ShowGrid)
        return;
    const Color3f& color = g_ColorPrefs.Grid;
    glColor3f(color.r, color.g, color.b);
    const float y = g_GridHeight;
    const float cell = g_GridCellSize;
    const float e = GRID_HALF_LINES * cell;
    glBegin(GL_LINES);
    for (int i = -GRID_HALF_LINES; i <= GRID_HALF_LINES; ++i) {
        const float s = i * cell;
        glVertex3f(g_GridOffsetX + s, y, g_GridOffsetZ - e);
        glVertex3f(g_GridOffsetX + s, y, g_GridOffsetZ + e);
        glVertex3f(g_GridOffsetX - e, y, g_GridOffsetZ + s);
        glVertex3f(g_GridOffsetX + e, y, g_GridOffsetZ + s);
    }
    glEnd();
}

} // namespace

void RenderScene()
{
    const Color3f& background = g_ColorPrefs.Background;
    glClearColor(background.r, background.g, background.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    AgeDrawCaches();
    if (!ApplyFrameMatrices())
        return;

    ResolvePendingCorners();
    DrawGrid();
    RenderSceneObjects();
    RenderPropInstances();
    RenderGizmos();
    RenderCreationPreview();
    RenderPainterOverlay();
    RenderPlotterBrushPreview();
    RenderVertexOverlay();
}
