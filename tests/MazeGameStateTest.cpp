// The world: building a level and the rules of a tick.
#include <gtest/gtest.h>

#include <vector>

#include "CoreTestHelpers.h"
#include "MazeGameControl.h"
#include "MazeGameState.h"

namespace {

// A world on an all-open grid, its birds parked far away at (17.5, 17.5, 4),
// its pick-up at (12.5, 12.5) and its player at rest at (5, 5), in play.
struct ControlledWorld {
    MazeGameControl ctrl;
    MazeGameState* w;
    ControlledWorld()
    {
        srand(1);
        ctrl.init();
        w = ctrl.gameState;
        fillMaze(w->maze, 0);
        parkFlock(w->boids, Vector3f(17.5f, 17.5f, 4));
        w->thingy.pos = Vector3f(12.5f, 12.5f, 0.5f);
        w->player.pos = Vector3f(5, 5, 0);
    }
    void dropAt(float x, float y, float z, float vz = 0)
    {
        w->drops.add(PointObject(Vector3f(x, y, z), Vector3f(0, 0, vz)));
    }
    // One tick from the first-person view; returns the screen it left.
    MazeGameStatus tick()
    {
        ctrl.gameStatus = EFirstPersonView;
        w->behave();
        return ctrl.gameStatus;
    }
};

bool caughtAt(float x, float y, float z, Vector3f player = Vector3f(5, 5, 0))
{
    ControlledWorld c;
    c.w->player.pos = player;
    c.dropAt(x, y, z);
    c.tick();
    return c.w->player.dropsCaught == 1 && c.w->player.wowed && !c.w->drops[0].alive;
}

} // namespace

TEST(MazeGameState, ConstructionDrawsFlockThenMazeThenAreasThenPickUp)
{
    for (unsigned seed = 600; seed < 610; seed++) {
        srand(seed);
        std::vector<int> r(1200);
        for (int& k : r)
            k = rand();
        RefMaze ref;
        ref.makeRandom();
        ref.addSquare(4, 5);
        ref.addSquare(3, 3);
        ref.addSquare(2, 4);
        ref.addSquare(3, 1);
        for (int j = 2; j <= 5; j++)
            ref.at(1, j) = 0;
        ref.at(1, 1) = -2;
        int wx = rand() % 15 + 1;
        int wy = rand() % 15 + 1;
        ref.at(wx, wy) = 0;
        int next = rand();

        srand(seed);
        MazeGameControl ctrl;
        MazeGameState w(&ctrl);
        EXPECT_EQ(rand(), next) << "seed " << seed;
        EXPECT_EQ(cellsDiffering(w.maze, ref), 0) << "seed " << seed;
        EXPECT_EQ(w.thingy.pos.x, wx + 0.5f);
        EXPECT_EQ(w.thingy.pos.y, wy + 0.5f);
        EXPECT_EQ(w.thingy.pos.z, 0.5f);
        EXPECT_TRUE(w.thingy.alive);
        EXPECT_EQ(w.thingy.frame, 0);
        ASSERT_EQ(w.boids.count(), 200);
        auto frac = [&](int k) { return (float)((r[k] % 100000) / 100000.0); };
        for (int b = 0; b < 200; b++) {
            ASSERT_EQ(w.boids[b].pos.x, 0.0f + frac(6 * b) * 18.0f) << "bird " << b;
            ASSERT_EQ(w.boids[b].pos.z, 1.0f + frac(6 * b + 2) * 3.0f) << "bird " << b;
            ASSERT_EQ(w.boids[b].v.y, frac(6 * b + 4) * 0.1f - 0.05f) << "bird " << b;
        }
        EXPECT_EQ(w.player.pos.x, 1.5f);
        EXPECT_EQ(w.player.pos.y, 1.5f);
        EXPECT_EQ(w.bullets.count() + w.drops.count(), 0);
    }
}

