// SPDX-License-Identifier: MIT
// The image reader on header layouts, on broken files and on files written by
// ImageMagick, netpbm and a shell.

#include "PPMImage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

const std::string kDeep =
    ": 16-bit samples are not supported, save the image with 8-bit samples (ImageMagick: convert -depth 8)";

struct Scratch {
    const std::string dir = "/tmp/dew-ppm-" + std::to_string(getpid()) + "/";
    Scratch() { std::filesystem::create_directory(dir); }
    ~Scratch() { std::filesystem::remove_all(dir); }
} scratch;

// Distinct, non-grey bytes, so a shifted, cut or rescaled buffer never matches.
std::string pattern(size_t n)
{
    std::string bytes(n, '\0');
    for (size_t k = 0; k < n; ++k)
        bytes[k] = static_cast<char>((k * 7 + 3) % 251);
    return bytes;
}

std::string image(int w, int h, const std::string& px)
{
    return std::to_string(w) + "x" + std::to_string(h) + " " + px;
}

// Loads into a record already holding a 7 by 9 image: the image read, or
// what stderr said when the record was left as it was.
std::string outcome(const std::string& file)
{
    static unsigned char held[3];
    PPMImage img;
    img.width = 7;
    img.height = 9;
    img.data = held;
    testing::internal::CaptureStderr();
    void* result = img.load(file.c_str());
    std::string said = testing::internal::GetCapturedStderr();
    if (result && result == img.data) {
        said += image(img.width, img.height, std::string((char*)img.data, img.width * img.height * 3));
        img.free();
    } else if (result || img.width != 7 || img.height != 9 || img.data != held)
        said = "record changed: " + said;
    return said;
}

// Each file's bytes and what loading it gives: the 3 by 2 image `px` in every
// header layout, else the one line on stderr, after the file's name, which
// the reader keeps for the Windows message box.
TEST(PPMImage, ReadsEveryHeaderLayoutAndRefusesEveryBadFileWithOneLine)
{
    const std::string px = pattern(18), ok = image(3, 2, px), wide = pattern(16384 * 3);
    const std::string file = scratch.dir + "f.ppm";
    const std::pair<std::string, std::string> cases[] = {
        {"P6\n3 2 255\n" + px + "trailing", ok},
        {"P6\n3\n2 255\n" + px, ok},
        {"P6\n3\n# one\n2\n# two\n255\n" + px, ok},
        {"P6\n\n  \nnothing here\n3 2\n\n255\n" + px, ok},
        {"P6\n# Created by GIMP version 2.10.34 PNM plug-in\n3 2\n255\n" + px, ok},
        {"P6\n3 2 # width and height\n255 # and the rest of the line\n" + px, ok},
        {"P6 7 9 255\n3 2\n255\n" + px, ok},
        {"P6\n3 2\n100\n" + px, ok}, // samples are not rescaled
        {"P6\n16384 1\n255\n" + wide + "trailing", image(16384, 1, wide)},
        // Lines are read in pieces of 69 characters, each piece a line; pixels start after the piece.
        {"P6\n#" + std::string(68, 'x') + "3 2 255\n" + px, ok},
        {"P6\n3 2 255" + std::string(62, ' ') + px, ok},
        {"", ": Not a raw PPM file"},
        {"P3\n1 1\n255\n1 2 3\n", ": Not a raw PPM file"},
        {"P6\n3 2\n# no maximum\n\n", ": File ends before the header gives width, height and maximum value"},
        {"P6\n3 0\n255\n" + px, ": Image size 3 x 0: width and height must be at least 1"},
        {"P6\n-3 2\n255\n" + px, ": Image size -3 x 2: width and height must be at least 1"},
        {"P6\n1 16385\n255\n" + px, ": Image size 1 x 16385 is too large (at most 16384 pixels per side)"},
        {"P6\n4294967299 2\n255\n" + px,
            ": Image size 4294967299 x 2 is too large (at most 16384 pixels per side)"},
        {"P6\n3 2\n256\n" + px + px, ": Maximum sample value 256" + kDeep},
        {"P6\n3 2\n4294967551\n" + px, ": Maximum sample value 4294967551" + kDeep},
        {"P6\n3 2\n255\n" + px.substr(1), ": Pixel data cut short: 17 of 18 bytes for 3 x 2 pixels"},
        {"P6\n16384 16384\n255\n" + px,
            ": Pixel data cut short: 18 of 805306368 bytes for 16384 x 16384 pixels"},
    };
    for (const auto& [bytes, expected] : cases) {
        std::ofstream(file, std::ios::binary) << bytes;
        const std::string said = outcome(file);
        EXPECT_EQ(said, expected[0] == ':' ? file + expected + "\n" : expected) << bytes.substr(0, 80);
        if (expected[0] == ':') {
            EXPECT_EQ(PPMImage::lastError() + std::string("\n"), said) << bytes.substr(0, 80);
        }
    }
    const std::string none = scratch.dir + "none: No such file or directory\n";
    EXPECT_EQ(outcome(scratch.dir + "none"), none);
    EXPECT_EQ(PPMImage::lastError() + std::string("\n"), none);
}

TEST(PPMImage, ReadsFilesWrittenByImageMagickNetpbmAndAShellPipe)
{
    const std::string pixels = pattern(5 * 3 * 3), dir = scratch.dir;
    std::ofstream(dir + "in.ppm", std::ios::binary) << "P6\n5 3\n255\n" + pixels;
    // The real ImageMagick, not a stand-in earlier on the PATH. It writes
    // 16-bit samples unless told otherwise. The two pipes are streams of
    // unknown length, one cut short.
    const std::string script =
        " && convert in.ppm in.png && convert in.png -depth 8 a.ppm"
        " && convert in.png -depth 8 -set comment 'a comment' b.ppm && pngtopnm in.png > c.ppm"
        " && convert -size 4x2 xc:red deep.ppm && mkfifo pipe short"
        " && (printf 'P6\\n2 1\\n255\\nabcdef' >pipe 2>&- &)"
        " && (printf 'P6\\n2 1\\n255\\nabc' >short 2>&- &)";
    ASSERT_EQ(std::system(("cd " + dir + " && PATH=/usr/bin:$PATH" + script).c_str()), 0);
    for (const char* name : {"a.ppm", "b.ppm", "c.ppm"})
        EXPECT_EQ(outcome(dir + name), image(5, 3, pixels)) << name;
    EXPECT_EQ(outcome(dir + "deep.ppm"), dir + "deep.ppm: Maximum sample value 65535" + kDeep + "\n");
    EXPECT_EQ(outcome(dir + "pipe"), image(2, 1, "abcdef"));
    EXPECT_EQ(outcome(dir + "short"), dir + "short: Pixel data cut short: 3 of 6 bytes for 2 x 1 pixels\n");
}

} // namespace
