// SPDX-License-Identifier: MIT
// The game's logic: maze generator, player motion, flock, bullets, droplets,
// the world's rules, the controller's screens and commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "MazeGameControl.h"
#include "MazeGameState.h"

static bool same(const Vector3f& a, const Vector3f& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
static float frac(int r)
{
    return (float)((r % 100000) / 100000.0);
}

// An open grid with walls (1) in the memory on both sides: reads beyond the
// cells see walls there, and untouched() shows any write.
struct GuardedMaze {
    int before[400];
    Labyrinth maze;
    int after[400];
    GuardedMaze()
        : maze()
    {
        for (int k = 0; k < 400; k++)
            before[k] = after[k] = 1;
    }
    bool untouched() const
    {
        GuardedMaze fresh;
        return std::memcmp(this, &fresh, sizeof fresh) == 0;
    }
};
static_assert(sizeof(GuardedMaze) == 1161 * sizeof(int), "the guards must touch the grid");

TEST(Labyrinth, MakeRandomCarvesAPerfectMazeInsideTheOuterWall)
{
    for (unsigned seed = 1; seed <= 30; seed++) {
        Labyrinth m;
        srand(seed);
        m.MakeRandom();
        int open = 0, edges = 0, reached = 0;
        for (int i = -1; i <= 17; i++)
            for (int j = -1; j <= 17; j++) {
                bool ring = i < 0 || i > 16 || j < 0 || j > 16;
                bool wall =
                    i == 0 || i == 16 || j == 0 || j == 16 || (i % 2 == 0 && j % 2 == 0); // outer wall, posts
                ASSERT_TRUE(ring ? m(i, j) == 0
                        : wall   ? m(i, j) == 1
                                 : m(i, j) == 0 || m(i, j) == 1)
                    << i << "," << j;
                if (!ring && m(i, j) == 0)
                    open++, edges += (m(i + 1, j) == 0) + (m(i, j + 1) == 0);
            }
        // Flood fill from (1, 1): connected with one edge fewer than cells is a tree.
        bool seen[17][17] = {};
        std::function<void(int, int)> fill = [&](int i, int j) {
            if (m(i, j) == 0 && !seen[i][j])
                seen[i][j] = true, reached++, fill(i + 1, j), fill(i - 1, j), fill(i, j + 1), fill(i, j - 1);
        };
        fill(1, 1);
        EXPECT_TRUE(open == 127 && reached == 127 && edges == 126)
            << open << " open, " << reached << " reached, " << edges << " edges";
    }
}

// One tick on open floor: the player walks along the heading it had before
// this tick's turn and with the speed it had before the decay; then both
// speeds decay, the cooldown counts to 3 and stays there, the catch flag clears.
TEST(Player, ATickMovesThenTurnsThenDecaysThenCountsTheCooldown)
{
    Labyrinth open{};
    Player p;
    p.pos = Vector3f(5.5f, 5.5f, 0);
    p.movingForward = 0.5f;
    p.turningYaw = 90;
    p.doingShot = true;
    p.shotFrame = 1;
    double x = 5.5, y = 5.5, yaw = 0, forward = 0.5, turning = 90;
    for (int t = 1; t <= 3; t++) { // first (5.5, 6) at yaw 90, then (5.9, 6) at yaw 162
        p.wowed = true;
        p.behave(open);
        x += forward * std::sin(yaw * 3.1415 / 180), y += forward * std::cos(yaw * 3.1415 / 180);
        yaw += turning, forward *= 0.8, turning *= 0.8;
        EXPECT_TRUE(std::fabs(p.pos.x - x) < 1e-5 && std::fabs(p.pos.y - y) < 1e-5 && std::fabs(p.yaw - yaw) < 1e-4)
            << "tick " << t << ": " << p.pos.x << "," << p.pos.y << " at yaw " << p.yaw;
        EXPECT_TRUE(std::fabs(p.movingForward - forward) < 1e-6 && std::fabs(p.turningYaw - turning) < 1e-4)
            << "tick " << t << ": speeds " << p.movingForward << ", " << p.turningYaw;
        EXPECT_TRUE(p.shotFrame == std::min(t + 1, 3) && p.doingShot == (t == 1) && !p.wowed)
            << "tick " << t << ": shotFrame " << p.shotFrame;
    }
}

// Both speeds decay by 0.8 and then stop once strictly below 0.01: 0.0125
// decays to 0.01f, just under 0.01, and stops; a speed one float higher goes on.
TEST(Player, SpeedsDecayThenStopBelowTheRestCutOff)
{
    Labyrinth open{};
    const float above = std::nextafter(0.0125f, 1.0f);
    ASSERT_TRUE((float)(0.0125f * 0.8) == 0.01f && (float)(above * 0.8) > 0.01);
    const float speeds[][2] = {{0.015f, 0.012f}, {-0.015f, -0.012f}, {0.0125f, 0}, {-0.0125f, 0},
        {above, 0.01f}, {-above, -0.01f}, {4, 3.2f}, {0.0096f, 0}};
    for (auto& s : speeds) {
        Player p;
        p.movingForward = p.turningYaw = s[0];
        p.behave(open);
        EXPECT_TRUE(s[1] == 0 ? p.movingForward == 0 && p.turningYaw == 0
                              : std::fabs(p.movingForward - s[1]) < 1e-8 && std::fabs(p.turningYaw - s[1]) < 1e-8)
            << s[0] << " became " << p.movingForward << " and " << p.turningYaw;
    }
}

// Walls fill row 3 and column 3. A blocked step is halved, and a halved step
// strictly inside (-0.02, 0.02) becomes 0, even where it would fit.
TEST(Player, BlockedStepsAreHalvedUntilTheyFitOrVanish)
{
    GuardedMaze g; // walls in the memory beyond the grid too
    for (int k = -1; k <= 17; k++)
        g.maze(3, k) = g.maze(k, 3) = 1;
    const float justAbove = std::nextafter(0.04f, 1.0f); // halves to just above 0.02
    // x, y, yaw, speed, distance moved along the heading's axis
    const float cases[][5] = {{2.9f, 5.5f, 90, 0.1f, 0.05f},
        {2.97f, 5.5f, 90, 0.1f, 0}, // 0.1, 0.05, 0.025 blocked, 0.0125 cut to 0
        {4.03f, 5.5f, 90, -0.1f, 0}, {5.5f, 4.11f, 0, -0.1f, -0.05f}, {5.5f, 2.97f, 0, 0.1f, 0},
        {2.955f, 5.5f, 90, 0.03f, 0}, {4.045f, 5.5f, 90, -0.03f, 0}, // 0.015 would fit
        {2.95f, 5.5f, 90, 0.04f, 0}, {2.95f, 5.5f, 90, justAbove, 0.02f}, // 0.02f is below 0.02
        {2.935f, 5.5f, 90, 0.05f, 0.025f}, {4.065f, 5.5f, 90, -0.05f, -0.025f}, // each probe 0.02 out
        {5.5f, 2.935f, 0, 0.05f, 0.025f}, {5.5f, 4.065f, 180, 0.05f, -0.025f},
        {2.6f, 5.5f, 90, 1.6f, 0.2f}, {2.975f, 5.5f, 90, 1.05f, 0}, // long steps ending beyond the wall
        {3.5f, 5.5f, 90, 0.1f, 0}, // in a wall no step fits, not even 0
        {-1.5f, 5.5f, 90, -1.2f, -1.2f}, {17.5f, 5.5f, 90, 3, 3}}; // off the grid is open floor
    Player p;
    for (auto& c : cases) {
        p.pos = Vector3f(c[0], c[1], 0);
        p.yaw = c[2];
        p.movingForward = c[3];
        p.behave(g.maze);
        EXPECT_NEAR(c[2] == 90 ? p.pos.x - c[0] : p.pos.y - c[1], c[4], 1e-6)
            << c[0] << "," << c[1] << " at " << c[3];
    }
}

// Two birds flying +y at 0.1, dx apart after the move, in a box too wide to wrap.
static Boids pairAfterTick(float dx)
{
    Boids f(2, Vector3f(-50, -50, -50), Vector3f(50, 50, 50));
    f[0] = PointObject(Vector3f(0, 0, 0), Vector3f(0, 0.1f, 0));
    f[1] = PointObject(Vector3f(dx, 0, 0), Vector3f(0, 0.1f, 0));
    f.behave();
    return f;
}

TEST(Boids, NeighbourClassesByDistanceAndVelocitiesChangedInPlace)
{
    Boids cohering = pairAfterTick(0.5f); // d2 0.25: cohesion at weight 0.1, alignment zero
    EXPECT_NEAR(cohering[0].v.x, 0.1 * 0.01 / std::sqrt(0.0101), 1e-7);
    // Bird 1 aligns with bird 0's new velocity, which outweighs its pull back
    // toward bird 0; with the old velocity it would only be pulled.
    EXPECT_GT(cohering[1].v.x, 0.0f);
    Vector3f away = pairAfterTick(0.2f)[0].v; // d2 0.04: separation at weight 1
    EXPECT_NEAR(away.x, -0.1 / std::sqrt(2.0), 1e-6);
    EXPECT_NEAR(away.y, 0.1 / std::sqrt(2.0), 1e-6);
    EXPECT_TRUE(same(pairAfterTick(1.0f)[0].v, Vector3f(0, 0.1f, 0))) << "exactly 1 apart: no neighbour";
}

TEST(Boids, WrapToTheOppositeFaceExactlyAndNeverSeeAcrossIt)
{
    Boids f(3, Vector3f(0, 0, 1), Vector3f(18, 18, 4));
    f[0] = PointObject(Vector3f(17.95f, 0.02f, 1.02f), Vector3f(0.1f, -0.05f, -0.05f));
    f[1] = PointObject(Vector3f(18, 9, 1), Vector3f()); // on the faces: stays
    f[2] = PointObject(Vector3f(0.05f, 9, 1), Vector3f()); // 0.05 from f[1] across the wrap
    f.behave();
    EXPECT_TRUE(same(f[0].pos, Vector3f(0, 18, 4)) && same(f[1].pos, Vector3f(18, 9, 1)));
    // Not neighbours, so both stay at rest: a zero velocity normalises to zero.
    EXPECT_TRUE(same(f[1].v, Vector3f()) && same(f[2].v, Vector3f()));
}

TEST(Bullets, WearInnerWallsUntilTheyBreakAndOuterWallsToEight)
{
    GuardedMaze g;
    const int cells[5][2] = {{5, 5}, {0, 5}, {16, 7}, {9, 0}, {11, 16}}; // an inner wall, then the outer wall
    const int inner[6] = {5, 6, 7, 8, -7, -7}, outer[6] = {5, 6, 7, 8, 8, 8};
    for (int n = 0; n < 5; n++) {
        int& cell = g.maze(cells[n][0], cells[n][1]) = 1;
        for (int k = 0; k < 6; k++) {
            Bullets b; // the hit is tested before the bullet moves on out of the cell
            b.add(PointObject(Vector3f(cells[n][0] + 0.5f, cells[n][1] + 0.8f, 0.3f), Vector3f(0, 0.4f, 0)));
            b.behave(g.maze);
            EXPECT_EQ(b.count(), n == 0 && k == 5) << "a bullet that hits is gone at once";
            EXPECT_EQ(cell, (n ? outer : inner)[k]) << cells[n][0] << "," << cells[n][1] << " hit " << k + 1;
        }
        cell = 0;
    }
    EXPECT_TRUE(g.untouched()) << "no other cell changed";
}

// Floor of every kind, and beyond the grid everything short of the limit
// square (x or y at -17 or 34), lets bullets fly on.
TEST(Bullets, SurvivorsKeepTheirOrderUpToTheLimitSquare)
{
    GuardedMaze g;
    const float at[12][2] = {{1.5f, 1.5f}, {3.5f, 3.5f}, {4.5f, 4.5f}, {6.5f, 6.5f}, {7.5f, 7.5f}, {18, 5},
        {-2, 5}, {33.9f, -16.9f}, {34, 5}, {5, 34}, {-17, 5}, {5, -17}};
    const int cells[5] = {-2, 1, 1, -3, -7}; // under the first five: start, two walls, portal, broken wall
    Bullets b;
    for (int k = 0; k < 12; k++) {
        if (k < 5)
            g.maze((int)at[k][0], (int)at[k][1]) = cells[k];
        b.add(PointObject(Vector3f(at[k][0], at[k][1], k), Vector3f(0.1f, 0, 0))); // z tells them apart
    }
    b.behave(g.maze);
    std::vector<float> left;
    for (int k = 0; k < b.count(); k++)
        left.push_back(b[k].pos.z);
    EXPECT_EQ(left, (std::vector<float>{0, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(b[0].pos.x == 1.5f + 0.1f && b[0].frame == 1);
}

TEST(Drops, FallFromRestAndVanishOnlyBelowTheFloor)
{
    Drops d;
    for (float z : {1.0f, 4.0f, 0.0f, 3.0f})
        d.add(PointObject(Vector3f(z, z, z), Vector3f()));
    d.behave();
    ASSERT_EQ(d.count(), 4) << "exactly on the floor is not below it";
    d[3].alive = false; // caught: removed by the next tick
    for (int t = 2; t <= 29; t++, d.behave())
        ASSERT_EQ(d.count(), t <= 2 ? 4 : t <= 15 ? 2 : 1) << "before tick " << t;
    EXPECT_EQ(d.count(), 0) << "from height 4, gone on the 29th tick";
}

// A world in play on an all-open grid, its birds held far off at
// (17.5, 17.5, 4), its pick-up at (12.5, 12.5) and the player at (x, y).
struct World {
    MazeGameControl ctrl;
    MazeGameState* w;
    explicit World(float x = 5, float y = 5)
    {
        srand(1);
        ctrl.init();
        w = ctrl.gameState;
        w->maze = Labyrinth();
        w->boids = Boids(200, Vector3f(17.5f, 17.5f, 4), Vector3f(17.5f, 17.5f, 4)); // a box of one point
        w->thingy.pos = Vector3f(12.5f, 12.5f, 0.5f);
        w->player.pos = Vector3f(x, y, 0);
    }
    void drop(float x, float y, float z) { w->drops.add(PointObject(Vector3f(x, y, z), Vector3f())); }
    MazeGameStatus tick()
    {
        ctrl.gameStatus = EFirstPersonView;
        w->behave();
        return ctrl.gameStatus;
    }
};

// The maze as the rules carve it: walls in the block, the ring and room (1, 1)
// open, then a random depth-first walk over the rooms, each step drawn as dx,
// then dy, until it is straight and leads to a room not yet visited.
static void carve(Labyrinth& m, int x, int y)
{
    while (m(x - 2, y) || m(x + 2, y) || m(x, y - 2) || m(x, y + 2)) {
        int dx = rand() % 3 - 1;
        int dy = rand() % 3 - 1;
        if ((dx == 0) == (dy == 0) || m(x + 2 * dx, y + 2 * dy) == 0)
            continue;
        m(x + dx, y + dy) = m(x + 2 * dx, y + 2 * dy) = 0;
        carve(m, x + 2 * dx, y + 2 * dy);
    }
}

static Labyrinth carvedMaze()
{
    Labyrinth m;
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            m(i, j) = i >= 0 && i <= 16 && j >= 0 && j <= 16;
    m(1, 1) = 0;
    carve(m, 1, 1);
    return m;
}

TEST(MazeGameState, BuildAndFirstTickDrawInTheGamesOrder)
{
    for (unsigned seed = 600; seed < 610; seed++) {
        srand(seed);
        std::vector<int> r(1200); // the flock's
        for (int& k : r)
            k = rand();
        Labyrinth ref = carvedMaze();
        const int areas[4][2] = {{4, 5}, {3, 3}, {2, 4}, {3, 1}}; // (3, 1): three values of i
        for (auto& a : areas) {
            int x = rand() % (15 - a[0]) + 1, y = rand() % (15 - a[1]) + 1;
            for (int k = 0; k < a[0] * a[1]; k++)
                ref(x + k % a[0], y + k / a[0]) = 0;
        }
        for (int j = 1; j <= 5; j++)
            ref(1, j) = j == 1 ? -2 : 0;
        int wx = rand() % 15 + 1, wy = rand() % 15 + 1, spawn = rand(), bird = rand(), next = rand();
        ref(wx, wy) = 0;
        MazeGameControl ctrl;
        srand(seed);
        MazeGameState w(&ctrl);
        ASSERT_EQ(std::memcmp(&w.maze, &ref, sizeof ref), 0) << "seed " << seed;
        EXPECT_TRUE(same(w.thingy.pos, Vector3f(wx + 0.5f, wy + 0.5f, 0.5f)) &&
            same(w.player.pos, Vector3f(1.5f, 1.5f, 0)) && w.player.yaw == 0);
        for (int b = 0; b < 200; b++) { // position x, y, z, then velocity x, y, z
            const int* q = &r[6 * b];
            Vector3f pos =
                Vector3f(0, 0, 1) + Vector3f(frac(q[0]), frac(q[1]), frac(q[2])) * Vector3f(18, 18, 3);
            Vector3f v = Vector3f(frac(q[3]), frac(q[4]), frac(q[5])) * 0.1f - Vector3f(0.05f, 0.05f, 0.05f);
            ASSERT_TRUE(same(w.boids[b].pos, pos) && same(w.boids[b].v, v)) << "bird " << b;
        }
        w.behave(); // a droplet when the draw is even, at the bird the next draw picks
        ASSERT_EQ(w.drops.count(), spawn % 2 == 0) << "seed " << seed;
        EXPECT_TRUE(spawn % 2 || (same(w.drops[0].pos, w.boids[bird % 200].pos) && w.drops[0].frame == 0));
        EXPECT_EQ(rand(), spawn % 2 ? bird : next) << "seed " << seed;
    }
}

// Droplets and the pick-up are touched within 0.3 (strictly) on both floor axes
// and 0.5 of the eye's height 0.5; the finish needs x or y above 17; the
// milestones fall on exactly 10 and 30.
TEST(MazeGameState, RulesOfATickReportDropletThenWeaponThenFinish)
{
    // the player, a droplet at rest (z -1: none), the pick-up, droplets caught before
    struct Row {
        float x, y, dx, dy, dz, tx, ty;
        int before;
        MazeGameStatus status;
        int caught;
    };
    const MazeGameStatus play = EFirstPersonView;
    const Row rows[] = {{5, 5, 4.71f, 5.29f, 0.6f, 12.5f, 12.5f, 0, play, 1},
        {5, 5, 5, 5, 0.9f, 12.5f, 12.5f, 0, play, 1},
        // 0.8f - 0.5f is exactly 0.3f: not within 0.3
        {0.5f, 0.5f, 0.8f, 0.5f, 0.6f, 12.5f, 12.5f, 0, play, 0},
        {0.5f, 0.8f, 0.5f, 0.5f, 0.6f, 12.5f, 12.5f, 0, play, 0}, {5, 5, 5, 5, 1, 12.5f, 12.5f, 0, play, 0},
        {5, 5, 5, 5, 0, 12.5f, 12.5f, 0, play, 0},
        {12.21f, 12.79f, 5, 5, -1, 12.5f, 12.5f, 0, EBonusWeaponMsg,
            0}, // 12.2f and 12.8f lie just over 0.3 away
        {12.2f, 12.5f, 5, 5, -1, 12.5f, 12.5f, 0, play, 0},
        {12.5f, 12.8f, 5, 5, -1, 12.5f, 12.5f, 0, play, 0}, {17, 17, 5, 5, -1, 12.5f, 12.5f, 0, play, 0},
        {17.01f, 5, 5, 5, -1, 12.5f, 12.5f, 0, EFinishMsg, 0},
        {5, 17.01f, 5, 5, -1, 12.5f, 12.5f, 0, EFinishMsg, 0},
        {5, 5, 5, 5, 0.6f, 12.5f, 12.5f, 9, EBonusMapMsg, 10}, {5, 5, 5, 5, 0.6f, 12.5f, 12.5f, 10, play, 11},
        {5, 5, 5, 5, 0.6f, 12.5f, 12.5f, 29, EBonusPortalMsg, 30},
        {5, 5, 5, 5, 0.6f, 12.5f, 12.5f, 30, play, 31}, {5, 5, 5, 5, 0.6f, 5, 5, 9, EBonusWeaponMsg, 10},
        {17.5f, 5.5f, 17.5f, 5.5f, 0.6f, 17.5f, 5.5f, 29, EFinishMsg, 30}};
    for (const Row& r : rows) {
        World c(r.x, r.y);
        c.w->player.dropsCaught = r.before;
        c.w->thingy.pos = Vector3f(r.tx, r.ty, 0.5f);
        c.drop(r.dx, r.dy, r.dz);
        EXPECT_EQ(c.tick(), r.status)
            << "player at " << r.x << "," << r.y << ", droplet at " << r.dx << "," << r.dy << "," << r.dz;
        const Player& p = c.w->player;
        EXPECT_TRUE(p.dropsCaught == r.caught && p.wowed == (r.caught > r.before) && p.canViewMap == (r.caught == 10) &&
            p.canShoot == (r.tx != 12.5f || r.status == EBonusWeaponMsg) &&
            c.w->maze(15, 15) + c.w->maze(16, 15) == (r.caught == 30 ? -6 : 0))
            << "every effect stays";
        EXPECT_TRUE(r.status != EBonusWeaponMsg || c.tick() == play) << "the pick-up is found only once";
    }
}

TEST(MazeGameState, OneCatchPerTickLowerIndexFirst)
{
    World c;
    c.drop(5, 5, 0.6f);
    c.drop(5.1f, 5, 0.6f);
    c.tick();
    EXPECT_TRUE(c.w->player.dropsCaught == 1 && !c.w->drops[0].alive && c.w->drops[1].alive);
}

// For each screen: whether a tick advances the world, whether the arrows
// act, and where Enter leads.
TEST(MazeGameControl, ScreenTable)
{
    struct Row {
        MazeGameStatus from;
        bool map;
        MazeGameStatus to;
    };
    const Row rows[] = {{ETitle1Msg, false, ETitle2Msg}, {ETitle2Msg, false, ETitle3Msg},
        {ETitle3Msg, false, EFirstPersonView}, {EBonusMapMsg, true, EFirstPersonView},
        {EBonusPortalMsg, true, EFirstPersonView}, {EBonusWeaponMsg, false, EFirstPersonView},
        {EFirstPersonView, false, EFirstPersonView}, {EFirstPersonView, true, EMapView},
        {EMapView, true, EFirstPersonView}, {EFinishMsg, true, ETitle1Msg}};
    World c;
    for (const Row& r : rows) {
        c.ctrl.gameStatus = r.from;
        Player& p = c.ctrl.gameState->player;
        p.canViewMap = r.map;
        p.movingForward = p.turningYaw = 0;
        bool play = r.from >= EFirstPersonView;
        const int aged = c.ctrl.gameState->thingy.frame; // the pick-up ages on every tick of the world
        c.ctrl.cycle();
        EXPECT_EQ(c.ctrl.gameState->thingy.frame - aged, play) << "tick on " << r.from;
        c.ctrl.move(1, 0, 0);
        c.ctrl.turn(-1);
        EXPECT_TRUE(p.movingForward == (play ? 0.1f : 0) && p.turningYaw == (play ? -4 : 0))
            << "arrows on " << r.from;
        srand(77);
        c.ctrl.pushOK();
        EXPECT_EQ(c.ctrl.gameStatus, r.to) << "Enter on " << r.from << (r.map ? " with the map" : "");
    }
    srand(77);
    MazeGameState fresh(nullptr);
    MazeGameState& now = *c.ctrl.gameState;
    EXPECT_TRUE(!std::memcmp(&now.maze, &fresh.maze, sizeof fresh.maze) && same(now.thingy.pos, fresh.thingy.pos) &&
        same(now.boids[199].v, fresh.boids[199].v))
        << "a new world from the running sequence";
    EXPECT_EQ(c.ctrl.frame, 3) << "frame counts the ticks of play across games";
}

TEST(MazeGameControl, ShootingIgnoresTheScreenButNeedsTheWeaponAndCooldown)
{
    World c;
    c.ctrl.gameStatus = EBonusWeaponMsg;
    c.w->player.yaw = 90;
    for (int k = 0; k < 6; k++) { // the first without the weapon; the cooldown runs only in play
        c.w->player.canShoot = k > 0;
        c.ctrl.shoot();
        EXPECT_EQ(c.w->bullets.count(), k == 0 ? 0 : k < 5 ? 1 : 2) << "shot " << k;
        if (k == 2)
            c.ctrl.pushOK();
        c.ctrl.cycle();
    }
    Vector3f v((float)std::sin(90 * 3.1415 / 180) * 0.4, (float)std::cos(90 * 3.1415 / 180) * 0.4, 0);
    EXPECT_TRUE(same(c.w->bullets[1].v, v)) << "3.1415, not pi";
    EXPECT_TRUE(same(c.w->bullets[1].pos, Vector3f(5, 5, 0.3f) + v));
}
