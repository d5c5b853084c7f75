// SPDX-License-Identifier: MIT
// The entry points the game's calls are routed to (see FixedGL.h). Each
// call that OpenGL compiles into a display list is kept there while a list
// is being recorded; the rest act at once, as they do in OpenGL.
#define DEW_FIXEDGL_IMPLEMENTATION
#include "FixedGL.h"

#include <array>
#include <vector>

#include "BitmapFont.h"
#include "DisplayLists.h"
#include "FixedPipeline.h"
#include "MipmapChain.h"

#ifdef __EMSCRIPTEN__
// The browser's GLUT has no bitmap fonts; the font's name is this address.
void* glutBitmapHelvetica18 = nullptr;
#endif

namespace {

// The state of the one context there is: a new window starts it afresh.
struct Context {
    FixedPipeline pipeline;
    DisplayLists lists;
};

Context*& context()
{
    static Context* current = new Context();
    return current;
}

FixedPipeline& pipeline()
{
    return context()->pipeline;
}

DisplayLists& displayLists()
{
    return context()->lists;
}

const BitmapFont& helvetica18()
{
    static const BitmapFont font(fgFontHelvetica18);
    return font;
}

template <class Call> void perform(Call call)
{
    DisplayLists& lists = displayLists();
    if (lists.recording()) {
        lists.record(call);
        if (!lists.executing())
            return;
    }
    call();
}

std::array<float, 4> four(const GLfloat* params, int count)
{
    std::array<float, 4> values{0, 0, 0, 0};
    for (int k = 0; k < count; k++)
        values[k] = params[k];
    return values;
}

int lightParameterCount(GLenum pname)
{
    switch (pname) {
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
    case GL_POSITION:
        return 4;
    case GL_SPOT_DIRECTION:
        return 3;
    default:
        return 1;
    }
}

} // namespace

void dewglEnable(GLenum cap)
{
    perform([=] { pipeline().setEnabled(cap, true); });
}

void dewglDisable(GLenum cap)
{
    perform([=] { pipeline().setEnabled(cap, false); });
}

void dewglEnableClientState(GLenum array)
{
    pipeline().setClientState(array, true);
}

void dewglDisableClientState(GLenum array)
{
    pipeline().setClientState(array, false);
}

void dewglMatrixMode(GLenum mode)
{
    perform([=] { pipeline().matrixMode(mode); });
}

void dewglLoadIdentity()
{
    perform([] { pipeline().current() = Matrix4(); });
}

void dewglPushMatrix()
{
    perform([] { pipeline().pushMatrix(); });
}

void dewglPopMatrix()
{
    perform([] { pipeline().popMatrix(); });
}

void dewglTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    perform([=] { pipeline().current().translate(x, y, z); });
}

void dewglRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    perform([=] { pipeline().multiply(Matrix4::rotation(angle, x, y, z)); });
}

void dewglScalef(GLfloat x, GLfloat y, GLfloat z)
{
    perform([=] { pipeline().current().scale(x, y, z); });
}

void dewglMultMatrixf(const GLfloat* m)
{
    const Matrix4 matrix = Matrix4::fromColumns(m);
    perform([=] { pipeline().multiply(matrix); });
}

void dewglFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    const Matrix4 m = Matrix4::frustum((float)left, (float)right, (float)bottom, (float)top, (float)zNear, (float)zFar);
    perform([=] { pipeline().multiply(m); });
}

void dewglOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    const Matrix4 m = Matrix4::ortho((float)left, (float)right, (float)bottom, (float)top, (float)zNear, (float)zFar);
    perform([=] { pipeline().multiply(m); });
}

void dewglLightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    const std::array<float, 4> values = four(params, lightParameterCount(pname));
    perform([=] { pipeline().light(light, pname, values.data()); });
}

void dewglLightf(GLenum light, GLenum pname, GLfloat param)
{
    perform([=] { pipeline().light(light, pname, &param); });
}

void dewglLightModelfv(GLenum pname, const GLfloat* params)
{
    if (pname != GL_LIGHT_MODEL_AMBIENT)
        return; // the viewer and the sides keep OpenGL's defaults
    const std::array<float, 4> values = four(params, 4);
    perform([=] { pipeline().lightModelAmbient(values.data()); });
}

void dewglColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    perform([=] { pipeline().color(r, g, b, a); });
}

void dewglColor3ub(GLubyte r, GLubyte g, GLubyte b)
{
    dewglColor4f(r / 255.0f, g / 255.0f, b / 255.0f, 1);
}

void dewglNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    perform([=] { pipeline().normal(x, y, z); });
}

void dewglLineWidth(GLfloat width)
{
    perform([=] { pipeline().lineWidth(width); });
}

// Smooth shading, the nicest perspective and modulated textures are what
// the layer always draws; nothing else is asked for.
void dewglShadeModel(GLenum)
{
}

void dewglHint(GLenum, GLenum)
{
}

void dewglTexEnvi(GLenum, GLenum, GLint)
{
}

void dewglBlendFunc(GLenum sfactor, GLenum dfactor)
{
    perform([=] { pipeline().batch().setBlendFunc(sfactor, dfactor); });
}

void dewglClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    perform([=] { pipeline().clearColor(r, g, b, a); });
}

void dewglClear(GLbitfield mask)
{
    perform([=] { pipeline().clear(mask); });
}

void dewglBegin(GLenum mode)
{
    perform([=] { pipeline().begin(mode); });
}

