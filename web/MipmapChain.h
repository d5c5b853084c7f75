// SPDX-License-Identifier: MIT
#ifndef MIPMAPCHAIN_H
#define MIPMAPCHAIN_H

#include <vector>

// What gluBuild2DMipmaps makes of an RGB image: the image brought to
// power-of-two sides (WebGL repeats no other texture), then each level half
// the one before, down to one pixel.
class MipmapChain {
public:
    struct Level {
        int width, height;
        std::vector<unsigned char> rgb; // rows packed, bottom row first
    };

    // rowAlignment is GL_UNPACK_ALIGNMENT: each source row starts on a multiple of it.
    MipmapChain(int width, int height, int rowAlignment, const unsigned char* rgb);

    const std::vector<Level>& levels() const { return chain; }

private:
    static int powerOfTwoAtMost(int n);
    static Level scaled(const Level& from, int width, int height);
    static Level halved(const Level& from);

    std::vector<Level> chain;
};

#endif
