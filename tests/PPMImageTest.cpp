// The image reader on hand-made header layouts, on files written by
// ImageMagick and netpbm (and in GIMP's layout), on every kind of broken file,
// and on the texture files the build generates.

#include "PPMImage.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const char* const kConvert = "/usr/bin/convert";  // the real ImageMagick

// Distinct, non-grey sample bytes, so a shifted, reordered or rescaled buffer
// never matches by accident.
std::string pattern(size_t n)
{
    std::string bytes(n, '\0');
    for (size_t k = 0; k < n; ++k)
        bytes[k] = static_cast<char>((k * 7 + 3) % 251);
    return bytes;
}

std::string bytesOf(const PPMImage& img)
{
    return std::string(reinterpret_cast<const char*>(img.data),
                       static_cast<size_t>(img.width) * img.height * 3);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Loaded {
    void* result;
    std::string err;
};

Loaded loadInto(PPMImage& img, const std::string& path)
{
    testing::internal::CaptureStderr();
    void* result = img.load(path.c_str());
    return {result, testing::internal::GetCapturedStderr()};
}

class PPMImageTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char templ[] = "/tmp/dew-ppm-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr) << strerror(errno);
        dir = templ;
    }

    static void TearDownTestSuite()
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    static std::string path(const std::string& name) { return dir + "/" + name; }

    static std::string write(const std::string& name, const std::string& bytes)
    {
        std::ofstream out(path(name), std::ios::binary);
        out << bytes;
        return path(name);
    }

    // Runs a shell command in the scratch folder; true when it exits with 0.
    static bool run(const std::string& command)
    {
        int status = std::system(("cd '" + dir + "' && " + command).c_str());
        return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // Loads a file that must be read as a whole image.
    static PPMImage loadOk(const std::string& file)
    {
        PPMImage img;
        Loaded got = loadInto(img, file);
        EXPECT_NE(got.result, nullptr) << file;
        EXPECT_EQ(got.result, static_cast<void*>(img.data));
        EXPECT_EQ(got.err, "");
        return img;
    }

    // Loads a file that must be refused with exactly the given line on stderr
    // and the record left as it was.
    static void expectRefused(const std::string& file, const std::string& message)
    {
        unsigned char held[3] = {1, 2, 3};
        PPMImage img;
        img.width = 7;
        img.height = 9;
        img.data = held;
        Loaded got = loadInto(img, file);
        EXPECT_EQ(got.result, nullptr) << file;
        EXPECT_EQ(img.width, 7);
        EXPECT_EQ(img.height, 9);
        EXPECT_EQ(img.data, held);
        EXPECT_EQ(got.err, file + ": " + message + "\n");
    }

    static std::string dir;
};

std::string PPMImageTest::dir;

// A 3 by 2 image: 18 sample bytes.
const std::string kPixels = pattern(18);

TEST_F(PPMImageTest, EveryHeaderLayoutGivesTheSameImage)
{
    const char* const headers[] = {
        "P6\n3 2\n255\n",                    // the ordinary layout
        "P6\n3 2 255\n",                     // all three on one line
        "P6\n3\n2 255\n",                    // width, then height and maximum
        "P6\n3\n2\n255\n",                   // one per line
        "P6\n# a comment\n3 2\n255\n",       // comment before the values
        "P6\n3 2\n# a comment\n255\n",       // between height and maximum
        "P6\n3\n# one\n2\n# two\n255\n",     // between every value
        "P6\n3 2 # width and height\n255\n", // comment after numbers
        "P6\n3 2 255 # all of them\n",       // rest of the last line skipped
        "P6\n\n3 2\n\n255\n",                // blank lines
        "P6\n   \n\t\n3 2\n255\n",           // lines of blanks only
        "P6\nnothing here\n3 2\n255\n",      // a line of other text adds nothing
        "P6\n  3   2  \n  255\n",            // extra blanks around values
        "P6\n+3 +2 +255\n",                  // signed values
        "P6\r\n3 2\r\n255\r\n",              // carriage returns stay in the line
        "P6 7 9 255\n3 2\n255\n",            // values on the magic line are not read
        "P6 a comment of its own\n3 2\n255\n",
    };
    for (const char* header : headers) {
        SCOPED_TRACE(header);
        PPMImage img = loadOk(write("layout.ppm", header + kPixels));
        EXPECT_EQ(img.width, 3);
        EXPECT_EQ(img.height, 2);
        if (img.data) {
            EXPECT_EQ(bytesOf(img), kPixels);
        }
        img.free();
    }
}

