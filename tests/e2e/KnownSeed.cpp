// SPDX-License-Identifier: MIT
// Prints the first seed whose world has the start room open to the right
// (cell (2, 1)), the corridor ahead (cells (1, 2) to (1, 5), always open)
// closed by cell (1, 6), and the pick-up off that corridor: the maze the
// end-to-end test walks.
#include <cstdio>
#include <cstdlib>

#include "MazeGameControl.h"
#include "MazeGameState.h"

int main()
{
    for (long seed = 1;; seed++) {
        srand(seed);
        MazeGameControl control;
        control.init();
        MazeGameState& world = *control.gameState;
        if (world.maze(2, 1) <= 0 && world.maze(1, 6) > 0 && (int)world.thingy.pos.x != 1)
            return printf("%ld\n", seed) < 0;
    }
}
