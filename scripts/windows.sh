#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds Dewgatherer for 64-bit Windows with MinGW-w64 and packs the
# folder a player unzips: the program with freeglut linked in, the two
# textures, a README and the licences, checked before they are packed. The
# zip's path is the last line printed.
#
# freeglut's source comes from the Debian archive through an apt
# configuration of this script's own (a deb-src line for the system's Debian
# archive and release, lists and cache under the build folder), so the
# system's apt sources stay as they are. Every file in the zip is dated from
# SOURCE_DATE_EPOCH (the last commit's), its entries are sorted and the
# program has no link time stamp, so two builds of one commit, in any build
# folders, give the same zip byte for byte.
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
version=$(sed -n 's/^project(Dewgatherer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# Without git (or its history), the date of the latest change log entry
# stands in for the last commit's.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
    SOURCE_DATE_EPOCH=$(date -d "$(sed -n 's/^ -- .*>  //p' debian/changelog | head -n 1)" +%s)
fi
jobs=$(nproc)

# fetch_freeglut: unpacks freeglut's upstream source, the original tarball of
# Debian's source package, into $build/src and sets freeglut_src to its
# folder. (Debian's own patches are for its Linux packages; the tarball alone
# is all a Windows build needs, and apt checks it against the archive's
# signed index.)
fetch_freeglut() {
  local apt="$build/apt" codename uri keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  uri=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' |
    awk -v release="$codename" '$2 == release { print $1; exit }')
  [ -n "$uri" ] || die "no Debian archive for the release '$codename' among the system's apt sources"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d"
  [ -f "$keyring" ] || keyring=""
  echo "deb-src ${keyring:+[signed-by=$keyring] }$uri $codename main" >"$apt/sources.list"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User="$(id -un)")
  echo "== freeglut's source from $uri $codename"
  apt-get "${options[@]}" -qq update
  rm -rf "$build/src"
  mkdir -p "$build/src"
  (cd "$build/src" && apt-get "${options[@]}" -qq source --tar-only freeglut >/dev/null)
  local tarball
  tarball=$(find "$build/src" -maxdepth 1 -name 'freeglut_*.orig.tar.*' | head -n 1)
  [ -n "$tarball" ] || die "apt-get source freeglut fetched no original tarball into $build/src"
  tar -xf "$tarball" -C "$build/src"
  freeglut_src=$(find "$build/src" -mindepth 1 -maxdepth 1 -type d -name 'freeglut-*' | head -n 1)
  [ -n "$freeglut_src" ] || die "$tarball: holds no freeglut-* folder"
}

# freeglut as a static library, installed with its licence into
# $build/freeglut, where the "windows" preset finds them. (freeglut is
# another project, with options of its own, so it has no preset of ours.)
build_freeglut() {
  echo "== freeglut, static, for Windows"
  cmake -S "$freeglut_src" -B "$build/freeglut-build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$build/freeglut" -DCMAKE_C_FLAGS="-ffile-prefix-map=$repo=." \
    -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_DEMOS=OFF \
    -DFREEGLUT_REPLACE_GLUT=ON >/dev/null
  # (Its compiler warnings are freeglut's own: kept in a log, shown on failure.)
  cmake --build "$build/freeglut-build" -j"$jobs" >"$build/freeglut-build.log" 2>&1 ||
    die "freeglut did not build: $(tail -n 20 "$build/freeglut-build.log")"
  cmake --install "$build/freeglut-build" >/dev/null
  cp "$freeglut_src/COPYING" "$build/freeglut/COPYING"
}

# build PRESET: configures and builds one of the project's presets.
build() {
  echo "== $(cmake --list-presets | sed -n "s/^ *\"$1\" *- //p")"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j"$jobs"
}

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
  [ "$(strings -el "$1/dewgatherer.exe" | grep -A 1 -x ProductVersion | tail -n 1)" = "$version" ] ||
    die "dewgatherer.exe does not carry the version $version"
  echo "$me: dewgatherer.exe imports only $imports; a GUI program with icon and version $version"
}

# The zip holds one folder, laid out by the game's install rules.
pack() {
  local name="dewgatherer-$version-win64" zip="$build/dewgatherer-$version-win64.zip"
  rm -rf "$build/stage" "$zip"
  cmake --install "$build/game" --prefix "$build/stage/$name" >/dev/null
  check "$build/stage/$name"
  find "$build/stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  (cd "$build/stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q -9 "$zip" -@)
  echo "$zip"
}

fetch_freeglut
build_freeglut
build windows-tools
build windows
pack
