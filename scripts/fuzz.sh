#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang, AddressSanitizer and
# UndefinedBehaviourSanitizer, and runs each for SECONDS (default 60) over
# its corpus in build/fuzz/corpus, which grows from run to run.
#   scripts/fuzz.sh [SECONDS] [HARNESS...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
scripts/install-deps.sh
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DSKYVANE_GUI=OFF -DSKYVANE_FUZZ=ON \
  -DSKYVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYVANE_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build "$build" -j"$(nproc)" --target skyvane_fuzzers
# Every harness unless some are named (the seeds are written first either way).
pattern=.
[ $# -eq 0 ] || pattern="^(FuzzSeeds|$(IFS='|'; echo "$*"))\$"
ctest --test-dir "$build" -L fuzz -R "$pattern" --output-on-failure
