// Rendering tests: the real renderer draws into a real GLUT window on a
// private Xvfb, and the frames are read back and probed pixel by pixel.
// Expected positions come from the two cameras:
//  - eye view: frustum +-0.005 at near 0.01 (half-angle atan 0.5), eye 0.5
//    above the player, recoil a rotation about the eye's x axis;
//  - map view: frustum +-0.5 at near 3, camera 30.5 above the floor, so a
//    point at height z lands 900 / (30.5 - z) pixels per unit from the centre.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "GLTestWindow.h"
#include "MazeGameControl.h"
#include "MazeGameRenderer.h"
#include "MazeGameState.h"

namespace {

const double kPi = 3.14159265358979323846;

const Rgb kSky = {129, 191, 254};
const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};
const Rgb kGreen = {0, 255, 0};
const Rgb kBlue = {0, 0, 255};
const Rgb kDarkGrey = {51, 51, 51};  // 0.2 of 255

MazeGameRenderer* renderer = nullptr;
bool windowReady = false;

class RendererEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(GLTestWindow::open(error)) << error;
        ASSERT_EQ(access("floor.ppm", R_OK), 0) << "floor.ppm is not in the working directory";
        ASSERT_EQ(access("bricks.ppm", R_OK), 0) << "bricks.ppm is not in the working directory";
        renderer = new MazeGameRenderer();
        renderer->init();
        windowReady = true;
    }

    void TearDown() override
    {
        if (renderer) {
            renderer->quit();
            delete renderer;
            renderer = nullptr;
        }
        GLTestWindow::close();
    }
};

