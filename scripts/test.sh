#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Dewgatherer and runs every test, each build by its CMake preset
# (cmake --list-presets): the Windows build, which the development build's
# suite plays under Wine; the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer; the end-to-end session under valgrind's
# memcheck; a minute of fuzzing; and the Debian packages, built, checked and
# tested installed.
# Usage: scripts/test.sh   (DEW_FUZZ_SECONDS sets the fuzzing time)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --test

# The Windows build comes first, so that the suite plays its zip under Wine
# (game_e2e_wine). It is left out, with a line saying so, only where MinGW-w64
# or Wine cannot be installed; in CI it always runs.
echo "== Windows build"
windows=(-DDEW_WINDOWS_ZIP=)
if bash scripts/deps.sh --windows; then
  win_log=$(mktemp)
  bash scripts/windows.sh | tee "$win_log"
  windows=(-DDEW_WINDOWS_ZIP="$(tail -n 1 "$win_log")")
  rm -f "$win_log"
elif [ -n "${CI:-}" ]; then
  echo "test.sh: the Windows build's packages could not be installed" >&2
  exit 1
else
  echo "Windows steps skipped: MinGW-w64 or Wine could not be installed (see above)"
fi

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
run_preset dev "${windows[@]}"
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
echo "all: $tests passed, 0 failed"
