# SPDX-License-Identifier: MIT
# The game in a web page, built by Emscripten (see scripts/web.sh): the
# game's shell and renderer on the browser's GL layer in web/, with
# Emscripten's GLUT, and the page around it (web/page/). Included from the
# top-level CMakeLists.txt instead of the native game's targets.
#
# The build folder is the page, ready to serve; cmake --install puts into
# the prefix:
#   index.html, page.js                        the page
#   dewgatherer.js, .wasm, .data               the game; .data holds floor.ppm and bricks.ppm
#   LICENSE.txt, freeglut-COPYING.txt          the game's licence; freeglut's, whose font the layer draws

if(NOT DEW_BUILD_GAME)
  return()
endif()

set(DEW_FREEGLUT_SOURCE "" CACHE PATH "freeglut's unpacked source, whose font the browser build draws (scripts/web.sh fetches it)")
if(NOT EXISTS "${DEW_FREEGLUT_SOURCE}/COPYING")
  message(FATAL_ERROR "The browser build draws freeglut's font and ships its licence: set DEW_FREEGLUT_SOURCE to freeglut's unpacked source (scripts/web.sh does)")
endif()

add_subdirectory(web)

# dew_web_program(TARGET): a program of the layer as the page runs it, in
# the build folder, with the textures packed into TARGET.data at the root of
# its file system, its working folder. Its memory grows for what the 16 MB
# start leaves out.
function(dew_web_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  add_dependencies(${target} textures)
  target_link_options(${target} PRIVATE
    -lglut -lGL -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1
    "SHELL:--preload-file ${CMAKE_BINARY_DIR}/floor.ppm@floor.ppm"
    "SHELL:--preload-file ${CMAKE_BINARY_DIR}/bricks.ppm@bricks.ppm"
    "SHELL:--post-js ${DEW_GAME_EXIT_JS}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${DEW_TEXTURE_FILES} ${DEW_GAME_EXIT_JS})
  # Debian's emcc finds its JavaScript parser (acorn) among Debian's node
  # modules only when told where they are; it needs it to optimise.
  set_target_properties(${target} PROPERTIES CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;NODE_PATH=/usr/share/nodejs")
endfunction()

set(DEW_GAME_EXIT_JS ${CMAKE_SOURCE_DIR}/web/page/game-exit.js)
dew_fixedgl_game(dewgatherer)
dew_web_program(dewgatherer)

# The frame-time bench (bench/FrameTimes.cpp; scripts/bench.sh --web): the
# game's program with the bench's main instead of the game's, built only
# when asked for.
dew_fixedgl_game(dew_frame_times)
get_target_property(DEW_BENCH_SOURCES dew_frame_times SOURCES)
list(TRANSFORM DEW_BENCH_SOURCES REPLACE "src/MazeMain\\.cpp$" "bench/FrameTimes.cpp")
set_target_properties(dew_frame_times PROPERTIES SOURCES "${DEW_BENCH_SOURCES}" EXCLUDE_FROM_ALL ON)
dew_web_program(dew_frame_times)
configure_file(bench/frame_times.html ${CMAKE_BINARY_DIR}/frame_times.html COPYONLY)

# emcc writes a random identifier of the data package into the script;
# the data's own hash stands in for it, so that two builds give the same
# files.
add_custom_command(TARGET dewgatherer POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DSCRIPT=${CMAKE_BINARY_DIR}/dewgatherer.js -DDATA=${CMAKE_BINARY_DIR}/dewgatherer.data
    -P ${CMAKE_SOURCE_DIR}/cmake/WebPackageId.cmake
  VERBATIM)

set(DEW_PAGE_FILES index.html page.js)
foreach(file ${DEW_PAGE_FILES})
  configure_file(web/page/${file} ${CMAKE_BINARY_DIR}/${file} COPYONLY)
endforeach()
configure_file(LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt COPYONLY)
configure_file(${DEW_FREEGLUT_SOURCE}/COPYING ${CMAKE_BINARY_DIR}/freeglut-COPYING.txt COPYONLY)

list(TRANSFORM DEW_PAGE_FILES PREPEND ${CMAKE_BINARY_DIR}/)
install(FILES ${DEW_PAGE_FILES}
  ${CMAKE_BINARY_DIR}/dewgatherer.js ${CMAKE_BINARY_DIR}/dewgatherer.wasm ${CMAKE_BINARY_DIR}/dewgatherer.data
  ${CMAKE_BINARY_DIR}/LICENSE.txt ${CMAKE_BINARY_DIR}/freeglut-COPYING.txt
  DESTINATION .)
