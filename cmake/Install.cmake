# SPDX-License-Identifier: MIT
# Installing the game (cmake --install) and packaging it as a Debian package
# (cpack -G DEB). Included from the top-level CMakeLists.txt after the game's
# targets.
#
# Layout under the prefix:
#   bin/dewgatherer                          launcher on the PATH
#   libexec/dewgatherer/dewgatherer          the program itself
#   share/dewgatherer/floor.ppm, bricks.ppm  its textures
#   share/applications/dewgatherer.desktop   desktop entry
#   share/icons/hicolor/scalable/apps/dewgatherer.svg
#
# The program goes to libexec, not share: it is a machine-specific binary that
# users do not start themselves (share is for architecture-independent data),
# and the game must run in its data folder, which the launcher takes care of.

if(NOT DEW_BUILD_GAME)
  return()
endif()

include(GNUInstallDirs)

# The launcher finds the prefix from its own place, so the installed tree can
# be moved as a whole. Install folders given as absolute paths are used as
# they stand.
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  set(DEW_BIN_TO_PREFIX ".")
else()
  file(RELATIVE_PATH DEW_BIN_TO_PREFIX "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix")
  if(DEW_BIN_TO_PREFIX STREQUAL "")
    set(DEW_BIN_TO_PREFIX ".")
  endif()
endif()
set(DEW_DATA_DIR "${CMAKE_INSTALL_DATADIR}/dewgatherer")
set(DEW_PROGRAM "${CMAKE_INSTALL_LIBEXECDIR}/dewgatherer/dewgatherer")
configure_file(packaging/dewgatherer.in ${CMAKE_BINARY_DIR}/packaging/dewgatherer @ONLY)

install(TARGETS dewgatherer RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/dewgatherer)
install(FILES ${CMAKE_BINARY_DIR}/floor.ppm ${CMAKE_BINARY_DIR}/bricks.ppm
  DESTINATION ${CMAKE_INSTALL_DATADIR}/dewgatherer)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/dewgatherer DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/dewgatherer.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/dewgatherer.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian package: cpack -G DEB in the build folder.
set(DEW_PACKAGE_MAINTAINER "Dewgatherer developers <dewgatherer@example.org>"
  CACHE STRING "Maintainer named in the Debian package")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "dewgatherer")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Dewgatherer developers")
set(CPACK_PACKAGE_CONTACT "${DEW_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "first-person 3-D maze game: catch the droplets, escape the maze")
set(CPACK_PACKAGE_DESCRIPTION
  "Dewgatherer is a small first-person 3-D maze game. A flock of birds flies\n\
over a random maze and lets magic droplets fall; catch 30 of them to open\n\
a portal in the outer wall and escape. Keyboard only: arrows walk and turn,\n\
Enter confirms and shows the map, Space shoots, Escape quits.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME "dewgatherer")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The GL, GLU and GLUT runtimes (the GLUT library was named freeglut3 before
# Debian 12). dpkg-shlibdeps adds the versioned libraries the program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libglu1-mesa, libglut3.12 | freeglut3")
find_program(DEW_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DEW_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
