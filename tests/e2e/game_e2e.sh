#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end test of the real game: starts the dewgatherer executable in a
# private Xvfb, drives it with real key events (xdotool) and checks the window,
# the screens (by their pixels), the turn of the view, the exit status of
# Escape, and the failed starts with a missing or broken texture file.
#
# Usage: game_e2e.sh path/to/dewgatherer
# The textures floor.ppm and bricks.ppm are taken from the executable's folder.
set -u

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/xsession.sh
. "$here/../../scripts/xsession.sh"

[ $# -eq 1 ] || e2e_die "usage: game_e2e.sh path/to/dewgatherer"
game=$(readlink -f "$1")
[ -x "$game" ] || e2e_die "$1: no such executable"
texdir=$(dirname "$game")
for t in floor.ppm bricks.ppm; do
  [ -r "$texdir/$t" ] || e2e_die "$texdir/$t: missing (build the 'textures' target)"
done

e2e_require_tools
e2e_setup
e2e_start_xvfb
echo "Xvfb on $DISPLAY"

# --- pixel criteria -------------------------------------------------------
# Screen geometry of the message panel, in window pixels from the top left
# (the panel spans x 30..270 and y 50..250 in GL's bottom-up units).

# The veil: every pixel of the panel's left margin (left of the text) is the
# scene half-mixed with white, so every channel is at least 127.
panel_veiled() {
  local n
  n=$(e2e_count "$1" 33 60 38 240 'r < 125 || g < 125 || b < 125')
  [ "$n" -eq 0 ]
}
# The white border along the panel's left edge.
panel_border() {
  local n
  n=$(e2e_count "$1" 30 60 30 240 'r < 250 || g < 250 || b < 250')
  [ "$n" -eq 0 ]
}
# The black heading "Dewgatherer" at the top left of the panel.
panel_heading() {
  local n
  n=$(e2e_count "$1" 40 56 170 76 'r < 40 && g < 40 && b < 40')
  [ "$n" -ge 30 ]
}
# "PRESS ENTER" in black, right-aligned to x = 260: ink just left of 260 and
# none right of it.
panel_prompt() {
  local ink past
  ink=$(e2e_count "$1" 250 226 261 243 'r < 40 && g < 40 && b < 40')
  past=$(e2e_count "$1" 263 226 268 243 'r < 40 && g < 40 && b < 40')
  [ "$ink" -ge 5 ] && [ "$past" -eq 0 ]
}
# Dark grey (0.2) message text in the panel.
panel_text() {
  local n
  n=$(e2e_count "$1" 43 80 262 215 'r >= 45 && r <= 57 && g >= 45 && g <= 57 && b >= 45 && b <= 57')
  [ "$n" -ge 50 ]
}
has_panel() {
  panel_veiled "$1" && panel_border "$1" && panel_heading "$1" && panel_prompt "$1" && panel_text "$1"
}
# Play shows no panel at all: neither the white border nor the veil.
no_panel() {
  ! panel_border "$1" && ! panel_veiled "$1"
}
# Sky pixels (129, 191, 254) in the top rows of the first-person view.
sky_pixels() {
  e2e_count "$1" 0 0 299 40 'r >= 127 && r <= 131 && g >= 189 && g <= 193 && b >= 252'
}
# A frame of the catch flash is plain green; such a frame is not compared.
is_flash() {
  local n
  n=$(e2e_count "$1" 0 0 299 299 '!(r == 0 && g == 255 && b == 0)')
  [ "$n" -eq 0 ]
}

# shot_until NAME PREDICATE [ARGS...]: takes screenshots of the game window
# into $E2E_TMP/NAME.ppm until "PREDICATE ARGS... file" holds; fails after a
# 60 s guard. The game needs a few frames after a key event to show it.
shot_until() {
  local name=$1 tries=0 f="$E2E_TMP/$1.ppm"
  shift
  while :; do
    if e2e_shot "$win" "$f" && "$@" "$f"; then return 0; fi
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || return 1
    kill -0 "$gamepid" 2>/dev/null || return 1
    sleep 0.2
  done
}
differs_in_text() {
  local n
  n=$(e2e_diff "$1" "$2" 43 80 262 215)
  [ "$n" -ge 50 ]
}
title_after() {
  has_panel "$2" && differs_in_text "$1" "$2"
}
play_screen() {
  no_panel "$1" && ! is_flash "$1"
}
# The floor and walls below the horizon (the birds fly above the walls, so
# they never show there) changed in at least a tenth of the pixels.
view_turned() {
  local n
  ! is_flash "$2" || return 1
  n=$(e2e_diff "$1" "$2" 0 160 299 299)
  [ "$n" -ge 4200 ]
}

# --- a normal game --------------------------------------------------------
run="$E2E_TMP/run"
mkdir -p "$run"
cp "$texdir/floor.ppm" "$texdir/bricks.ppm" "$run/"

(cd "$run" && exec "$game") >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" &
gamepid=$!

if ! win=$(e2e_wait_window "$gamepid"); then
  fail "the game opens a window titled Dewgatherer (stderr: $(head -c 300 "$E2E_TMP/game.err"))"
  kill "$gamepid" 2>/dev/null
  finish
fi
pass "the game opens a window (id $win)"

title=$(xdotool getwindowname "$win")
if [ "$title" = "Dewgatherer" ]; then pass "window title is \"Dewgatherer\""; else fail "window title is \"$title\", expected \"Dewgatherer\""; fi

geom=$(xwininfo -id "$win" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
if [ "$geom" = "300x300" ]; then pass "window size is 300x300"; else fail "window size is $geom, expected 300x300"; fi

if shot_until title1 has_panel; then
  pass "first title page shows the veiled panel with heading, prompt and text"
else
  f="$E2E_TMP/title1.ppm"
  fail "first title page: veil=$(panel_veiled "$f" && echo ok || echo no) border=$(panel_border "$f" && echo ok || echo no) heading=$(panel_heading "$f" && echo ok || echo no) prompt=$(panel_prompt "$f" && echo ok || echo no) text=$(panel_text "$f" && echo ok || echo no)"
fi

e2e_key "$win" Return
if shot_until title2 title_after "$E2E_TMP/title1.ppm"; then
  pass "Enter shows the second title page (panel, new text)"
else
  fail "Enter on the first title page did not show a second page with the panel"
fi

e2e_key "$win" Return
if shot_until title3 title_after "$E2E_TMP/title2.ppm" &&
  differs_in_text "$E2E_TMP/title1.ppm" "$E2E_TMP/title3.ppm"; then
  pass "Enter shows the third title page (panel, new text)"
else
  fail "Enter on the second title page did not show a third page with the panel"
fi

e2e_key "$win" Return
if shot_until play0 play_screen; then
  pass "Enter on the third title page starts play: no panel"
else
  fail "Enter on the third title page did not start play (the panel is still there)"
fi

sky=$(sky_pixels "$E2E_TMP/play0.ppm")
if [ "$sky" -ge 1 ]; then pass "play shows the sky colour (129,191,254) near the top ($sky pixels)"; else fail "no sky colour (129,191,254) near the top of the play view"; fi

# Turning: three Left events turn the view by about 60 degrees over the next
# ticks, three Right events turn it back.
e2e_key "$win" Left Left Left
if shot_until play1 view_turned "$E2E_TMP/play0.ppm"; then
  pass "Left arrows turn the view ($(e2e_diff "$E2E_TMP/play0.ppm" "$E2E_TMP/play1.ppm" 0 160 299 299) of 42000 pixels below the horizon changed)"
else
  fail "Left arrows did not change the view below the horizon"
fi
e2e_key "$win" Right Right Right Right Right Right
if shot_until play2 view_turned "$E2E_TMP/play1.ppm"; then
  pass "Right arrows turn the view ($(e2e_diff "$E2E_TMP/play1.ppm" "$E2E_TMP/play2.ppm" 0 160 299 299) of 42000 pixels below the horizon changed)"
else
  fail "Right arrows did not change the view below the horizon"
fi
if play_screen "$E2E_TMP/play2.ppm"; then pass "still in play after the turns"; else fail "the panel appeared while turning"; fi

e2e_key "$win" Escape
e2e_wait_exit "$gamepid" 60
if [ "$E2E_RC" = "0" ]; then pass "Escape ends the game with status 0"; else fail "Escape: exit status $E2E_RC, expected 0"; fi
if [ ! -s "$E2E_TMP/game.err" ]; then
  pass "nothing on stderr during a normal game"
else
  fail "stderr during a normal game: $(head -c 300 "$E2E_TMP/game.err")"
fi

# --- failed starts --------------------------------------------------------
# bad_start NAME EXPECTED-LINE-PATTERN: runs the game in $E2E_TMP/NAME (set up
# by the caller) and expects exit status 1 and exactly one line on stderr
# matching the extended regular expression.
bad_start() {
  local name=$1 pattern=$2 dir="$E2E_TMP/$1" pid rc lines
  (cd "$dir" && exec "$game") >"$dir.out" 2>"$dir.err" &
  pid=$!
  e2e_wait_exit "$pid" 60
  rc=$E2E_RC
  lines=$(wc -l <"$dir.err")
  if [ "$rc" = "1" ] && [ "$lines" -eq 1 ] && grep -Eqx "$pattern" "$dir.err"; then
    pass "$name: exit status 1, stderr \"$(cat "$dir.err")\""
  else
    fail "$name: exit status $rc (expected 1), stderr ($lines lines): $(head -c 300 "$dir.err")"
  fi
}

mkdir -p "$E2E_TMP/missing-floor"
cp "$texdir/bricks.ppm" "$E2E_TMP/missing-floor/"
bad_start missing-floor 'floor\.ppm: No such file or directory'

mkdir -p "$E2E_TMP/missing-bricks"
cp "$texdir/floor.ppm" "$E2E_TMP/missing-bricks/"
bad_start missing-bricks 'bricks\.ppm: No such file or directory'

mkdir -p "$E2E_TMP/ascii-bricks"
cp "$texdir/floor.ppm" "$E2E_TMP/ascii-bricks/"
printf 'P3\n4 1\n255\n255 0 0  0 255 0  0 0 255  255 255 255\n' >"$E2E_TMP/ascii-bricks/bricks.ppm"
bad_start ascii-bricks 'bricks\.ppm: Not a raw PPM file'

# A P6 file cut off in its pixel data: the header promises more than is there.
mkdir -p "$E2E_TMP/truncated-bricks"
cp "$texdir/floor.ppm" "$E2E_TMP/truncated-bricks/"
size=$(stat -c %s "$texdir/bricks.ppm")
head -c $((size / 2)) "$texdir/bricks.ppm" >"$E2E_TMP/truncated-bricks/bricks.ppm"
bad_start truncated-bricks 'bricks\.ppm: .+'

finish
