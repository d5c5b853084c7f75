// SPDX-License-Identifier: MIT
#ifndef GAMERANDOM_H
#define GAMERANDOM_H

#include <cstdint>

// The game's one random source: every random choice (maze, rooms, pick-up
// cell, flock, droplets) is a draw from it, in a fixed order, so one seed
// fixes one world. Its numbers are glibc's rand() sequence on every platform.
// Where the C library is glibc, GameRandom::srand and GameRandom::rand are
// the C library's own, so code that seeds with ::srand stays in step with
// the game. Elsewhere rand() may stop at 32767 (the game needs draws up to
// 99999) and runs another sequence, so the game runs its own copy of glibc's
// generator there.
class GameRandom {
public:
    static void srand(unsigned int seed);
    static int rand(); // 0 to 2^31 - 1

    // glibc's generator itself: the additive feedback generator of its
    // default 31-word state, seeded by the same rule as its srand.
    explicit GameRandom(unsigned int seed);
    int next();

private:
    static const int kDegree = 31;
    static const int kSeparation = 3;

    uint32_t state[kDegree];
    int front; // glibc's fptr
    int rear; // glibc's rptr
};

#endif