TEST(MazeGameState, SpawnDrawsParityThenBird)
{
    for (unsigned seed = 1; seed <= 8; seed++) {
        srand(seed);
        MazeGameControl ctrl;
        MazeGameState w(&ctrl);
        srand(seed);
        int r0 = rand(), r1 = rand(), r2 = rand();
        srand(seed);
        w.behave();
        if (r0 % 2 == 0) {
            ASSERT_EQ(w.drops.count(), 1);
            const PointObject& d = w.drops[0];
            const PointObject& bird = w.boids[r1 % 200];
            EXPECT_TRUE(d.pos.x == bird.pos.x && d.pos.y == bird.pos.y && d.pos.z == bird.pos.z);
            EXPECT_EQ(d.v.z, 0.0f);
            EXPECT_EQ(rand(), r2);
        } else {
            EXPECT_EQ(w.drops.count(), 0);
            EXPECT_EQ(rand(), r1);
        }
    }
}

TEST(MazeGameState, CatchBoxIsStrictAt03AndUsesTheFixedHeight)
{
    EXPECT_TRUE(caughtAt(4.71f, 5.29f, 0.6f));  // 0.29 on both axes
    EXPECT_TRUE(caughtAt(5.29f, 4.71f, 0.01f));
    EXPECT_FALSE(caughtAt(4.7f, 5, 0.6f));  // 5 - 4.7f is just over 0.3
    EXPECT_FALSE(caughtAt(5, 5.3f, 0.6f));
    EXPECT_FALSE(caughtAt(5, 5, 1.0f));
    EXPECT_FALSE(caughtAt(5, 5, 0.0f));
    EXPECT_FALSE(caughtAt(5, 5, 1.5f));
    EXPECT_TRUE(caughtAt(5, 5, 0.6f, Vector3f(5, 5, 3)));  // not the player's own z
    EXPECT_FALSE(caughtAt(5, 5, 1.2f, Vector3f(5, 5, 1)));
    // Differences of exactly 0.3f (a hair above 0.3) are not caught either.
    ASSERT_EQ((0.5f + 0.3f) - 0.5f, 0.3f);
    ASSERT_EQ(0.5f - (0.5f - 0.3f), 0.3f);
    EXPECT_FALSE(caughtAt(0.5f + 0.3f, 0.5f, 0.6f, Vector3f(0.5f, 0.5f, 0)));
    EXPECT_FALSE(caughtAt(0.5f, 0.5f - 0.3f, 0.6f, Vector3f(0.5f, 0.5f, 0)));
}

TEST(MazeGameState, CatchTestsPositionsAfterThisTicksMoves)
{
    ControlledWorld c;
    c.w->player.pos.y = 4.65f;
    c.w->player.movingForward = 0.1f;  // walks to 4.75, within 0.3 of 5
    c.dropAt(5, 5, 1.1f, -0.2f);      // falls to 0.9, within 0.5 of 0.5
    c.tick();
    EXPECT_EQ(c.w->player.dropsCaught, 1);
}

TEST(MazeGameState, PlayerMovesBeforeBulletsBreakWalls)
{
    ControlledWorld c;
    c.w->maze(5, 6) = 8;  // one hit from breaking
    c.w->bullets.add(PointObject(Vector3f(5.5f, 6.5f, 0.3f), Vector3f(0, 0.4f, 0)));
    c.w->player.pos = Vector3f(5.5f, 5.9f, 0);
    c.w->player.movingForward = 0.1f;
    c.tick();
    EXPECT_EQ(c.w->maze(5, 6), -7);
    EXPECT_NEAR(c.w->player.pos.y, 5.95f, 1e-5);  // stopped by the wall still standing
}

