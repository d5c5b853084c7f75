// SPDX-License-Identifier: MIT
// The real renderer draws into a GLUT window on a private Xvfb; frames are read
// back and probed where the game's two cameras put things. The floor and wall
// images are plain white, so a textured surface shows its lit colour.
#include <gtest/gtest.h>

#include <GL/glut.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "GLTestWindow.h"
#include "GLTextureHelper.h"
#include "MazeGameRenderer.h"
#include "MazeGameState.h"

namespace {

const Rgb kSky = {129, 191, 254}, kWhite = {255, 255, 255}, kGreen = {0, 255, 0};

// Pixels in the box from (x0, y0) to (x1, y1) whose channels are all within tol of the colour's.
int count(const Frame& f, int x0, int y0, int x1, int y1, const Rgb& want, int tol = 0)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            Rgb c = f.at(x, y);
            n += std::abs(c.r - want.r) <= tol && std::abs(c.g - want.g) <= tol &&
                std::abs(c.b - want.b) <= tol;
        }
    return n;
}

// Whether a pixel within radius r of window point (x, y) has the colour.
::testing::AssertionResult seen(const Frame& f, double x, double y, const Rgb& want, int tol = 0, int r = 0)
{
    int px = (int)std::floor(x), py = (int)std::floor(y);
    if (count(f, px - r, py - r, px + r, py + r, want, tol))
        return ::testing::AssertionSuccess();
    Rgb c = f.at(px, py);
    return ::testing::AssertionFailure() << "(" << px << ", " << py << ") is " << c.r << " " << c.g << " "
                                         << c.b << ", not " << want.r << " " << want.g << " " << want.b;
}

MazeGameRenderer renderer;

// Runs f in a scratch folder that holds the given floor and wall images, as the game's working directory.
template <class F> bool withImages(const std::string& floor, const std::string& bricks, F f)
{
    namespace fs = std::filesystem;
    fs::path here = fs::current_path(),
             dir = fs::temp_directory_path() / ("dew-render-" + std::to_string(getpid()));
    fs::create_directory(dir);
    std::ofstream(dir / "floor.ppm", std::ios::binary) << floor;
    std::ofstream(dir / "bricks.ppm", std::ios::binary) << bricks;
    fs::current_path(dir);
    bool ok = f();
    fs::current_path(here);
    return fs::remove_all(dir) && ok;
}

// The renderer, reading plain white floor and wall images.
bool openWithWhiteImages(std::string& error)
{
    const std::string white = "P6\n2 2\n255\n" + std::string(12, '\xff');
    return withImages(white, white, [&] { return GLTestWindow::open(error) && (renderer.init(), true); });
}

class Render : public ::testing::Test {
protected:
    // One window for the whole run; Xvfb goes down with the test process.
    // Then open floor all round, no birds, droplets or pick-up, the player facing +y.
    void SetUp() override
    {
        static std::string error;
        static bool open = openWithWhiteImages(error);
        ASSERT_TRUE(open) << error;
        control.init();
        control.gameStatus = EFirstPersonView;
        world().maze = Labyrinth(); // every cell 0
        setBirds(0, Vector3f());
        world().thingy.alive = false;
        world().player.pos = Vector3f(8.5f, 0.5f, 0);
    }
    MazeGameState& world() { return *control.gameState; }
    void setBirds(int n, const Vector3f& v) // none, or one above (9.5, 9.5)
    {
        world().boids = Boids(n, Vector3f(0, 0, 1), Vector3f(18, 18, 4));
        if (n)
            world().boids[0] = PointObject(Vector3f(9.5f, 9.5f, 15), v);
    }
    Frame draw()
    {
        renderer.render(control);
        return GLTestWindow::readBackBuffer();
    }
    MazeGameControl control;
};

TEST_F(Render, SkyOnTopAndTheViewTiltedOnTheThreeTicksAfterAShot)
{
    world().player.canShoot = true;
    control.shoot();
    for (double recoil : {10, 5, 2, 0}) {
        Frame f = draw();
        int y = 299;
        while (y > 0 && count(f, 150, y, 150, y, kSky))
            y--;
        // Sky from the top down to the floor's far edge, 16.5 ahead of and 0.5 below the eye,
        // which drops as the kick turns the view up.
        EXPECT_NEAR(y + 0.5, 150 - 300 * std::tan(recoil * M_PI / 180 + std::atan(0.5 / 16.5)), 1.0)
            << recoil;
        world().player.behave(world().maze);
    }
}

