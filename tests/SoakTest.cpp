// SPDX-License-Identifier: MIT
// Long seeded play: from srand(seed), key events through the controller:
// stretches of random keys (a few per tick, now and then a burst of ten or
// more Up or Down, as a fast auto-repeat gives) alternate with stretches of
// the test bot, so that games reach the map, the weapon, the portal and the
// finish, and bullets fly out through the open portal. After every key event
// and tick the world is checked against the game's rules. The keys come from
// the test's own generator, never rand().
// A larger manual run: DEW_SOAK_SEEDS=200 DEW_SOAK_TICKS=100000 ./soak_tests

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "MazeBot.h"
#include "MazeGameControl.h"
#include "MazeGameState.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
const int kSeeds = 5, kTicks = 6000;
#else
const int kSeeds = 12, kTicks = 20000;
#endif

int sizeFromEnv(const char* name, int fallback)
{
    return std::getenv(name) && std::atoi(std::getenv(name)) > 0 ? std::atoi(std::getenv(name)) : fallback;
}
// The screen Enter leads to from each screen; in play only once the map is unlocked.
const MazeGameStatus kEnter[9] = {ETitle2Msg, ETitle3Msg, EFirstPersonView, EFirstPersonView,
    EFirstPersonView, EFirstPersonView, ETitle1Msg, EMapView, EFirstPersonView};
