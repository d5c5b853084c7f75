# SPDX-License-Identifier: MIT
# The version, and the checks that it is ready to build or to release, for
# the scripts that make packages and downloads (scripts/package.sh,
# scripts/release.sh, scripts/player-zips.sh). Sourced, not run, from the
# project folder.
#
# The version is written in three places: project() in CMakeLists.txt, the
# newest entry of debian/changelog and the newest <release> of the AppStream
# metadata. Each check prints one line on stderr and exits 1 when it fails.

versions_metainfo=packaging/org.dewgatherer.dewgatherer.metainfo.xml

# versions_fail ME MESSAGE: the one line, and the end of the script.
versions_fail() {
  echo "$1: $2 (see HACKING.md, \"Making a new version\")" >&2
  exit 1
}

# versions_release_attribute NAME: the attribute NAME of the metainfo's
# newest <release>, the first in <releases> (AppStream lists the newest
# first); empty when there is none.
versions_release_attribute() {
  { tr '\n' ' ' <"$versions_metainfo" | grep -o '<release[[:space:]][^>]*>' || true; } |
    sed -n "1s/.*[[:space:]]$1=\"\([^\"]*\)\".*/\1/p"
}

# project_version: the version in CMakeLists.txt's project(); empty when it
# names none.
project_version() {
  sed -n 's/^project(Dewgatherer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt
}

# check_versions ME: CMakeLists.txt, debian/changelog and the metainfo give
# the same version, and the metainfo's release the change log entry's date.
check_versions() {
  local project changelog release differ=() date entry_date
  [ -f "$versions_metainfo" ] || versions_fail "$1" "$versions_metainfo: no such file"
  project=$(project_version)
  [ -n "$project" ] || versions_fail "$1" "CMakeLists.txt: no version in project(Dewgatherer VERSION x.y.z ...)"
  # The package is native, so its whole version is the game's; without an
  # epoch and a Debian revision, should it ever get them.
  changelog=$(dpkg-parsechangelog -S Version)
  changelog=${changelog#*:}
  changelog=${changelog%-*}
  release=$(versions_release_attribute version)
  [ "$changelog" = "$project" ] ||
    differ+=("debian/changelog's newest entry is $changelog")
  [ "$release" = "$project" ] ||
    differ+=("$versions_metainfo's newest <release> is ${release:-missing}")
  if [ "${#differ[@]}" -gt 0 ]; then
    versions_fail "$1" "CMakeLists.txt's version is $project, but $(versions_join "${differ[@]}")"
  fi
  date=$(versions_release_attribute date)
  entry_date=$(date -u -d "$(dpkg-parsechangelog -S Date)" +%F)
  [ "$date" = "$entry_date" ] ||
    versions_fail "$1" "$versions_metainfo: the <release> of $release is dated ${date:-nowhere}, its debian/changelog entry $entry_date; give it the entry's date"
}

# versions_join ITEM...: the items joined by "and".
versions_join() {
  local joined=$1 item
  shift
  for item in "$@"; do joined+=" and $item"; done
  echo "$joined"
}

# check_released ME: the newest change log entry is released, not UNRELEASED.
check_released() {
  local distribution
  distribution=$(dpkg-parsechangelog -S Distribution)
  [ "$distribution" != UNRELEASED ] ||
    versions_fail "$1" "debian/changelog: the newest entry ($(dpkg-parsechangelog -S Version)) is still UNRELEASED; release it with: dch --release \"\""
}
