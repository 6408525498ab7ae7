#!/usr/bin/env bash
# Unpacks skyvane_3.42_amd64.deb into a throwaway root (dpkg -x) and checks
# what a user gets: the control fields and dependencies, every file in its
# place and valid, and the installed programs running from that root.
#
#   CheckDebPackage.sh DEB
#
# Exit 77 (skipped) when DEB has not been built: scripts/package.sh builds
# it, and scripts/test.sh runs that before this test.
set -euo pipefail
deb=$1
if [ ! -f "$deb" ]; then
  echo "no $deb: run scripts/package.sh first" >&2
  exit 77
fi
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { "$@" >/dev/null 2>&1 || fail "$*"; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = skyvane ] || fail "Package: $(field Package)"
[ "$(field Version)" = 3.42 ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
# The libraries the programs link, as dpkg-shlibdeps names their packages.
depends=$(field Depends)
for lib in libc6 libstdc++6 libgcc-s1 zlib1g 'libwxgtk3.2-1'; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

dpkg -x "$deb" "$root"
usr=$root/usr
for program in skyvane skyvane-cli; do
  [ -x "$usr/bin/$program" ] || fail "no executable usr/bin/$program"
  check file -b "$usr/bin/$program"
  # Stripped: no symbol table left.
  file -b "$usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
  check man --warnings -E UTF-8 -l "$usr/share/man/man1/$program.1.gz"
  [ -z "$(man --warnings -E UTF-8 -l "$usr/share/man/man1/$program.1.gz" 2>&1 >/dev/null)" ] ||
    fail "man page of $program has warnings"
done
desktop=$usr/share/applications/org.skyvane.Skyvane.desktop
[ -f "$desktop" ] || fail "no desktop entry"
check desktop-file-validate "$desktop"
grep -qx 'Exec=skyvane' "$desktop" || fail "desktop entry does not start skyvane"
grep -qx 'Icon=skyvane' "$desktop" || fail "desktop entry has another icon"
metainfo=$usr/share/metainfo/org.skyvane.Skyvane.metainfo.xml
check appstreamcli validate --no-net "$metainfo"
for size in 16 32 48; do
  icon=$usr/share/icons/hicolor/${size}x${size}/apps/skyvane.png
  file -b "$icon" 2>/dev/null | grep -q "PNG image data, $size x $size" ||
    fail "icon ${size}x$size: $(file -b "$icon" 2>&1)"
done
[ -f "$usr/share/doc/skyvane/copyright" ] || fail "no copyright file"
check gzip -t "$usr/share/doc/skyvane/changelog.gz"

# The programs run from the unpacked root: their libraries resolve, and the
# GUI program answers --version without a display.
[ "$("$usr/bin/skyvane-cli" --version)" = "skyvane-cli 3.42" ] || fail "skyvane-cli --version"
[ "$(DISPLAY= WAYLAND_DISPLAY= "$usr/bin/skyvane" --version)" = "skyvane 3.42" ] ||
  fail "skyvane --version"
# Installed in a bin directory, the programs keep their data in the user's
# data directory, not beside themselves.
client=$root/client
mkdir -p "$client"
printf 'cr=1\ncpu=5\nprog=0.5\nbs_power=0\n' >"$client/state.sah"
home=$root/home
status=$(env -u SKYVANE_PROGRAM_DIR HOME="$home" XDG_DATA_HOME="$home/data" \
  SKYVANE_REGISTRY_DIR="$home/registry" SKYVANE_RUNTIME_DIR="$home/run" \
  "$usr/bin/skyvane-cli" status --client-dir "$client") || fail "skyvane-cli status"
[[ $status == *'"PercentageLabel": "50%"'* ]] || fail "status: $status"
[ -d "$home/data/skyvane" ] || fail "no data directory ~/.local/share/skyvane"

[ "$failures" -eq 0 ] || exit 1
echo "ok: $deb"