bool near(const Rgb& a, const Rgb& b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

::testing::AssertionResult pixelIs(const Frame& f, int x, int y, const Rgb& want, int tolerance)
{
    Rgb got = f.at(x, y);
    if (near(got, want, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is (" << got.r << ", " << got.g << ", " << got.b
           << "), expected (" << want.r << ", " << want.g << ", " << want.b << ") +-" << tolerance;
}

Rgb grey(double level)
{
    int v = (int)std::lround(level * 255);
    return Rgb{v, v, v};
}

// Whether a pixel of the given colour lies within radius of (x, y).
bool colourNear(const Frame& f, int x, int y, int radius, const Rgb& want, int tolerance)
{
    for (int yy = y - radius; yy <= y + radius; yy++)
        for (int xx = x - radius; xx <= x + radius; xx++)
            if (xx >= 0 && yy >= 0 && xx < f.width && yy < f.height && near(f.at(xx, yy), want, tolerance))
                return true;
    return false;
}

int countColour(const Frame& f, int x0, int y0, int x1, int y1, const Rgb& want, int tolerance)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (near(f.at(x, y), want, tolerance))
                n++;
    return n;
}

struct WindowPoint {
    double x;
    double y;
};

int pixel(double w)
{
    return (int)std::floor(w);
}

// Where a world point lands in the map view.
WindowPoint mapToWindow(const Player& p, double x, double y, double z)
{
    double yaw = p.yaw * kPi / 180;
    double dx = x - p.pos.x;
    double dy = y - p.pos.y;
    double ex = dx * std::cos(yaw) - dy * std::sin(yaw);
    double ey = dx * std::sin(yaw) + dy * std::cos(yaw);
    double depth = 30.0 + 0.5 + p.pos.z - z;
    double scale = 150.0 * 3.0 / 0.5 / depth;
    return WindowPoint{150 + ex * scale, 150 + ey * scale};
}

// Where a world point lands in the eye view, with the view kicked up by
// recoil degrees.
WindowPoint eyeToWindow(const Player& p, double recoil, double x, double y, double z)
{
    double yaw = p.yaw * kPi / 180;
    double dx = x - p.pos.x;
    double dy = y - p.pos.y;
    double dz = z - (p.pos.z + 0.5);
    double right = dx * std::cos(yaw) - dy * std::sin(yaw);
    double ahead = dx * std::sin(yaw) + dy * std::cos(yaw);
    double t = -recoil * kPi / 180;
    double forward = ahead * std::cos(t) - dz * std::sin(t);
    double up = ahead * std::sin(t) + dz * std::cos(t);
    double scale = 150.0 * 0.01 / 0.005;
    return WindowPoint{150 + scale * right / forward, 150 + scale * up / forward};
}

// A world under the test's control: the random level is replaced by open
// floor, without birds, droplets or the pick-up.
class TestWorld {
public:
    explicit TestWorld(MazeGameStatus status)
    {
        srand(12345);
        control.init();
        control.gameStatus = status;
        for (int i = -1; i <= 17; i++)
            for (int j = -1; j <= 17; j++)
                maze()(i, j) = 0;
        state().boids = Boids(0, Vector3f(0, 0, 1), Vector3f(18, 18, 4));
        state().thingy.alive = false;
        player().pos = Vector3f(8.5f, 0.5f, 0);
        player().yaw = 0;
    }

    MazeGameState& state() { return *control.gameState; }
    Player& player() { return state().player; }
    Labyrinth& maze() { return state().maze; }

    void setFlock(const std::vector<PointObject>& birds)
    {
        state().boids = Boids((int)birds.size(), Vector3f(0, 0, 1), Vector3f(18, 18, 4));
        for (int k = 0; k < (int)birds.size(); k++)
            state().boids[k] = birds[k];
    }

    Frame draw()
    {
        renderer->render(control);
        return GLTestWindow::readBackBuffer();
    }

    MazeGameControl control;
};

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(windowReady) << "no GL window"; }
};

// ---------------------------------------------------------------- eye view

TEST_F(RendererTest, WindowIsTheGamesThreeHundredPixelSquare)
{
    TestWorld world(EFirstPersonView);
    Frame f = world.draw();
    EXPECT_EQ(f.width, 300);
    EXPECT_EQ(f.height, 300);
    GLint bits[3];
    glGetIntegerv(GL_RED_BITS, &bits[0]);
    glGetIntegerv(GL_GREEN_BITS, &bits[1]);
    glGetIntegerv(GL_BLUE_BITS, &bits[2]);
    EXPECT_EQ(bits[0], 8);
    EXPECT_EQ(bits[1], 8);
    EXPECT_EQ(bits[2], 8);
}

TEST_F(RendererTest, FirstPersonSkyAboveTheFloor)
{
    // Open floor all round: above the far edge of the floor there is only sky.
    TestWorld world(EFirstPersonView);
    Frame f = world.draw();
    for (int x : {0, 75, 150, 225, 299}) {
        EXPECT_TRUE(pixelIs(f, x, 299, kSky, 1));
        EXPECT_TRUE(pixelIs(f, x, 250, kSky, 1));
        EXPECT_TRUE(pixelIs(f, x, 160, kSky, 1));
    }
    // The floor, lit and textured, fills the bottom of the view.
    for (int x : {10, 150, 290})
        EXPECT_FALSE(near(f.at(x, 10), kSky, 10)) << "column " << x;
}

TEST_F(RendererTest, FirstPersonWallsAndFloorAreTextured)
{
    // A wall across the view 1.5 units ahead: its face spans rows and columns
    // 50 to 250. Textured, it shows many colours, unlike an unlit block.
    TestWorld world(EFirstPersonView);
    world.maze()(7, 2) = 1;
    world.maze()(8, 2) = 1;
    world.maze()(9, 2) = 1;
    Frame f = world.draw();
    WindowPoint top = eyeToWindow(world.player(), 0, 8.5, 2, 1);
    ASSERT_NEAR(top.y, 250, 0.01);
    std::vector<int> seen;
    for (int y = 60; y < 240; y++) {
        for (int x = 60; x < 240; x++) {
            Rgb c = f.at(x, y);
            int key = (c.r << 16) | (c.g << 8) | c.b;
            if (std::find(seen.begin(), seen.end(), key) == seen.end())
                seen.push_back(key);
            EXPECT_FALSE(near(c, kSky, 3)) << "sky through the wall at " << x << ", " << y;
        }
    }
    EXPECT_GE(seen.size(), 8u);
    // Above the wall's top edge (row 250) the sky shows again.
    EXPECT_TRUE(pixelIs(f, 150, 252, kSky, 1));
}

// The highest row at column 150 that is not sky, scanning down from the top.
int horizonRow(const Frame& f)
{
    for (int y = f.height - 1; y >= 0; y--)
        if (!near(f.at(150, y), kSky, 2))
            return y;
    return -1;
}

// The far edge of the floor (y = 17) straight ahead of the player, as the
// highest floor row of column 150.
int expectedHorizonRow(const Player& p, double recoil)
{
    WindowPoint edge = eyeToWindow(p, recoil, p.pos.x, 17, 0);
    return (int)std::ceil(edge.y - 0.5) - 1;
}

TEST_F(RendererTest, ShotTiltsTheViewOnTheThreeTicksAfterIt)
{
    TestWorld world(EFirstPersonView);
    world.player().canShoot = true;
    EXPECT_EQ(horizonRow(world.draw()), expectedHorizonRow(world.player(), 0));

    world.control.shoot();
    ASSERT_EQ(world.state().bullets.count(), 1);
    const double recoil[3] = {10, 5, 2};
    for (int tick = 0; tick < 3; tick++) {
        int row = horizonRow(world.draw());
        int expected = expectedHorizonRow(world.player(), recoil[tick]);
        EXPECT_NEAR(row, expected, 1) << "tick " << tick << " after the shot";
        world.player().behave(world.maze());
    }
    // The kick is over: the horizon is back where it was.
    EXPECT_NEAR(horizonRow(world.draw()), expectedHorizonRow(world.player(), 0), 1);
    // Ten degrees move the edge of the floor by far more than the tolerance.
    EXPECT_GT(expectedHorizonRow(world.player(), 0) - expectedHorizonRow(world.player(), 10), 40);
}

// ---------------------------------------------------------------- flash

TEST_F(RendererTest, CatchFlashIsPlainGreenInBothPlayViews)
{
    for (MazeGameStatus status : {EFirstPersonView, EMapView}) {
        TestWorld world(status);
        world.maze()(8, 2) = 1;
        world.player().wowed = true;
        Frame f = world.draw();
        EXPECT_EQ(countColour(f, 0, 0, 299, 299, kGreen, 0), 300 * 300) << "status " << status;
    }
}

TEST_F(RendererTest, NoCatchFlashOnAMessageScreen)
{
    // The tenth droplet was caught in the same tick that switched to the
    // map message: the message is shown, not the flash.
    TestWorld world(EBonusMapMsg);
    world.player().wowed = true;
    Frame f = world.draw();
    EXPECT_TRUE(pixelIs(f, 150, 290, kSky, 1));
    EXPECT_TRUE(pixelIs(f, 30, 150, kWhite, 1));
    EXPECT_EQ(countColour(f, 0, 0, 299, 299, kGreen, 0), 0);
}

// ---------------------------------------------------------------- map view

class MapViewTest : public RendererTest {
protected:
    MapViewTest() : world(EMapView) { world.player().pos = Vector3f(8.5f, 8.5f, 0); }
    TestWorld world;
};

TEST_F(MapViewTest, BlackBackgroundWithWhiteGridOnTheCellBorders)
{
    Frame f = world.draw();
    const Player& p = world.player();
    // Open cells are background.
    for (double cx : {6.5, 8.5, 10.5})
        for (double cy : {5.5, 10.5}) {
            WindowPoint c = mapToWindow(p, cx, cy, 0);
            EXPECT_TRUE(pixelIs(f, pixel(c.x), pixel(c.y), kBlack, 0));
        }
    // The borders x = 9 and y = 7 are white lines along their whole run.
    for (double along : {5.3, 6.7, 10.5, 12.2}) {
        WindowPoint v = mapToWindow(p, 9, along, 0);
        EXPECT_TRUE(colourNear(f, pixel(v.x), pixel(v.y), 1, kWhite, 0)) << "x = 9 at y " << along;
        WindowPoint h = mapToWindow(p, along, 7, 0);
        EXPECT_TRUE(colourNear(f, pixel(h.x), pixel(h.y), 1, kWhite, 0)) << "y = 7 at x " << along;
    }
    // A line is one pixel wide: three pixels off it is black again.
    WindowPoint v = mapToWindow(p, 9, 10.5, 0);
    EXPECT_TRUE(pixelIs(f, pixel(v.x) + 3, pixel(v.y), kBlack, 0));
    EXPECT_TRUE(pixelIs(f, pixel(v.x) - 3, pixel(v.y), kBlack, 0));
}

TEST_F(MapViewTest, GridEndsAtTheMazesOuterBorder)
{
    world.player().pos = Vector3f(15.5f, 8.5f, 0);
    Frame f = world.draw();
    const Player& p = world.player();
    WindowPoint edge = mapToWindow(p, 17, 10.5, 0);
    EXPECT_TRUE(colourNear(f, pixel(edge.x), pixel(edge.y), 1, kWhite, 0));
    // The line y = 9 stops at x = 17; beyond it everything is black.
    WindowPoint inside = mapToWindow(p, 16.5, 9, 0);
    EXPECT_TRUE(colourNear(f, pixel(inside.x), pixel(inside.y), 1, kWhite, 0));
    WindowPoint outside = mapToWindow(p, 18.5, 9, 0);
    EXPECT_EQ(countColour(f, pixel(outside.x) - 5, pixel(outside.y) - 5, pixel(outside.x) + 5,
                          pixel(outside.y) + 5, kBlack, 0),
              121);
}

TEST_F(MapViewTest, WallsUnlitWhiteAndGreyByHitCount)
{
    const int values[5] = {1, 5, 6, 7, 8};
    const double levels[5] = {1.0, 0.9, 0.7, 0.5, 0.3};
    for (int k = 0; k < 5; k++)
        world.maze()(5 + k, 10) = values[k];
    Frame f = world.draw();
    for (int k = 0; k < 5; k++) {
        // The top face, at height 1.
        WindowPoint c = mapToWindow(world.player(), 5 + k + 0.5, 10.5, 1);
        EXPECT_TRUE(pixelIs(f, pixel(c.x), pixel(c.y), grey(levels[k]), 2)) << "wall value " << values[k];
        EXPECT_TRUE(pixelIs(f, pixel(c.x) + 8, pixel(c.y) - 8, grey(levels[k]), 2)) << "wall value " << values[k];
    }
}

TEST_F(MapViewTest, StartCellRedPortalGreenShotAwayWallGreyFloor)
{
    world.maze()(6, 6) = -2;
    world.maze()(8, 6) = -3;
    world.maze()(10, 6) = -7;
    Frame f = world.draw();
    const Player& p = world.player();
    WindowPoint start = mapToWindow(p, 6.5, 6.5, 0);
    WindowPoint portal = mapToWindow(p, 8.5, 6.5, 0);
    WindowPoint rubble = mapToWindow(p, 10.5, 6.5, 0);
    EXPECT_TRUE(pixelIs(f, pixel(start.x), pixel(start.y), Rgb{255, 0, 0}, 0));
    EXPECT_TRUE(pixelIs(f, pixel(portal.x), pixel(portal.y), kGreen, 0));
    EXPECT_TRUE(pixelIs(f, pixel(rubble.x), pixel(rubble.y), grey(0.5), 2));
    // The grid stays visible on the border of a drawn floor cell.
    WindowPoint border = mapToWindow(p, 7, 6.5, 0);
    EXPECT_TRUE(colourNear(f, pixel(border.x), pixel(border.y), 1, kWhite, 0));
}

TEST_F(MapViewTest, BirdsBlueAndDropletsGreen)
{
    // A bird high up, and a droplet close under the camera so that its
    // upright triangle shows as more than a line from above.
    world.setFlock({PointObject(Vector3f(9.5f, 9.5f, 15), Vector3f(0, 0.1f, 0))});
    world.state().drops.add(PointObject(Vector3f(8.5f, 9.3f, 25), Vector3f(0, 0, -0.05f)));
    Frame f = world.draw();
    const Player& p = world.player();

    WindowPoint bird = mapToWindow(p, 9.5, 9.5, 15);
    EXPECT_TRUE(colourNear(f, pixel(bird.x), pixel(bird.y), 1, kBlue, 0));
    WindowPoint nose = mapToWindow(p, 9.5, 9.5 + 0.06, 15);
    EXPECT_TRUE(colourNear(f, pixel(nose.x), pixel(nose.y), 1, kBlue, 0));
    // Nothing else is blue.
    int blue = countColour(f, 0, 0, 299, 299, kBlue, 0);
    int blueNearBird = countColour(f, pixel(bird.x) - 8, pixel(bird.y) - 8, pixel(bird.x) + 8,
                                   pixel(bird.y) + 8, kBlue, 0);
    EXPECT_GT(blue, 5);
    EXPECT_EQ(blue, blueNearBird);

    WindowPoint base = mapToWindow(p, 8.5, 9.3, 25);
    WindowPoint tip = mapToWindow(p, 8.5, 9.3, 25.15);
    ASSERT_GT(tip.y - base.y, 3);
    int mid = pixel((base.y + tip.y) / 2);
    EXPECT_TRUE(pixelIs(f, 150, mid, kGreen, 0));
    EXPECT_TRUE(pixelIs(f, 148, mid, kGreen, 0));
    EXPECT_TRUE(pixelIs(f, 150, pixel(base.y) - 3, kBlack, 0));
}

TEST_F(MapViewTest, MarkerPointsUpFromTheCentreWhateverTheHeading)
{
    for (float yaw : {0.0f, 90.0f, 217.5f}) {
        world.player().yaw = yaw;
        Frame f = world.draw();
        // The marker: white from the centre 0.3 units (9 pixels at 30 units)
        // up the screen, nothing below or beside it.
        for (int y = 151; y <= 157; y++)
            EXPECT_TRUE(near(f.at(149, y), kWhite, 0) || near(f.at(150, y), kWhite, 0))
                << "yaw " << yaw << " row " << y;
        // (The nearest grid lines pass 0.5 units, 14.75 pixels, from the
        // centre; these boxes stay inside that circle.)
        EXPECT_EQ(countColour(f, 141, 141, 159, 147, kWhite, 0), 0) << "yaw " << yaw;
        EXPECT_EQ(countColour(f, 141, 151, 146, 159, kWhite, 0), 0) << "yaw " << yaw;
        EXPECT_EQ(countColour(f, 153, 151, 159, 159, kWhite, 0), 0) << "yaw " << yaw;
        EXPECT_EQ(countColour(f, 145, 160, 155, 162, kWhite, 0), 0) << "yaw " << yaw;
    }
}

TEST_F(MapViewTest, MazeTurnsSoThatTheHeadingPointsUp)
{
    // A wall east of the player: to the right at yaw 0, straight up at yaw 90.
    world.maze()(9, 8) = 6;
    world.player().yaw = 0;
    Frame east = world.draw();
    EXPECT_TRUE(pixelIs(east, 180, 150, grey(0.7), 2));
    EXPECT_TRUE(pixelIs(east, 150, 180, kBlack, 0));
    world.player().yaw = 90;
    Frame up = world.draw();
    WindowPoint c = mapToWindow(world.player(), 9.5, 8.5, 1);
    EXPECT_NEAR(c.x, 150, 1e-6);
    EXPECT_TRUE(pixelIs(up, pixel(c.x), pixel(c.y), grey(0.7), 2));
    EXPECT_TRUE(pixelIs(up, 180, 150, kBlack, 0));
}

// The blue pixels of a frame, as a mask.
std::vector<bool> blueMask(const Frame& f)
{
    std::vector<bool> mask(f.width * f.height);
    for (int y = 0; y < f.height; y++)
        for (int x = 0; x < f.width; x++)
            mask[y * f.width + x] = near(f.at(x, y), kBlue, 0);
    return mask;
}

TEST_F(MapViewTest, BirdStandingStillIsDrawnUnturned)
{
    // A bird that stands still has no direction of flight: it is drawn as
    // the shape comes, nose along +y, exactly like a bird flying along +y.
    Vector3f at(9.5f, 9.5f, 15);
    world.setFlock({PointObject(at, Vector3f(0, 0, 0))});
    std::vector<bool> still = blueMask(world.draw());
    world.setFlock({PointObject(at, Vector3f(0, 0.1f, 0))});
    std::vector<bool> north = blueMask(world.draw());
    world.setFlock({PointObject(at, Vector3f(0.1f, 0, 0))});
    std::vector<bool> east = blueMask(world.draw());

    EXPECT_GT(std::count(still.begin(), still.end(), true), 5);
    EXPECT_TRUE(still == north);
    EXPECT_FALSE(east == north);
}

// ---------------------------------------------------------------- messages

struct MessageCase {
    MazeGameStatus status;
    std::vector<std::string> lines;
};

const MessageCase kMessageCases[] = {
    {ETitle1Msg,
     {"You find yourself in", "a strange place. You", "are in a  maze  with", "no exit.  It is cold",
      "and it smells funny.", "Birds..."}},
    {ETitle2Msg,
     {"Weird birds fly all", "around in flocks,", "spitting small drop-", "lets on you.",
      "After catching some", "of them you realize.."}},
    {ETitle3Msg,
     {"you realize that you", "need to catch 30 of", "these magic drop-", "lets to escape.",
      "Go, do it! You have", "no time to lose!"}},
    {EBonusMapMsg,
     {"Wow... the droplets", "are indeed magic!", "You feel enlightened.", "Push ENTER in the game",
      "to see the map."}},
    {EBonusPortalMsg,
     {"You have collected", "enough droplets to", "perform powerful", "magic!", "You hear distant",
      "noise. What was it?"}},
    {EBonusWeaponMsg, {"Cool! You've just", "found a weapon!", "Push SPACE to use it!"}},
    {EFinishMsg,
     {"At last! You've", "managed to escape", "the cursed maze.", "Go home now and", "live your life!",
      "Or play again?"}},
};

void PrintTo(const MessageCase& c, std::ostream* os)
{
    *os << "status " << c.status << " with " << c.lines.size() << " lines";
}

const int kBaselines[6] = {198, 177, 156, 135, 114, 93};

// Draws strings straight with GLUT's Helvetica 18 in black on white, as a
// reference for where their ink must be.
Frame referenceText(const std::vector<std::pair<WindowPoint, std::string>>& texts)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 300, 0, 300, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(0, 0, 0, 1);
    for (const auto& t : texts) {
        glRasterPos2i((int)t.first.x, (int)t.first.y);
        for (char c : t.second)
            glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, c);
    }
    return GLTestWindow::readBackBuffer();
}

