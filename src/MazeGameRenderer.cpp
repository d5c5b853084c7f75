// SPDX-License-Identifier: MIT
#include "MazeGameRenderer.h"

#include <GL/gl.h>
#include <GL/glut.h>

#include <cstring>

#include "GLTextureHelper.h"
#include "Labyrinth.h"
#include "MazeGameState.h"
#include "MiscObjects.h"
#include "MazeGameRendererStaticData.h"

namespace {

const char* const kTitle = "Dewgatherer";
const char* const kPrompt = "PRESS ENTER";

// The text of every message screen, by status; the two play screens have none.
// The double spaces are part of the story's typesetting.
const char* const kTitle1Lines[] = {
    "You find yourself in",
    "a strange place. You",
    "are in a  maze  with",
    "no exit.  It is cold",
    "and it smells funny.",
    "Birds...",
};
const char* const kTitle2Lines[] = {
    "Weird birds fly all",
    "around in flocks,",
    "spitting small drop-",
    "lets on you.",
    "After catching some",
    "of them you realize..",
};
const char* const kTitle3Lines[] = {
    "you realize that you",
    "need to catch 30 of",
    "these magic drop-",
    "lets to escape.",
    "Go, do it! You have",
    "no time to lose!",
};
const char* const kBonusMapLines[] = {
    "Wow... the droplets",
    "are indeed magic!",
    "You feel enlightened.",
    "Push ENTER in the game",
    "to see the map.",
};
const char* const kBonusPortalLines[] = {
    "You have collected",
    "enough droplets to",
    "perform powerful",
    "magic!",
    "You hear distant",
    "noise. What was it?",
};
const char* const kBonusWeaponLines[] = {
    "Cool! You've just",
    "found a weapon!",
    "Push SPACE to use it!",
};
const char* const kFinishLines[] = {
    "At last! You've",
    "managed to escape",
    "the cursed maze.",
    "Go home now and",
    "live your life!",
    "Or play again?",
};

struct MessageText {
    const char* const* lines;
    int count;
};

template <int N> constexpr MessageText messageText(const char* const (&lines)[N])
{
    return {lines, N};
}

const MessageText kMessages[] = {
    messageText(kTitle1Lines),
    messageText(kTitle2Lines),
    messageText(kTitle3Lines),
    messageText(kBonusMapLines),
    messageText(kBonusPortalLines),
    messageText(kBonusWeaponLines),
    messageText(kFinishLines),
};

// Both lights share their colours and their fall-off with distance.
void setUpLight(GLenum light)
{
    glEnable(light);
    glLightfv(light, GL_DIFFUSE, lightDiffuse);
    glLightfv(light, GL_AMBIENT, lightAmbient);
    glLightfv(light, GL_SPECULAR, lightDiffuse);
    glLightf(light, GL_CONSTANT_ATTENUATION, 1.5f);
    glLightf(light, GL_LINEAR_ATTENUATION, 0.5f);
    glLightf(light, GL_QUADRATIC_ATTENUATION, 0.1f);
}

bool isPlayScreen(MazeGameStatus status)
{
    return status == EFirstPersonView || status == EMapView;
}

} // namespace

MazeGameRenderer::MazeGameRenderer()
    : textureHelper(nullptr)
    , fontListBase(0)
{
}

void MazeGameRenderer::init()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_COLOR_MATERIAL);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);

    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);

    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);

    // The head lamp: a spot whose direction keeps the default, straight ahead.
    setUpLight(GL_LIGHT0);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 30.0f);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 1.0f);

    // The pick-up's light, a point light; draw_thingy places it.
    setUpLight(GL_LIGHT1);

    glEnable(GL_LIGHTING);

    textureHelper = new GLTextureHelper();
    textureHelper->loadImages();
    textureHelper->GlGenTextures();

    // These act on the wall texture, the one GlGenTextures left bound.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    fontListBase = glGenLists(128);
    for (int c = 0; c < 128; c++) {
        glNewList(fontListBase + c, GL_COMPILE);
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, c);
        glEndList();
    }
}

void MazeGameRenderer::quit()
{
    if (textureHelper) {
        textureHelper->GlDeleteTextures();
        delete textureHelper;
        textureHelper = nullptr;
    }
}

