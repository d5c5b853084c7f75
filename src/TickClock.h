// SPDX-License-Identifier: MIT
#ifndef TICKCLOCK_H
#define TICKCLOCK_H

// The fixed game tick. Given the millisecond reading curTime and lastTime, the
// reading at which the last tick ran, returns whether a tick runs now and, if
// so, moves lastTime to curTime. A tick runs when strictly more than 50 ms
// have passed; missed ticks are never caught up, so after a stall exactly one
// tick runs.
//
// The readings are GLUT's whole milliseconds, kept as integers: a float would
// round them once the game has run a few hours and stretch the ticks. The
// difference is taken modulo 2^32, so the pace stays the same when the int
// counter wraps after 24.8 days; a reading that went backwards counts as a
// long stall and runs one tick.
bool tickDue(int curTime, int& lastTime);

#endif
