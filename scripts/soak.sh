#!/usr/bin/env bash
# The soak: the stand-in client processes UNITS work units (default 1000) of
# SECONDS each (default 1) while Skyvane's logic polls it headless; prints
# resident memory and open descriptors every 100 work units and checks that
# every returned result was archived once and reads back.
#   scripts/soak.sh [UNITS] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build/soak
# Optimised and without sanitizers, so that the memory printed is the
# program's own.
cmake -S . -B "$build" -DSKYVANE_GUI=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target skyvane-soak
"$build/tests/skyvane-soak" --units "${1:-1000}" --seconds "${2:-1}"
