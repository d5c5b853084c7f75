// SPDX-License-Identifier: MIT
#ifndef MATHUTILS_H
#define MATHUTILS_H

#include <cmath>

#include "GameRandom.h"

// Three floats: a position, a velocity or, under their second names, three
// angles. Every operation is single precision and component by component.
class Vector3f {
public:
    union {
        float x;
        float yaw;
    };
    union {
        float y;
        float roll;
    };
    union {
        float z;
        float pitch;
    };

    Vector3f()
        : x(0)
        , y(0)
        , z(0)
    {
    }
    Vector3f(float x, float y, float z)
        : x(x)
        , y(y)
        , z(z)
    {
    }

    Vector3f operator+(const Vector3f& o) const { return Vector3f(x + o.x, y + o.y, z + o.z); }
    Vector3f operator-(const Vector3f& o) const { return Vector3f(x - o.x, y - o.y, z - o.z); }
    // Component-wise product, not the dot product.
    Vector3f operator*(const Vector3f& o) const { return Vector3f(x * o.x, y * o.y, z * o.z); }
    Vector3f operator*(float s) const { return Vector3f(x * s, y * s, z * s); }
    Vector3f operator/(float s) const { return Vector3f(x / s, y / s, z / s); }

    float norm2() const { return x * x + y * y + z * z; }
    float norm() const { return std::sqrt(norm2()); }

    // A zero vector has no direction; it is left as it is so that every
    // result stays finite.
    void normalize()
    {
        float length = std::sqrt(norm2());
        if (length == 0.0f)
            return;
        x = x / length;
        y = y / length;
        z = z / length;
    }

    // Three random fractions in [0, 1), multiples of 0.00001, drawn x, y, z.
    static Vector3f random()
    {
        float rx = randomFraction();
        float ry = randomFraction();
        float rz = randomFraction();
        return Vector3f(rx, ry, rz);
    }

private:
    static float randomFraction() { return (float)((GameRandom::rand() % 100000) / 100000.0); }
};

#endif
