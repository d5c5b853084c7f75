// SPDX-License-Identifier: MIT
#include "TickClock.h"

bool tickDue(float curTime, float& lastTime)
{
    float elapsed = curTime - lastTime;
    if (elapsed < 0.0f) {
        lastTime = curTime;
        return false;
    }
    if (elapsed > 50.0f) {
        lastTime = curTime;
        return true;
    }
    return false;
}
