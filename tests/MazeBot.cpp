#include "MazeBot.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "MazeGameControl.h"
#include "MazeGameState.h"

namespace {

const float kPi = 3.14159265f;
// Decay of both speeds per tick; a speed s still carries the player about
// s / (1 - 0.8) = 5 s further, and a turn rate t turns the view about 5 t.
const float kCoast = 5.0f;
const float kTopSpeed = 0.6f;
// How close to the droplet's line of fall the bot aims to stand; the game
// catches within 0.3.
const float kAim = 0.24f;
// Where the portal leads: the open ring just beyond it.
const float kExitX = 17.6f;
const float kExitY = 15.5f;

bool onCells(int i, int j)
{
    return i >= -1 && i <= 17 && j >= -1 && j <= 17;
}

// Positions map to cells by truncation, as in the game.
int cellOf(float c)
{
    return (int)c;
}

bool solidAt(const Labyrinth& maze, float x, float y)
{
    if (!(x > -2.0f && x < 18.0f && y > -2.0f && y < 18.0f))
        return true;  // never plan a walk off the grid
    return const_cast<Labyrinth&>(maze)(cellOf(x), cellOf(y)) > 0;
}

float headingTo(float dx, float dy)
{
    return std::atan2(dx, dy) * 180.0f / kPi;
}

float wrapDegrees(float a)
{
    a = std::fmod(a, 360.0f);
    if (a > 180.0f)
        a -= 360.0f;
    if (a <= -180.0f)
        a += 360.0f;
    return a;
}

// The ticks from now, counted from 1, during which a droplet passes the
// catch height band (|z - 0.5| < 0.5) before it reaches the floor.
bool catchWindow(const PointObject& d, int& first, int& last)
{
    float z = d.pos.z;
    float vz = d.v.z;
    first = -1;
    last = -1;
    for (int k = 1; k <= 60; k++) {
        z = z + vz;
        vz = vz - 0.01;
        if (z < 0.0f)
            break;
        if (std::fabs(z - 0.5f) < 0.5f) {
            if (first < 0)
                first = k;
            last = k;
        }
    }
    return first > 0;
}

} // namespace

void pressKey(MazeGameControl& control, Key key)
{
    switch (key) {
    case Key::Enter: control.pushOK(); break;
    case Key::Space: control.shoot(); break;
    case Key::Up: control.move(1, 0, 0); break;
    case Key::Down: control.move(-1, 0, 0); break;
    case Key::Left: control.turn(-1); break;
    case Key::Right: control.turn(1); break;
    }
}

MazeBot::MazeBot(const MazeGameControl& control) : control(control)
{
    reset();
}

void MazeBot::reset()
{
    target = Target();
    idle = Target();
    idleAge = 0;
    stuckTicks = 0;
    lastCaught = -1;
}

std::vector<Key> MazeBot::chooseKeys()
{
    std::vector<Key> keys;
    MazeGameStatus status = control.gameStatus;
    if (status != EFirstPersonView && status != EMapView) {
        keys.push_back(Key::Enter);
        return keys;
    }

    MazeGameState& world = *control.gameState;
    const Player& p = world.player;
    if (p.dropsCaught < lastCaught)
        reset();  // a new game
    lastCaught = p.dropsCaught;

    planPath(world.maze, cellOf(p.pos.x), cellOf(p.pos.y));

    float tx, ty;
    bool forDrop;
    if (!choosePoint(tx, ty, forDrop))
        return keys;

    // Progress watch: pressing on against a corner the line check missed.
    float moved = std::fabs(p.pos.x - lastPos.x) + std::fabs(p.pos.y - lastPos.y);
    lastPos = p.pos;
    float away = std::fabs(tx - p.pos.x) + std::fabs(ty - p.pos.y);
    if (moved < 0.005f && away > 0.3f)
        stuckTicks++;
    else if (stuckTicks > 0 && moved > 0.05f)
        stuckTicks--;

    // Follow the walking path; cut corners where the straight line is clear.
    std::vector<std::pair<float, float>> points;
    int ti = cellOf(tx), tj = cellOf(ty);
    if (onCells(ti, tj) && dist[ti + 1][tj + 1] > 0) {
        int i = ti, j = tj;
        while (dist[i + 1][j + 1] > 0) {
            points.insert(points.begin(), std::make_pair(i + 0.5f, j + 0.5f));
            int pi = prevI[i + 1][j + 1], pj = prevJ[i + 1][j + 1];
            i = pi;
            j = pj;
        }
        points.back() = std::make_pair(tx, ty);
    } else {
        points.push_back(std::make_pair(tx, ty));
    }
    size_t pick = 0;
    if (stuckTicks < 12) {
        for (size_t k = 0; k < points.size(); k++) {
            if (!lineClear(world.maze, p.pos.x, p.pos.y, points[k].first, points[k].second))
                break;
            pick = k;
        }
    } else if (stuckTicks > 40) {
        stuckTicks = 0;
    }
    bool last = pick + 1 == points.size();
    steerTo(points[pick].first, points[pick].second, last && forDrop, keys);
    return keys;
}

