// Long seeded play. For each seed the game runs from srand(seed) for many
// ticks, driven through the controller by a stream of key events (Enter,
// Space and the four arrows, a few per tick as a held key's auto-repeat
// gives them, now and then a fast burst of ten or more Up or Down events in
// one tick). The stream alternates between random keys and stretches played
// by MazeBot, so that games reach the map, the weapon, the portal, the
// finish and the restart. Both come from a xorshift generator of the test's
// own; neither calls rand(), so the game's random sequence is the game's.
//
// After every key event and every tick the world is checked against the
// game's rules: cell values and the shape of the maze, the player clear of
// walls, finite positions and speeds, the droplets' and bullets' lifetimes,
// the droplet count, and the screen changes against the transition table.
//
// Size: one test per seed. The default is smaller in sanitizer builds. For a
// manual long run, set the size in the environment and run the binary itself
// (ctest lists the tests when the binary is built, with the default count):
//   DEW_SOAK_SEEDS=200 DEW_SOAK_TICKS=100000 ./soak_tests
// DEW_SOAK_SEEDS is the number of seeds (1, 2, ...), DEW_SOAK_TICKS the
// ticks per seed (a tick is one cycle call with the key events before it).

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "MazeBot.h"
#include "MazeGameControl.h"
#include "MazeGameState.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
const int kDefaultSeeds = 5;
const int kDefaultTicks = 6000;
#else
const int kDefaultSeeds = 12;
const int kDefaultTicks = 20000;
#endif

int sizeFromEnv(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 1 || value > 100000000) {
        std::fprintf(stderr, "%s: \"%s\" is not a positive whole number; using %d\n", name, text,
                     fallback);
        return fallback;
    }
    return (int)value;
}

int soakSeeds()
{
    return sizeFromEnv("DEW_SOAK_SEEDS", kDefaultSeeds);
}

int soakTicks()
{
    return sizeFromEnv("DEW_SOAK_TICKS", kDefaultTicks);
}

// The command stream's own generator.
class Xorshift {
public:
    explicit Xorshift(uint32_t seed) : s(seed * 2654435761u ^ 0x5bd1e995u)
    {
        if (s == 0)
            s = 1;
    }
    uint32_t next()
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    int below(int n) { return (int)(next() % (uint32_t)n); }

private:
    uint32_t s;
};

// The screen flow. Enter in play only toggles the map once it is unlocked;
// the tick triggers are the world's milestones.
enum class Trigger { Enter, EnterMapUnlocked, Drops10, Drops30, Weapon, Finish };

struct Transition {
    MazeGameStatus from;
    Trigger trigger;
    MazeGameStatus to;
};

const Transition kTransitions[] = {
    {ETitle1Msg, Trigger::Enter, ETitle2Msg},
    {ETitle2Msg, Trigger::Enter, ETitle3Msg},
    {ETitle3Msg, Trigger::Enter, EFirstPersonView},
    {EFirstPersonView, Trigger::EnterMapUnlocked, EMapView},
    {EMapView, Trigger::EnterMapUnlocked, EFirstPersonView},
    {EFirstPersonView, Trigger::Drops10, EBonusMapMsg},
    {EMapView, Trigger::Drops10, EBonusMapMsg},
    {EFirstPersonView, Trigger::Drops30, EBonusPortalMsg},
    {EMapView, Trigger::Drops30, EBonusPortalMsg},
    {EFirstPersonView, Trigger::Weapon, EBonusWeaponMsg},
    {EMapView, Trigger::Weapon, EBonusWeaponMsg},
    {EFirstPersonView, Trigger::Finish, EFinishMsg},
    {EMapView, Trigger::Finish, EFinishMsg},
    {EBonusMapMsg, Trigger::Enter, EFirstPersonView},
    {EBonusPortalMsg, Trigger::Enter, EFirstPersonView},
    {EBonusWeaponMsg, Trigger::Enter, EFirstPersonView},
    {EFinishMsg, Trigger::Enter, ETitle1Msg},  // with a new world
};

