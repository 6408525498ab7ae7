#!/usr/bin/env bash
# Cross-builds Skyvane for Windows with mingw-w64 against wxMSW (built and
# cached by scripts/build-wxmsw.sh) for one architecture:
#
#   scripts/build-windows.sh i686|x86_64 [--no-gui] [TARGET...]   (every target when none)
#
# into build/win32 (i686) or build/win64 (x86_64), and prints that directory
# as its last line. With --no-gui it needs no wxMSW and builds only the
# platform and logic libraries, skyvane-cli and their tests.
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:?usage: $0 i686|x86_64 [TARGET...]}
shift
case $arch in
  i686) build=build/win32 ;;
  x86_64) build=build/win64 ;;
  *) echo "unknown architecture: $arch" >&2; exit 2 ;;
esac
gui=(-DSKYVANE_GUI=ON)
if [ "${1:-}" = "--no-gui" ]; then
  gui=(-DSKYVANE_GUI=OFF)
  shift
fi
targets=()
for target in "$@"; do targets+=(--target "$target"); done

scripts/install-deps.sh windows
if [ "${gui[0]}" = -DSKYVANE_GUI=ON ]; then
  scripts/build-wxmsw.sh "$arch" >&2
  gui+=(-DwxWidgets_CONFIG_EXECUTABLE="$(scripts/build-wxmsw.sh "$arch" --prefix)/bin/wx-config")
fi
# No build type: without debug information, which nobody reads under Wine,
# the static programs build and link in half the time.
# The Wine that runs the tests: the one on the PATH now, which
# test-windows.sh may have replaced since the directory was configured.
emulator=()
if command -v wine >/dev/null; then emulator=(-DSKYVANE_WINE="$(command -v wine)"); fi
cmake -S . -B "$build" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" \
  "${gui[@]}" "${emulator[@]}" -DCMAKE_BUILD_TYPE= >/dev/null
cmake --build "$build" -j"$(nproc)" "${targets[@]}" >&2
echo "$build"
