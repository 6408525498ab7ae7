#!/usr/bin/env bash
# Cross-builds Skyvane for Windows with mingw-w64 against wxMSW (built and
# cached by scripts/build-wxmsw.sh) for one architecture:
#
#   scripts/build-windows.sh i686|x86_64 [TARGET...]    (every target when none)
#
# into build/win32 (i686) or build/win64 (x86_64), and prints that directory
# as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:?usage: $0 i686|x86_64 [TARGET...]}
shift
case $arch in
  i686) build=build/win32 ;;
  x86_64) build=build/win64 ;;
  *) echo "unknown architecture: $arch" >&2; exit 2 ;;
esac
targets=()
for target in "$@"; do targets+=(--target "$target"); done

scripts/install-deps.sh windows
scripts/build-wxmsw.sh "$arch" >&2
wx=$(scripts/build-wxmsw.sh "$arch" --prefix)
# No build type: without debug information, which nobody reads under Wine,
# the static programs build and link in half the time.
cmake -S . -B "$build" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" \
  -DwxWidgets_CONFIG_EXECUTABLE="$wx/bin/wx-config" -DSKYVANE_GUI=ON -DCMAKE_BUILD_TYPE= >/dev/null
cmake --build "$build" -j"$(nproc)" "${targets[@]}" >&2
echo "$build"
