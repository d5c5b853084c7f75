// SPDX-License-Identifier: MIT
#include "MazeBot.h"

#include <cmath>

#include "MazeGameControl.h"
#include "MazeGameState.h"

std::vector<Key> botKeys(const MazeGameControl& control)
{
    if (control.gameStatus < EFirstPersonView)
        return {Key::Enter};
    MazeGameState& w = *control.gameState;
    const Player& p = w.player;
    // Cells -1..17 as (i + 1) * 19 + j + 1; walking distances from the player's cell.
    auto cellAt = [](float x, float y) { return ((int)x + 1) * 19 + (int)y + 1; };
    const int start = cellAt(p.pos.x, p.pos.y);
    // A cell out of reach comes straight from the player's: the bot walks
    // right at it. (A step off one end of a row lands on the next row's other
    // end: ring cells both, open floor, never on the way to anything.)
    std::vector<int> dist(361, -1), from(361, start), queue{start};
    dist[start] = 0;
    for (size_t q = 0; q < queue.size(); q++) {
        const int c = queue[q];
        for (int m : {c - 19, c + 19, c - 1, c + 1})
            if (m >= 0 && m < 361 && dist[m] < 0 && w.maze(m / 19 - 1, m % 19 - 1) <= 0)
                dist[m] = dist[c] + 1, from[m] = c, queue.push_back(m);
    }
    // The target: beyond the open portal, or under the droplet nearest to
    // catch, the higher (with longer to fall) when two are close.
    float tx = 17.6f, ty = 15.5f, best = 1e9f;
    for (int k = 0; k < w.drops.count() && p.dropsCaught < 30; k++) {
        const PointObject& d = w.drops[k];
        // Under a bird on the flock box's far edge (18) there is no cell: take the ring's corner.
        int c = d.pos.x < 18 && d.pos.y < 18 ? cellAt(d.pos.x, d.pos.y) : 0;
        if (d.alive && dist[c] >= 0 && dist[c] - d.pos.z < best)
            best = dist[c] - d.pos.z, tx = d.pos.x, ty = d.pos.y;
    }
    // Head for the centre of the next cell on the path, or for the target once it is in the next cell.
    int target = cellAt(tx, ty), c = target;
    while (c != start && from[c] != start)
        c = from[c];
    const bool final = c == target;
    float dx = (final ? tx : c / 19 - 0.5f) - p.pos.x, dy = (final ? ty : c % 19 - 0.5f) - p.pos.y;
    // Speeds decay by 0.8 a tick: a speed v still carries the player 5 v, a turn rate t turns the view 5 t.
    float d = std::hypot(dx, dy), v = p.movingForward, room = d + (final ? 0.0f : 0.6f);
    if (final && d < 0.1f) // under the droplet: wait
        return {};
    const float err = std::remainder(std::atan2(dx, dy) * 57.29578f - p.yaw, 360.0f);
    const float rest = err - 5 * p.turningYaw, turn = std::abs(rest); // what the running turn leaves
    std::vector<Key> keys(turn > 30 ? 2 : turn > 10, rest > 0 ? Key::Right : Key::Left);
    if (keys.size() < 2 && (5 * v > room + 0.2f || (std::abs(err) > 60 && v > 0.15f)))
        keys.push_back(Key::Down);
    else if (keys.size() < 2 && std::abs(err) < 25 && 5 * (v + 0.1f) <= room)
        keys.push_back(Key::Up);
    return keys;
}

std::string playTick(MazeGameControl& control, const std::vector<Key>& keys)
{
    for (Key k : keys)
        k == Key::Enter ? control.pushOK() : k == Key::Space ? control.shoot()
            : k <= Key::Down ? control.move(k == Key::Up ? 1 : -1, 0, 0) : control.turn(k == Key::Right ? 1 : -1);
    MazeGameState& w = *control.gameState; // a tick never replaces the world, a key may
    const Player& p = w.player;
    const int status = control.gameStatus, frame = control.frame, caught = p.dropsCaught;
    control.cycle();
    if (status < EFirstPersonView ? control.gameStatus != status || control.frame != frame
                                  : control.frame != frame + 1)
        return "a tick ran on screen " + std::to_string(status);
    if (p.dropsCaught != caught && p.dropsCaught != caught + 1)
        return "one tick caught " + std::to_string(p.dropsCaught - caught) + " droplets";
    // Walls, hit walls and floor inside, open floor on the ring, the portal once 30 droplets are caught.
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++) {
            const int v = w.maze(i, j), inner = i % 16 && j % 16, ring = i < 0 || j < 0 || i > 16 || j > 16;
            if (p.dropsCaught >= 30 && j == 15 && (i == 15 || i == 16) ? v != -3
                    : ring ? v != 0
                           : !(v == 1 || (v >= 5 && v <= 8) || (inner && (v == 0 || v == -2 || v == -7))))
                return "a cell holds a value the rules never put there";
        }
    // The game is won on the step out through the portal: the player never reaches the ring, let alone beyond.
    if (!std::isfinite(p.pos.x + p.pos.y + p.yaw) || !onGrid(p.pos.x, p.pos.y) ||
        w.maze((int)p.pos.x, (int)p.pos.y) > 0)
        return "the player is lost or stands in a wall";
    for (int k = 0; k < w.drops.count(); k++)
        if (w.drops[k].frame > 28 || !(w.drops[k].pos.z >= 0))
            return "a droplet lived past the floor";
    return "";
}