void MazeBot::steerTo(float tx, float ty, bool finalStop, std::vector<Key>& keys)
{
    const Player& p = control.gameState->player;
    float dx = tx - p.pos.x, dy = ty - p.pos.y;
    float d = std::sqrt(dx * dx + dy * dy);
    if (finalStop && std::fabs(dx) < 0.1f && std::fabs(dy) < 0.1f) {
        // Standing under the droplet: hold still.
        if (p.movingForward > 0.12f)
            keys.push_back(Key::Down);
        else if (p.movingForward < -0.12f)
            keys.push_back(Key::Up);
        return;
    }

    float err = wrapDegrees(headingTo(dx, dy) - p.yaw);
    float residual = err - kCoast * p.turningYaw;
    if (residual > 10.0f)
        keys.push_back(Key::Right);
    else if (residual < -10.0f)
        keys.push_back(Key::Left);
    if (residual > 30.0f)
        keys.push_back(Key::Right);
    else if (residual < -30.0f)
        keys.push_back(Key::Left);
    if (keys.size() >= 2)
        return;

    float v = p.movingForward;
    float allow = finalStop ? 0.0f : 0.6f;
    float absErr = std::fabs(err);
    if ((absErr > 60.0f && v > 0.15f) || kCoast * v > d + allow + 0.25f) {
        keys.push_back(Key::Down);
        return;
    }
    if (absErr < 25.0f) {
        if (keys.empty() && absErr < 10.0f && v + 0.2f <= kTopSpeed &&
            kCoast * (v + 0.2f) <= d + allow) {
            keys.push_back(Key::Up);
            keys.push_back(Key::Up);
        } else if (v + 0.1f <= kTopSpeed && kCoast * (v + 0.1f) <= d + allow + 0.05f) {
            keys.push_back(Key::Up);
        }
    }
}

void MazeBot::planPath(const Labyrinth& maze, int fromI, int fromJ)
{
    for (int i = 0; i < 19; i++)
        for (int j = 0; j < 19; j++)
            dist[i][j] = -1;
    if (!onCells(fromI, fromJ))
        return;
    Labyrinth& m = const_cast<Labyrinth&>(maze);
    std::deque<std::pair<int, int>> queue;
    dist[fromI + 1][fromJ + 1] = 0;
    queue.push_back(std::make_pair(fromI, fromJ));
    const int di[4] = {1, -1, 0, 0};
    const int dj[4] = {0, 0, 1, -1};
    while (!queue.empty()) {
        int i = queue.front().first, j = queue.front().second;
        queue.pop_front();
        for (int k = 0; k < 4; k++) {
            int ni = i + di[k], nj = j + dj[k];
            if (!onCells(ni, nj) || dist[ni + 1][nj + 1] >= 0 || m(ni, nj) > 0)
                continue;
            dist[ni + 1][nj + 1] = dist[i + 1][j + 1] + 1;
            prevI[ni + 1][nj + 1] = i;
            prevJ[ni + 1][nj + 1] = j;
            queue.push_back(std::make_pair(ni, nj));
        }
    }
}

// Whether the player can walk straight from a to b with some room to spare
// at the wall corners; the last stretch may run close to a wall, since
// droplets over a wall's edge are caught from right beside it.
bool MazeBot::lineClear(const Labyrinth& maze, float ax, float ay, float bx, float by) const
{
    float dx = bx - ax, dy = by - ay;
    float len = std::sqrt(dx * dx + dy * dy);
    int steps = (int)(len / 0.05f) + 1;
    for (int k = 0; k <= steps; k++) {
        float t = (float)k / steps;
        float x = ax + dx * t, y = ay + dy * t;
        float c = (len * (1 - t) < 0.2f || len * t < 0.05f) ? 0.03f : 0.1f;
        if (solidAt(maze, x + c, y + c) || solidAt(maze, x - c, y + c) ||
            solidAt(maze, x + c, y - c) || solidAt(maze, x - c, y - c))
            return false;
    }
    return true;
}

