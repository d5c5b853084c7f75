// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>

#include "GameRandom.h"

// The game's own generator, which the game runs where the C library is not
// glibc, against glibc's rand() itself: the same numbers for the same seed,
// for seeds of every kind (0 counts as 1; above 2^31 the seed is still taken
// as a whole unsigned value).
TEST(GameRandom, OwnGeneratorRunsGlibcRandSequence)
{
    for (unsigned int seed : {0u, 1u, 2u, 42u, 127773u, 1765100000u, 2147483647u, 2147483648u,
                              4294967295u}) {
        std::srand(seed);
        GameRandom own(seed);
        for (int draw = 0; draw < 2000; ++draw)
            ASSERT_EQ(std::rand(), own.next()) << "seed " << seed << ", draw " << draw;
    }
}

// The game's draws are the ones code seeding the C library expects: a seed
// given to GameRandom::srand and one given to ::srand start the same sequence
// (on glibc both are the C library's), and it reaches far beyond 32767.
TEST(GameRandom, GameDrawsFollowTheSeedAndSpanBeyond32767)
{
    GameRandom::srand(20261207);
    GameRandom expected(20261207);
    int highest = 0;
    for (int draw = 0; draw < 1000; ++draw) {
        int value = GameRandom::rand();
        ASSERT_EQ(expected.next(), value) << "draw " << draw;
        if (value > highest)
            highest = value;
    }
    EXPECT_GT(highest, 99999);
}
