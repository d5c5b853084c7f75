// The texture helper on real OpenGL (Mesa) in a GLUT window on an Xvfb server
// that this test starts itself: what it uploads, binds and deletes, read back
// from GL and from the drawn pixels; and the failed start when an image file
// cannot be read.

#include "GLTextureHelper.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int kWindow = 64;

// A 2 by 2 floor (rows of 6 bytes: not a multiple of 4) and a 4 by 2 wall,
// every texel its own colour.
const unsigned char kFloor[] = {
    200, 10, 20,   30, 210, 40,    // first row: t = 0
    50, 60, 220,   230, 240, 70,   // second row
};
const unsigned char kWall[] = {
    255, 0, 0,    0, 255, 0,    0, 0, 255,   255, 255, 0,
    0, 255, 255,  255, 0, 255,  128, 64, 32,  32, 64, 128,
};

void writePpm(const std::string& path, int w, int h, const unsigned char* pixels)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << w << " " << h << "\n255\n";
    out.write(reinterpret_cast<const char*>(pixels), w * h * 3);
}

std::string makeScratchDir()
{
    char templ[] = "/tmp/dew-tex-XXXXXX";
    const char* made = mkdtemp(templ);
    return made ? std::string(made) : std::string();
}

// Starts a private Xvfb on a free display number and points DISPLAY at it.
// The server is told to die with this process.
bool startXvfb(std::string& error)
{
    int fds[2];
    if (pipe(fds) != 0) {
        error = std::string("pipe: ") + strerror(errno);
        return false;
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        error = std::string("fork: ") + strerror(errno);
        return false;
    }
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        close(fds[0]);
        int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        unsetenv("LD_PRELOAD");  // a sanitizer runtime preloaded for the test is not for the server
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "320x240x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        error = "Xvfb did not start (is the xvfb package installed?)";
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

// Mesa's software driver keeps a few allocations for the life of the process
// and is unloaded when the display closes, which leaves LeakSanitizer (in the
// sanitizer build) with reports it can no longer place. The driver is kept
// loaded so its allocations are named and left out of the leak report; the
// game's own code is not covered by this.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:_dri.so\nleak:libgallium\n";
}

int collectDriver(struct dl_phdr_info* info, size_t, void* names)
{
    const char* name = info->dlpi_name;
    if (name && (strstr(name, "_dri.so") || strstr(name, "libgallium")))
        static_cast<std::vector<std::string>*>(names)->push_back(name);
    return 0;
}

void keepDriverLoaded()
{
    std::vector<std::string> names;
    dl_iterate_phdr(collectDriver, &names);
    for (const std::string& name : names)
        dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);  // never closed
}

// Draws the unit square over the whole window with texture coordinates
// (0, 0) at the bottom left and (1, 1) at the top right.
void drawQuad()
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
}

struct Pixel {
    int r, g, b;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
};

