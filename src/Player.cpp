// SPDX-License-Identifier: MIT
#include "Player.h"

#include <cmath>

namespace {

const float kProbeMargin = 0.02f;
// Spacing of the extra probes along a step of a whole cell or more, so that
// such a step cannot jump over a wall.
const float kPathSpacing = 0.02f;

bool wallAt(Labyrinth& maze, float x, float y)
{
    return onGrid(x, y) && maze((int)x, (int)y) > 0;
}

// The player is a cross of half-width 0.02; probing stops at the first wall.
bool probesHitWall(Labyrinth& maze, const Vector3f& p)
{
    return wallAt(maze, p.x + kProbeMargin, p.y) || wallAt(maze, p.x - kProbeMargin, p.y) ||
        wallAt(maze, p.x, p.y + kProbeMargin) || wallAt(maze, p.x, p.y - kProbeMargin);
}

bool pathHitsWall(Labyrinth& maze, const Vector3f& from, const Vector3f& to, float length)
{
    int samples = (int)std::ceil(std::fabs(length) / kPathSpacing);
    Vector3f delta = to - from;
    for (int k = 1; k < samples; k++) {
        if (probesHitWall(maze, from + delta * ((float)k / samples)))
            return true;
    }
    return false;
}

bool trialBlocked(Labyrinth& maze, const Vector3f& from, const Vector3f& to, float step)
{
    if (probesHitWall(maze, to))
        return true;
    return std::fabs(step) >= 1.0f && pathHitsWall(maze, from, to, step);
}

// A speed that has decayed below the cut-off stops.
void settle(float& speed)
{
    speed *= 0.8;
    if (-0.01 < speed && speed < 0.01)
        speed = 0;
}

} // namespace

Player::Player()
    : pos(1.5f, 1.5f, 0.0f)
    , yaw(0)
    , roll(0)
    , pitch(0)
    , movingForward(0)
    , movingLeft(0)
    , movingUp(0)
    , turningYaw(0)
    , turningRoll(0)
    , turningPitch(0)
    , doingShot(false)
    , shotFrame(0)
    , wowed(false)
    , dropsCaught(0)
    , canShoot(false)
    , canViewMap(false)
{
}

void Player::behave(Labyrinth& maze)
{
    double angle = yaw * 3.1415 / 180;
    float cosYaw = std::cos(angle);
    float sinYaw = std::sin(angle);

    // A blocked step is halved until it fits or reaches zero; a position that
    // fails even at zero step (which play never produces) is kept as it is.
    float s = movingForward;
    Vector3f newPos;
    for (;;) {
        newPos = pos + Vector3f(sinYaw * s, cosYaw * s, 0);
        if (!trialBlocked(maze, pos, newPos, s))
            break;
        if (s == 0) {
            newPos = pos;
            break;
        }
        s = s / 2.0;
        if (-0.02 < s && s < 0.02)
            s = 0;
    }
    pos = newPos;

    yaw += turningYaw;
    settle(movingForward);
    settle(turningYaw);

    if (doingShot) {
        shotFrame++;
        if (shotFrame == 3)
            doingShot = false;
    }
    if (wowed)
        wowed = false;
}
