#!/usr/bin/env bash
# Installs the Debian 12 packages Skyvane builds, tests and demonstrates with,
# when they are missing. Idempotent and non-interactive; runs apt-get update
# at most once. With the word "windows" it also installs what the Windows
# cross build and its tests need (mingw-w64, Wine).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  ccache                     # warm rebuilds
  libwxgtk3.2-dev            # the windows
  libgtest-dev libgmock-dev  # tests
  libbenchmark-dev           # speed measurements
  xvfb xauth                 # GUI tests and the demo without a display
  imagemagick                # screenshots (import -window root)
  clang-format
  xdg-utils                  # opening web links
  desktop-file-utils         # desktop-file-validate checks the desktop entries we write (install, autostart)
  trayer                     # a notification area under Xvfb, for the tray icon's GUI test
)
if [ "${1:-}" = "windows" ]; then
  packages+=(
    googletest                 # its sources, built for the Windows cross build
    g++-mingw-w64-x86-64-posix # the Windows cross build (scripts/test-windows.sh)
    wine wine64                # running the Windows tests
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
