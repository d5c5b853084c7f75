// SPDX-License-Identifier: MIT
#include "TickClock.h"

#include <cstdint>

bool tickDue(int curTime, int& lastTime)
{
    uint32_t elapsed = static_cast<uint32_t>(curTime) - static_cast<uint32_t>(lastTime);
    if (elapsed > 50) {
        lastTime = curTime;
        return true;
    }
    return false;
}
