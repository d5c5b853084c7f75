// Shared set-ups for the core tests: plain mazes, a maze fenced by walls
// outside its array, a parked flock, and a reference maze generator written
// independently of src/ so that seeded tests can predict whole mazes.
#ifndef CORETESTHELPERS_H
#define CORETESTHELPERS_H

#include <cstdlib>

#include "Labyrinth.h"
#include "MiscObjects.h"

inline void fillMaze(Labyrinth& m, int value)
{
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            m(i, j) = value;
}

// A grid with walls (1) in the memory on both sides: code that reads beyond
// the 19 x 19 cells sees walls there, and any write shows in the guards.
struct GuardedMaze {
    int before[400];
    Labyrinth maze;
    int after[400];
    GuardedMaze()
    {
        for (int k = 0; k < 400; k++)
            before[k] = after[k] = 1;
        fillMaze(maze, 0);
    }
    bool guardsIntact() const
    {
        for (int k = 0; k < 400; k++)
            if (before[k] != 1 || after[k] != 1)
                return false;
        return true;
    }
};
static_assert(sizeof(GuardedMaze) == (800 + 361) * sizeof(int), "guards must touch the grid");

// All birds at one point at rest: every steering sum is zero, so they stay.
inline void parkFlock(Boids& b, const Vector3f& at)
{
    for (int k = 0; k < b.count(); k++) {
        b[k].pos = at;
        b[k].v = Vector3f();
    }
}

// MakeRandom and AddRandomSquare on a plain array, drawing rand() in the
// game's order: dx then dy for each try, the area's x then y.
struct RefMaze {
    int c[19][19];
    int& at(int i, int j) { return c[i + 1][j + 1]; }
    void walk(int x, int y)
    {
        if (x < 0 || x > 16 || y < 0 || y > 16)
            return;
        while (at(x - 2, y) != 0 || at(x + 2, y) != 0 || at(x, y - 2) != 0 || at(x, y + 2) != 0) {
            int dx, dy;
            do {
                dx = rand() % 3 - 1;
                dy = rand() % 3 - 1;
            } while (!((dx == 0) != (dy == 0) && at(x + 2 * dx, y + 2 * dy) != 0));
            at(x + dx, y + dy) = 0;
            at(x + 2 * dx, y + 2 * dy) = 0;
            walk(x + 2 * dx, y + 2 * dy);
        }
    }
    void makeRandom()
    {
        for (int i = -1; i <= 17; i++)
            for (int j = -1; j <= 17; j++)
                at(i, j) = (i < 0 || i > 16 || j < 0 || j > 16) ? 0 : 1;
        at(1, 1) = 0;
        walk(1, 1);
    }
    void addSquare(int w, int h)
    {
        int x = rand() % (15 - w) + 1;
        int y = rand() % (15 - h) + 1;
        for (int a = 0; a < w; a++)
            for (int b = 0; b < h; b++)
                at(x + a, y + b) = 0;
    }
};

// Number of cells (i, j) in -1..17 where the two grids differ.
inline int cellsDiffering(Labyrinth& m, RefMaze& r)
{
    int n = 0;
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            n += m(i, j) != r.at(i, j);
    return n;
}

#endif
