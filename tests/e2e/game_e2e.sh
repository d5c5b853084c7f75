#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end test of the real game in a private Xvfb, driven by key events
# (xdotool) and watched through screenshots of its window. Every wait is for
# something to show on screen or for the game to end, with a guard of a
# minute, never a fixed time.
#
# The game seeds its random numbers with time(); the preloaded fixed clock
# makes that the seed given (DEW_KNOWN_SEED in tests/CMakeLists.txt), whose
# maze has a corridor ahead of the start closed by a wall 4.5 units away. With libasan.so given (the sanitizer
# build) the game keeps its leak check at exit, and a report is more lines on
# stderr, which fails the test.
#
# With --wine, the same session runs the Windows build from its zip under
# Wine, started at the seed's time by a preloaded faketime (see
# windows_e2e.sh); its first title page must be the recorded picture that
# the Linux build draws.
#
# With --portable, the same session runs the portable Linux build from its
# tarball, by its launcher, in the private root given or on this system
# ("none"; see portable_e2e.sh); its first title page must be the recorded
# picture, and a missing texture is told by the launcher.
#
# With --memcheck, every start of the game runs under valgrind's memcheck
# with the suppressions for the GL driver given: any invalid read or write,
# use of uninitialised values or definitely lost block fails the test. The
# game runs many times slower there, and the guards grow to match.
#
# Usage: game_e2e.sh [--wine path/to/dewgatherer-VERSION-win64.zip | --memcheck path/to/driver.supp |
#                     --portable path/to/dewgatherer-VERSION-linux-x86_64.tar.gz ROOT-or-none]
#          path/to/dewgatherer path/to/libfixedclock.so SEED [path/to/libasan.so]
set -u

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/xsession.sh
. "$here/../../scripts/xsession.sh"

zip=""
tarball=""
suppressions=""
guard=60
case "${1:-}" in
  --wine) zip=$(readlink -f "${2:-}") && shift 2 ;;
  --memcheck) suppressions=$(readlink -f "${2:-}") && guard=600 && shift 2 ;;
  --portable) tarball=$(readlink -f "${2:-}") && root=${3:-none} && shift 3 ;;
