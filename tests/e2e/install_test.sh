#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the game with cmake --install into temporary prefixes and starts
# the installed launcher in a private Xvfb from an unrelated working
# directory: the window must appear and Escape must end the game with status
# 0. First from the given build folder, in its layout; then from a build of
# the game alone (tests and benchmarks off) in the other layout (the default
# one or Debian's games layout), moved elsewhere after installing and started
# through a symbolic link, since the launcher finds the game from its own
# place. Each installed tree must hold exactly the files of its layout. The
# launcher must explain in one line why the game cannot start: no display,
# the data folder or a texture missing.
#
# Usage: install_test.sh path/to/build-folder BINDIR DATADIR
#   BINDIR, DATADIR: the build's launcher and data folders under the prefix
#   (CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DATADIR)
set -u

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/xsession.sh
. "$here/../../scripts/xsession.sh"

[ $# -eq 3 ] || e2e_die "usage: install_test.sh path/to/build-folder BINDIR DATADIR"
build=$(readlink -f "$1")
[ -f "$build/cmake_install.cmake" ] || e2e_die "$1: not a configured build folder"

e2e_require_tools
e2e_setup
e2e_start_xvfb

# install_tree BUILD PREFIX LAUNCHER DATA: installs, then compares the tree's
# files with the layout's list. (Playing shows the textures are readable; the
# package script validates the metadata and lintian the manual page.)
install_tree() {
  local build=$1 prefix=$2 out
  if ! cmake --install "$build" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1; then
    fail "cmake --install $prefix: $(tail -n 3 "$E2E_TMP/install.log")"
    return
  fi
  printf '%s\n' "$3" "$4/floor.ppm" "$4/bricks.ppm" libexec/dewgatherer/dewgatherer \
    share/applications/dewgatherer.desktop share/icons/hicolor/scalable/apps/dewgatherer.svg \
    share/metainfo/org.dewgatherer.dewgatherer.metainfo.xml share/man/man6/dewgatherer.6 \
    share/doc/dewgatherer/LICENSE | sort >"$E2E_TMP/want"
  if (cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort | diff "$E2E_TMP/want" -) >"$E2E_TMP/diff"; then
    pass "$prefix: the installed files are those of the layout"
  else
    fail "$prefix: installed files differ from the layout (< missing, > extra): $(tr '\n' ' ' <"$E2E_TMP/diff")"
  fi
  out=$(desktop-file-validate "$prefix/share/applications/dewgatherer.desktop" 2>&1) || fail "desktop entry: $out"
}

# play_installed LAUNCHER: starts the launcher from an empty folder, waits for
# the window and its first title page (so the textures were read), presses
# Escape and expects status 0 and nothing written.
play_installed() {
  local away="$E2E_TMP/elsewhere" pid win
  mkdir -p "$away"
  (cd "$away" && exec "$1") >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" &
  pid=$!
  if win=$(e2e_wait_window "$pid" 120) && e2e_wait 60 e2e_shows "$win" e2e_panel_shown; then
    e2e_key "$win" Escape
    e2e_wait_exit "$pid" 60
  else
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    E2E_RC="no window"
  fi
  if [ "$E2E_RC" = 0 ] && [ -z "$(ls -A "$away")" ]; then
    pass "$1: the first title page is shown, Escape ends it with status 0, nothing written"
  else
    fail "$1: status $E2E_RC, files written: '$(ls -A "$away")' (stderr: $(head -c 300 "$E2E_TMP/game.err"))"
  fi
}

# explains LABEL TEXT LAUNCHER [env ARGS]: the launcher must end with status
# 1 and exactly one line on stderr that contains TEXT (a launcher that starts
# the game instead is stopped after a minute).
explains() {
  local label=$1 text=$2 rc
  shift 2
  timeout 60 "$@" >/dev/null 2>"$E2E_TMP/why"
  rc=$?
  if [ "$rc" = 1 ] && [ "$(wc -l <"$E2E_TMP/why")" = 1 ] && grep -qF "$text" "$E2E_TMP/why"; then
    pass "$label: $(cat "$E2E_TMP/why")"
  else
    fail "$label: status $rc, stderr: $(head -c 300 "$E2E_TMP/why")"
  fi
}

bindir=$2 datadir=$3
prefix="$E2E_TMP/prefix" data="$E2E_TMP/prefix/$datadir/dewgatherer"
install_tree "$build" "$prefix" "$bindir/dewgatherer" "$datadir/dewgatherer"
play_installed "$prefix/$bindir/dewgatherer"
explains "no display" "DISPLAY and WAYLAND_DISPLAY are unset" env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/$bindir/dewgatherer"
mv "$data/bricks.ppm" "$E2E_TMP/"
explains "a texture missing" "$data: the texture bricks.ppm is missing" "$prefix/$bindir/dewgatherer"
mv "$data" "$E2E_TMP/data"
explains "the data folder missing" "$data: the game's data folder is missing" "$prefix/$bindir/dewgatherer"

if [ "$bindir" = games ]; then bindir=bin datadir=share; else bindir=games datadir=share/games; fi
game="$E2E_TMP/game-only"
if cmake -S "$here/../.." -B "$game" --preset game \
  -DCMAKE_INSTALL_BINDIR="$bindir" -DCMAKE_INSTALL_DATADIR="$datadir" \
  >"$E2E_TMP/game.log" 2>&1 && cmake --build "$game" -j"$(nproc)" >>"$E2E_TMP/game.log" 2>&1; then
  install_tree "$game" "$E2E_TMP/other" "$bindir/dewgatherer" "$datadir/dewgatherer"
  mkdir -p "$E2E_TMP/moved" "$E2E_TMP/links"
  mv "$E2E_TMP/other" "$E2E_TMP/moved/tree"
  ln -s "$E2E_TMP/moved/tree/$bindir/dewgatherer" "$E2E_TMP/links/dewgatherer"
  play_installed "$E2E_TMP/links/dewgatherer"
else
  fail "build of the game alone: $(tail -n 5 "$E2E_TMP/game.log")"
fi

finish
