// The viewport's OpenGL context: set-up on the window's creation (pixel
// format, context, initial state, placeholder texture), release on its
// destruction, and the one frame the main loop presents per pass.
#pragma once

#include <windows.h>

// Makes g_hViewportDC and g_hViewportRC for the window and the placeholder
// texture. Every step is checked: on a failure one error box says which step
// failed, and the handles stay null, so no frame is drawn and nothing can be
// picked.
void InitOpenGL(HWND viewport);

// Called by InitOpenGL as its last step with the new context current.
void CreateMissingTexturePlaceholder();

// Releases the context and the device context; safe when either is missing.
void ReleaseOpenGL(HWND viewport);

// True while the viewport has a current rendering context.
bool IsViewportContextReady();

// One pass of the main loop: RenderScene and SwapBuffers, only when the
// context exists.
void RenderViewportFrame();