// The screen a trigger leads to from a status, or the status itself when
// the table has no such row (the trigger changes nothing there).
MazeGameStatus screenAfter(MazeGameStatus from, Trigger trigger)
{
    for (const Transition& t : kTransitions)
        if (t.from == from && t.trigger == trigger)
            return t.to;
    return from;
}

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

bool overGrid(float x, float y)
{
    return x > -2.0f && x < 18.0f && y > -2.0f && y < 18.0f;
}

bool beyondBulletLimit(const Vector3f& p)
{
    return p.x <= -17.0f || p.x >= 34.0f || p.y <= -17.0f || p.y >= 34.0f;
}

bool onRing(int i, int j)
{
    return i == -1 || i == 17 || j == -1 || j == 17;
}

bool onOuterWall(int i, int j)
{
    return !onRing(i, j) && (i == 0 || i == 16 || j == 0 || j == 16);
}

bool isPortalCell(int i, int j)
{
    return (i == 15 || i == 16) && j == 15;
}

bool isWallValue(int v)
{
    return v == 1 || (v >= 5 && v <= 8);
}

// How many hits a cell value stands for: 1 none, 5..8 one to four, -7 five.
int hitsOf(int v)
{
    if (v == 1)
        return 0;
    if (v >= 5 && v <= 8)
        return v - 4;
    if (v == -7)
        return 5;
    return -1;
}

// Walls no bullet can take away and nothing else opens: the outer wall,
// except the portal's cell in it.
bool permanentWall(int i, int j)
{
    return onOuterWall(i, j) && !(i == 16 && j == 15);
}

// The tick by which a bullet fired now must be gone: its straight flight
// ends at the latest in the outer wall or, out through the portal, at the
// limit of the bullets' square. Inner walls on the way may stop it sooner
// or may have been shot away before it gets there.
int flightDeadline(Vector3f pos, const Vector3f& v, int fireFrame)
{
    for (int k = 1; k <= 1000; k++) {
        if (beyondBulletLimit(pos))
            return fireFrame + k;
        if (overGrid(pos.x, pos.y) && permanentWall((int)pos.x, (int)pos.y))
            return fireFrame + k;
        pos = pos + v;
    }
    return INT_MAX;
}

struct Snapshot {
    MazeGameStatus status;
    int frame;
    int cells[19][19];
    std::vector<PointObject> bullets;
    std::vector<PointObject> drops;
    Player player;
    bool thingyAlive;
    Vector3f firstBird;
};

struct Stats {
    long ticks = 0;
    long worldTicks = 0;
    long keyEvents = 0;
    int games = 0;        // finished games
    int maps = 0;
    int portals = 0;
    int weapons = 0;
    int maxDrops = 0;
    long shots = 0;
    long wallsBroken = 0;
    long longSteps = 0;   // ticks that began with a speed of a whole unit or more
    long bursts = 0;
    long bulletsOut = 0;  // bullets that reached the limit beyond the portal
};

class SoakRun {
public:
    explicit SoakRun(unsigned seed) : seed(seed), keys(seed), bot(control)
    {
        srand(seed);
        control.init();
        checkNewWorld();
    }

    void run(int ticks);
    const Stats& stats() const { return st; }

private:
    void fail(const std::string& what)
    {
        if (failed)
            return;
        failed = true;
        std::ostringstream out;
        out << "seed " << seed << ", tick " << st.ticks << " (world frame " << control.frame
            << ", screen " << control.gameStatus << "): " << what;
        ADD_FAILURE() << out.str();
    }

    Snapshot snap() const;
    void chooseKeys(std::vector<Key>& out);
    void press(Key key);
    void tick();
    void checkNewWorld();
    void checkWorld();
    void checkMazeShape(int dropsCaught);
    void checkDrops(const Snapshot& before);
    void checkBullets(const Snapshot& before);
    void checkCellChanges(const Snapshot& before);
    void checkLongStep(const Vector3f& from, const Vector3f& to);

    unsigned seed;
    Xorshift keys;
    MazeGameControl control;
    MazeBot bot;
    bool failed = false;
    Stats st;

    bool botMode = false;
    int modeTicksLeft = 0;
    bool lingered = false;

    // Per droplet and per bullet, in container order: when each was added.
    std::vector<int> dropRelease;
    std::vector<int> bulletFired;
    std::vector<int> bulletDeadline;
};

