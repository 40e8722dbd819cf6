#include "viewport/TextureUploadGL.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include "io/TextureUpload.h"

namespace {

unsigned int CreateGLTexture(const DecodedImage& image, int kind)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4)
        return 0;

    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0)
        return 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    bool uploaded;
    if (kind == UPLOAD_MIPMAPPED) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        uploaded = gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, image.width, image.height, GL_RGBA,
                                     GL_UNSIGNED_BYTE, image.rgba.data()) == 0;
    } else {
        while (glGetError() != GL_NO_ERROR) {
        }
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, image.rgba.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        uploaded = glGetError() == GL_NO_ERROR;
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    // A texture without its pixels would draw black: the caller falls back to
    // the placeholder instead.
    if (!uploaded) {
        glDeleteTextures(1, &name);
        return 0;
    }
    return name;
}

void DeleteGLTexture(unsigned int name)
{
    const GLuint texture = name;
    glDeleteTextures(1, &texture);
}

} // namespace

void InstallOpenGLTextureUpload()
{
    g_TextureUpload.CreateTexture = CreateGLTexture;
    g_TextureUpload.DeleteTexture = DeleteGLTexture;
}
