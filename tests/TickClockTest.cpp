// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>

#include "TickClock.h"

// Idle calls every millisecond from a given uptime: ticks come exactly 51 ms
// apart, whatever the uptime, and on across the wrap of the int counter; no
// catching up after a stall.
TEST(TickClock, TicksStay51MillisecondsApartAtAnyUptimeAndAfterAStall)
{
    const long long hour = 3600 * 1000LL;
    for (long long start : {0LL, 5 * hour, 300 * hour, INT_MAX - 120LL}) {
        int last = static_cast<int>(start);
        long long previousTick = start;
        for (long long t = start + 1; t <= start + 400; ++t) {
            int reading = static_cast<int>(static_cast<unsigned>(t)); // wraps like GLUT's int
            if (tickDue(reading, last)) {
                EXPECT_EQ(51, t - previousTick) << "uptime " << start << " ms, tick at " << t;
                previousTick = t;
            }
        }
        EXPECT_EQ(start + 7 * 51, previousTick) << "uptime " << start << " ms";
    }
    // A stall runs one tick, and the next comes 51 ms after it.
    int last = 0;
    EXPECT_TRUE(tickDue(551, last));
    EXPECT_FALSE(tickDue(600, last));
    EXPECT_TRUE(tickDue(602, last));
}
