#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks in a Release build (build-bench/) and runs them:
# dew_bench for the world's tick, the flock and the building of a level,
# dew_render_bench for image reading, frames per second and start-up.
# Usage: scripts/bench.sh [extra Google Benchmark options, e.g. --benchmark_filter=Flock]
# Timings are wall-clock sensitive: run it on an otherwise idle machine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --test

cmake --preset bench >/dev/null
cmake --build --preset bench -j2

echo "== core: world tick, flock tick, level construction"
build-bench/bench/dew_bench "$@"
echo "== display: images, frames, start-up"
build-bench/bench/dew_render_bench "$@"
