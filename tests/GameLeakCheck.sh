#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Memory check of the real game in the sanitizer build: starts dewgatherer in
# a private Xvfb, plays a little (title pages, walking, turning, Enter in
# play), quits with Escape, and also starts it once with a texture missing.
# Every run must end with the game's own exit status and without any report
# from AddressSanitizer, LeakSanitizer or UndefinedBehaviorSanitizer.
#
# Mesa unloads its driver before the leak check at exit, and leaks from an
# unloaded library cannot be named or told apart from the game's. The driver
# is therefore preloaded into the game (and only into the game), so that it
# stays mapped and the suppression file can name it.
#
# Usage: GameLeakCheck.sh path/to/dewgatherer path/to/libasan.so
set -u

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../scripts/xsession.sh
. "$here/../scripts/xsession.sh"

[ $# -eq 2 ] || e2e_die "usage: GameLeakCheck.sh path/to/dewgatherer path/to/libasan.so"
game=$(readlink -f "$1")
asan=$2
[ -x "$game" ] || e2e_die "$1: no such executable"
[ -r "$asan" ] || e2e_die "$asan: the sanitizer runtime is missing"
texdir=$(dirname "$game")
driver=$(ls /usr/lib/*/dri/swrast_dri.so /usr/lib/*/libgallium*.so 2>/dev/null | head -n 1)
[ -n "$driver" ] || e2e_die "no Mesa software driver (swrast_dri.so) found"

e2e_require_tools
e2e_setup
e2e_start_xvfb

failed=0
# run_game DIR: starts the game in DIR with the sanitizers watching; sets gamepid.
run_game() {
  (cd "$1" && exec env LD_PRELOAD="$asan:$driver" \
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" \
    LSAN_OPTIONS="suppressions=$here/lsan-gl-driver.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$game") >"$1.out" 2>"$1.err" &
  gamepid=$!
}
# check_run NAME DIR STATUS: the run ended with STATUS ("any": ended at all)
# and no sanitizer report.
check_run() {
  if [ "$E2E_RC" = "hung" ]; then
    echo "FAIL: $1: the game did not end"
    failed=1
  elif grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$2.err"; then
    echo "FAIL: $1: sanitizer report:"
    sed -n '1,60p' "$2.err"
    failed=1
  elif [ "$3" != "any" ] && [ "$E2E_RC" != "$3" ]; then
    echo "FAIL: $1: exit status $E2E_RC, expected $3 ($(head -c 300 "$2.err"))"
    failed=1
  else
    echo "ok: $1: exit status $E2E_RC, no sanitizer report"
  fi
}

play="$E2E_TMP/play"
mkdir -p "$play"
cp "$texdir/floor.ppm" "$texdir/bricks.ppm" "$play/"
run_game "$play"
if win=$(e2e_wait_window "$gamepid" 120); then
  e2e_key "$win" Return Return Return
  sleep 1
  for _ in 1 2 3 4 5; do
    e2e_key "$win" Up Up Right Left space Down Return
    sleep 0.3
  done
  e2e_key "$win" Escape
  e2e_wait_exit "$gamepid" 120
  check_run "play and Escape" "$play" 0
else
  e2e_wait_exit "$gamepid" 5
  echo "FAIL: the game opened no window: $(head -c 600 "$play.err")"
  failed=1
fi

# A missing texture ends the game during start-up, with the reader's message.
missing="$E2E_TMP/missing"
mkdir -p "$missing"
cp "$texdir/bricks.ppm" "$missing/"
run_game "$missing"
e2e_wait_exit "$gamepid" 120
check_run "missing floor.ppm" "$missing" any
if [ "$(grep -c . "$missing.err")" -ne 1 ]; then
  echo "FAIL: missing floor.ppm: expected one line on stderr, got: $(head -c 300 "$missing.err")"
  failed=1
fi

exit "$failed"