bool isPlay(MazeGameStatus s)
{
    return s == EFirstPersonView || s == EMapView;
}
bool finite(const Vector3f& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
bool same(const Vector3f& a, const Vector3f& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
// Positions map to cells by truncation; the cells run from -1 to 17.
bool onGrid(const Vector3f& p)
{
    return p.x > -2 && p.x < 18 && p.y > -2 && p.y < 18;
}
bool beyondLimit(const Vector3f& p)
{
    return p.x <= -17 || p.x >= 34 || p.y <= -17 || p.y >= 34;
}
bool outerWall(int i, int j)
{
    return i >= 0 && i <= 16 && j >= 0 && j <= 16 && (i % 16 == 0 || j % 16 == 0);
}
// Copies a container's records, and notes any that is not finite.
template <class C> std::vector<PointObject> records(const C& c, bool& finiteAll)
{
    std::vector<PointObject> v;
    for (int k = 0; k < c.count(); k++) {
        v.push_back(c[k]);
        finiteAll = finiteAll && finite(c[k].pos) && finite(c[k].v);
    }
    return v;
}

#define REQUIRE(cond, what)                                                                                  \
    ASSERT_TRUE(cond) << "seed " << seed << ", frame " << control.frame << ": " << what

struct SoakRun {
    unsigned seed, rng;
    MazeGameControl control;
    bool botMode = false;
    int modeLeft = 0, games = 0, bulletsOut = 0;
    // Per game: the droplets' ages and the bullets' deadlines, in container order, and the ticks spent at the
    // portal.
    struct Game {
        std::vector<int> dropAge, bulletDeadline;
        int lingered = 0;
    } game;
    // The world before the latest key event or tick.
    MazeGameStatus status;
    int frame, cells[19][19];
    Player player;
    std::vector<PointObject> bullets, drops;

    explicit SoakRun(unsigned seed)
        : seed(seed)
        , rng(seed * 2654435761u | 1)
    {
        srand(seed);
        control.init();
    }
    int below(int n)
    {
        rng ^= rng << 13;
        rng ^= rng >> 17;
        rng ^= rng << 5;
        return (int)(rng % n);
    }

    void save()
    {
        MazeGameState& w = *control.gameState;
        bool finiteAll = true;
        status = control.gameStatus;
        frame = control.frame;
        player = w.player;
        for (int c = 0; c < 361; c++)
            cells[c / 19][c % 19] = w.maze(c / 19 - 1, c % 19 - 1);
        bullets = records(w.bullets, finiteAll);
        drops = records(w.drops, finiteAll);
        records(w.boids, finiteAll);
        REQUIRE(finiteAll && finite(player.pos) &&
                std::isfinite(player.yaw + player.movingForward + player.turningYaw),
            "a position or speed is not finite");
    }

    std::vector<Key> chooseKeys()
    {
        const Player& p = control.gameState->player;
        if (--modeLeft <= 0)
            modeLeft = (botMode = !botMode) ? 300 + below(1700) : 50 + below(350);
        // Armed in the open portal: stop and shoot out through it for a while.
        if (botMode && p.dropsCaught >= 30 && p.canShoot && (int)p.pos.x >= 15 && (int)p.pos.y == 15 &&
            std::fabs(std::remainder(p.yaw - 90, 360.0f)) < 30 && game.lingered++ < 60)
            return p.movingForward > 0 ? std::vector<Key>{Key::Space, Key::Down}
                                       : std::vector<Key>{Key::Space};
        if (botMode)
            return botKeys(control);
        if (isPlay(control.gameStatus) && below(150) == 0) // a step of a whole cell or more
            return std::vector<Key>(10 + below(8), below(3) ? Key::Up : Key::Down);
        std::vector<Key> keys(below(4));
        for (Key& k : keys)
            k = (Key)below(6);
        return keys;
    }

    void press(Key key)
    {
        save();
        pressKey(control, key);
        MazeGameState& w = *control.gameState;
        bool enter = key == Key::Enter && (!isPlay(status) || player.canViewMap);
        REQUIRE(control.gameStatus == (enter ? kEnter[status] : status) && control.frame == frame,
            "key " << (int)key << " took screen " << status << " to " << control.gameStatus);
        if (enter && status == EFinishMsg)
            game = {}; // a new game, which must start with no bullets and no droplets
        int added = w.bullets.count() - (int)game.bulletDeadline.size();
        REQUIRE(
            added == (key == Key::Space && player.canShoot && !player.doingShot), "Space added " << added);
        if (!added)
            return;
        // Its straight flight ends in the outer wall or, out through the portal, at the limit.
        PointObject b = w.bullets[w.bullets.count() - 1];
        int k = 1;
        for (; k < 400 && !beyondLimit(b.pos); k++, b.pos = b.pos + b.v)
            if (onGrid(b.pos) && outerWall((int)b.pos.x, (int)b.pos.y) &&
                !((int)b.pos.x == 16 && (int)b.pos.y == 15))
                break;
        game.bulletDeadline.push_back(control.frame + k);
    }

    void tick()
    {
        save();
        control.cycle();
        MazeGameState& w = *control.gameState;
        const Player& p = w.player;
        int caught = p.dropsCaught - player.dropsCaught;
        MazeGameStatus want = !isPlay(status) ? status // else the tick's last milestone wins
            : p.pos.x > 17 || p.pos.y > 17    ? EFinishMsg
            : p.canShoot && !player.canShoot  ? EBonusWeaponMsg
            : caught && p.dropsCaught == 10   ? EBonusMapMsg
            : caught && p.dropsCaught == 30   ? EBonusPortalMsg
                                              : status;
        REQUIRE(control.gameStatus == want && control.frame == frame + isPlay(status),
            "a tick took screen " << status << " to " << control.gameStatus);
        if (!isPlay(status))
            return;
        REQUIRE(drops.size() == game.dropAge.size(), "droplets appeared between ticks");
        games += want == EFinishMsg;
        REQUIRE(caught == 0 || caught == 1,
            "dropsCaught went from " << player.dropsCaught << " to " << p.dropsCaught);
        REQUIRE(!onGrid(p.pos) || w.maze((int)p.pos.x, (int)p.pos.y) <= 0, "the player is in a wall");
        Vector3f step = p.pos - player.pos;
        // A step of a whole unit or more passes no wall, though it may graze a corner; shorter ones may cut
        // corners.
        for (int k = 0; step.norm() >= 1.001f && k <= 100; k++) {
            Vector3f q = player.pos + step * (k / 100.0f);
            float fx = std::fabs(q.x - std::floor(q.x) - 0.5f), fy = std::fabs(q.y - std::floor(q.y) - 0.5f);
            REQUIRE(!onGrid(q) || w.maze((int)q.x, (int)q.y) <= 0 || fx > 0.45f || fy > 0.45f,
                "a step from (" << player.pos.x << ", " << player.pos.y << ") passed through a wall");
        }
        for (int c = 0; c < 361; c++) {
            int i = c / 19 - 1, j = c % 19 - 1, v = w.maze(i, j);
            bool ring = std::min(i, j) < 0 || std::max(i, j) > 16,
                 portal = i >= 15 && j == 15 && p.dropsCaught >= 30;
            REQUIRE((v == 1 || v == 0 || v == -2 || v == -3 || (v >= 5 && v <= 8) || v == -7) &&
                    (ring            ? v == 0
                            : portal ? v == -3
                                     : v != -3 && (v >= 1 || !outerWall(i, j))),
                "cell " << i << ", " << j << " holds " << v);
        }

        // Survivors keep their order and move by their velocity: droplets are gone within 29 ticks of
        // release.
        std::vector<int> age, deadline;
        for (size_t k = 0; k < drops.size(); k++)
            if ((int)age.size() < w.drops.count() && same(w.drops[age.size()].pos, drops[k].pos + drops[k].v))
                age.push_back(game.dropAge[k] + 1);
        age.resize(w.drops.count()); // a new one is 0 ticks old
        for (int a : age)
            REQUIRE(a <= 28, "a droplet is " << a << " ticks old");
        game.dropAge = age;
        // Bullets die only in a wall (one just broken lets the next pass), at the limit, and by their
        // deadline.
        for (size_t k = 0; k < bullets.size(); k++) {
            const PointObject& b = bullets[k];
            int was = onGrid(b.pos) ? cells[(int)b.pos.x + 1][(int)b.pos.y + 1] : 0;
            bool stayed =
                (int)deadline.size() < w.bullets.count() && same(w.bullets[deadline.size()].pos, b.pos + b.v);
            REQUIRE(stayed ? !beyondLimit(b.pos) && (was < 1 || w.maze((int)b.pos.x, (int)b.pos.y) == -7) &&
                        control.frame < game.bulletDeadline[k]
                           : beyondLimit(b.pos) || was >= 1,
                "a bullet flew on past a wall, its limit or its deadline, or vanished in open space");
            if (stayed)
                deadline.push_back(game.bulletDeadline[k]);
            bulletsOut += beyondLimit(b.pos) && !stayed;
        }
        REQUIRE((int)deadline.size() == w.bullets.count(), "bullets appeared during a tick");
        game.bulletDeadline = deadline;
    }
};

class Soak : public ::testing::TestWithParam<int> { };

TEST_P(Soak, SeededPlayKeepsTheRules)
{
    SoakRun r(GetParam());
    int ticks = sizeFromEnv("DEW_SOAK_TICKS", kTicks);
    for (int t = 0; t < ticks && !HasFatalFailure(); t++) {
        std::vector<Key> keys = r.chooseKeys();
        for (size_t k = 0; k <= keys.size() && !HasFatalFailure(); k++) // the keys, then the tick
            k < keys.size() ? r.press(keys[k]) : r.tick();
    }
    std::printf("seed %d: %d ticks, %d games won, %d bullets out by the portal\n", GetParam(), ticks, r.games,
        r.bulletsOut);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Soak, ::testing::Range(1, sizeFromEnv("DEW_SOAK_SEEDS", kSeeds) + 1));

} // namespace
