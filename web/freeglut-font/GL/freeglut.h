/* SPDX-License-Identifier: MIT */
/* Stands in for freeglut's header when its font data is compiled alone. */
#include <GL/gl.h>
#include <stddef.h>
