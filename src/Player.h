// SPDX-License-Identifier: MIT
#ifndef PLAYER_H
#define PLAYER_H

#include "Labyrinth.h"
#include "MathUtils.h"

// The player: position and heading, the speeds the arrow keys build up, the
// shot cooldown and the progress flags set by the game's rules.
class Player {
public:
    Player();

    // One tick of motion: walk along the heading, stopped short of walls by
    // halving the step, then turn, let the speeds decay and run the cooldown.
    void behave(Labyrinth& maze);

    Vector3f pos;
    float yaw; // degrees; 0 looks along +y, 90 along +x
    float roll;
    float pitch;
    float movingForward; // units per tick, negative walks backward
    float movingLeft;
    float movingUp;
    float turningYaw; // degrees per tick, positive turns right
    float turningRoll;
    float turningPitch;
    bool doingShot;
    int shotFrame;
    bool wowed; // a droplet was caught in the latest tick
    int dropsCaught;
    bool canShoot;
    bool canViewMap;
};

#endif
