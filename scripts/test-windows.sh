#!/usr/bin/env bash
# Cross-builds all of Skyvane for Windows with mingw-w64, for 32-bit (i686,
# the build handed to users) and 64-bit (x86_64), against wxMSW built by
# scripts/build-wxmsw.sh (cached outside the checkout), and runs it under
# Wine on an Xvfb display: every test (the win32 backend against the same
# contract tests as the POSIX one, the logic, the GUI tests) and a smoke run
# of Skyvane.exe itself (scripts/smoke-windows.sh). Everything else stays in
# build/win32, build/win64 and build/wine (the Wine prefix), so a run never
# touches the user's own ~/.wine and CI starts from nothing.
#
#   scripts/test-windows.sh [i686] [x86_64]    (both when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows

archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)

# Wine draws on an X display; the tests and the smoke run read it back.
if [ -z "${SKYVANE_WINDOWS_XVFB:-}" ]; then
  exec env SKYVANE_WINDOWS_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$PWD/scripts/test-windows.sh" "${archs[@]}"
fi

# Debian's `wine` starts Wine's 32-bit loader whenever wine32 is installed.
# A kernel built without 32-bit support (some virtual machines) cannot run
# it: there the 64-bit loader runs everything, through a `wine` of our own
# first on the PATH (winepath finds it as `wine-stable`), and the 32-bit
# build is built and packed but its tests cannot run.
run32=1
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  run32=0
  shim=$PWD/build/wine/bin
  mkdir -p "$shim"
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
  chmod +x "$shim/wine"
  ln -sf wine "$shim/wine-stable"
  export PATH=$shim:$PATH
  echo "This machine runs no 32-bit programs: the i686 build's tests are skipped, Wine runs 64-bit only."
fi

builddirs=()
for arch in "${archs[@]}"; do
  echo "== Windows build for $arch (mingw-w64, wxMSW)"
  builddirs+=("$(scripts/build-windows.sh "$arch" | tail -n 1)")
done

build=build/wine
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
# Wine draws with its X11 driver on the Xvfb display. Earlier versions of this
# script set the null driver in the prefix; the desktop picks its driver when
# it starts, so a prefix that changes it is started again.
drivers='HKCU\Software\Wine\Drivers'
graphics=$(wine reg query "$drivers" /v Graphics 2>/dev/null || true)
if [[ $graphics == *null* ]]; then
  wine reg delete "$drivers" /v Graphics /f >/dev/null 2>&1
  stop_wine
  start_wine
fi
# Wine closes the desktop a second after its last program ends, and the next
# test that creates a window opens it again, with a desktop process that
# holds the test's output until it goes: a second lost per test. Any program
# with a window keeps it open; Notepad comes with every prefix, minimised out
# of the screenshots' way.
wine start /min notepad </dev/null >/dev/null 2>&1

export SKYVANE_SCREENSHOT_DIR=${SKYVANE_SCREENSHOT_DIR:-$PWD/build/screenshots-windows}
mkdir -p "$SKYVANE_SCREENSHOT_DIR"
status=0
for i in "${!archs[@]}"; do
  arch=${archs[$i]}
  dir=${builddirs[$i]}
  if [ "$arch" = i686 ] && [ "$run32" -eq 0 ]; then
    echo "== Windows tests for i686: skipped, this machine's kernel runs no 32-bit programs"
    continue
  fi
  echo "== Windows tests for $arch (Wine)"
  # One at a time: every test program shares the prefix's registry and
  # window list, and the single-instance tests look for each other's
  # windows. The screenshots are saved through Windows paths.
  log=$dir/ctest.log
  shots=$SKYVANE_SCREENSHOT_DIR/$arch
  mkdir -p "$shots"
  SKYVANE_SCREENSHOT_DIR=$(winepath -w "$shots") \
    ctest --test-dir "$dir" --output-on-failure --timeout 120 -j1 >"$log" 2>&1 || {
    status=$?
    cat "$log"
  }
  [ "$status" -ne 0 ] || tail -n 3 "$log"
  if [ "$status" -eq 0 ] && [ -f "$dir/src/app/Skyvane.exe" ]; then
    SKYVANE_SCREENSHOT_DIR=$shots scripts/smoke-windows.sh "$dir" "$arch" || status=$?
  fi
  [ "$status" -eq 0 ] || break
done

# The registry contract tests write real keys, each under a name of its own;
# clear them away for the next run. HKEY_LOCAL_MACHINE's are in the 32-bit
# view, where the backend opens its keys.
for key in 'HKCU\Software\Skyvane Tests' 'HKLM\Software\Wow6432Node\Skyvane Tests'; do
  wine reg delete "$key" /f >/dev/null 2>&1 || true
done
echo "Windows screenshots: $SKYVANE_SCREENSHOT_DIR"
exit "$status"
