# SPDX-License-Identifier: MIT
# fetch_source BUILD PACKAGE: unpacks the upstream source of a library, the
# original tarball of Debian's source package PACKAGE, into BUILD/src/PACKAGE
# and sets source_dir to its folder. Sourced by the scripts of the builds
# that need one (the Windows and portable Linux builds link freeglut in, the
# latter GLU too; the browser build takes freeglut's font), not run; they
# define die.
#
# The source comes from the Debian archive through an apt configuration of
# its own (a deb-src line for the system's Debian archive and release, lists
# and cache under BUILD/apt), so the system's apt sources stay as they are.
# Debian's own patches are for its Linux packages; the tarball alone is all
# our builds need, and apt checks it against the archive's signed index.
fetch_source() {
  local build=$1 package=$2 apt="$1/apt" codename uri keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  uri=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' |
    awk -v release="$codename" '$2 == release { print $1; exit }')
  [ -n "$uri" ] || die "no Debian archive for the release '$codename' among the system's apt sources"
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
