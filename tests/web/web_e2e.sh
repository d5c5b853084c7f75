#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end test of the browser build: the page from its zip, served on
# 127.0.0.1 and played in Debian's Chromium, headless, by web_e2e.mjs
# through playwright-core (installed by npm ci from this folder's lock file
# into the build folder given; Chromium is never downloaded).
#
# First the Linux build shows, at the end-to-end test's known seed, its first
# title page and first play frame with its clocks standing still (no tick
# runs, as in the page, whose clock the test pins); the page must show the
# same.
#
# Usage: web_e2e.sh dewgatherer-VERSION-web.zip MODULES-FOLDER
#          path/to/dewgatherer path/to/libfixedclock.so SEED
set -u

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/xsession.sh
. "$here/../../scripts/xsession.sh"

[ $# -eq 5 ] || e2e_die "usage: web_e2e.sh dewgatherer-VERSION-web.zip MODULES-FOLDER dewgatherer libfixedclock.so SEED"
zip=$(readlink -f "$1")
modules=$(readlink -m "$2")
game=$(readlink -f "$3")
preload=$(readlink -f "$4")
seed=$5
for tool in node npm unzip /usr/bin/chromium; do
  command -v "$tool" >/dev/null 2>&1 || e2e_die "$tool is missing (bash scripts/deps.sh --web installs it)"
done
e2e_require_tools
e2e_setup
e2e_start_xvfb

mkdir "$E2E_TMP/linux"
cp "$(dirname "$game")/floor.ppm" "$(dirname "$game")/bricks.ppm" "$E2E_TMP/linux/"
(cd "$E2E_TMP/linux" && exec env LD_PRELOAD="$preload" DEW_TIME="$seed" DEW_STILL_CLOCK=1 "$game") 2>"$E2E_TMP/linux.err" &
gamepid=$!
win=$(e2e_wait_window "$gamepid") && e2e_wait 60 e2e_shows "$win" e2e_panel_shown &&
  settled_shot "$win" "$E2E_TMP/linux-title.ppm" || e2e_die "the Linux build showed no title page: $(head -c 300 "$E2E_TMP/linux.err")"
e2e_key "$win" Return Return Return
e2e_wait 60 e2e_shows "$win" e2e_panel_gone && settled_shot "$win" "$E2E_TMP/linux-play.ppm" ||
  e2e_die "the Linux build showed no play after three Enters"
e2e_key "$win" Escape
e2e_wait_exit "$gamepid" 60

name=$(basename "$zip" .zip)
unzip -q "$zip" -d "$E2E_TMP/zip" || e2e_die "$zip: cannot unpack it"
[ -f "$E2E_TMP/zip/$name/index.html" ] || e2e_die "$zip: holds no $name/index.html"

bash "$here/driver.sh" "$modules" || e2e_die "no browser driver"
node "$here/web_e2e.mjs" "$modules" "$E2E_TMP/zip/$name" "$seed" "$E2E_TMP/linux-title.ppm" "$E2E_TMP/linux-play.ppm"