void MazeGameRenderer::render(const MazeGameControl& gameControl)
{
    // Recoil of the view on the three ticks after a shot, in degrees.
    static const GLfloat angles[3] = {10, 5, 2};

    glEnable(GL_DEPTH_TEST);

    bool mapView = gameControl.gameStatus == EMapView;
    const MazeGameState& gameState = *gameControl.gameState;
    const Player& player = gameState.player;

    // A caught droplet flashes the play screen green for one tick.
    if (player.wowed && isPlayScreen(gameControl.gameStatus)) {
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        return;
    }

    if (mapView) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.5, 0.5, -0.5, 0.5, 3.0, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0, 0, -30);
        glDisable(GL_LIGHTING);
        draw_player_on_map();
    } else {
        glClearColor(129 / 255.0f, 191 / 255.0f, 254 / 255.0f, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.005, 0.005, -0.005, 0.005, 0.01, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // World +z up, world +y forward.
        glRotatef(-90, 1, 0, 0);
        if (player.doingShot)
            glRotatef(-angles[player.shotFrame], 1, 0, 0);
        glEnable(GL_LIGHTING);
        // Only the head rotations are loaded yet, so the lamp moves with the head.
        glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    }

    glRotatef(player.yaw, 0, 0, 1);
    glTranslatef(0, 0, -0.5f);
    glTranslatef(-player.pos.x, -player.pos.y, -player.pos.z);

    if (mapView) {
        glColor4f(1, 1, 1, 1);
        draw_grid();
    }

    draw_maze(mapView, gameState.maze);

    if (gameState.thingy.alive)
        draw_thingy(gameState.thingy);

    glColor4f(1, 0, 0, 1);
    const Bullets& bullets = gameState.bullets;
    for (int k = 0; k < bullets.count(); k++)
        draw_bullet(bullets[k], 0.05f);

    glColor4f(0, 0, 0.5f, 1);
    if (mapView)
        glColor4f(0, 0, 1, 1);
    const Boids& boids = gameState.boids;
    for (int k = 0; k < boids.count(); k++)
        draw_bullet(boids[k], 0.1f);

    glColor4f(0, 1, 0, 1);
    const Drops& drops = gameState.drops;
    for (int k = 0; k < drops.count(); k++)
        draw_drop(drops[k]);

    if (!isPlayScreen(gameControl.gameStatus)) {
        prepare_text_background();
        draw_message(gameControl.gameStatus);
    }
}

void MazeGameRenderer::draw_player_on_map()
{
    glColor4f(1, 1, 1, 1);
    glBegin(GL_LINES);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0.3f, 0);
    glEnd();
}

void MazeGameRenderer::draw_grid()
{
    glBegin(GL_LINES);
    for (int k = 0; k <= 17; k++) {
        glVertex3f((float)k, 0, 0);
        glVertex3f((float)k, 17, 0);
    }
    for (int k = 0; k <= 17; k++) {
        glVertex3f(0, (float)k, 0);
        glVertex3f(17, (float)k, 0);
    }
    glEnd();
}

void MazeGameRenderer::draw_maze(bool mapView, const Labyrinth& maze)
{
    glVertexPointer(3, GL_FLOAT, 0, cubeVertices);
    glPushMatrix();
    // The cube of -1..1 moved by (2i, 2j, 0) now covers cell (i, j), z 0..1.
    glScalef(0.5f, 0.5f, 0.5f);
    glTranslatef(1, 1, 1);
    for (int i = 0; i < 17; i++) {
        for (int j = 0; j < 17; j++) {
            int type = maze(i, j);
            draw_cube(i, j, type, mapView);
        }
    }
    glPopMatrix();
}

void MazeGameRenderer::draw_cube(int i, int j, int type, bool mapView)
{
    glPushMatrix();
    glTranslatef((float)(2 * i), (float)(2 * j), 0);

    if (type > 0) {
        if (!mapView)
            textureHelper->GlSetTexture(ETextureWall);
        glTexCoordPointer(2, GL_FLOAT, 0, cubeTexCoords);
        const GLfloat* color = mazeColors + 4 * type;
        for (int f = 0; f < 6; f++) {
            glColor4f(color[0], color[1], color[2], color[3]);
            const GLfloat* normal = cubeNormals + 3 * f;
            glNormal3f(normal[0], normal[1], normal[2]);
            glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_BYTE, cubeTriangles + 6 * f);
        }
        if (!mapView)
            textureHelper->GlSetNoTexture();
    } else if (type < 0 || !mapView) {
        // The bottom face winds clockwise seen from above.
        glDisable(GL_CULL_FACE);
        if (!mapView)
            textureHelper->GlSetTexture(ETextureFloor);
        glTexCoordPointer(2, GL_FLOAT, 0, floorTexCoords);
        const GLfloat* color = mazeColors + 4 * -type;
        glColor4f(color[0], color[1], color[2], color[3]);
        glNormal3f(0, 0, 1);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_BYTE, cubeTriangles + 12);
        if (!mapView)
            textureHelper->GlSetNoTexture();
        glEnable(GL_CULL_FACE);
    }
    // Open floor on the map is left as background.

    glPopMatrix();
}

