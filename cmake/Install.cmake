# SPDX-License-Identifier: MIT
# Installing the game (cmake --install). Included from the top-level
# CMakeLists.txt after the game's targets.
#
# Layout under the prefix, by default (e.g. --prefix ~/.local):
#   bin/dewgatherer                          launcher on the PATH
#   libexec/dewgatherer/dewgatherer          the program itself
#   share/dewgatherer/floor.ppm, bricks.ppm  its textures
#   share/applications/dewgatherer.desktop   desktop entry
#   share/icons/hicolor/scalable/apps/dewgatherer.svg
#   share/metainfo/org.dewgatherer.dewgatherer.metainfo.xml
#   share/man/man6/dewgatherer.6
#   share/doc/dewgatherer/LICENSE
# The launcher follows CMAKE_INSTALL_BINDIR and the textures
# CMAKE_INSTALL_DATADIR, so -DCMAKE_INSTALL_BINDIR=games
# -DCMAKE_INSTALL_DATADIR=share/games gives the places Debian's games use
# (games/dewgatherer, share/games/dewgatherer/); debian/rules builds so.
#
# The program goes to libexec, off the PATH: it is a machine-specific binary
# that users do not start themselves, and the game must run in its data
# folder, which the launcher takes care of.

if(NOT DEW_BUILD_GAME)
  return()
endif()

include(GNUInstallDirs)
set(DEW_LAUNCHER_DIR "${CMAKE_INSTALL_BINDIR}")
set(DEW_DATA_DIR "${CMAKE_INSTALL_DATADIR}/dewgatherer")
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
set(DEW_REPAIR "reinstall the game")
configure_file(packaging/dewgatherer.in ${CMAKE_BINARY_DIR}/packaging/dewgatherer @ONLY)

install(TARGETS dewgatherer RUNTIME DESTINATION ${DEW_PROGRAM_DIR})
install(FILES ${DEW_TEXTURE_FILES} DESTINATION ${DEW_DATA_DIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/dewgatherer DESTINATION ${DEW_LAUNCHER_DIR})
install(FILES packaging/dewgatherer.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES packaging/dewgatherer.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES packaging/org.dewgatherer.dewgatherer.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES packaging/dewgatherer.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/dewgatherer)
