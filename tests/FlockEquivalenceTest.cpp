// SPDX-License-Identifier: MIT
// The flock's tick is tuned for speed; it must match a plain step of the
// flocking rules bird for bird and bit for bit on every tick.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "MiscObjects.h"

// One tick as the rules read: move and wrap every bird, then steer each in
// turn with its neighbours' velocities as they are at that moment.
static void referenceStep(std::vector<PointObject>& b, const Vector3f& lo, const Vector3f& hi)
{
    auto wrap = [](float& c, float l, float h) {
        if (c > h)
            c = l;
        if (c < l)
            c = h;
    };
    for (PointObject& p : b)
        p.pos = p.pos + p.v, wrap(p.pos.x, lo.x, hi.x), wrap(p.pos.y, lo.y, hi.y), wrap(p.pos.z, lo.z, hi.z);
    for (size_t i = 0; i < b.size(); i++) {
        std::vector<std::pair<size_t, float>> nb; // the neighbours and their d2, in index order
        for (size_t j = 0; j < b.size(); j++)
            if (float d2 = (b[i].pos - b[j].pos).norm2(); j != i && d2 < 1.0f)
                nb.push_back({j, d2});
        Vector3f steer, align, cohes;
        int close = 0, far = 0;
        for (auto [j, d2] : nb) {
            align = align + b[j].v;
            if (d2 < 0.09f)
                steer = steer + (b[i].pos - b[j].pos), close++;
            if (d2 >= 0.09f)
                cohes = cohes + b[j].pos - b[i].pos, far++;
        }
        if (close)
            steer.normalize();
        if (!nb.empty())
            align = align / (float)nb.size() - b[i].v, align.normalize();
        if (far)
            cohes.normalize();
        b[i].v = b[i].v + (cohes * 0.1f + steer * 1.0f + align * 0.3f) / 10.0f;
        b[i].v.normalize();
        b[i].v = b[i].v / 10.0f;
    }
}

// Offsets whose squared length, summed (x*x + y*y) + z*z, is exactly 0.09
// or 1, while x*x + (y*y + z*z) falls just inside: a flock that sums the
// squares in another order sees separation or neighbours the rules do not.
const Vector3f kCloseEdge(0.109071486f, 0.249956816f, 0.125f);
const Vector3f kRadiusEdge(0.50000006f, 0.707106709f, 0.5f);

TEST(FlockEquivalence, SeedsDenseClustersEdgesAndSmallFlocksMatchBitForBit)
{
    for (auto [d, edge] : {std::pair(kCloseEdge, 0.09f), std::pair(kRadiusEdge, 1.0f)})
        ASSERT_TRUE(d.norm2() == edge && d.x * d.x + (d.y * d.y + d.z * d.z) < edge) << edge;
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
        srand(cs.seed);
        Boids f(cs.n, Vector3f(0, 0, 1), Vector3f(18, 18, 4));
        std::vector<PointObject> ref;
        for (int i = 0; i < cs.n; ref.push_back(f[i++]))
            if (cs.cluster > 0)
                f[i].pos = Vector3f(8.25f, 8.25f, 1.75f) + Vector3f::random() * cs.cluster;
        for (int t = 0; t < cs.ticks; t++) {
            for (size_t i = 0; cs.placeEdges && t % 50 == 0 && i < edges.size(); i++)
                f[i] = ref[i] = edges[i];
            f.behave();
            referenceStep(ref, f.min, f.max);
            for (int i = 0; i < cs.n; i++)
                ASSERT_TRUE(!memcmp(&f[i].pos, &ref[i].pos, sizeof(Vector3f)) &&
                    !memcmp(&f[i].v, &ref[i].v, sizeof(Vector3f)) && f[i].frame == 0 && f[i].alive)
                    << "seed " << cs.seed << ", bird " << i << " at tick " << t;
        }
    }
}
