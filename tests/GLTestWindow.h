// SPDX-License-Identifier: MIT
// A private Xvfb and a 300 by 300 GLUT window like the game's. Frames are read
// from the back buffer right after drawing, before any swap.
#ifndef GLTESTWINDOW_H
#define GLTESTWINDOW_H

#include <string>
#include <vector>

struct Rgb {
    int r, g, b;
};

// RGB rows from the bottom up, as GL reads them.
struct Frame {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    Rgb at(int x, int y) const
    {
        const unsigned char* p = &pixels[3 * (y * width + x)];
        return {p[0], p[1], p[2]};
    }
};

namespace GLTestWindow {
// Starts Xvfb on a free display, dying with this process, and points DISPLAY
// at it; then opens an RGB, double-buffered window with depth, as the game
// does. On failure returns false with the reason.
bool open(std::string& error);
void close(); // destroys the window and stops the server
Frame readBackBuffer();
} // namespace GLTestWindow

#endif
