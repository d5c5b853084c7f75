#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game's Debian source and binary packages with dpkg-buildpackage
# (the package build runs the test suite) and checks them: lintian must
# report no error and no warning on the .changes, the desktop entry and the
# AppStream metadata must validate, a second build in another folder, without
# the tests, must give byte-identical .deb files, and the package's
# autopkgtest must pass on this machine, which installs the package (as
# root, or through sudo). The system is left as it was: the package is
# removed again, unless a dewgatherer package was installed before, which
# this build's then replaces.
#
# With --build-only, one build without the tests (DEB_BUILD_OPTIONS=nocheck),
# its validation and lintian, but no second build and no autopkgtest: for a
# tree whose tests have passed (scripts/test.sh).
#
# dpkg-buildpackage writes beside the source tree, so each build works on a
# copy of the tree (without .git and build folders) under FOLDER/src or
# FOLDER/again; the packages are in FOLDER/src, and the last line printed is
# the path of the game's .deb.
# Usage: scripts/package.sh [--build-only] [FOLDER]   (default: build-deb)
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022

me=$(basename "$0")
build_only=no
folder=build-deb
for arg in "$@"; do
  case "$arg" in
    --build-only) build_only=yes ;;
    -*) echo "usage: $me [--build-only] [FOLDER]" >&2; exit 2 ;;
    *) folder=$arg ;;
  esac
done

# shellcheck source=versions.sh
. scripts/versions.sh
check_versions "$me"
out=$(realpath -m "$folder")
version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg --print-architecture)
debs=("$out/src/dewgatherer_${version}_$arch.deb" "$out/src/dewgatherer-dbgsym_${version}_$arch.deb")

# build FOLDER [DEB_BUILD_OPTIONS]: the packages of a fresh copy of the tree.
build() {
  local tree="$out/$1/dewgatherer-$version"
  rm -rf "${out:?}/$1"
  mkdir -p "$tree"
  tar -c --exclude-vcs --exclude='./build*' --exclude='./obj-*' . | tar -x -C "$tree"
  echo "== dpkg-buildpackage in $tree ${2:+(DEB_BUILD_OPTIONS=$2)}"
  (cd "$tree" && DEB_BUILD_OPTIONS="${2:-} parallel=2" dpkg-buildpackage -us -uc)
}

# reproducible: a second build, without the tests, gives the same packages.
reproducible() {
  local deb
  build again nocheck
  for deb in "${debs[@]}"; do
    cmp "$deb" "$out/again/${deb##*/}"
  done
  echo "reproducible: both builds give the same $(basename -a "${debs[@]}" | tr '\n' ' ')"
}

# validate: the desktop entry and the AppStream metadata of the package, and
# lintian, which shows every tag, down to the pedantic and experimental ones;
# errors and warnings fail.
validate() {
  local tree="$out/installed"
  rm -rf "$tree"
  dpkg-deb -x "${debs[0]}" "$tree"
  desktop-file-validate "$tree/usr/share/applications/dewgatherer.desktop"
  appstreamcli validate --no-net "$tree/usr/share/metainfo/org.dewgatherer.dewgatherer.metainfo.xml"
  lintian --pedantic --display-info --display-experimental --fail-on error,warning \
    "$out/src/dewgatherer_${version}_$arch.changes"
  echo "lintian: no errors, no warnings"
}

# The installed version of the game's package, empty when it is not
# installed.
installed_version() {
  { dpkg-query -W -f='${db:Status-Status} ${Version}\n' dewgatherer 2>/dev/null || true; } |
    sed -n 's/^installed //p'
}

# autopkgtest installs the package (the test's other packages are among the
# Build-Depends, which dpkg-buildpackage found installed) with apt, which
# waits for a lock held by another apt instead of failing.
run_autopkgtest() {
  echo 'DPkg::Lock::Timeout "600";' >"$out/apt.conf"
  earlier=$(installed_version)
  trap 'restore_system failed' EXIT
  "${sudo[@]}" env APT_CONFIG="$out/apt.conf" autopkgtest "${debs[0]}" "$out/src/dewgatherer-$version" -- null
  trap - EXIT
  restore_system passed
}

# restore_system passed|failed: removes the package that autopkgtest
# installed, also when it failed, unless a dewgatherer package was installed
# before; then says which one is installed now.
restore_system() {
  local now
  now=$(installed_version)
  if [ -z "$earlier" ]; then
    dpkg-query -W -f='${db:Status-Abbrev}' dewgatherer 2>/dev/null | grep -qv '^un' || return 0
    "${sudo[@]}" env APT_CONFIG="$out/apt.conf" DEBIAN_FRONTEND=noninteractive \
      apt-get purge -y -qq dewgatherer >/dev/null
    echo "$me: removed the dewgatherer package that autopkgtest installed on this system"
  elif [ "$1" = passed ]; then
    echo "$me: this build's dewgatherer $version is now installed on this system in place of $earlier, which was installed before"
  elif [ "$now" = "$earlier" ]; then
    echo "$me: dewgatherer $earlier, which was installed before, is still installed on this system"
  else
    echo "$me: dewgatherer ${now:-(none)} is now installed on this system in place of $earlier, which was installed before"
  fi
}

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ "$build_only" = yes ]; then
  build src nocheck
  validate
else
  build src
  reproducible
  validate
  run_autopkgtest
fi
echo "${debs[0]}"