int textWidth(const std::string& s)
{
    return glutBitmapLength(GLUT_BITMAP_HELVETICA_18, reinterpret_cast<const unsigned char*>(s.c_str()));
}

// Pixels inside the panel's border, in rows y0..y1, where exactly one of the
// frames shows ink.
int inkDifferences(const Frame& drawn, const Rgb& ink, const Frame& reference, int y0, int y1)
{
    int differences = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = 32; x <= 267; x++)
            if (near(drawn.at(x, y), ink, 2) != near(reference.at(x, y), kBlack, 0))
                differences++;
    return differences;
}

class MessageScreenTest : public RendererTest, public ::testing::WithParamInterface<MessageCase> {
protected:
    // The scene behind the panel: open floor straight ahead, sky above row 141.
    MessageScreenTest() : world(GetParam().status) {}
    TestWorld world;
};

TEST_P(MessageScreenTest, VeiledPanelWithWhiteBorder)
{
    Frame f = world.draw();
    ASSERT_LT(expectedHorizonRow(world.player(), 0), 150);
    // Inside the panel over the sky: half the sky plus half white.
    Rgb veiled = {(int)std::lround(kSky.r / 2.0 + 127.5), (int)std::lround(kSky.g / 2.0 + 127.5),
                  (int)std::lround(kSky.b / 2.0 + 127.5)};
    for (auto xy : {std::make_pair(35, 240), std::make_pair(200, 235), std::make_pair(265, 160),
                    std::make_pair(35, 160), std::make_pair(150, 247)})
        EXPECT_TRUE(pixelIs(f, xy.first, xy.second, veiled, 2));
    // Outside the panel the sky is untouched.
    EXPECT_TRUE(pixelIs(f, 20, 240, kSky, 1));
    EXPECT_TRUE(pixelIs(f, 150, 270, kSky, 1));
    EXPECT_TRUE(pixelIs(f, 285, 200, kSky, 1));
    // Over the floor the veil lifts every channel to at least half white.
    for (int x = 45; x < 260; x += 20) {
        Rgb c = f.at(x, 80);
        EXPECT_GE(std::min({c.r, c.g, c.b}), 127) << "column " << x;
    }
    // The border: three pixels wide along the panel's edges.
    for (int y : {60, 100, 150, 200, 240}) {
        EXPECT_TRUE(pixelIs(f, 30, y, kWhite, 0));
        EXPECT_TRUE(pixelIs(f, 270, y, kWhite, 0));
    }
    for (int x : {35, 100, 150, 200, 265}) {
        EXPECT_TRUE(pixelIs(f, x, 50, kWhite, 0));
        EXPECT_TRUE(pixelIs(f, x, 250, kWhite, 0));
    }
    EXPECT_TRUE(pixelIs(f, 26, 240, kSky, 1));
}

