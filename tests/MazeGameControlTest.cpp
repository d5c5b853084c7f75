// The controller's screens and commands; determinism of a whole game.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "CoreTestHelpers.h"
#include "MazeGameControl.h"
#include "MazeGameState.h"

namespace {

struct Controller : ::testing::Test {
    MazeGameControl c;
    void SetUp() override
    {
        srand(2);
        c.init();
    }
    Player& player() { return c.gameState->player; }
};

const MazeGameStatus kMessages[] = {ETitle1Msg,      ETitle2Msg,      ETitle3Msg, EBonusMapMsg,
                                    EBonusPortalMsg, EBonusWeaponMsg, EFinishMsg};

// Every field of the controller and its world, every cell included.
std::vector<double> snapshot(MazeGameControl& c)
{
    std::vector<double> s{(double)c.frame, (double)c.gameStatus};
    MazeGameState& w = *c.gameState;
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            s.push_back(w.maze(i, j));
    const Player& p = w.player;
    s.insert(s.end(), {p.pos.x, p.pos.y, p.pos.z, p.yaw, p.roll, p.pitch, p.movingForward,
                       p.movingLeft, p.movingUp, p.turningYaw, p.turningRoll, p.turningPitch,
                       (double)p.doingShot, (double)p.shotFrame, (double)p.wowed,
                       (double)p.dropsCaught, (double)p.canShoot, (double)p.canViewMap});
    auto add = [&](const PointObject& o) {
        s.insert(s.end(), {o.pos.x, o.pos.y, o.pos.z, o.v.x, o.v.y, o.v.z, (double)o.frame,
                           (double)o.alive});
    };
    s.push_back(w.bullets.count());
    for (int k = 0; k < w.bullets.count(); k++)
        add(w.bullets[k]);
    s.push_back(w.boids.count());
    for (int k = 0; k < w.boids.count(); k++)
        add(w.boids[k]);
    s.insert(s.end(), {w.boids.min.x, w.boids.min.y, w.boids.min.z, w.boids.max.x,
                       w.boids.max.y, w.boids.max.z, (double)w.drops.count()});
    for (int k = 0; k < w.drops.count(); k++)
        add(w.drops[k]);
    s.insert(s.end(), {w.thingy.pos.x, w.thingy.pos.y, w.thingy.pos.z, (double)w.thingy.frame,
                       (double)w.thingy.alive});
    return s;
}

// A scripted game: keys of every kind, the weapon given, messages confirmed.
std::vector<std::vector<double>> playScript(unsigned seed, int ticks)
{
    srand(seed);
    MazeGameControl c;
    c.init();
    std::vector<std::vector<double>> snaps;
    for (int t = 0; t < ticks; t++) {
        if (c.gameStatus < EFirstPersonView)
            c.pushOK();
        if (t % 4 == 0) c.move(1, 0, 0);
        if (t % 9 == 2) c.turn(t % 2 ? 1 : -1);
        if (t % 13 == 5) c.move(-1, 0, 0);
        if (t == 30) c.gameState->player.canShoot = true;
        if (t % 5 == 0) c.shoot();
        if (t == 100) c.gameState->player.canViewMap = true;
        if (t % 50 == 0) c.pushOK();
        c.cycle();
        snaps.push_back(snapshot(c));
    }
    return snaps;
}

} // namespace

TEST_F(Controller, EnterLeadsFromTitlesAndBonusesToTheFirstPersonView)
{
    EXPECT_EQ(c.frame, 0);
    EXPECT_EQ(c.gameStatus, ETitle1Msg);
    c.pushOK();
    EXPECT_EQ(c.gameStatus, ETitle2Msg);
    c.pushOK();
    EXPECT_EQ(c.gameStatus, ETitle3Msg);
    c.pushOK();
    EXPECT_EQ(c.gameStatus, EFirstPersonView);
    player().canViewMap = true;
    for (MazeGameStatus s : {EBonusMapMsg, EBonusPortalMsg, EBonusWeaponMsg}) {
        c.gameStatus = s;
        c.pushOK();
        EXPECT_EQ(c.gameStatus, EFirstPersonView) << s;
    }
}

TEST_F(Controller, EnterTogglesTheMapOnlyOnceUnlocked)
{
    for (MazeGameStatus s : {EFirstPersonView, EMapView}) {
        c.gameStatus = s;
        c.pushOK();
        EXPECT_EQ(c.gameStatus, s);
    }
    player().canViewMap = true;
    c.pushOK();
    EXPECT_EQ(c.gameStatus, EFirstPersonView);
    c.pushOK();
    EXPECT_EQ(c.gameStatus, EMapView);
}

TEST_F(Controller, MilestonesSwitchTheScreenEvenFromTheMap)
{
    c.gameStatus = EMapView;
    c.reachedLevel1();
    EXPECT_EQ(c.gameStatus, EBonusMapMsg);
    c.reachedLevel2();
    EXPECT_EQ(c.gameStatus, EBonusPortalMsg);
    c.foundWeapon();
    EXPECT_EQ(c.gameStatus, EBonusWeaponMsg);
    c.reachedFinish();
    EXPECT_EQ(c.gameStatus, EFinishMsg);
}

