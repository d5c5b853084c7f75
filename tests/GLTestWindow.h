// A private X server and the game's window for rendering tests: Xvfb is
// started by the test itself, and frames are read back from the GL back
// buffer right after drawing, before any swap.
#ifndef GLTESTWINDOW_H
#define GLTESTWINDOW_H

#include <string>
#include <vector>

struct Rgb {
    int r;
    int g;
    int b;
};

// A frame read back from the window, origin at the bottom left as in GL.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // RGB, rows bottom to top

    Rgb at(int x, int y) const
    {
        const unsigned char* p = &pixels[3 * (y * width + x)];
        return Rgb{p[0], p[1], p[2]};
    }
};

namespace GLTestWindow {

// Starts Xvfb on a free display, points DISPLAY at it and opens a 300 by
// 300 RGB, double-buffered window with a depth buffer, as the game does.
// On failure returns false with the reason in error.
bool open(std::string& error);

// Destroys the window and stops the X server.
void close();

// Waits for GL to finish and reads the whole back buffer.
Frame readBackBuffer();

} // namespace GLTestWindow

#endif
