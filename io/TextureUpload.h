// The seam between decoded images and OpenGL textures. The loaders hand every
// decoded image to g_TextureUpload.CreateTexture; the OpenGL layer points the
// members at its own routines once its context exists. The defaults make no
// texture, so the loaders run (and are tested) without OpenGL.
#pragma once

#include "io/ImageDecode.h"

// How a texture is made: with a full mipmap chain (textures of the Texture
// Manager) or one level only (material images of models).
enum TextureUploadKind {
    UPLOAD_MIPMAPPED = 0,
    UPLOAD_SINGLE_LEVEL = 1,
};

struct TextureUploadHooks {
    // Returns the new texture's name, or 0 when none was made. An upload that
    // fails after the name was generated deletes it again and returns 0.
    unsigned int (*CreateTexture)(const DecodedImage& image, int kind);
    // Deletes one texture of ours; only called through ReleaseTexture.
    void (*DeleteTexture)(unsigned int glName);

    TextureUploadHooks();
};

extern TextureUploadHooks g_TextureUpload;

// Restores the no-OpenGL defaults.
void ResetTextureUpload();

// Deletes a texture the loaders made. Names 0 and g_MissingTexture are left
// alone: the placeholder is shared by every failed image and outlives them.
void ReleaseTexture(unsigned int glName);
