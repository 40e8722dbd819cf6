#include "io/TextureUpload.h"

#include "scene/SceneState.h"

namespace {

unsigned int CreateNoTexture(const DecodedImage&, int) { return 0; }
void DeleteNoTexture(unsigned int) {}

} // namespace

TextureUploadHooks::TextureUploadHooks() : CreateTexture(CreateNoTexture), DeleteTexture(DeleteNoTexture) {}

TextureUploadHooks g_TextureUpload;

void ResetTextureUpload() { g_TextureUpload = TextureUploadHooks(); }

void ReleaseTexture(unsigned int glName)
{
    if (glName != 0 && glName != g_MissingTexture)
        g_TextureUpload.DeleteTexture(glName);
}
