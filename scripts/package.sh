#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game's Debian source and binary packages with dpkg-buildpackage
# (the package build runs the test suite) and checks them: lintian must
# report no error and no warning on the .changes, the desktop entry and the
# AppStream metadata must validate, a second build in another folder, without
# the tests, must give byte-identical .deb files, and the package's
# autopkgtest must pass on this machine, which installs the package (as
# root, or through sudo).
#
# dpkg-buildpackage writes beside the source tree, so each build works on a
# copy of the tree (without .git and build folders) under FOLDER/src or
# FOLDER/again; the packages are in FOLDER/src.
# Usage: scripts/package.sh [FOLDER]   (default: build-deb)
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022

out=$(realpath -m "${1:-build-deb}")
version=$(dpkg-parsechangelog -S Version)
project_version=$(sed -n 's/^project(Dewgatherer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ "$version" != "$project_version" ]; then
  echo "package.sh: debian/changelog: its latest entry is $version, the project is $project_version; add an entry" >&2
  exit 1
fi
arch=$(dpkg --print-architecture)

# build FOLDER [DEB_BUILD_OPTIONS]: the packages of a fresh copy of the tree.
build() {
  local tree="$out/$1/dewgatherer-$version"
  rm -rf "${out:?}/$1"
  mkdir -p "$tree"
  tar -c --exclude-vcs --exclude='./build*' --exclude='./obj-*' . | tar -x -C "$tree"
  echo "== dpkg-buildpackage in $tree ${2:+(DEB_BUILD_OPTIONS=$2)}"
  (cd "$tree" && DEB_BUILD_OPTIONS="${2:-} parallel=2" dpkg-buildpackage -us -uc)
}
build src
build again nocheck

debs=("$out/src/dewgatherer_${version}_$arch.deb" "$out/src/dewgatherer-dbgsym_${version}_$arch.deb")
for deb in "${debs[@]}"; do
  cmp "$deb" "$out/again/${deb##*/}"
done
echo "reproducible: both builds give the same $(basename -a "${debs[@]}" | tr '\n' ' ')"

tree="$out/installed"
rm -rf "$tree"
dpkg-deb -x "${debs[0]}" "$tree"
desktop-file-validate "$tree/usr/share/applications/dewgatherer.desktop"
appstreamcli validate --no-net "$tree/usr/share/metainfo/org.dewgatherer.dewgatherer.metainfo.xml"

# Every tag is shown, down to the pedantic and experimental ones; errors and
# warnings fail.
lintian --pedantic --display-info --display-experimental --fail-on error,warning \
  "$out/src/dewgatherer_${version}_$arch.changes"
echo "lintian: no errors, no warnings"

# autopkgtest installs the package and the test's packages with apt, which
# waits for a lock held by another apt instead of failing.
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo 'DPkg::Lock::Timeout "600";' >"$out/apt.conf"
"${sudo[@]}" env APT_CONFIG="$out/apt.conf" autopkgtest "${debs[0]}" "$out/src/dewgatherer-$version" -- null
echo "${debs[0]}"
