#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes a minimal Debian 13 (trixie) root in which the portable Linux build
# is tried as a player gets it: debootstrap's minbase plus only Mesa's libGL
# with its software driver and the X11 client libraries, installed without
# recommends; no compiler, no freeglut, no GLU. The root's folder is the last
# line printed.
#
# The packages come from the Debian archive the system's apt sources use,
# asked for the trixie suite, whatever the system's own release (Debian 12 or
# 13); debootstrap checks trixie's Release against the system's
# debian-archive-keyring (Debian 12's verifies trixie: trixie is signed with
# bookworm's archive key as well as its own). The system's apt sources stay as
# they are.
#
# Everything mounted for debootstrap and for apt in the root lives in a
# private mount namespace that ends with them, so nothing stays mounted on
# the system, even on failure. debootstrap's and apt's output goes to
# FOLDER.log, whose tail is shown when they fail.
#
# A root is complete once FOLDER/.dewgatherer-root, written last, names its
# release and packages; such a root is reused. A half-made one (it holds
# FOLDER/.dewgatherer-root-partial, written first) or one made for other
# packages is removed and made again. A folder that holds anything else is
# left alone.
#
# Needs root (debootstrap, chroot) and the debootstrap package
# (scripts/deps.sh --linux); without them, or when the archive cannot be
# reached, it fails with one line on stderr.
# Usage: scripts/player-root.sh FOLDER
set -euo pipefail
umask 022
me=player-root.sh

release=trixie
packages=(libgl1 libgl1-mesa-dri libx11-6 libxi6 libxrandr2 libxxf86vm1)
libraries=(libGL.so.1 libX11.so.6 libXi.so.6 libXrandr.so.2 libXxf86vm.so.1)
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

die() {
  echo "$me: $*" >&2
  exit 1
}

if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $me FOLDER" >&2
  exit 2
fi
root=$(realpath -m "$1")
[ "$root" != / ] || die "/: will not make a root over the system's own"
log=$root.log
marker=$root/.dewgatherer-root
partial=$root/.dewgatherer-root-partial
stamp=$(printf 'release=%s\npackages=%s' "$release" "${packages[*]}")

# The system's Debian archive (debian_archive), asked for the root's release.
# shellcheck source=debian-source.sh
. "$(dirname "$0")/debian-source.sh"

# One line on stderr, and exit 1, unless the root can be made here.
require() {
  command -v debootstrap >/dev/null 2>&1 ||
    die "debootstrap is missing (bash scripts/deps.sh --linux installs it)"
  [ -f "$keyring" ] || die "$keyring is missing (the debian-archive-keyring package), so trixie cannot be verified"
  command -v wget >/dev/null 2>&1 || die "wget is missing (debootstrap needs it)"
  wget -q -T 20 -t 2 -O /dev/null "${uri%/}/dists/$release/InRelease" ||
    die "cannot reach the Debian archive $uri (its $release InRelease)"
}

# Whatever is mounted at or under the root (on the system, not in a
# namespace of ours); a root with mounts in it is never removed.
mounts_in_root() {
  findmnt -rn -o TARGET | awk -v root="$root" '$0 == root || index($0, root "/") == 1'
}

remove_root() {
  [ -z "$(mounts_in_root)" ] || die "$root: has something mounted in it ($(mounts_in_root | head -n 1)); unmount it first"
  rm -rf --one-file-system "$root"
}

# A mount namespace of its own, whose mounts are private to it. Where this
# system's root folder is no mount point (a chroot), its propagation cannot
# be changed; there the namespace keeps it, and what is mounted in it is
# unmounted again explicitly, so that nothing stays behind either way.
namespace=(unshare --mount --propagation private --)
unshare --mount --propagation private -- true 2>/dev/null || namespace=(unshare --mount --propagation unchanged --)

# Runs COMMAND... in the root with /proc, /sys and /dev mounted in a mount
# namespace of its own, in a clean environment, apt asking nothing.
in_root() {
  "${namespace[@]}" bash -euc '
    root=$1
    shift
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --rbind /dev "$root/dev"
    trap "umount -R \"$root/dev\" \"$root/sys\" \"$root/proc\"" EXIT
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C \
      DEBIAN_FRONTEND=noninteractive "$@"' bash "$root" "$@"
}

# Shows the log's tail and ends with one line saying what failed.
fail() {
  tail -n 20 "$log" >&2
  die "$*; the whole log is $log"
}

make_root() {
  echo "== a minimal Debian $release root in $root, from $uri (log: $log)"
  mkdir -p "$root"
  : >"$partial"
  : >"$log"
  # debootstrap mounts /proc and /sys in the root itself, and unmounts them
  # at its end; in a namespace of its own they cannot outlive it.
  "${namespace[@]}" debootstrap --variant=minbase --force-check-gpg --keyring="$keyring" \
    "$release" "$root" "$uri" >>"$log" 2>&1 || fail "debootstrap did not make the $release root in $root"
  echo "== Mesa's libGL and the X11 client libraries in it: ${packages[*]}"
  in_root apt-get -q update >>"$log" 2>&1 || fail "apt-get update failed in $root"
  in_root apt-get -q -y --no-install-recommends install "${packages[@]}" >>"$log" 2>&1 ||
    fail "apt-get could not install ${packages[*]} in $root"
  in_root apt-get clean >>"$log" 2>&1 || fail "apt-get clean failed in $root"
}

# A player's system: the graphics libraries and Mesa's software driver, and
# no compiler, freeglut or GLU.
check_root() {
  local found known lib
  found=$(cd "$root" && {
    find usr/bin usr/local/bin -maxdepth 1 \( -name cc -o -name c++ -o -name gcc -o -name g++ \
      -o -name 'gcc-[0-9]*' -o -name 'g++-[0-9]*' -o -name '*-linux-gnu-gcc*' -o -name '*-linux-gnu-g++*' \)
    find usr/lib usr/local/lib \( -name 'libglut*' -o -name 'libGLU*' \)
  } 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')
  [ -z "$found" ] || die "$root: holds what a player's system lacks: ${found% }"
  known=$(chroot "$root" /sbin/ldconfig -p | awk 'NR > 1 { print $1 }')
  for lib in "${libraries[@]}"; do
    grep -qxF "$lib" <<<"$known" || die "$root: its ldconfig knows no $lib"
  done
  [ -n "$(find "$root/usr/lib" -path '*/dri/swrast_dri.so' -print -quit)" ] ||
    die "$root: holds no Mesa software driver (dri/swrast_dri.so)"
}

[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap and chroot); run it as root"
[ ! -e "$root" ] || [ -d "$root" ] || die "$root: is not a folder"
if [ -f "$marker" ] && [ "$(cat "$marker")" = "$stamp" ]; then
  check_root
  echo "== reusing the $release root in $root, made for ${packages[*]}"
  rm -f "$partial"
  echo "$root"
  exit 0
fi
debian_archive
uri=$archive_uri
require
if [ -f "$marker" ] || [ -f "$partial" ]; then
  echo "== $root: half-made or made for other packages; removing it"
  remove_root
elif [ -d "$root" ] && [ -n "$(ls -A "$root")" ]; then
  die "$root: is not empty and holds no root made by $me; remove it or name another folder"
fi
make_root
check_root
echo "$stamp" >"$marker.new"
mv "$marker.new" "$marker"
rm -f "$partial"
echo "$root"