TEST_F(PPMImageTest, SixtyFourSquareWithCommentReadsExactlyItsBytes)
{
    const std::string pixels = pattern(12288);
    PPMImage img =
        loadOk(write("square.ppm", "P6\n# 64 by 64\n64 64\n255\n" + pixels + "trailing bytes"));
    EXPECT_EQ(img.width, 64);
    EXPECT_EQ(img.height, 64);
    ASSERT_NE(img.data, nullptr);
    EXPECT_EQ(bytesOf(img), pixels);
    img.free();
}

TEST_F(PPMImageTest, SamplesAreNeverRescaled)
{
    // Maximum 100: a sample of 100 stays 100, and bytes above the maximum
    // are taken as they stand too.
    const std::string pixels("\x64\x32\x00\xc8\x64\x01", 6);
    PPMImage img = loadOk(write("max100.ppm", "P6\n2 1\n100\n" + pixels));
    ASSERT_NE(img.data, nullptr);
    EXPECT_EQ(bytesOf(img), pixels);
    img.free();

    // A maximum of 0 is nonsense but harmless: it is not used either.
    img = loadOk(write("max0.ppm", "P6\n2 1\n0\n" + pixels));
    ASSERT_NE(img.data, nullptr);
    EXPECT_EQ(bytesOf(img), pixels);
    img.free();
}

TEST_F(PPMImageTest, LinesLongerThanSixtyNineCharactersAreReadInPieces)
{
    // A long comment: its first 69 characters are the comment line, the rest
    // is read as a line of its own, here holding no number.
    PPMImage img = loadOk(write("longcomment.ppm",
                                "P6\n#" + std::string(99, 'x') + "\n3 2\n255\n" + kPixels));
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    img.free();

    // When the piece after the 69th character holds numbers, they count.
    const std::string pixels54 = pattern(5 * 4 * 3);
    img = loadOk(write("comment69.ppm",
                       "P6\n#" + std::string(68, 'x') + "5 4 255\n" + pixels54));
    EXPECT_EQ(img.width, 5);
    EXPECT_EQ(img.height, 4);
    if (img.data) {
        EXPECT_EQ(bytesOf(img), pixels54);
    }
    img.free();

    // A number cut by the piece boundary is read as two numbers: 67 blanks
    // and "12" fill the first piece (width 12), "34 5" give height 34 and
    // maximum 5.
    const std::string pixels1234 = pattern(12 * 34 * 3);
    img = loadOk(write("splitnumber.ppm",
                       "P6\n" + std::string(67, ' ') + "1234 5\n" + pixels1234));
    EXPECT_EQ(img.width, 12);
    EXPECT_EQ(img.height, 34);
    if (img.data) {
        EXPECT_EQ(bytesOf(img), pixels1234);
    }
    img.free();

    // The third value found in a 69-character piece ends the header there:
    // the line end that follows is the first pixel byte.
    std::string line = "3 2 255";
    line += std::string(69 - line.size(), ' ');
    img = loadOk(write("exact69.ppm", "P6\n" + line + "\n" + kPixels));
    ASSERT_NE(img.data, nullptr);
    EXPECT_EQ(bytesOf(img), "\n" + kPixels.substr(0, 17));
    img.free();
}

