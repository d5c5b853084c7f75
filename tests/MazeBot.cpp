// SPDX-License-Identifier: MIT
#include "MazeBot.h"

#include <cmath>

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