// Eye coordinates (x right, y up, the view along -z) of a direction in the world,
// for a player at yaw 0 with no recoil.
Vector3f toEye(const Vector3f& d)
{
    return Vector3f(d.x, d.z, -d.y);
}

// The light a vertex at eye point p with normal n (as GL gets it, not made unit)
// receives, as a factor of its colour: the global ambient 0.1; light 1 as it is
// before the pick-up is first drawn, shining from the viewer along -z with
// ambient 0.2 and diffuse 1; and the head lamp one unit behind the eye, ambient
// 0.2 and diffuse 1, a spot along -z of cut-off 30 and exponent 1, attenuated
// by 1.5 + 0.5 d + 0.1 d² at distance d.
double lightAt(const Vector3f& p, const Vector3f& n)
{
    Vector3f l = Vector3f(0, 0, 1) - p;
    double d = l.norm(), spot = l.z / d, dot = (n.x * l.x + n.y * l.y + n.z * l.z) / d;
    if (spot < std::cos(30 * M_PI / 180))
        spot = 0;
    return 0.1 + 0.2 + std::max(0.0f, n.z) +
        spot / (1.5 + 0.5 * d + 0.1 * d * d) * (0.2 + std::max(0.0, dot));
}

// Fixed-function lighting, worked out per vertex, shows at the pixels of floor
// corners within 2 of 255, and of the small shapes within 3.
// Rows of 6 bytes (not a multiple of 4) upload unpadded, first row first, sampled by the nearest texel;
// the upload releases the pixel buffers, so freeing them again frees nothing twice.
TEST_F(Render, TexturesUploadAsReadAndBindByName)
{
    const std::string floor = "\xc8\x0a\x14\x1e\xd2\x28\x32\x3c\xdc\xe6\xf0\x46", wall = "\x11\x22\x33";
    GLTextureHelper helper;
    ASSERT_TRUE(withImages("P6\n2 2\n255\n" + floor, "P6\n1 1\n255\n" + wall, [&] {
        helper.loadImages();
        return true;
    }));
    helper.GlGenTextures();
    std::string texels(12, '\0');
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, &texels[0]);
    EXPECT_EQ(texels.substr(0, 3), wall); // the last one uploaded stays bound
    helper.GlSetTexture(ETextureFloor);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, &texels[0]);
    EXPECT_EQ(texels, floor);
    GLint filters[2] = {0, 0};
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filters[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filters[1]);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && filters[0] == GL_NEAREST && filters[1] == GL_NEAREST);
    helper.GlSetNoTexture();
    helper.freeImages();
    helper.GlDeleteTextures();
}

TEST_F(Render, TheHeadLampAndTheFirstLightLightTheFloorTheBirdsAndTheBullets)
{
    Player& p = world().player;
    p.pos = Vector3f(8.5f, 0.98f, 0);
    Vector3f eye = p.pos + Vector3f(0, 0, 0.5f);
    setBirds(1, Vector3f(0, 0.1f, 0)); // flying away, so unturned
    world().boids[0].pos = Vector3f(8.5f, 4, 0.55f);
    world().bullets.add(PointObject(Vector3f(8, 4, 0.5f), Vector3f(0, 0.4f, 0)));
    Frame f = draw();
    auto x = [](const Vector3f& e) { return 150 - 300 * e.x / e.z; };
    auto y = [](const Vector3f& e) { return 150 - 300 * e.y / e.z; };
    // Floor corners have the normal (0, 0, 1), which the cells' half-size frame doubles.
    for (Vector3f corner :
        {Vector3f(9, 2, 0), Vector3f(8, 3, 0), Vector3f(10, 5, 0), Vector3f(5, 9, 0), Vector3f(8, 16, 0)}) {
        Vector3f e = toEye(corner - eye);
        int grey = (int)std::lround(255 * std::min(1.0, lightAt(e, Vector3f(0, 2, 0))));
        EXPECT_TRUE(seen(f, x(e), y(e), {grey, grey, grey}, 2)) << corner.x << ", " << corner.y;
    }
    // The bird's base, seen from behind, where each corner's normal is its own
    // direction from the centre: its middle has the mean of its corners' dark
    // blue, lit. The bullet in front of the same lights is lit to full red.
    const PointObject& bird = world().boids[0];
    Vector3f mid = toEye(bird.pos - eye), bullet = toEye(world().bullets[0].pos - eye);
    double blue = 0;
    for (Vector3f c :
        {Vector3f(-0.5f, -0.5f, -0.5f), Vector3f(0.5f, -0.5f, -0.5f), Vector3f(0, -0.5f, 0.5f)}) {
        blue += 85 * std::min(1.0, 0.5 * lightAt(toEye(bird.pos + c * 0.1f - eye), toEye(c / c.norm())));
        mid = mid + toEye(c * (0.1f / 3));
    }
    EXPECT_TRUE(seen(f, x(mid), y(mid), {0, 0, (int)std::lround(blue)}, 3));
    EXPECT_TRUE(seen(f, x(bullet), y(bullet), {255, 0, 0}, 3));
}

