// SPDX-License-Identifier: MIT
// Whole games through the controller's key commands, the world checked after
// every tick: stretches of the test bot's play, which wins games, alternate
// with stretches of random keys (now and then a burst of ten or more Up or
// Down, as a fast auto-repeat gives), so that games reach the map, the weapon,
// the portal and the finish. The keys come from the test's own generator,
// never rand(), so each seed plays the same games every run.
// A longer run: DEW_SOAK_TICKS=600000 ./soak_tests

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "MazeGameControl.h"
#include "MazeGameState.h"

namespace {

// The keys a person can press while playing (Escape aside), the two that
// walk before the two that turn.
enum class Key { Enter, Space, Up, Down, Left, Right };

// A test player: reads the screen and returns the key events for the coming
// tick. It confirms every message, runs under falling droplets until it has
// 30, then walks out through the portal. It never calls rand().
std::vector<Key> botKeys(const MazeGameControl& control)
{
    if (control.gameStatus < EFirstPersonView)
        return {Key::Enter};
    const MazeGameState& w = *control.gameState;
    const Player& p = w.player;
    // Cells -1..17 as (i + 1) * 19 + j + 1; walking distances from the player's cell.
    auto cellAt = [](float x, float y) { return ((int)x + 1) * 19 + (int)y + 1; };
    const int start = cellAt(p.pos.x, p.pos.y);
    // A cell out of reach comes straight from the player's: the bot walks
    // right at it. (A step off one end of a row lands on the next row's other
    // end: ring cells both, open floor, never on the way to anything.)
    std::vector<int> dist(361, -1), from(361, start), queue{start};
    dist[start] = 0;
    for (size_t q = 0; q < queue.size(); q++) {
        const int c = queue[q];
        for (int m : {c - 19, c + 19, c - 1, c + 1})
            if (m >= 0 && m < 361 && dist[m] < 0 && w.maze(m / 19 - 1, m % 19 - 1) <= 0) {
                dist[m] = dist[c] + 1;
                from[m] = c;
                queue.push_back(m);
            }
    }
    // The target: beyond the open portal, or under the droplet nearest to
    // catch, the higher (with longer to fall) when two are close.
    float tx = 17.6f, ty = 15.5f, best = 1e9f;
    for (int k = 0; k < w.drops.count() && p.dropsCaught < 30; k++) {
        const PointObject& d = w.drops[k];
        // Under a bird on the flock box's far edge (18) there is no cell: take the ring's corner.
        const int c = d.pos.x < 18 && d.pos.y < 18 ? cellAt(d.pos.x, d.pos.y) : 0;
        if (d.alive && dist[c] >= 0 && dist[c] - d.pos.z < best) {
            best = dist[c] - d.pos.z;
            tx = d.pos.x;
            ty = d.pos.y;
        }
    }
    // Head for the centre of the next cell on the path, or for the target once it is in the next cell.
    int target = cellAt(tx, ty), c = target;
    while (c != start && from[c] != start)
        c = from[c];
    const bool final = c == target;
    const float dx = (final ? tx : c / 19 - 0.5f) - p.pos.x, dy = (final ? ty : c % 19 - 0.5f) - p.pos.y;
    // Speeds decay by 0.8 a tick: a speed v still carries the player 5 v, a turn rate t turns the view 5 t.
    const float d = std::hypot(dx, dy), v = p.movingForward, room = d + (final ? 0.0f : 0.6f);
    if (final && d < 0.1f) // under the droplet: wait
        return {};
    const float err = std::remainder(std::atan2(dx, dy) * 57.29578f - p.yaw, 360.0f);
    const float rest = err - 5 * p.turningYaw; // what the running turn leaves
    const Key turn = rest > 0 ? Key::Right : Key::Left;
    std::vector<Key> keys;
    if (std::abs(rest) > 10)
        keys.push_back(turn);
    if (std::abs(rest) > 30) {
        keys.push_back(turn);
        return keys;
    }
    if (5 * v > room + 0.2f || (std::abs(err) > 60 && v > 0.15f))
        keys.push_back(Key::Down);
    else if (std::abs(err) < 25 && 5 * (v + 0.1f) <= room)
        keys.push_back(Key::Up);
    return keys;
}

// Whether the rules can put value v into cell (i, j): open floor on the ring;
// walls, hit walls and, inside the outer wall, floor of the three kinds; the
// portal once it is open.
bool cellAllowed(int i, int j, int v, bool portalOpen)
{
    if (portalOpen && j == 15 && (i == 15 || i == 16))
        return v == -3;
    if (i < 0 || j < 0 || i > 16 || j > 16)
        return v == 0;
    if (v == 1 || (v >= 5 && v <= 8))
        return true;
    const bool inner = i % 16 != 0 && j % 16 != 0;
    return inner && (v == 0 || v == -2 || v == -7);
}

// Presses the keys as the game's key callbacks do, runs one tick and checks
// the world against the rules that hold after every tick of every game (the
// cells hold only values the rules put there; the player stands on open
// floor inside the grid): what is broken, or "" when nothing is. What a
// single tick does on each screen, to droplets and to catches, core_tests
// checks; a new game's world, the level rules there and game_tests' keys.
std::string playTick(MazeGameControl& control, const std::vector<Key>& keys)
{
    for (Key key : keys) {
        if (key == Key::Enter)
            control.pushOK();
        if (key == Key::Space)
            control.shoot();
        if (key == Key::Up || key == Key::Down)
            control.move(key == Key::Up ? 1 : -1, 0, 0);
        if (key == Key::Left || key == Key::Right)
            control.turn(key == Key::Right ? 1 : -1);
    }
    const MazeGameState& w = *control.gameState;
    const Player& p = w.player;
    control.cycle();
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            if (!cellAllowed(i, j, w.maze(i, j), p.dropsCaught >= 30))
                return "a cell holds a value the rules never put there";
    // The game is won on the step out through the portal: the player never reaches the ring, let alone
    // beyond.
    if (!std::isfinite(p.pos.x + p.pos.y + p.yaw) || !onGrid(p.pos.x, p.pos.y) ||
        w.maze((int)p.pos.x, (int)p.pos.y) > 0)
        return "the player is lost or stands in a wall";
    return "";
}

class Soak : public ::testing::TestWithParam<int> { };

TEST_P(Soak, RandomKeysAndBotPlayKeepTheRules)
{
    std::minstd_rand rng(GetParam());
    auto below = [&rng](int n) { return (int)(rng() % n); };
    srand(GetParam());
    MazeGameControl control;
    control.init();
    const int ticks = std::getenv("DEW_SOAK_TICKS") ? std::atoi(std::getenv("DEW_SOAK_TICKS")) : 20000;
    int left = 0, games = 0;
    bool bot = false;
    for (int t = 0; t < ticks; t++) {
        left--;
        if (left <= 0) {
            bot = !bot;
            left = bot ? 300 + below(1700) : 50 + below(350);
        }
        // Up to three random keys, or a burst of Up or Down that makes a step of a cell or more.
        std::vector<Key> keys;
        if (bot)
            keys = botKeys(control);
        else
            for (int k = below(4); k > 0; k--)
                keys.push_back((Key)below(6));
        if (!bot && control.gameStatus >= EFirstPersonView && below(150) == 0) {
            const Key key = below(3) != 0 ? Key::Up : Key::Down;
            keys.assign(10 + below(8), key);
        }
        const bool finished = control.gameStatus == EFinishMsg;
        ASSERT_EQ(playTick(control, keys), "") << "seed " << GetParam() << ", frame " << control.frame;
        if (!finished && control.gameStatus == EFinishMsg)
            games++;
    }
    std::printf("seed %d: %d games won in %d ticks\n", GetParam(), games, ticks);
    // The bot wins a game in far fewer ticks, random keys and all: a second, a
    // third game and more.
    EXPECT_GE(games, ticks / 6000);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Soak, ::testing::Range(1, 4));

} // namespace
