# SPDX-License-Identifier: MIT
# cmake -DPROGRAM=... -DOBJDUMP=objdump -DTEMPLATE=README.txt.in -DREADME=README.txt
#   -DVERSION=x.y.z -P LinuxReadme.cmake
# Writes the portable build's README.txt from its template, with the oldest
# C library the program runs with: the highest GLIBC_ version among the
# symbols it imports.
execute_process(COMMAND ${OBJDUMP} -T ${PROGRAM} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${PROGRAM}: objdump cannot read its dynamic symbols")
endif()
string(REGEX MATCHALL "GLIBC_[0-9.]+" versions "${symbols}")
set(GLIBC_VERSION "0")
foreach(version ${versions})
  string(REPLACE "GLIBC_" "" version "${version}")
  if(version VERSION_GREATER GLIBC_VERSION)
    set(GLIBC_VERSION ${version})
  endif()
endforeach()
if(GLIBC_VERSION STREQUAL "0")
  message(FATAL_ERROR "${PROGRAM}: imports no versioned symbol of the C library")
endif()
set(PROJECT_VERSION ${VERSION})
configure_file(${TEMPLATE} ${README} @ONLY)
