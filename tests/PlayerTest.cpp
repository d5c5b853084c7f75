// The player's motion step: walking, turning, walls, decay, cooldown.
#include <gtest/gtest.h>

#include <cmath>

#include "CoreTestHelpers.h"
#include "Player.h"

namespace {

// An open grid fenced by walls in the memory around it; yaw 90 faces +x.
struct PlayerTest : ::testing::Test {
    GuardedMaze g;
    Labyrinth& maze = g.maze;
    Player p;
    void wallColumn(int i)
    {
        for (int j = -1; j <= 17; j++)
            maze(i, j) = 1;
    }
    void placeFacingX(float x, float speed)
    {
        p.pos = Vector3f(x, 5.5f, 0);
        p.yaw = 90;
        p.movingForward = speed;
    }
};

} // namespace

TEST_F(PlayerTest, StartsAtCentreOfStartCellAndStandsStill)
{
    EXPECT_EQ(p.pos.x, 1.5f);
    EXPECT_EQ(p.pos.y, 1.5f);
    EXPECT_EQ(p.pos.z, 0.0f);
    EXPECT_EQ(p.yaw, 0.0f);
    EXPECT_FALSE(p.doingShot || p.wowed || p.canShoot || p.canViewMap);
    EXPECT_EQ(p.shotFrame + p.dropsCaught, 0);
    p.behave(maze);
    EXPECT_EQ(p.pos.x, 1.5f);
    EXPECT_EQ(p.pos.y, 1.5f);
    EXPECT_EQ(p.yaw, 0.0f);
}

TEST_F(PlayerTest, OneUpArrowEventWalksAbout0457Over11Ticks)
{
    p.movingForward += 1 * 0.1;  // as the controller's move(1, 0, 0)
    for (int t = 1; t <= 11; t++) {
        EXPECT_NE(p.movingForward, 0.0f) << "tick " << t;
        p.behave(maze);
    }
    EXPECT_EQ(p.movingForward, 0.0f);
    EXPECT_EQ(p.pos.x, 1.5f);  // yaw 0: sin is exactly 0
    EXPECT_NEAR(p.pos.y - 1.5f, 0.5 * (1 - std::pow(0.8, 11)), 1e-5);
    float y = p.pos.y;
    p.behave(maze);
    EXPECT_EQ(p.pos.y, y);
}

TEST_F(PlayerTest, OneTurnEventTurnsOn27TicksAndEndsAtExactlyZero)
{
    p.turningYaw += 1 * 4;
    for (int t = 1; t <= 27; t++) {
        EXPECT_NE(p.turningYaw, 0.0f) << "tick " << t;
        p.behave(maze);
    }
    EXPECT_EQ(p.turningYaw, 0.0f);
    EXPECT_NEAR(p.yaw, 20 * (1 - std::pow(0.8, 27)), 1e-3);
    EXPECT_LT(p.yaw, 20.0f);
    EXPECT_EQ(p.pos.y, 1.5f);
}

TEST_F(PlayerTest, SlowSpeedMovesInFullThenDecaysAndStops)
{
    p.movingForward = 0.015f;
    p.behave(maze);
    EXPECT_NEAR(p.pos.y, 1.515f, 1e-6);  // not cut to 0: nothing blocked it
    EXPECT_FLOAT_EQ(p.movingForward, 0.012f);
    p.behave(maze);
    EXPECT_NEAR(p.pos.y, 1.527f, 1e-6);
    EXPECT_EQ(p.movingForward, 0.0f);  // 0.0096 is below the rest cut-off
    p.yaw = 358;
    p.turningYaw = 4;
    p.behave(maze);
    EXPECT_EQ(p.yaw, 362.0f);  // never wrapped
}

TEST_F(PlayerTest, TurnTakesEffectAfterTheMove)
{
    p.movingForward = 0.1f;
    p.turningYaw = 90;
    p.behave(maze);
    EXPECT_EQ(p.pos.x, 1.5f);  // moved along yaw 0, not 90
    EXPECT_EQ(p.pos.y, 1.5f + 0.1f);
    EXPECT_EQ(p.yaw, 90.0f);
}