TEST_F(Render, MapShowsTheMazeAndItsDwellersAroundTheMarker)
{
    control.gameStatus = EMapView;
    Player& p = world().player;
    p.pos = Vector3f(8.5f, 8.5f, 0);
    const int cells[9][3] = {{5, 10, 1}, {6, 10, 5}, {7, 10, 6}, {8, 10, 7}, {9, 10, 8}, {9, 8, 6},
        {6, 6, -2}, {8, 6, -3}, {10, 6, -7}};
    for (auto& c : cells)
        world().maze(c[0], c[1]) = c[2];
    setBirds(1, Vector3f(0, 0.1f, 0));
    world().bullets.add(PointObject(Vector3f(7.5f, 9.5f, 20), Vector3f(0, 0.4f, 0)));
    // Close under the camera, so that the upright triangle shows from above.
    world().drops.add(PointObject(Vector3f(8.5f, 9.3f, 25), Vector3f(0, 0, -0.05f)));
    // World point, colour, and the search radius (1 on lines, whose exact pixel the rasteriser picks):
    // open cells black, grid lines white and one pixel wide, walls by hits, start, portal, the floor of a
    // shot-away wall, the bird and its nose, the bullet, the droplet; all unlit.
    const double probes[][7] = {{6.5, 5.5, 0, 0, 0, 0, 0}, {9, 5.3, 0, 255, 255, 255, 1},
        {9, 12.2, 0, 255, 255, 255, 1}, {5.3, 7, 0, 255, 255, 255, 1}, {12.2, 7, 0, 255, 255, 255, 1},
        {9.1, 12.2, 0, 0, 0, 0, 0}, {5.5, 10.5, 1, 255, 255, 255, 0}, {6.5, 10.5, 1, 230, 230, 230, 0},
        {7.5, 10.5, 1, 179, 179, 179, 0}, {8.5, 10.5, 1, 128, 128, 128, 0}, {9.5, 10.5, 1, 77, 77, 77, 0},
        {9.5, 8.5, 1, 179, 179, 179, 0}, {6.5, 6.5, 0, 255, 0, 0, 0}, {8.5, 6.5, 0, 0, 255, 0, 0},
        {10.5, 6.5, 0, 128, 128, 128, 0}, {9.5, 9.5, 15, 0, 0, 255, 1}, {9.5, 9.56, 15, 0, 0, 255, 1},
        {7.5, 9.5, 20, 255, 0, 0, 1}, {8.5, 9.3, 25.075, 0, 255, 0, 0}};
    for (float yaw : {0.0f, 90.0f, 217.5f}) {
        p.yaw = yaw;
        Frame f = draw();
        // Seen from 30.5 above the floor at 900 / depth pixels per unit, the heading up the screen.
        double a = yaw * M_PI / 180;
        for (const auto& q : probes) {
            double dx = q[0] - p.pos.x, dy = q[1] - p.pos.y, s = 900 / (30.5 - q[2]);
            EXPECT_TRUE(seen(f, 150 + s * (dx * cos(a) - dy * sin(a)), 150 + s * (dx * sin(a) + dy * cos(a)),
                Rgb{(int)q[3], (int)q[4], (int)q[5]}, 2, (int)q[6]))
                << "yaw " << yaw << " at " << q[0] << ", " << q[1] << ", " << q[2];
        }
        // The marker, 0.3 units (9 pixels) up from the centre, is the only
        // white nearer than the grid lines 0.5 units away.
        int marker = count(f, 149, 150, 150, 159, kWhite);
        EXPECT_GE(marker, 7) << yaw;
        EXPECT_EQ(count(f, 141, 141, 159, 159, kWhite) + count(f, 149, 160, 150, 162, kWhite), marker) << yaw;
    }
    // A bird standing still is drawn as one flying along +y, unturned.
    std::vector<unsigned char> north = draw().pixels;
    setBirds(1, Vector3f(0, 0, 0));
    EXPECT_TRUE(draw().pixels == north);
    setBirds(1, Vector3f(0.1f, 0, 0));
    EXPECT_FALSE(draw().pixels == north);
}

