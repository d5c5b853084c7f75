#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building, playing and testing need,
# skipping those already present. ImageMagick's SVG reader (for the icon
# check of the install test) comes with its -extra coders package.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgl1-mesa-dev libglu1-mesa-dev freeglut3-dev libgl1-mesa-dri
  libgtest-dev libbenchmark-dev libx11-dev
  xvfb xdotool x11-utils imagemagick netpbm
  libmagickcore-6.q16-6-extra
  clang-14 libclang-rt-14-dev valgrind
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
