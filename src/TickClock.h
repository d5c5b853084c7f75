// SPDX-License-Identifier: MIT
#ifndef TICKCLOCK_H
#define TICKCLOCK_H

// The fixed game tick. Given the millisecond reading curTime and lastTime, the
// reading at which the last tick ran, returns whether a tick runs now and, if
// so, moves lastTime to curTime. A tick runs when strictly more than 50 ms
// have passed; missed ticks are never caught up, so after a stall exactly one
// tick runs. A reading earlier than lastTime (the clock wrapped or was set
// back) restarts the count from curTime instead of waiting for the old time
// to come round again.
bool tickDue(float curTime, float& lastTime);

#endif