TEST_F(PPMImageTest, ReadsImageMagickFiles)
{
    ASSERT_EQ(access(kConvert, X_OK), 0) << "ImageMagick is needed at " << kConvert;

    // A flat colour made by ImageMagick itself.
    ASSERT_TRUE(run(std::string(kConvert) + " -size 8x4 'xc:rgb(10,20,30)' -depth 8 flat.ppm"));
    PPMImage img = loadOk(path("flat.ppm"));
    EXPECT_EQ(img.width, 8);
    EXPECT_EQ(img.height, 4);
    std::string flat;
    for (int k = 0; k < 32; ++k)
        flat += "\x0a\x14\x1e";
    if (img.data) {
        EXPECT_EQ(bytesOf(img), flat);
    }
    img.free();

    // Known pixels through a lossless PNG and back, with and without a
    // comment line, at a width not divisible by 4.
    const std::string pixels = pattern(5 * 3 * 3);
    write("known.ppm", "P6\n5 3\n255\n" + pixels);
    ASSERT_TRUE(run(std::string(kConvert) + " known.ppm known.png"));
    ASSERT_TRUE(run(std::string(kConvert) + " known.png -depth 8 im.ppm"));
    ASSERT_TRUE(run(std::string(kConvert) +
                    " known.png -depth 8 -set comment 'made for a test' imcomment.ppm"));
    ASSERT_EQ(readFile(path("imcomment.ppm")).compare(0, 20, "P6\n#made for a test\n"), 0)
        << "ImageMagick no longer writes the comment line this test is about";
    for (const char* name : {"im.ppm", "imcomment.ppm"}) {
        SCOPED_TRACE(name);
        img = loadOk(path(name));
        EXPECT_EQ(img.width, 5);
        EXPECT_EQ(img.height, 3);
        if (img.data) {
            EXPECT_EQ(bytesOf(img), pixels);
        }
        img.free();
    }
}

TEST_F(PPMImageTest, RefusesImageMagicksSixteenBitDefault)
{
    ASSERT_EQ(access(kConvert, X_OK), 0) << "ImageMagick is needed at " << kConvert;
    ASSERT_TRUE(run(std::string(kConvert) + " -size 4x2 xc:red deep.ppm"));
    expectRefused(path("deep.ppm"),
                  "Maximum sample value 65535: 16-bit samples are not supported, save the "
                  "image with 8-bit samples (ImageMagick: convert -depth 8)");
}

TEST_F(PPMImageTest, ReadsNetpbmFiles)
{
    ASSERT_TRUE(run("ppmmake rgb:0a/14/1e 5 3 > made.ppm"));
    PPMImage img = loadOk(path("made.ppm"));
    EXPECT_EQ(img.width, 5);
    EXPECT_EQ(img.height, 3);
    std::string flat;
    for (int k = 0; k < 15; ++k)
        flat += "\x0a\x14\x1e";
    if (img.data) {
        EXPECT_EQ(bytesOf(img), flat);
    }
    img.free();

    // Known pixels written as PAM and turned into PPM by netpbm.
    const std::string pixels = pattern(6 * 2 * 3);
    write("known.pam",
          "P7\nWIDTH 6\nHEIGHT 2\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n" + pixels);
    ASSERT_TRUE(run("pamtopnm known.pam > frompam.ppm"));
    img = loadOk(path("frompam.ppm"));
    EXPECT_EQ(img.width, 6);
    EXPECT_EQ(img.height, 2);
    if (img.data) {
        EXPECT_EQ(bytesOf(img), pixels);
    }
    img.free();

    ASSERT_TRUE(run("pamdepth 65535 frompam.ppm > deep.ppm"));
    expectRefused(path("deep.ppm"),
                  "Maximum sample value 65535: 16-bit samples are not supported, save the "
                  "image with 8-bit samples (ImageMagick: convert -depth 8)");

    ASSERT_TRUE(run("pnmtoplainpnm frompam.ppm > plain.ppm"));
    expectRefused(path("plain.ppm"), "Not a raw PPM file");
}

TEST_F(PPMImageTest, ReadsGimpLayout)
{
    // The layout GIMP's PNM plug-in writes (GIMP itself is not needed to
    // produce it): its comment line sits between the magic line and the size.
    const std::string pixels = pattern(4 * 3 * 3);
    PPMImage img = loadOk(write(
        "gimp.ppm", "P6\n# Created by GIMP version 2.10.34 PNM plug-in\n4 3\n255\n" + pixels));
    EXPECT_EQ(img.width, 4);
    EXPECT_EQ(img.height, 3);
    if (img.data) {
        EXPECT_EQ(bytesOf(img), pixels);
    }
    img.free();
}

TEST_F(PPMImageTest, RefusesFilesThatCannotBeReadOrAreNotRawPpm)
{
    expectRefused(path("missing.ppm"), strerror(ENOENT));
    ASSERT_EQ(mkdir(path("folder.ppm").c_str(), 0755), 0);
    expectRefused(path("folder.ppm"), strerror(EISDIR));

    expectRefused(write("empty.ppm", ""), "Not a raw PPM file");
    expectRefused(write("p.ppm", "P"), "Not a raw PPM file");
    expectRefused(write("ascii.ppm", "P3\n1 1\n255\n1 2 3\n"), "Not a raw PPM file");
    expectRefused(write("grey.pgm", "P5\n1 1\n255\n\x07"), "Not a raw PPM file");
    expectRefused(write("lower.ppm", "p6\n1 1\n255\nabc"), "Not a raw PPM file");
    expectRefused(write("blank.ppm", "\nP6\n1 1\n255\nabc"), "Not a raw PPM file");
}

