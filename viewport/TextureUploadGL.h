// The OpenGL side of the texture seam: turns decoded images into textures of
// the viewport's context. Installed while the context exists.
#pragma once

// Points g_TextureUpload at the OpenGL routines; called with the context current.
void InstallOpenGLTextureUpload();
