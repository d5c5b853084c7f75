// SPDX-License-Identifier: MIT
#include "GLTextureHelper.h"

#include <GL/glu.h>

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Indexed by TextureName; opened relative to the working directory.
const char* const textureFile[2] = {"floor.ppm", "bricks.ppm"};

// A player who starts the game from Explorer has no console to read the
// reader's line on, so on Windows the line comes in a message box as well.
void tellPlayer(const char* line)
{
#ifdef _WIN32
    MessageBoxA(nullptr, line, "Dewgatherer", MB_OK | MB_ICONERROR);
#else
    (void)line;
#endif
}

} // namespace

GLTextureHelper::GLTextureHelper()
    : glTextures{0, 0}
{
}

GLTextureHelper::~GLTextureHelper()
{
}

void GLTextureHelper::loadImages()
{
    for (int i = ETextureFloor; i <= ETextureWall; ++i) {
        PPMImage img;
        if (!img.load(textureFile[i])) {
            // The reader has said what is wrong on stderr; a game without
            // its textures cannot start.
            tellPlayer(PPMImage::lastError());
            for (PPMImage& held : images)
                held.free();
            images.clear();
            exit(1);
        }
        images.push_back(img);
    }
}

void GLTextureHelper::freeImages()
{
    for (PPMImage& img : images)
        img.free();
    images.clear();
}

void GLTextureHelper::GlGenTextures()
{
    glGenTextures(2, glTextures);
    // Pixel rows are packed without padding, so rows of any width are read
    // inside their buffer.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = ETextureFloor; i <= ETextureWall; ++i) {
        glBindTexture(GL_TEXTURE_2D, glTextures[i]);
        gluBuild2DMipmaps(
            GL_TEXTURE_2D, 3, images[i].width, images[i].height, GL_RGB, GL_UNSIGNED_BYTE, images[i].data);
    }
    // GL holds its own copies now; the wall texture stays bound.
    freeImages();
}

void GLTextureHelper::GlDeleteTextures()
{
    glDeleteTextures(2, glTextures);
}

void GLTextureHelper::GlSetTexture(TextureName texture)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, glTextures[texture]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void GLTextureHelper::GlSetNoTexture()
{
    glDisable(GL_TEXTURE_2D);
}
