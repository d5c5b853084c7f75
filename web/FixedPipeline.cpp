// SPDX-License-Identifier: MIT
#include "FixedPipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void copy4(float* to, float a, float b, float c, float d)
{
    to[0] = a;
    to[1] = b;
    to[2] = c;
    to[3] = d;
}

float dot3(const float* a, const float* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void normalize3(float* v)
{
    const float length = std::sqrt(dot3(v, v));
    if (length > 0) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

float clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

// A client array's component as a float: unsigned bytes are colours.
float component(const void* base, GLenum type, int index)
{
    switch (type) {
    case GL_UNSIGNED_BYTE:
        return static_cast<const GLubyte*>(base)[index] / 255.0f;
    case GL_INT:
        return (float)static_cast<const GLint*>(base)[index];
    case GL_SHORT:
        return (float)static_cast<const GLshort*>(base)[index];
    default:
        return static_cast<const GLfloat*>(base)[index];
    }
}

int typeSize(GLenum type)
{
    switch (type) {
    case GL_UNSIGNED_BYTE:
    case GL_BYTE:
        return 1;
    case GL_SHORT:
    case GL_UNSIGNED_SHORT:
        return 2;
    default:
        return 4;
    }
}

} // namespace

FixedPipeline::FixedPipeline()
    : modelView(1)
    , projection(1)
    , mode(GL_MODELVIEW)
    , lighting(false)
    , colorMaterial(false)
    , normalize(false)
    , cullFace(false)
    , texture2D(false)
    , sceneAmbient{0.2f, 0.2f, 0.2f, 1}
    , currentColor{1, 1, 1, 1}
    , currentNormal{0, 0, 1}
    , currentTex{0, 0}
    , width(1)
    , vertexArray{false, 4, GL_FLOAT, 0, nullptr}
    , normalArray{false, 3, GL_FLOAT, 0, nullptr}
    , colorArray{false, 4, GL_FLOAT, 0, nullptr}
    , texArray{false, 4, GL_FLOAT, 0, nullptr}
    , primitive(0)
    , rasterValid(true)
    , rasterWindow{0, 0, 0}
    , rasterColor{1, 1, 1, 1}
    , boundTexture(0)
    , unpackAlignment(4)
    , clearRGBA{0, 0, 0, 0}
{
    for (int i = 0; i < kLights; i++) {
        Light& l = lights[i];
        copy4(l.ambient, 0, 0, 0, 1);
        // Light 0 is white by default, the others black. (No material of the
        // game's shines, so the lights' specular colours are not kept.)
        const float on = i == 0 ? 1.0f : 0.0f;
        copy4(l.diffuse, on, on, on, 1);
        copy4(l.position, 0, 0, 1, 0);
        l.spotDirection[0] = 0;
        l.spotDirection[1] = 0;
        l.spotDirection[2] = -1;
        l.spotExponent = 0;
        l.spotCutoff = 180;
        l.spotCosCutoff = -1;
        l.attenuation[0] = 1;
        l.attenuation[1] = 0;
        l.attenuation[2] = 0;
        lightOn[i] = false;
    }
}

void FixedPipeline::ensureReady()
{
    if (!gpu.ready())
        gpu.init();
}

void FixedPipeline::setEnabled(GLenum cap, bool on)
{
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kLights) {
        lightOn[cap - GL_LIGHT0] = on;
        return;
    }
    switch (cap) {
    case GL_LIGHTING:
        lighting = on;
        break;
    case GL_COLOR_MATERIAL:
        colorMaterial = on;
        break;
    case GL_NORMALIZE:
        normalize = on;
        break;
    case GL_CULL_FACE:
        cullFace = on;
        break;
    case GL_TEXTURE_2D:
        texture2D = on;
        break;
    case GL_DEPTH_TEST:
        gpu.setDepthTest(on);
        break;
    case GL_BLEND:
        gpu.setBlend(on);
        break;
    default:
        break; // nothing else the game switches changes a picture
    }
}

void FixedPipeline::setClientState(GLenum array, bool on)
{
    switch (array) {
    case GL_VERTEX_ARRAY:
        vertexArray.enabled = on;
        break;
    case GL_NORMAL_ARRAY:
        normalArray.enabled = on;
        break;
    case GL_COLOR_ARRAY:
        colorArray.enabled = on;
        break;
    case GL_TEXTURE_COORD_ARRAY:
        texArray.enabled = on;
        break;
    default:
        break;
    }
}

