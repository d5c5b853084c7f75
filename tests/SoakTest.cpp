// SPDX-License-Identifier: MIT
// Whole games through the controller's key commands, the world checked after
// every tick: stretches of the test bot's play, which wins games, alternate
// with stretches of random keys (now and then a burst of ten or more Up or
// Down, as a fast auto-repeat gives), so that games reach the map, the weapon,
// the portal and the finish. The keys come from the test's own generator,
// never rand(), so each seed plays the same games every run.
// A longer run: DEW_SOAK_TICKS=600000 ./soak_tests

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "MazeBot.h"
#include "MazeGameControl.h"

namespace {

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
    // third game and more, each checked to start afresh.
    EXPECT_GE(games, ticks / 6000);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Soak, ::testing::Range(1, 4));

} // namespace
