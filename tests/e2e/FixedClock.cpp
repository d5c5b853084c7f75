// SPDX-License-Identifier: MIT
// Preloaded into the game by the end-to-end test: time() answers DEW_TIME, so
// the game seeds its random numbers, and builds its maze, from a known value.
#include <cstdlib>
#include <ctime>

extern "C" time_t time(time_t* t) noexcept
{
    const char* set = std::getenv("DEW_TIME");
    time_t now = set ? std::atol(set) : 0;
    if (t)
        *t = now;
    return now;
}
