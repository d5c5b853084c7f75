// SPDX-License-Identifier: MIT
// The game as a player meets it, in a GLUT window on a private Xvfb: the
// game's own start (init), key callbacks and renderer from src/MazeMain.cpp,
// key events sent through the X server for GLUT to read, and whole frames
// compared with the pictures recorded in tests/data/screens/. time() answers
// the known seed (e2e/FixedClock.cpp), so the game builds the end-to-end
// test's world.
// Where a state lies deep in a game, a test puts the droplet or the pick-up
// in the player's reach and lets the world's own rules take it.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "GLTestWindow.h"
#include "MazeGameRenderer.h"
#include "MazeGameState.h"

#include <GL/glx.h>
#include <png.h>

// The game's shell, src/MazeMain.cpp, built into this program with its main renamed.
extern MazeGameControl* gameControl;
extern MazeGameRenderer* gameRenderer;
void init();
void keyboard(unsigned char key, int x, int y);
void special(int key, int x, int y);

namespace {

// A recorded picture holds where no channel of any pixel differs by more
// than kLevels, but for at most kPixels pixels. Mesa's llvmpipe of Debian 12
// (22.3) and of Debian 13 (25.0) draw these pictures alike to the bit, so
// for Mesa's own fixed function (1 level, no pixel: tests/CMakeLists.txt)
// both allowances stay small enough for a line's end moved by one pixel or a
// wall's grey changed by 0.01 to show.
const int kLevels = DEW_PICTURE_LEVELS, kPixels = DEW_PICTURE_PIXELS;

bool readPng(const std::string& path, Frame& f)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    f = Frame{(int)image.width, (int)image.height, std::vector<unsigned char>(PNG_IMAGE_SIZE(image))};
    // A negative stride: rows bottom up, as GL reads them.
    return png_image_finish_read(&image, nullptr, f.pixels.data(), -3 * f.width, nullptr);
}

bool writePng(const std::string& path, const Frame& f)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = f.width;
    image.height = f.height;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, f.pixels.data(), -3 * f.width, nullptr);
}

// The screen shown once it holds still (the pick-up's light is placed while
// a frame is drawn) against tests/data/screens/NAME.png, or recorded there
// when DEW_RECORD_SCREENS is set. A failure keeps the frame and a difference
// image (red where beyond the tolerance) in screens-failed/ of the build folder.
::testing::AssertionResult looksAsRecorded(const std::string& name)
{
    gameRenderer->render(*gameControl);
    gameRenderer->render(*gameControl);
    const Frame now = GLTestWindow::readBackBuffer();
    const std::string recorded = DEW_TEST_DATA "/screens/" + name + ".png";
    if (std::getenv("DEW_RECORD_SCREENS") && writePng(recorded, now))
        return ::testing::AssertionSuccess();
    Frame then;
    if (!readPng(recorded, then) || then.pixels.size() != now.pixels.size())
        return ::testing::AssertionFailure() << recorded << ": missing, unreadable or not 300 by 300";
    Frame diff = then;
    int off = 0, worst = 0;
    for (size_t k = 0; k < now.pixels.size(); k += 3) {
        int most = 0;
        for (size_t c = k; c < k + 3; c++)
            most = std::max(most, std::abs(now.pixels[c] - then.pixels[c]));
        worst = std::max(worst, most);
        off += most > kLevels;
        for (size_t c = k; c < k + 3; c++)
            diff.pixels[c] = most > kLevels ? (c == k ? 255 : 0) : then.pixels[c] / 4;
    }
    if (off <= kPixels)
        return ::testing::AssertionSuccess();
    std::filesystem::create_directory("screens-failed");
    const std::string kept = "screens-failed/" + name;
    writePng(kept + ".png", now);
    writePng(kept + "-diff.png", diff);
    return ::testing::AssertionFailure() << "screen " << name << ": " << off << " pixels differ by more than "
                                         << kLevels << " (at most " << worst << "); see " << kept << "*.png";
}

// One key pressed and released in the game's window, as an X server sends
// it; GLUT reads the events and calls the game's callback.
void press(const char* key)
{
    Display* d = glXGetCurrentDisplay();
    XKeyEvent e{};
    e.display = d;
    e.window = glXGetCurrentDrawable();
    e.root = DefaultRootWindow(d);
    e.same_screen = True;
    e.keycode = XKeysymToKeycode(d, XStringToKeysym(key));
    for (int type : {KeyPress, KeyRelease}) {
        e.type = type;
        XSendEvent(d, e.window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, (XEvent*)&e);
    }
    XSync(d, False);
    glutMainLoopEvent();
}

// The states of one game, in the order it reaches them.
const char* const kStory[] = {"title page 1", "title page 2", "title page 3", "play", "the map's page",
    "play, map unlocked", "the map", "the weapon's page", "play with the weapon", "play, just shot",
    "the portal's page", "the finish page"};

