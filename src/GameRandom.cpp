// SPDX-License-Identifier: MIT
#include "GameRandom.h"

#include <cstdlib> // also tells whether the C library is glibc

GameRandom::GameRandom(unsigned int seed)
    : front(kSeparation)
    , rear(0)
{
    if (seed == 0)
        seed = 1;
    state[0] = seed;
    // state[i] = 16807 * state[i - 1] % (2^31 - 1), in Schrage's form and
    // 32-bit words as glibc computes it (a seed above 2^31 - 1 enters as a
    // negative word).
    int32_t word = static_cast<int32_t>(seed);
    for (int i = 1; i < kDegree; ++i) {
        int64_t hi = word / 127773;
        int64_t lo = word % 127773;
        int64_t next = 16807 * lo - 2836 * hi;
        if (next < 0)
            next += 2147483647;
        word = static_cast<int32_t>(next);
        state[i] = static_cast<uint32_t>(word);
    }
    // glibc throws away the first ten rounds of the state.
    for (int i = 0; i < 10 * kDegree; ++i)
        next();
}

int GameRandom::next()
{
    state[front] += state[rear];
    int result = static_cast<int>(state[front] >> 1);
    front = (front + 1) % kDegree;
    rear = (rear + 1) % kDegree;
    return result;
}

#if defined(__GLIBC__)

void GameRandom::srand(unsigned int seed)
{
    std::srand(seed);
}

int GameRandom::rand()
{
    return std::rand();
}

#else

namespace {

// Unseeded, it runs as seeded with 1, as the C library's rand() does.
GameRandom& shared()
{
    static GameRandom generator(1);
    return generator;
}

} // namespace

void GameRandom::srand(unsigned int seed)
{
    shared() = GameRandom(seed);
}

int GameRandom::rand()
{
    return shared().next();
}

#endif
