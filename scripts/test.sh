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

echo "== fuzzing the image reader"
bash scripts/fuzz.sh "${DEW_FUZZ_SECONDS:-60}"
