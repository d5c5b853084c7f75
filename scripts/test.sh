#!/usr/bin/env bash
# Builds Dewgatherer and runs every test. Usage: scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

jobs=$(nproc)
echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
echo "== tests"
(cd build && ctest --output-on-failure -j"$jobs")

# --- sanitizer build (begin)
# The whole suite again, built with AddressSanitizer and UndefinedBehavior-
# Sanitizer: any report fails the test that caused it.
echo "== sanitizer build"
cmake -S . -B build-asan -DDEW_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
echo "== tests in the sanitizer build"
(cd build-asan &&
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j"$jobs")
# --- sanitizer build (end)

echo "== fuzzing the image reader"
bash scripts/fuzz.sh "${DEW_FUZZ_SECONDS:-60}"

# --- valgrind (begin)
# The real game under memcheck for a scripted session in Xvfb (about a
# minute and a half).
echo "== valgrind"
bash scripts/valgrind.sh build-valgrind
# --- valgrind (end)
