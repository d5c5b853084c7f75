// SPDX-License-Identifier: MIT
#ifndef MAZEGAMERENDERERSTATICDATA_H
#define MAZEGAMERENDERERSTATICDATA_H

#include <GL/gl.h>

// Geometry, colours and light values of the renderer. Only the renderer
// includes this header; every table has internal linkage.
// (Laid out by hand, a row to a vertex, face or colour.)
// clang-format off

// The cube from -1 to 1 on each axis: a wall block, a floor square (its
// bottom face) and the pick-up.
static const GLfloat cubeVertices[24] = {
    -1,  1,  1,
     1,  1,  1,
     1, -1,  1,
    -1, -1,  1,
    -1,  1, -1,
     1,  1, -1,
     1, -1, -1,
    -1, -1, -1,
};

// Two counter-clockwise triangles per face, faces in the order of cubeNormals.
static const GLubyte cubeTriangles[36] = {
    1, 0, 3, 1, 3, 2,  // top, z = 1
    2, 6, 5, 2, 5, 1,  // x = 1
    7, 4, 5, 7, 5, 6,  // bottom, z = -1: the floor square
    0, 4, 7, 0, 7, 3,  // x = -1
    5, 4, 0, 5, 0, 1,  // y = 1
    3, 7, 6, 3, 6, 2,  // y = -1
};

// Row f is the normal of face f; the last two rows are never read.
static const GLfloat cubeNormals[24] = {
     0,  0,  1,
     1,  0,  0,
     0,  0, -1,
    -1,  0,  0,
     0,  1,  0,
     0, -1,  0,
     0,  0,  0,
     0,  0,  0,
};

// The floor square shows the whole floor image once per cell.
static const GLfloat floorTexCoords[16] = {
    0, 0, 0, 1, 1, 1, 1, 0,
    0, 0, 0, 1, 1, 1, 1, 0,
};

// Per vertex, not per face, so the sides of a wall show different thirds of
// the wall image and top and bottom one stretched line of it.
static const GLfloat cubeTexCoords[16] = {
    0, 0, 0.33f, 0, 0.66f, 0, 0.99f, 0,
    0, 0.33f, 0.33f, 0.33f, 0.66f, 0.33f, 0.99f, 0.33f,
};

// Indexed by cell value: a wall v > 0 takes row v, a floor v <= 0 row -v.
static const GLfloat mazeColors[36] = {
    1, 1, 1, 1,
    1, 1, 1, 1,
    1, 0, 0, 1,
    0, 1, 0, 1,
    0, 0, 1, 1,
    0.9f, 0.9f, 0.9f, 1,
    0.7f, 0.7f, 0.7f, 1,
    0.5f, 0.5f, 0.5f, 1,
    0.3f, 0.3f, 0.3f, 1,
};

static const GLfloat globalAmbient[4] = {0.1f, 0.1f, 0.1f, 1};
static const GLfloat lightDiffuse[4] = {1, 1, 1, 1};
static const GLfloat lightAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
// One unit behind the eye: the head lamp.
static const GLfloat lightPosition[4] = {0, -1, 0, 1};

// Corner colours of the pick-up, red, green, blue, alpha per vertex of
// cubeVertices.
static const GLubyte vertexColors[32] = {
    0, 255, 0, 255,
    0, 0, 255, 255,
    0, 255, 0, 255,
    255, 0, 0, 255,
    0, 0, 255, 255,
    255, 0, 0, 255,
    0, 0, 255, 255,
    0, 255, 0, 255,
};

// The pick-up as two fans around opposite corners 1 and 7; each triple starts
// at the centre, so the fan's in-between triangles have no area.
static const GLubyte cubeFan1[18] = {
    1, 0, 3, 1, 3, 2, 1, 2, 6, 1, 6, 5, 1, 5, 4, 1, 4, 0,
};
static const GLubyte cubeFan2[18] = {
    7, 4, 5, 7, 5, 6, 7, 6, 2, 7, 2, 3, 7, 3, 0, 7, 0, 4,
};

// Bullets and birds: a tetrahedron with its nose along local +y. Only rows
// 0 to 3 are used.
static const GLfloat bulletVertices[24] = {
    -0.5f, -0.5f, -0.5f,
     0.5f, -0.5f, -0.5f,
     0,    -0.5f,  0.5f,
     0,     1,     0,
     0, 0, 0,
     0, 0, 0,
     0, 0, 0,
     0, 0, 0,
};

// Only the first 12 indices are drawn.
static const GLubyte bulletTriangles[36] = {
    0, 1, 2, 1, 3, 2, 2, 3, 0, 1, 0, 3,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
// clang-format on

#endif
