#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds every download of the current version from a clean copy of the
# last commit and gathers them in build-release/VERSION/: the portable Linux
# tarball, the Debian binary package and source package, the Windows zip
# and the browser zip, with the release's notes (the newest debian/changelog
# entry) and SHA256SUMS, which `sha256sum -c SHA256SUMS` checks there. The
# folder is the last line printed.
#
# It stops with one line when the tree has uncommitted changes, when the
# version in CMakeLists.txt, debian/changelog and the AppStream metadata
# differ, or when the newest change log entry is still UNRELEASED. Every
# file of the release is dated from that entry, and each build is
# reproducible, so two runs on one commit give the same files byte for byte.
#
# Run scripts/test.sh first: this builds and checks each download (lintian
# judges the Debian package), but does not play them again.
# Usage: scripts/release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022
me=release.sh

die() {
  echo "$me: $*" >&2
  exit 1
}

git rev-parse --verify -q HEAD >/dev/null || die "$PWD is not a git checkout with a commit; a release is made from one"
changes=$(git status --porcelain | sed 's/^...//')
if [ -n "$changes" ]; then
  count=$(wc -l <<<"$changes")
  more=""
  [ "$count" -le 3 ] || more=" and $((count - 3)) more"
  die "the tree has uncommitted changes ($(head -n 3 <<<"$changes" | paste -sd ' ')$more); commit them first"
fi
# shellcheck source=versions.sh
. scripts/versions.sh
check_versions "$me"
check_released "$me"
bash scripts/deps.sh --test

version=$(dpkg-parsechangelog -S Version)
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -S Timestamp)
export SOURCE_DATE_EPOCH
out=$PWD/build-release/$version
copy=$PWD/build-release/tree
rm -rf "$copy" "$out"
mkdir -p "$copy" "$out"
echo "== the last commit, $(git log -1 --format='%h %s' | cut -c 1-72), into $copy"
git archive HEAD | tar -x -C "$copy"

# build SCRIPT [ARGS...]: runs one of the copy's build scripts, its output
# shown, and prints the path it ends with.
build() {
  (cd "$copy" && bash "$@") | tee "$copy.log" >&2
  tail -n 1 "$copy.log"
}
tarball=$(build scripts/linux.sh)
deb=$(build scripts/package.sh --build-only "$copy/build-deb")
winzip=$(build scripts/windows.sh)
webzip=$(build scripts/web.sh)
source_files=("$(dirname "$deb")/dewgatherer_$version.dsc" "$(dirname "$deb")/dewgatherer_$version.tar.xz")
cp "$tarball" "$deb" "${source_files[@]}" "$winzip" "$webzip" "$out/"

# The notes: the change log entry, then what each download is for.
{
  echo "Dewgatherer $version, released $(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)"
  echo
  # (The entry's text follows its heading and a "." line; "." lines stand
  # for blank ones.)
  dpkg-parsechangelog -S Changes | sed '1,/^\.$/d; s/^\.$//'
  echo
  cat <<NOTES
Downloads
  $(basename "$tarball")  any 64-bit Linux with X11 or XWayland:
      unpack it and run dewgatherer in its folder
  $(basename "$deb")  Debian 12 or 13 and their derivatives:
      sudo apt install ./$(basename "$deb"), then start dewgatherer
  $(basename "$winzip")  64-bit Windows: unzip it and double-click dewgatherer.exe
  $(basename "$webzip")  the browser (macOS, Chromebooks, anywhere):
      unzip it and serve its folder from any web server
  dewgatherer_$version.dsc, dewgatherer_$version.tar.xz  the Debian source package
Check them with: sha256sum -c SHA256SUMS
NOTES
} >"$out/release-notes.txt"

(cd "$out" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS &&
  sha256sum --quiet -c SHA256SUMS) || die "$out/SHA256SUMS does not check"
find "$out" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
echo "== the release, $(du -sh "$out" | cut -f 1):"
(cd "$out" && ls -l --time-style=+ | tail -n +2)
echo "$out"
