#include <gtest/gtest.h>

#include "TickClock.h"

// The game ticks when strictly more than 50 ms have passed since the last
// tick, at most once per idle call, and never catches up.

TEST(TickClock, StrictlyMoreThanFiftyMillisecondsApart)
{
    float lastTime = 1000;
    EXPECT_FALSE(tickDue(1050, lastTime));
    EXPECT_EQ(lastTime, 1000);
    EXPECT_TRUE(tickDue(1051, lastTime));
    EXPECT_EQ(lastTime, 1051);
    // The next tick counts from 1051.
    EXPECT_FALSE(tickDue(1101, lastTime));
    EXPECT_TRUE(tickDue(1102, lastTime));
}

TEST(TickClock, FirstTickOnlyAfterFiftyMillisecondsOfRunTime)
{
    float lastTime = 0;
    EXPECT_FALSE(tickDue(0, lastTime));
    EXPECT_FALSE(tickDue(17, lastTime));
    EXPECT_FALSE(tickDue(50, lastTime));
    EXPECT_EQ(lastTime, 0);
    EXPECT_TRUE(tickDue(51, lastTime));
    EXPECT_EQ(lastTime, 51);
}

TEST(TickClock, StallRunsOneTickAndNoCatchUp)
{
    float lastTime = 2000;
    EXPECT_TRUE(tickDue(2500, lastTime));
    EXPECT_EQ(lastTime, 2500);
    // Further idle calls right after the stall do not make up the nine
    // ticks that were missed.
    EXPECT_FALSE(tickDue(2500, lastTime));
    EXPECT_FALSE(tickDue(2550, lastTime));
    EXPECT_TRUE(tickDue(2551, lastTime));
}

TEST(TickClock, BackwardsClockRestartsTheCountInsteadOfFreezing)
{
    // The millisecond counter wrapped from near its top to a small value.
    float lastTime = 2147483000.0f;
    EXPECT_FALSE(tickDue(10, lastTime));
    EXPECT_EQ(lastTime, 10);
    EXPECT_FALSE(tickDue(60, lastTime));
    EXPECT_TRUE(tickDue(61, lastTime));

    // A clock that wrapped to negative readings keeps ticking as well.
    lastTime = 5000;
    EXPECT_FALSE(tickDue(-2000, lastTime));
    EXPECT_EQ(lastTime, -2000);
    EXPECT_TRUE(tickDue(-1949, lastTime));
    EXPECT_EQ(lastTime, -1949);
}

TEST(TickClock, SteadyIdleCallsGiveTicksFiftyOneMillisecondsApart)
{
    // Idle called every millisecond for a second of play.
    float lastTime = 0;
    int ticks = 0;
    float previous = 0;
    for (int ms = 1; ms <= 1020; ms++) {
        if (tickDue((float)ms, lastTime)) {
            EXPECT_EQ((float)ms - previous, 51) << "tick at " << ms;
            previous = (float)ms;
            ticks++;
        }
    }
    EXPECT_EQ(ticks, 20);
}
