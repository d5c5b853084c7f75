#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the browser driver (playwright-core, exactly as this folder's lock
# file says) into FOLDER with npm ci. No browser is downloaded: the driver
# runs Debian's Chromium.
# Usage: driver.sh FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1"
cp "$here/package.json" "$here/package-lock.json" "$1/"
cd "$1"
if ! PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --prefer-offline --no-audit --no-fund >npm.log 2>&1; then
  echo "driver.sh: npm ci in $1 failed: $(tail -n 5 npm.log)" >&2
  exit 1
fi
