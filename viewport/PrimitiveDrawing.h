// Draws a parametric primitive straight from its bounds (quads, triangles and
// GLU quadrics, with planar texture coordinates of one repeat per texScale
// world units). Used for scene objects and the creation preview.
#pragma once

// type is a PrimitiveType; any other value draws nothing. Leaves the
// matrices, the matrix mode and the face-culling state as it found them.
void DrawPrimitive(int type, float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                   float texScale);
