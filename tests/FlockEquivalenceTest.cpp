// SPDX-License-Identifier: MIT
// The flock's tick is tuned for speed; it must match a plain step of the
// flocking rules bird for bird and bit for bit on every tick.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "MiscObjects.h"
#include "PlainFlock.h"

// Offsets whose squared length, summed (x*x + y*y) + z*z, is exactly 0.09
// or 1, while x*x + (y*y + z*z) falls just inside: a flock that sums the
// squares in another order sees separation or neighbours the rules do not.
const Vector3f kCloseEdge(0.109071486f, 0.249956816f, 0.125f);
const Vector3f kRadiusEdge(0.50000006f, 0.707106709f, 0.5f);

TEST(FlockEquivalence, SeedsDenseClustersEdgesAndSmallFlocksMatchBitForBit)
{
    // Pairs at rest (the move keeps their offsets exact) on the two edges,
    // and one pair at the very same place: a zero separation sum.
    const Vector3f a(0, 0, 1.25f), b(0, 0, 3.5f), c(0, 12, 1.5f), rest;
    const std::vector<PointObject> edges = {
        {a, rest}, {a + kCloseEdge, rest}, {b, rest}, {b + kRadiusEdge, rest}, {c, rest}, {c, rest}};
    // cluster > 0 packs every bird into a cube that wide in the middle of the box.
    struct Case {
        unsigned seed;
        int n;
        float cluster;
        int ticks;
        bool placeEdges;
    };
    const Case cases[] = {{1, 200, 0, 600, false}, {3, 200, 1.5f, 400, false}, {5, 200, 0, 500, true},
        {100, 0, 0, 10, false}, {101, 1, 0, 100, false}, {117, 17, 0.5f, 300, false}};
    for (const Case& cs : cases) {
        SCOPED_TRACE(::testing::Message() << "seed " << cs.seed);
        srand(cs.seed);
        Boids f(cs.n, Vector3f(0, 0, 1), Vector3f(18, 18, 4));
        std::vector<PointObject> plain;
        for (int i = 0; i < cs.n; i++) {
            if (cs.cluster > 0)
                f[i].pos = Vector3f(8.25f, 8.25f, 1.75f) + Vector3f::random() * cs.cluster;
            plain.push_back(f[i]);
        }
        for (int t = 0; t < cs.ticks; t++) {
            if (cs.placeEdges && t % 50 == 0) {
                for (size_t i = 0; i < edges.size(); i++) {
                    f[i] = edges[i];
                    plain[i] = edges[i];
                }
            }
            f.behave();
            plainFlockStep(plain, f.min, f.max);
            for (int i = 0; i < cs.n; i++) {
                const bool samePos = std::memcmp(&f[i].pos, &plain[i].pos, sizeof(Vector3f)) == 0;
                const bool sameV = std::memcmp(&f[i].v, &plain[i].v, sizeof(Vector3f)) == 0;
                ASSERT_TRUE(samePos && sameV) << "bird " << i << ", tick " << t;
                ASSERT_TRUE(f[i].frame == 0 && f[i].alive) << "bird " << i << " aged or died";
            }
        }
    }
}
