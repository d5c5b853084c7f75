// SPDX-License-Identifier: MIT
#ifndef GLTEXTUREHELPER_H
#define GLTEXTUREHELPER_H

#include <GL/gl.h>

#include <vector>

#include "PPMImage.h"

enum TextureName { ETextureFloor = 0, ETextureWall = 1 };

// Reads the floor and wall images, uploads them as textures and binds them
// by name while the maze is drawn.
class GLTextureHelper {
public:
    GLTextureHelper();
    ~GLTextureHelper();

    void loadImages(); // ends the process with status 1 if an image cannot be read
    void freeImages();
    void GlGenTextures(); // also releases the pixel buffers once GL holds its copies
    void GlDeleteTextures();
    void GlSetTexture(TextureName texture);
    void GlSetNoTexture();

private:
    std::vector<PPMImage> images;
    GLuint glTextures[2];
};

#endif
