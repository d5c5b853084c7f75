#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Dewgatherer and runs every test: the suite, the suite again under the
# sanitizers, a minute of fuzzing, a memcheck run of the real game and the
# Debian package's build, checks and autopkgtest.
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
  bash scripts/windows.sh build-win | tee "$win_log"
  windows=(-DDEW_WINDOWS_ZIP="$(tail -n 1 "$win_log")")
  rm -f "$win_log"
elif [ -n "${CI:-}" ]; then
  echo "test.sh: the Windows build's packages could not be installed" >&2
  exit 1
else
  echo "Windows steps skipped: MinGW-w64 or Wine could not be installed (see above)"
fi

jobs=$(nproc)
# Tests and benchmarks are required here, so a missing package fails the run
# at once instead of leaving them out.
parts=(-DDEW_BUILD_TESTS=ON -DDEW_BUILD_BENCH=ON)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${parts[@]}" "${windows[@]}" >/dev/null
cmake --build build -j"$jobs"
echo "== tests"
(cd build && ctest --output-on-failure -j"$jobs") | tee -a "$log"

# The whole suite again, built with AddressSanitizer and UndefinedBehavior-
# Sanitizer: any report fails the test that caused it.
echo "== sanitizer build"
cmake -S . -B build-asan -DDEW_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug "${parts[@]}" >/dev/null
cmake --build build-asan -j"$jobs"
echo "== tests in the sanitizer build"
(cd build-asan &&
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j"$jobs") | tee -a "$log"

echo "== fuzzing the image reader"
bash scripts/fuzz.sh "${DEW_FUZZ_SECONDS:-60}"

# The real game under memcheck for a scripted session in Xvfb (about a
# minute and a half).
echo "== valgrind"
bash scripts/valgrind.sh build-valgrind

# The Debian source and binary packages, built by dpkg-buildpackage (which
# runs the suite once more); lintian must report no error and no warning,
# and the installed package must pass its autopkgtest.
echo "== Debian package"
bash scripts/package.sh build-deb

# Every stage stops the script on failure, so reaching here means all passed:
# the tests of both suites, the fuzzing, the memcheck run and the package.
suites=$(awk '/tests failed out of/ { n += $NF } END { print n + 0 }' "$log")
echo "all: $((suites + 3)) passed, 0 failed"