class Game : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::string error;
        static bool open = GLTestWindow::open(error);
        ASSERT_TRUE(open) << error;
        if (!gameControl) {
            glutKeyboardFunc(keyboard);
            glutSpecialFunc(special);
            setenv("DEW_TIME", std::to_string(DEW_KNOWN_SEED).c_str(), 1);
            init();
        }
        seededGame();
    }
    void seededGame()
    {
        srand(DEW_KNOWN_SEED);
        gameControl->quit();
        gameControl->init();
    }
    MazeGameState& world() { return *gameControl->gameState; }
    Player& player() { return world().player; }
    void ticks(int n)
    {
        for (int k = 0; k < n; k++)
            gameControl->cycle();
    }
    // The world's own rules at work on what the player meets next.
    void catchDroplet(int count)
    {
        player().dropsCaught = count - 1;
        world().drops.add(PointObject(player().pos + Vector3f(0, 0, 0.6f), Vector3f()));
        ticks(1);
    }
    void touchWeapon()
    {
        world().thingy.pos = player().pos + Vector3f(0, 0, 0.5f);
        ticks(1);
    }
    // From the room inside the portal, east through the outer wall: Up until the finish page.
    void walkOutThroughThePortal()
    {
        player().pos = Vector3f(15.5f, 15.5f, 0);
        player().yaw = 90;
        for (int k = 0; k < 60 && gameControl->gameStatus != EFinishMsg; k++) {
            press("Up");
            ticks(1);
        }
    }
    // A new game at the known seed, played up to the state (one of kStory);
    // with pictures, each screen on the way compared with its recording.
    void playTo(const std::string& state, bool pictures = false)
    {
        seededGame();
        auto step = [&](const char* picture) {
            if (pictures) {
                EXPECT_TRUE(looksAsRecorded(picture));
            }
        };
        const std::vector<std::function<void()>> steps = {
            [&] { step("title-1"); },
            [&] { press("Return"), step("title-2"); },
            [&] { press("Return"), step("title-3"); },
            [&] { press("Return"), ticks(5), step("play"); },
            [&] { catchDroplet(10), step("map-page"); }, // the catch's flash waits for play
            [&] { press("Return"), step("catch"), ticks(1); },
            [&] { press("Return"); },
            [&] { touchWeapon(), ticks(3), step("weapon-page"); }, // the world waits
            [&] { press("Return"); },
            [&] { press("space"), step("recoil-1"), ticks(1), step("recoil-2"), ticks(1), step("recoil-3"); },
            [&] {
                ticks(2);
                catchDroplet(30);
                step("portal-page");
                if (pictures) {
                    // The map by the open portal, with walls worn by one to four hits and one shot away.
                    const int worn[] = {5, 6, 7, 8, -7};
                    for (int k = 0; k < 5; k++)
                        world().maze(11 + k, 13) = worn[k];
                    press("Return"), ticks(1);
                    player().pos = Vector3f(15.5f, 15.5f, 0);
                    // A bird at rest, close under the camera: drawn unturned.
                    world().boids[0] = PointObject(Vector3f(14.5f, 14.5f, 20), Vector3f());
                    press("Return"), step("map");
                }
            },
            [&] { press("Return"), walkOutThroughThePortal(), step("finish-page"); },
        };
        for (size_t k = 0; k < steps.size() && (k == 0 || state != kStory[k - 1]); k++)
            steps[k]();
    }
    std::string screenName() const
    {
        const char* const names[] = {"title page 1", "title page 2", "title page 3", "the map's page",
            "the portal's page", "the weapon's page", "the finish page", "play", "the map"};
        return names[gameControl->gameStatus];
    }
};

// Every kind of screen, whole, as one game at the known seed shows it: the
// title pages, play, the 10th droplet's page (its flash waits for play), the
// flash, the weapon's page, the three ticks of a shot's recoil, the portal's
// page, the map with the portal open and worn walls, the finish page.
TEST_F(Game, EveryScreenLooksAsRecorded)
{
    playTo("the finish page", true);
}

