# SPDX-License-Identifier: MIT
# Shared helpers for the scripts that drive the real game in a private X
# server: start Xvfb, find the game's window, send keys, take screenshots and
# read their pixels. Sourced by the screenshot and valgrind scripts and by the
# end-to-end tests, not run.
#
# Screenshots are taken with ImageMagick's `import` and decoded with the real
# ImageMagick convert at /usr/bin/convert (never whatever `convert` comes
# first on PATH).

IM_CONVERT=/usr/bin/convert

E2E_XVFB_PID=""
E2E_TMP=""

# Prints a line to stderr and ends the script with status 2 (a broken set-up,
# as opposed to a failed check).
e2e_die() {
  echo "$(basename "$0"): $*" >&2
  exit 2
}

e2e_require_tools() {
  local t
  for t in Xvfb xdotool xwininfo import "$IM_CONVERT"; do
    command -v "$t" >/dev/null 2>&1 || e2e_die "$t is missing (bash scripts/deps.sh --test installs it)"
  done
}

e2e_cleanup() {
  if [ -n "$E2E_XVFB_PID" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
  fi
  if [ -n "$E2E_TMP" ] && [ -d "$E2E_TMP" ] && [ -z "${E2E_KEEP:-}" ]; then
    rm -rf "$E2E_TMP"
  fi
}

# Makes the scratch folder $E2E_TMP and arranges for it and the X server to
# go away when the script ends, however it ends.
e2e_setup() {
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/dewgatherer-e2e.XXXXXX")
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
}

# Starts a private Xvfb on a free display number and exports DISPLAY for it.
e2e_start_xvfb() {
  local fifo="$E2E_TMP/displayfd" num="" tries=0
  : >"$fifo"
  Xvfb -displayfd 9 -screen 0 640x480x24 -nolisten tcp -noreset \
    9>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  # Xvfb writes the display number once it accepts connections.
  while [ -z "$num" ]; do
    num=$(tr -dc '0-9' <"$fifo")
    if [ -z "$num" ]; then
      kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_die "Xvfb did not start: $(tail -n 3 "$E2E_TMP/xvfb.log")"
      tries=$((tries + 1))
      [ "$tries" -lt 300 ] || e2e_die "Xvfb gave no display number within 30 s"
      sleep 0.1
    fi
  done
  export DISPLAY=":$num"
  unset WAYLAND_DISPLAY
}

# e2e_wait SECONDS CHECK [ARGS...]: the one wait of these scripts. Runs
# "CHECK ARGS..." again and again until it holds. Fails when the game (the
# process $gamepid, where set) has ended first, or after SECONDS, a guard
# against a hang rather than a time the game must keep.
e2e_wait() {
  local limit=$1 since=$SECONDS
  shift
  until "$@"; do
    if [ -n "${gamepid:-}" ] && ! kill -0 "$gamepid" 2>/dev/null; then return 1; fi
    [ $((SECONDS - since)) -lt "$limit" ] || return 1
    sleep 0.1
  done
}

# e2e_found_window: whether a window titled "Dewgatherer" (in any case:
# xdotool's search ignores it) is shown; its id in E2E_WINDOW.
e2e_found_window() {
  E2E_WINDOW=$(xdotool search --onlyvisible --name '^Dewgatherer$' 2>/dev/null | head -n 1)
  [ -n "$E2E_WINDOW" ]
}

# e2e_wait_window PID [SECONDS]: waits until the process shows a window
# titled "Dewgatherer" and prints its id. Fails (status 1) if the process ends
# first or after the guard of SECONDS (default 60).
e2e_wait_window() {
  gamepid=$1 e2e_wait "${2:-60}" e2e_found_window && echo "$E2E_WINDOW"
}

# e2e_window_size WINDOW: the window's width and height, as "W H".
e2e_window_size() {
  xwininfo -id "$1" | awk '/Width:|Height:/ { printf "%s%s", sep, $2; sep = " " }'
}

# Sends one or more keys (xdotool key names) to the window, one event each.
# Its status is not looked at: after Escape the game may be gone before the
# key's release event is sent, which xdotool reports as an error. Callers
# check the effect of their keys on the screen instead.
e2e_key() {
  local id=$1
  shift
  xdotool key --window "$id" "$@" 2>/dev/null || true
}

# e2e_shot WINDOW FILE: a screenshot of the window as plain-text PPM (P3), so
# that the pixel helpers below can read it with awk.
e2e_shot() {
  local id=$1 out=$2
  import -silent -window "$id" "$out.png" 2>/dev/null || return 1
  "$IM_CONVERT" "$out.png" -depth 8 -compress none "ppm:$out" || return 1
  rm -f "$out.png"
}

# e2e_png WINDOW FILE.png: a screenshot of the window saved as PNG.
e2e_png() {
  import -silent -window "$1" "$2.tmp.png" 2>/dev/null || return 1
  "$IM_CONVERT" "$2.tmp.png" -strip "png:$2" || return 1
  rm -f "$2.tmp.png"
}

# The awk program that loads a P3 file into pix[x,y] = "r g b" (x, y from the
# top-left corner) and sets W and H.
E2E_AWK_LOAD='
function load(file,   n, tok, i, v, k) {
  n = 0
  while ((getline line < file) > 0) {
    sub(/#.*/, "", line)
    k = split(line, tok, /[ \t]+/)
    for (i = 1; i <= k; i++) if (tok[i] != "") v[n++] = tok[i]
  }
  close(file)
  W = v[1] + 0; H = v[2] + 0
  for (i = 0; i < W * H; i++)
    img[file, i % W, int(i / W)] = v[4 + 3 * i] " " v[5 + 3 * i] " " v[6 + 3 * i]
}'

# e2e_count FILE X0 Y0 X1 Y1 CONDITION: how many pixels of the rectangle
# (inclusive corners) satisfy the awk CONDITION on r, g and b.
e2e_count() {
  awk -v f="$1" -v x0="$2" -v y0="$3" -v x1="$4" -v y1="$5" "$E2E_AWK_LOAD"'
    BEGIN {
      load(f); c = 0
      for (y = y0; y <= y1; y++) for (x = x0; x <= x1; x++) {
        split(img[f, x, y], p, " "); r = p[1] + 0; g = p[2] + 0; b = p[3] + 0
        if ('"$6"') c++
      }
      print c
    }'
}

# e2e_diff A B X0 Y0 X1 Y1 [LEVELS]: how many pixels of the rectangle differ
# between the two screenshots by more than LEVELS (default 2) in any channel.
e2e_diff() {
  awk -v a="$1" -v b="$2" -v x0="$3" -v y0="$4" -v x1="$5" -v y1="$6" -v t="${7:-2}" "$E2E_AWK_LOAD"'
    function absd(u, v) { return u > v ? u - v : v - u }
    BEGIN {
      load(a); load(b); c = 0
      for (y = y0; y <= y1; y++) for (x = x0; x <= x1; x++) {
        split(img[a, x, y], p, " "); split(img[b, x, y], q, " ")
        if (absd(p[1], q[1]) > t || absd(p[2], q[2]) > t || absd(p[3], q[3]) > t) c++
      }
      print c
    }'
}

# e2e_ended PID: whether the process has ended (gone or a zombie).
e2e_ended() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null | cut -c1)
  [ -z "$state" ] || [ "$state" = Z ]
}

