# SPDX-License-Identifier: MIT
# Libraries from Debian's sources, for the builds that need one (the Windows
# and portable Linux builds link freeglut in, the latter GLU too; the browser
# build takes freeglut's font). Sourced from the project folder, not run; the
# scripts that source it define die.
#
# fetch_source BUILD PACKAGE: unpacks the upstream source of a library, the
# original tarball of Debian's source package PACKAGE, into BUILD/src/PACKAGE
# and sets source_dir to its folder.
#
# The source comes from the Debian archive through an apt configuration of
# its own (a deb-src line for the system's Debian archive and release, lists
# and cache under BUILD/apt), so the system's apt sources stay as they are.
# Debian's own patches are for its Linux packages; the tarball alone is all
# our builds need, and apt checks it against the archive's signed index.

# debian_archive: sets archive_uri and archive_release to the system's
# Debian archive, the repository of the system's own release among its apt
# sources.
debian_archive() {
  archive_release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$archive_release" ] || die "/etc/os-release names no release (VERSION_CODENAME)"
  archive_uri=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' |
    awk -v release="$archive_release" '$2 == release { print $1; exit }')
  [ -n "$archive_uri" ] || die "no Debian archive for the release '$archive_release' among the system's apt sources"
}

fetch_source() {
  local build=$1 package=$2 apt="$1/apt" keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  debian_archive
  local uri=$archive_uri codename=$archive_release
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d"
  [ -f "$keyring" ] || keyring=""
  echo "deb-src ${keyring:+[signed-by=$keyring] }$uri $codename main" >"$apt/sources.list"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User="$(id -un)")
  echo "== $package's source from $uri $codename"
  apt-get "${options[@]}" -qq update
  local into="$build/src/$package" tarball
  rm -rf "$into"
  mkdir -p "$into"
  (cd "$into" && apt-get "${options[@]}" -qq source --tar-only "$package" >/dev/null)
  tarball=$(find "$into" -maxdepth 1 -name "${package}_*.orig.tar.*" | head -n 1)
  [ -n "$tarball" ] || die "apt-get source $package fetched no original tarball into $into"
  tar -xf "$tarball" -C "$into"
  source_dir=$(find "$into" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  [ -n "$source_dir" ] || die "$tarball: holds no folder"
}

# build_static_freeglut SOURCE BUILD PREFIX [CMAKE-OPTIONS...]: freeglut from
# its unpacked SOURCE as a static library, built in BUILD/freeglut-build and
# installed into PREFIX with its licence as PREFIX/freeglut-COPYING.txt. Its
# compiler warnings (freeglut's own) are kept in a log that a failure shows.
# freeglut is another project, with options of its own, so it has no preset
# of ours.
build_static_freeglut() {
  local source=$1 build="$2/freeglut-build" prefix=$3 log=$2/freeglut-build.log
  shift 3
  cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_FLAGS="-ffile-prefix-map=$PWD=." -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
    -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_REPLACE_GLUT=ON "$@" >"$log" 2>&1 &&
    cmake --build "$build" -j"$(nproc)" >>"$log" 2>&1 &&
    cmake --install "$build" >>"$log" 2>&1 ||
    die "freeglut did not build: $(tail -n 20 "$log")"
  cp "$source/COPYING" "$prefix/freeglut-COPYING.txt"
}