TEST(MazeGameState, LowerIndexIsCaughtFirstOnePerTick)
{
    ControlledWorld c;
    c.dropAt(5, 5, 0.6f);
    c.dropAt(5.1f, 5, 0.6f);
    c.tick();
    EXPECT_EQ(c.w->player.dropsCaught, 1);
    EXPECT_FALSE(c.w->drops[0].alive);
    EXPECT_TRUE(c.w->drops[1].alive);
    c.tick();
    EXPECT_EQ(c.w->player.dropsCaught, 2);
    EXPECT_EQ(c.w->drops[0].pos.x, 5.1f);
    EXPECT_FALSE(c.w->drops[0].alive);
}

TEST(MazeGameState, MilestonesAtExactlyTenAndThirty)
{
    ControlledWorld c;
    c.w->maze(15, 15) = 1;
    c.w->maze(16, 15) = 1;
    for (int n = 1; n <= 32; n++) {
        c.dropAt(5, 5, 0.6f);
        MazeGameStatus s = c.tick();
        ASSERT_EQ(c.w->player.dropsCaught, n);
        EXPECT_EQ(s, n == 10 ? EBonusMapMsg : n == 30 ? EBonusPortalMsg : EFirstPersonView)
            << "catch " << n;
        EXPECT_EQ(c.w->player.canViewMap, n >= 10) << "catch " << n;
        EXPECT_EQ(c.w->maze(15, 15), n >= 30 ? -3 : 1) << "catch " << n;
        EXPECT_EQ(c.w->maze(16, 15), n >= 30 ? -3 : 1) << "catch " << n;
    }
}

TEST(MazeGameState, PickUpIsFoundWithin03OnBothAxesOnce)
{
    const float spots[3][2] = {{5.21f, 5.79f}, {5.2f, 5.5f}, {5.5f, 5.8f}};
    for (int k = 0; k < 3; k++) {
        ControlledWorld c;
        c.w->thingy.pos = Vector3f(5.5f, 5.5f, 0.5f);
        c.w->player.pos = Vector3f(spots[k][0], spots[k][1], 0);
        bool found = k == 0;  // 5.2f and 5.8f lie just over 0.3 from 5.5
        EXPECT_EQ(c.tick(), found ? EBonusWeaponMsg : EFirstPersonView) << k;
        EXPECT_EQ(c.w->player.canShoot, found);
        EXPECT_EQ(c.w->thingy.alive, !found);
        EXPECT_EQ(c.tick(), EFirstPersonView) << "never reported twice";
    }
}

TEST(MazeGameState, FinishNeedsXOrYStrictlyAbove17)
{
    const float spots[4][2] = {{17, 17}, {17.01f, 5}, {5, 17.01f}, {16.5f, 16.5f}};
    for (int k = 0; k < 4; k++) {
        ControlledWorld c;
        c.w->player.pos = Vector3f(spots[k][0], spots[k][1], 0);
        EXPECT_EQ(c.tick(), (k == 1 || k == 2) ? EFinishMsg : EFirstPersonView) << k;
    }
}

TEST(MazeGameState, ReportsInOrderDropletWeaponFinishAndKeepAllEffects)
{
    ControlledWorld a;
    a.w->player.dropsCaught = 9;
    a.w->thingy.pos = Vector3f(5, 5, 0.5f);
    a.dropAt(5, 5, 0.6f);
    EXPECT_EQ(a.tick(), EBonusWeaponMsg);
    EXPECT_TRUE(a.w->player.canViewMap && a.w->player.canShoot);

    ControlledWorld b;
    b.w->player.dropsCaught = 29;
    b.w->player.pos = Vector3f(17.5f, 5.5f, 0);
    b.w->thingy.pos = Vector3f(17.5f, 5.5f, 0.5f);
    b.dropAt(17.5f, 5.5f, 0.6f);
    EXPECT_EQ(b.tick(), EFinishMsg);
    EXPECT_TRUE(b.w->player.canShoot);
    EXPECT_EQ(b.w->player.dropsCaught, 30);
    EXPECT_EQ(b.w->maze(16, 15), -3);
}
