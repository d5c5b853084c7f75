// SPDX-License-Identifier: MIT
#ifndef GLES2_H
#define GLES2_H

// The OpenGL ES 2.0 calls the layer draws with: WebGL 1 in the browser, and
// the same subset of Mesa's desktop OpenGL when the layer is tested natively.
// The names of OpenGL 1.1's fixed-function state come from its own header.
#ifdef __EMSCRIPTEN__
#include <GL/gl.h>
#include <GLES2/gl2.h>
#else
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif

#endif
