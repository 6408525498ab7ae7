# Cross-compiles Skyvane for 32-bit Windows, the build handed to users, with
# Debian's mingw-w64; see mingw-w64.cmake.
set(SKYVANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
