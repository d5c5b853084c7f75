// SPDX-License-Identifier: MIT
#include "GlyphAtlas.h"

#include <algorithm>

GlyphAtlas::GlyphAtlas()
    : penX(0)
    , penY(0)
    , rowHeight(0)
    , name(0)
{
}

bool GlyphAtlas::place(DrawBatch& gpu, const unsigned char* bits, int width, int height, Place& out)
{
    const auto key = std::make_tuple(bits, width, height);
    const auto known = placed.find(key);
    if (known != placed.end()) {
        out = known->second;
        return true;
    }
    // Glyphs go in rows, a pixel apart.
    if (penX + width > kSide) {
        penX = 0;
        penY += rowHeight + 1;
        rowHeight = 0;
    }
    if (width > kSide || penY + height > kSide)
        return false;
    if (name == 0) {
        name = gpu.genTexture();
        gpu.uploadTexture(name, 0, GL_RGBA, kSide, kSide, std::vector<unsigned char>(kSide * kSide * 4, 0).data());
        gpu.setTextureParameter(name, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gpu.setTextureParameter(name, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gpu.setTextureParameter(name, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        gpu.setTextureParameter(name, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    // White where a bit is set, clear elsewhere: the fragment takes the
    // raster colour, or is dropped.
    std::vector<unsigned char> texels((size_t)width * height * 4, 0);
    const int rowBytes = (width + 7) / 8;
    for (int row = 0; row < height; row++)
        for (int col = 0; col < width; col++)
            if (bits[row * rowBytes + col / 8] & (0x80 >> (col % 8)))
                std::fill_n(texels.begin() + ((size_t)row * width + col) * 4, 4, 255);
    gpu.updateTexture(name, penX, penY, width, height, texels.data());
    out = {(float)penX / kSide, (float)penY / kSide, (float)(penX + width) / kSide, (float)(penY + height) / kSide};
    placed[key] = out;
    penX += width + 1;
    rowHeight = std::max(rowHeight, height);
    return true;
}