TEST_F(PlayerTest, ApproachingAWallHalvesTheStep)
{
    wallColumn(3);
    placeFacingX(2.9f, 0.1f);
    p.behave(maze);  // 0.1 probes 3.02: blocked; 0.05 probes 2.97: passes
    EXPECT_NEAR(p.pos.x, 2.95f, 1e-5);
    // cos of 90 degrees with 3.1415 is 4.6e-5, not 0: the step drifts in y.
    EXPECT_EQ(p.pos.y, 5.5f + (float)std::cos(90 * 3.1415 / 180) * 0.05f);
    EXPECT_FLOAT_EQ(p.movingForward, 0.08f);

    placeFacingX(2.97f, 0.1f);
    p.behave(maze);  // 0.1, 0.05, 0.025 blocked; 0.0125 is cut to 0
    EXPECT_EQ(p.pos.x, 2.97f);
    EXPECT_FLOAT_EQ(p.movingForward, 0.08f);
}

TEST_F(PlayerTest, WalkingBackwardIntoAWallIsStoppedTheSameWay)
{
    wallColumn(1);
    placeFacingX(2.1f, -0.1f);
    p.behave(maze);
    EXPECT_NEAR(p.pos.x, 2.05f, 1e-5);
    placeFacingX(2.03f, -0.1f);
    p.behave(maze);
    EXPECT_EQ(p.pos.x, 2.03f);

    for (int i = -1; i <= 17; i++)
        maze(i, 1) = 1;  // a wall row, approached along -y
    p.pos = Vector3f(5.5f, 2.11f, 0);
    p.yaw = 180;
    p.movingForward = 0.1f;  // the trial 2.01 is open, its probe at 1.99 is not
    p.behave(maze);
    EXPECT_NEAR(p.pos.y, 2.06f, 1e-5);
}

TEST_F(PlayerTest, ShotCooldownRunsThreeTicksAndWowedClears)
{
    p.doingShot = true;
    p.shotFrame = 0;
    p.wowed = true;
    p.behave(maze);
    EXPECT_FALSE(p.wowed);
    EXPECT_TRUE(p.doingShot);
    EXPECT_EQ(p.shotFrame, 1);
    p.behave(maze);
    EXPECT_TRUE(p.doingShot);
    p.behave(maze);
    EXPECT_FALSE(p.doingShot);
    EXPECT_EQ(p.shotFrame, 3);
    p.behave(maze);
    EXPECT_EQ(p.shotFrame, 3);
}

// Mended fault: only the trial position was probed, so a step of a cell or
// more could land beyond a wall.
TEST_F(PlayerTest, LongStepNeverJumpsAWall)
{
    for (int i = -1; i <= 17; i++)
        maze(i, 2) = 1;  // a wall row across the walk along +y
    p.movingForward = 1.6f;  // the trial 3.1 and its probes lie in open row 3
    p.behave(maze);
    EXPECT_NEAR(p.pos.y, 1.9f, 1e-5);  // halved: 1.6, 0.8, then 0.4 fits

    p.pos = Vector3f(1.5f, 1.975f, 0);
    p.movingForward = 1.05f;  // probes of the trial 3.025 are both in row 3
    p.behave(maze);
    EXPECT_EQ(p.pos.y, 1.975f);

    p.pos = Vector3f(1.5f, 1.5f, 0);
    p.movingForward = 0;
    for (int t = 0; t < 40; t++) {  // three auto-repeated events per tick
        for (int k = 0; k < 3; k++)
            p.movingForward += 0.1;
        p.behave(maze);
        ASSERT_LE(p.pos.y, 1.98f) << "tick " << t << " speed " << p.movingForward;
    }
    EXPECT_GT(p.movingForward, 1.0f);
}

// Mended fault: probes beyond the 19 x 19 grid read as open floor and never
// touch memory outside it (the guards there are walls).
TEST_F(PlayerTest, ProbesOffTheGridReadAsOpenFloor)
{
    placeFacingX(17.5f, 1.2f);
    p.behave(maze);
    EXPECT_NEAR(p.pos.x, 18.7f, 1e-5);
    p.movingForward = 3.0f;
    p.behave(maze);
    EXPECT_NEAR(p.pos.x, 21.7f, 1e-4);

    placeFacingX(-1.5f, -1.2f);  // backward out of the ring's low side
    p.behave(maze);
    EXPECT_NEAR(p.pos.x, -2.7f, 1e-4);
    EXPECT_TRUE(g.guardsIntact());
}

// Mended fault: the halving loop ends even when the current position itself
// fails its probes; the player then stays where it is.
TEST_F(PlayerTest, HalvingEndsWhenTheCurrentPositionIsInAWall)
{
    wallColumn(3);
    placeFacingX(3.5f, 0.1f);
    p.behave(maze);
    EXPECT_EQ(p.pos.x, 3.5f);
    EXPECT_FLOAT_EQ(p.movingForward, 0.08f);
    p.movingForward = 0;
    p.behave(maze);
    EXPECT_EQ(p.pos.x, 3.5f);
}