int MazeBot::estimateTicks(float tx, float ty) const
{
    const Player& p = control.gameState->player;
    int ti = cellOf(tx), tj = cellOf(ty);
    if (!onCells(ti, tj) || dist[ti + 1][tj + 1] < 0)
        return 1 << 20;
    float dx = tx - p.pos.x, dy = ty - p.pos.y;
    float straight = std::sqrt(dx * dx + dy * dy);
    float cells = (float)dist[ti + 1][tj + 1];
    float length = std::max(straight, cells);
    float turn = std::fabs(wrapDegrees(headingTo(dx, dy) - p.yaw));
    return (int)(3.0f + turn / 25.0f + length / 0.3f + cells * 0.8f);
}

// The point to walk to now: under a droplet that can still be reached in
// time, out through the portal once it is open, or else towards where the
// flock is thickest, since droplets fall from the birds.
bool MazeBot::choosePoint(float& tx, float& ty, bool& forDrop)
{
    MazeGameState& world = *control.gameState;
    const Player& p = world.player;
    Labyrinth& maze = world.maze;
    forDrop = false;

    if (p.dropsCaught >= 30) {
        tx = kExitX;
        ty = kExitY;
        return true;
    }

    // Keep the chosen droplet while it is still on its way and reachable.
    bool keep = false;
    float bestX = 0, bestY = 0, bestDropX = 0, bestDropY = 0;
    int bestScore = 1 << 20;
    for (int k = 0; k < world.drops.count(); k++) {
        const PointObject& d = world.drops[k];
        int first, last;
        if (!d.alive || !catchWindow(d, first, last))
            continue;
        int ci = cellOf(d.pos.x), cj = cellOf(d.pos.y);
        for (int ni = ci - 1; ni <= ci + 1; ni++) {
            for (int nj = cj - 1; nj <= cj + 1; nj++) {
                if (!onCells(ni, nj) || maze(ni, nj) > 0 || dist[ni + 1][nj + 1] < 0)
                    continue;
                // Nearest point of this open cell, kept off its walls.
                float sx = std::min(std::max(d.pos.x, ni + 0.06f), ni + 0.94f);
                float sy = std::min(std::max(d.pos.y, nj + 0.06f), nj + 0.94f);
                if (std::fabs(sx - d.pos.x) > kAim || std::fabs(sy - d.pos.y) > kAim)
                    continue;
                if (solidAt(maze, sx + 0.03f, sy) || solidAt(maze, sx - 0.03f, sy) ||
                    solidAt(maze, sx, sy + 0.03f) || solidAt(maze, sx, sy - 0.03f))
                    continue;
                int est = estimateTicks(sx, sy);
                if (est > last - 1)
                    continue;
                bool same = target.valid && target.dropX == d.pos.x && target.dropY == d.pos.y;
                int score = same ? est - 6 : est;
                if (score < bestScore) {
                    bestScore = score;
                    bestX = sx;
                    bestY = sy;
                    bestDropX = d.pos.x;
                    bestDropY = d.pos.y;
                    keep = true;
                }
            }
        }
    }
    if (keep) {
        target.valid = true;
        target.x = bestX;
        target.y = bestY;
        target.dropX = bestDropX;
        target.dropY = bestDropY;
        tx = bestX;
        ty = bestY;
        forDrop = true;
        return true;
    }
    target.valid = false;

    // Nothing to catch: wait where most birds fly overhead, not too far off.
    if (!idle.valid || idleAge++ >= 15) {
        idleAge = 0;
        int best = -(1 << 20);
        for (int i = 0; i <= 16; i++) {
            for (int j = 0; j <= 16; j++) {
                if (dist[i + 1][j + 1] < 0)
                    continue;
                float cx = i + 0.5f, cy = j + 0.5f;
                int birds = 0;
                for (int b = 0; b < world.boids.count(); b++) {
                    const Vector3f& bp = world.boids[b].pos;
                    if (std::fabs(bp.x - cx) < 1.5f && std::fabs(bp.y - cy) < 1.5f)
                        birds++;
                }
                int open = 0;
                for (int a = -1; a <= 1; a++)
                    for (int c = -1; c <= 1; c++)
                        if (maze(i + a, j + c) <= 0)
                            open++;
                int score = birds * 4 + open * 3 - dist[i + 1][j + 1] * 2;
                if (score > best) {
                    best = score;
                    idle.valid = true;
                    idle.x = cx;
                    idle.y = cy;
                }
            }
        }
    }
    if (!idle.valid)
        return false;
    tx = idle.x;
    ty = idle.y;
    forDrop = true;  // stop there rather than run past
    return true;
}
