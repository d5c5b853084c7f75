// SPDX-License-Identifier: MIT
#ifndef PLAINFLOCK_H
#define PLAINFLOCK_H

#include <vector>

#include "MiscObjects.h"

// One tick of the flocking rules written plainly: move and wrap every bird,
// then steer each in turn, with its neighbours' velocities as they are at
// that moment, comparing every ordered pair through Vector3f and collecting
// each bird's neighbours in fresh lists. The benchmarks time it beside the
// flock's own tick, and the tests hold the flock to it bit for bit.
void plainFlockStep(std::vector<PointObject>& birds, const Vector3f& min, const Vector3f& max);

#endif
