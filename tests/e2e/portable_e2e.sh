# SPDX-License-Identifier: MIT
# The portable Linux part of the end-to-end test, sourced by game_e2e.sh
# --portable once its X server runs: the tarball unpacked where a player
# would have it, and the functions that start its launcher from another
# folder at the seed's time. With a private root given (a minimal Debian
# made by scripts/player-root.sh, with only the C library, libGL and the X11
# client libraries), the game runs in it, entered by chroot, and reaches
# this X server through its abstract socket (shared with the root, which
# has no network of its own); else it runs on this system.
# Once this has run, folder() and run() make and start a copy of the
# unpacked folder.

if [ "$root" = none ]; then
  place=$E2E_TMP/portable
  inside=$place
  echo "NOTE: the tarball's session runs on this machine's own system (no private root given)"
else
  [ -d "$root/etc" ] || e2e_die "$root: no root file system there"
  [ "$(id -u)" = 0 ] || e2e_die "$root: entering a private root takes root (chroot)"
  place=$(mktemp -d "$root/tmp/dewgatherer-e2e.XXXXXX")
  inside=${place#"$root"}
  trap 'rm -rf "$place"; e2e_cleanup' EXIT
  echo "NOTE: the tarball's session runs in the private root $root ($(. "$root/etc/os-release" && echo "$PRETTY_NAME"))"
  found=$(chroot "$root" sh -c 'ldconfig -p | grep -oE "lib(glut|GLU)[^ ]*"; for t in cc gcc g++ c++; do command -v $t; done' |
    sort -u | tr '\n' ' ')
  [ -z "$found" ] || e2e_die "$root: holds ${found% }, which the tarball must do without"
fi
mkdir -p "$place"
name=$(basename "$tarball" .tar.gz)
tar -xzf "$tarball" -C "$place" || e2e_die "$tarball: cannot unpack it"
[ -x "$place/$name/dewgatherer" ] || e2e_die "$tarball: holds no $name/dewgatherer"
cp "$preload" "$place/libfixedclock.so"

# portable_folder NAME: a copy of the unpacked folder, seen as $E2E_TMP/NAME.
portable_folder() {
  cp -a "$place/$name" "$place/$1"
  ln -s "$place/$1" "$E2E_TMP/$1"
}

# portable_run NAME: the launcher of the copy NAME, started from the root
# folder, with only the environment a desktop session gives it.
portable_run() {
  local command=(env -i PATH=/usr/bin:/bin HOME=/ DISPLAY="$DISPLAY" LD_PRELOAD="$inside/libfixedclock.so"
    DEW_TIME="$seed" "$inside/$1/dewgatherer")
  [ "$root" = none ] || command=(chroot "$root" "${command[@]}")
  (cd / && exec "${command[@]}") 2>"$E2E_TMP/$1.err" &
  gamepid=$!
}
