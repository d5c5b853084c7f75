// Bullets, droplets and the pick-up.
#include <gtest/gtest.h>

#include <vector>

#include "CoreTestHelpers.h"
#include "MiscObjects.h"

namespace {

PointObject bulletAt(float x, float y, float vx = 0, float vy = 0.4f)
{
    return PointObject(Vector3f(x, y, 0.3f), Vector3f(vx, vy, 0));
}

// Fires one bullet into cell (i, j) per round; returns the cell after each.
std::vector<int> wearDown(GuardedMaze& g, int i, int j, int rounds)
{
    std::vector<int> seen;
    Bullets b;
    for (int k = 0; k < rounds; k++) {
        b.add(bulletAt(i + 0.5f, j + 0.5f));
        b.behave(g.maze);
        EXPECT_EQ(b.count(), 0) << "a hitting bullet is gone in the same tick";
        seen.push_back(g.maze(i, j));
    }
    return seen;
}

} // namespace

TEST(Bullets, FlyOverOpenFloor)
{
    GuardedMaze g;
    Bullets b;
    b.add(bulletAt(5.5f, 5.5f));
    b.behave(g.maze);
    ASSERT_EQ(b.count(), 1);
    EXPECT_EQ(b[0].pos.y, 5.5f + 0.4f);
    EXPECT_EQ(b[0].frame, 1);

    g.maze(5, 6) = 1;  // hit tested at the position the tick starts from
    b.behave(g.maze);
    ASSERT_EQ(b.count(), 1);
    EXPECT_EQ(g.maze(5, 6), 1);
    b.behave(g.maze);
    EXPECT_EQ(b.count(), 0);
    EXPECT_EQ(g.maze(5, 6), 5);
}

TEST(Bullets, WearInnerWallsToBreakingAndOuterWallsToEight)
{
    GuardedMaze g;
    g.maze(5, 5) = 1;
    EXPECT_EQ(wearDown(g, 5, 5, 5), (std::vector<int>{5, 6, 7, 8, -7}));
    Bullets through;  // the broken wall is floor now
    through.add(bulletAt(5.5f, 5.5f));
    through.behave(g.maze);
    EXPECT_EQ(through.count(), 1);
    const int outer[4][2] = {{0, 5}, {16, 7}, {9, 0}, {11, 16}};
    for (auto& c : outer) {
        g.maze(c[0], c[1]) = 1;
        EXPECT_EQ(wearDown(g, c[0], c[1], 6), (std::vector<int>{5, 6, 7, 8, 8, 8}))
            << c[0] << "," << c[1];
    }
    // No other cell changed, inside the grid or beyond it.
    g.maze(5, 5) = 0;
    for (auto& c : outer)
        g.maze(c[0], c[1]) = 0;
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            ASSERT_EQ(g.maze(i, j), 0);
    EXPECT_TRUE(g.guardsIntact());
}

TEST(Bullets, DeadOnesAreRemovedAndSurvivorsKeepTheirOrder)
{
    GuardedMaze g;
    g.maze(3, 3) = 1;
    g.maze(4, 4) = 1;
    Bullets b;
    b.add(bulletAt(1.5f, 1.5f, 0.1f));  // A
    b.add(bulletAt(3.5f, 3.5f));        // B hits
    b.add(bulletAt(4.5f, 4.5f));        // C hits
    b.add(bulletAt(6.5f, 6.5f, 0.2f));  // D
    b.behave(g.maze);
    ASSERT_EQ(b.count(), 2);
    EXPECT_EQ(b[0].v.x, 0.1f);
    EXPECT_EQ(b[1].v.x, 0.2f);
}

// Mended fault: beyond the grid a bullet flies as over open floor, touches
// no memory outside the grid (walls there would stop it), and dies at the
// limit square: x or y at most -17 or at least 34.
TEST(Bullets, BeyondTheGridFlyToTheLimitSquare)
{
    GuardedMaze g;
    Bullets b;
    b.add(bulletAt(17.5f, 15.5f, 0.4f, 0));   // out through the portal's side
    b.add(bulletAt(-1.5f, 7.5f, -0.4f, 0));   // out the low side
    for (int t = 1; t <= 39; t++)
        b.behave(g.maze);
    ASSERT_EQ(b.count(), 2);  // now x = -1.5 - 0.4 * 39 = -17.1 and 17.5 + 15.6 = 33.1
    b.behave(g.maze);
    ASSERT_EQ(b.count(), 1);  // -17.1 at the start of tick 40
    EXPECT_EQ(b[0].v.x, 0.4f);
    b.behave(g.maze);
    b.behave(g.maze);
    ASSERT_EQ(b.count(), 1);  // 33.9 at the start of tick 42
    b.behave(g.maze);
    EXPECT_EQ(b.count(), 0);  // 34.3 at the start of tick 43
    EXPECT_TRUE(g.guardsIntact());

    const float limits[4][2] = {{34, 5}, {5, 34}, {-17, 5}, {5, -17}};
    for (auto& l : limits) {
        b.add(bulletAt(l[0], l[1], 0, 0));
        b.behave(g.maze);
        EXPECT_EQ(b.count(), 0) << l[0] << "," << l[1];
    }
    b.add(bulletAt(33.9f, -16.9f, 0, 0));
    b.behave(g.maze);
    EXPECT_EQ(b.count(), 1);
}

TEST(Drops, FallUnderGravityAndVanishBelowTheFloor)
{
    for (float h : {1.0f, 4.0f}) {
        int lastTick = h == 1.0f ? 15 : 29;
        Drops d;
        d.add(PointObject(Vector3f(2, 2, h), Vector3f()));
        for (int t = 1; t < lastTick; t++)
            d.behave();
        ASSERT_EQ(d.count(), 1) << "height " << h;
        EXPECT_EQ(d[0].frame, lastTick - 1);
        EXPECT_GE(d[0].pos.z, 0.0f);
        d.behave();
        EXPECT_EQ(d.count(), 0) << "height " << h;
    }
}

TEST(Drops, ExactlyZeroStaysAndCaughtOnesGoNextTick)
{
    Drops d;
    d.add(PointObject(Vector3f(1, 1, 0), Vector3f()));
    d.add(PointObject(Vector3f(2, 2, 3), Vector3f()));
    d.add(PointObject(Vector3f(3, 3, 3), Vector3f()));
    d.behave();
    ASSERT_EQ(d.count(), 3);
    EXPECT_EQ(d[0].pos.z, 0.0f);
    EXPECT_EQ(d[0].v.z, -0.01f);
    d[1].alive = false;  // caught by the world's rules
    EXPECT_EQ(d.count(), 3);
    d.behave();
    ASSERT_EQ(d.count(), 1);  // [0] fell below 0, [1] was caught
    EXPECT_EQ(d[0].pos.x, 3.0f);
}

TEST(MovingThingy, BehaveOnlyAges)
{
    MovingThingy t(Vector3f(4.5f, 6.5f, 0.5f));
    t.alive = false;
    t.behave();
    EXPECT_EQ(t.frame, 1);
    EXPECT_FALSE(t.alive);
    EXPECT_EQ(t.pos.x, 4.5f);
    EXPECT_EQ(t.pos.y, 6.5f);
    EXPECT_EQ(t.pos.z, 0.5f);
}