std::ostream& operator<<(std::ostream& os, const Pixel& p)
{
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

Pixel readPixel(int x, int y)
{
    unsigned char p[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

Pixel texel(const unsigned char* pixels, int w, int x, int y)
{
    const unsigned char* p = pixels + (y * w + x) * 3;
    return {p[0], p[1], p[2]};
}

GLint boundTexture()
{
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

std::vector<unsigned char> textureLevel0(int w, int h)
{
    std::vector<unsigned char> bytes(w * h * 3 + 16, 0xEE);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    bytes.resize(w * h * 3);
    return bytes;
}

class TextureHelperGLTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        if (!startXvfb(error)) {
            setupError = error;
            return;
        }
        int argc = 1;
        char name[] = "texture_tests";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(kWindow, kWindow);
        window = glutCreateWindow("texture test");
        glutHideWindow();
        keepDriverLoaded();

        scratch = makeScratchDir();
        writePpm(scratch + "/floor.ppm", 2, 2, kFloor);
        writePpm(scratch + "/bricks.ppm", 4, 2, kWall);
    }

    static void TearDownTestSuite()
    {
        if (window) {
            glutDestroyWindow(window);
            glutExit();  // closes the display so the GL driver releases its memory
            window = 0;
        }
        std::error_code ignored;
        if (!scratch.empty())
            fs::remove_all(scratch, ignored);
    }

    void SetUp() override
    {
        ASSERT_TRUE(setupError.empty()) << setupError;
        ASSERT_NE(window, 0);
        // The helper reads its files from the working directory.
        previous = fs::current_path();
        fs::current_path(scratch);
        glViewport(0, 0, kWindow, kWindow);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // GL's default, as the game starts
    }

    void TearDown() override
    {
        if (!previous.empty())
            fs::current_path(previous);
    }

    static std::string setupError;
    static std::string scratch;
    static int window;
    fs::path previous;
};

std::string TextureHelperGLTest::setupError;
std::string TextureHelperGLTest::scratch;
int TextureHelperGLTest::window = 0;

TEST_F(TextureHelperGLTest, UploadsRowsOfAnyWidthUnpaddedAndLeavesTheWallBound)
{
    GLTextureHelper helper;
    helper.loadImages();
    helper.GlGenTextures();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);

    // The wall stays bound: level 0 holds the file's bytes, first row first.
    const GLint wall = boundTexture();
    EXPECT_NE(wall, 0);
    const std::vector<unsigned char> wallBytes = textureLevel0(4, 2);
    EXPECT_EQ(wallBytes, std::vector<unsigned char>(kWall, kWall + sizeof kWall));

    helper.GlSetTexture(ETextureFloor);
    const GLint floor = boundTexture();
    EXPECT_NE(floor, 0);
    EXPECT_NE(floor, wall);
    // Rows of 6 bytes: with GL's default alignment of 4 the second row would
    // be taken from byte 8 and run past the buffer.
    const std::vector<unsigned char> floorBytes = textureLevel0(2, 2);
    EXPECT_EQ(floorBytes, std::vector<unsigned char>(kFloor, kFloor + sizeof kFloor));

    // The pixel buffers were released after the upload: freeing again is a
    // no-op on an empty list (the sanitizer build catches a double free).
    helper.freeImages();

    helper.GlDeleteTextures();
    EXPECT_FALSE(glIsTexture(wall));
    EXPECT_FALSE(glIsTexture(floor));
}

TEST_F(TextureHelperGLTest, DrawsBoundTextureWithNearestTexelsAndNoneWhenUnset)
{
    GLTextureHelper helper;
    helper.loadImages();
    helper.GlGenTextures();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3f(1, 1, 1);  // white: modulation leaves the texel colour

    helper.GlSetTexture(ETextureFloor);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuad();
    glFinish();
    // Window y grows upwards with t, so the file's first row is at the bottom.
    const int lo = kWindow / 4, hi = 3 * kWindow / 4;
    EXPECT_EQ(readPixel(lo, lo), texel(kFloor, 2, 0, 0));
    EXPECT_EQ(readPixel(hi, lo), texel(kFloor, 2, 1, 0));
    EXPECT_EQ(readPixel(lo, hi), texel(kFloor, 2, 0, 1));
    EXPECT_EQ(readPixel(hi, hi), texel(kFloor, 2, 1, 1));

    helper.GlSetTexture(ETextureWall);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuad();
    glFinish();
    const int column = kWindow / 8;  // centre of the first of four columns
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(readPixel(column + x * kWindow / 4, lo), texel(kWall, 4, x, 0)) << x;
        EXPECT_EQ(readPixel(column + x * kWindow / 4, hi), texel(kWall, 4, x, 1)) << x;
    }

    helper.GlSetNoTexture();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glColor3ub(10, 100, 200);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuad();
    glFinish();
    EXPECT_EQ(readPixel(lo, lo), (Pixel{10, 100, 200}));
    EXPECT_EQ(readPixel(hi, hi), (Pixel{10, 100, 200}));

    helper.GlDeleteTextures();
}

TEST_F(TextureHelperGLTest, GeneratedTexturesUploadWhole)
{
    fs::current_path(DEW_TEXTURE_DIR);
    GLTextureHelper helper;
    helper.loadImages();
    helper.GlGenTextures();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (TextureName name : {ETextureFloor, ETextureWall}) {
        helper.GlSetTexture(name);
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        // Powers of two, so GLU uploads them without rescaling.
        EXPECT_EQ(w, 256);
        EXPECT_EQ(h, 256);
        // Every mipmap level down to 1 by 1 exists.
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 8, GL_TEXTURE_WIDTH, &w);
        EXPECT_EQ(w, 1);
    }
    helper.GlSetNoTexture();
    helper.GlDeleteTextures();
}

// A failed start: the reader's line on stderr and exit status 1. No X server
// is needed for these, and as death tests they run before any GL test.
class TextureHelperDeathTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = makeScratchDir();
        ASSERT_FALSE(dir.empty());
        previous = fs::current_path();
        fs::current_path(dir);
    }

    void TearDown() override
    {
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    std::string dir;
    fs::path previous;
};

TEST_F(TextureHelperDeathTest, MissingFloorEndsWithStatusOneAndOnlyItsMessage)
{
    writePpm("bricks.ppm", 4, 2, kWall);
    GLTextureHelper helper;
    EXPECT_EXIT(helper.loadImages(), testing::ExitedWithCode(1),
                "^floor\\.ppm: No such file or directory\n$");
}

TEST_F(TextureHelperDeathTest, MissingWallEndsWithStatusOne)
{
    writePpm("floor.ppm", 2, 2, kFloor);
    GLTextureHelper helper;
    EXPECT_EXIT(helper.loadImages(), testing::ExitedWithCode(1),
                "^bricks\\.ppm: No such file or directory\n$");
}

TEST_F(TextureHelperDeathTest, BadFilesEndWithStatusOneAndTheReadersMessage)
{
    writePpm("floor.ppm", 2, 2, kFloor);
    {
        std::ofstream out("bricks.ppm", std::ios::binary);
        out << "P3\n1 1\n255\n1 2 3\n";
    }
    GLTextureHelper helper;
    EXPECT_EXIT(helper.loadImages(), testing::ExitedWithCode(1),
                "^bricks\\.ppm: Not a raw PPM file\n$");

    {
        std::ofstream out("floor.ppm", std::ios::binary);
        out << "P6\n2 2\n65535\n";
    }
    EXPECT_EXIT(helper.loadImages(), testing::ExitedWithCode(1),
                "^floor\\.ppm: Maximum sample value 65535: .*-depth 8\\)\n$");
}

}  // namespace
