// SPDX-License-Identifier: MIT
#ifndef MAZEGAMESTATE_H
#define MAZEGAMESTATE_H

#include "Labyrinth.h"
#include "MiscObjects.h"
#include "Player.h"

class MazeGameControl;

// The world of one game: it builds a random level and runs the game's ticks.
class MazeGameState {
public:
    explicit MazeGameState(MazeGameControl* gameControl);
    ~MazeGameState();

    // One tick: every actor moves, then droplets fall from the birds, are
    // caught, the weapon is picked up and the finish is checked.
    void behave();

    MazeGameControl* gameControl; // not owned; receives the milestones
    Labyrinth maze;
    Player player;
    Bullets bullets;
    Boids boids;
    Drops drops;
    MovingThingy thingy;

private:
    MazeGameState(const MazeGameState&) = delete;
    MazeGameState& operator=(const MazeGameState&) = delete;
};

#endif