# e2e_shows WINDOW CHECK [ARGS...]: takes a screenshot of the window into
# $E2E_TMP/shot.ppm and runs "CHECK ARGS... shot" on it; for e2e_wait.
e2e_shows() {
  local win=$1
  shift
  e2e_shot "$win" "$E2E_TMP/shot.ppm" && "$@" "$E2E_TMP/shot.ppm"
}

# e2e_wait_exit PID SECONDS: waits for the process (a child of this shell) to
# end and sets E2E_RC to its exit status; after SECONDS (a guard against a
# hang, not a time limit on the game) kills it and sets E2E_RC to "hung".
# Not to be called in a command substitution: only this shell can wait for
# its children.
e2e_wait_exit() {
  E2E_RC=""
  if ! gamepid="" e2e_wait "$2" e2e_ended "$1"; then
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
    E2E_RC=hung
    return 0
  fi
  # (An if, so that a failed status does not end a script run with set -e.)
  if wait "$1"; then E2E_RC=0; else E2E_RC=$?; fi
}

# settled_shot WINDOW FILE: a screenshot of the window once its picture holds
# still, two in a row the same, waiting as e2e_wait does (guard: $guard,
# else a minute). (The first frame of a game lights the walls with the
# pick-up's light where it stood before the frame placed it; a message screen
# is still from the second frame on.)
settled_shot() {
  e2e_shot "$1" "$E2E_TMP/settling.ppm" && e2e_wait "${guard:-60}" same_again "$1" "$2"
}
same_again() {
  e2e_shot "$1" "$2" && cmp -s "$2" "$E2E_TMP/settling.ppm" && return 0
  cp "$2" "$E2E_TMP/settling.ppm"
  return 1
}

# The awk condition on r, g and b for the sky's blue (129, 191, 254), give or
# take the screenshot's rounding.
E2E_SKY='r >= 127 && r <= 131 && g >= 189 && g <= 193 && b >= 252'

# e2e_panel_shown FILE: whether the screenshot shows the message panel's
# white left border (x = 30 from y = 60 to 240).
e2e_panel_shown() {
  [ "$(e2e_count "$1" 30 60 30 240 'r < 250 || g < 250 || b < 250')" -eq 0 ]
}

e2e_panel_gone() {
  ! e2e_panel_shown "$1"
}

# e2e_new_page FILE: whether the screenshot shows the message panel with
# another page than the last one seen, which it then keeps as
# $E2E_TMP/page.ppm.
e2e_new_page() {
  e2e_panel_shown "$1" && ! cmp -s "$1" "$E2E_TMP/page.ppm" && cp "$1" "$E2E_TMP/page.ppm"
}

# Check counters; finish prints the summary line and exits with the verdict.
passed=0
failed=0
pass() {
  passed=$((passed + 1))
  echo "PASS: $1"
}
fail() {
  failed=$((failed + 1))
  echo "FAIL: $1"
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit $?
}