Snapshot SoakRun::snap() const
{
    Snapshot s;
    MazeGameState& w = *control.gameState;
    s.status = control.gameStatus;
    s.frame = control.frame;
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            s.cells[i + 1][j + 1] = w.maze(i, j);
    for (int k = 0; k < w.bullets.count(); k++)
        s.bullets.push_back(w.bullets[k]);
    for (int k = 0; k < w.drops.count(); k++)
        s.drops.push_back(w.drops[k]);
    s.player = w.player;
    s.thingyAlive = w.thingy.alive;
    s.firstBird = w.boids[0].pos;
    return s;
}

void SoakRun::run(int ticks)
{
    std::vector<Key> events;
    for (int t = 0; t < ticks && !failed; t++) {
        chooseKeys(events);
        for (size_t k = 0; k < events.size() && !failed; k++)
            press(events[k]);
        st.keyEvents += (long)events.size();
        if (!failed)
            tick();
        st.ticks++;
    }
}

void SoakRun::chooseKeys(std::vector<Key>& out)
{
    out.clear();
    if (modeTicksLeft-- <= 0) {
        botMode = !botMode;
        modeTicksLeft = botMode ? 300 + keys.below(1700) : 50 + keys.below(350);
        bot.reset();
    }
    const Player& p = control.gameState->player;
    bool byPortal = p.dropsCaught >= 30 && p.canShoot && (int)p.pos.x == 15 && (int)p.pos.y == 15;
    if (botMode && byPortal && !lingered) {
        // Armed by the open portal: loiter there with random keys for a
        // while, so that bullets also fly out through it to their limit.
        lingered = true;
        botMode = false;
        modeTicksLeft = 100 + keys.below(200);
    }
    if (isPlay(control.gameStatus) && p.dropsCaught == 0)
        lingered = false;  // a new game
    if (botMode) {
        out = bot.chooseKeys();
        if (keys.below(20) == 0)
            out.push_back(Key::Space);
        return;
    }

    if (!isPlay(control.gameStatus)) {
        if (keys.below(4) == 0)
            out.push_back(Key::Enter);
        if (keys.below(10) == 0)  // refused on message screens, or a waiting shot
            out.push_back((Key)(1 + keys.below(5)));
        return;
    }
    if (keys.below(150) == 0) {
        // A fast auto-repeat: enough events in one tick for a step of a
        // whole cell or more.
        Key k = keys.below(3) == 0 ? Key::Down : Key::Up;
        int n = 10 + keys.below(8);
        for (int e = 0; e < n; e++)
            out.push_back(k);
        st.bursts++;
        return;
    }
    int n = keys.below(4);
    for (int e = 0; e < n; e++) {
        int r = keys.below(100);
        Key k = r < 1 ? Key::Enter
              : r < 12 ? Key::Space
              : r < 45 ? Key::Up
              : r < 55 ? Key::Down
              : r < 77 ? Key::Left
              : Key::Right;
        out.push_back(k);
    }
}

