#!/usr/bin/env bash
# Builds Skyvane, creates a sample SETI@home client directory and opens
# Skyvane on it. Everything the demo writes (program directory, registry
# stand-in, window records) stays under build/demo/run.
#
# With a display, Skyvane opens there. Without one (or with --headless) it
# runs under Xvfb, a screenshot is saved and its path printed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/demo
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYVANE_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target skyvane skyvane-cli make-sample-client

run=$PWD/$build/run
rm -rf "$run"
mkdir -p "$run/program" "$run/registry" "$run/runtime"
"$build/tools/make-sample-client" "$run/client"

export SKYVANE_PROGRAM_DIR=$run/program
export SKYVANE_REGISTRY_DIR=$run/registry
export SKYVANE_RUNTIME_DIR=$run/runtime
# The client records its directory in the registry; on Linux the stand-in
# registry is a plain text file.
printf '[Software\\SETI@home]\nClientDir=%s/\n' "$run/client" >"$run/registry/HKEY_CURRENT_USER.ini"

echo "== skyvane-cli status --client-dir $run/client"
"$build/src/cli/skyvane-cli" status --client-dir "$run/client"

if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != "--headless" ]; then
  exec "$build/src/app/skyvane"
fi

shot=$run/skyvane-demo.png
echo "== no display: running Skyvane under Xvfb"
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  "$1" & pid=$!
  sleep 5
  import -window root "$2"
  kill "$pid"; wait "$pid" 2>/dev/null || true' demo "$PWD/$build/src/app/skyvane" "$shot"
echo "Screenshot: $shot"
