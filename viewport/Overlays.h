// What the frame draws over the scene for the tool in use: the transform
// gizmos at the selected object, prop instance or vertices, the preview of a
// primitive being created, the Painter's selected and hovered faces, and the
// Vertex Editor's vertex spheres.
#pragma once

void RenderGizmos();
void RenderCreationPreview();
void RenderPainterOverlay();
void RenderVertexOverlay();
