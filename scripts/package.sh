#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game's Debian package with Debian's hardening flags and checks
# it: lintian must report no error and no warning, and the desktop entry and
# the AppStream metadata must validate. The package is written into the build
# folder; its path is the last line printed. Every time stamp in it is the
# last commit's (SOURCE_DATE_EPOCH), so two builds of one commit, in any build
# folders, give byte-identical files.
# Usage: scripts/package.sh [build-folder]   (default: build-deb)
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022

build=$(realpath -m "${1:-build-deb}")
# Outside a git checkout (a source tarball, a machine without git) the date
# of the latest change log entry stands in for the last commit's.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
    SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
fi
export SOURCE_DATE_EPOCH
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
maintainer=$(dpkg-parsechangelog -l packaging/changelog -S Maintainer)
project_version=$(sed -n 's/^project(Dewgatherer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ "$version" != "$project_version" ]; then
  echo "package.sh: packaging/changelog: its latest entry is $version, the project is $project_version; add an entry" >&2
  exit 1
fi

# The flags Debian builds its packages with (fortify, stack protector, relro
# and bind-now); the game's own -ffp-contract=off comes after them. The build
# folder's name is mapped away too, so that it is in no file of the package.
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) -DNDEBUG -ffile-prefix-map=$build=."
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr -DDEW_DEBIAN_LAYOUT=ON \
  -DDEW_BUILD_TESTS=OFF -DDEW_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)"

# The package's tree is laid out where dpkg-shlibdeps looks for it.
root="$build/package/debian/dewgatherer"
rm -rf "$build/package"
DESTDIR="$root" cmake --install "$build" >/dev/null
program="$root/usr/libexec/dewgatherer/dewgatherer"
strip --remove-section=.comment --remove-section=.note "$program"

# The libraries the program links, with the versions this release of Debian
# ships, as dpkg-shlibdeps finds them.
mkdir -p "$root/DEBIAN"
: >"$build/package/debian/control"  # dpkg-shlibdeps reads it, even empty
depends=$(cd "$build/package" && dpkg-shlibdeps -O "-e${program#"$build/package/"}")
depends=${depends#shlibs:Depends=}

(cd "$root" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$root/DEBIAN/md5sums"
size=$(du -s -k --apparent-size "$root/usr" | cut -f1)
cat >"$root/DEBIAN/control" <<CONTROL
Package: dewgatherer
Version: $version
Architecture: $(dpkg --print-architecture)
Maintainer: $maintainer
Installed-Size: $size
Depends: $depends
Section: games
Priority: optional
Homepage: https://dewgatherer.org/
Description: first-person 3-D maze game: catch the droplets, escape the maze
 Dewgatherer is a small first-person 3-D maze game. A flock of birds flies
 over a random maze and lets magic droplets fall; catch 30 of them to open
 a portal in the outer wall and escape. Keyboard only: arrows walk and turn,
 Enter confirms and shows the map, Space shoots, Escape quits.
CONTROL
find "$root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
deb="$build/dewgatherer_${version}_$(dpkg --print-architecture).deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null

desktop-file-validate "$root/usr/share/applications/dewgatherer.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.dewgatherer.dewgatherer.metainfo.xml"
# Every tag is shown, down to the pedantic ones; errors and warnings fail.
lintian --info --display-info --pedantic --fail-on error,warning "$deb"
echo "lintian: no errors, no warnings"
echo "$deb"