TEST_F(PPMImageTest, RefusesHeaderCutOffByEndOfFile)
{
    const std::string message =
        "File ends before the header gives width, height and maximum value";
    for (const char* bytes : {"P6", "P6\n", "P6\n3", "P6\n3 2", "P6\n3 2\n", "P6\n3\n2\n",
                              "P6\n# just a comment\n", "P6\n3 2\n# the maximum is missing\n",
                              "P6\n\n\n\n"}) {
        SCOPED_TRACE(bytes);
        expectRefused(write("cut.ppm", bytes), message);
    }
}

TEST_F(PPMImageTest, RefusesSizesOfZeroNegativeOrTooLarge)
{
    expectRefused(write("zero_w.ppm", "P6\n0 2\n255\n" + kPixels),
                  "Image size 0 x 2: width and height must be at least 1");
    expectRefused(write("zero_h.ppm", "P6\n3 0\n255\n" + kPixels),
                  "Image size 3 x 0: width and height must be at least 1");
    expectRefused(write("neg.ppm", "P6\n-3 2\n255\n" + kPixels),
                  "Image size -3 x 2: width and height must be at least 1");
    expectRefused(write("neg_h.ppm", "P6\n3\n-2 255\n" + kPixels),
                  "Image size 3 x -2: width and height must be at least 1");
    expectRefused(write("wide.ppm", "P6\n16385 1\n255\n" + kPixels),
                  "Image size 16385 x 1 is too large (at most 16384 pixels per side)");
    expectRefused(write("tall.ppm", "P6\n1 16385\n255\n" + kPixels),
                  "Image size 1 x 16385 is too large (at most 16384 pixels per side)");
    // 2^32 + 3 must not wrap around to a width of 3.
    expectRefused(write("wrap.ppm", "P6\n4294967299 2\n255\n" + kPixels),
                  "Image size 4294967299 x 2 is too large (at most 16384 pixels per side)");
    expectRefused(write("huge.ppm", "P6\n99999999999999999999999 2\n255\n" + kPixels),
                  "Image size 9223372036854775807 x 2 is too large (at most 16384 pixels per "
                  "side)");

    // The largest side accepted.
    const std::string row = pattern(16384 * 3);
    PPMImage img = loadOk(write("widest.ppm", "P6\n16384 1\n255\n" + row));
    EXPECT_EQ(img.width, 16384);
    EXPECT_EQ(img.height, 1);
    if (img.data) {
        EXPECT_EQ(bytesOf(img), row);
    }
    img.free();
}

TEST_F(PPMImageTest, RefusesMaximumAboveEightBits)
{
    expectRefused(write("max256.ppm", "P6\n3 2\n256\n" + kPixels + kPixels),
                  "Maximum sample value 256: 16-bit samples are not supported, save the "
                  "image with 8-bit samples (ImageMagick: convert -depth 8)");
    // A maximum that would wrap to 255 in a 32-bit int.
    expectRefused(write("max_wrap.ppm", "P6\n3 2\n4294967551\n" + kPixels),
                  "Maximum sample value 4294967551: 16-bit samples are not supported, save "
                  "the image with 8-bit samples (ImageMagick: convert -depth 8)");
}

TEST_F(PPMImageTest, RefusesPixelDataShorterThanPromised)
{
    expectRefused(write("short.ppm", "P6\n3 2\n255\n" + kPixels.substr(0, 17)),
                  "Pixel data cut short: 17 of 18 bytes for 3 x 2 pixels");
    expectRefused(write("nodata.ppm", "P6\n3 2\n255\n"),
                  "Pixel data cut short: 0 of 18 bytes for 3 x 2 pixels");
    // The header's own line end is not a pixel byte.
    expectRefused(write("noend.ppm", "P6\n3 2\n255"),
                  "Pixel data cut short: 0 of 18 bytes for 3 x 2 pixels");
    // A large promise in a small file is refused without reading past it.
    expectRefused(write("promise.ppm", "P6\n16384 16384\n255\n" + kPixels),
                  "Pixel data cut short: 18 of 805306368 bytes for 16384 x 16384 pixels");
}

