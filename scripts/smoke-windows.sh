#!/usr/bin/env bash
# Smoke run of the real Skyvane.exe under Wine, as a user would start it:
#
#   scripts/smoke-windows.sh BUILD_DIR NAME
#
# BUILD_DIR is a Windows build with the windows (scripts/test-windows.sh
# makes one per architecture and runs this inside its Wine prefix and X
# display). Skyvane.exe is copied into a program directory of its own with a
# settings file written beforehand (so no install dialog comes up) that names
# no client directory; the client's "ClientDir" is in the registry's 32-bit
# view, as the 32-bit client keeps it. Checked from outside by
# skyvane-window-probe.exe: the main window appears and FindWindow finds
# "TMainForm" / "Skyvane"; a second start ends at once; the labels show the
# sample work unit; a posted WM_QUIT ends Skyvane with status 0. The main
# window's screenshot goes to SKYVANE_SCREENSHOT_DIR as
# windows-mainform.png.
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR NAME}
name=${2:?usage: $0 BUILD_DIR NAME}
shots=${SKYVANE_SCREENSHOT_DIR:-$build/screenshots}
mkdir -p "$shots"

run=$PWD/$build/smoke
rm -rf "$run"
mkdir -p "$run/program"
cp "$build/src/app/Skyvane.exe" "$run/program/"
probe() { wine "$build/tests/skyvane-window-probe.exe" "$1" TMainForm Skyvane; }

# A sample client directory, written by the Windows build of the sample tool.
wine "$build/tools/make-sample-client.exe" "$(winepath -w "$run/client")"
# The 768-byte record of the current version (its length-prefixed text at
# offset 257) with every other field zero: no client directory, no options.
{
  head -c 257 /dev/zero
  printf '\004%s' 3.42
  head -c $((768 - 262)) /dev/zero
} >"$run/program/Skyvane.set"
key='HKLM\Software\Wow6432Node\SETI@home'
wine reg add "$key" /v ClientDir /d "$(winepath -w "$run/client")\\" /f >/dev/null

fail() {
  echo "smoke run ($name): $*" >&2
  [ -n "${skyvane:-}" ] && kill "$skyvane" 2>/dev/null
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  exit 1
}

echo "== smoke run of Skyvane.exe ($name)"
wine "$run/program/Skyvane.exe" &
skyvane=$!
# Polled for at most a minute: a fresh Wine prefix takes some seconds.
for _ in $(seq 120); do
  probe find >/dev/null && break
  kill -0 "$skyvane" 2>/dev/null || fail "Skyvane.exe ended before its window appeared"
  sleep 0.5
done
probe find >/dev/null || fail "FindWindow does not find TMainForm / Skyvane"

# A second start finds the first and ends without a window.
timeout 60 wine "$run/program/Skyvane.exe" || fail "the second start did not end cleanly"
kill -0 "$skyvane" 2>/dev/null || fail "the first Skyvane.exe ended with the second"

# The window's labels, as any Windows program reads them. The first poll
# fills them right after the window appears; give it a moment.
texts=$run/texts.txt
for _ in $(seq 40); do
  # The console output of a Windows program ends its lines with CR LF.
  probe texts | tr -d '\r' >"$texts" || true
  grep -q '21.32%' "$texts" && break
  sleep 0.5
done
for expected in 'Mon Mar 12 20:32:56 2001' 'Arecibo Radio Telescope' '1.418741455 GHz' '21.32%'; do
  grep -qF "$expected" "$texts" || { cat "$texts"; fail "no label reads \"$expected\""; }
done

# The main window as it stands on the screen.
read -r left top right bottom < <(awk '$1 == "window" && $6 == "Skyvane" { print $2, $3, $4, $5; exit }' "$texts") || true
[ -n "${bottom:-}" ] || { cat "$texts"; fail "no visible window titled Skyvane"; }
shot=$shots/windows-mainform.png
import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$shot"
echo "screenshot: $shot"

probe quit || fail "cannot post WM_QUIT"
status=0
for _ in $(seq 60); do
  kill -0 "$skyvane" 2>/dev/null || break
  sleep 0.5
done
kill -0 "$skyvane" 2>/dev/null && fail "Skyvane.exe did not end on WM_QUIT"
wait "$skyvane" || status=$?
[ "$status" -eq 0 ] || fail "Skyvane.exe ended with status $status"
probe find >/dev/null && fail "the TMainForm window outlived Skyvane.exe"
wine reg delete "$key" /f >/dev/null 2>&1 || true
echo "smoke run ($name): passed"