// One key event, and what it may change.
void SoakRun::press(Key key)
{
    Snapshot before = snap();
    pressKey(control, key);
    MazeGameState& w = *control.gameState;
    const Player& p = w.player;

    MazeGameStatus expected = before.status;
    if (key == Key::Enter) {
        bool unlocked = isPlay(before.status) && before.player.canViewMap;
        expected = screenAfter(before.status, unlocked ? Trigger::EnterMapUnlocked : Trigger::Enter);
    }
    if (control.gameStatus != expected) {
        fail("key " + std::to_string((int)key) + " changed the screen from " +
             std::to_string(before.status) + " to " + std::to_string(control.gameStatus) +
             ", not along the table");
        return;
    }
    if (control.frame != before.frame) {
        fail("a key event advanced the frame count");
        return;
    }

    if (key == Key::Enter && before.status == EFinishMsg) {
        checkNewWorld();
        return;
    }

    // Only the speeds and the bullets respond to keys; the maze never does.
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            if (w.maze(i, j) != before.cells[i + 1][j + 1]) {
                fail("a key event changed the maze");
                return;
            }
    if (!same(p.pos, before.player.pos) || p.yaw != before.player.yaw) {
        fail("a key event moved or turned the player at once");
        return;
    }

    bool play = isPlay(before.status);
    float wantForward = before.player.movingForward;
    float wantTurn = before.player.turningYaw;
    if (play && key == Key::Up)
        wantForward += 1 * 0.1;
    if (play && key == Key::Down)
        wantForward += -1 * 0.1;
    if (play && key == Key::Right)
        wantTurn += 1 * 4;
    if (play && key == Key::Left)
        wantTurn += -1 * 4;
    if (p.movingForward != wantForward || p.turningYaw != wantTurn) {
        fail("an arrow key changed the speeds wrongly (play " + std::to_string(play) + ")");
        return;
    }

    int added = w.bullets.count() - (int)before.bullets.size();
    bool canFire = key == Key::Space && before.player.canShoot && !before.player.doingShot;
    if (added != (canFire ? 1 : 0)) {
        fail("Space added " + std::to_string(added) + " bullets");
        return;
    }
    if (canFire) {
        const PointObject& b = w.bullets[w.bullets.count() - 1];
        Vector3f muzzle = before.player.pos;
        muzzle.z = muzzle.z + 0.3;
        if (!same(b.pos, muzzle) || !finite(b.v) || b.frame != 0 || !b.alive ||
            std::fabs(b.v.norm() - 0.4f) > 1e-4f || b.v.z != 0 || !p.doingShot ||
            p.shotFrame != 0) {
            fail("a shot fired a wrong bullet");
            return;
        }
        int deadline = flightDeadline(b.pos, b.v, control.frame);
        if (deadline == INT_MAX) {
            fail("a bullet was fired on a path that never meets a wall");
            return;
        }
        bulletFired.push_back(control.frame);
        bulletDeadline.push_back(deadline);
        st.shots++;
    }
}

void SoakRun::tick()
{
    Snapshot before = snap();
    if (isPlay(before.status) && std::fabs(before.player.movingForward) >= 1.0f)
        st.longSteps++;
    control.cycle();
    MazeGameState& w = *control.gameState;
    const Player& p = w.player;

    if (!isPlay(before.status)) {
        // The world is frozen on message screens.
        if (control.gameStatus != before.status || control.frame != before.frame ||
            !same(p.pos, before.player.pos) || p.yaw != before.player.yaw ||
            p.movingForward != before.player.movingForward ||
            p.turningYaw != before.player.turningYaw ||
            w.drops.count() != (int)before.drops.size() ||
            w.bullets.count() != (int)before.bullets.size() ||
            (w.drops.count() > 0 && !same(w.drops[0].pos, before.drops[0].pos)) ||
            !same(w.boids[0].pos, before.firstBird))
            fail("a tick on a message screen changed the world");
        return;
    }

    st.worldTicks++;
    if (control.frame != before.frame + 1) {
        fail("a tick in play did not count one frame");
        return;
    }

    // The screen after a tick: the last milestone of the tick wins.
    int caught = p.dropsCaught - before.player.dropsCaught;
    if (caught < 0 || caught > 1) {
        fail("dropsCaught went from " + std::to_string(before.player.dropsCaught) + " to " +
             std::to_string(p.dropsCaught));
        return;
    }
    MazeGameStatus expected = before.status;
    if (caught && p.dropsCaught == 10) {
        expected = screenAfter(before.status, Trigger::Drops10);
        st.maps++;
    } else if (caught && p.dropsCaught == 30) {
        expected = screenAfter(before.status, Trigger::Drops30);
        st.portals++;
    }
    if (!before.player.canShoot && p.canShoot) {
        expected = screenAfter(before.status, Trigger::Weapon);
        st.weapons++;
        if (!before.thingyAlive || w.thingy.alive)
            fail("the weapon was taken without the pick-up going");
    }
    if (p.pos.x > 17.0f || p.pos.y > 17.0f) {
        expected = screenAfter(before.status, Trigger::Finish);
        st.games++;
    }
    if (control.gameStatus != expected) {
        fail("a tick changed the screen from " + std::to_string(before.status) + " to " +
             std::to_string(control.gameStatus) + " where the table gives " +
             std::to_string(expected));
        return;
    }
    if (p.canViewMap != (p.dropsCaught >= 10) || (before.player.canShoot && !p.canShoot) ||
        (!before.thingyAlive && w.thingy.alive)) {
        fail("a progress flag went back or does not match the count");
        return;
    }
    if (p.dropsCaught > st.maxDrops)
        st.maxDrops = p.dropsCaught;

    checkLongStep(before.player.pos, p.pos);
    checkCellChanges(before);
    checkDrops(before);
    checkBullets(before);
    checkWorld();
}

