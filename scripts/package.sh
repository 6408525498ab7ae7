#!/usr/bin/env bash
# Builds the Debian package build/skyvane_3.42_amd64.deb (skyvane,
# skyvane-cli, the desktop entry, the icons, the AppStream metainfo and the
# manual pages) through CPack, and checks it with lintian, which must report
# no errors; its warnings are listed and justified in docs/PACKAGING.md.
#
#   scripts/package.sh [--no-lintian]
#
# The programs are built in build/deb with Debian's own compiler and linker
# flags (dpkg-buildflags: optimised, fortified, read-only relocations bound
# at start), as a Debian package of them would be.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
build=build/deb
# Build type None: the flags are dpkg-buildflags' alone.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DSKYVANE_TESTS=OFF -DSKYVANE_GUI=ON \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"${SKYVANE_JOBS:-$(nproc)}" --target skyvane skyvane-cli skyvane_package_files
(cd "$build" && cpack -G DEB >/dev/null)
deb=build/skyvane_3.42_amd64.deb
cp "$build/skyvane_3.42_amd64.deb" "$deb"
echo "$deb"

if [ "${1:-}" != "--no-lintian" ]; then
  # Errors fail the script; warnings are printed (and justified in
  # docs/PACKAGING.md).
  lintian --fail-on error --tag-display-limit 0 "$deb" >&2
fi
