// SPDX-License-Identifier: MIT
// The portable program links the C++ runtime in. Built against glibc 2.36,
// its std::random_device asks the C library for arc4random(), new in 2.36,
// and that one import alone would keep the game off every system with an
// older glibc. The game never uses std::random_device; for the runtime's
// sake, arc4random() is given here, over getrandom() (glibc 2.25).
#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

extern "C" uint32_t arc4random() noexcept
{
    uint32_t value;
    while (getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value))
        if (errno != EINTR)
            std::abort();
    return value;
}
