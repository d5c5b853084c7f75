// SPDX-License-Identifier: MIT
#ifndef DRAWBATCH_H
#define DRAWBATCH_H

#include <map>
#include <vector>

#include "GLES2.h"

// One vertex as the layer hands it to the GPU: already transformed to clip
// coordinates and lit.
struct BatchVertex {
    float clip[4];
    float color[4];
    float tex[2];
    float slot; // 0 untextured, 1 or 2 the texture unit plus one
};

// Collects triangles that share the GPU state (depth test, blending) into
// one draw, so that a frame of a thousand small draws of the game's becomes
// a handful. Up to two textures ride along in one draw, each on its own unit.
// A texel whose alpha is below one half is not drawn (the glyphs' clear
// pixels); the game's own textures have none.
class DrawBatch {
public:
    DrawBatch();

    // Compiles the program and reads the viewport; needs a current context.
    void init();
    bool ready() const { return program != 0; }
    const int* viewport() const { return view; }

    void addTriangle(const BatchVertex& a, const BatchVertex& b, const BatchVertex& c, GLuint texture);
    void flush();

    void setDepthTest(bool on);
    void setBlend(bool on);
    void setBlendFunc(GLenum src, GLenum dst);
    void clear(GLbitfield mask, const float color[4]);

    GLuint genTexture();
    void deleteTexture(GLuint texture);
    void setTextureParameter(GLuint texture, GLenum pname, GLint value);
    // One level of a texture of bytes, GL_RGB or GL_RGBA; a rectangle of an
    // RGBA one written anew.
    void uploadTexture(GLuint texture, int level, GLenum format, int width, int height, const unsigned char* texels);
    void updateTexture(GLuint texture, int x, int y, int width, int height, const unsigned char* rgba);

private:
    float slotFor(GLuint texture);
    void startChanging(GLuint texture);
    void startWriting(GLuint texture);

    GLuint program;
    GLuint buffer;
    GLint clipLoc, colorLoc, texLoc, slotLoc;
    int view[4];
    std::vector<BatchVertex> vertices;
    GLuint slots[2];
    bool depthTest;
    bool blend;
    GLenum blendSrc, blendDst;
    // The parameters each texture was last given, so that an unchanged one
    // costs nothing and a changed one ends the draw that sampled the old one.
    std::map<GLuint, std::map<GLenum, GLint>> parameters;
};

#endif
