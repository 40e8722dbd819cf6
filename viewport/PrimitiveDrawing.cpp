#include "viewport/PrimitiveDrawing.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "scene/SceneTypes.h"
#include "viewport/DrawCache.h"

namespace {

struct Box {
    float minX, minY, minZ, maxX, maxY, maxZ;
    float w, h, d;      // extents
    float cx, cy, cz;   // centre
    float inverseScale; // texture repeats per world unit
};

// One corner: texture coordinate (given in world units) then position.
void Corner(const Box& box, float u, float v, float x, float y, float z)
{
    glTexCoord2f(u * box.inverseScale, v * box.inverseScale);
    glVertex3f(x, y, z);
}

void DrawCube(const Box& b)
{
    glBegin(GL_QUADS);
    Corner(b, 0, b.h, b.minX, b.minY, b.maxZ);
    Corner(b, b.w, b.h, b.maxX, b.minY, b.maxZ);
    Corner(b, b.w, 0, b.maxX, b.maxY, b.maxZ);
    Corner(b, 0, 0, b.minX, b.maxY, b.maxZ);

    Corner(b, b.w, b.h, b.minX, b.minY, b.minZ);
    Corner(b, b.w, 0, b.minX, b.maxY, b.minZ);
    Corner(b, 0, 0, b.maxX, b.maxY, b.minZ);
    Corner(b, 0, b.h, b.maxX, b.minY, b.minZ);

    Corner(b, 0, b.h, b.minX, b.minY, b.minZ);
    Corner(b, b.d, b.h, b.minX, b.minY, b.maxZ);
    Corner(b, b.d, 0, b.minX, b.maxY, b.maxZ);
    Corner(b, 0, 0, b.minX, b.maxY, b.minZ);

    Corner(b, b.d, b.h, b.maxX, b.minY, b.minZ);
    Corner(b, b.d, 0, b.maxX, b.maxY, b.minZ);
    Corner(b, 0, 0, b.maxX, b.maxY, b.maxZ);
    Corner(b, 0, b.h, b.maxX, b.minY, b.maxZ);

    Corner(b, 0, 0, b.minX, b.maxY, b.minZ);
    Corner(b, 0, b.d, b.minX, b.maxY, b.maxZ);
    Corner(b, b.w, b.d, b.maxX, b.maxY, b.maxZ);
    Corner(b, b.w, 0, b.maxX, b.maxY, b.minZ);

    Corner(b, 0, b.d, b.minX, b.minY, b.minZ);
    Corner(b, b.w, b.d, b.maxX, b.minY, b.minZ);
    Corner(b, b.w, 0, b.maxX, b.minY, b.maxZ);
    Corner(b, 0, 0, b.minX, b.minY, b.maxZ);
    glEnd();
}

void SetTextureMatrix(float scaleS, float scaleT, float translateT)
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(scaleS, scaleT, 1.0f);
    if (translateT != 0.0f)
        glTranslatef(0.0f, translateT, 0.0f);
    glMatrixMode(GL_MODELVIEW);
}

void ResetTextureMatrix()
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

void DrawSphere(const Box& b)
{
    SetTextureMatrix(b.inverseScale, b.inverseScale, 0.0f);
    glPushMatrix();
    glTranslatef(b.cx, b.cy, b.cz);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricTexture(quadric, GL_TRUE);
    gluQuadricOrientation(quadric, GLU_OUTSIDE);
    gluSphere(quadric, (b.w / 2 + b.h / 2 + b.d / 2) / 3.0f, 32, 32);
    gluDeleteQuadric(quadric);
    glPopMatrix();
    ResetTextureMatrix();
}

// Cylinder and cone: an upright tube from minY with a bottom cap, and a top
// cap for the cylinder.
void DrawUprightQuadric(const Box& b, bool cone)
{
    const float radius = (b.w / 2 + b.d / 2) / 2.0f;
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricTexture(quadric, GL_TRUE);
    SetTextureMatrix(b.inverseScale, -b.inverseScale, -1.0f);
    glPushMatrix();
    glTranslatef(b.cx, b.minY, b.cz);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    gluQuadricOrientation(quadric, GLU_OUTSIDE);
    gluCylinder(quadric, radius, cone ? 0.0 : radius, b.h, 32, cone ? 16 : 8);
    gluQuadricOrientation(quadric, GLU_INSIDE);
    gluDisk(quadric, 0.0, radius, 32, 1);
    if (!cone) {
        glTranslatef(0.0f, 0.0f, b.h);
        gluQuadricOrientation(quadric, GLU_OUTSIDE);
        gluDisk(quadric, 0.0, radius, 32, 1);
    }
    glPopMatrix();
    ResetTextureMatrix();
    gluDeleteQuadric(quadric);
}

