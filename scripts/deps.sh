#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages Dewgatherer needs, on Debian 12 (bookworm)
# and 13 (trixie). The packages building and testing need are the
# Build-Depends of debian/control, read from there; apt skips those already
# installed.
#
# Usage: scripts/deps.sh [--test] [--windows] [--web] [--linux] [--list]
#   (none)   what building and playing need: the Build-Depends without the
#            test-only ones (the nocheck profile) and without debhelper,
#            plus the compiler and Mesa's driver that draws the picture
#   --test   all the Build-Depends, so that the tests run and the Debian
#            package builds, plus the check tools no build needs
#   --windows  also what the Windows build (scripts/windows.sh) and its test
#            under Wine need: MinGW-w64's C++ compiler, Wine, the tools that
#            make the icon (librsvg, icoutils) and pack the zip, and
#            faketime, which starts the game under Wine at a fixed time
#   --web    also what the browser build (scripts/web.sh) and its test need:
#            Emscripten (with its clang, lld, binaryen and node), Chromium,
#            which the test drives headless, npm, which installs the test's
#            driver from its lock file, python3, whose web server serves the
#            page, and zip
#   --linux  also what the portable Linux build (scripts/linux.sh) and its
#            test need: meson and ninja, which build GLU from its source,
#            the headers of the X extensions freeglut uses, and debootstrap,
#            which makes the minimal root the tarball is tested in
#   --list   print the packages apt would install, on one line, and install
#            nothing
set -euo pipefail
cd "$(dirname "$0")/.."

me=$(basename "$0")
test_group=no
windows_group=no
web_group=no
linux_group=no
list_only=no
for arg in "$@"; do
  case "$arg" in
    --test) test_group=yes ;;
    --windows) windows_group=yes ;;
    --web) web_group=yes ;;
    --linux) linux_group=yes ;;
    --list) list_only=yes ;;
    *) echo "usage: $me [--test] [--windows] [--web] [--linux] [--list]" >&2; exit 2 ;;
  esac
done

# Beyond debian/control: for playing, the compiler and make (build-essential
# without the packaging tools) and Mesa's driver, which no build needs; for
# testing, the whole build-essential, clang with its runtime (libFuzzer and
# the sanitizers), Google Benchmark, valgrind and the package checks.
play_extra=(g++ make libgl1-mesa-dri)
test_extra=(build-essential clang libclang-rt-dev libbenchmark-dev valgrind
  lintian autopkgtest appstream)
windows_extra=(g++-mingw-w64-x86-64 wine zip unzip librsvg2-bin icoutils faketime)
web_extra=(emscripten chromium nodejs npm python3 zip unzip)
linux_extra=(meson ninja-build libx11-dev libxi-dev libxrandr-dev libxxf86vm-dev debootstrap)

# The Build-Depends field of debian/control on one line.
build_depends() {
  awk '/^Build-Depends:/ { on = 1; sub(/^Build-Depends:/, ""); print; next }
    on && /^[ \t]/ { print; next }
    { on = 0 }' debian/control | tr -d '\n'
}

deps=$(build_depends)
extra=("${play_extra[@]}")
# Playing needs neither the tests' packages nor debhelper, nor the extras
# Debian recommends (documentation, other compilers); the test tools are
# installed as Debian means them to be used, with their recommends
# (ImageMagick's extra coders and Xvfb's fonts among them).
options=(-P nocheck --no-install-recommends)
if [ "$test_group" = yes ]; then
  extra+=("${test_extra[@]}")
  options=()
else
  deps=$(sed 's/debhelper-compat ([^)]*),\?//' <<<"$deps")
fi
[ "$windows_group" = no ] || extra+=("${windows_extra[@]}")
[ "$web_group" = no ] || extra+=("${web_extra[@]}")
[ "$linux_group" = no ] || extra+=("${linux_extra[@]}")
wanted="$(IFS=,; echo "${extra[*]}"), $deps"

# The packages apt would install (their names, on one line). Fails when apt
# cannot resolve the list, e.g. before its package lists are fetched.
missing() {
  local plan
  plan=$(apt-get satisfy -s "${options[@]}" "$wanted" 2>/dev/null) || return 1
  sed -n 's/^Inst \([^ ]*\).*/\1/p' <<<"$plan" | tr '\n' ' ' | sed 's/ $//'
}

if [ "$list_only" = yes ]; then
  missing || { echo "$me: apt cannot resolve: $wanted (apt-get update first?)" >&2; exit 1; }
  exit 0
fi
if todo=$(missing) && [ -z "$todo" ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "$me: missing Debian packages and no sudo to install them; as root run: su -c 'apt-get update && apt-get satisfy -y ${options[*]} \"$wanted\"'" >&2
    exit 1
  fi
  sudo=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
echo "$me: installing what debian/control's Build-Depends and ${extra[*]} need"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get satisfy -y -qq "${options[@]}" "$wanted"