// A world just built: the player at the start, nothing flying, the maze's
// shape, and no droplet or bullet to follow.
void SoakRun::checkNewWorld()
{
    MazeGameState& w = *control.gameState;
    const Player& p = w.player;
    if (control.gameStatus != ETitle1Msg || p.dropsCaught != 0 || p.pos.x != 1.5f ||
        p.pos.y != 1.5f || p.yaw != 0 || p.canShoot || p.canViewMap ||
        w.bullets.count() != 0 || w.drops.count() != 0 || w.boids.count() != 200 ||
        !w.thingy.alive) {
        fail("a new game did not start from the beginning");
        return;
    }
    dropRelease.clear();
    bulletFired.clear();
    bulletDeadline.clear();
    checkWorld();
}

void SoakRun::checkMazeShape(int dropsCaught)
{
    Labyrinth& m = control.gameState->maze;
    bool portalOpen = dropsCaught >= 30;
    for (int i = -1; i <= 17 && !failed; i++) {
        for (int j = -1; j <= 17; j++) {
            int v = m(i, j);
            bool legal = v == 1 || v == 0 || v == -2 || v == -3 || (v >= 5 && v <= 8) || v == -7;
            std::string where = "cell (" + std::to_string(i) + ", " + std::to_string(j) +
                                ") holds " + std::to_string(v);
            if (!legal) {
                fail(where + ", not a cell value");
                return;
            }
            if (onRing(i, j) && v != 0) {
                fail(where + " on the open ring");
                return;
            }
            if (onOuterWall(i, j)) {
                bool ok = (i == 16 && j == 15 && portalOpen) ? v == -3 : isWallValue(v);
                if (!ok) {
                    fail(where + " on the outer wall");
                    return;
                }
            }
            if (!onRing(i, j) && !onOuterWall(i, j)) {
                if ((v == -2 && !(i == 1 && j == 1)) || (v == -3 && !(i == 15 && j == 15)) ||
                    (i == 15 && j == 15 && (portalOpen != (v == -3)))) {
                    fail(where + " inside the maze");
                    return;
                }
            }
        }
    }
}

void SoakRun::checkWorld()
{
    MazeGameState& w = *control.gameState;
    const Player& p = w.player;
    checkMazeShape(p.dropsCaught);

    if (!finite(p.pos) || !std::isfinite(p.yaw) || !std::isfinite(p.movingForward) ||
        !std::isfinite(p.turningYaw) || p.pos.z != 0) {
        fail("the player's position or speeds are not finite");
        return;
    }
    // The centre and the four probes 0.02 around it stay clear of walls.
    const float probe[5][2] = {{0, 0}, {0.02f, 0}, {-0.02f, 0}, {0, 0.02f}, {0, -0.02f}};
    for (const auto& d : probe) {
        float x = p.pos.x + d[0], y = p.pos.y + d[1];
        if (overGrid(x, y) && w.maze((int)x, (int)y) > 0) {
            std::ostringstream out;
            out << "the player at (" << p.pos.x << ", " << p.pos.y << ") is in or against a wall";
            fail(out.str());
            return;
        }
    }

    if (w.boids.count() != 200) {
        fail("the flock lost or gained birds");
        return;
    }
    for (int k = 0; k < w.boids.count(); k++) {
        const PointObject& b = w.boids[k];
        if (!finite(b.pos) || !finite(b.v) || b.pos.x < 0 || b.pos.x > 18 || b.pos.y < 0 ||
            b.pos.y > 18 || b.pos.z < 1 || b.pos.z > 4) {
            fail("bird " + std::to_string(k) + " is not finite or left its box");
            return;
        }
    }
    for (int k = 0; k < w.bullets.count(); k++)
        if (!finite(w.bullets[k].pos) || !finite(w.bullets[k].v)) {
            fail("a bullet is not finite");
            return;
        }
    for (int k = 0; k < w.drops.count(); k++)
        if (!finite(w.drops[k].pos) || !finite(w.drops[k].v)) {
            fail("a droplet is not finite");
            return;
        }
    if ((int)dropRelease.size() != w.drops.count() ||
        (int)bulletFired.size() != w.bullets.count()) {
        fail("droplets or bullets appeared from nowhere");
        return;
    }
}

