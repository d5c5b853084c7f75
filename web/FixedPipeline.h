// SPDX-License-Identifier: MIT
#ifndef FIXEDPIPELINE_H
#define FIXEDPIPELINE_H

#include <vector>

#include "DrawBatch.h"
#include "GlyphAtlas.h"
#include "Matrix4.h"

// A vertex as the game specifies it: object coordinates and the current
// colour, normal and texture coordinates at the time.
struct InputVertex {
    float pos[4];
    float color[4];
    float normal[3];
    float tex[2];
};

// The fixed-function state of OpenGL 1.1 that the game uses, and its vertex
// stage done on the CPU: transform, lighting, culling, wide lines and
// bitmaps. What comes out are lit triangles in clip coordinates for the
// DrawBatch.
class FixedPipeline {
public:
    static const int kLights = 8;

    FixedPipeline();

    DrawBatch& batch() { return gpu; }
    void ensureReady();

    // Switches
    void setEnabled(GLenum cap, bool on);
    void setClientState(GLenum array, bool on);

    // Matrices
    void matrixMode(GLenum mode);
    Matrix4& current();
    void pushMatrix();
    void popMatrix();
    void multiply(const Matrix4& m);

    // Lights and colours
    void light(GLenum light, GLenum pname, const float* params);
    void lightModelAmbient(const float* rgba);
    void color(float r, float g, float b, float a);
    void normal(float x, float y, float z);
    void lineWidth(float width);

    // Geometry
    void begin(GLenum mode);
    void vertex(float x, float y, float z);
    void end();
    void arrayPointer(GLenum array, int size, GLenum type, int stride, const void* pointer);
    void drawElements(GLenum mode, int count, GLenum type, const void* indices);
    void rect(float x1, float y1, float x2, float y2);

    // Raster position and bitmaps (the game's text)
    void rasterPos(float x, float y, float z);
    void bitmap(int width, int height, float xorig, float yorig, float xmove, float ymove, const unsigned char* bits);

    // Textures
    void bindTexture(GLuint texture) { boundTexture = texture; }
    GLuint boundTextureName() const { return boundTexture; }
    void setUnpackAlignment(int alignment) { unpackAlignment = alignment; }
    int unpackRowAlignment() const { return unpackAlignment; }

    void clearColor(float r, float g, float b, float a);
    void clear(GLbitfield mask);
    void finishFrame();

private:
    struct Light {
        float ambient[4];
        float diffuse[4];
        float position[4]; // eye coordinates
        float spotDirection[3]; // eye coordinates
        float spotExponent;
        float spotCutoff;
        float spotCosCutoff;
        float attenuation[3];
    };
    struct ClientArray {
        bool enabled;
        int size;
        GLenum type;
        int stride;
        const void* pointer;
    };

    // The matrices one batch of vertices is transformed by.
    struct Transform {
        Matrix4 modelViewProjection;
        Matrix4 normals;
    };
    Transform transform() const;
    void shade(const InputVertex& in, const Transform& t, BatchVertex& out) const;
    void lightVertex(const float eye[4], const float normal[3], const float color[4], float out[4]) const;
    void assemble(GLenum mode, const std::vector<InputVertex>& input);
    void triangle(const BatchVertex& a, const BatchVertex& b, const BatchVertex& c);
    void line(const BatchVertex& a, const BatchVertex& b);
    void windowRectangle(float x0, float y0, float x1, float y1, const GlyphAtlas::Place* place);
    void toWindow(const float clip[4], float window[3]) const;
    void fromWindow(float x, float y, float z, float clip[4]) const;
    InputVertex currentVertex(float x, float y, float z) const;
    InputVertex fromArrays(int index) const;

    DrawBatch gpu;
    std::vector<Matrix4> modelView;
    std::vector<Matrix4> projection;
    GLenum mode;

    bool lighting, colorMaterial, normalize, cullFace, texture2D;
    Light lights[kLights];
    bool lightOn[kLights];
    float sceneAmbient[4];

    float currentColor[4];
    float currentNormal[3];
    float currentTex[2];
    float width;

    ClientArray vertexArray, normalArray, colorArray, texArray;

    GLenum primitive; // between begin and end, else 0
    std::vector<InputVertex> pending;
    std::vector<InputVertex> elements;
    std::vector<BatchVertex> shaded;

    bool rasterValid;
    float rasterWindow[3];
    float rasterColor[4];

    GlyphAtlas glyphs;
    GLuint boundTexture;
    int unpackAlignment;
    float clearRGBA[4];
};

#endif
