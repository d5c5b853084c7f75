#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the game from a build folder into a temporary prefix
# (cmake --install) and starts the installed launcher in a private Xvfb from
# an unrelated working directory: the window must appear and Escape must end
# the game with status 0. Then moves the installed tree elsewhere and starts
# it again through a symbolic link to the launcher, since the launcher finds
# the game from its own place.
#
# Usage: install_test.sh path/to/build-folder
set -u

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/xsession.sh
. "$here/../../scripts/xsession.sh"

[ $# -eq 1 ] || e2e_die "usage: install_test.sh path/to/build-folder"
build=$(readlink -f "$1")
[ -f "$build/cmake_install.cmake" ] || e2e_die "$1: not a configured build folder"

e2e_require_tools
e2e_setup

prefix="$E2E_TMP/prefix"
if cmake --install "$build" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1; then
  pass "cmake --install into a temporary prefix"
else
  fail "cmake --install: $(tail -n 3 "$E2E_TMP/install.log")"
  finish
fi

for f in bin/dewgatherer libexec/dewgatherer/dewgatherer; do
  if [ -x "$prefix/$f" ]; then pass "$f is installed and executable"; else fail "$f is missing or not executable"; fi
done
for f in share/dewgatherer/floor.ppm share/dewgatherer/bricks.ppm; do
  if cmp -s "$prefix/$f" "$build/$(basename "$f")"; then pass "$f is installed"; else fail "$f is missing or differs from the build's"; fi
done
desktop="$prefix/share/applications/dewgatherer.desktop"
if [ -f "$desktop" ] && grep -qx 'Exec=dewgatherer' "$desktop" && grep -qx 'Icon=dewgatherer' "$desktop" &&
  grep -qx 'Name=Dewgatherer' "$desktop" && grep -qx 'Type=Application' "$desktop"; then
  pass "desktop entry names the launcher and the icon"
else
  fail "desktop entry missing or incomplete: $desktop"
fi
if command -v desktop-file-validate >/dev/null 2>&1; then
  if out=$(desktop-file-validate "$desktop" 2>&1); then
    pass "desktop-file-validate accepts the desktop entry"
  else
    fail "desktop-file-validate: $out"
  fi
fi
icon="$prefix/share/icons/hicolor/scalable/apps/dewgatherer.svg"
got=$("$IM_CONVERT" "$icon" -format '%wx%h' info: 2>/dev/null)
if [ "$got" = "64x64" ]; then pass "the scalable icon is an SVG picture"; else fail "icon $icon: '$got'"; fi

# play_installed LAUNCHER LABEL: starts the launcher from an empty folder,
# waits for the window, presses Escape and expects status 0.
play_installed() {
  local launcher=$1 label=$2 away="$E2E_TMP/elsewhere" pid win
  mkdir -p "$away"
  (cd "$away" && exec "$launcher") >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" &
  pid=$!
  if win=$(e2e_wait_window "$pid" 120); then
    pass "$label: the window appears"
  else
    fail "$label: no window (stderr: $(head -c 300 "$E2E_TMP/game.err"))"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return
  fi
  # The first title page is drawn, so the textures were found and read.
  if e2e_wait_panel "$win" yes 60; then
    pass "$label: the first title page is shown"
  else
    fail "$label: the first title page did not appear"
  fi
  e2e_key "$win" Escape
  e2e_wait_exit "$pid" 60
  if [ "$E2E_RC" = "0" ]; then
    pass "$label: Escape ends it with status 0"
  else
    fail "$label: exit status $E2E_RC (stderr: $(head -c 300 "$E2E_TMP/game.err"))"
  fi
  if [ -z "$(ls -A "$away")" ]; then
    pass "$label: nothing written to the working directory"
  else
    fail "$label: files appeared in the working directory: $(ls -A "$away")"
  fi
}

e2e_start_xvfb
play_installed "$prefix/bin/dewgatherer" "installed launcher"

moved="$E2E_TMP/moved/tree"
mkdir -p "$(dirname "$moved")" "$E2E_TMP/links"
mv "$prefix" "$moved"
ln -s "$moved/bin/dewgatherer" "$E2E_TMP/links/dewgatherer"
play_installed "$E2E_TMP/links/dewgatherer" "moved tree, started through a link"

finish