// A step of a whole unit or more is checked along its way, so it never
// passes through a wall. The probes only guard the four sides, so a path may
// graze a wall's corner: only points well inside a wall count.
void SoakRun::checkLongStep(const Vector3f& from, const Vector3f& to)
{
    Vector3f d = to - from;
    float length = d.norm();
    if (length < 0.999f)
        return;
    Labyrinth& m = control.gameState->maze;
    int samples = (int)(length / 0.005f) + 1;
    for (int k = 0; k <= samples; k++) {
        Vector3f q = from + d * ((float)k / samples);
        if (!overGrid(q.x, q.y) || m((int)q.x, (int)q.y) <= 0)
            continue;
        float fx = q.x - std::floor(q.x), fy = q.y - std::floor(q.y);
        if (fx > 0.05f && fx < 0.95f && fy > 0.05f && fy < 0.95f) {
            std::ostringstream out;
            out << "a step of " << length << " from (" << from.x << ", " << from.y << ") to ("
                << to.x << ", " << to.y << ") passed through a wall";
            fail(out.str());
            return;
        }
    }
}

// Cells change only by bullet hits, one step per bullet standing in the cell
// at the start of the tick, and by the portal opening at the 30th droplet.
void SoakRun::checkCellChanges(const Snapshot& before)
{
    Labyrinth& m = control.gameState->maze;
    bool portalOpened = before.player.dropsCaught < 30 && control.gameState->player.dropsCaught >= 30;
    for (int i = -1; i <= 17; i++) {
        for (int j = -1; j <= 17; j++) {
            int was = before.cells[i + 1][j + 1];
            int now = m(i, j);
            if (was == now)
                continue;
            if (portalOpened && isPortalCell(i, j) && now == -3)
                continue;
            int bulletsHere = 0;
            for (const PointObject& b : before.bullets)
                if (b.alive && overGrid(b.pos.x, b.pos.y) && (int)b.pos.x == i &&
                    (int)b.pos.y == j)
                    bulletsHere++;
            int hits = hitsOf(now) - hitsOf(was);
            if (!isWallValue(was) || hitsOf(now) < 0 || hits < 1 || hits > bulletsHere ||
                (now == -7 && onOuterWall(i, j))) {
                fail("cell (" + std::to_string(i) + ", " + std::to_string(j) + ") went from " +
                     std::to_string(was) + " to " + std::to_string(now) + " with " +
                     std::to_string(bulletsHere) + " bullets in it");
                return;
            }
            if (now == -7)
                st.wallsBroken++;
        }
    }
}

