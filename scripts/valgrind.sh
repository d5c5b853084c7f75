#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the real game under valgrind's memcheck for a scripted session in a
# private Xvfb: the three title pages, play with a few arrows, Space and
# Enter, then Escape. Fails on any invalid read or write, any use of
# uninitialised values and any definitely lost block that the suppressions
# for the GL driver (tests/valgrind/driver.supp) do not cover.
#
# Usage: scripts/valgrind.sh [build-folder]   (default: build-valgrind)
# The folder gets a Debug build of the game. DEW_VALGRIND_SUPP names another
# suppression file (an empty one shows what the driver entries hide).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-valgrind}
case "$build" in /*) ;; *) build="$repo/$build" ;; esac

# shellcheck source=xsession.sh
. "$repo/scripts/xsession.sh"
e2e_require_tools
command -v valgrind >/dev/null || e2e_die "valgrind is missing (bash scripts/deps.sh --test installs it)"

echo "== Debug build of the game in $build"
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DDEW_BUILD_TESTS=OFF -DDEW_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target dewgatherer -j2 >/dev/null

e2e_setup
e2e_start_xvfb
cp "$build/floor.ppm" "$build/bricks.ppm" "$E2E_TMP/"
log="$build/valgrind.log"

# Mesa's plain software rasteriser: no JIT code and no render threads for
# valgrind to follow.
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=softpipe

echo "== memcheck (log: $log)"
started=$SECONDS
(cd "$E2E_TMP" && exec valgrind --tool=memcheck \
  --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --track-origins=yes --keep-debuginfo=yes --num-callers=40 \
  --suppressions="${DEW_VALGRIND_SUPP:-$repo/tests/valgrind/driver.supp}" \
  --error-exitcode=99 --log-file="$log" \
  "$build/dewgatherer") &
gamepid=$!

# Every step waits for the game to show its effect before the next key, so
# each screen is really drawn under memcheck. The limits are guards against
# a hang only: the game runs many times slower under valgrind.
guard=600
win=$(e2e_wait_window "$gamepid" "$guard") || e2e_die "no game window (see $log)"
e2e_wait_panel "$win" yes "$guard" || e2e_die "the first title page did not appear"

# wait_change PREVIOUS X0 Y0 X1 Y1: takes screenshots into $E2E_TMP/now.ppm
# until the rectangle differs from PREVIOUS in more than 50 pixels.
wait_change() {
  local prev=$1 start=$SECONDS
  while :; do
    if e2e_shot "$win" "$E2E_TMP/now.ppm" &&
      [ "$(e2e_diff "$prev" "$E2E_TMP/now.ppm" "$2" "$3" "$4" "$5")" -gt 50 ]; then
      return 0
    fi
    [ $((SECONDS - start)) -lt "$guard" ] || return 1
    sleep 0.5
  done
}

e2e_shot "$win" "$E2E_TMP/page1.ppm"
e2e_key "$win" Return
wait_change "$E2E_TMP/page1.ppm" 43 80 262 215 || e2e_die "Enter did not show the second title page"
cp "$E2E_TMP/now.ppm" "$E2E_TMP/page2.ppm"
e2e_key "$win" Return
wait_change "$E2E_TMP/page2.ppm" 43 80 262 215 || e2e_die "Enter did not show the third title page"
e2e_key "$win" Return
e2e_wait_panel "$win" no "$guard" || e2e_die "Enter did not start play"

e2e_shot "$win" "$E2E_TMP/play0.ppm"
e2e_key "$win" Up Left Left space Right Down
wait_change "$E2E_TMP/play0.ppm" 0 160 299 299 || e2e_die "the arrows did not move the view"
e2e_key "$win" space Return Up
e2e_shot "$win" "$E2E_TMP/play1.ppm"
wait_change "$E2E_TMP/play1.ppm" 0 160 299 299 || e2e_die "the view stopped changing after Up"
e2e_key "$win" Escape
e2e_wait_exit "$gamepid" "$guard"
rc=$E2E_RC
echo "memcheck run took $((SECONDS - started)) s"

grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|in use at exit' "$log" | sed 's/^==[0-9]*== *//'
case "$rc" in
  0) echo "valgrind: no errors in the game" ;;
  99) echo "valgrind: memcheck found errors; see $log" >&2; exit 1 ;;
  *) echo "valgrind: the game ended with status $rc; see $log" >&2; exit 1 ;;
esac
