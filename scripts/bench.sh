#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks in a Release build (build-bench/) and runs them:
# dew_bench for the world's tick, the flock and the building of a level,
# dew_render_bench for image reading, frames per second and start-up.
# Usage: scripts/bench.sh [extra Google Benchmark options, e.g. --benchmark_filter=Flock]
#        scripts/bench.sh --web            frame times per screen in headless
#            Chromium (the browser build, made by scripts/web.sh), beside the
#            native build's: the same program (bench/FrameTimes.cpp) on Mesa
#            under Xvfb
#        scripts/bench.sh --web-memory [MINUTES]   the page's memory over
#            MINUTES (default 10) of play in headless Chromium, measured once
# Timings are wall-clock sensitive: run it on an otherwise idle machine.
set -euo pipefail
cd "$(dirname "$0")/.."

# The browser build and the driver of Debian's Chromium, for --web and --web-memory.
web_ready() {
  local log
  log=$(mktemp)
  bash scripts/web.sh >"$log" 2>&1 || { tail -n 20 "$log" >&2; exit 1; }
  rm -f "$log"
  bash tests/web/driver.sh build-web/driver
}
case "${1:-}" in
  --web)
    bash scripts/deps.sh --test
    web_ready
    cmake --build --preset web --target dew_frame_times >/dev/null
    cmake --preset bench >/dev/null
    cmake --build --preset bench -j2 --target dew_frame_times >/dev/null
    echo "== frame times, native: Mesa under Xvfb"
    # In a subshell of its own, so that the browser below is not pointed at
    # the X server that ends with it.
    (
      # shellcheck source=xsession.sh
      . scripts/xsession.sh
      e2e_setup
      e2e_start_xvfb
      cd build-bench && ./dew_frame_times
    )
    echo "== frame times, in headless Chromium"
    node bench/frame_times.mjs build-web/driver build-web/game
    exit 0
    ;;
  --web-memory)
    web_ready
    node bench/page_memory.mjs build-web/driver build-web/stage/dewgatherer-*-web "${2:-10}"
    exit 0
    ;;
esac

bash scripts/deps.sh --test

cmake --preset bench >/dev/null
cmake --build --preset bench -j2

echo "== core: world tick, flock tick, level construction"
build-bench/bench/dew_bench "$@"
echo "== display: images, frames, start-up"
build-bench/bench/dew_render_bench "$@"
