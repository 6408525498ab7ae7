#!/usr/bin/env bash
# Cross-builds the platform and logic libraries and their tests for 64-bit
# Windows with mingw-w64 (cmake/mingw-w64-x86_64.cmake) and runs the tests
# under Wine: the win32 backend against the same contract tests as the POSIX
# one. Everything stays in build/win, the Wine prefix included, so a run
# never touches the user's own ~/.wine and CI starts from nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/win
jobs=$(nproc)

echo "== Windows build (mingw-w64)"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DSKYVANE_GUI=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$jobs"

export WINEPREFIX=$PWD/$build/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
# No .NET, no browser engine (their installers would want to download) and no
# desktop menu entries for the programs Wine installs into the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
# Wine keeps a few files of its own under HOME, which a CI job running as root
# may not have.
export HOME=$PWD/$build/home
mkdir -p "$WINEPREFIX" "$HOME"

echo "== Windows tests (Wine)"
# One wineserver for the whole run instead of one per test program.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# A fresh prefix takes some seconds to set up; done once here, not inside the
# first test's time limit.
wine cmd /c exit 0 >/dev/null 2>&1
# The announcements of the top-level windows service are real (hidden)
# windows. Without a display Wine's X11 driver cannot create any; its null
# driver can, and needs no X server.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1

# One at a time: every test program shares the prefix's registry and window
# list, and the single-instance tests look for each other's windows.
log=$build/ctest.log
status=0
ctest --test-dir "$build" --output-on-failure --timeout 120 -j1 >"$log" 2>&1 || status=$?

# The registry contract tests write real keys, each under a name of its own;
# clear them away for the next run.
for root in HKCU HKLM; do
  wine reg delete "$root\\Software\\Skyvane Tests" /f >/dev/null 2>&1 || true
done

if [ "$status" -ne 0 ]; then
  cat "$log"
  exit "$status"
fi
tail -n 3 "$log"
