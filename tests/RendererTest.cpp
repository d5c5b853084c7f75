// SPDX-License-Identifier: MIT
// The real renderer draws into a GLUT window on a private Xvfb; frames are read
// back and probed where the game's two cameras put things.
#include <gtest/gtest.h>

#include <GL/glut.h>

#include <cmath>
#include <vector>

#include "GLTestWindow.h"
#include "MazeGameRenderer.h"
#include "MazeGameState.h"

namespace {

const Rgb kSky = {129, 191, 254}, kBlack = {0, 0, 0}, kWhite = {255, 255, 255}, kGreen = {0, 255, 0};

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
    return ::testing::AssertionFailure()
        << "(" << px << ", " << py << ") is " << c.r << " " << c.g << " " << c.b;
}

MazeGameRenderer renderer;

class Render : public ::testing::Test {
protected:
    // One window for the whole run; Xvfb goes down with the test process.
    // Then open floor all round, no birds, droplets or pick-up, the player facing +y.
    void SetUp() override
    {
        static std::string error;
        static bool open = GLTestWindow::open(error) && (renderer.init(), true);
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

TEST_F(Render, CatchFlashIsPlainGreenInPlay)
{
    world().player.wowed = true;
    for (MazeGameStatus s : {EFirstPersonView, EMapView}) {
        control.gameStatus = s;
        EXPECT_EQ(count(draw(), 0, 0, 299, 299, kGreen), 300 * 300) << s;
    }
}

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
    // Close under the camera, so that the upright triangle shows from above.
    world().drops.add(PointObject(Vector3f(8.5f, 9.3f, 25), Vector3f(0, 0, -0.05f)));
    // World point, colour, and the search radius (1 on lines, whose exact pixel the rasteriser picks):
    // open cells black, grid lines white and one pixel wide, walls by hits, start, portal, the floor of a
    // shot-away wall, the bird and its nose, the droplet.
    const double probes[][7] = {{6.5, 5.5, 0, 0, 0, 0, 0}, {9, 5.3, 0, 255, 255, 255, 1},
        {9, 12.2, 0, 255, 255, 255, 1}, {5.3, 7, 0, 255, 255, 255, 1}, {12.2, 7, 0, 255, 255, 255, 1},
        {9.1, 12.2, 0, 0, 0, 0, 0}, {5.5, 10.5, 1, 255, 255, 255, 0}, {6.5, 10.5, 1, 230, 230, 230, 0},
        {7.5, 10.5, 1, 179, 179, 179, 0}, {8.5, 10.5, 1, 128, 128, 128, 0}, {9.5, 10.5, 1, 77, 77, 77, 0},
        {9.5, 8.5, 1, 179, 179, 179, 0}, {6.5, 6.5, 0, 255, 0, 0, 0}, {8.5, 6.5, 0, 0, 255, 0, 0},
        {10.5, 6.5, 0, 128, 128, 128, 0}, {9.5, 9.5, 15, 0, 0, 255, 1}, {9.5, 9.56, 15, 0, 0, 255, 1},
        {8.5, 9.3, 25.075, 0, 255, 0, 0}};
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
        EXPECT_EQ(count(f, 141, 141, 159, 159, kWhite), marker) << yaw;
    }
    // A bird standing still is drawn as one flying along +y, unturned.
    std::vector<unsigned char> north = draw().pixels;
    setBirds(1, Vector3f(0, 0, 0));
    EXPECT_TRUE(draw().pixels == north);
    setBirds(1, Vector3f(0.1f, 0, 0));
    EXPECT_FALSE(draw().pixels == north);
}

TEST_F(Render, MessageScreensVeilTheSceneUnderTheirText)
{
    world().player.wowed = true; // a catch in the tick that opened the message: no flash
    const int lines[7] = {6, 6, 6, 5, 6, 3, 6};
    for (int s = 0; s < 7; s++) {
        control.gameStatus = MazeGameStatus(s);
        Frame f = draw();
        SCOPED_TRACE(s);
        // Half sky, half white inside; plain sky outside; a white border.
        EXPECT_TRUE(seen(f, 35, 240, {192, 223, 254}, 2) && seen(f, 265, 160, {192, 223, 254}, 2));
        EXPECT_TRUE(seen(f, 26, 240, kSky, 1) && seen(f, 285, 200, kSky, 1));
        EXPECT_TRUE(seen(f, 30, 100, kWhite) && seen(f, 270, 200, kWhite) && seen(f, 100, 50, kWhite) &&
            seen(f, 200, 250, kWhite));
        // A black heading and the black prompt ending at x 260.
        EXPECT_GT(count(f, 40, 225, 200, 242, kBlack), 50);
        EXPECT_GT(count(f, 254, 57, 259, 75, kBlack), 5);
        EXPECT_EQ(count(f, 260, 57, 267, 75, kBlack), 0);
        // Dark grey glyphs standing on the baselines, 21 apart from y 198, of exactly the screen's lines.
        for (int b = 198, n = 0; n < 6; b -= 21, n++) {
            int on = count(f, 32, b, 267, b, {51, 51, 51}, 2);
            EXPECT_EQ(on > 20 && on > 2 * count(f, 32, b - 1, 267, b - 1, {51, 51, 51}, 2), n < lines[s])
                << n;
        }
    }
}

// The words of every screen, glyph for glyph: the dark ink of the message lines
// is that of the expected lines drawn in the same font at the same places.
TEST_F(Render, MessageScreensShowTheirWordsExactly)
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
    auto ink = [](const Frame& f, int x, int y) { return f.at(x, y).r < 100; };
    for (int s = 0; s < 7; s++) {
        control.gameStatus = MazeGameStatus(s);
        Frame game = draw();
        glClearColor(1, 1, 1, 1); // the panel's projection and state are still set
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(0.2f, 0.2f, 0.2f, 1);
        for (size_t n = 0; n < texts[s].size(); n++) {
            glRasterPos2i(43, 219 - 21 * (int)(n + 1));
            for (const char* c = texts[s][n]; *c; c++)
                glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
        }
        Frame want = GLTestWindow::readBackBuffer();
        int differ = 0;
        for (int y = 80; y <= 215; y++)
            for (int x = 35; x <= 265; x++)
                differ += ink(game, x, y) != ink(want, x, y);
        EXPECT_EQ(differ, 0) << "screen " << s;
    }
}

} // namespace
