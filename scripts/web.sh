#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Dewgatherer as a web page with Debian's Emscripten and packs the
# folder any static web server serves: index.html and page.js, the game's
# dewgatherer.js, .wasm and .data (the two textures), the game's licence and
# freeglut's, whose font the page draws. The zip's path is the last line
# printed; it is made as scripts/player-zips.sh says, so two builds of one commit
# give the same zip byte for byte.
#
# freeglut's source comes from the Debian archive
# (scripts/debian-source.sh). The texture generator and the game are built
# by the CMake presets "web-tools" and "web", in build-web/.
#
# Usage: scripts/web.sh [--serve [PORT]]
#   --serve  then serves the zip's folder on 127.0.0.1 (PORT, by default
#            8080) and prints its address, until interrupted
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022
repo=$(pwd)
me=web.sh

die() {
  echo "$me: $*" >&2
  exit 1
}

serve=no
port=8080
case "${1:-}" in
  "") ;;
  --serve) serve=yes && port=${2:-8080} ;;
  *) die "usage: scripts/web.sh [--serve [PORT]]" ;;
esac

bash scripts/deps.sh --web
build=$repo/build-web
# shellcheck source=player-zips.sh
. scripts/player-zips.sh
# shellcheck source=debian-source.sh
. scripts/debian-source.sh

# The page's files together, and gzipped each, stay small enough to load
# at once on a slow line.
check() {
  local files bytes gzipped
  files=$(cd "$1" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
  [ "$files" = "./LICENSE.txt ./dewgatherer.data ./dewgatherer.js ./dewgatherer.wasm ./freeglut-COPYING.txt ./index.html ./page.js " ] ||
    die "$1: holds $files"
  bytes=$(cat "$1"/* | wc -c)
  gzipped=$(for f in "$1"/*; do gzip -9n <"$f"; done | wc -c)
  [ "$bytes" -lt 1000000 ] && [ "$gzipped" -lt 400000 ] ||
    die "$1: $bytes bytes ($gzipped gzipped), more than 1 MB (400 KB gzipped)"
  echo "$me: the page's files are $bytes bytes, $gzipped gzipped"
}

fetch_source "$build" freeglut
freeglut_src=$source_dir
rm -rf "$build/freeglut"
mv "$freeglut_src" "$build/freeglut"
release_build web-tools
release_build web
release_pack "$build" web check
if [ "$serve" = yes ]; then
  # What the zip holds, as a player's server would serve it.
  folder=$(echo "$build"/stage/dewgatherer-*-web)
  echo "$me: serving $folder on http://127.0.0.1:$port/ (Ctrl-C ends it)"
  exec python3 -m http.server --bind 127.0.0.1 --directory "$folder" "$port"
fi
