// SPDX-License-Identifier: MIT
// The browser's GL layer against Mesa's own fixed-function pipeline, the way
// driver test suites compare a picture with a reference: each scene drawn by
// both, in two windows of one Xvfb, and compared pixel by pixel.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <cstdlib>

#include "FixedGLScenes.h"
#include "GLTestWindow.h"

namespace {

// Pixels where a channel differs by more than 3 levels: the layer lights
// and transforms on the CPU, so a vertex's last bit may move an edge or a
// line's end by a pixel, and no more.
int differing(const Frame& a, const Frame& b)
{
    int n = 0;
    for (size_t k = 0; k < a.pixels.size(); k += 3)
        n += std::abs(a.pixels[k] - b.pixels[k]) > 3 || std::abs(a.pixels[k + 1] - b.pixels[k + 1]) > 3 ||
            std::abs(a.pixels[k + 2] - b.pixels[k + 2]) > 3;
    return n;
}

int cleared(const Frame& f) // pixels left in the clear colour, that of the corner
{
    const Rgb clear = f.at(0, 0);
    int n = 0;
    for (int y = 0; y < f.height; y++)
        for (int x = 0; x < f.width; x++) {
            const Rgb c = f.at(x, y);
            n += c.r == clear.r && c.g == clear.g && c.b == clear.b;
        }
    return n;
}

} // namespace

TEST(FixedGL, DrawsEachSceneAsMesaDraws)
{
    std::string error;
    ASSERT_TRUE(GLTestWindow::open(error)) << error;
    const int mesaWindow = glutGetWindow();
    const int layerWindow = layer::openWindow();
    ASSERT_EQ(mesa::sceneCount, layer::sceneCount);
    // How many pixels of each scene may differ: none, but for the ends of
    // lines (17 on Debian 12's and 13's Mesa).
    const int allowed[] = {0, 40, 0, 0, 0};
    for (int k = 0; k < mesa::sceneCount; k++) {
        glutSetWindow(mesaWindow);
        mesa::scenes[k].draw();
        const Frame reference = GLTestWindow::readBackBuffer();
        glutSetWindow(layerWindow);
        layer::scenes[k].draw();
        const Frame drawn = GLTestWindow::readBackBuffer();
        const char* name = mesa::scenes[k].name;
        EXPECT_LT(cleared(reference), 90000 * 95 / 100) << name << ": the scene draws too little to compare";
        EXPECT_LE(differing(reference, drawn), allowed[k]) << name;
    }
    GLTestWindow::close();
}
