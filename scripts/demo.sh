#!/usr/bin/env bash
# Builds Skyvane, starts the stand-in SETI@home client in a demo client
# directory and opens Skyvane on it. Everything the demo writes (program
# directory, registry stand-in, window records, the client's server folder)
# stays under build/demo/run.
#
# With a display, Skyvane opens there and the client finishes a work unit
# every two to three minutes. Without one (or with --headless) both run
# under Xvfb on a faster clock for a while; screenshots are saved along the
# way and their paths printed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/demo
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYVANE_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target skyvane skyvane-cli make-sample-client \
  setiathome-standin

run=$PWD/$build/run
rm -rf "$run"
mkdir -p "$run/program" "$run/registry" "$run/runtime" "$run/server"
# A user with some history; the client fetches its first work unit itself.
"$build/tools/make-sample-client" "$run/client"
rm -f "$run/client/work_unit.sah" "$run/client/state.sah"

# An installed Skyvane's settings (what its "first" start writes: the length
# byte 4 at offset 257 and the version text "3.42" after it, zeros
# elsewhere), so that the demo does not open the install dialog of a first
# run.
{ head -c 257 /dev/zero; printf '\0043.42'; head -c 506 /dev/zero; } >"$run/program/Skyvane.set"

export SKYVANE_PROGRAM_DIR=$run/program
export SKYVANE_REGISTRY_DIR=$run/registry
export SKYVANE_RUNTIME_DIR=$run/runtime
# The client records its directory in the registry; on Linux the stand-in
# registry is a plain text file.
printf '[Software\\SETI@home]\nClientDir=%s/\n' "$run/client" >"$run/registry/HKEY_CURRENT_USER.ini"

headless=false
if [ -z "${DISPLAY:-}" ] || [ "${1:-}" = "--headless" ]; then headless=true; fi
seconds=150
$headless && seconds=30

# The client, working in its directory until the demo ends.
standin=$PWD/$build/tools/setiathome-standin
(cd "$run/client" && exec "$standin" --seconds "$seconds" \
  --server "$run/server" --seed 42 --quiet) &
client=$!
trap 'kill "$client" 2>/dev/null; wait "$client" 2>/dev/null || true' EXIT
while [ ! -e "$run/client/state.sah" ]; do sleep 0.2; done

echo "== skyvane-cli status --client-dir $run/client"
"$build/src/cli/skyvane-cli" status --client-dir "$run/client"

if ! $headless; then
  "$build/src/app/skyvane"
  exit 0
fi

echo "== no display: running Skyvane under Xvfb for a minute"
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  "$1" & pid=$!
  for shot in 1 2 3 4; do
    sleep 14
    import -window root "$2/skyvane-demo-$shot.png"
    echo "Screenshot: $2/skyvane-demo-$shot.png"
  done
  kill "$pid"; wait "$pid" 2>/dev/null || true' demo "$PWD/$build/src/app/skyvane" "$run"
