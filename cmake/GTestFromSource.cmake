# GoogleTest for a cross build: Debian's prebuilt libraries are for Linux, so
# the sources Debian ships in /usr/src/googletest are built with the project's
# own toolchain. Gives the same targets as find_package(GTest).

set(SKYVANE_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources to build when cross-compiling")
if(NOT EXISTS ${SKYVANE_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${SKYVANE_GTEST_SOURCE_DIR}: install the "
                      "Debian package googletest (scripts/install-deps.sh does).")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Only what a test links is built.
add_subdirectory(${SKYVANE_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