void dewglEnd()
{
    perform([] { pipeline().end(); });
}

void dewglVertex2f(GLfloat x, GLfloat y)
{
    perform([=] { pipeline().vertex(x, y, 0); });
}

void dewglVertex2i(GLint x, GLint y)
{
    perform([=] { pipeline().vertex((float)x, (float)y, 0); });
}

void dewglVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    perform([=] { pipeline().vertex(x, y, z); });
}

void dewglVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    pipeline().arrayPointer(GL_VERTEX_ARRAY, size, type, stride, pointer);
}

void dewglNormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer)
{
    pipeline().arrayPointer(GL_NORMAL_ARRAY, 3, type, stride, pointer);
}

void dewglColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    pipeline().arrayPointer(GL_COLOR_ARRAY, size, type, stride, pointer);
}

void dewglTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    pipeline().arrayPointer(GL_TEXTURE_COORD_ARRAY, size, type, stride, pointer);
}

void dewglDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices)
{
    // A list would keep the arrays' contents; the game compiles no arrays.
    pipeline().drawElements(mode, count, type, indices);
}

void dewglRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2)
{
    perform([=] { pipeline().rect(x1, y1, x2, y2); });
}

void dewglRasterPos2i(GLint x, GLint y)
{
    perform([=] { pipeline().rasterPos((float)x, (float)y, 0); });
}

void dewglGenTextures(GLsizei n, GLuint* textures)
{
    pipeline().ensureReady();
    for (GLsizei k = 0; k < n; k++)
        textures[k] = pipeline().batch().genTexture();
}

void dewglDeleteTextures(GLsizei n, const GLuint* textures)
{
    for (GLsizei k = 0; k < n; k++) {
        if (textures[k] == pipeline().boundTextureName())
            pipeline().bindTexture(0);
        pipeline().batch().deleteTexture(textures[k]);
    }
}

void dewglBindTexture(GLenum target, GLuint texture)
{
    if (target == GL_TEXTURE_2D)
        perform([=] { pipeline().bindTexture(texture); });
}

void dewglTexParameteri(GLenum target, GLenum pname, GLint param)
{
    if (target != GL_TEXTURE_2D)
        return;
    perform([=] {
        pipeline().ensureReady();
        pipeline().batch().setTextureParameter(pipeline().boundTextureName(), pname, param);
    });
}

void dewglPixelStorei(GLenum pname, GLint param)
{
    if (pname == GL_UNPACK_ALIGNMENT)
        pipeline().setUnpackAlignment(param);
}

GLint dewgluBuild2DMipmaps(GLenum target, GLint, GLsizei width, GLsizei height, GLenum format, GLenum type,
    const void* data)
{
    if (target != GL_TEXTURE_2D || format != GL_RGB || type != GL_UNSIGNED_BYTE)
        return GLU_INVALID_ENUM;
    if (width < 1 || height < 1)
        return GLU_INVALID_VALUE;
    pipeline().ensureReady();
    const MipmapChain chain(width, height, pipeline().unpackRowAlignment(), static_cast<const unsigned char*>(data));
    int level = 0;
    for (const MipmapChain::Level& image : chain.levels())
        pipeline().batch().uploadTexture(
            pipeline().boundTextureName(), level++, GL_RGB, image.width, image.height, image.rgb.data());
    return 0;
}

GLuint dewglGenLists(GLsizei range)
{
    return displayLists().generate(range);
}

void dewglNewList(GLuint list, GLenum mode)
{
    displayLists().begin(list, mode == GL_COMPILE_AND_EXECUTE);
}

void dewglEndList()
{
    displayLists().end();
}

void dewglListBase(GLuint base)
{
    perform([=] { displayLists().setBase(base); });
}

void dewglCallLists(GLsizei n, GLenum type, const GLvoid* lists)
{
    std::vector<int> names;
    for (GLsizei k = 0; k < n; k++) {
        switch (type) {
        case GL_BYTE:
            names.push_back(static_cast<const GLbyte*>(lists)[k]);
            break;
        case GL_UNSIGNED_BYTE:
            names.push_back(static_cast<const GLubyte*>(lists)[k]);
            break;
        case GL_INT:
            names.push_back(static_cast<const GLint*>(lists)[k]);
            break;
        default:
            names.push_back((int)static_cast<const GLuint*>(lists)[k]);
            break;
        }
    }
    perform([=] {
        for (int name : names)
            displayLists().call(displayLists().base() + (unsigned)name);
    });
}

void dewglutBitmapCharacter(void* font, int character)
{
    if (font != GLUT_BITMAP_HELVETICA_18)
        return; // the one font the game uses is the one the layer has
    perform([=] { helvetica18().draw(pipeline(), character); });
}

int dewglutBitmapLength(void* font, const unsigned char* string)
{
    return font == GLUT_BITMAP_HELVETICA_18 ? helvetica18().length(string) : 0;
}

void dewglutSwapBuffers()
{
    pipeline().finishFrame();
    glutSwapBuffers();
}

int dewglutCreateWindow(const char* title)
{
    delete context();
    context() = new Context();
    return glutCreateWindow(title);
}

void dewglReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels)
{
    pipeline().finishFrame();
    glReadPixels(x, y, width, height, format, type, pixels);
}

void dewglFlush()
{
    pipeline().finishFrame();
    glFlush();
}

void dewglFinish()
{
    pipeline().finishFrame();
    glFinish();
}
