# SPDX-License-Identifier: MIT
# Cross-building for 64-bit Windows with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Libraries and headers are looked up only under the MinGW tree and under
# the folders given in CMAKE_FIND_ROOT_PATH (the cross-built freeglut), never
# among the build machine's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DEW_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DEW_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${DEW_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${DEW_MINGW_TRIPLET}-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${DEW_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
