# SPDX-License-Identifier: MIT
# What the scripts that make a player's zip share (scripts/windows.sh,
# scripts/web.sh): the version, the date every file carries, a build by one
# of the project's presets and the zip itself. Sourced, not run.
#
# Every file in a zip is dated from SOURCE_DATE_EPOCH (the last commit's) and
# its entries are sorted, so two builds of one commit, in any build folders,
# give the same zip byte for byte.

release_version=$(sed -n 's/^project(Dewgatherer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
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

# release_pack BUILD KIND CHECK: installs the game built in BUILD/game into
# the folder dewgatherer-VERSION-KIND, runs "CHECK FOLDER" on it, packs it
# into BUILD/dewgatherer-VERSION-KIND.zip and prints the zip's path. The zip
# holds that one folder, laid out by the game's install rules.
release_pack() {
  local name="dewgatherer-$release_version-$2" zip="$1/dewgatherer-$release_version-$2.zip"
  rm -rf "$1/stage"
  cmake --install "$1/game" --prefix "$1/stage/$name" >/dev/null
  "$3" "$1/stage/$name"
  release_zip "$1/stage" "$name" "$zip"
  echo "$zip"
}