TEST_F(Controller, ArrowsActOnlyInPlay)
{
    for (MazeGameStatus s : kMessages) {
        c.gameStatus = s;
        c.move(1, 0, 0);
        c.turn(1);
        EXPECT_EQ(player().movingForward, 0.0f) << s;
        EXPECT_EQ(player().turningYaw, 0.0f) << s;
    }
    for (MazeGameStatus s : {EFirstPersonView, EMapView}) {
        c.gameStatus = s;
        player().movingForward = player().turningYaw = 0;
        c.move(1, 0, 0);
        c.turn(1);
        EXPECT_EQ(player().movingForward, 0.1f);
        EXPECT_EQ(player().turningYaw, 4.0f);
        c.move(-1, 0, 0);
        c.move(-1, 0, 0);
        c.turn(-1);
        c.turn(-1);
        EXPECT_NEAR(player().movingForward, -0.1f, 1e-7);
        EXPECT_EQ(player().turningYaw, -4.0f);
    }
}

TEST_F(Controller, ShootingIgnoresTheScreenButNeedsTheWeaponAndCooldown)
{
    c.gameStatus = EBonusWeaponMsg;
    c.shoot();
    EXPECT_EQ(c.gameState->bullets.count(), 0) << "no weapon yet";
    player().canShoot = true;
    c.shoot();
    ASSERT_EQ(c.gameState->bullets.count(), 1);
    const PointObject& b = c.gameState->bullets[0];
    EXPECT_EQ(b.pos.x, 1.5f);
    EXPECT_EQ(b.pos.y, 1.5f);
    EXPECT_EQ(b.pos.z, 0.3f);
    EXPECT_EQ(b.v.x, 0.0f);
    EXPECT_EQ(b.v.y, 0.4f);
    EXPECT_TRUE(player().doingShot);
    EXPECT_EQ(player().shotFrame, 0);
    c.shoot();
    c.cycle();  // frozen: the cooldown does not run on a message screen
    c.shoot();
    EXPECT_EQ(c.gameState->bullets.count(), 1);
    EXPECT_EQ(player().shotFrame, 0);

    c.pushOK();
    c.cycle();
    c.cycle();
    c.shoot();
    EXPECT_EQ(c.gameState->bullets.count(), 1) << "cooldown still running";
    c.cycle();
    player().yaw = 90;
    c.shoot();
    ASSERT_EQ(c.gameState->bullets.count(), 2);
    EXPECT_TRUE(player().doingShot);
    EXPECT_EQ(player().shotFrame, 0);
    float sinYaw = (float)std::sin(90 * 3.1415 / 180), cosYaw = (float)std::cos(90 * 3.1415 / 180);
    EXPECT_EQ(c.gameState->bullets[1].v.x, (float)(sinYaw * 0.4));
    EXPECT_EQ(c.gameState->bullets[1].v.y, (float)(cosYaw * 0.4));
    EXPECT_GT(c.gameState->bullets[1].v.y, 1e-5f) << "3.1415, not pi";
}

TEST_F(Controller, CycleAdvancesOnlyInPlayAndDrawsNothingOnMessages)
{
    c.gameState->drops.add(PointObject(Vector3f(3, 3, 3), Vector3f()));
    player().movingForward = 0.1f;
    std::vector<double> before = snapshot(c);
    for (MazeGameStatus s : kMessages) {
        c.gameStatus = s;
        srand(9);
        int r = rand();
        srand(9);
        c.cycle();
        EXPECT_EQ(rand(), r) << s;
        c.gameStatus = ETitle1Msg;
        EXPECT_EQ(snapshot(c), before) << s;
    }
    c.gameStatus = EMapView;
    c.cycle();
    EXPECT_EQ(c.frame, 1);
    EXPECT_FLOAT_EQ(player().movingForward, 0.08f);
    EXPECT_EQ(c.gameState->drops[0].frame, 1);
}

TEST_F(Controller, EnterOnFinishBuildsANewWorldFromTheRunningSequence)
{
    c.gameStatus = EFirstPersonView;
    for (int t = 0; t < 3; t++)
        c.cycle();
    player().dropsCaught = 5;
    c.gameStatus = EFinishMsg;
    srand(77);
    c.pushOK();
    ASSERT_NE(c.gameState, nullptr);
    EXPECT_EQ(c.gameStatus, ETitle1Msg);
    EXPECT_EQ(c.frame, 3);
    EXPECT_EQ(player().dropsCaught, 0);
    srand(77);
    MazeGameState ref(nullptr);
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            ASSERT_EQ(c.gameState->maze(i, j), ref.maze(i, j));
    EXPECT_EQ(c.gameState->thingy.pos.x, ref.thingy.pos.x);
    EXPECT_EQ(c.gameState->thingy.pos.y, ref.thingy.pos.y);
    for (int k = 0; k < 3; k++)
        c.pushOK();
    c.cycle();
    EXPECT_EQ(c.frame, 4);
}

TEST(Determinism, SameSeedAndCommandsGiveIdenticalGamesTickByTick)
{
    std::vector<std::vector<double>> a = playScript(31337, 300);
    std::vector<std::vector<double>> b = playScript(31337, 300);
    ASSERT_EQ(a.size(), b.size());
    for (size_t t = 0; t < a.size(); t++)
        ASSERT_EQ(a[t], b[t]) << "tick " << t;
    EXPECT_GT(a.back()[0], 250.0) << "the script must keep the game in play";
}
