#include "viewport/RenderScene.h"

#include <windows.h>
#include <GL/gl.h>

#include "app/Preferences.h"
#include "scene/SceneState.h"
#include "viewport/Camera.h"
#include "viewport/DrawCache.h"
#include "viewport/ObjectDrawing.h"
#include "viewport/Overlays.h"
#include "viewport/PropDrawing.h"
#include "viewport/ViewProjection.h"
#include "viewport/ViewportState.h"

namespace {

const int GRID_HALF_LINES = 10;

// A window point on the working plane, snapped to the grid when snapping is
// on; a miss leaves the corner as it was.
void ResolveCorner(int screenX, int screenY, float* cornerX, float* cornerZ)
{
    float x = 0.0f, z = 0.0f;
    if (!ScreenToGroundPlane(screenX, screenY, &x, &z))
        return;
    if (g_SnapToGrid) {
        x = SnapToGridLine(x, g_GridCellSize);
        z = SnapToGridLine(z, g_GridCellSize);
    }
    *cornerX = x;
    *cornerZ = z;
}

void ResolvePendingCorners()
{
    if (g_CreateStartPending) {
        ResolveCorner(g_CreateStartScreenX, g_CreateStartScreenY, &g_CreateStartX, &g_CreateStartZ);
        g_CreateStartPending = false;
    }
    if (g_CreateEndPending && g_CreateStage == STAGE_BASE) {
        ResolveCorner(g_PreviewMouseX, g_PreviewMouseY, &g_CreateEndX, &g_CreateEndZ);
        g_CreateEndPending = false;
    }
}

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
