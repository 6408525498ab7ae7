#!/usr/bin/env bash
# Cross-builds the platform and logic libraries and their tests for 64-bit
# Windows with mingw-w64 (cmake/mingw-w64-x86_64.cmake) and runs the tests
# under Wine: the win32 backend against the same contract tests as the POSIX
# one. Everything stays in build/win, the Wine prefix included, so a run
# never touches the user's own ~/.wine and CI starts from nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows

build=build/win
jobs=$(nproc)

echo "== Windows build (mingw-w64)"
# No build type: without debug information, which nobody reads under Wine,
# the static test programs build and link in half the time.
cmake -S . -B "$build" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DSKYVANE_GUI=OFF -DCMAKE_BUILD_TYPE= >/dev/null
cmake --build "$build" -j"$jobs"

export WINEPREFIX=$PWD/$build/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
# No .NET, no browser engine (their installers would want to download) and no
# desktop menu entries for the programs Wine installs into the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
# Wine takes the time zone from the system; the tests' C runtime would read a
# TZ meant for Linux in its own, different format.
unset TZ
# Wine keeps a few files of its own under HOME, which a CI job running as root
# may not have.
export HOME=$PWD/$build/home
mkdir -p "$WINEPREFIX" "$HOME"

# One wineserver for the whole run instead of one per test program. Wine's
# own background processes (services, devices, desktop) start with the first
# program, inherit its output and outlive it: started here, they do not hold
# a test's output pipe open, where CTest would wait for them until timeout.
# A fresh prefix also takes some seconds to set up, which is done here once
# rather than inside the first test's time limit.
start_wine() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit 0 >/dev/null 2>&1
}
stop_wine() {
  wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
}

echo "== Windows tests (Wine)"
trap stop_wine EXIT
start_wine
# The announcements of the top-level windows service are real (hidden)
# windows. Without a display Wine's X11 driver cannot create any; its null
# driver can, and needs no X server. The desktop picks its driver when it
# starts, so a prefix that just got the setting is started again.
drivers='HKCU\Software\Wine\Drivers'
graphics=$(wine reg query "$drivers" /v Graphics 2>/dev/null || true)
if [[ $graphics != *null* ]]; then
  wine reg add "$drivers" /v Graphics /d null /f >/dev/null 2>&1
  stop_wine
  start_wine
fi
# Wine closes the desktop a second after its last program ends, and the next
# test that creates a window opens it again, with a desktop process that
# holds the test's output until it goes: a second lost per test. Any program
# with a window keeps it open; Notepad comes with every prefix.
wine notepad </dev/null >/dev/null 2>&1 &

# One at a time: every test program shares the prefix's registry and window
# list, and the single-instance tests look for each other's windows.
log=$build/ctest.log
status=0
ctest --test-dir "$build" --output-on-failure --timeout 120 -j1 >"$log" 2>&1 || status=$?

# The registry contract tests write real keys, each under a name of its own;
# clear them away for the next run. HKEY_LOCAL_MACHINE's are in the 32-bit
# view, where the backend opens its keys.
for key in 'HKCU\Software\Skyvane Tests' 'HKLM\Software\Wow6432Node\Skyvane Tests'; do
  wine reg delete "$key" /f >/dev/null 2>&1 || true
done

if [ "$status" -ne 0 ]; then
  cat "$log"
  exit "$status"
fi
tail -n 3 "$log"
