# SPDX-License-Identifier: MIT
# What the scripts that make a player's download share (scripts/windows.sh,
# scripts/web.sh, scripts/linux.sh): the version, the date every file
# carries, a build by one of the project's presets and the zip or tarball
# itself. Sourced, not run.
#
# Every file in a zip or tarball is dated from SOURCE_DATE_EPOCH (the last
# commit's) and its entries are sorted (a tarball's owned by root), so two
# builds of one commit, in any build folders, give the same archive byte for
# byte.

# shellcheck source=versions.sh
. scripts/versions.sh
release_version=$(project_version)
# Without git (or its history), the date of the latest change log entry
# stands in for the last commit's.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
    SOURCE_DATE_EPOCH=$(date -d "$(sed -n 's/^ -- .*>  //p' debian/changelog | head -n 1)" +%s)
fi

# release_build PRESET: configures and builds one of the project's presets.
release_build() {
  echo "== $(cmake --list-presets | sed -n "s/^ *\"$1\" *- //p")"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j"$(nproc)"
}

# release_zip STAGE NAME ZIP: packs the folder STAGE/NAME into ZIP.
release_zip() {
  rm -f "$3"
  find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  (cd "$1" && find "$2" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q -9 "$3" -@)
}

# release_tar STAGE NAME TARBALL: packs the folder STAGE/NAME into TARBALL
# (.tar.gz), keeping the files' modes.
release_tar() {
  (cd "$1" && TZ=UTC tar -c --format=gnu --sort=name --owner=0 --group=0 --numeric-owner \
    --mtime="@$SOURCE_DATE_EPOCH" "$2") | gzip -9n >"$3"
}

# release_pack BUILD KIND CHECK [tar.gz]: installs the game built in
# BUILD/game into the folder dewgatherer-VERSION-KIND, runs "CHECK FOLDER" on
# it, packs it into BUILD/dewgatherer-VERSION-KIND.zip (or .tar.gz) and
# prints the archive's path. The archive holds that one folder, laid out by
# the game's install rules.
release_pack() {
  local name="dewgatherer-$release_version-$2" format=${4:-zip}
  local archive="$1/$name.$format"
  rm -rf "$1/stage"
  cmake --install "$1/game" --prefix "$1/stage/$name" >/dev/null
  "$3" "$1/stage/$name"
  if [ "$format" = zip ]; then
    release_zip "$1/stage" "$name" "$archive"
  else
    release_tar "$1/stage" "$name" "$archive"
  fi
  echo "$archive"
}
