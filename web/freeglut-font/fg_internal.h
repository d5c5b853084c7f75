/* SPDX-License-Identifier: MIT */
/* Stands in for freeglut's internal header when its font data is compiled
   alone: the one structure the data fills, laid out as freeglut lays it. */
#ifndef FG_INTERNAL_H
#define FG_INTERNAL_H
typedef struct tagSFG_Font SFG_Font;
struct tagSFG_Font {
    char* Name;
    int Quantity;
    int Height;
    const GLubyte** Characters;
    float xorig, yorig;
};
#endif
