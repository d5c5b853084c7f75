// SPDX-License-Identifier: MIT
#include "MazeBot.h"

#include <cmath>
#include <sstream>

#include "MazeGameControl.h"
#include "MazeGameState.h"

void pressKey(MazeGameControl& control, Key key)
{
    switch (key) {
    case Key::Enter:
        return control.pushOK();
    case Key::Space:
        return control.shoot();
    case Key::Up:
    case Key::Down:
        return control.move(key == Key::Up ? 1 : -1, 0, 0);
    default:
        return control.turn(key == Key::Right ? 1 : -1);
    }
}

std::vector<Key> botKeys(const MazeGameControl& control)
{
    if (control.gameStatus != EFirstPersonView && control.gameStatus != EMapView)
        return {Key::Enter};
    MazeGameState& w = *control.gameState;
    const Player& p = w.player;
    // Cells -1..17 as (i + 1) * 19 + j + 1; walking distances from the player's cell.
    auto cellAt = [](float x, float y) { return ((int)x + 1) * 19 + (int)y + 1; };
    int start = cellAt(p.pos.x, p.pos.y), queue[361] = {start}, n = 1;
    std::vector<int> dist(361, -1), from(361);
    dist[start] = 0;
    for (int q = 0; q < n; q++) {
        int c = queue[q], i = c / 19, j = c % 19;
        for (int m : {i > 0 ? c - 19 : -1, i < 18 ? c + 19 : -1, j > 0 ? c - 1 : -1, j < 18 ? c + 1 : -1})
            if (m >= 0 && dist[m] < 0 && w.maze(m / 19 - 1, m % 19 - 1) <= 0) {
                dist[m] = dist[c] + 1;
                from[m] = c;
                queue[n++] = m;
            }
    }
    // The target: beyond the open portal, or under the nearest droplet, the higher (with longer to fall) if
    // close.
    float tx = 17.6f, ty = 15.5f, best = 1e9f;
    for (int k = 0; k < w.drops.count() && p.dropsCaught < 30; k++) {
        const PointObject& d = w.drops[k];
        // A bird on the flock box's far edge (18) has no cell below it: take the ring's corner, out of reach
        // too.
        int c = d.pos.x < 18 && d.pos.y < 18 ? cellAt(d.pos.x, d.pos.y) : 0;
        if (d.alive && dist[c] >= 0 && dist[c] - d.pos.z < best)
            best = dist[c] - d.pos.z, tx = d.pos.x, ty = d.pos.y;
    }
    // Head for the centre of the next cell on the path, or for the target once it is in the next cell.
    int target = cellAt(tx, ty), c = target;
    if (dist[target] < 0)
        return {};
    while (c != start && from[c] != start)
        c = from[c];
    bool final = c == target;
    float dx = (final ? tx : c / 19 - 0.5f) - p.pos.x, dy = (final ? ty : c % 19 - 0.5f) - p.pos.y;
    // Speeds decay by 0.8 a tick, so a speed v still carries the player 5 v and a turn rate t turns the view
    // 5 t.
    float d = std::hypot(dx, dy), v = p.movingForward, room = d + (final ? 0.0f : 0.6f);
    if (final && d < 0.1f) // under the droplet: wait
        return {};
    std::vector<Key> keys;
    float err = std::remainder(std::atan2(dx, dy) * 57.29578f - p.yaw, 360.0f), rest = err - 5 * p.turningYaw;
    for (int k = std::fabs(rest) > 30 ? 2 : std::fabs(rest) > 10 ? 1 : 0; k > 0; k--)
        keys.push_back(rest > 0 ? Key::Right : Key::Left);
    if (keys.size() < 2 && (5 * v > room + 0.2f || (std::fabs(err) > 60 && v > 0.15f)))
        keys.push_back(Key::Down);
    else if (keys.size() < 2 && std::fabs(err) < 25 && 5 * (v + 0.1f) <= room)
        keys.push_back(Key::Up);
    return keys;
}

namespace {

// Whether the cell under (x, y) is solid; positions off the grid are open.
bool solid(Labyrinth& maze, float x, float y)
{
    return onGrid(x, y) && maze((int)x, (int)y) > 0;
}

// The first rule the world breaks after a tick; `from` is where the player
// stood before it.
const char* brokenRule(MazeGameState& w, const Vector3f& from)
{
    const Player& p = w.player;
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++) {
            int v = w.maze(i, j);
            bool ring = i < 0 || j < 0 || i > 16 || j > 16, outer = i % 16 == 0 || j % 16 == 0;
            bool wall = v == 1 || (v >= 5 && v <= 8), floor = v == 0 || v == -2 || v == -7;
            if (!(p.dropsCaught >= 30 && j == 15 && (i == 15 || i == 16) ? v == -3
                    : ring                                            ? v == 0
                                                                      : wall || (floor && !outer)))
                return "a cell holds a value the rules never put there";
        }
    if (!std::isfinite(p.pos.x + p.pos.y + p.yaw) || solid(w.maze, p.pos.x, p.pos.y))
        return "the player is lost or stands in a wall";
    // A step of a whole unit or more passes no wall, though it may graze a corner.
    Vector3f step = p.pos - from;
    for (int k = 0; step.norm() >= 1.001f && k <= 100; k++) {
        Vector3f q = from + step * (k / 100.0f);
        float fx = std::fabs(q.x - std::floor(q.x) - 0.5f), fy = std::fabs(q.y - std::floor(q.y) - 0.5f);
        if (solid(w.maze, q.x, q.y) && fx < 0.45f && fy < 0.45f)
            return "a long step passed through a wall";
    }
    for (int k = 0; k < w.drops.count(); k++)
        if (w.drops[k].frame > 28 || !(w.drops[k].pos.z >= 0))
            return "a droplet lived past the floor";
    // A bullet lives only while every cell it was tested in was open, and an
    // open cell never turns back into a wall: the cells on its track back to
    // where it was fired are all open now, and the track stays inside the
    // limit square.
    for (int k = 0; k < w.bullets.count(); k++) {
        const PointObject& b = w.bullets[k];
        if (b.pos.z != 0.3f)
            return "a bullet left its height";
        for (int t = 1; t <= b.frame; t++) {
            Vector3f q = b.pos - b.v * (float)t;
            float fx = q.x - std::floor(q.x), fy = q.y - std::floor(q.y);
            bool edge = fx < 0.002f || fx > 0.998f || fy < 0.002f || fy > 0.998f;
            if (!edge && (solid(w.maze, q.x, q.y) || q.x <= -17 || q.x >= 34 || q.y <= -17 || q.y >= 34))
                return "a bullet flew on past a wall or the limit square";
        }
    }
    return "";
}

} // namespace

std::string playTick(MazeGameControl& control, const std::vector<Key>& keys)
{
    for (Key k : keys)
        pressKey(control, k);
    const MazeGameStatus status = control.gameStatus;
    const bool play = status == EFirstPersonView || status == EMapView;
    const Vector3f from = control.gameState->player.pos;
    const int frame = control.frame, caught = control.gameState->player.dropsCaught;
    control.cycle();
    MazeGameState& w = *control.gameState;
    std::ostringstream broken;
    if (control.frame != frame + play || (!play && control.gameStatus != status))
        broken << "a tick ran on screen " << status;
    else if (w.player.dropsCaught - caught != 0 && w.player.dropsCaught - caught != 1)
        broken << "one tick caught " << w.player.dropsCaught - caught << " droplets";
    else
        broken << brokenRule(w, from);
    if (!broken.str().empty())
        broken << ", at frame " << control.frame;
    return broken.str();
}
