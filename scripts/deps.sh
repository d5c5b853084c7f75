#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages Dewgatherer needs, skipping those already
# present, on Debian 12 (bookworm) and 13 (trixie).
#
# Usage: scripts/deps.sh [--test] [--windows] [--list]
#   (none)   what building and playing need: the compiler, CMake, the GL, GLU
#            and GLUT headers, and Mesa's driver that draws the picture
#   --test   also what the tests, benchmarks, fuzzing, memcheck and the
#            package checks need
#   --windows  also what the Windows build (scripts/windows.sh) and its test
#            under Wine need: MinGW-w64's C++ compiler, Wine, the tools that
#            make the icon (librsvg, icoutils) and pack the zip, and
#            faketime, which starts the game under Wine at a fixed time
#   --list   print the packages that are missing, on one line, and install
#            nothing
#
# Names that change between releases are chosen by what apt-cache offers:
# the release's default clang with the compiler runtime of the same version
# (libFuzzer and the sanitizers), and ImageMagick's extra coders (its SVG
# reader, for the icon check of the install test).
set -euo pipefail

me=$(basename "$0")
test_group=no
windows_group=no
list_only=no
for arg in "$@"; do
  case "$arg" in
    --test) test_group=yes ;;
    --windows) windows_group=yes ;;
    --list) list_only=yes ;;
    *) echo "usage: $me [--test] [--windows] [--list]" >&2; exit 2 ;;
  esac
done

# Current names on both releases (pkg-config and freeglut3-dev are
# transitional packages there for pkgconf and libglut-dev).
play=(
  g++ cmake make pkgconf
  libgl-dev libglu1-mesa-dev libglut-dev
  libgl1-mesa-dri
)
test=(
  libgtest-dev libbenchmark-dev libx11-dev
  xvfb xdotool x11-utils imagemagick netpbm
  clang valgrind
  lintian dpkg-dev appstream desktop-file-utils
)
windows=(
  g++-mingw-w64-x86-64 wine
  zip unzip librsvg2-bin icoutils faketime
)

# (Both read the whole answer before matching: grep -q stopping early would
# fail the pipeline under pipefail.)
installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

# Whether apt knows an installable version of the package.
available() {
  local policy
  policy=$(apt-cache policy "$1" 2>/dev/null)
  grep -q '^ *Candidate: [^(]' <<<"$policy"
}

# The major version of the release's default clang: of the installed clang
# if there is one, else of the one apt offers. Empty if neither is known.
clang_major() {
  local deps
  if installed clang; then
    deps=$(dpkg-query -W -f='${Depends}' clang)
  else
    deps=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: //p')
  fi
  printf '%s\n' "$deps" | tr ',' '\n' | sed -n 's/^ *clang-\([0-9][0-9]*\)\b.*/\1/p' | head -n 1
}

# ImageMagick's extra coders: the one package installed, or the newest
# release apt offers (libmagickcore-6.q16-6-extra on Debian 12,
# libmagickcore-7.q16-10-extra on 13).
magick_extra() {
  local name
  name=$(dpkg-query -W -f='${Status} ${Package}\n' 'libmagickcore-*-extra' 2>/dev/null |
    sed -n 's/^install ok installed \(libmagickcore-[0-9.]*q16-[0-9]*-extra\)$/\1/p' | head -n 1)
  if [ -z "$name" ]; then
    name=$(apt-cache pkgnames libmagickcore- 2>/dev/null |
      grep -E '^libmagickcore-[0-9.]+q16-[0-9]+-extra$' | sort -V | tail -n 1)
  fi
  printf '%s\n' "$name"
}

# Fills the array `wanted` with the group's packages, the names that depend
# on the release resolved as far as apt-cache can.
resolve() {
  wanted=("${play[@]}")
  [ "$windows_group" = no ] || wanted+=("${windows[@]}")
  [ "$test_group" = yes ] || return 0
  wanted+=("${test[@]}")
  local major extra
  major=$(clang_major)
  wanted+=("libclang-rt-${major:-<version of clang>}-dev")
  extra=$(magick_extra)
  wanted+=("${extra:-libmagickcore-<version>-extra}")
}

# Fills the array `missing` with the wanted packages that are not installed.
find_missing() {
  missing=()
  local p
  for p in "${wanted[@]}"; do
    installed "$p" || missing+=("$p")
  done
}

resolve
find_missing
if [ "$list_only" = yes ]; then
  echo "${missing[*]}"
  exit 0
fi
[ ${#missing[@]} -eq 0 ] && exit 0

# Playing needs no recommended extras (documentation, other compilers); the
# test tools are installed as Debian means them to be used, with their
# recommends (ImageMagick's and Xvfb's fonts and helpers among them).
install=(apt-get install)
[ "$test_group" = yes ] || install+=(--no-install-recommends)

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "$me: missing Debian packages and no sudo to install them; as root run: su -c 'apt-get update && ${install[*]} ${missing[*]}'" >&2
    exit 1
  fi
  sudo=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
echo "$me: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
# The names chosen by release can only be known once the package lists are.
resolve
find_missing
for p in "${missing[@]}"; do
  if ! available "$p"; then
    echo "$me: this release offers no package $p; install it by hand, then run $me again" >&2
    exit 1
  fi
done
"${sudo[@]}" "${install[@]}" -y -qq "${missing[@]}"
