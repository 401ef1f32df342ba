# The 64-bit program: the same sources configured with the x86_64 toolchain in x64/ of this
# build, against the x64 engine. Its packages land in this build's dist/, and its tests join
# this build's CTest run under the prefix "x64." (in a 64-bit Wine prefix, see scripts/wine64.sh).
# The 64-bit run covers the engine, operations, start-up and package suites; the user-interface
# suites run in the 32-bit build only, the window code being the same on both.
option(TOLVANE_BUILD_X64 "Also build, package and test the 64-bit program" ON)
set(TOLVANE_X64_TEST_SUITES "base;app;engine;ops;process;shell" CACHE STRING
    "Test suites that the 64-bit build runs; empty for all")
if(NOT TOLVANE_BUILD_X64)
  return()
endif()

include(ExternalProject)
set(TOLVANE_X64_DIR ${CMAKE_BINARY_DIR}/x64)
string(REPLACE ";" "|" suites "${TOLVANE_X64_TEST_SUITES}")
ExternalProject_Add(tolvane_x64
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${TOLVANE_X64_DIR}
  PREFIX ${CMAKE_BINARY_DIR}/x64-project
  CMAKE_GENERATOR ${CMAKE_GENERATOR}
  LIST_SEPARATOR |
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/toolchain-mingw-x86_64.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DTOLVANE_DIST_DIR=${TOLVANE_DIST_DIR}
    -DTOLVANE_BUILD_TESTS=${TOLVANE_BUILD_TESTS}
    -DTOLVANE_BUILD_BENCH=OFF
    -DTOLVANE_TEST_SUITES=${suites}
    -DTOLVANE_TEST_PREFIX=x64.
    -DTOLVANE_HANDLER32=${TOLVANE_BIN_DIR}/tolvane_shell.dll
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_CONFIGURE ON
  USES_TERMINAL_BUILD ON)
# The engine tarball is fetched once, by the 32-bit build, before the 64-bit one needs it.
add_dependencies(tolvane_x64 tolvane_engine)
# It carries this build's 32-bit handler DLL.
add_dependencies(tolvane_x64 tolvane_shell)

if(TOLVANE_BUILD_TESTS)
  file(WRITE ${CMAKE_BINARY_DIR}/x64_tests.cmake
       "if(EXISTS \"${TOLVANE_X64_DIR}/CTestTestfile.cmake\")\n  subdirs(\"${TOLVANE_X64_DIR}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/x64_tests.cmake)
endif()