TEST_P(MessageScreenTest, BlackHeadingRulesAndRightAlignedPrompt)
{
    Frame f = world.draw();
    // The three rules run from x 40 to 260 at y 244, 224 and 56.
    for (int y : {244, 224, 56}) {
        for (int x : {41, 100, 200, 258})
            EXPECT_TRUE(near(f.at(x, y), kBlack, 0) || near(f.at(x, y - 1), kBlack, 0))
                << "rule at " << y << ", x " << x;
        for (int x : {36, 264})
            EXPECT_FALSE(near(f.at(x, y), kBlack, 0) || near(f.at(x, y - 1), kBlack, 0))
                << "rule at " << y << ", x " << x;
    }

    const std::string prompt = "PRESS ENTER";
    WindowPoint promptAt = {260.0 - textWidth(prompt), 59};
    Frame reference = referenceText({{WindowPoint{40, 227}, "Dewgatherer"}, {promptAt, prompt}});
    // After the prompt the pen stands exactly at x = 260.
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    EXPECT_FLOAT_EQ(raster[0], 260);

    // Heading and prompt are drawn in black exactly where the font puts them
    // (rows clear of the rules).
    EXPECT_GT(countColour(reference, 40, 225, 200, 242, kBlack, 0), 50);
    EXPECT_EQ(inkDifferences(f, kBlack, reference, 225, 242), 0);
    EXPECT_GT(countColour(reference, 100, 57, 262, 75, kBlack, 0), 50);
    EXPECT_EQ(inkDifferences(f, kBlack, reference, 57, 75), 0);

    // The prompt's rightmost ink lies just left of x = 260.
    int rightmost = -1;
    for (int x = 0; x < 268; x++)
        for (int y = 57; y <= 75; y++)
            if (near(f.at(x, y), kBlack, 0))
                rightmost = x;
    EXPECT_LE(rightmost, 259);
    EXPECT_GE(rightmost, 255);
}

