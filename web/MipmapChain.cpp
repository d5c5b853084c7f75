// SPDX-License-Identifier: MIT
#include "MipmapChain.h"

#include <algorithm>

MipmapChain::MipmapChain(int width, int height, int rowAlignment, const unsigned char* rgb)
{
    if (width <= 0 || height <= 0 || !rgb)
        return;
    const int align = std::max(1, rowAlignment);
    const int rowBytes = (width * 3 + align - 1) / align * align;
    Level base{width, height, std::vector<unsigned char>((size_t)width * height * 3)};
    for (int y = 0; y < height; y++)
        std::copy_n(rgb + (size_t)y * rowBytes, width * 3, base.rgb.begin() + (size_t)y * width * 3);
    const int w = powerOfTwoAtMost(width), h = powerOfTwoAtMost(height);
    chain.push_back(w == width && h == height ? base : scaled(base, w, h));
    while (chain.back().width > 1 || chain.back().height > 1)
        chain.push_back(halved(chain.back()));
}

int MipmapChain::powerOfTwoAtMost(int n)
{
    int p = 1;
    while (p * 2 <= n)
        p *= 2;
    return p;
}

// A box filter: each new pixel averages the old pixels it covers, weighted
// by how much of each it covers.
MipmapChain::Level MipmapChain::scaled(const Level& from, int width, int height)
{
    Level to{width, height, std::vector<unsigned char>((size_t)width * height * 3)};
    const float sx = (float)from.width / width, sy = (float)from.height / height;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            float sum[3] = {0, 0, 0}, area = 0;
            const float x0 = x * sx, x1 = x0 + sx, y0 = y * sy, y1 = y0 + sy;
            for (int v = (int)y0; v < from.height && v < y1; v++) {
                const float wy = std::min(y1, (float)v + 1) - std::max(y0, (float)v);
                for (int u = (int)x0; u < from.width && u < x1; u++) {
                    const float wx = std::min(x1, (float)u + 1) - std::max(x0, (float)u);
                    const unsigned char* p = &from.rgb[((size_t)v * from.width + u) * 3];
                    for (int c = 0; c < 3; c++)
                        sum[c] += p[c] * wx * wy;
                    area += wx * wy;
                }
            }
            for (int c = 0; c < 3; c++)
                to.rgb[((size_t)y * width + x) * 3 + c] = (unsigned char)(sum[c] / area + 0.5f);
        }
    }
    return to;
}

MipmapChain::Level MipmapChain::halved(const Level& from)
{
    const int width = std::max(1, from.width / 2), height = std::max(1, from.height / 2);
    Level to{width, height, std::vector<unsigned char>((size_t)width * height * 3)};
    const int stepX = from.width > 1 ? 1 : 0, stepY = from.height > 1 ? 1 : 0;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            const int u = x * 2, v = y * 2;
            for (int c = 0; c < 3; c++) {
                auto at = [&](int du, int dv) { return (int)from.rgb[((size_t)(v + dv) * from.width + u + du) * 3 + c]; };
                const int sum = at(0, 0) + at(stepX, 0) + at(0, stepY) + at(stepX, stepY);
                to.rgb[((size_t)y * width + x) * 3 + c] = (unsigned char)((sum + 2) / 4);
            }
        }
    }
    return to;
}
