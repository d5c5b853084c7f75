// SPDX-License-Identifier: MIT
#ifndef LABYRINTH_H
#define LABYRINTH_H

#include <cassert>

// The 19 by 19 grid of cells, addressed by indices -1..17. The maze lies in
// the 17 by 17 block 0..16; the ring at -1 and 17 is open floor.
//
// Cell values: 1 wall, 5..8 a wall hit one to four times, 0 open floor,
// -2 the start cell, -3 a portal, -7 floor where a wall was shot away.
// A cell is solid exactly when its value is 1 or more.
class Labyrinth {
public:
    int& operator()(int i, int j)
    {
        assert(i >= -1 && i <= 17 && j >= -1 && j <= 17);
        return maze[(i + 1) * 19 + (j + 1)];
    }
    int operator()(int i, int j) const
    {
        assert(i >= -1 && i <= 17 && j >= -1 && j <= 17);
        return maze[(i + 1) * 19 + (j + 1)];
    }

    // Overwrites every cell with a new perfect maze carved from room (1, 1).
    void MakeRandom();
    // Opens a randomly placed width by height area inside cells 1..14.
    void AddRandomSquare(int width, int height);

private:
    void WalkMaze(int x, int y);

    int maze[361];
};

// Whether a floor position lies over a cell of the grid, ring included.
// Positions map to cells by truncation toward zero, so x from -2 (exclusive)
// up to 18 (exclusive) gives the indices -1..17.
inline bool onGrid(float x, float y)
{
    return x > -2.0f && x < 18.0f && y > -2.0f && y < 18.0f;
}

#endif
