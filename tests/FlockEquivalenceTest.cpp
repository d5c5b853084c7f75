// The flock's tick is tuned for speed; this checks it against a slow,
// obviously faithful flock step, bird for bird and bit for bit, every tick.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "MathUtils.h"
#include "MiscObjects.h"

namespace {

// How often the reference step went down the branches that matter, so the
// scenarios can show they really reached them.
struct BranchCounts {
    long neighbours = 0;
    long close = 0;          // d2 < 0.09: separation
    long far = 0;            // 0.09 <= d2 < 1: cohesion
    long exactlyCloseEdge = 0; // d2 == 0.09f, counted as far
    long exactlyRadius = 0;  // d2 == 1.0f, not a neighbour
    long zeroSeparation = 0; // separation sum of length zero
};

// One tick of the flock exactly as the rules read: move and wrap every bird,
// then steer each in turn with its neighbours' velocities as they are now.
void referenceStep(std::vector<PointObject>& birds, const Vector3f& min, const Vector3f& max,
                   BranchCounts& counts)
{
    for (PointObject& b : birds) {
        b.pos = b.pos + b.v;
        if (b.pos.x > max.x) b.pos.x = min.x;
        if (b.pos.x < min.x) b.pos.x = max.x;
        if (b.pos.y > max.y) b.pos.y = min.y;
        if (b.pos.y < min.y) b.pos.y = max.y;
        if (b.pos.z > max.z) b.pos.z = min.z;
        if (b.pos.z < min.z) b.pos.z = max.z;
    }

    std::vector<int> neighbors;
    std::vector<float> neighborsd2;
    int n = (int)birds.size();
    for (int i = 0; i < n; i++) {
        for (int j = 0; j < n; j++) {
            if (j == i)
                continue;
            Vector3f d = birds[i].pos - birds[j].pos;
            float d2 = d.norm2();
            if (d2 == 1.0f)
                counts.exactlyRadius++;
            if (d2 < 1.0f) {
                neighbors.push_back(j);
                neighborsd2.push_back(d2);
            }
        }

        Vector3f steer;
        int closeCount = 0;
        for (size_t k = 0; k < neighbors.size(); k++) {
            if (neighborsd2[k] < 0.09f) {
                steer = steer + (birds[i].pos - birds[neighbors[k]].pos);
                closeCount++;
            }
        }
        if (closeCount > 0) {
            if (steer.norm2() == 0.0f)
                counts.zeroSeparation++;
            steer.normalize();
        }

        Vector3f align;
        for (size_t k = 0; k < neighbors.size(); k++)
            align = align + birds[neighbors[k]].v;
        if (!neighbors.empty()) {
            align = align / (float)neighbors.size();
            align = align - birds[i].v;
            align.normalize();
        }

        Vector3f cohes;
        int farCount = 0;
        for (size_t k = 0; k < neighbors.size(); k++) {
            if (neighborsd2[k] >= 0.09f) {
                cohes = cohes + birds[neighbors[k]].pos;
                cohes = cohes - birds[i].pos;
                farCount++;
                if (neighborsd2[k] == 0.09f)
                    counts.exactlyCloseEdge++;
            }
        }
        if (farCount > 0)
            cohes.normalize();

        counts.neighbours += (long)neighbors.size();
        counts.close += closeCount;
        counts.far += farCount;

        Vector3f total = (cohes * 0.1f + steer * 1.0f + align * 0.3f) / 10.0f;
        birds[i].v = birds[i].v + total;
        birds[i].v.normalize();
        birds[i].v = birds[i].v / 10.0f;

        neighbors.clear();
        neighborsd2.clear();
    }
}

std::vector<PointObject> copyOf(Boids& flock)
{
    std::vector<PointObject> birds;
    for (int i = 0; i < flock.count(); i++)
        birds.push_back(flock[i]);
    return birds;
}

void setBird(Boids& flock, std::vector<PointObject>& ref, int i, const Vector3f& pos, const Vector3f& v)
{
    flock[i].pos = pos;
    flock[i].v = v;
    ref[i].pos = pos;
    ref[i].v = v;
}

// Runs the flock and the reference side by side and stops at the first tick
// on which any bird differs in a single bit of its position or velocity.
// `perturb`, when given, changes both identically before a tick.
template <typename Perturb>
void runSideBySide(Boids& flock, int ticks, BranchCounts& counts, Perturb perturb)
{
    std::vector<PointObject> ref = copyOf(flock);
    for (int t = 0; t < ticks; t++) {
        perturb(t, flock, ref);
        flock.behave();
        referenceStep(ref, flock.min, flock.max, counts);
        ASSERT_EQ(flock.count(), (int)ref.size());
        for (int i = 0; i < flock.count(); i++) {
            ASSERT_EQ(0, std::memcmp(&flock[i].pos, &ref[i].pos, sizeof(Vector3f)))
                << "position of bird " << i << " differs at tick " << t << ": ("
                << flock[i].pos.x << ", " << flock[i].pos.y << ", " << flock[i].pos.z << ") vs ("
                << ref[i].pos.x << ", " << ref[i].pos.y << ", " << ref[i].pos.z << ")";
            ASSERT_EQ(0, std::memcmp(&flock[i].v, &ref[i].v, sizeof(Vector3f)))
                << "velocity of bird " << i << " differs at tick " << t;
            ASSERT_EQ(flock[i].frame, ref[i].frame);
            ASSERT_EQ(flock[i].alive, ref[i].alive);
        }
    }
}

void runSideBySide(Boids& flock, int ticks, BranchCounts& counts)
{
    runSideBySide(flock, ticks, counts, [](int, Boids&, std::vector<PointObject>&) {});
}

const Vector3f kBoxMin(0, 0, 1);
const Vector3f kBoxMax(18, 18, 4);

// A floor offset (dx, dy) whose squared length, computed as the flock does,
// is exactly 0.09f: the edge between separation and cohesion.
bool findCloseEdgeOffset(float& dx, float& dy)
{
    for (float x = 0.1f; x < 0.29f; x = std::nextafter(x, 1.0f)) {
        float rest = std::sqrt(0.09f - x * x);
        float y = rest;
        for (int k = 0; k < 8; k++)
            y = std::nextafter(y, 0.0f);
        for (int k = 0; k < 16; k++) {
            Vector3f d(x, y, 0.0f);
            if (d.norm2() == 0.09f) {
                dx = x;
                dy = y;
                return true;
            }
            y = std::nextafter(y, 1.0f);
        }
    }
    return false;
}

// Offsets in all three axes whose squared length, summed as the flock sums
// it, (x*x + y*y) + z*z, is exactly on an edge, while the sum taken in
// another order, x*x + (y*y + z*z), falls just inside it: any flock that
// adds up the squares differently takes these pairs for neighbours, or
// for separation, where the rules do not.
const Vector3f kCloseEdge3d(0.109071486f, 0.249956816f, 0.125f);
const Vector3f kRadius3d(0.50000006f, 0.707106709f, 0.5f);

float otherOrderNorm2(const Vector3f& d)
{
    float xx = d.x * d.x;
    float yy = d.y * d.y;
    float zz = d.z * d.z;
    return xx + (yy + zz);
}

TEST(FlockEquivalence, GameFlockFromSeveralSeedsMatchesTheRulesBitForBit)
{
    BranchCounts counts;
    for (unsigned seed : {1u, 7u, 20240607u}) {
        SCOPED_TRACE(seed);
        srand(seed);
        Boids flock(200, kBoxMin, kBoxMax);
        runSideBySide(flock, 600, counts);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(counts.close, 0);
    EXPECT_GT(counts.far, 0);
}

TEST(FlockEquivalence, DenseClusterMatchesTheRulesBitForBit)
{
    BranchCounts counts;
    for (unsigned seed : {3u, 11u}) {
        SCOPED_TRACE(seed);
        srand(seed);
        Boids flock(200, kBoxMin, kBoxMax);
        // Pack every bird into a box 1.5 wide around the middle, so each
        // has dozens of neighbours, many of them closer than 0.3.
        for (int i = 0; i < flock.count(); i++) {
            Vector3f r = Vector3f::random();
            flock[i].pos = Vector3f(8.25f, 8.25f, 1.75f) + r * 1.5f;
        }
        runSideBySide(flock, 400, counts);
        if (HasFatalFailure())
            return;
    }
    // Packed that tightly, the first ticks alone hold thousands of close
    // pairs, and the cluster keeps each bird among many neighbours.
    EXPECT_GT(counts.close, 10000);
    EXPECT_GT(counts.neighbours, 10L * 200 * 400 * 2);
}

TEST(FlockEquivalence, ExactRadiusAndSeparationEdgesMatchTheRulesBitForBit)
{
    float edgeX = 0, edgeY = 0;
    ASSERT_TRUE(findCloseEdgeOffset(edgeX, edgeY));
    ASSERT_EQ(0.09f, kCloseEdge3d.norm2());
    ASSERT_LT(otherOrderNorm2(kCloseEdge3d), 0.09f);
    ASSERT_EQ(1.0f, kRadius3d.norm2());
    ASSERT_LT(otherOrderNorm2(kRadius3d), 1.0f);

    BranchCounts counts;
    srand(5);
    Boids flock(200, kBoxMin, kBoxMax);
    // Every 50 ticks, a dozen birds are put in pairs on the edges, most at
    // rest: at rest their positions do not change in the move step, so the
    // steering sees exactly these offsets. The pairs sit at x = 0 and y = 0
    // (or 0 and 5), so the subtractions are exact.
    auto perturb = [&](int t, Boids& f, std::vector<PointObject>& ref) {
        if (t % 50 != 0)
            return;
        const Vector3f rest(0, 0, 0);
        // Exactly 1 apart: not neighbours.
        setBird(f, ref, 0, Vector3f(0, 5, 2), rest);
        setBird(f, ref, 1, Vector3f(1, 5, 2), rest);
        // Exactly 0.09f apart squared: cohesion, not separation.
        setBird(f, ref, 2, Vector3f(0, 0, 3), rest);
        setBird(f, ref, 3, Vector3f(edgeX, edgeY, 3), rest);
        // At the very same place: their separation sum is zero.
        setBird(f, ref, 4, Vector3f(0, 12, 1.5f), rest);
        setBird(f, ref, 5, Vector3f(0, 12, 1.5f), rest);
        // A moving pair just inside the radius.
        setBird(f, ref, 6, Vector3f(9, 0, 2), Vector3f(0.05f, 0, 0));
        setBird(f, ref, 7, Vector3f(9, std::nextafter(1.0f, 0.0f), 2), Vector3f(0.05f, 0, 0));
        // The same edges with offsets on all three axes (1.375 - 1.25 and
        // 4 - 3.5 are exact).
        setBird(f, ref, 8, Vector3f(0, 0, 1.25f), rest);
        setBird(f, ref, 9, Vector3f(0, 0, 1.25f) + kCloseEdge3d, rest);
        setBird(f, ref, 10, Vector3f(0, 0, 3.5f), rest);
        setBird(f, ref, 11, Vector3f(0, 0, 3.5f) + kRadius3d, rest);
    };
    runSideBySide(flock, 500, counts, perturb);
    if (HasFatalFailure())
        return;
    EXPECT_GE(counts.exactlyRadius, 10 * 4);
    EXPECT_GE(counts.exactlyCloseEdge, 10 * 4);
    EXPECT_GE(counts.zeroSeparation, 10 * 2);
}

TEST(FlockEquivalence, SmallFlocksMatchTheRulesBitForBit)
{
    for (int n : {0, 1, 2, 3, 17}) {
        SCOPED_TRACE(n);
        BranchCounts counts;
        srand(100 + n);
        Boids flock(n, Vector3f(0, 0, 1), Vector3f(2, 2, 2));
        runSideBySide(flock, 300, counts);
        if (HasFatalFailure())
            return;
        EXPECT_EQ(n, flock.count());
    }
}

} // namespace