// What each key does in each state of a game: the screen it leads to, the
// walking or turning speed it adds, a shot, or nothing ("-"). README's key
// table says the same key by key. Escape: EscapeEndsTheGameOnEveryScreen.
const char* const kKeys[] = {"Return", "space", "Up", "Down", "Left", "Right", "a", "Tab", "F1"};
struct KeyRow {
    const char* state;
    const char* does[9];
};
// clang-format off
const KeyRow kKeyTable[] = {
    // state                  Enter                        Space   Up           Down         Left       Right      a    Tab  F1
    {"title page 1",         {"title page 2",              "-",    "-",         "-",         "-",       "-",       "-", "-", "-"}},
    {"title page 2",         {"title page 3",              "-",    "-",         "-",         "-",       "-",       "-", "-", "-"}},
    {"title page 3",         {"play",                      "-",    "-",         "-",         "-",       "-",       "-", "-", "-"}},
    {"play",                 {"-",                         "-",    "walk +0.1", "walk -0.1", "turn -4", "turn +4", "-", "-", "-"}},
    {"the map's page",       {"play",                      "-",    "-",         "-",         "-",       "-",       "-", "-", "-"}},
    {"play, map unlocked",   {"the map",                   "-",    "walk +0.1", "walk -0.1", "turn -4", "turn +4", "-", "-", "-"}},
    {"the map",              {"play",                      "-",    "walk +0.1", "walk -0.1", "turn -4", "turn +4", "-", "-", "-"}},
    {"the weapon's page",    {"play",                      "shot", "-",         "-",         "-",       "-",       "-", "-", "-"}},
    {"play with the weapon", {"the map",                   "shot", "walk +0.1", "walk -0.1", "turn -4", "turn +4", "-", "-", "-"}},
    {"play, just shot",      {"the map",                   "-",    "walk +0.1", "walk -0.1", "turn -4", "turn +4", "-", "-", "-"}},
    {"the portal's page",    {"play",                      "shot", "-",         "-",         "-",       "-",       "-", "-", "-"}},
    {"the finish page",      {"a new game's title page 1", "shot", "-",         "-",         "-",       "-",       "-", "-", "-"}},
};
// clang-format on

TEST_F(Game, EveryKeyInEveryStateOfAGame)
{
    for (const KeyRow& row : kKeyTable) {
        for (int k = 0; k < 9; k++) {
            playTo(row.state);
            const Player before = player();
            const int bullets = world().bullets.count();
            const std::string screen = screenName();
            press(kKeys[k]);
            std::ostringstream does;
            const Player& now = player();
            if (now.dropsCaught < before.dropsCaught)
                does << "a new game's " << screenName();
            else if (screenName() != screen)
                does << screenName();
            else if (now.movingForward != before.movingForward)
                does << "walk " << std::showpos << now.movingForward - before.movingForward;
            else if (now.turningYaw != before.turningYaw)
                does << "turn " << std::showpos << now.turningYaw - before.turningYaw;
            else if (world().bullets.count() != bullets)
                does << "shot";
            EXPECT_EQ(does.str().empty() ? "-" : does.str(), row.does[k]) << kKeys[k] << " on " << row.state;
        }
    }
}

TEST_F(Game, EscapeEndsTheGameOnEveryScreen)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* state : kStory) {
        playTo(state);
        EXPECT_EXIT(press("Escape"), ::testing::ExitedWithCode(0), "") << state;
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
TEST_F(Game, TheFloorShowsTheFloorImageAndTheWallsTheWallImage)
{
    const std::string red("\xff\0\0", 3), yellow("\xff\xff\0", 3), magenta("\xff\0\xff", 3), white(3, '\xff');
    const std::string blue("\0\0\xff", 3), cyan("\0\xff\xff", 3), floorRow = red + red + yellow;
    namespace fs = std::filesystem;
    const fs::path here = fs::current_path(), dir = fs::temp_directory_path() / "dew-game-test-images";
    fs::create_directory(dir);
    std::ofstream(dir / "floor.ppm", std::ios::binary)
        << "P6\n3 5\n255\n" + floorRow + floorRow + floorRow + floorRow + magenta + magenta + white;
    std::ofstream(dir / "bricks.ppm", std::ios::binary)
        << "P6\n4 2\n255\n" + blue + blue + cyan + blue + cyan + cyan + cyan + cyan;
    MazeGameRenderer textured;
    fs::current_path(dir);
    textured.init();
    fs::current_path(here);
    fs::remove_all(dir);
    // Open floor all round, nothing else but a wall across y 5, the eye at (8.5, 0.5, 0.5) looking north.
    world().maze = Labyrinth();
    for (int i = 0; i < 17; i++)
        world().maze(i, 5) = 1;
    world().boids = Boids(0, Vector3f(), Vector3f());
    world().thingy.alive = false;
    player().pos = Vector3f(8.5f, 0.5f, 0);
    gameControl->gameStatus = EFirstPersonView;
    textured.render(*gameControl);
    Frame f = GLTestWindow::readBackBuffer();
    textured.quit();
    // Which channels a world point shows.
    auto channels = [&f](float x, float y, float z) {
        Rgb c = f.at((int)(150 + 300 * (x - 8.5f) / (y - 0.5f)), (int)(150 + 300 * (z - 0.5f) / (y - 0.5f)));
        return std::string(c.r ? "r" : "-") + (c.g ? "g" : "-") + (c.b ? "b " : "- ");
    };
    const std::string seen = channels(8.5f, 2.9f, 0) + channels(8.5f, 2.15f, 0) + channels(8.95f, 2.9f, 0) +
        channels(8.95f, 2.15f, 0) + channels(8.3f, 5, 0.5f) + channels(8.9f, 5, 0.5f);
    // The floor's first column red, its last yellow, its last row magenta and
    // white; the wall's fourth texel blue, its third cyan.
    EXPECT_EQ(seen, "r-- rg- r-b rgb --b -gb ");
}

} // namespace
