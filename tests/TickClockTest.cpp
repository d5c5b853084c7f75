// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "TickClock.h"

// Each row: the reading of the last tick, then idle calls and whether each
// runs a tick; later calls show where the count restarted.
TEST(TickClock, TicksOnlyWhenStrictlyMoreThanFiftyMillisecondsHavePassed)
{
    const std::vector<std::pair<float, std::vector<std::pair<float, bool>>>> rows = {
        {1000, {{1050, false}, {1051, true}, {1101, false}, {1102, true}}}, // 50 ms none, 51 ms one
        {0, {{0, false}, {17, false}, {50, false}, {51, true}}}, // the first tick
        {2000, {{2500, true}, {2500, false}, {2550, false}, {2551, true}}}, // a stall: one tick
        {5000, {{-2000, false}, {-1949, true}, {-1899, false}}}, // the int counter wrapped
    };
    for (auto [last, calls] : rows)
        for (auto [now, ticks] : calls)
            EXPECT_EQ(ticks, tickDue(now, last)) << "call at " << now;
}
