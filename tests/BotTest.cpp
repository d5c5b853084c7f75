// Whole games played by MazeBot through the controller's commands alone, at
// most two key events per tick. A game is won when the bot has caught 30
// droplets, walked out through the portal, (15, 15) then (16, 15) then past
// x 17, and the finish screen shows; Enter must then start a new game on the
// first title page. The bot must win at least four of the five seeds.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "MazeBot.h"
#include "MazeGameControl.h"
#include "MazeGameState.h"

namespace {

const unsigned kSeeds[] = {11, 23, 37, 4242, 90001};
const int kTickCap = 60000;

struct GameResult {
    bool finished = false;
    int ticks = 0;        // world ticks until the finish
    int keyEvents = 0;
    int drops = 0;
    std::string failure;  // why the game does not count as won
};

bool isPlay(MazeGameStatus s)
{
    return s == EFirstPersonView || s == EMapView;
}

GameResult playOneGame(unsigned seed)
{
    GameResult r;
    srand(seed);
    MazeGameControl control;
    control.init();
    MazeBot bot(control);

    // The cells the player's centre passed through, without repeats.
    std::vector<std::pair<int, int>> cells;
    for (int tick = 0; tick < kTickCap; tick++) {
        std::vector<Key> keys = bot.chooseKeys();
        if (keys.size() > 2) {
            r.failure = "more than two key events in one tick";
            return r;
        }
        for (Key k : keys)
            pressKey(control, k);
        r.keyEvents += (int)keys.size();
        control.cycle();

        const Player& p = control.gameState->player;
        std::pair<int, int> cell((int)p.pos.x, (int)p.pos.y);
        if (cells.empty() || cells.back() != cell)
            cells.push_back(cell);
        if (control.gameStatus == EFinishMsg)
            break;
    }
    const Player& p = control.gameState->player;
    r.ticks = control.frame;
    r.drops = p.dropsCaught;
    if (control.gameStatus != EFinishMsg) {
        r.failure = "no finish within " + std::to_string(kTickCap) + " ticks, " +
                    std::to_string(p.dropsCaught) + " droplets";
        return r;
    }
    if (p.dropsCaught < 30 || !(p.pos.x > 17.0f)) {
        r.failure = "finish without 30 droplets or not beyond x 17";
        return r;
    }
    size_t n = cells.size();
    if (n < 3 || cells[n - 3] != std::make_pair(15, 15) ||
        cells[n - 2] != std::make_pair(16, 15) || cells[n - 1].first != 17) {
        r.failure = "did not leave through the portal";
        return r;
    }

    // Enter on the finish screen: a new game on the first title page, while
    // the tick count goes on.
    int frame = control.frame;
    control.pushOK();
    if (control.gameStatus != ETitle1Msg || control.frame != frame ||
        control.gameState->player.dropsCaught != 0 ||
        control.gameState->player.pos.x != 1.5f || control.gameState->player.pos.y != 1.5f ||
        control.gameState->maze(16, 15) != 1) {
        r.failure = "Enter on the finish screen did not start a new game";
        return r;
    }
    // The bot takes the new game through its three title pages.
    for (int k = 0; k < 3; k++) {
        std::vector<Key> keys = bot.chooseKeys();
        if (keys.size() != 1 || keys[0] != Key::Enter) {
            r.failure = "bot did not confirm the title pages";
            return r;
        }
        pressKey(control, keys[0]);
    }
    if (!isPlay(control.gameStatus)) {
        r.failure = "the new game did not start after the title pages";
        return r;
    }
    r.finished = true;
    return r;
}

TEST(MazeBot, WinsAtLeastFourOfFiveSeeds)
{
    int wins = 0;
    long totalTicks = 0;
    for (unsigned seed : kSeeds) {
        GameResult r = playOneGame(seed);
        std::printf("seed %u: %s, %d ticks, %d droplets, %d key events%s%s\n", seed,
                    r.finished ? "won" : "lost", r.ticks, r.drops, r.keyEvents,
                    r.failure.empty() ? "" : ": ", r.failure.c_str());
        std::fflush(stdout);
        RecordProperty("seed_" + std::to_string(seed) + "_ticks", r.ticks);
        if (r.finished) {
            wins++;
            totalTicks += r.ticks;
        }
    }
    std::printf("won %d of 5, %ld ticks in the won games\n", wins, totalTicks);
    RecordProperty("wins", wins);
    EXPECT_GE(wins, 4);
}

} // namespace