TEST_P(MessageScreenTest, DarkGreyTextOnExactlyItsLines)
{
    Frame f = world.draw();
    const std::vector<std::string>& lines = GetParam().lines;
    std::vector<std::pair<WindowPoint, std::string>> texts;
    for (size_t n = 0; n < lines.size(); n++)
        texts.push_back({WindowPoint{43, (double)kBaselines[n]}, lines[n]});
    Frame reference = referenceText(texts);

    for (int n = 0; n < 6; n++) {
        int b = kBaselines[n];
        int ink = countColour(f, 31, b - 6, 268, b + 14, kDarkGrey, 2);
        if (n < (int)lines.size()) {
            EXPECT_GT(ink, 30) << "line " << n + 1;
            // The exact text, double spaces and all, at x = 43 on its baseline.
            EXPECT_EQ(inkDifferences(f, kDarkGrey, reference, b - 6, b + 14), 0) << "line " << n + 1;
        } else {
            EXPECT_EQ(ink, 0) << "line " << n + 1 << " should be empty";
        }
    }
    // No dark grey anywhere else in the panel.
    EXPECT_EQ(countColour(f, 32, 52, 267, 86, kDarkGrey, 2), 0);
    EXPECT_EQ(countColour(f, 32, 213, 267, 248, kDarkGrey, 2), 0);
}

std::string statusName(const ::testing::TestParamInfo<MessageCase>& info)
{
    const char* names[] = {"Title1", "Title2", "Title3", "BonusMap", "BonusPortal", "BonusWeapon", "Finish"};
    return names[info.param.status];
}

INSTANTIATE_TEST_SUITE_P(AllMessages, MessageScreenTest, ::testing::ValuesIn(kMessageCases), statusName);

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new RendererEnvironment);
    return RUN_ALL_TESTS();
}
