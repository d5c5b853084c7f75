// SPDX-License-Identifier: MIT
// Preloaded into the game by the end-to-end tests: time() answers DEW_TIME, so
// the game seeds its random numbers, and builds its maze, from a known value.
// With DEW_STILL_CLOCK set as well, the clocks that time the ticks stand
// still where they were when the game started: no tick ever runs, and every frame of
// play shows the world as its level was built.
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

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

static bool still;
static struct timespec stillMonotonic, stillRealtime;

// The real clock, asked of the kernel: a sanitizer's runtime, loaded first,
// reads the clock while it starts, before this library could look up the
// C library's clock_gettime.
static int realClockGetTime(clockid_t clock, struct timespec* now)
{
    return (int)syscall(SYS_clock_gettime, clock, now);
}

__attribute__((constructor)) static void readClocks()
{
    still = std::getenv("DEW_STILL_CLOCK") != nullptr;
    realClockGetTime(CLOCK_MONOTONIC, &stillMonotonic);
    realClockGetTime(CLOCK_REALTIME, &stillRealtime);
}

extern "C" int clock_gettime(clockid_t clock, struct timespec* now) noexcept
{
    if (still && clock == CLOCK_MONOTONIC)
        *now = stillMonotonic;
    else if (still && clock == CLOCK_REALTIME)
        *now = stillRealtime;
    else
        return realClockGetTime(clock, now);
    return 0;
}

extern "C" int gettimeofday(struct timeval* now, void* /*zone*/) noexcept
{
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    now->tv_sec = t.tv_sec;
    now->tv_usec = t.tv_nsec / 1000;
    return 0;
}
