// SPDX-License-Identifier: MIT
#include "Matrix4.h"

#include <cmath>
#include <cstring>

namespace {
const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4::Matrix4()
{
    std::memcpy(m, kIdentity, sizeof m);
}

Matrix4 Matrix4::fromColumns(const float* columns)
{
    Matrix4 r;
    std::memcpy(r.m, columns, sizeof r.m);
    return r;
}

Matrix4 Matrix4::rotation(float degrees, float x, float y, float z)
{
    Matrix4 r;
    const float s = (float)std::sin(degrees * M_PI / 180.0);
    const float c = (float)std::cos(degrees * M_PI / 180.0);
    // Rotations about one axis are built directly: their zeros stay exact.
    if (x == 0 && y == 0 && z != 0) {
        r(0, 0) = c;
        r(1, 1) = c;
        r(0, 1) = z < 0 ? s : -s;
        r(1, 0) = z < 0 ? -s : s;
        return r;
    }
    if (x == 0 && z == 0 && y != 0) {
        r(0, 0) = c;
        r(2, 2) = c;
        r(0, 2) = y < 0 ? -s : s;
        r(2, 0) = y < 0 ? s : -s;
        return r;
    }
    if (y == 0 && z == 0 && x != 0) {
        r(1, 1) = c;
        r(2, 2) = c;
        r(1, 2) = x < 0 ? s : -s;
        r(2, 1) = x < 0 ? -s : s;
        return r;
    }
    const float mag = std::sqrt(x * x + y * y + z * z);
    if (mag <= 1.0e-4f)
        return r;
    x /= mag;
    y /= mag;
    z /= mag;
    const float oneC = 1.0f - c;
    r(0, 0) = oneC * x * x + c;
    r(0, 1) = oneC * x * y - z * s;
    r(0, 2) = oneC * z * x + y * s;
    r(1, 0) = oneC * x * y + z * s;
    r(1, 1) = oneC * y * y + c;
    r(1, 2) = oneC * y * z - x * s;
    r(2, 0) = oneC * z * x - y * s;
    r(2, 1) = oneC * y * z + x * s;
    r(2, 2) = oneC * z * z + c;
    return r;
}

Matrix4 Matrix4::frustum(float left, float right, float bottom, float top, float nearVal, float farVal)
{
    Matrix4 r;
    r(0, 0) = (2.0f * nearVal) / (right - left);
    r(1, 1) = (2.0f * nearVal) / (top - bottom);
    r(0, 2) = (right + left) / (right - left);
    r(1, 2) = (top + bottom) / (top - bottom);
    r(2, 2) = -(farVal + nearVal) / (farVal - nearVal);
    r(2, 3) = -(2.0f * farVal * nearVal) / (farVal - nearVal);
    r(3, 2) = -1.0f;
    r(3, 3) = 0.0f;
    return r;
}

Matrix4 Matrix4::ortho(float left, float right, float bottom, float top, float nearVal, float farVal)
{
    Matrix4 r;
    r(0, 0) = 2.0f / (right - left);
    r(0, 3) = -(right + left) / (right - left);
    r(1, 1) = 2.0f / (top - bottom);
    r(1, 3) = -(top + bottom) / (top - bottom);
    r(2, 2) = -2.0f / (farVal - nearVal);
    r(2, 3) = -(farVal + nearVal) / (farVal - nearVal);
    return r;
}

Matrix4 Matrix4::operator*(const Matrix4& b) const
{
    Matrix4 r;
    for (int i = 0; i < 4; i++) {
        const float ai0 = (*this)(i, 0), ai1 = (*this)(i, 1), ai2 = (*this)(i, 2), ai3 = (*this)(i, 3);
        for (int j = 0; j < 4; j++)
            r(i, j) = ai0 * b(0, j) + ai1 * b(1, j) + ai2 * b(2, j) + ai3 * b(3, j);
    }
    return r;
}

void Matrix4::translate(float x, float y, float z)
{
    for (int row = 0; row < 4; row++)
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

void Matrix4::scale(float x, float y, float z)
{
    for (int row = 0; row < 4; row++) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void Matrix4::transform(const float in[4], float out[4]) const
{
    for (int row = 0; row < 4; row++)
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
}

void Matrix4::transformDirection(const float in[3], float out[3]) const
{
    for (int row = 0; row < 3; row++)
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2];
}

Matrix4 Matrix4::normalMatrix() const
{
    // The inverse transpose of a 3x3 matrix is its cofactor matrix over its
    // determinant.
    const Matrix4& a = *this;
    Matrix4 n;
    float cof[3][3];
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 3; c++) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            cof[r][c] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
        }
    }
    const float det = a(0, 0) * cof[0][0] + a(0, 1) * cof[0][1] + a(0, 2) * cof[0][2];
    const float inv = det != 0 ? 1.0f / det : 0.0f;
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)
            n(r, c) = cof[r][c] * inv;
    return n;
}
