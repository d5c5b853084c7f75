#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds Dewgatherer for 64-bit Windows with MinGW-w64 and packs the
# folder a player unzips: the program with freeglut linked in, the two
# textures, a README and the licences, checked before they are packed. The
# zip's path is the last line printed.
#
# freeglut's source comes from the Debian archive (scripts/debian-source.sh),
# without touching the system's apt sources. The zip is made as
# scripts/player-zips.sh says, and the program has no link time stamp, so two
# builds of one commit, in any build folders, give the same zip byte for byte.
#
# The game and the texture generator are built by the CMake presets
# "windows" and "windows-tools", in build-win/.
# Usage: scripts/windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022
repo=$(pwd)
me=windows.sh

die() {
  echo "$me: $*" >&2
  exit 1
}

bash scripts/deps.sh --windows
build=$repo/build-win
# shellcheck source=player-zips.sh
. scripts/player-zips.sh
# shellcheck source=debian-source.sh
. scripts/debian-source.sh

# check FOLDER: what a Windows player gets. Exactly the program, the
# textures, the README and the two licences; a program that imports only
# DLLs every Windows has, opens no console window, has no link time stamp
# and carries an icon and version information.
check() {
  local files headers imports dll types
  files=$(cd "$1" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
  [ "$files" = "./LICENSE.txt ./README.txt ./bricks.ppm ./dewgatherer.exe ./floor.ppm ./freeglut-COPYING.txt " ] ||
    die "$1: holds $files"
  headers=$(x86_64-w64-mingw32-objdump -p "$1/dewgatherer.exe")
  imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]' | LC_ALL=C sort | tr '\n' ' ')
  for dll in $imports; do
    case " ADVAPI32.DLL GDI32.DLL GLU32.DLL KERNEL32.DLL MSVCRT.DLL OPENGL32.DLL USER32.DLL WINMM.DLL " in
      *" $dll "*) ;;
      *) die "dewgatherer.exe imports $dll, which not every Windows has" ;;
    esac
  done
  grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || die "dewgatherer.exe would open a console window"
  grep -q '^Time/Date.*1970' <<<"$headers" || die "dewgatherer.exe has a link time stamp"
  types=" $(sed -n 's/^[0-9a-f]*   Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p' <<<"$headers" | tr '\n' ' ')"
  [[ "$types" == *" e "* && "$types" == *" 10 "* ]] || die "dewgatherer.exe lacks its icon or version information"
  [ "$(strings -el "$1/dewgatherer.exe" | grep -A 1 -x ProductVersion | tail -n 1)" = "$release_version" ] ||
    die "dewgatherer.exe does not carry the version $release_version"
  echo "$me: dewgatherer.exe imports only $imports; a GUI program with icon and version $release_version"
}

fetch_source "$build" freeglut
# Into $build/freeglut, where the "windows" preset finds it.
echo "== freeglut, static, for Windows"
build_static_freeglut "$source_dir" "$build" "$build/freeglut" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake"
release_build windows-tools
release_build windows
release_pack "$build" win64 check
