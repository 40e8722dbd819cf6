// One complete viewport frame: clear, camera, pending creation corners, grid,
// scene objects, props, gizmos, creation preview and the mode overlays.
// Needs the viewport's context current; the main loop swaps the buffers.
#pragma once

// With an empty client area it only clears, keeping the last matrices.
void RenderScene();
