// SPDX-License-Identifier: MIT
#include "MazeGameState.h"

#include <cmath>
#include <cstdlib>

#include "GameRandom.h"
#include "MazeGameControl.h"

namespace {

const int kFlockSize = 200;
const int kMapMilestone = 10;
const int kPortalMilestone = 30;
// Droplets and the pick-up are tested against the height of the eye.
const double kCatchHeight = 0.5;

// Within 0.3 of the player on both floor axes and 0.5 of the eye's height.
bool withinReach(const Vector3f& p, const Player& player)
{
    float dx = std::fabs(p.x - player.pos.x);
    float dy = std::fabs(p.y - player.pos.y);
    float dz = std::fabs(p.z - kCatchHeight);
    return dx < 0.3 && dy < 0.3 && dz < 0.5;
}

void spawnDrop(Boids& boids, Drops& drops)
{
    if (GameRandom::rand() % 2 != 0)
        return;
    int bird = GameRandom::rand() % boids.count();
    drops.add(PointObject(boids[bird].pos, Vector3f(0, 0, 0)));
}

} // namespace

MazeGameState::MazeGameState(MazeGameControl* gameControl)
    : gameControl(gameControl)
    , maze()
    , player()
    , bullets()
    , boids(kFlockSize, Vector3f(0, 0, 1), Vector3f(18, 18, 4))
    , drops()
    , thingy()
{
    maze.MakeRandom();
    maze.AddRandomSquare(4, 5);
    maze.AddRandomSquare(3, 3);
    maze.AddRandomSquare(2, 4);
    maze.AddRandomSquare(3, 1);
    for (int j = 2; j <= 5; j++)
        maze(1, j) = 0;
    maze(1, 1) = -2;

    int wx = GameRandom::rand() % 15 + 1;
    int wy = GameRandom::rand() % 15 + 1;
    maze(wx, wy) = 0;
    thingy = MovingThingy(Vector3f(wx + 0.5f, wy + 0.5f, 0.5f));
}

MazeGameState::~MazeGameState()
{
}

void MazeGameState::behave()
{
    player.behave(maze);
    bullets.behave(maze);
    boids.behave();
    drops.behave();
    thingy.behave();

    spawnDrop(boids, drops);

    // At most one droplet is caught per tick: the first one in reach.
    for (int k = 0; k < drops.count(); k++) {
        PointObject& drop = drops[k];
        if (!drop.alive || !withinReach(drop.pos, player))
            continue;
        player.wowed = true;
        drop.alive = false;
        player.dropsCaught++;
        if (player.dropsCaught == kMapMilestone) {
            player.canViewMap = true;
            gameControl->reachedLevel1();
        } else if (player.dropsCaught == kPortalMilestone) {
            maze(15, 15) = -3;
            maze(16, 15) = -3;
            gameControl->reachedLevel2();
        }
        break;
    }

    if (thingy.alive && withinReach(thingy.pos, player)) {
        player.canShoot = true;
        thingy.alive = false;
        gameControl->foundWeapon();
    }

    if (player.pos.x > 17 || player.pos.y > 17)
        gameControl->reachedFinish();
}
