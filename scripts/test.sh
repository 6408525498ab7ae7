#!/usr/bin/env bash
# Builds Skyvane with AddressSanitizer and UndefinedBehaviourSanitizer and
# runs every test: first the logic alone, built without wx (which proves the
# logic needs no GUI toolkit); then the platform and logic cross-built for
# Windows, under Wine; then the Debian package; last everything, the GUI
# tests under Xvfb and the package's test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

echo "== logic without wx"
# Plain and without debug information: this build proves the logic needs no
# GUI toolkit; the sanitized build below runs the same tests again.
# The benchmarks are built (not run) so that they keep compiling.
cmake -S . -B build/nogui -DSKYVANE_GUI=OFF -DSKYVANE_SANITIZE=OFF -DSKYVANE_BENCHMARKS=ON -DCMAKE_BUILD_TYPE= >/dev/null
cmake --build build/nogui -j"$jobs"
# The processes of the stand-in client and the end-to-end run are the same
# in both builds: they run once, below.
log=build/nogui/ctest.log
ctest --test-dir build/nogui --output-on-failure -j"$jobs" -LE 'e2e|standin' >"$log" 2>&1 ||
  { cat "$log"; exit 1; }
tail -n 3 "$log"

echo "== fuzzers, 20 seconds each"
scripts/fuzz.sh 20

scripts/test-windows.sh
scripts/package-windows.sh

echo "== Debian package"
# Built with Debian's flags in build/deb and checked by lintian; the test
# labelled "package" below unpacks it and checks its files.
scripts/package.sh

echo "== everything"
cmake -S . -B build/test -DSKYVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/test -j"$jobs"
export SKYVANE_SCREENSHOT_DIR=${SKYVANE_SCREENSHOT_DIR:-$PWD/build/test/screenshots}
mkdir -p "$SKYVANE_SCREENSHOT_DIR"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build/test --output-on-failure -j"$jobs"
echo "Screenshots: $SKYVANE_SCREENSHOT_DIR"
