// SPDX-License-Identifier: MIT
#ifndef FIXEDGL_H
#define FIXEDGL_H

// Included first into the game's own sources when they are built on the
// browser's GL: every OpenGL 1.1, GLU and GLUT call the game makes that
// WebGL lacks, or that must pass through the layer to keep its order, is
// routed here to the layer (the definitions below); the rest of GLUT (the
// window, the main loop, the clock) passes through to the platform's GLUT.
// The system headers come first, so their own declarations keep the real
// names.

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glut.h>

// The switches and the matrix stacks
void dewglEnable(GLenum cap);
void dewglDisable(GLenum cap);
void dewglEnableClientState(GLenum array);
void dewglDisableClientState(GLenum array);
void dewglMatrixMode(GLenum mode);
void dewglLoadIdentity();
void dewglPushMatrix();
void dewglPopMatrix();
void dewglTranslatef(GLfloat x, GLfloat y, GLfloat z);
void dewglRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void dewglScalef(GLfloat x, GLfloat y, GLfloat z);
void dewglMultMatrixf(const GLfloat* m);
void dewglFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar);
void dewglOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar);

// Lights, colours and the pixel pipeline
void dewglLightfv(GLenum light, GLenum pname, const GLfloat* params);
void dewglLightf(GLenum light, GLenum pname, GLfloat param);
void dewglLightModelfv(GLenum pname, const GLfloat* params);
void dewglColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void dewglColor3ub(GLubyte r, GLubyte g, GLubyte b);
void dewglNormal3f(GLfloat x, GLfloat y, GLfloat z);
void dewglLineWidth(GLfloat width);
void dewglShadeModel(GLenum mode);
void dewglHint(GLenum target, GLenum mode);
void dewglBlendFunc(GLenum sfactor, GLenum dfactor);
void dewglClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void dewglClear(GLbitfield mask);

// Geometry
void dewglBegin(GLenum mode);
void dewglEnd();
void dewglVertex2f(GLfloat x, GLfloat y);
void dewglVertex2i(GLint x, GLint y);
void dewglVertex3f(GLfloat x, GLfloat y, GLfloat z);
void dewglVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void dewglNormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer);
void dewglColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void dewglTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void dewglDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices);
void dewglRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2);
void dewglRasterPos2i(GLint x, GLint y);

// Textures
void dewglGenTextures(GLsizei n, GLuint* textures);
void dewglDeleteTextures(GLsizei n, const GLuint* textures);
void dewglBindTexture(GLenum target, GLuint texture);
void dewglTexParameteri(GLenum target, GLenum pname, GLint param);
void dewglTexEnvi(GLenum target, GLenum pname, GLint param);
void dewglPixelStorei(GLenum pname, GLint param);
GLint dewgluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
    GLenum type, const void* data);

// Reading the picture back waits for what was drawn
void dewglReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels);
void dewglFlush();
void dewglFinish();

// Display lists
GLuint dewglGenLists(GLsizei range);
void dewglNewList(GLuint list, GLenum mode);
void dewglEndList();
void dewglListBase(GLuint base);
void dewglCallLists(GLsizei n, GLenum type, const GLvoid* lists);

// GLUT: the font, the end of a frame, and a new window (a new context,
// which starts from OpenGL's defaults)
void dewglutBitmapCharacter(void* font, int character);
int dewglutBitmapLength(void* font, const unsigned char* string);
void dewglutSwapBuffers();
int dewglutCreateWindow(const char* title);

// The layer itself calls the real ones.
#ifndef DEW_FIXEDGL_IMPLEMENTATION
#define glEnable dewglEnable
#define glDisable dewglDisable
#define glEnableClientState dewglEnableClientState
#define glDisableClientState dewglDisableClientState
#define glMatrixMode dewglMatrixMode
#define glLoadIdentity dewglLoadIdentity
#define glPushMatrix dewglPushMatrix
#define glPopMatrix dewglPopMatrix
#define glTranslatef dewglTranslatef
#define glRotatef dewglRotatef
#define glScalef dewglScalef
#define glMultMatrixf dewglMultMatrixf
#define glFrustum dewglFrustum
#define glOrtho dewglOrtho
#define glLightfv dewglLightfv
#define glLightf dewglLightf
#define glLightModelfv dewglLightModelfv
#define glColor4f dewglColor4f
#define glColor3ub dewglColor3ub
#define glNormal3f dewglNormal3f
#define glLineWidth dewglLineWidth
#define glShadeModel dewglShadeModel
#define glHint dewglHint
#define glBlendFunc dewglBlendFunc
#define glClearColor dewglClearColor
#define glClear dewglClear
#define glBegin dewglBegin
#define glEnd dewglEnd
#define glVertex2f dewglVertex2f
#define glVertex2i dewglVertex2i
#define glVertex3f dewglVertex3f
#define glVertexPointer dewglVertexPointer
#define glNormalPointer dewglNormalPointer
#define glColorPointer dewglColorPointer
#define glTexCoordPointer dewglTexCoordPointer
#define glDrawElements dewglDrawElements
#define glRectf dewglRectf
#define glRasterPos2i dewglRasterPos2i
#define glGenTextures dewglGenTextures
#define glDeleteTextures dewglDeleteTextures
#define glBindTexture dewglBindTexture
#define glTexParameteri dewglTexParameteri
#define glTexEnvi dewglTexEnvi
#define glPixelStorei dewglPixelStorei
#define gluBuild2DMipmaps dewgluBuild2DMipmaps
#define glGenLists dewglGenLists
#define glNewList dewglNewList
#define glEndList dewglEndList
#define glListBase dewglListBase
#define glCallLists dewglCallLists
#define glutBitmapCharacter dewglutBitmapCharacter
#define glutBitmapLength dewglutBitmapLength
#define glutSwapBuffers dewglutSwapBuffers
#define glutCreateWindow dewglutCreateWindow
#define glReadPixels dewglReadPixels
#define glFlush dewglFlush
#define glFinish dewglFinish
#endif

#endif
