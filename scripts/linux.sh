#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the portable Linux game, for any distribution, and packs the folder
# a player unpacks: the program with freeglut, GLU and the C++ runtime linked
# in, a launcher that starts it in its own folder, the two textures, a README
# and the licences, checked before they are packed. The tarball's path is
# the last line printed.
#
# freeglut's and GLU's sources come from the Debian archive
# (scripts/debian-source.sh), without touching the system's apt sources. The
# program then needs only the C library, libGL and the X11 client libraries,
# as every desktop distribution installs them; the check says which, and
# the oldest glibc it runs with. The tarball is made as
# scripts/player-zips.sh says, so two builds of one commit, in any build
# folders, give the same tarball byte for byte.
#
# The game is built by the CMake preset "linux", in build-release/game/.
# Usage: scripts/linux.sh
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022
repo=$(pwd)
me=linux.sh

die() {
  echo "$me: $*" >&2
  exit 1
}

bash scripts/deps.sh --linux
build=$repo/build-release
deps=$build/deps
# shellcheck source=player-zips.sh
. scripts/player-zips.sh
# shellcheck source=debian-source.sh
. scripts/debian-source.sh

# GLU as a static library, by its own build (meson), into $deps, where the
# "linux" preset finds it, its warnings (GLU's own) kept in a log that a
# failure shows. The game uses its mipmap code, whose licence notice heads
# its source.
build_glu() {
  local log=$build/glu-build.log
  echo "== GLU, static"
  rm -rf "$build/glu-build"
  meson setup "$build/glu-build" "$1" --prefix="$deps" --libdir=lib --buildtype=release \
    -Ddefault_library=static -Dgl_provider=gl -Dc_args="-ffile-prefix-map=$1=." -Dcpp_args="-ffile-prefix-map=$1=." \
    >"$log" 2>&1 && ninja -C "$build/glu-build" -j "$(nproc)" install >>"$log" 2>&1 ||
    die "GLU did not build: $(tail -n 20 "$log")"
  sed -n '2,/\*\//{ /\*\//d; s/^ \* \{0,1\}//; p }' "$1/src/libutil/mipmap.c" >"$deps/GLU-LICENSE.txt"
  grep -q 'SGI FREE SOFTWARE LICENSE B' "$deps/GLU-LICENSE.txt" || die "$1/src/libutil/mipmap.c: no licence notice at its head"
}

# The libraries a Linux desktop has, whatever its distribution calls them:
# the C library's parts, GCC's unwinder, libGL, and libX11 with the
# extensions freeglut uses.
system_libraries=" libc.so.6 libm.so.6 ld-linux-x86-64.so.2 libgcc_s.so.1 libGL.so.1 libX11.so.6 libXi.so.6 libXrandr.so.2 libXxf86vm.so.1 "

# check FOLDER: what a Linux player gets. Exactly the launcher, the program,
# the textures, the README and the three licences; a program that needs no
# library beyond the system's, and a README that names the oldest glibc it
# runs with.
check() {
  local files needed library glibc
  files=$(cd "$1" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
  [ "$files" = "./GLU-LICENSE.txt ./LICENSE.txt ./README.txt ./bricks.ppm ./dewgatherer ./dewgatherer.x86_64 ./floor.ppm ./freeglut-COPYING.txt " ] ||
    die "$1: holds $files"
  [ -x "$1/dewgatherer" ] && [ -x "$1/dewgatherer.x86_64" ] || die "$1: the launcher or the program is not executable"
  needed=$(readelf -d "$1/dewgatherer.x86_64" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p' | tr '\n' ' ')
  for library in $needed; do
    [[ "$system_libraries" == *" $library "* ]] || die "dewgatherer.x86_64 needs $library, which not every Linux desktop has"
  done
  glibc=$(objdump -T "$1/dewgatherer.x86_64" | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -n 1)
  grep -q "glibc $glibc or later" "$1/README.txt" || die "$1/README.txt does not name glibc $glibc, the oldest the program runs with"
  echo "$me: dewgatherer.x86_64 needs only ${needed% }; glibc $glibc or later"
}

fetch_source "$build" freeglut
echo "== freeglut, static"
build_static_freeglut "$source_dir" "$build" "$deps" -DCMAKE_INSTALL_LIBDIR=lib
fetch_source "$build" libglu
build_glu "$source_dir"
release_build linux
release_pack "$build" linux-x86_64 check tar.gz
