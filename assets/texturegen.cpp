// SPDX-License-Identifier: MIT
// Writes the game's two texture images, floor.ppm (square flagstone tiles)
// and bricks.ppm (a running bond of red bricks), as binary PPM files with
// maximum value 255 into the directory given as the only argument (default:
// the working directory). The output is the same on every run.
//
// The wall faces show the top third of bricks.ppm (t from 0 to 0.33), each
// face one third of its width, so the bricks are sized for that square:
// six courses high and two bricks wide per face.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kSize = 256;  // power of two: GLU uploads it without rescaling

struct Rgb {
    double r, g, b;
};

// Integer hash of a lattice point and a channel: the only source of variation.
uint32_t hash(uint32_t x, uint32_t y, uint32_t salt)
{
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ salt * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

// A number in [0, 1) fixed by its arguments.
double unit(uint32_t x, uint32_t y, uint32_t salt)
{
    return (hash(x, y, salt) >> 8) / 16777216.0;
}

// Smooth noise in [0, 1) over a lattice of the given period in pixels, wrapping
// at the image border so the texture tiles without seams.
double smoothNoise(int x, int y, int period, uint32_t salt)
{
    const int cells = kSize / period;
    const int x0 = x / period, y0 = y / period;
    const int x1 = (x0 + 1) % cells, y1 = (y0 + 1) % cells;
    double fx = double(x % period) / period, fy = double(y % period) / period;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    const double a = unit(x0, y0, salt), b = unit(x1, y0, salt);
    const double c = unit(x0, y1, salt), d = unit(x1, y1, salt);
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}

unsigned char toByte(double v)
{
    if (v < 0)
        v = 0;
    if (v > 255)
        v = 255;
    return static_cast<unsigned char>(std::lround(v));
}

void put(std::vector<unsigned char>& pixels, int x, int y, Rgb c)
{
    const size_t at = (static_cast<size_t>(y) * kSize + x) * 3;
    pixels[at] = toByte(c.r);
    pixels[at + 1] = toByte(c.g);
    pixels[at + 2] = toByte(c.b);
}

// Four by four grey-beige flagstones, each of its own tone, with dark grout
// and a mottled surface.
std::vector<unsigned char> makeFloor()
{
    std::vector<unsigned char> pixels(kSize * kSize * 3);
    const int tile = kSize / 4;
    const int grout = 3;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int tx = x / tile, ty = y / tile;
            const int ix = x % tile, iy = y % tile;
            const double grain = (unit(x, y, 11) - 0.5) * 18;
            if (ix < grout || iy < grout) {
                const double g = 62 + grain * 0.5;
                put(pixels, x, y, {g, g * 0.95, g * 0.9});
                continue;
            }
            const double tone = 150 + unit(tx, ty, 1) * 50;
            const double warm = unit(tx, ty, 2) * 16;
            const double mottle = (smoothNoise(x, y, 16, 3) - 0.5) * 40 +
                                  (smoothNoise(x, y, 4, 4) - 0.5) * 16;
            // The upper-left edge of each stone catches a little light.
            const double edge = (ix < grout + 2 || iy < grout + 2) ? 14 : 0;
            const double v = tone + mottle + grain + edge;
            put(pixels, x, y, {v + warm, v + warm * 0.6, v - warm * 0.4});
        }
    }
    return pixels;
}

// A running bond: courses of bricks three times as long as high, every second
// course shifted by half a brick, in light grey mortar.
std::vector<unsigned char> makeBricks()
{
    std::vector<unsigned char> pixels(kSize * kSize * 3);
    const int courses = 18;       // six per wall face
    const int bricksAcross = 6;   // two per wall face
    const double mortar = 2.0;    // pixels
    const double courseHeight = double(kSize) / courses;
    const double brickLength = double(kSize) / bricksAcross;
    for (int y = 0; y < kSize; ++y) {
        const int course = static_cast<int>(y / courseHeight);
        const double inCourse = y - course * courseHeight;
        const double shift = (course % 2) ? brickLength / 2 : 0;
        for (int x = 0; x < kSize; ++x) {
            const double sx = std::fmod(x + shift, double(kSize));
            const int brick = static_cast<int>(sx / brickLength);
            const double inBrick = sx - brick * brickLength;
            const double grain = (unit(x, y, 21) - 0.5) * 20;
            if (inCourse < mortar || inBrick < mortar) {
                const double g = 196 + grain * 0.6;
                put(pixels, x, y, {g, g * 0.97, g * 0.92});
                continue;
            }
            const double red = 150 + unit(brick, course, 22) * 60;
            const double dark = unit(brick, course, 23) * 25;
            const double mottle = (smoothNoise(x, y, 8, 24) - 0.5) * 30;
            // The lower edge of each brick lies in shadow.
            const double shade = (inCourse > courseHeight - 2) ? -25 : 0;
            const double v = red + mottle + grain + shade;
            put(pixels, x, y, {v, v * 0.42 - dark, v * 0.32 - dark});
        }
    }
    return pixels;
}

bool writePpm(const std::string& path, const std::vector<unsigned char>& pixels)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) {
        perror(path.c_str());
        return false;
    }
    fprintf(file, "P6\n# Dewgatherer texture\n%d %d\n255\n", kSize, kSize);
    const bool written = fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
    if (fclose(file) != 0 || !written) {
        perror(path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        fprintf(stderr, "usage: %s [output directory]\n", argv[0]);
        return 2;
    }
    const std::string dir = argc == 2 ? std::string(argv[1]) + "/" : std::string();
    if (!writePpm(dir + "floor.ppm", makeFloor()))
        return 1;
    if (!writePpm(dir + "bricks.ppm", makeBricks()))
        return 1;
    return 0;
}
