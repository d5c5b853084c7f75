#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The checks that stand before a package or a release (scripts/versions.sh,
# scripts/release.sh): this tree's three versions agree, and each way a new
# version can be left half made stops with one line that names the file, as
# HACKING.md's "Making a new version" promises. Each case runs on a copy of
# the files in a scratch git repository, never on this tree.
# Usage: release_checks.sh PROJECT-FOLDER
set -u
project=$(cd "$1" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dewgatherer-release.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
check() {
  if [ "$1" = yes ]; then
    passed=$((passed + 1))
    echo "PASS: $2"
  else
    failed=$((failed + 1))
    echo "FAIL: $2"
  fi
}
metainfo=packaging/org.dewgatherer.dewgatherer.metainfo.xml

# A scratch repository with this tree's version files and scripts, committed.
fresh() {
  rm -rf "$scratch/tree"
  mkdir -p "$scratch/tree/debian" "$scratch/tree/packaging" "$scratch/tree/scripts"
  cp "$project/CMakeLists.txt" "$scratch/tree/"
  cp "$project/debian/changelog" "$scratch/tree/debian/"
  cp "$project/$metainfo" "$scratch/tree/packaging/"
  cp "$project/scripts/versions.sh" "$project/scripts/release.sh" "$scratch/tree/scripts/"
  git -C "$scratch/tree" init -q
  git -C "$scratch/tree" add -A
  git -C "$scratch/tree" -c user.name=t -c user.email=t@t commit -qm t
}

# stops NAME CHECK PATTERN: CHECK (a shell command in the scratch tree)
# fails with one line on stderr that matches PATTERN.
stops() {
  local said status
  said=$(cd "$scratch/tree" && bash -c "$2" 2>&1 >/dev/null)
  status=$?
  if [ "$status" -ne 0 ] && [ "$(wc -l <<<"$said")" = 1 ] && grep -Eq -- "$3" <<<"$said"; then
    check yes "$1: $said"
  else
    check no "$1: status $status, said: $said"
  fi
}
versions='. scripts/versions.sh && check_versions t'
raise='s/^project(Dewgatherer VERSION [0-9.]*/project(Dewgatherer VERSION 9.8.7/'

fresh
if (cd "$scratch/tree" && bash -c "$versions && . scripts/versions.sh && check_released t"); then
  check yes "this tree: CMakeLists.txt, debian/changelog and the AppStream metadata give $(cd "$project" && dpkg-parsechangelog -S Version), released"
else
  check no "this tree's versions disagree or are unreleased"
fi

fresh
sed -i "$raise" "$scratch/tree/CMakeLists.txt"
stops "a version raised in CMakeLists.txt alone" "$versions" \
  "^t: CMakeLists.txt's version is 9\.8\.7, but debian/changelog's .* and $metainfo's .*"

fresh
(cd "$scratch/tree" && sed -i "$raise" CMakeLists.txt &&
  sed -i '1s/([^)]*)/(9.8.7)/' debian/changelog)
stops "a new entry without its AppStream release" "$versions" "^t: .*$metainfo's newest <release> is [0-9.]+ "

fresh
(cd "$scratch/tree" && sed -i '0,/<release version="[^"]*" date="[^"]*"/s//<release version="'"$(dpkg-parsechangelog -S Version)"'" date="1999-01-01"/' "$metainfo")
stops "an AppStream release dated off its entry" "$versions" "^t: $metainfo: .* dated 1999-01-01, .*entry [0-9-]+"

fresh
sed -i '1s/) [a-z-]*;/) UNRELEASED;/' "$scratch/tree/debian/changelog"
stops "an entry still UNRELEASED" ". scripts/versions.sh && check_released t" "^t: debian/changelog: .* still UNRELEASED; release it with: dch --release"

# release.sh checks before it installs or builds anything.
fresh
echo "more" >>"$scratch/tree/debian/changelog"
stops "release.sh on uncommitted changes" "bash scripts/release.sh" "^release\.sh: the tree has uncommitted changes \(debian/changelog\); commit them first$"
fresh
sed -i '1s/) [a-z-]*;/) UNRELEASED;/' "$scratch/tree/debian/changelog"
git -C "$scratch/tree" -c user.name=t -c user.email=t@t commit -qam unreleased
stops "release.sh on an UNRELEASED entry" "bash scripts/release.sh" "^release\.sh: debian/changelog: .* still UNRELEASED"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
