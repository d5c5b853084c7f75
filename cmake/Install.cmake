# SPDX-License-Identifier: MIT
# Installing the game (cmake --install). Included from the top-level
# CMakeLists.txt after the game's targets.
#
# Layout under the prefix, by default (e.g. --prefix ~/.local):
#   bin/dewgatherer                          launcher on the PATH
#   libexec/dewgatherer/dewgatherer          the program itself
#   share/dewgatherer/floor.ppm, bricks.ppm  its textures
# and with -DDEW_DEBIAN_LAYOUT=ON (prefix /usr, as Debian places games):
#   games/dewgatherer
#   libexec/dewgatherer/dewgatherer
#   share/games/dewgatherer/floor.ppm, bricks.ppm
# In both:
#   share/applications/dewgatherer.desktop   desktop entry
#   share/icons/hicolor/scalable/apps/dewgatherer.svg
#   share/metainfo/org.dewgatherer.dewgatherer.metainfo.xml
#   share/man/man6/dewgatherer.6.gz
#   share/doc/dewgatherer/copyright, changelog.gz
#
# The program goes to libexec, off the PATH: it is a machine-specific binary
# that users do not start themselves, and the game must run in its data
# folder, which the launcher takes care of. scripts/package.sh makes the
# Debian package from the Debian layout.

if(NOT DEW_BUILD_GAME)
  return()
endif()

include(GNUInstallDirs)
option(DEW_DEBIAN_LAYOUT "Install the launcher into games/ and the textures into share/games/, as Debian's games do" OFF)
if(DEW_DEBIAN_LAYOUT)
  set(DEW_LAUNCHER_DIR "games")
  set(DEW_DATA_DIR "share/games/dewgatherer")
else()
  set(DEW_LAUNCHER_DIR "${CMAKE_INSTALL_BINDIR}")
  set(DEW_DATA_DIR "${CMAKE_INSTALL_DATADIR}/dewgatherer")
endif()
set(DEW_PROGRAM_DIR "${CMAKE_INSTALL_LIBEXECDIR}/dewgatherer")

# The launcher finds the prefix from its own place, so the installed tree can
# be moved as a whole. Install folders given as absolute paths are used as
# they stand.
if(IS_ABSOLUTE "${DEW_LAUNCHER_DIR}")
  set(DEW_BIN_TO_PREFIX ".")
else()
  file(RELATIVE_PATH DEW_BIN_TO_PREFIX "/prefix/${DEW_LAUNCHER_DIR}" "/prefix")
  if(DEW_BIN_TO_PREFIX STREQUAL "")
    set(DEW_BIN_TO_PREFIX ".")
  endif()
endif()
set(DEW_PROGRAM "${DEW_PROGRAM_DIR}/dewgatherer")
configure_file(packaging/dewgatherer.in ${CMAKE_BINARY_DIR}/packaging/dewgatherer @ONLY)

# The machine-readable copyright file carries the licence's terms from LICENSE,
# indented, with a lone dot for each blank line.
file(READ LICENSE DEW_LICENSE_TEXT)
string(FIND "${DEW_LICENSE_TEXT}" "Permission" start)
string(SUBSTRING "${DEW_LICENSE_TEXT}" ${start} -1 DEW_LICENSE_TEXT)
string(STRIP "${DEW_LICENSE_TEXT}" DEW_LICENSE_TEXT)
string(REPLACE "\n\n" "\n.\n" DEW_LICENSE_TEXT " ${DEW_LICENSE_TEXT}")
string(REPLACE "\n" "\n " DEW_LICENSE_TEXT "${DEW_LICENSE_TEXT}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS LICENSE)
configure_file(packaging/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)

# The manual page and the change log are installed compressed, without a name
# or time stamp in the gzip header, so that every build gives the same bytes.
set(DEW_GZIPPED "")
foreach(doc dewgatherer.6 changelog)
  set(out ${CMAKE_BINARY_DIR}/packaging/${doc}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${doc} > ${out}
    DEPENDS packaging/${doc}
    VERBATIM)
  list(APPEND DEW_GZIPPED ${out})
endforeach()
add_custom_target(docs ALL DEPENDS ${DEW_GZIPPED})

install(TARGETS dewgatherer RUNTIME DESTINATION ${DEW_PROGRAM_DIR})
install(FILES ${DEW_TEXTURE_FILES} DESTINATION ${DEW_DATA_DIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/dewgatherer DESTINATION ${DEW_LAUNCHER_DIR})
install(FILES packaging/dewgatherer.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/dewgatherer.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/org.dewgatherer.dewgatherer.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/packaging/dewgatherer.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dewgatherer)
