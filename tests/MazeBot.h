// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

class MazeGameControl;

// The keys a person can press while playing (Escape aside), the two that
// walk before the two that turn.
enum class Key { Enter, Space, Up, Down, Left, Right };

// A test player: reads the screen and returns the key events for the coming
// tick. It confirms every message, runs under falling droplets until it has
// 30, then walks out through the portal. It never calls rand().
std::vector<Key> botKeys(const MazeGameControl& control);

// Presses the keys as the game's key callbacks do, runs one tick and checks
// the world against the rules that hold after every tick of every game (the
// cells hold only values the rules put there; the player stands on open
// floor inside the grid), and a new game's world against a fresh start: what
// is broken, or "" when nothing is. What a single tick does on each screen,
// to droplets and to catches, core_tests checks.
std::string playTick(MazeGameControl& control, const std::vector<Key>& keys);
