#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# scripts/plant-faults.sh REPO FAULTS.tsv [RESULTS]
#
# How well the tests catch faults they were never shown: plants each fault
# of FAULTS.tsv in REPO (a clean clone) one at a time, builds the dev preset
# incrementally, runs `ctest --preset quick` and records whether the tests
# caught it. Each line of FAULTS.tsv is
#   id <TAB> file <TAB> original line <TAB> replacement line <TAB> description
# The original line must occur exactly once, as a whole line, in the file.
# An empty replacement drops the line (it is left blank). Lines starting with
# '#' and blank lines are skipped. The file is restored with git afterwards.
#
# Result per fault: caught (some test failed), survived (all passed),
# invalid (line not found or not unique, file has local changes, or the build
# failed). A build that compiles with warnings is flagged "warn" in the notes.
set -u

usage() {
  echo "usage: $0 REPO FAULTS.tsv [RESULTS]" >&2
  exit 2
}

[ $# -ge 2 ] && [ $# -le 3 ] || usage
repo=$(cd "$1" && pwd) || { echo "$0: $1: no such directory" >&2; exit 2; }
faults=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
results=${3:-}
[ -f "$faults" ] || { echo "$0: $2: no such file" >&2; exit 2; }
git -C "$repo" rev-parse --git-dir >/dev/null 2>&1 || { echo "$0: $repo: not a git clone" >&2; exit 2; }

ctest_timeout=${PLANT_TEST_TIMEOUT:-300}   # per test, seconds
suite_timeout=${PLANT_SUITE_TIMEOUT:-1800} # whole ctest run, seconds
logdir=$(mktemp -d "${TMPDIR:-/tmp}/plant.XXXXXX")
current_file=""

restore() {
  if [ -n "$current_file" ]; then
    git -C "$repo" checkout -- "$current_file"
    current_file=""
  fi
}
trap 'restore; exit 130' INT TERM
trap 'restore' EXIT

# Prints field N (1-based) of data line K (1-based, counting every line) of
# the faults file, literally.
field() {
  python3 - "$faults" "$1" "$2" <<'EOF'
import sys
path, k, n = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(path, encoding="utf-8") as f:
  line = f.read().split("\n")[k - 1]
parts = line.split("\t")
sys.stdout.write(parts[n - 1] if n <= len(parts) else "")
EOF
}

# Applies fault line K to REPO. Exit 0 when applied; otherwise prints why.
apply_fault() {
  python3 - "$faults" "$1" "$repo" <<'EOF'
import os, sys
path, k, repo = sys.argv[1], int(sys.argv[2]), sys.argv[3]
with open(path, encoding="utf-8") as f:
  row = f.read().split("\n")[k - 1].split("\t")
if len(row) < 4:
  print("malformed faults line (fewer than 4 fields)")
  sys.exit(1)
target = os.path.join(repo, row[1])
if not os.path.isfile(target):
  print("no such file: " + row[1])
  sys.exit(1)
with open(target, encoding="utf-8", newline="") as f:
  lines = f.read().split("\n")
hits = [i for i, l in enumerate(lines) if l.rstrip("\r") == row[2]]
if len(hits) != 1:
  print("original line found %d times" % len(hits))
  sys.exit(1)
i = hits[0]
ending = "\r" if lines[i].endswith("\r") else ""
lines[i] = row[3] + ending
with open(target, "w", encoding="utf-8", newline="") as f:
  f.write("\n".join(lines))
EOF
}

echo "configuring $repo (dev preset)"
if ! (cd "$repo" && nice cmake --preset dev >"$logdir/configure.log" 2>&1); then
  echo "$0: cmake --preset dev failed, see $logdir/configure.log" >&2
  exit 1
fi

ids=()
outcomes=()
notes=()
descriptions=()
files=()
caught=0
survived=0
invalid=0
total_lines=$(wc -l <"$faults")
last=$(tail -c1 "$faults" | od -An -c | tr -d ' ')
[ "$last" = '\n' ] || total_lines=$((total_lines + 1))

for ((k = 1; k <= total_lines; k++)); do
  id=$(field "$k" 1)
  case "$id" in '' | '#'*) continue ;; esac
  file=$(field "$k" 2)
  desc=$(field "$k" 5)
  ids+=("$id")
  files+=("$file")
  descriptions+=("$desc")
  note=""

  if [ -n "$(git -C "$repo" status --porcelain -- "$file" 2>/dev/null)" ]; then
    outcomes+=("invalid")
    notes+=("$file has local changes; not touched")
    invalid=$((invalid + 1))
    echo "$id: invalid ($file has local changes)"
    continue
  fi
  if ! why=$(apply_fault "$k"); then
    outcomes+=("invalid")
    notes+=("$why")
    invalid=$((invalid + 1))
    echo "$id: invalid ($why)"
    continue
  fi
  current_file=$file

  echo "$id: building"
  if ! (cd "$repo" && nice cmake --build --preset dev -j2 >"$logdir/$id.build.log" 2>&1); then
    restore
    outcomes+=("invalid")
    notes+=("does not build")
    invalid=$((invalid + 1))
    echo "$id: invalid (does not build)"
    continue
  fi
  if grep -q 'warning:' "$logdir/$id.build.log"; then
    note="warn: builds with warnings; "
  fi

  echo "$id: testing"
  (cd "$repo" && timeout "$suite_timeout" nice ctest --preset quick -j2 --timeout "$ctest_timeout" \
    >"$logdir/$id.test.log" 2>&1)
  rc=$?
  restore
  if [ "$rc" -eq 0 ]; then
    outcomes+=("survived")
    survived=$((survived + 1))
  else
    failed=$(sed -n '/The following tests FAILED:/,$p' "$logdir/$id.test.log" |
      sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' | paste -sd, -)
    [ "$rc" -eq 124 ] && failed="${failed:+$failed, }suite timed out"
    outcomes+=("caught")
    note="$note${failed:-ctest exit $rc}"
    caught=$((caught + 1))
  fi
  notes+=("$note")
  echo "$id: ${outcomes[-1]}${note:+ ($note)}"
done

# Leave the build matching the restored sources.
(cd "$repo" && nice cmake --build --preset dev -j2 >"$logdir/final.build.log" 2>&1) ||
  echo "$0: final rebuild of the restored sources failed, see $logdir/final.build.log" >&2

valid=$((caught + survived))
report() {
  printf '%-5s %-9s %-26s %s\n' "id" "result" "file" "failed tests / notes | what a player notices"
  for ((n = 0; n < ${#ids[@]}; n++)); do
    printf '%-5s %-9s %-26s %s | %s\n' "${ids[n]}" "${outcomes[n]}" "${files[n]}" "${notes[n]:--}" \
      "${descriptions[n]}"
  done
  echo
  echo "caught $caught of $valid"
  echo "(survived $survived, invalid $invalid, faults listed ${#ids[@]})"
}

if [ -n "$results" ]; then
  report | tee "$results"
else
  report
fi
echo "logs: $logdir"
