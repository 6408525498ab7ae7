# What the two mingw-w64 toolchain files share; each sets
# SKYVANE_MINGW_ARCH (i686 or x86_64) and includes this one:
#
#   cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DSKYVANE_GUI=OFF
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
#         -DwxWidgets_CONFIG_EXECUTABLE=$(scripts/build-wxmsw.sh i686 --prefix)/bin/wx-config
#
# Debian ships no wxWidgets for Windows: scripts/build-wxmsw.sh builds wxMSW
# from Debian's sources into a cache outside the checkout and names it; with
# SKYVANE_GUI=OFF only the platform and logic libraries, skyvane-cli and their
# tests are built. scripts/test-windows.sh does all of it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${SKYVANE_MINGW_ARCH})

set(SKYVANE_MINGW_PREFIX ${SKYVANE_MINGW_ARCH}-w64-mingw32)
# The -posix compilers use the winpthreads threading model, which gives
# std::mutex and std::thread; GoogleTest needs them.
set(CMAKE_C_COMPILER ${SKYVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKYVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SKYVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SKYVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no libstdc++, libgcc or winpthread DLLs to
# carry next to them, for Wine or for a user.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest starts every test program through Wine (a 64-bit prefix runs both
# kinds). Building needs no Wine: the tests are listed when CTest runs them
# (see the top-level CMakeLists.txt).
find_program(SKYVANE_WINE NAMES wine)
if(SKYVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SKYVANE_WINE})
endif()
