#!/usr/bin/env bash
# Installs the Debian 12 packages Skyvane builds, tests and demonstrates with,
# when they are missing. Idempotent and non-interactive; runs apt-get update
# at most once. With the word "windows" it also installs what the Windows
# cross build and its tests need (mingw-w64 for both architectures, Wine with
# its 32-bit half) and enables the source packages scripts/build-wxmsw.sh
# fetches wxWidgets from.
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
  libcli11-dev               # skyvane-cli's and skyvane's command-line parsing (header-only)
  nlohmann-json3-dev         # skyvane-cli's JSON output (header-only)
  zlib1g-dev                 # compressed PNG pictures
  dpkg-dev                   # the Debian package: dpkg-shlibdeps, dpkg-deb (scripts/package.sh)
  lintian                    # checks the Debian package
  appstream                  # appstreamcli validates the AppStream metainfo
  clang libclang-rt-14-dev   # the fuzzers: clang's libFuzzer and sanitizer runtimes (scripts/fuzz.sh)
)
if [ "${1:-}" = "windows" ]; then
  packages+=(
    googletest                 # its sources, built for the Windows cross build
    g++-mingw-w64-x86-64-posix # the Windows cross build (scripts/test-windows.sh)
    g++-mingw-w64-i686-posix   # ... and the 32-bit one handed to users
    libz-mingw-w64-dev         # zlib for wxMSW (scripts/build-wxmsw.sh)
    dpkg-dev                   # apt-get source unpacks wxWidgets' sources with it
    wine wine64                # running the Windows tests
    wine32:i386                # ... and the 32-bit ones
  )
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
need_update=0
if [ "${1:-}" = "windows" ]; then
  # Wine's 32-bit half comes from the i386 architecture.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    need_update=1
  fi
  # Debian ships no wxWidgets for Windows; scripts/build-wxmsw.sh builds it
  # from Debian's own source package, which needs the deb-src entries that
  # match the system's deb ones.
  if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    src=/etc/apt/sources.list.d/skyvane-deb-src
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        $sudo tee "$src.sources" >/dev/null
    else
      sed -nE 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee "$src.list" >/dev/null
    fi
    need_update=1
  fi
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ "$need_update" -eq 0 ] && exit 0

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
$sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq "${missing[@]}"
