#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what the game needs, builds it and starts it.
# Usage: scripts/play.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# The game draws in a window; without a display GLUT could only fail with a
# library error, so say what is wrong before installing or building anything.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "play.sh: no display to open the game window on (DISPLAY and WAYLAND_DISPLAY are unset); scripts/screenshots.sh runs the game in a virtual X server (Xvfb) and saves screenshots instead" >&2
  exit 1
fi

# Only the game and its textures: no tests, no benchmarks, none of their
# packages.
bash scripts/deps.sh
cmake --preset game
cmake --build --preset game -j"$(nproc)"

# The game reads floor.ppm and bricks.ppm from its working directory.
cd build-game
exec ./dewgatherer
