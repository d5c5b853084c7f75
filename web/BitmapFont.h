// SPDX-License-Identifier: MIT
#ifndef BITMAPFONT_H
#define BITMAPFONT_H

#include "FixedPipeline.h"

// A bitmap font as freeglut lays its font data out: per character its
// advance, then its rows of bits from the bottom up.
struct FreeglutBitmapFont {
    const char* name;
    int quantity;
    int height;
    const unsigned char** characters;
    float xorig, yorig;
};

// freeglut's own data for GLUT_BITMAP_HELVETICA_18, the game's only font:
// from the system's freeglut natively, and compiled from freeglut's source
// for the browser.
extern "C" const FreeglutBitmapFont fgFontHelvetica18;

// glutBitmapCharacter and glutBitmapLength, drawn as glBitmap draws them.
class BitmapFont {
public:
    explicit BitmapFont(const FreeglutBitmapFont& data);

    void draw(FixedPipeline& pipeline, int character) const;
    // The widest line of the text, in pixels.
    int length(const unsigned char* text) const;

private:
    const FreeglutBitmapFont& font;
};

#endif