void DrawRamp(const Box& b)
{
    const float s = std::sqrt(b.d * b.d + b.h * b.h);
    glBegin(GL_TRIANGLES);
    Corner(b, 0, b.h, b.minX, b.minY, b.minZ);
    Corner(b, b.w, 0, b.maxX, b.maxY, b.minZ);
    Corner(b, b.w, b.h, b.maxX, b.minY, b.minZ);

    Corner(b, 0, b.h, b.minX, b.minY, b.minZ);
    Corner(b, 0, 0, b.minX, b.maxY, b.minZ);
    Corner(b, b.w, 0, b.maxX, b.maxY, b.minZ);

    Corner(b, 0, b.d, b.minX, b.minY, b.minZ);
    Corner(b, b.d, b.d, b.minX, b.minY, b.maxZ);
    Corner(b, 0, 0, b.minX, b.maxY, b.minZ);

    Corner(b, 0, b.d, b.maxX, b.minY, b.minZ);
    Corner(b, 0, 0, b.maxX, b.maxY, b.minZ);
    Corner(b, b.d, b.d, b.maxX, b.minY, b.maxZ);
    glEnd();

    glBegin(GL_QUADS);
    Corner(b, 0, b.d, b.minX, b.minY, b.minZ);
    Corner(b, b.w, b.d, b.maxX, b.minY, b.minZ);
    Corner(b, b.w, 0, b.maxX, b.minY, b.maxZ);
    Corner(b, 0, 0, b.minX, b.minY, b.maxZ);

    Corner(b, 0, 0, b.minX, b.maxY, b.minZ);
    Corner(b, 0, s, b.minX, b.minY, b.maxZ);
    Corner(b, b.w, s, b.maxX, b.minY, b.maxZ);
    Corner(b, b.w, 0, b.maxX, b.maxY, b.minZ);
    glEnd();
}

void DrawWedge(const Box& b)
{
    const float hx = b.w / 2;
    const float s = std::sqrt(hx * hx + b.d * b.d);
    glBegin(GL_TRIANGLES);
    Corner(b, 0, 0, b.minX, b.minY, b.minZ);
    Corner(b, b.w, 0, b.maxX, b.minY, b.minZ);
    Corner(b, hx, b.d, b.cx, b.minY, b.maxZ);

    Corner(b, 0, 0, b.minX, b.maxY, b.minZ);
    Corner(b, hx, b.d, b.cx, b.maxY, b.maxZ);
    Corner(b, b.w, 0, b.maxX, b.maxY, b.minZ);
    glEnd();

    glBegin(GL_QUADS);
    Corner(b, 0, 0, b.minX, b.minY, b.minZ);
    Corner(b, 0, b.h, b.minX, b.maxY, b.minZ);
    Corner(b, b.w, b.h, b.maxX, b.maxY, b.minZ);
    Corner(b, b.w, 0, b.maxX, b.minY, b.minZ);

    Corner(b, 0, 0, b.minX, b.minY, b.minZ);
    Corner(b, s, 0, b.cx, b.minY, b.maxZ);
    Corner(b, s, b.h, b.cx, b.maxY, b.maxZ);
    Corner(b, 0, b.h, b.minX, b.maxY, b.minZ);

    Corner(b, 0, 0, b.maxX, b.minY, b.minZ);
    Corner(b, 0, b.h, b.maxX, b.maxY, b.minZ);
    Corner(b, s, b.h, b.cx, b.maxY, b.maxZ);
    Corner(b, s, 0, b.cx, b.minY, b.maxZ);
    glEnd();
}

// A flat square seen from both sides; culling is restored to what it was,
// so later drawing is not culled because a knife came before it.
void DrawKnife(const Box& b)
{
    const GLboolean culling = glIsEnabled(GL_CULL_FACE);
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    Corner(b, 0, 0, b.minX, b.minY, b.minZ);
    Corner(b, b.w, 0, b.maxX, b.minY, b.minZ);
    Corner(b, b.w, b.d, b.maxX, b.minY, b.maxZ);
    Corner(b, 0, b.d, b.minX, b.minY, b.maxZ);
    glNormal3f(0.0f, -1.0f, 0.0f);
    Corner(b, 0, 0, b.minX, b.minY, b.minZ);
    Corner(b, 0, b.d, b.minX, b.minY, b.maxZ);
    Corner(b, b.w, b.d, b.maxX, b.minY, b.maxZ);
    Corner(b, b.w, 0, b.maxX, b.minY, b.minZ);
    glEnd();
    if (culling)
        glEnable(GL_CULL_FACE);
}

Box MakeBox(const PrimitiveShape& shape)
{
    Box box;
    box.minX = shape.minX;
    box.minY = shape.minY;
    box.minZ = shape.minZ;
    box.maxX = shape.maxX;
    box.maxY = shape.maxY;
    box.maxZ = shape.maxZ;
    box.w = shape.maxX - shape.minX;
    box.h = shape.maxY - shape.minY;
    box.d = shape.maxZ - shape.minZ;
    box.cx = (shape.minX + shape.maxX) / 2;
    box.cy = (shape.minY + shape.maxY) / 2;
    box.cz = (shape.minZ + shape.maxZ) / 2;
    box.inverseScale = 1.0f / shape.texScale;
    return box;
}

// Every type but the knife, whose culling restore depends on the state at
// the time it is drawn and so cannot go into a list.
void DrawShape(const PrimitiveShape& shape)
{
    const Box box = MakeBox(shape);
    switch (shape.type) {
    case PRIMITIVE_CUBE:
        DrawCube(box);
        break;
    case PRIMITIVE_SPHERE:
        DrawSphere(box);
        break;
    case PRIMITIVE_CYLINDER:
        DrawUprightQuadric(box, false);
        break;
    case PRIMITIVE_CONE:
        DrawUprightQuadric(box, true);
        break;
    case PRIMITIVE_RAMP:
        DrawRamp(box);
        break;
    case PRIMITIVE_WEDGE:
        DrawWedge(box);
        break;
    default:
        break;
    }
}

} // namespace

void DrawPrimitive(int type, float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                   float texScale)
{
    const PrimitiveShape shape = {type, minX, minY, minZ, maxX, maxY, maxZ, texScale};
    if (type == PRIMITIVE_KNIFE)
        DrawKnife(MakeBox(shape));
    else if (type >= PRIMITIVE_CUBE && type <= PRIMITIVE_WEDGE)
        DrawPrimitiveCached(shape, DrawShape);
}
