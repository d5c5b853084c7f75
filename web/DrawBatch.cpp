// SPDX-License-Identifier: MIT
#include "DrawBatch.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const kVertexShader = R"(#version 100
attribute vec4 clip;
attribute vec4 color;
attribute vec2 tex;
attribute float slot;
varying vec4 vColor;
varying vec2 vTex;
varying float vSlot;
void main() {
    gl_Position = clip;
    vColor = color;
    vTex = tex;
    vSlot = slot;
}
)";

const char* const kFragmentShader = R"(#version 100
precision highp float;
uniform sampler2D unit0;
uniform sampler2D unit1;
varying vec4 vColor;
varying vec2 vTex;
varying float vSlot;
void main() {
    vec4 t0 = texture2D(unit0, vTex);
    vec4 t1 = texture2D(unit1, vTex);
    vec4 texel = vSlot > 1.5 ? t1 : (vSlot > 0.5 ? t0 : vec4(1.0));
    if (texel.a < 0.5)
        discard;
    gl_FragColor = clamp(vColor, 0.0, 1.0) * texel;
}
)";

// The unit textures are bound to while they are created or changed, apart
// from the two a draw samples.
const GLenum kScratchUnit = GL_TEXTURE2;

[[noreturn]] void fail(const char* what, const char* log)
{
    std::fprintf(stderr, "dewgatherer: the browser's GL: %s: %s\n", what, log);
    std::exit(1);
}

GLuint compile(GLenum type, const char* source)
{
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        fail("a shader does not compile", log);
    }
    return shader;
}

} // namespace

DrawBatch::DrawBatch()
    : program(0)
    , buffer(0)
    , clipLoc(-1)
    , colorLoc(-1)
    , texLoc(-1)
    , slotLoc(-1)
    , view{0, 0, 0, 0}
    , slots{0, 0}
    , depthTest(false)
    , blend(false)
    , blendSrc(GL_ONE)
    , blendDst(GL_ZERO)
{
}

void DrawBatch::init()
{
    program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, kVertexShader));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, kFragmentShader));
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[512] = "";
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        fail("the program does not link", log);
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "unit0"), 0);
    glUniform1i(glGetUniformLocation(program, "unit1"), 1);
    clipLoc = glGetAttribLocation(program, "clip");
    colorLoc = glGetAttribLocation(program, "color");
    texLoc = glGetAttribLocation(program, "tex");
    slotLoc = glGetAttribLocation(program, "slot");
    glGenBuffers(1, &buffer);
    glGetIntegerv(GL_VIEWPORT, view);
    // Switches set before the first draw already reached the GPU; the rest
    // start as OpenGL starts them. Culling is the pipeline's.
    glDisable(GL_CULL_FACE);
}

float DrawBatch::slotFor(GLuint texture)
{
    if (texture == 0)
        return 0;
    for (int unit = 0; unit < 2; unit++) {
        if (slots[unit] == texture)
            return (float)(unit + 1);
    }
    for (int unit = 0; unit < 2; unit++) {
        if (slots[unit] == 0) {
            slots[unit] = texture;
            return (float)(unit + 1);
        }
    }
    flush();
    slots[0] = texture;
    return 1;
}

void DrawBatch::addTriangle(const BatchVertex& a, const BatchVertex& b, const BatchVertex& c, GLuint texture)
{
    const float slot = slotFor(texture);
    for (const BatchVertex* v : {&a, &b, &c}) {
        vertices.push_back(*v);
        vertices.back().slot = slot;
    }
}

void DrawBatch::flush()
{
    if (vertices.empty()) {
        slots[0] = slots[1] = 0;
        return;
    }
    for (int unit = 0; unit < 2; unit++) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, slots[unit]);
    }
    glUseProgram(program);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(vertices.size() * sizeof(BatchVertex)), vertices.data(), GL_STREAM_DRAW);
    const GLsizei stride = sizeof(BatchVertex);
    struct Attribute {
        GLint location;
        int size;
        size_t offset;
    };
    const Attribute attributes[] = {
        {clipLoc, 4, offsetof(BatchVertex, clip)},
        {colorLoc, 4, offsetof(BatchVertex, color)},
        {texLoc, 2, offsetof(BatchVertex, tex)},
        {slotLoc, 1, offsetof(BatchVertex, slot)},
    };
    for (const Attribute& attribute : attributes) {
        glEnableVertexAttribArray((GLuint)attribute.location);
        glVertexAttribPointer((GLuint)attribute.location, attribute.size, GL_FLOAT, GL_FALSE, stride,
            reinterpret_cast<const void*>(attribute.offset));
    }
    glDrawArrays(GL_TRIANGLES, 0, (GLsizei)vertices.size());
    vertices.clear();
    slots[0] = slots[1] = 0;
}

void DrawBatch::setDepthTest(bool on)
{
    if (on == depthTest)
        return;
    flush();
    depthTest = on;
    on ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
}

void DrawBatch::setBlend(bool on)
{
    if (on == blend)
        return;
    flush();
    blend = on;
    on ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
}

void DrawBatch::setBlendFunc(GLenum src, GLenum dst)
{
    if (src == blendSrc && dst == blendDst)
        return;
    flush();
    blendSrc = src;
    blendDst = dst;
    glBlendFunc(src, dst);
}

void DrawBatch::clear(GLbitfield mask, const float color[4])
{
    flush();
    glClearColor(color[0], color[1], color[2], color[3]);
    glClear(mask);
}

// A texture is changed on the scratch unit, after the waiting draw that
// samples it, which must see it as it was.
void DrawBatch::startChanging(GLuint texture)
{
    if (texture == slots[0] || texture == slots[1])
        flush();
    glActiveTexture(kScratchUnit);
    glBindTexture(GL_TEXTURE_2D, texture);
}

// Texel rows come packed.
void DrawBatch::startWriting(GLuint texture)
{
    startChanging(texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

GLuint DrawBatch::genTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return texture;
}

void DrawBatch::deleteTexture(GLuint texture)
{
    flush();
    parameters.erase(texture);
    glDeleteTextures(1, &texture);
}

void DrawBatch::setTextureParameter(GLuint texture, GLenum pname, GLint value)
{
    auto known = parameters[texture].find(pname);
    if (known != parameters[texture].end() && known->second == value)
        return;
    parameters[texture][pname] = value;
    startChanging(texture);
    glTexParameteri(GL_TEXTURE_2D, pname, value);
}

void DrawBatch::uploadTexture(GLuint texture, int level, GLenum format, int width, int height, const unsigned char* texels)
{
    startWriting(texture);
    glTexImage2D(GL_TEXTURE_2D, level, format, width, height, 0, format, GL_UNSIGNED_BYTE, texels);
}

void DrawBatch::updateTexture(GLuint texture, int x, int y, int width, int height, const unsigned char* rgba)
{
    startWriting(texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}
