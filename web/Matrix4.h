// SPDX-License-Identifier: MIT
#ifndef MATRIX4_H
#define MATRIX4_H

// A 4x4 float matrix stored by columns, as OpenGL keeps its matrices, with
// the operations of the fixed-function matrix stack done in single precision
// the way desktop drivers do them.
class Matrix4 {
public:
    Matrix4(); // identity

    static Matrix4 fromColumns(const float* m);
    static Matrix4 rotation(float degrees, float x, float y, float z);
    static Matrix4 frustum(float left, float right, float bottom, float top, float nearVal, float farVal);
    static Matrix4 ortho(float left, float right, float bottom, float top, float nearVal, float farVal);

    Matrix4 operator*(const Matrix4& b) const;
    void translate(float x, float y, float z);
    void scale(float x, float y, float z);

    // out = M * (x, y, z, w)
    void transform(const float in[4], float out[4]) const;
    // The inverse transpose of the upper 3x3, which carries normals.
    Matrix4 normalMatrix() const;
    // The upper 3x3 alone, applied to a direction.
    void transformDirection(const float in[3], float out[3]) const;

    float operator()(int row, int col) const { return m[col * 4 + row]; }
    float& operator()(int row, int col) { return m[col * 4 + row]; }

private:
    float m[16];
};

#endif
