// SPDX-License-Identifier: MIT
#include "BitmapFont.h"

#include <algorithm>

BitmapFont::BitmapFont(const FreeglutBitmapFont& data)
    : font(data)
{
}

void BitmapFont::draw(FixedPipeline& pipeline, int character) const
{
    if (character < 1 || character >= std::min(font.quantity, 256))
        return;
    const unsigned char* face = font.characters[character];
    pipeline.bitmap(face[0], font.height, font.xorig, font.yorig, face[0], 0, face + 1);
}

int BitmapFont::length(const unsigned char* text) const
{
    int longest = 0, line = 0;
    for (; text && *text; text++) {
        if (*text == '\n') {
            longest = std::max(longest, line);
            line = 0;
        } else if (*text < font.quantity) {
            line += font.characters[*text][0];
        }
    }
    return std::max(longest, line);
}
