#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays the real game in a private Xvfb and saves two screenshots: title.png
# (the first title page) and play.png (first-person play after a few steps
# and a turn). Also the way to see the game on a machine without a display.
#
# Usage: scripts/screenshots.sh [--update-docs | FOLDER]
#   FOLDER         where the pictures go (default: a new folder under /tmp,
#                  printed at the end)
#   --update-docs  write them into docs/, the README's pictures
# The game is built by the CMake preset "game" (build-game/).
# Needs Xvfb, xdotool and ImageMagick: bash scripts/deps.sh --test
set -Eeuo pipefail
trap 'echo "screenshots.sh: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
repo=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: scripts/screenshots.sh [--update-docs | FOLDER]"
build=$repo/build-game
out=""
while [ $# -gt 0 ]; do
  case "$1" in
    --update-docs) [ -z "$out" ] || { echo "$usage" >&2; exit 2; }; out=$repo/docs; shift ;;
    -*) echo "$usage" >&2; exit 2 ;;
    *) [ -z "$out" ] || { echo "$usage" >&2; exit 2; }; out=$1; shift ;;
  esac
done

# shellcheck source=xsession.sh
. "$repo/scripts/xsession.sh"
e2e_require_tools
if [ -z "$out" ]; then
  out=$(mktemp -d /tmp/dewgatherer-screenshots.XXXXXX)
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)

(cd "$repo" && cmake --preset game >/dev/null && cmake --build --preset game -j2 >/dev/null)

e2e_setup
e2e_start_xvfb
cp "$build/floor.ppm" "$build/bricks.ppm" "$E2E_TMP/"
(cd "$E2E_TMP" && exec "$build/dewgatherer") 2>"$E2E_TMP/game.err" &
gamepid=$!
win=$(e2e_wait_window "$gamepid") || e2e_die "the game opened no window: $(head -c 300 "$E2E_TMP/game.err")"

# Waits until the picture holds still below the horizon (the birds above it
# never rest) and is not the green frame of a caught droplet.
settle() {
  e2e_shot "$win" "$E2E_TMP/settled.ppm" && e2e_wait 60 e2e_shows "$win" at_rest ||
    e2e_die "the picture never came to rest"
}
at_rest() {
  local moved flash
  moved=$(e2e_diff "$E2E_TMP/settled.ppm" "$1" 0 160 299 299)
  flash=$(e2e_count "$1" 0 0 299 299 '!(r == 0 && g == 255 && b == 0)')
  cp "$1" "$E2E_TMP/settled.ppm"
  [ "$moved" -eq 0 ] && [ "$flash" -ne 0 ]
}

e2e_wait 60 e2e_shows "$win" e2e_panel_shown || e2e_die "the message panel did not appear"
settle
e2e_png "$win" "$out/title.png"

e2e_key "$win" Return Return Return
e2e_wait 60 e2e_shows "$win" e2e_panel_gone || e2e_die "the message panel did not go away"
e2e_key "$win" Up Up Up
settle
# Turn right in steps of about 40 degrees and keep the view that sees the
# most sky, that is the farthest down a corridor (a close wall hides it).
best=-1
for turn in 1 2 3 4 5 6 7 8 9; do
  e2e_key "$win" Right Right
  settle
  e2e_shot "$win" "$E2E_TMP/view.ppm"
  sky=$(e2e_count "$E2E_TMP/view.ppm" 0 0 299 149 "$E2E_SKY")
  if [ "$sky" -gt "$best" ]; then
    best=$sky
    e2e_png "$win" "$out/play.png"
  fi
done

e2e_key "$win" Escape
e2e_wait_exit "$gamepid" 60
[ "$E2E_RC" = "0" ] || e2e_die "the game ended with status $E2E_RC"
echo "Saved $out/title.png and $out/play.png"