// A catch flashes the play screens plain green. Every other screen's panel
// (no flash there) against the same panel set by hand in the same font:
// black heading, rules and prompt (ending at x 260), dark grey message lines
// 21 apart; pixel for pixel, all that is darker than the veil within 2.
TEST_F(Render, CatchFlashInPlayAndMessageScreensVeilingTheSceneUnderTheirHeadingPromptAndWords)
{
    const std::vector<std::vector<const char*>> texts = {
        {"You find yourself in", "a strange place. You", "are in a  maze  with", "no exit.  It is cold",
            "and it smells funny.", "Birds..."},
        {"Weird birds fly all", "around in flocks,", "spitting small drop-", "lets on you.",
            "After catching some", "of them you realize.."},
        {"you realize that you", "need to catch 30 of", "these magic drop-", "lets to escape.",
            "Go, do it! You have", "no time to lose!"},
        {"Wow... the droplets", "are indeed magic!", "You feel enlightened.", "Push ENTER in the game",
            "to see the map."},
        {"You have collected", "enough droplets to", "perform powerful", "magic!", "You hear distant",
            "noise. What was it?"},
        {"Cool! You've just", "found a weapon!", "Push SPACE to use it!"},
        {"At last! You've", "managed to escape", "the cursed maze.", "Go home now and", "live your life!",
            "Or play again?"}};
    auto text = [](int x, int y, const char* s) {
        glRasterPos2i(x, y);
        while (*s)
            glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *s++);
    };
    auto ink = [](const Rgb& c) { return c.r < 100 ? c.r : 255; };
    world().player.wowed = true;
    for (int s = 0; s < 9; s++) {
        SCOPED_TRACE(s);
        control.gameStatus = MazeGameStatus(s);
        Frame game = draw();
        if (s >= EFirstPersonView) {
            EXPECT_EQ(count(game, 0, 0, 299, 299, kGreen), 300 * 300);
            continue;
        }
        // Half sky, half white inside; plain sky outside; a white border.
        EXPECT_TRUE(seen(game, 35, 240, {192, 223, 254}, 2) && seen(game, 265, 160, {192, 223, 254}, 2));
        EXPECT_TRUE(seen(game, 26, 240, kSky, 1) && seen(game, 285, 200, kSky, 1));
        EXPECT_TRUE(seen(game, 30, 100, kWhite) && seen(game, 270, 200, kWhite) &&
            seen(game, 100, 50, kWhite) && seen(game, 200, 250, kWhite));
        glClearColor(1, 1, 1, 1); // the panel's projection and state are still set
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(0, 0, 0);
        glBegin(GL_LINES);
        for (float y : {244, 224, 56}) {
            glVertex2f(40, y);
            glVertex2f(260, y);
        }
        glEnd();
        text(40, 227, "Dewgatherer");
        text(260 - glutBitmapLength(GLUT_BITMAP_HELVETICA_18, (const unsigned char*)"PRESS ENTER"), 59,
            "PRESS ENTER");
        glColor3f(0.2f, 0.2f, 0.2f);
        for (size_t n = 0; n < texts[s].size(); n++)
            text(43, 219 - 21 * (int)(n + 1), texts[s][n]);
        Frame want = GLTestWindow::readBackBuffer();
        int differ = 0, inked = 0;
        for (int y = 52; y <= 248; y++)
            for (int x = 32; x <= 268; x++) {
                differ += std::abs(ink(game.at(x, y)) - ink(want.at(x, y))) > 2;
                inked += ink(want.at(x, y)) < 255;
            }
        EXPECT_EQ(differ, 0) << "of " << inked << " inked pixels";
    }
}

} // namespace
