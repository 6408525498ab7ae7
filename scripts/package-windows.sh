#!/usr/bin/env bash
# Packs the Windows builds for users: build/Skyvane-3.42-win32.zip (i686, the
# one to hand out) and build/Skyvane-3.42-win64.zip (x86_64), each with
# Skyvane.exe, skyvane-cli.exe and a short README.txt. It packs the programs
# scripts/test-windows.sh built and tested (build/win32, build/win64),
# stripped of their symbols, and builds them first where they are missing.
#
#   scripts/package-windows.sh [i686] [x86_64]    (both when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."

version=3.42
archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)

for arch in "${archs[@]}"; do
  case $arch in
    i686) build=build/win32 bits=win32 ;;
    x86_64) build=build/win64 bits=win64 ;;
    *) echo "unknown architecture: $arch" >&2; exit 2 ;;
  esac
  if [ ! -f "$build/src/app/Skyvane.exe" ] || [ ! -f "$build/src/cli/skyvane-cli.exe" ]; then
    # Packed without a test run: the programs are built first.
    scripts/build-windows.sh "$arch" skyvane skyvane-cli >/dev/null
  fi

  name=Skyvane-$version-$bits
  stage=build/package/$name
  rm -rf "$stage"
  mkdir -p "$stage"
  "$arch-w64-mingw32-strip" -o "$stage/Skyvane.exe" "$build/src/app/Skyvane.exe"
  "$arch-w64-mingw32-strip" -o "$stage/skyvane-cli.exe" "$build/src/cli/skyvane-cli.exe"
  # Windows line ends, for Notepad.
  sed 's/$/\r/' >"$stage/README.txt" <<TEXT
Skyvane $version for Windows ($bits)

Skyvane is a desktop companion for the SETI@home client. It shows the
client's progress on its work unit and every signal it finds, archives the
results of finished work units, and can start, hide and stop the client. It
only reads the client's own files in the client's directory.

Installing: unpack this folder where Skyvane should live, for example
C:\\Program Files\\Skyvane\\, and start Skyvane.exe. Skyvane keeps its
settings (Skyvane.set), its archive and its cache in that folder, so it must
be writable. On its first start it shows its install dialog; it finds the
client's directory through the client's own registry entry, or asks.

Removing: "Skyvane" in Add/Remove Programs, or Skyvane.exe uninstall. It
removes its registry entries, shortcuts, settings, archive and cache, and
then itself.

Skyvane.exe      the program (no other files or DLLs are needed)
skyvane-cli.exe  read-only command-line views of the same figures, for
                 scripts: skyvane-cli status --client-dir DIR

The win32 package runs on 32-bit and 64-bit Windows (7 or later), the win64
package on 64-bit Windows only.
TEXT
  rm -f "build/$name.zip"
  (cd build/package && cmake -E tar cf "../$name.zip" --format=zip "$name")
  echo "package: build/$name.zip"
done
