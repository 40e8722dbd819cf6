#include "viewport/GizmoDrawing.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "app/Preferences.h"
#include "scene/SceneState.h"

namespace {

const double TWO_PI = 6.283185307179586;
const float SCALE_CUBE_HALF = 0.075f;

bool IsDraggedAxis(int axis)
{
    return g_IsDraggingGizmo && g_GizmoAxis == axis;
}

void SetAxisColor(int axis)
{
    if (IsDraggedAxis(axis)) {
        glColor3f(1.0f, 1.0f, 0.0f);
        return;
    }
    const Color3f& c = axis == 0 ? g_ColorPrefs.GizmoX : (axis == 1 ? g_ColorPrefs.GizmoY : g_ColorPrefs.GizmoZ);
    glColor3f(c.r, c.g, c.b);
}

// Turns the local +z axis onto the handle's axis.
void RotateOntoAxis(int axis)
{
    if (axis == 0)
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    else if (axis == 1)
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
}

struct OverlayState {
    GLboolean depthTest;
    GLboolean lighting;
};

OverlayState BeginOverlay()
{
    const OverlayState state = {glIsEnabled(GL_DEPTH_TEST), glIsEnabled(GL_LIGHTING)};
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    return state;
}

void EndOverlay(const OverlayState& state)
{
    if (state.depthTest)
        glEnable(GL_DEPTH_TEST);
    if (state.lighting)
        glEnable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
}

// Faces z+, z-, x-, x+, y+, y-, four corners each as signs of the half size.
const signed char SCALE_CUBE_CORNERS[24][3] = {
    {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},   {-1, 1, 1},  {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1},  {1, -1, -1},
    {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1},  {-1, 1, -1}, {1, -1, -1},  {1, 1, -1},  {1, 1, 1},   {1, -1, 1},
    {-1, 1, -1},  {-1, 1, 1},  {1, 1, 1},   {1, 1, -1},  {-1, -1, -1}, {1, -1, -1}, {1, -1, 1},  {-1, -1, 1}};

void DrawScaleCube()
{
    glBegin(GL_QUADS);
    for (const signed char* corner : SCALE_CUBE_CORNERS)
        glVertex3f(corner[0] * SCALE_CUBE_HALF, corner[1] * SCALE_CUBE_HALF, corner[2] * SCALE_CUBE_HALF);
    glEnd();
}

} // namespace

void DrawMoveGizmoAxis(float x, float y, float z, int axis)
{
    const OverlayState state = BeginOverlay();
    GLUquadric* quadric = gluNewQuadric();
    glPushMatrix();
    glTranslatef(x, y, z);
    RotateOntoAxis(axis);
    SetAxisColor(axis);
    gluCylinder(quadric, 0.04, 0.04, 1.5, 8, 1);
    glTranslatef(0.0f, 0.0f, 1.5f);
    gluCylinder(quadric, 0.12, 0.0, 0.4, 8, 1);
    glPopMatrix();
    gluDeleteQuadric(quadric);
    EndOverlay(state);
}

void DrawScaleGizmoAxis(float x, float y, float z, int axis)
{
    const OverlayState state = BeginOverlay();
    SetAxisColor(axis);
    const float endX = x + (axis == 0 ? 1.5f : 0.0f);
    const float endY = y + (axis == 1 ? 1.5f : 0.0f);
    const float endZ = z + (axis != 0 && axis != 1 ? 1.5f : 0.0f);
    glBegin(GL_LINES);
    glVertex3f(x, y, z);
    glVertex3f(endX, endY, endZ);
    glEnd();
    glPushMatrix();
    glTranslatef(endX, endY, endZ);
    DrawScaleCube();
    glPopMatrix();
    EndOverlay(state);
}

void DrawRotateGizmoRing(float x, float y, float z, int axis)
{
    const OverlayState state = BeginOverlay();
    SetAxisColor(axis);
    const float tube = IsDraggedAxis(axis) ? 0.12f : 0.08f;
    glPushMatrix();
    glTranslatef(x, y, z);
    RotateOntoAxis(axis);
    for (int i = 0; i < 48; ++i) {
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j <= 12; ++j) {
            const float phi = static_cast<float>(TWO_PI * j / 12);
            const float s = std::sin(phi) * tube;
            const float c = std::cos(phi) * tube + 1.8f;
            for (int k = 0; k <= 1; ++k) {
                const float theta = static_cast<float>(TWO_PI * (i + k) / 48);
                glVertex3f(std::cos(theta) * c, std::sin(theta) * c, s);
            }
        }
        glEnd();
    }
    glPopMatrix();
    EndOverlay(state);
}
