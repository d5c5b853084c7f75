// SPDX-License-Identifier: MIT
#include "Labyrinth.h"

#include "GameRandom.h"

void Labyrinth::MakeRandom()
{
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++) {
            bool ring = i == -1 || i == 17 || j == -1 || j == 17;
            (*this)(i, j) = ring ? 0 : 1;
        }
    (*this)(1, 1) = 0;
    WalkMaze(1, 1);
}

// Randomised depth-first carving over the rooms (both indices odd). The ring
// and visited rooms hold 0, so the two-step look-ahead never needs a bounds
// check.
void Labyrinth::WalkMaze(int x, int y)
{
    if (x < 0 || x > 16 || y < 0 || y > 16)
        return;
    Labyrinth& m = *this;
    while (m(x - 2, y) != 0 || m(x + 2, y) != 0 || m(x, y - 2) != 0 || m(x, y + 2) != 0) {
        int dx, dy;
        for (;;) {
            dx = GameRandom::rand() % 3 - 1;
            dy = GameRandom::rand() % 3 - 1;
            bool straight = (dx == 0) != (dy == 0);
            if (straight && m(x + 2 * dx, y + 2 * dy) != 0)
                break;
        }
        m(x + dx, y + dy) = 0;
        m(x + 2 * dx, y + 2 * dy) = 0;
        WalkMaze(x + 2 * dx, y + 2 * dy);
    }
}

void Labyrinth::AddRandomSquare(int width, int height)
{
    int x = GameRandom::rand() % (15 - width) + 1;
    int y = GameRandom::rand() % (15 - height) + 1;
    for (int a = 0; a < width; a++)
        for (int b = 0; b < height; b++)
            (*this)(x + a, y + b) = 0;
}
