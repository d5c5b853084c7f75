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
    for (unsigned int seed : {0u, 1u, 2u, 42u, 127773u, 1765100000u, 2147483647u, 2147483648u, 4294967295u}) {
        std::srand(seed);
        GameRandom own(seed);
        for (int draw = 0; draw < 2000; ++draw)
            ASSERT_EQ(std::rand(), own.next()) << "seed " << seed << ", draw " << draw;
    }
}