esac
[ $# -ge 3 ] || e2e_die "usage: game_e2e.sh [--wine ZIP | --memcheck driver.supp | --portable TARBALL ROOT-or-none] dewgatherer libfixedclock.so SEED [libasan.so]"
game=$(readlink -f "$1")
images=$(dirname "$game")
preload=$(readlink -f "$2")
seed=$3
if [ -n "${4:-}" ]; then
  # Mesa's driver stays loaded up to the leak check at exit, where the suppressions name it.
  preload="$4:$(ls /usr/lib/*/dri/swrast_dri.so /usr/lib/*/libgallium*.so 2>/dev/null | head -n 1):$preload"
  export ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$here/../lsan-gl-driver.supp:print_suppressions=0"
fi
e2e_require_tools
command -v glxinfo >/dev/null || e2e_die "glxinfo is missing (bash scripts/deps.sh --test installs it)"
e2e_setup
e2e_start_xvfb

# folder NAME: $E2E_TMP/NAME with both images; run NAME: the game there, its stderr in NAME.err.
folder() {
  if [ -n "$tarball" ]; then
    portable_folder "$1"
    return
  fi
  mkdir "$E2E_TMP/$1" && cp "$images/floor.ppm" "$images/bricks.ppm" "$E2E_TMP/$1/"
}
run() {
  if [[ "$game" == *.exe ]]; then
    wine_run "$1"
    return
  fi
  if [ -n "$tarball" ]; then
    portable_run "$1"
    return
  fi
  local under=()
  if [ -n "$suppressions" ]; then
    # Mesa's plain software rasteriser: no JIT code and no render threads for
    # valgrind to follow.
    under=(env LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=softpipe valgrind --tool=memcheck --leak-check=full
      --show-leak-kinds=definite --errors-for-leak-kinds=definite --track-origins=yes --keep-debuginfo=yes --num-callers=40
      --suppressions="$suppressions" --error-exitcode=99 --log-file="$E2E_TMP/$1.memcheck")
  fi
  (cd "$E2E_TMP/$1" && exec env LD_PRELOAD="$preload" DEW_TIME="$seed" "${under[@]}" "$game") 2>"$E2E_TMP/$1.err" &
  gamepid=$!
}
# shown CHECK [ARGS...]: takes screenshots until "CHECK ARGS... shot" holds;
# fails when the game has ended or after the guard.
shown() {
  e2e_wait "$guard" e2e_shows "$win" "$@"
}
# wall NEAR FAR FILE: the wall ahead stands NEAR to FAR units away: its top,
# 0.5 above the eye and the first sky up the middle column from the horizon,
# shows 150 / distance pixels above it.
wall() {
  awk -v f="$3" -v near="$1" -v far="$2" "$E2E_AWK_LOAD"'
    BEGIN {
      load(f)
      for (y = 149; y >= 0; y--) { split(img[f, 150, y], p, " "); r = p[1]; g = p[2]; b = p[3]; if ('"$E2E_SKY"') break }
      print "wall top at " 299 - y > "/dev/stderr"
      exit !(299 - y >= 150 + 150 / far - 1.5 && 299 - y <= 150 + 150 / near + 1.5)
    }'
}

if [ -n "$zip" ]; then
  # shellcheck source=windows_e2e.sh
  . "$here/windows_e2e.sh"
fi
if [ -n "$tarball" ]; then
  # shellcheck source=portable_e2e.sh
  . "$here/portable_e2e.sh"
fi

# The game's own lines on stderr in NAME.err once it has ended; under
# memcheck, also what memcheck found.
collect_stderr() {
  [ -z "$zip" ] || wine_stderr "$1"
  [ -n "$suppressions" ] || return 0
  local summary
  summary=$(sed -n 's/^==[0-9]*== ERROR SUMMARY: //p' "$E2E_TMP/$1.memcheck")
  if [[ "$summary" == "0 errors "* ]]; then
    pass "$1 under memcheck: $summary"
  else
    fail "$1 under memcheck: ${summary:-no summary}; $(grep -m 1 -A 12 -E '^==[0-9]+== (Invalid|Conditional|Use of|.*definitely lost)' "$E2E_TMP/$1.memcheck")"
  fi
}

folder play
run play
win=$(e2e_wait_window "$gamepid" "$guard") || { [ -n "$zip" ] && wine_retry play && win=$(e2e_wait_window "$gamepid"); } ||
  { fail "no window titled Dewgatherer: $(cat "$E2E_TMP"/play.err "$E2E_TMP"/play.log 2>/dev/null | head -c 300)"; finish; }
# The window as the game asks for it: its title exactly, 300 by 300 and, on
# Linux, a visual that GLX gives RGBA colour, double buffering and a depth
# buffer (columns 7, 8 and 17 of glxinfo's table of visuals).
window="\"$(xdotool getwindowname "$win")\" $(e2e_window_size "$win")"
if [ -z "$zip" ]; then
  visual=$(xwininfo -id "$win" | awk '/Visual:/ { print $2 }')
  window+=$(glxinfo -t | awk -v v="$visual" '$1 == v { print "", $7, $8 ? "double-buffered" : "single", $17 ? "depth" : "no depth" }')
fi
expected='"Dewgatherer" 300 300'
[ -n "$zip" ] || expected+=' rgba double-buffered depth'
if [ "$window" = "$expected" ]; then
  pass "the window: $window"
else
  fail "the window: $window"
fi
# The first page at the seed as game_tests recorded it, on Linux and under
# Wine alike (not under memcheck, where Mesa's softpipe draws), within the
# tolerance E2E_PICTURE_TOLERANCE gives as "LEVELS PIXELS" (by default none
# beyond 1 level).
"$IM_CONVERT" "$here/../data/screens/title-1.png" -depth 8 -compress none "ppm:$E2E_TMP/title-1.ppm"
read -r picture_levels picture_pixels <<<"${E2E_PICTURE_TOLERANCE:-1 0}"
as_recorded() { [ "$(e2e_diff "$1" "$E2E_TMP/title-1.ppm" 0 0 299 299 "$picture_levels")" -le "$picture_pixels" ]; }
for page in 1 2 3; do
  if shown e2e_new_page; then pass "title page $page"; else fail "no new message panel on title page $page"; fi
  if [ "$page" = 1 ] && [ -z "$suppressions" ]; then
    if shown as_recorded; then pass "the first page as recorded at seed $seed"; else fail "the first page is not title-1.png"; fi
  fi
  e2e_key "$win" Return
done
if shown e2e_panel_gone; then pass "Enter on the third page starts play"; else fail "the panel stays after the third page"; fi

# Four key events walk the player about two units (the more so the more
# events share a tick) up the corridor, toward the wall 4.5 ahead.
e2e_key "$win" Up Up Up Up
if shown wall 2.5 2.672 2>/dev/null; then pass "Up x4 walks toward the wall"; else fail "Up x4: $(wall 2.5 2.672 "$E2E_TMP/shot.ppm" 2>&1)"; fi
e2e_key "$win" Escape
e2e_wait_exit "$gamepid" "$guard"
collect_stderr play
if [ "$E2E_RC" = 0 ] && [ ! -s "$E2E_TMP/play.err" ]; then
  pass "Escape ends the game with status 0 and nothing on stderr"
else
  fail "Escape: exit status $E2E_RC, stderr: $(head -c 600 "$E2E_TMP/play.err")"
fi

# A missing or broken image ends the start with status 1 and one line naming it.
# (Every message of the image reader: image_tests.) The portable build's
# launcher finds a missing one before the program starts.
folder missing-floor && rm "$E2E_TMP/missing-floor/floor.ppm"
folder cut-bricks && printf 'P6\n4 2\n255\nabcdef' >"$E2E_TMP/cut-bricks/bricks.ppm"
missing='floor\.ppm: No such file or directory'
[ -z "$tarball" ] ||
  missing="dewgatherer: .*/missing-floor: the texture floor\.ppm is missing from the game's data folder; unpack the game's tarball again"
for check in "missing-floor $missing" \
  'cut-bricks bricks\.ppm: Pixel data cut short: 6 of 24 bytes for 4 x 2 pixels'; do
  name=${check%% *}
  if [ -n "$zip" ]; then
    WINE_TRACE=1 run "$name"
    wine_message_box "$name" "${check#* }"
  else
    run "$name"
  fi
  e2e_wait_exit "$gamepid" "$guard"
  collect_stderr "$name"
  if [ "$E2E_RC" = 1 ] && [ "$(wc -l <"$E2E_TMP/$name.err")" = 1 ] && grep -Eqx "${check#* }" "$E2E_TMP/$name.err"; then
    pass "$name: status 1, $(cat "$E2E_TMP/$name.err")"
  else
    fail "$name: status $E2E_RC (expected 1), stderr: $(head -c 600 "$E2E_TMP/$name.err")"
  fi
done
finish