void FixedPipeline::matrixMode(GLenum m)
{
    mode = m;
}

Matrix4& FixedPipeline::current()
{
    return mode == GL_PROJECTION ? projection.back() : modelView.back();
}

void FixedPipeline::pushMatrix()
{
    std::vector<Matrix4>& stack = mode == GL_PROJECTION ? projection : modelView;
    stack.push_back(stack.back());
}

void FixedPipeline::popMatrix()
{
    std::vector<Matrix4>& stack = mode == GL_PROJECTION ? projection : modelView;
    if (stack.size() > 1)
        stack.pop_back();
}

void FixedPipeline::multiply(const Matrix4& m)
{
    current() = current() * m;
}

FixedPipeline::Transform FixedPipeline::transform() const
{
    return {projection.back() * modelView.back(), lighting ? modelView.back().normalMatrix() : Matrix4()};
}

void FixedPipeline::light(GLenum which, GLenum pname, const float* params)
{
    if (which < GL_LIGHT0 || which >= GL_LIGHT0 + kLights)
        return;
    Light& l = lights[which - GL_LIGHT0];
    switch (pname) {
    case GL_AMBIENT:
        std::memcpy(l.ambient, params, sizeof l.ambient);
        break;
    case GL_DIFFUSE:
        std::memcpy(l.diffuse, params, sizeof l.diffuse);
        break;
    case GL_POSITION:
        // Lights are placed by the model-view matrix current when they are.
        modelView.back().transform(params, l.position);
        break;
    case GL_SPOT_DIRECTION:
        modelView.back().transformDirection(params, l.spotDirection);
        normalize3(l.spotDirection);
        break;
    case GL_SPOT_EXPONENT:
        l.spotExponent = params[0];
        break;
    case GL_SPOT_CUTOFF:
        l.spotCutoff = params[0];
        l.spotCosCutoff = (float)std::cos(params[0] * M_PI / 180.0);
        break;
    case GL_CONSTANT_ATTENUATION:
        l.attenuation[0] = params[0];
        break;
    case GL_LINEAR_ATTENUATION:
        l.attenuation[1] = params[0];
        break;
    case GL_QUADRATIC_ATTENUATION:
        l.attenuation[2] = params[0];
        break;
    default:
        break;
    }
}

void FixedPipeline::lightModelAmbient(const float* rgba)
{
    std::memcpy(sceneAmbient, rgba, sizeof sceneAmbient);
}

void FixedPipeline::color(float r, float g, float b, float a)
{
    copy4(currentColor, r, g, b, a);
}

void FixedPipeline::normal(float x, float y, float z)
{
    currentNormal[0] = x;
    currentNormal[1] = y;
    currentNormal[2] = z;
}

void FixedPipeline::lineWidth(float w)
{
    width = w;
}

// The lighting equation of OpenGL 1.1 for one vertex, in eye coordinates,
// with the material following the colour (GL_COLOR_MATERIAL's default,
// ambient and diffuse) and no specular material, as the game sets it up.
void FixedPipeline::lightVertex(const float eye[4], const float n[3], const float color[4], float out[4]) const
{
    static const float kDefaultAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
    static const float kDefaultDiffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    const float* ambient = colorMaterial ? color : kDefaultAmbient;
    const float* diffuse = colorMaterial ? color : kDefaultDiffuse;
    float sum[3];
    for (int c = 0; c < 3; c++)
        sum[c] = ambient[c] * sceneAmbient[c];
    for (int i = 0; i < kLights; i++) {
        if (!lightOn[i])
            continue;
        const Light& l = lights[i];
        float toLight[3];
        float attenuation = 1;
        if (l.position[3] != 0) {
            for (int c = 0; c < 3; c++)
                toLight[c] = l.position[c] / l.position[3] - eye[c] / eye[3];
            const float d = std::sqrt(dot3(toLight, toLight));
            normalize3(toLight);
            attenuation = 1.0f / (l.attenuation[0] + l.attenuation[1] * d + l.attenuation[2] * d * d);
        } else {
            std::memcpy(toLight, l.position, sizeof toLight);
            normalize3(toLight);
        }
        if (l.spotCutoff != 180) {
            const float fromLight[3] = {-toLight[0], -toLight[1], -toLight[2]};
            const float cosine = dot3(fromLight, l.spotDirection);
            attenuation *= cosine < l.spotCosCutoff ? 0.0f : std::pow(std::max(cosine, 0.0f), l.spotExponent);
        }
        const float diffuseFactor = std::max(dot3(n, toLight), 0.0f);
        for (int c = 0; c < 3; c++)
            sum[c] += attenuation * (ambient[c] * l.ambient[c] + diffuseFactor * diffuse[c] * l.diffuse[c]);
    }
    for (int c = 0; c < 3; c++)
        out[c] = clamp01(sum[c]);
    out[3] = clamp01(diffuse[3]);
}