// Droplets fall straight from where they were released; each is gone within
// 29 ticks, and at most one new one appears per tick, at a bird.
void SoakRun::checkDrops(const Snapshot& before)
{
    MazeGameState& w = *control.gameState;
    std::vector<int> release;
    int c = 0;
    for (size_t k = 0; k < before.drops.size(); k++) {
        const PointObject& d = before.drops[k];
        Vector3f next = d.pos + d.v;
        bool mustGo = !d.alive || next.z < 0.0f;
        bool stayed = c < w.drops.count() && same(w.drops[c].pos, next);
        if (stayed == mustGo) {
            fail(std::string("a droplet was ") + (stayed ? "kept" : "removed") +
                 " wrongly (alive " + std::to_string(d.alive) + ", z " + std::to_string(next.z) +
                 ")");
            return;
        }
        if (stayed) {
            release.push_back(dropRelease[k]);
            c++;
        }
    }
    int fresh = w.drops.count() - c;
    if (fresh > 1) {
        fail(std::to_string(fresh) + " droplets appeared in one tick");
        return;
    }
    if (fresh == 1) {
        const PointObject& d = w.drops[c];
        bool atBird = false;
        for (int b = 0; b < w.boids.count() && !atBird; b++)
            atBird = same(d.pos, w.boids[b].pos);
        if (!atBird || d.v.x != 0 || d.v.y != 0 || d.v.z != 0) {
            fail("a new droplet did not start at rest at a bird");
            return;
        }
        release.push_back(control.frame);
    }
    dropRelease = release;

    int deadNow = 0;
    for (int k = 0; k < w.drops.count(); k++) {
        const PointObject& d = w.drops[k];
        int age = control.frame - dropRelease[k];
        if (age > 28 || d.frame != age) {
            fail("a droplet is " + std::to_string(age) + " ticks old (frame " +
                 std::to_string(d.frame) + ")");
            return;
        }
        if (!d.alive)
            deadNow++;
    }
    int caught = w.player.dropsCaught - before.player.dropsCaught;
    if (deadNow != caught) {
        fail(std::to_string(deadNow) + " droplets marked caught for " + std::to_string(caught) +
             " added to the count");
        return;
    }
}

// Bullets fly straight and die only in a wall or at the limit, and never
// later than their straight flight allows.
void SoakRun::checkBullets(const Snapshot& before)
{
    MazeGameState& w = *control.gameState;
    std::vector<int> fired, deadline;
    int c = 0;
    for (size_t k = 0; k < before.bullets.size(); k++) {
        const PointObject& b = before.bullets[k];
        Vector3f next = b.pos + b.v;
        bool stayed = c < w.bullets.count() && same(w.bullets[c].pos, next) &&
                      same(w.bullets[c].v, b.v);
        bool limit = beyondBulletLimit(b.pos);
        bool grid = overGrid(b.pos.x, b.pos.y);
        int was = grid ? before.cells[(int)b.pos.x + 1][(int)b.pos.y + 1] : 0;
        int now = grid ? w.maze((int)b.pos.x, (int)b.pos.y) : 0;
        if (stayed) {
            // A bullet in a wall survives only if another bullet broke that
            // wall just before it in the same tick.
            if (limit || (was >= 1 && now != -7)) {
                fail("a bullet flew on from inside a wall or beyond the limit");
                return;
            }
            if (control.frame >= bulletDeadline[k]) {
                fail("a bullet outlived its straight flight (deadline frame " +
                     std::to_string(bulletDeadline[k]) + ")");
                return;
            }
            if (w.bullets[c].frame != control.frame - bulletFired[k] || !w.bullets[c].alive) {
                fail("a bullet's age is wrong");
                return;
            }
            fired.push_back(bulletFired[k]);
            deadline.push_back(bulletDeadline[k]);
            c++;
        } else if (!limit && was < 1) {
            fail("a bullet vanished in open space");
            return;
        } else if (limit) {
            st.bulletsOut++;
        }
    }
    if (c != w.bullets.count()) {
        fail("bullets appeared during a tick");
        return;
    }
    bulletFired = fired;
    bulletDeadline = deadline;
}

class Soak : public ::testing::TestWithParam<int> {};

TEST_P(Soak, SeededPlayKeepsTheRules)
{
    unsigned seed = (unsigned)GetParam();
    int ticks = soakTicks();
    SoakRun run(seed);
    run.run(ticks);
    const Stats& s = run.stats();
    std::printf("seed %u: %ld ticks (%ld in play), %ld key events, %d games finished, "
                "%d maps, %d portals, %d weapons, most droplets %d, %ld shots, %ld walls "
                "broken, %ld bullets out through the portal, %ld long steps from %ld bursts\n",
                seed, s.ticks, s.worldTicks, s.keyEvents, s.games, s.maps, s.portals, s.weapons,
                s.maxDrops, s.shots, s.wallsBroken, s.bulletsOut, s.longSteps, s.bursts);
    RecordProperty("ticks", (int)s.ticks);
    RecordProperty("games_finished", s.games);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Soak, ::testing::Range(1, soakSeeds() + 1));

} // namespace