TEST_F(PPMImageTest, ReadsFromAPipeToo)
{
    // A stream whose length cannot be known beforehand is read all the same,
    // and a short one is still refused.
    ASSERT_TRUE(run("mkfifo good.fifo short.fifo"));
    ASSERT_TRUE(run("(printf 'P6\\n2 1\\n255\\nabcdef' > good.fifo &)"));
    PPMImage img = loadOk(path("good.fifo"));
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.height, 1);
    if (img.data) {
        EXPECT_EQ(bytesOf(img), "abcdef");
    }
    img.free();

    ASSERT_TRUE(run("(printf 'P6\\n2 1\\n255\\nabc' > short.fifo &)"));
    expectRefused(path("short.fifo"), "Pixel data cut short: 3 of 6 bytes for 2 x 1 pixels");
}

// The header of a generated texture file, read independently of the reader.
struct Header {
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    size_t length = 0;  // bytes up to and including the header's last line end
};

Header readHeader(const std::string& bytes)
{
    Header h;
    std::istringstream in(bytes);
    in >> h.magic;
    int* fields[] = {&h.width, &h.height, &h.maximum};
    for (int* field : fields) {
        in >> std::ws;
        while (in.peek() == '#')
            in.ignore(1 << 20, '\n') >> std::ws;
        in >> *field;
    }
    in.get();  // the single line end before the pixels
    h.length = static_cast<size_t>(in.tellg());
    return h;
}

TEST_F(PPMImageTest, GeneratedTexturesAreReadable)
{
    for (const char* name : {"floor.ppm", "bricks.ppm"}) {
        SCOPED_TRACE(name);
        const std::string file = std::string(DEW_TEXTURE_DIR) + "/" + name;
        const std::string bytes = readFile(file);
        const Header h = readHeader(bytes);
        EXPECT_EQ(h.magic, "P6");
        EXPECT_EQ(h.maximum, 255);
        EXPECT_GT(h.width, 0);
        EXPECT_EQ(h.width % 4, 0) << "rows must need no padding";
        ASSERT_EQ(bytes.size(), h.length + static_cast<size_t>(h.width) * h.height * 3);

        PPMImage img = loadOk(file);
        EXPECT_EQ(img.width, h.width);
        EXPECT_EQ(img.height, h.height);
        if (img.data) {
            EXPECT_EQ(bytesOf(img), bytes.substr(h.length));
        }
        img.free();
    }
}

TEST_F(PPMImageTest, GeneratedBricksAreRedInMortarAndFloorIsGrey)
{
    // The wall faces show the top third of the brick image: mostly red brick
    // with light mortar between; the floor is grey stone.
    PPMImage bricks = loadOk(std::string(DEW_TEXTURE_DIR) + "/bricks.ppm");
    ASSERT_NE(bricks.data, nullptr);
    int reddish = 0, light = 0, total = 0;
    for (int y = 0; y < bricks.height / 3; ++y) {
        for (int x = 0; x < bricks.width; ++x) {
            const unsigned char* p = bricks.data + (static_cast<size_t>(y) * bricks.width + x) * 3;
            ++total;
            if (p[0] > p[1] + 60 && p[0] > p[2] + 60)
                ++reddish;
            else if (p[0] > 150 && p[1] > 150 && p[2] > 150)
                ++light;
        }
    }
    EXPECT_GT(reddish, total * 7 / 10);
    EXPECT_GT(light, total / 20);
    bricks.free();

    PPMImage floor = loadOk(std::string(DEW_TEXTURE_DIR) + "/floor.ppm");
    ASSERT_NE(floor.data, nullptr);
    int grey = 0, dark = 0;
    const int pixels = floor.width * floor.height;
    for (int k = 0; k < pixels; ++k) {
        const unsigned char* p = floor.data + static_cast<size_t>(k) * 3;
        if (std::abs(p[0] - p[2]) < 40 && p[0] > 110)
            ++grey;
        else if (p[0] < 90)
            ++dark;
    }
    EXPECT_GT(grey, pixels * 8 / 10);
    EXPECT_GT(dark, pixels / 30);  // the grout between the stones
    floor.free();
}

}  // namespace
