#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Dewgatherer and runs every test, each build by its CMake preset
# (cmake --list-presets): the Windows build, which the development build's
# suite plays under Wine, the browser build, which it plays in Chromium, and
# the portable Linux build, which it plays in a minimal Debian 13 root;
# the suite again under AddressSanitizer and UndefinedBehaviorSanitizer; the
# end-to-end session under valgrind's memcheck; a minute of fuzzing; and the
# Debian packages, built, checked and tested installed.
# Usage: scripts/test.sh   (DEW_FUZZ_SECONDS sets the fuzzing time)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --test

# shown SCRIPT [ARGS...]: runs a script, its output shown, and keeps its last
# line (the path it made) in last_line; fails as the script does.
shown() {
  local log status=0
  log=$(mktemp)
  bash "$@" | tee "$log" || status=$?
  last_line=$(tail -n 1 "$log")
  rm -f "$log"
  return "$status"
}

# The Windows, browser and portable Linux builds come first, so that the
# suite plays them: under Wine (game_e2e_wine), in Chromium (game_e2e_web)
# and in a minimal root (game_e2e_portable). Each is left out, with a line
# saying so, only where its packages cannot be installed; in CI they always
# run.
# player_zip NAME DEPS-GROUP SCRIPT CACHE-VARIABLE TOOLS: builds one, its zip
# or tarball given to the suite in dev_cache.
dev_cache=()
player_zip() {
  echo "== $1 build"
  if bash scripts/deps.sh "$2"; then
    shown "$3"
    dev_cache+=(-D"$4"="$last_line")
  elif [ -n "${CI:-}" ]; then
    echo "test.sh: the packages of the $1 build could not be installed" >&2
    exit 1
  else
    echo "$1 steps skipped: $5 could not be installed (see above)"
    dev_cache+=(-D"$4"=)
  fi
}
player_zip Windows --windows scripts/windows.sh DEW_WINDOWS_ZIP "MinGW-w64 or Wine"
player_zip Browser --web scripts/web.sh DEW_WEB_ZIP "Emscripten or Chromium"
player_zip "Portable Linux" --linux scripts/linux.sh DEW_LINUX_TARBALL "meson or the X extensions' headers"

# The portable build is played as a player gets it: in a minimal Debian 13
# root with only libc, libGL and the X11 client libraries, made where it can
# be (as root, with the archive in reach); else on this system. Either way,
# this says which.
echo "== A minimal Debian 13 root for the portable build"
if shown scripts/player-root.sh "$PWD/build-release/player-root"; then
  player_root=$last_line
  where="in the private root $player_root"
else
  player_root=""
  where="on this machine's own system, as no private root could be made (see the line above)"
fi
dev_cache+=(-DDEW_PLAYER_ROOT="$player_root")
echo "the portable build's session runs $where"

jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# run_preset NAME [CACHE SETTINGS...]: configures, builds and tests one
# preset; ctest prints its totals.
run_preset() {
  local name=$1
  shift
  echo "== $name: $(cmake --list-presets | sed -n "s/^ *\"$name\" *- //p")"
  cmake --preset "$name" "$@" >/dev/null
  cmake --build --preset "$name" -j"$jobs"
  ctest --preset "$name" -j"$jobs" | tee -a "$log"
}
run_preset dev "${dev_cache[@]}"
run_preset asan
run_preset memcheck
run_preset fuzz -DDEW_FUZZ_SECONDS="${DEW_FUZZ_SECONDS:-60}"

# The Debian source and binary packages, built by dpkg-buildpackage (which
# runs the suite once more); lintian must report no error and no warning,
# and the installed package must pass its autopkgtest.
echo "== Debian package"
bash scripts/package.sh build-deb | tee -a "$log"

# Every stage stops the script on failure, so reaching here means all passed:
# the tests of every preset, the package build's suite and the autopkgtest
# (whose summary line autopkgtest prints twice).
tests=$(awk '/tests failed out of/ { n += $NF } / PASS$/ && !seen[$0]++ { n++ } END { print n + 0 }' "$log")
echo "all: $tests passed, 0 failed (the portable build's session ran $where)"
