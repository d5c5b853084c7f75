#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fuzzes the image reader with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from a copy of tests/fuzz/corpus.
# Usage: scripts/fuzz.sh [seconds]   (default 60)
# Exits non-zero on any crash, leak, hang, out-of-memory or broken invariant;
# the input that caused it is kept in build/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;;
esac

# The release's default clang, whose libFuzzer comes with the compiler
# runtime package of the same version; both installed by deps.sh --test.
cxx=${CXX_FUZZ:-clang++}
if ! command -v "$cxx" >/dev/null; then
  echo "fuzz.sh: $cxx not found (bash scripts/deps.sh --test installs clang and its runtime)" >&2
  exit 1
fi

work=$(mktemp -d /tmp/dew-fuzz-XXXXXX)
trap 'rm -rf "$work"' EXIT
artifacts=build/fuzz-artifacts
mkdir -p "$artifacts"

echo "== building the image reader fuzzer"
"$cxx" -std=c++17 -g -O1 -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc tests/fuzz/PPMImageFuzz.cpp src/PPMImage.cpp -o "$work/ppm_fuzz"

cp -r tests/fuzz/corpus "$work/corpus"
seeds=$(find "$work/corpus" -type f | wc -l)

echo "== fuzzing for $seconds s from $seeds seed files"
status=0
"$work/ppm_fuzz" "$work/corpus" \
  -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 \
  -artifact_prefix="$artifacts/" -print_final_stats=1 >"$work/log" 2>&1 || status=$?

grep -E '^(INFO: -max_total_time|#[0-9]+ *DONE|stat::|==[0-9]+==|SUMMARY|invariant broken|Test unit written)' \
  "$work/log" || true
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n1)
files=$(find "$work/corpus" -type f | wc -l)
bytes=$(find "$work/corpus" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')
echo "fuzz: ${executions:-0} executions in $seconds s, corpus $files files ($bytes bytes), started from $seeds"

if [ "$status" -ne 0 ]; then
  echo "fuzz: FAILED (exit status $status); last lines of the log:" >&2
  tail -n 60 "$work/log" >&2
  exit 1
fi
echo "fuzz: no crash, leak, hang or broken invariant"
