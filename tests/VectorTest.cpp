// Vector3f and the point records PointObject and MovingThingy.
#include <gtest/gtest.h>

#include <cmath>

#include "MathUtils.h"
#include "MiscObjects.h"

#define EXPECT_VEC(v, X, Y, Z) \
    do { EXPECT_EQ((v).x, X); EXPECT_EQ((v).y, Y); EXPECT_EQ((v).z, Z); } while (0)

TEST(Vector3f, ArithmeticIsComponentWiseAndLeavesOperands)
{
    EXPECT_VEC(Vector3f(), 0.0f, 0.0f, 0.0f);
    Vector3f a(1, 2, 3), b(4, 5, 6);
    EXPECT_VEC(a + b, 5.0f, 7.0f, 9.0f);
    EXPECT_VEC(a - b, -3.0f, -3.0f, -3.0f);
    EXPECT_VEC(a * b, 4.0f, 10.0f, 18.0f);
    EXPECT_VEC(a * 2.0f, 2.0f, 4.0f, 6.0f);
    EXPECT_VEC(Vector3f(2, 4, 6) / 2.0f, 1.0f, 2.0f, 3.0f);
    EXPECT_VEC(a, 1.0f, 2.0f, 3.0f);
    EXPECT_VEC(b, 4.0f, 5.0f, 6.0f);
    a.yaw = 7; a.roll = 8; a.pitch = 9;  // second names share the storage
    EXPECT_VEC(a, 7.0f, 8.0f, 9.0f);
}

TEST(Vector3f, NormAndNormalizeDivideByOneLength)
{
    Vector3f v(1, 2, 2);
    EXPECT_EQ(v.norm2(), 9.0f);
    EXPECT_EQ(v.norm(), 3.0f);
    v.normalize();  // the length is taken once, before x changes
    EXPECT_VEC(v, 1.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f);
}

TEST(Vector3f, NormalizingZeroLeavesItZeroAndFinite)
{
    Vector3f z;
    z.normalize();
    EXPECT_VEC(z, 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(std::isfinite(z.x) && std::isfinite(z.y) && std::isfinite(z.z));
}

TEST(Vector3f, RandomDrawsXThenYThenZ)
{
    for (unsigned seed : {1u, 42u, 9001u}) {
        srand(seed);
        int r[4];
        for (int& k : r)
            k = rand();
        srand(seed);
        Vector3f v = Vector3f::random();
        EXPECT_EQ(v.x, (float)((r[0] % 100000) / 100000.0));
        EXPECT_EQ(v.y, (float)((r[1] % 100000) / 100000.0));
        EXPECT_EQ(v.z, (float)((r[2] % 100000) / 100000.0));
        EXPECT_EQ(rand(), r[3]) << "exactly three draws";
    }
}

TEST(Vector3f, RandomComponentsAreMultiplesOfOneHundredThousandthInUnitRange)
{
    srand(5);
    for (int n = 0; n < 2000; n++) {
        Vector3f v = Vector3f::random();
        for (float c : {v.x, v.y, v.z}) {
            ASSERT_GE(c, 0.0f);
            ASSERT_LT(c, 1.0f);
            double k = c * 100000.0;
            ASSERT_NEAR(k, std::round(k), 0.01);
        }
    }
}

TEST(PointRecords, StartAtAgeZeroAndAlive)
{
    PointObject p(Vector3f(1, 2, 3), Vector3f(4, 5, 6));
    EXPECT_VEC(p.pos, 1.0f, 2.0f, 3.0f);
    EXPECT_VEC(p.v, 4.0f, 5.0f, 6.0f);
    EXPECT_EQ(p.frame, 0);
    EXPECT_TRUE(p.alive);
    MovingThingy t(Vector3f(7, 8, 9)), d;
    EXPECT_VEC(t.pos, 7.0f, 8.0f, 9.0f);
    EXPECT_VEC(d.pos, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(t.frame, 0);
    EXPECT_TRUE(t.alive);
}
