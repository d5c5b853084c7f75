# SPDX-License-Identifier: MIT
# The Windows program, cross-built for 64-bit Windows with MinGW-w64 (see
# scripts/windows.sh), and the folder a player unzips. Included from the
# top-level CMakeLists.txt after the game's targets.
#
# The program needs no DLL beyond those every Windows has: freeglut is linked
# in statically, and so are MinGW's C++ runtime and libgcc. It opens no
# console window, carries the game's icon and version information, and has
# no link time stamp, so that two builds give the same bytes.
#
# cmake --install puts into the prefix:
#   dewgatherer.exe, floor.ppm, bricks.ppm   the game, run in this folder
#   README.txt, LICENSE.txt                  keys and files; the game's licence
#   freeglut-COPYING.txt                     the licence of freeglut, linked in

if(NOT DEW_BUILD_GAME)
  return()
endif()

set(DEW_FREEGLUT_LICENSE "" CACHE FILEPATH "freeglut's licence text (COPYING in its source), shipped beside the program")
if(NOT EXISTS "${DEW_FREEGLUT_LICENSE}")
  message(FATAL_ERROR "The Windows build links freeglut in and ships its licence: set DEW_FREEGLUT_LICENSE to its COPYING file (scripts/windows.sh does)")
endif()

target_compile_definitions(dewrender PUBLIC FREEGLUT_STATIC)
# The static freeglut's own needs, after it on the link line.
target_link_libraries(dewrender PUBLIC opengl32 gdi32 winmm)
set_target_properties(dewgatherer PROPERTIES WIN32_EXECUTABLE ON)
target_link_options(dewgatherer PRIVATE -static -s -Wl,--no-insert-timestamp)

# The icon, from the same picture as the desktop icon, drawn by librsvg at
# the sizes Windows shows and packed by icoutils (the largest kept as PNG);
# and the version information of the file's properties.
find_program(DEW_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(DEW_ICOTOOL icotool REQUIRED)
set(DEW_ICON ${CMAKE_BINARY_DIR}/packaging/dewgatherer.ico)
set(DEW_ICON_PNGS "")
foreach(size 16 32 48 256)
  set(png ${CMAKE_BINARY_DIR}/packaging/dewgatherer-${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${DEW_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${CMAKE_SOURCE_DIR}/packaging/dewgatherer.svg
    DEPENDS packaging/dewgatherer.svg
    VERBATIM)
  list(APPEND DEW_ICON_PNGS ${png})
endforeach()
list(POP_BACK DEW_ICON_PNGS DEW_ICON_LARGEST)
add_custom_command(OUTPUT ${DEW_ICON}
  COMMAND ${DEW_ICOTOOL} --create --output=${DEW_ICON} ${DEW_ICON_PNGS} --raw=${DEW_ICON_LARGEST}
  DEPENDS ${DEW_ICON_PNGS} ${DEW_ICON_LARGEST}
  VERBATIM)
enable_language(RC)
configure_file(packaging/windows/dewgatherer.rc.in ${CMAKE_BINARY_DIR}/packaging/dewgatherer.rc @ONLY)
target_sources(dewgatherer PRIVATE ${CMAKE_BINARY_DIR}/packaging/dewgatherer.rc ${DEW_ICON})
set_source_files_properties(${CMAKE_BINARY_DIR}/packaging/dewgatherer.rc PROPERTIES OBJECT_DEPENDS ${DEW_ICON})

# Text files with Windows line ends, so that any editor shows them right.
function(dew_windows_text source name)
  file(READ ${source} text)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${CMAKE_BINARY_DIR}/windows/${name} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
configure_file(packaging/windows/README.txt.in ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY)
dew_windows_text(${CMAKE_BINARY_DIR}/packaging/README.txt README.txt)
dew_windows_text(${CMAKE_SOURCE_DIR}/LICENSE LICENSE.txt)
dew_windows_text(${DEW_FREEGLUT_LICENSE} freeglut-COPYING.txt)

install(TARGETS dewgatherer RUNTIME DESTINATION .)
install(FILES ${DEW_TEXTURE_FILES} DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/windows/README.txt ${CMAKE_BINARY_DIR}/windows/LICENSE.txt
  ${CMAKE_BINARY_DIR}/windows/freeglut-COPYING.txt DESTINATION .)
