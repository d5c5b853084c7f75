// SPDX-License-Identifier: MIT
// Small scenes in OpenGL 1.1, built twice: once on Mesa's own fixed-function
// pipeline and once on the browser's GL layer (web/), so that the layer's
// test can draw each both ways and compare the pictures.
#ifndef FIXEDGLSCENES_H
#define FIXEDGLSCENES_H

struct Scene {
    const char* name;
    void (*draw)();
};

#define DEW_SCENES_OF(gl)                                                                                              \
    namespace gl {                                                                                                     \
    int openWindow(); /* a 300 by 300 window drawn by this GL */                                                       \
    extern const Scene scenes[];                                                                                       \
    extern const int sceneCount;                                                                                       \
    }
DEW_SCENES_OF(mesa)
DEW_SCENES_OF(layer)
#undef DEW_SCENES_OF

#endif
