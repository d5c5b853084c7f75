// The flock: construction, wrapping and steering.
#include <gtest/gtest.h>

#include <vector>

#include "MiscObjects.h"

namespace {

const Vector3f kMin(0, 0, 1), kMax(18, 18, 4);  // the game's box

// The flocking rules for bird i, written out in the game's order of float
// arithmetic. `b` holds the moved positions and the velocities bird i sees.
Vector3f referenceSteer(const std::vector<PointObject>& b, int i, bool cohesionByDifference = false)
{
    Vector3f steer, align, cohes;
    int n = 0, close = 0, far = 0;
    for (int j = 0; j < (int)b.size(); j++) {
        float d2 = (b[i].pos - b[j].pos).norm2();
        if (j == i || !(d2 < 1.0f))
            continue;
        n++;
        if (d2 < 0.09f) {
            steer = steer + (b[i].pos - b[j].pos);
            close++;
        } else if (cohesionByDifference) {
            cohes = cohes + (b[j].pos - b[i].pos);
            far++;
        } else {
            cohes = cohes + b[j].pos;
            cohes = cohes - b[i].pos;
            far++;
        }
        align = align + b[j].v;
    }
    if (close) steer.normalize();
    if (n) {
        align = align / (float)n;
        align = align - b[i].v;
        align.normalize();
    }
    if (far) cohes.normalize();
    Vector3f total = (cohes * 0.1f + steer * 1.0f + align * 0.3f) / 10.0f;
    Vector3f v = b[i].v + total;
    v.normalize();
    return v / 10.0f;
}

std::vector<PointObject> snapshot(Boids& f)
{
    std::vector<PointObject> s;
    for (int k = 0; k < f.count(); k++)
        s.push_back(f[k]);
    return s;
}

bool same(const Vector3f& a, const Vector3f& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Two birds in a wide box, both flying +y at 0.1 (after the move) dx apart.
Vector3f firstBirdAfterTick(float dx)
{
    Boids f(2, Vector3f(-50, -50, -50), Vector3f(50, 50, 50));
    f[0] = PointObject(Vector3f(0, 0, 0), Vector3f(0, 0.1f, 0));
    f[1] = PointObject(Vector3f(dx, 0, 0), Vector3f(0, 0.1f, 0));
    f.behave();
    return f[0].v;
}

} // namespace

TEST(Boids, ConstructionDrawsPositionThenVelocityPerBird)
{
    srand(11);
    int r[13];
    for (int& k : r)
        k = rand();
    srand(11);
    Boids f(2, kMin, kMax);
    ASSERT_EQ(f.count(), 2);
    auto frac = [&](int k) { return (float)((r[k] % 100000) / 100000.0); };
    for (int b = 0; b < 2; b++) {
        int k = 6 * b;
        EXPECT_EQ(f[b].pos.x, 0.0f + frac(k) * 18.0f);
        EXPECT_EQ(f[b].pos.y, 0.0f + frac(k + 1) * 18.0f);
        EXPECT_EQ(f[b].pos.z, 1.0f + frac(k + 2) * 3.0f);
        EXPECT_EQ(f[b].v.x, frac(k + 3) * 0.1f - 0.05f);
        EXPECT_EQ(f[b].v.y, frac(k + 4) * 0.1f - 0.05f);
        EXPECT_EQ(f[b].v.z, frac(k + 5) * 0.1f - 0.05f);
        EXPECT_EQ(f[b].frame, 0);
        EXPECT_TRUE(f[b].alive);
    }
    EXPECT_EQ(rand(), r[12]);
}

TEST(Boids, GameFlockStartsInTheBoxAndFliesAt01)
{
    srand(3);
    Boids f(200, kMin, kMax);
    ASSERT_EQ(f.count(), 200);
    for (int k = 0; k < 200; k++) {
        const Vector3f &p = f[k].pos, &v = f[k].v;
        EXPECT_TRUE(p.x >= 0 && p.x <= 18 && p.y >= 0 && p.y <= 18 && p.z >= 1 && p.z <= 4);
        for (float c : {v.x, v.y, v.z})
            EXPECT_TRUE(c >= -0.05f && c < 0.05f) << c;
    }
    f.behave();
    for (int k = 0; k < 200; k++)
        EXPECT_NEAR(f[k].v.norm(), 0.1f, 1e-6);
}

TEST(Boids, EmptyFlockDrawsNothingAndDoesNothing)
{
    srand(8);
    int r0 = rand();
    srand(8);
    Boids f(0, kMin, kMax);
    f.behave();
    EXPECT_EQ(f.count(), 0);
    EXPECT_EQ(rand(), r0);
}

TEST(Boids, NeighbourClassesByDistance)
{
    // 0.5 apart (d2 0.25): cohesion pulls toward the other (+x); alignment is 0.
    EXPECT_NEAR(firstBirdAfterTick(0.5f).x, 0.1 * 0.01 / std::sqrt(0.0101), 1e-7);
    // 0.2 apart (d2 0.04): separation pushes away (-x) at full weight.
    Vector3f v = firstBirdAfterTick(0.2f);
    EXPECT_NEAR(v.x, -0.0707107, 1e-6);
    EXPECT_NEAR(v.y, 0.0707107, 1e-6);
    // Exactly 1 apart: no neighbour, the bird keeps its course at 0.1.
    v = firstBirdAfterTick(1.0f);
    EXPECT_TRUE(same(v, Vector3f(0, 0.1f, 0)));
}

TEST(Boids, WrapsToTheOppositeFaceExactlyAndNeverAcrossIt)
{
    Boids f(3, kMin, kMax);
    f[0] = PointObject(Vector3f(17.95f, 0.02f, 1.02f), Vector3f(0.1f, -0.05f, -0.05f));
    f[1] = PointObject(Vector3f(18, 9, 1), Vector3f(0, 0, 0));     // on the faces: stays
    f[2] = PointObject(Vector3f(0.05f, 9, 1), Vector3f(0, 0, 0));  // 0.05 from f[1] across the wrap
    f.behave();
    EXPECT_TRUE(same(f[0].pos, Vector3f(0, 18, 4)));
    EXPECT_TRUE(same(f[1].pos, Vector3f(18, 9, 1)));
    // Not neighbours: both stay at rest (a zero velocity normalises to zero).
    EXPECT_TRUE(same(f[1].v, Vector3f()));
    EXPECT_TRUE(same(f[2].v, Vector3f()));
}

TEST(Boids, SteersInPlaceSoLaterBirdsSeeNewVelocities)
{
    Boids f(2, kMin, kMax);
    f[0] = PointObject(Vector3f(5, 5, 2), Vector3f(0, 0.1f, 0));
    f[1] = PointObject(Vector3f(5.5f, 5, 2), Vector3f(0, -0.1f, 0));
    std::vector<PointObject> ref = snapshot(f);
    for (auto& b : ref)
        b.pos = b.pos + b.v;
    std::vector<PointObject> stale = ref;
    ref[0].v = referenceSteer(ref, 0);
    ref[1].v = referenceSteer(ref, 1);
    ASSERT_FALSE(same(ref[1].v, referenceSteer(stale, 1)));
    f.behave();
    EXPECT_TRUE(same(f[0].v, ref[0].v));
    EXPECT_TRUE(same(f[1].v, ref[1].v));
}

TEST(Boids, CohesionAddsTheNeighbourThenSubtractsTheBird)
{
    // Positions found so that (sum + pj) - pi and sum + (pj - pi) round apart.
    Boids f(3, kMin, kMax);
    f[0] = PointObject(Vector3f(15.7411718f, 10.2512379f, 2.35973597f), Vector3f());
    f[1] = PointObject(Vector3f(16.2836857f, 10.041976f, 2.59502006f), Vector3f());
    f[2] = PointObject(Vector3f(16.1625042f, 10.1255503f, 2.01382995f), Vector3f());
    std::vector<PointObject> ref = snapshot(f);
    ASSERT_FALSE(same(referenceSteer(ref, 0), referenceSteer(ref, 0, true)));
    for (int i = 0; i < 3; i++)
        ref[i].v = referenceSteer(ref, i);
    f.behave();
    for (int i = 0; i < 3; i++)
        EXPECT_TRUE(same(f[i].v, ref[i].v)) << "bird " << i;
}
