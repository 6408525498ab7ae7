# Cross-compiles Skyvane for 64-bit Windows with Debian's mingw-w64; see
# mingw-w64.cmake.
set(SKYVANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