void MazeGameRenderer::draw_thingy(const MovingThingy& thingy)
{
    static const GLfloat lightpos[4] = {0, 0, 0, 1};

    glPushMatrix();
    glTranslatef(thingy.pos.x, thingy.pos.y, thingy.pos.z);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, cubeVertices);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, vertexColors);
    // Each corner's normal is its own position vector.
    glNormalPointer(GL_FLOAT, 0, cubeVertices);
    glRotatef((float)((3 * thingy.frame) % 360), 0, 1, 1);
    glScalef(0.05f, 0.05f, 0.05f);
    glLightfv(GL_LIGHT1, GL_POSITION, lightpos);
    glDrawElements(GL_TRIANGLE_FAN, 18, GL_UNSIGNED_BYTE, cubeFan1);
    glDrawElements(GL_TRIANGLE_FAN, 18, GL_UNSIGNED_BYTE, cubeFan2);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glPopMatrix();
}

void MazeGameRenderer::draw_bullet(const PointObject& b, float size)
{
    glPushMatrix();
    glTranslatef(b.pos.x, b.pos.y, b.pos.z);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnable(GL_NORMALIZE);
    glVertexPointer(3, GL_FLOAT, 0, bulletVertices);
    glNormalPointer(GL_FLOAT, 0, bulletVertices);

    // Turn the nose (local +y) along the flight. Something standing still has
    // no direction of flight and is drawn unturned.
    float norm = b.v.norm();
    if (norm > 0) {
        // clang-format off
        GLfloat rot[16] = {
            b.v.y / norm, -b.v.x / norm, 0, 0,
            b.v.x / norm,  b.v.y / norm, 0, 0,
            0,             0,            1, 0,
            0,             0,            0, 1,
        };
        // clang-format on
        glMultMatrixf(rot);
    }

    int spin = b.frame % 360;
    glRotatef((float)(6 * spin), 0, 1, 0);
    glRotatef((float)(5 * spin), 1, 0, 0);
    glScalef(size, size, size);
    glDrawElements(GL_TRIANGLES, 12, GL_UNSIGNED_BYTE, bulletTriangles);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisable(GL_NORMALIZE);
    glPopMatrix();
}

void MazeGameRenderer::draw_drop(const PointObject& d)
{
    glPushMatrix();
    glTranslatef(d.pos.x, d.pos.y, d.pos.z);
    glRotatef((float)(5 * (d.frame % 360)), 0, 0, 1);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glBegin(GL_TRIANGLES);
    glVertex3f(-0.03f, 0, 0);
    glVertex3f(0.03f, 0, 0);
    glVertex3f(0, 0, 0.15f);
    glEnd();
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glPopMatrix();
}

void MazeGameRenderer::draw_text(int x, int y, const char* msg)
{
    // The raster position takes the colour current now.
    glRasterPos2i(x, y);
    glListBase(fontListBase);
    glCallLists((GLsizei)strlen(msg), GL_BYTE, msg);
}

int MazeGameRenderer::text_width(const char* text)
{
    return glutBitmapLength(GLUT_BITMAP_HELVETICA_18, reinterpret_cast<const unsigned char*>(text));
}

int MazeGameRenderer::text_height()
{
    return 18;
}

void MazeGameRenderer::prepare_text_background()
{
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 300, 0, 300, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 0.5f);
    glRectf(30, 50, 270, 250);
    glDisable(GL_BLEND);

    glLineWidth(3);
    glBegin(GL_LINE_STRIP);
    glVertex2i(30, 50);
    glVertex2i(270, 50);
    glVertex2i(270, 250);
    glVertex2i(30, 250);
    glVertex2i(30, 50);
    glEnd();
    glLineWidth(1);
}

void MazeGameRenderer::draw_message(MazeGameStatus status)
{
    glColor4f(0, 0, 0, 1);
    draw_text(40, 245 - text_height(), kTitle);

    glBegin(GL_LINES);
    glVertex2f(40, 244);
    glVertex2f(260, 244);
    glVertex2f(40, (float)(242 - text_height()));
    glVertex2f(260, (float)(242 - text_height()));
    glVertex2f(40, 56);
    glVertex2f(260, 56);
    glEnd();

    draw_text(260 - text_width(kPrompt), 59, kPrompt);

    glColor4f(0.2f, 0.2f, 0.2f, 1);
    if (status < ETitle1Msg || status > EFinishMsg)
        return;
    const MessageText& message = kMessages[status];
    int i = 1;
    for (int k = 0; k < message.count; k++) {
        draw_message_line(i, message.lines[k]);
        i++;
    }
}

void MazeGameRenderer::draw_message_line(int line, const char* text)
{
    draw_text(43, 237 - text_height() - (text_height() + 3) * line, text);
}