void FixedPipeline::shade(const InputVertex& in, const Transform& t, BatchVertex& out) const
{
    t.modelViewProjection.transform(in.pos, out.clip);
    if (lighting) {
        float eye[4], n[3];
        modelView.back().transform(in.pos, eye);
        t.normals.transformDirection(in.normal, n);
        if (normalize)
            normalize3(n);
        lightVertex(eye, n, in.color, out.color);
    } else {
        for (int c = 0; c < 4; c++)
            out.color[c] = clamp01(in.color[c]);
    }
    out.tex[0] = in.tex[0];
    out.tex[1] = in.tex[1];
    out.slot = 0;
}

void FixedPipeline::begin(GLenum m)
{
    primitive = m;
    pending.clear();
}

// A vertex at the point given, with the current colour, normal and texture
// coordinates.
InputVertex FixedPipeline::currentVertex(float x, float y, float z) const
{
    InputVertex v;
    copy4(v.pos, x, y, z, 1);
    std::memcpy(v.color, currentColor, sizeof v.color);
    std::memcpy(v.normal, currentNormal, sizeof v.normal);
    std::memcpy(v.tex, currentTex, sizeof v.tex);
    return v;
}

void FixedPipeline::vertex(float x, float y, float z)
{
    if (primitive)
        pending.push_back(currentVertex(x, y, z));
}

void FixedPipeline::end()
{
    if (primitive)
        assemble(primitive, pending);
    primitive = 0;
    pending.clear();
}

void FixedPipeline::arrayPointer(GLenum array, int size, GLenum type, int stride, const void* pointer)
{
    ClientArray* a = array == GL_VERTEX_ARRAY ? &vertexArray
        : array == GL_NORMAL_ARRAY            ? &normalArray
        : array == GL_COLOR_ARRAY             ? &colorArray
                                              : &texArray;
    a->size = size;
    a->type = type;
    a->stride = stride;
    a->pointer = pointer;
}

InputVertex FixedPipeline::fromArrays(int index) const
{
    InputVertex v = currentVertex(0, 0, 0);
    auto read = [index](const ClientArray& a, float* to, int count) {
        const int stride = a.stride ? a.stride : a.size * typeSize(a.type);
        const void* base = static_cast<const char*>(a.pointer) + (size_t)index * stride;
        for (int c = 0; c < count && c < a.size; c++)
            to[c] = component(base, a.type, c);
    };
    if (vertexArray.enabled && vertexArray.pointer)
        read(vertexArray, v.pos, 4);
    if (normalArray.enabled && normalArray.pointer)
        read(normalArray, v.normal, 3);
    if (colorArray.enabled && colorArray.pointer)
        read(colorArray, v.color, 4);
    if (texArray.enabled && texArray.pointer && texture2D)
        read(texArray, v.tex, 2);
    return v;
}

void FixedPipeline::drawElements(GLenum m, int count, GLenum type, const void* indices)
{
    std::vector<InputVertex>& input = elements;
    input.clear();
    for (int k = 0; k < count; k++) {
        int index;
        if (type == GL_UNSIGNED_BYTE)
            index = static_cast<const GLubyte*>(indices)[k];
        else if (type == GL_UNSIGNED_SHORT)
            index = static_cast<const GLushort*>(indices)[k];
        else
            index = (int)static_cast<const GLuint*>(indices)[k];
        input.push_back(fromArrays(index));
    }
    assemble(m, input);
}

void FixedPipeline::rect(float x1, float y1, float x2, float y2)
{
    begin(GL_POLYGON);
    vertex(x1, y1, 0);
    vertex(x2, y1, 0);
    vertex(x2, y2, 0);
    vertex(x1, y2, 0);
    end();
}

