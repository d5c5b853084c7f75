// SPDX-License-Identifier: MIT
#ifndef MAZEGAMERENDERER_H
#define MAZEGAMERENDERER_H

#include "MazeGameControl.h"

class GLTextureHelper;
class Labyrinth;
class MovingThingy;
class PointObject;

// Draws one frame of the game from the controller's state: the maze in first
// person or as the overhead map, the creatures and projectiles, and the text
// panel of the message screens. It only reads the game.
class MazeGameRenderer {
public:
    MazeGameRenderer();

    void init(); // needs a current GL context; ends the process if a texture cannot be read
    void quit();
    void render(const MazeGameControl& gameControl);

    GLTextureHelper* textureHelper; // owned; created by init, deleted by quit
    int fontListBase; // first of the 128 character display lists

private:
    void draw_grid();
    void draw_player_on_map();
    void draw_maze(bool mapView, const Labyrinth& maze);
    void draw_cube(int i, int j, int type, bool mapView);

    void draw_thingy(const MovingThingy& thingy);
    void draw_bullet(const PointObject& b, float size);
    void draw_drop(const PointObject& d);

    void draw_text(int x, int y, const char* msg);
    int text_width(const char* text);
    int text_height();
    void prepare_text_background();
    void draw_message(MazeGameStatus status);
    void draw_message_line(int line, const char* text);

    MazeGameRenderer(const MazeGameRenderer&) = delete;
    MazeGameRenderer& operator=(const MazeGameRenderer&) = delete;
};

#endif
