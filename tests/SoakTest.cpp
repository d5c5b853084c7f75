// SPDX-License-Identifier: MIT
// Whole games through the controller's key commands, the world checked after
// every tick: stretches of the test bot's play, which wins games, alternate
// with stretches of random keys (now and then a burst of ten or more Up or
// Down, as a fast auto-repeat gives), so that games reach the map, the weapon,
// the portal and the finish, and bullets fly out through the open portal. The
// keys come from the test's own generator, never rand().
// A longer run: DEW_SOAK_SEEDS=100 DEW_SOAK_TICKS=60000 ./soak_tests

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "MazeBot.h"
#include "MazeGameControl.h"
#include "MazeGameState.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
const int kTicks = 10000; // the sanitizer build runs several times slower
#else
const int kTicks = 20000;
#endif

int fromEnv(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

class Soak : public ::testing::TestWithParam<int> { };

TEST_P(Soak, RandomKeysAndBotPlayKeepTheRules)
{
    unsigned rng = GetParam() * 2654435761u | 1;
    auto below = [&rng](int n) {
        rng ^= rng << 13, rng ^= rng >> 17, rng ^= rng << 5;
        return (int)(rng % n);
    };
    srand(GetParam());
    MazeGameControl control;
    control.init();
    bool bot = false;
    int left = 0, games = 0;
    const int ticks = fromEnv("DEW_SOAK_TICKS", kTicks);
    for (int t = ticks; t > 0; t--) {
        const Player& p = control.gameState->player;
        if (--left <= 0)
            left = (bot = !bot) ? 300 + below(1700) : 50 + below(350);
        std::vector<Key> keys;
        // Armed in the open portal and facing out: stand and shoot through it for a while.
        if (bot && p.dropsCaught >= 30 && p.canShoot && (int)p.pos.x >= 15 && (int)p.pos.y == 15 &&
            std::fabs(std::remainder(p.yaw - 90, 360.0f)) < 30 && control.frame % 100 < 60)
            keys = p.movingForward > 0 ? std::vector<Key>{Key::Space, Key::Down} : std::vector<Key>{Key::Space};
        else if (bot)
            keys = botKeys(control);
        else if (control.gameStatus >= EFirstPersonView && below(150) == 0) // a step of a cell or more
            keys.assign(10 + below(8), below(3) ? Key::Up : Key::Down);
        else
            for (int k = below(4); k > 0; k--)
                keys.push_back((Key)below(6));
        const bool finished = control.gameStatus == EFinishMsg;
        ASSERT_EQ(playTick(control, keys), "") << "seed " << GetParam();
        games += !finished && control.gameStatus == EFinishMsg;
    }
    std::printf("seed %d: %d games won in %d ticks\n", GetParam(), games, ticks);
    EXPECT_GE(games, ticks / 10000) << "the bot wins a game in far fewer ticks, random keys and all";
}

INSTANTIATE_TEST_SUITE_P(Seeds, Soak, ::testing::Range(1, fromEnv("DEW_SOAK_SEEDS", 3) + 1));

} // namespace
