# SPDX-License-Identifier: MIT
# cmake -DSCRIPT=dewgatherer.js -DDATA=dewgatherer.data -P WebPackageId.cmake
# Replaces the random identifier that emcc gives the data package in the
# game's script (a UUID) with the hash of the data, as later Emscriptens do
# themselves. A script with no such identifier is left as it is.
file(READ "${SCRIPT}" script)
file(SHA256 "${DATA}" hash)
string(REGEX REPLACE "(package_uuid\"?: *\")[0-9a-f]+-[0-9a-f]+-[0-9a-f]+-[0-9a-f]+-[0-9a-f]+\"" "\\1sha256-${hash}\"" stable "${script}")
if(NOT stable STREQUAL script)
  file(WRITE "${SCRIPT}" "${stable}")
endif()
