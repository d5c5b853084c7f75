// SPDX-License-Identifier: MIT
// The real renderer draws into a GLUT window on a private Xvfb; frames are read
// back and probed where the game's two cameras put things. The floor and wall
// images are plain white, so a textured surface shows its lit colour; one test
// gives the game two coloured images instead.
#include <gtest/gtest.h>

#include <GL/glut.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include <unistd.h>

#include "GLTestWindow.h"
#include "MazeGameRenderer.h"
#include "MazeGameState.h"

namespace {

const Rgb kSky = {129, 191, 254}, kWhite = {255, 255, 255}, kGreen = {0, 255, 0}, kBlack = {0, 0, 0};
const Rgb kVeil = {192, 223, 255}; // the sky under the message panel's white veil
const std::string kWhiteImage = "P6\n2 2\n255\n" + std::string(12, '\xff');

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

// Starts a renderer as the game does, in a scratch folder that holds the given
// floor and wall images as the game's working directory.
bool startRenderer(MazeGameRenderer& r, const std::string& floor, const std::string& bricks)
{
    namespace fs = std::filesystem;
    fs::path here = fs::current_path(),
             dir = fs::temp_directory_path() / ("dew-render-" + std::to_string(getpid()));
    fs::create_directory(dir);
    std::ofstream(dir / "floor.ppm", std::ios::binary) << floor;
    std::ofstream(dir / "bricks.ppm", std::ios::binary) << bricks;
    fs::current_path(dir);
    r.init();
    fs::current_path(here);
    return fs::remove_all(dir);
}

class Render : public ::testing::Test {
protected:
    // One window for the whole run; Xvfb goes down with the test process.
    // Then open floor all round, no birds, droplets or pick-up, the player facing +y.
    void SetUp() override
    {
        static std::string error;
        static bool open = GLTestWindow::open(error) && startRenderer(renderer, kWhiteImage, kWhiteImage);
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
    // The renderer as at the game's start, in a new window.
    void restartRenderer()
    {
        renderer.quit();
        GLTestWindow::renew();
        ASSERT_TRUE(startRenderer(renderer, kWhiteImage, kWhiteImage));
    }
    MazeGameControl control;
};

// Each of several shots in a game kicks the view up anew.
TEST_F(Render, SkyOnTopAndTheViewTiltedOnTheThreeTicksAfterEachShot)
{
    world().player.canShoot = true;
    for (int shot = 1; shot <= 3; shot++) {
        control.shoot();
        for (double recoil : {10, 5, 2, 0}) {
            Frame f = draw();
            int y = 299;
            while (y > 0 && count(f, 150, y, 150, y, kSky))
                y--;
            // Sky from the top down to the floor's far edge, 16.5 ahead of and 0.5 below the eye,
            // which drops as the kick turns the view up.
            EXPECT_NEAR(y + 0.5, 150 - 300 * std::tan(recoil * M_PI / 180 + std::atan(0.5 / 16.5)), 1.0)
                << "shot " << shot << ", recoil " << recoil;
            world().player.behave(world().maze);
        }
    }
}

// Two images that differ and are not square, as real files whose rows (9 and
// 12 bytes) must be read unpadded. The floor, 3 by 5, is red in its first two
// columns and yellow in its third, but magenta and white in its last row; the
// wall, 4 by 2, is blue with a cyan third texel in its first row and cyan in
// its second. Lit, a texel keeps the channels it has, and magnified, each
// shows whole: each surface shows its own image the right way round (on a
// floor cell the first image column along the north edge and the last row
// along the east edge; on the south face of a wall the first row's fourth
// texel, then its third).
TEST_F(Render, TheFloorShowsTheFloorImageAndTheWallsTheWallImage)
{
    const std::string red("\xff\0\0", 3), yellow("\xff\xff\0", 3), magenta("\xff\0\xff", 3), white(3, '\xff');
    const std::string blue("\0\0\xff", 3), cyan("\0\xff\xff", 3), floorRow = red + red + yellow;
    const std::string floor =
        "P6\n3 5\n255\n" + floorRow + floorRow + floorRow + floorRow + magenta + magenta + white;
    const std::string wall = "P6\n4 2\n255\n" + blue + blue + cyan + blue + cyan + cyan + cyan + cyan;
    MazeGameRenderer textured;
    ASSERT_TRUE(startRenderer(textured, floor, wall));
    for (int i = 0; i < 17; i++)
        world().maze(i, 5) = 1;
    textured.render(control);
    Frame f = GLTestWindow::readBackBuffer();
    textured.quit();
    // Which channels a world point shows, seen from the eye at (8.5, 0.5, 0.5) looking north.
    auto channels = [&f](float x, float y, float z) {
        Rgb c = f.at((int)(150 + 300 * (x - 8.5f) / (y - 0.5f)), (int)(150 + 300 * (z - 0.5f) / (y - 0.5f)));
        std::string lit = "---";
        if (c.r > 0)
            lit[0] = 'r';
        if (c.g > 0)
            lit[1] = 'g';
        if (c.b > 0)
            lit[2] = 'b';
        return lit;
    };
    EXPECT_EQ(channels(8.5f, 2.9f, 0), "r--") << "the floor's first column, red";
    EXPECT_EQ(channels(8.2f, 2.85f, 0), "r--");
    EXPECT_EQ(channels(8.5f, 2.15f, 0), "rg-") << "its last column, yellow";
    EXPECT_EQ(channels(8.7f, 2.1f, 0), "rg-");
    EXPECT_EQ(channels(8.95f, 2.9f, 0), "r-b") << "its last row, magenta";
    EXPECT_EQ(channels(8.95f, 2.15f, 0), "rgb") << "and white";
    EXPECT_EQ(channels(8.3f, 5, 0.5f), "--b") << "the wall's fourth texel, blue";
    EXPECT_EQ(channels(8.1f, 5, 0.8f), "--b");
    EXPECT_EQ(channels(8.9f, 5, 0.5f), "-gb") << "its third, cyan";
    EXPECT_EQ(channels(8.85f, 5, 0.2f), "-gb");
}

// Per-vertex fixed-function lighting: the global ambient 0.1; light 1 as it is
// before the pick-up is first drawn, shining from the viewer; the head lamp one
// unit behind the eye, a spot of cut-off 30 whose light falls off with
// distance. Floor corners, whose up normals the cells' half-size frame
// doubles, get darker with distance and angle off the lamp; the middle of a
// bird's base seen from behind is the mean of its corners' lit dark blue; a
// bullet in front of the same lights is lit to full red.
TEST_F(Render, TheHeadLampAndTheFirstLightLightTheFloorTheBirdsAndTheBullets)
{
    world().player.pos = Vector3f(8.5f, 0.98f, 0);
    setBirds(1, Vector3f(0, 0.1f, 0)); // flying away, so unturned
    world().boids[0].pos = Vector3f(8.5f, 4, 0.55f);
    world().bullets.add(PointObject(Vector3f(8, 4, 0.5f), Vector3f(0, 0.4f, 0)));
    Frame f = draw();
    struct Probe {
        const char* what;
        double x, y; // on the screen
        Rgb colour;
    };
    const Probe probes[] = {{"floor corner (9, 2)", 297.06, 2.94, {130, 130, 130}},
        {"floor corner (8, 3)", 75.74, 75.74, {109, 109, 109}},
        {"floor corner (10, 5)", 261.94, 112.69, {90, 90, 90}},
        {"floor corner (5, 9)", 19.08, 131.30, {81, 81, 81}},
        {"floor corner (8, 16)", 140.01, 140.01, {78, 78, 78}}, {"the bird", 150.00, 153.37, {0, 0, 138}},
        {"the bullet", 100.33, 150.00, {255, 0, 0}}};
    for (const Probe& p : probes)
        EXPECT_TRUE(seen(f, p.x, p.y, p.colour, 2)) << p.what;
}

TEST_F(Render, MapShowsTheMazeAndItsDwellersAroundTheMarker)
{
    control.gameStatus = EMapView;
    Player& p = world().player;
    p.pos = Vector3f(8.5f, 8.5f, 0);
    struct Cell {
        int i, j, value;
    };
    const Cell cells[] = {{5, 10, 1}, {6, 10, 5}, {7, 10, 6}, {8, 10, 7}, {9, 10, 8}, {9, 8, 6}, {6, 6, -2},
        {8, 6, -3}, {10, 6, -7}};
    for (const Cell& c : cells)
        world().maze(c.i, c.j) = c.value;
    setBirds(1, Vector3f(0, 0.1f, 0));
    world().bullets.add(PointObject(Vector3f(7.5f, 9.5f, 20), Vector3f(0, 0.4f, 0)));
    // Close under the camera, so that the upright triangle shows from above.
    world().drops.add(PointObject(Vector3f(8.5f, 9.3f, 25), Vector3f(0, 0, -0.05f)));
    // All unlit. The search radius is 1 on lines, whose exact pixel the rasteriser picks.
    struct Probe {
        const char* what;
        double x, y, z;
        Rgb colour;
        int radius;
    };
    const Rgb black = kBlack, white = kWhite, red = {255, 0, 0}, green = kGreen, blue = {0, 0, 255};
    const Probe probes[] = {{"open cell", 6.5, 5.5, 0, black, 0}, {"grid line x 9", 9, 5.3, 0, white, 1},
        {"grid line x 9", 9, 12.2, 0, white, 1}, {"grid line y 7", 5.3, 7, 0, white, 1},
        {"grid line y 7", 12.2, 7, 0, white, 1}, {"beside a grid line", 9.1, 12.2, 0, black, 0},
        {"wall", 5.5, 10.5, 1, white, 0}, {"wall hit once", 6.5, 10.5, 1, {230, 230, 230}, 0},
        {"wall hit twice", 7.5, 10.5, 1, {179, 179, 179}, 0},
        {"wall hit 3 times", 8.5, 10.5, 1, {128, 128, 128}, 0},
        {"wall hit 4 times", 9.5, 10.5, 1, {77, 77, 77}, 0},
        {"wall hit twice", 9.5, 8.5, 1, {179, 179, 179}, 0}, {"start", 6.5, 6.5, 0, red, 0},
        {"portal", 8.5, 6.5, 0, green, 0}, {"shot-away wall", 10.5, 6.5, 0, {128, 128, 128}, 0},
        {"bird", 9.5, 9.5, 15, blue, 1}, {"bird's nose", 9.5, 9.56, 15, blue, 1},
        {"bullet", 7.5, 9.5, 20, red, 1}, {"droplet", 8.5, 9.3, 25.075, green, 0}};
    for (float yaw : {0.0f, 90.0f, 217.5f}) {
        p.yaw = yaw;
        Frame f = draw();
        // Seen from 30.5 above the floor at 900 / depth pixels per unit, the heading up the screen.
        double a = yaw * M_PI / 180;
        for (const Probe& q : probes) {
            double dx = q.x - p.pos.x, dy = q.y - p.pos.y, scale = 900 / (30.5 - q.z);
            double x = 150 + scale * (dx * cos(a) - dy * sin(a)),
                   y = 150 + scale * (dx * sin(a) + dy * cos(a));
            EXPECT_TRUE(seen(f, x, y, q.colour, 2, q.radius)) << q.what << " at yaw " << yaw;
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

// Whether the frame shows the text, in the game's font and the colour given,
// from the left end of its baseline at (x, y) on: every pixel the text inks
// has the colour, and no other pixel on its line across the panel (from 2
// below the baseline to 14 above) does.
::testing::AssertionResult showsText(
    const Frame& game, int x, int y, const Rgb& colour, const std::string& text)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 300, 0, 300, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3ub(colour.r, colour.g, colour.b);
    glRasterPos2i(x, y);
    for (char c : text)
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, c);
    Frame alone = GLTestWindow::readBackBuffer();
    int missing = 0, extra = 0;
    for (int py = y - 5; py <= y + 14; py++) {
        for (int px = 32; px <= 268; px++) {
            const bool inked = count(alone, px, py, px, py, colour) == 1;
            const bool shown = count(game, px, py, px, py, colour) == 1;
            missing += inked && !shown;
            extra += shown && !inked && py >= y - 2;
        }
    }
    if (missing == 0 && extra == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" at " << x << ", " << y << ": " << missing
                                         << " of its pixels missing, " << extra << " others in its colour";
}

// A catch flashes the play screens plain green, and only them. Every message
// screen veils the scene under a white panel from (30, 50) to (270, 250) with
// a white border; the heading "Dewgatherer" in black at (40, 227) between
// black rules at y 244 and 224; its lines in dark grey 21 apart from y 198
// down at x 43; a black rule at y 56 and over it "PRESS ENTER" ending at x 260.
TEST_F(Render, CatchFlashInPlayAndMessageScreensWithTheirPanelAndWords)
{
    const Rgb darkGrey = {51, 51, 51};
    world().player.wowed = true;
    // Every text a player reads on each message screen, the lines in order, as
    // recorded in tests/data/message-screens.txt: one screen after another, a
    // blank line between two.
    std::ifstream file(DEW_TEST_DATA "/message-screens.txt");
    std::vector<std::vector<std::string>> recorded(1);
    for (std::string line; std::getline(file, line);) {
        if (line.empty())
            recorded.emplace_back();
        else
            recorded.back().push_back(line);
    }
    for (int s = 0; s < 9; s++) {
        SCOPED_TRACE(::testing::Message() << "screen " << s);
        control.gameStatus = MazeGameStatus(s);
        Frame game = draw();
        if (s >= EFirstPersonView) {
            EXPECT_EQ(count(game, 0, 0, 299, 299, kGreen), 300 * 300);
            continue;
        }
        // The border covers the 3 pixels around each edge; the veil starts inside it.
        EXPECT_EQ(count(game, 150, 48, 150, 50, kWhite), 3);
        EXPECT_EQ(count(game, 150, 248, 150, 250, kWhite), 3);
        EXPECT_EQ(count(game, 28, 240, 30, 240, kWhite), 3);
        EXPECT_EQ(count(game, 268, 240, 270, 240, kWhite), 3);
        EXPECT_TRUE(seen(game, 31, 240, kVeil, 2));
        EXPECT_TRUE(seen(game, 267, 240, kVeil, 2));
        EXPECT_TRUE(seen(game, 150, 247, kVeil, 2));
        EXPECT_TRUE(seen(game, 27, 240, kSky));
        EXPECT_TRUE(seen(game, 271, 240, kSky));
        EXPECT_TRUE(seen(game, 150, 251, kSky));
        // Each rule fills the pixel row under its height from x 40 to 259.
        for (int y : {244, 224, 56}) {
            EXPECT_EQ(count(game, 40, y - 1, 259, y - 1, kBlack), 220) << "rule at " << y;
            EXPECT_FALSE(seen(game, 39, y - 1, kBlack)) << "rule at " << y;
            EXPECT_FALSE(seen(game, 260, y - 1, kBlack)) << "rule at " << y;
        }
        EXPECT_TRUE(showsText(game, 40, 227, kBlack, "Dewgatherer"));
        // "PRESS ENTER" is 125 pixels wide in the game's font, so it starts at x 135.
        EXPECT_TRUE(showsText(game, 135, 59, kBlack, "PRESS ENTER"));
        const std::vector<std::string> lines = recorded.at(s);
        for (size_t n = 0; n < 6; n++) {
            std::string line;
            if (n < lines.size())
                line = lines[n];
            EXPECT_TRUE(showsText(game, 43, 198 - 21 * (int)n, darkGrey, line)) << "line " << n + 1;
        }
    }
}

// Frames in the order a game shows them, driven by the controller's own
// commands: the title pages, play, the map, play, the map again, play, a
// catch, play, the weapon's page, play. Each screen looks exactly as it does
// as the first frame after the game's start: nothing a frame leaves behind
// shows in the next.
TEST_F(Render, EveryScreenLooksTheSameWhateverFramesCameBefore)
{
    Player& p = world().player;
    p.pos = Vector3f(8.5f, 2.5f, 0);
    p.canViewMap = true;
    for (int i = 0; i < 17; i++)
        world().maze(i, 6) = 1; // a wall across, 3.5 ahead
    world().maze(7, 6) = 7;
    world().maze(8, 4) = -7;
    setBirds(1, Vector3f(0.1f, 0, 0));
    world().boids[0].pos = Vector3f(8.2f, 5, 0.6f);
    world().bullets.add(PointObject(Vector3f(8.7f, 4, 0.5f), Vector3f(0, 0.4f, 0)));
    world().drops.add(PointObject(Vector3f(8.5f, 4.5f, 0.3f), Vector3f()));
    std::map<int, Frame> fresh;
    for (MazeGameStatus s :
        {ETitle1Msg, ETitle2Msg, ETitle3Msg, EFirstPersonView, EMapView, EBonusWeaponMsg}) {
        restartRenderer();
        control.gameStatus = s;
        fresh[s] = draw();
    }
    // No text in play: nothing in the black or dark grey of the panel's words.
    const Rgb darkGrey = {51, 51, 51};
    EXPECT_EQ(count(fresh[EFirstPersonView], 0, 0, 299, 299, kBlack), 0);
    EXPECT_EQ(count(fresh[EFirstPersonView], 0, 0, 299, 299, darkGrey), 0);
    EXPECT_EQ(count(fresh[EMapView], 0, 0, 299, 299, darkGrey), 0);
    restartRenderer();
    control.gameStatus = ETitle1Msg;
    // Each frame: the screen a player expects to see, and what it follows.
    std::string before = "the start";
    auto nextFrame = [&](MazeGameStatus expected, const char* what) {
        EXPECT_EQ(control.gameStatus, expected) << "after " << before;
        EXPECT_TRUE(draw().pixels == fresh[expected].pixels) << "screen " << expected << " after " << before;
        before = what;
    };
    nextFrame(ETitle1Msg, "the first title page");
    const std::pair<MazeGameStatus, const char*> afterEnter[] = {{ETitle2Msg, "the second title page"},
        {ETitle3Msg, "the third title page"}, {EFirstPersonView, "play"}, {EMapView, "the map"},
        {EFirstPersonView, "play"}, {EMapView, "the map again"}, {EFirstPersonView, "play"}};
    for (const auto& [screen, what] : afterEnter) {
        control.pushOK();
        nextFrame(screen, what);
    }
    p.wowed = true;
    EXPECT_EQ(count(draw(), 0, 0, 299, 299, kGreen), 300 * 300) << "a catch";
    before = "the green flash";
    p.wowed = false;
    nextFrame(EFirstPersonView, "play");
    control.foundWeapon();
    nextFrame(EBonusWeaponMsg, "the weapon's page");
    control.pushOK();
    nextFrame(EFirstPersonView, "play");
}

} // namespace
