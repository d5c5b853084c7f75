# SPDX-License-Identifier: MIT
# The portable Linux program (see scripts/linux.sh) and the folder a player
# unpacks, for any distribution: freeglut and GLU are linked in statically
# from their own builds, and so is the C++ runtime. What is left to the
# system is what every Linux desktop installs with its graphics stack: the
# C library, GCC's unwinder (libgcc_s, which Mesa needs too), libGL and the
# X11 client libraries (libX11 and the extensions freeglut uses). The oldest
# glibc it runs with is the one it was built for, or 2.34 if that is later:
# the unwinder linked in, or the C++ runtime's arc4random, would raise it.
# Included from the top-level CMakeLists.txt instead of the install rules.
#
# cmake --install puts into the prefix:
#   dewgatherer                      the launcher: runs the program in this folder
#   dewgatherer.x86_64               the program
#   floor.ppm, bricks.ppm            its textures
#   README.txt, LICENSE.txt          keys, needs (the oldest glibc read off the program); the game's licence
#   freeglut-COPYING.txt, GLU-LICENSE.txt   the licences of freeglut and GLU, linked in

if(NOT DEW_BUILD_GAME)
  return()
endif()

foreach(licence DEW_FREEGLUT_LICENSE DEW_GLU_LICENSE)
  set(${licence} "" CACHE FILEPATH "A licence text of a library linked in, shipped beside the program")
  if(NOT EXISTS "${${licence}}")
    message(FATAL_ERROR "The portable build links freeglut and GLU in and ships their licences: set ${licence} (scripts/linux.sh does)")
  endif()
endforeach()

# The static freeglut's own needs, after it on the link line; libraries
# nothing uses are dropped.
find_package(X11 REQUIRED)
target_link_libraries(dewrender PUBLIC X11::X11 X11::Xi X11::Xrandr X11::Xxf86vm m)
set_target_properties(dewgatherer PROPERTIES OUTPUT_NAME dewgatherer.x86_64)
target_link_options(dewgatherer PRIVATE -static-libstdc++ -Wl,--as-needed -s)
target_sources(dewgatherer PRIVATE packaging/linux/GlibcCompat.cpp)

# The launcher finds the folder from its own place.
set(DEW_BIN_TO_PREFIX ".")
set(DEW_DATA_DIR ".")
set(DEW_PROGRAM "dewgatherer.x86_64")
set(DEW_REPAIR "unpack the game's tarball again")
configure_file(packaging/dewgatherer.in ${CMAKE_BINARY_DIR}/packaging/dewgatherer @ONLY)

# README.txt names the oldest C library the program runs with, read off
# the program once it is linked.
set(DEW_README ${CMAKE_BINARY_DIR}/linux/README.txt)
add_custom_command(TARGET dewgatherer POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:dewgatherer> -DOBJDUMP=${CMAKE_OBJDUMP}
    -DTEMPLATE=${CMAKE_SOURCE_DIR}/packaging/linux/README.txt.in -DREADME=${DEW_README}
    -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/LinuxReadme.cmake
  VERBATIM)

install(TARGETS dewgatherer RUNTIME DESTINATION .)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/dewgatherer DESTINATION .)
install(FILES ${DEW_TEXTURE_FILES} ${DEW_README} DESTINATION .)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${DEW_FREEGLUT_LICENSE} DESTINATION . RENAME freeglut-COPYING.txt)
install(FILES ${DEW_GLU_LICENSE} DESTINATION . RENAME GLU-LICENSE.txt)
