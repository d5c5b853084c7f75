// SPDX-License-Identifier: MIT
// Built as namespace mesa on Mesa's OpenGL, and as namespace layer with
// web/FixedGL.h included first. Each scene sets up all it uses and ends with
// glFinish, which is where the layer draws what it has batched.
#include "FixedGLScenes.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include <cmath>

namespace DEW_SCENES {

namespace {

void project(bool perspective)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (perspective)
        glFrustum(-0.1, 0.1, -0.1, 0.1, 0.1, 100);
    else
        glOrtho(0, 300, 0, 300, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void start(bool perspective)
{
    glClearColor(0.1f, 0.2f, 0.3f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    project(perspective);
}

// A floor of 20 by 20 squares, two triangles each, its colour changing
// across it.
void floorGrid()
{
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 20; i++) {
        for (int j = 0; j < 20; j++) {
            const float x0 = i * 0.4f - 4, y0 = j * 0.4f - 4, x1 = x0 + 0.4f, y1 = y0 + 0.4f;
            const float corners[6][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y0}, {x1, y1}, {x0, y1}};
            for (const auto& c : corners) {
                glColor4f(0.5f + c[0] / 8, 0.8f, 0.5f - c[1] / 8, 1);
                glVertex3f(c[0], c[1], 0);
            }
        }
    }
    glEnd();
}

// A spot lamp at the eye that fades with distance, a coloured point light,
// the colour as the material, and normals the model-view matrix scales,
// first as they come, then normalised.
void lighting()
{
    start(true);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 1}, orange[4] = {1, 0.5f, 0.2f, 1}, grey[4] = {0.2f, 0.2f, 0.2f, 1};
    const GLfloat eye[4] = {0, 0, 0, 1}, side[4] = {1.5f, 1, -3, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, eye);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 25);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 2);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.3f);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.05f);
    glEnable(GL_LIGHT1);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, orange);
    glLightfv(GL_LIGHT1, GL_AMBIENT, grey);
    glLightfv(GL_LIGHT1, GL_POSITION, side);
    glNormal3f(0, 0, 1);
    glPushMatrix();
    glTranslatef(-1, -1, -4);
    glRotatef(-60, 1, 0.2f, 0);
    glScalef(0.5f, 0.5f, 0.5f);
    floorGrid();
    glPopMatrix();
    glEnable(GL_NORMALIZE);
    glTranslatef(1.5f, 1, -6);
    glRotatef(-40, 1, -0.3f, 0.1f);
    glScalef(0.3f, 0.3f, 0.3f);
    floorGrid();
    glDisable(GL_NORMALIZE);
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
}

// Lines of width 1 and 3 in every direction, strips and a loop.
void lines()
{
    start(false);
    for (int width = 1; width <= 3; width += 2) {
        glLineWidth((float)width);
        const float cx = width == 1 ? 80.0f : 220.0f;
        glBegin(GL_LINES);
        for (int k = 0; k < 16; k++) {
            const float a = k * 3.1415f / 8 + 0.1f;
            glColor4f(1, k / 16.0f, 0, 1);
            glVertex2f(cx, 150);
            glColor4f(0, 1, k / 16.0f, 1);
            glVertex2f(cx + 60 * std::cos(a), 150 + 60 * std::sin(a));
        }
        glEnd();
    }
    glLineWidth(3);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_LINE_STRIP);
    glVertex2i(20, 20);
    glVertex2i(280, 20);
    glVertex2i(280, 60);
    glEnd();
    glLineWidth(1);
    glBegin(GL_LINE_LOOP);
    glVertex2f(30.5f, 250.5f);
    glVertex2f(270.5f, 260.5f);
    glVertex2f(150.5f, 290.5f);
    glEnd();
}

// Words in the game's font, at whole and fractional raster positions,
// straight and from display lists.
void text()
{
    start(false);
    const char* words = "Dewgatherer: 0123456789 !?";
    glColor4f(1, 1, 0, 1);
    glRasterPos2i(10, 260);
    for (const char* c = words; *c; c++)
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
    const GLuint base = glGenLists(128);
    for (int c = 0; c < 128; c++) {
        glNewList(base + c, GL_COMPILE);
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, c);
        glEndList();
    }
    glListBase(base);
    for (int row = 0; row < 6; row++) {
        glColor4f(row / 5.0f, 1, 1 - row / 5.0f, 1);
        glPushMatrix();
        glTranslatef(0.3f + row * 7.1f, 0.4f - row * 0.6f, 0);
        glRasterPos2i(10, 220 - row * 35);
        glPopMatrix();
        glCallLists(26, GL_BYTE, words);
    }
}

// Fans, strips, quads and polygons wound both ways with back faces culled,
// their colours shaded smoothly across them.
void primitives()
{
    start(false);
    glEnable(GL_CULL_FACE);
    const GLenum modes[] = {GL_TRIANGLE_FAN, GL_TRIANGLE_STRIP, GL_QUADS, GL_POLYGON};
    const float corners[4][2] = {{0, 0}, {60, 20}, {55, 70}, {5, 50}};
    const float colours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    for (int m = 0; m < 4; m++) {
        // The upper row counter-clockwise, the front; the lower one the back.
        for (int side = 0; side < 2; side++) {
            glBegin(modes[m]);
            for (int k = 0; k < 4; k++) {
                const int c = side ? 3 - k : k;
                glColor4f(colours[c][0], colours[c][1], colours[c][2], 1);
                glVertex2f(20 + m * 70.0f + corners[c][0], (side ? 40.0f : 170.0f) + corners[c][1]);
            }
            glEnd();
        }
    }
    glDisable(GL_CULL_FACE);
}

// A texture of 8 by 4 texels on arrays drawn by index, modulated by the
// colour, and a half-transparent rectangle over it.
void texturesAndBlending()
{
    start(true);
    unsigned char texels[8 * 4 * 3];
    for (int k = 0; k < 8 * 4; k++) {
        texels[3 * k] = (unsigned char)(k * 8);
        texels[3 * k + 1] = (unsigned char)(k % 2 ? 255 : 40);
        texels[3 * k + 2] = (unsigned char)(255 - k * 8);
    }
    GLuint texture;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 8, 4, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    static const GLfloat corners[12] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
    static const GLfloat coords[8] = {0, 0, 2, 0, 2, 1.5f, 0, 1.5f};
    static const GLushort square[6] = {0, 1, 2, 0, 2, 3};
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, corners);
    glTexCoordPointer(2, GL_FLOAT, 0, coords);
    glColor4f(1, 0.8f, 0.6f, 1);
    glTranslatef(0, 0, -3);
    glRotatef(50, 1, 2, 3);
    const GLfloat shear[16] = {1, 0, 0, 0, 0.3f, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glMultMatrixf(shear);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, square);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);
    project(false);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 0.5f);
    glRectf(100, 50, 250, 200);
    glDisable(GL_BLEND);
}

} // namespace

int openWindow()
{
    glutInitWindowSize(300, 300);
    const int window = glutCreateWindow("Dewgatherer");
    glutDisplayFunc([] {});
    return window;
}

const Scene scenes[] = {
    {"lighting", [] { lighting(), glFinish(); }},
    {"lines", [] { lines(), glFinish(); }},
    {"text", [] { text(), glFinish(); }},
    {"primitives", [] { primitives(), glFinish(); }},
    {"textures and blending", [] { texturesAndBlending(), glFinish(); }},
};
const int sceneCount = sizeof scenes / sizeof scenes[0];

} // namespace DEW_SCENES