void FixedPipeline::assemble(GLenum m, const std::vector<InputVertex>& input)
{
    ensureReady();
    const Transform t = transform();
    std::vector<BatchVertex>& v = shaded;
    v.resize(input.size());
    for (size_t k = 0; k < input.size(); k++)
        shade(input[k], t, v[k]);
    const size_t n = v.size();
    switch (m) {
    case GL_TRIANGLES:
        for (size_t k = 0; k + 2 < n; k += 3)
            triangle(v[k], v[k + 1], v[k + 2]);
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (size_t k = 1; k + 1 < n; k++)
            triangle(v[0], v[k], v[k + 1]);
        break;
    case GL_TRIANGLE_STRIP:
        for (size_t k = 0; k + 2 < n; k++) {
            if (k % 2 == 0)
                triangle(v[k], v[k + 1], v[k + 2]);
            else
                triangle(v[k + 1], v[k], v[k + 2]);
        }
        break;
    case GL_QUADS:
        for (size_t k = 0; k + 3 < n; k += 4) {
            triangle(v[k], v[k + 1], v[k + 2]);
            triangle(v[k], v[k + 2], v[k + 3]);
        }
        break;
    case GL_LINES:
        for (size_t k = 0; k + 1 < n; k += 2)
            line(v[k], v[k + 1]);
        break;
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
        for (size_t k = 0; k + 1 < n; k++)
            line(v[k], v[k + 1]);
        if (m == GL_LINE_LOOP && n > 2)
            line(v[n - 1], v[0]);
        break;
    default:
        break; // points and quad strips: the game draws none
    }
}

void FixedPipeline::triangle(const BatchVertex& a, const BatchVertex& b, const BatchVertex& c)
{
    if (cullFace) {
        // The sign of this determinant of clip coordinates is the winding the
        // triangle shows in the window, even for one that crosses the near
        // plane; counter-clockwise is the front.
        const float det = a.clip[0] * (b.clip[1] * c.clip[3] - b.clip[3] * c.clip[1])
            - a.clip[1] * (b.clip[0] * c.clip[3] - b.clip[3] * c.clip[0])
            + a.clip[3] * (b.clip[0] * c.clip[1] - b.clip[1] * c.clip[0]);
        if (det <= 0)
            return;
    }
    gpu.addTriangle(a, b, c, texture2D ? boundTexture : 0);
}

void FixedPipeline::toWindow(const float clip[4], float window[3]) const
{
    const int* view = gpu.viewport();
    // Scale and offset apart, as drivers apply the viewport.
    const float halfWidth = view[2] / 2.0f, halfHeight = view[3] / 2.0f;
    window[0] = clip[0] / clip[3] * halfWidth + (view[0] + halfWidth);
    window[1] = clip[1] / clip[3] * halfHeight + (view[1] + halfHeight);
    window[2] = clip[2] / clip[3] * 0.5f + 0.5f;
}

void FixedPipeline::fromWindow(float x, float y, float z, float clip[4]) const
{
    const int* view = gpu.viewport();
    copy4(clip, (x - view[0]) * 2.0f / view[2] - 1, (y - view[1]) * 2.0f / view[3] - 1, z * 2 - 1, 1);
}

// A line is drawn as the parallelogram OpenGL rasterises for it: as long as
// the line, as wide as the line width across its major axis.
void FixedPipeline::line(const BatchVertex& from, const BatchVertex& to)
{
    BatchVertex a = from, b = to;
    // Clip to the near plane, where z = -w.
    const float da = a.clip[2] + a.clip[3], db = b.clip[2] + b.clip[3];
    if (da < 0 && db < 0)
        return;
    if (da < 0 || db < 0) {
        BatchVertex& out = da < 0 ? a : b;
        const BatchVertex& in = da < 0 ? b : a;
        const float dOut = da < 0 ? da : db, dIn = da < 0 ? db : da;
        const float s = dOut / (dOut - dIn);
        for (int c = 0; c < 4; c++) {
            out.clip[c] += (in.clip[c] - out.clip[c]) * s;
            out.color[c] += (in.color[c] - out.color[c]) * s;
        }
    }
    float wa[3], wb[3];
    toWindow(a.clip, wa);
    toWindow(b.clip, wb);
    const bool xMajor = std::fabs(wb[0] - wa[0]) >= std::fabs(wb[1] - wa[1]);
    const int* view = gpu.viewport();
    const float half = std::max(1.0f, std::round(width)) / 2.0f;
    const float offsetX = xMajor ? 0 : half * 2.0f / view[2];
    const float offsetY = xMajor ? half * 2.0f / view[3] : 0;
    BatchVertex corners[4] = {a, b, b, a};
    const float sign[4] = {-1, -1, 1, 1};
    for (int k = 0; k < 4; k++) {
        corners[k].clip[0] += sign[k] * offsetX * corners[k].clip[3];
        corners[k].clip[1] += sign[k] * offsetY * corners[k].clip[3];
    }
    gpu.addTriangle(corners[0], corners[1], corners[2], 0);
    gpu.addTriangle(corners[0], corners[2], corners[3], 0);
}

