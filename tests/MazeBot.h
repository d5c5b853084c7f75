#ifndef MAZEBOT_H
#define MAZEBOT_H

#include <vector>

#include "MathUtils.h"

class MazeGameControl;
class Labyrinth;

// The keys a person can press while playing (Escape aside).
enum class Key { Enter, Space, Up, Down, Left, Right };

// Sends one key event to the controller, as the game's key callbacks do.
void pressKey(MazeGameControl& control, Key key);

// A test player. Each tick it looks at the screen (maze cells, its own
// position and heading, birds and droplets) and chooses at most two key
// events. It confirms every message, walks to where falling droplets will
// land until it has 30 of them, then leaves through the portal.
//
// It never calls rand(), so it leaves the game's random sequence alone.
class MazeBot {
public:
    explicit MazeBot(const MazeGameControl& control);

    // The key events for the coming tick, at most two.
    std::vector<Key> chooseKeys();

    // Forgets its plans, e.g. after someone else had the keyboard.
    void reset();

private:
    struct Target {
        bool valid = false;
        float x = 0, y = 0;        // where to stand
        float dropX = 0, dropY = 0;  // which droplet, by where it falls
        bool forDrop = false;
    };

    void steerTo(float tx, float ty, bool finalStop, std::vector<Key>& keys);
    void planPath(const Labyrinth& maze, int fromI, int fromJ);
    bool lineClear(const Labyrinth& maze, float ax, float ay, float bx, float by) const;
    bool choosePoint(float& tx, float& ty, bool& forDrop);
    int estimateTicks(float tx, float ty) const;

    const MazeGameControl& control;
    // Walking distances, in cells, from the player's cell; -1 if unreachable.
    int dist[19][19];
    int prevI[19][19];
    int prevJ[19][19];
    Target target;
    Target idle;
    int idleAge = 0;
    int stuckTicks = 0;
    Vector3f lastPos;
    int lastCaught = -1;
};

#endif
