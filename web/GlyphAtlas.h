// SPDX-License-Identifier: MIT
#ifndef GLYPHATLAS_H
#define GLYPHATLAS_H

#include <map>
#include <tuple>
#include <vector>

#include "DrawBatch.h"

// The bitmaps drawn so far, side by side in one texture, so that a glyph is
// one textured rectangle instead of a rectangle per row of set bits. A
// bitmap is known by its address and size: the game's are the font's
// constant data.
class GlyphAtlas {
public:
    struct Place {
        float u0, v0, u1, v1;
    };

    GlyphAtlas();

    // Where the bitmap lies in the atlas, added on its first use; false
    // when it does not fit.
    bool place(DrawBatch& gpu, const unsigned char* bits, int width, int height, Place& out);
    GLuint texture() const { return name; }

private:
    static const int kSide = 256;

    std::map<std::tuple<const unsigned char*, int, int>, Place> placed;
    int penX, penY, rowHeight;
    GLuint name;
};

#endif