void FixedPipeline::rasterPos(float x, float y, float z)
{
    ensureReady();
    BatchVertex v;
    shade(currentVertex(x, y, z), transform(), v);
    const float w = v.clip[3];
    rasterValid = w > 0 && std::fabs(v.clip[0]) <= w && std::fabs(v.clip[1]) <= w && std::fabs(v.clip[2]) <= w;
    if (!rasterValid)
        return;
    toWindow(v.clip, rasterWindow);
    std::memcpy(rasterColor, v.color, sizeof rasterColor);
}

// A bitmap is drawn where OpenGL draws it, on whole pixels: a rectangle
// textured with its copy in the glyph atlas or, should that be full, a
// rectangle for each row of set bits.
void FixedPipeline::bitmap(int w, int h, float xorig, float yorig, float xmove, float ymove, const unsigned char* bits)
{
    if (!rasterValid)
        return;
    ensureReady();
    // The small nudge keeps a raster position a rounding error short of a
    // whole pixel on that pixel, as desktop drivers do.
    const float nudge = 0.0001f;
    const int left = (int)std::floor(rasterWindow[0] + nudge - xorig);
    const int bottom = (int)std::floor(rasterWindow[1] + nudge - yorig);
    GlyphAtlas::Place place;
    if (w > 0 && h > 0 && glyphs.place(gpu, bits, w, h, place)) {
        windowRectangle((float)left, (float)bottom, (float)(left + w), (float)(bottom + h), &place);
    } else {
        const int rowBytes = (w + 7) / 8;
        auto set = [&](int row, int col) { return (bits[row * rowBytes + col / 8] & (0x80 >> (col % 8))) != 0; };
        for (int row = 0; row < h; row++) {
            for (int col = 0; col < w; col++) {
                if (!set(row, col))
                    continue;
                int end = col;
                while (end < w && set(row, end))
                    end++;
                windowRectangle((float)(left + col), (float)(bottom + row), (float)(left + end),
                    (float)(bottom + row + 1), nullptr);
                col = end;
            }
        }
    }
    rasterWindow[0] += xmove;
    rasterWindow[1] += ymove;
}

// A rectangle in window coordinates at the raster position's depth, in its
// colour, textured from the glyph atlas where a place in it is given.
void FixedPipeline::windowRectangle(float x0, float y0, float x1, float y1, const GlyphAtlas::Place* place)
{
    BatchVertex corner;
    std::memcpy(corner.color, rasterColor, sizeof corner.color);
    corner.slot = 0;
    BatchVertex quad[4] = {corner, corner, corner, corner};
    const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    for (int k = 0; k < 4; k++) {
        fromWindow(xs[k], ys[k], rasterWindow[2], quad[k].clip);
        quad[k].tex[0] = place ? (k == 1 || k == 2 ? place->u1 : place->u0) : 0;
        quad[k].tex[1] = place ? (k >= 2 ? place->v1 : place->v0) : 0;
    }
    const GLuint texture = place ? glyphs.texture() : 0;
    gpu.addTriangle(quad[0], quad[1], quad[2], texture);
    gpu.addTriangle(quad[0], quad[2], quad[3], texture);
}

void FixedPipeline::clearColor(float r, float g, float b, float a)
{
    copy4(clearRGBA, r, g, b, a);
}

void FixedPipeline::clear(GLbitfield mask)
{
    ensureReady();
    gpu.clear(mask, clearRGBA);
}

void FixedPipeline::finishFrame()
{
    ensureReady();
    gpu.flush();
}
