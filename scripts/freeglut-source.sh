# SPDX-License-Identifier: MIT
# fetch_freeglut BUILD: unpacks freeglut's upstream source, the original
# tarball of Debian's source package, into BUILD/src and sets freeglut_src to
# its folder. Sourced by the scripts of the builds that need it (the Windows
# build links freeglut in; the browser build takes its font from it), not run;
# they define die.
#
# The source comes from the Debian archive through an apt configuration of
# its own (a deb-src line for the system's Debian archive and release, lists
# and cache under BUILD/apt), so the system's apt sources stay as they are.
# Debian's own patches are for its Linux packages; the tarball alone is all
# the other builds need, and apt checks it against the archive's signed
# index.
fetch_freeglut() {
  local build=$1 apt="$1/apt" codename uri keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  uri=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' |
    awk -v release="$codename" '$2 == release { print $1; exit }')
  [ -n "$uri" ] || die "no Debian archive for the release '$codename' among the system's apt sources"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d"
  [ -f "$keyring" ] || keyring=""
  echo "deb-src ${keyring:+[signed-by=$keyring] }$uri $codename main" >"$apt/sources.list"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User="$(id -un)")
  echo "== freeglut's source from $uri $codename"
  apt-get "${options[@]}" -qq update
  rm -rf "$build/src"
  mkdir -p "$build/src"
  (cd "$build/src" && apt-get "${options[@]}" -qq source --tar-only freeglut >/dev/null)
  local tarball
  tarball=$(find "$build/src" -maxdepth 1 -name 'freeglut_*.orig.tar.*' | head -n 1)
  [ -n "$tarball" ] || die "apt-get source freeglut fetched no original tarball into $build/src"
  tar -xf "$tarball" -C "$build/src"
  freeglut_src=$(find "$build/src" -mindepth 1 -maxdepth 1 -type d -name 'freeglut-*' | head -n 1)
  [ -n "$freeglut_src" ] || die "$tarball: holds no freeglut-* folder"
}
