# Cross-compiles Skyvane for 32-bit Windows, the build handed to users, with
# Debian's mingw-w64; see mingw-w64.cmake.
set(SKYVANE_MINGW_ARCH i686)
# Doubles computed in SSE2 registers, rounded as IEEE doubles at every step,
# as on x86_64; the x87 unit's 80-bit intermediates would round twice and
# give other last digits. Every processor Windows 7 runs on has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
