#!/usr/bin/env bash
# Measures the window at rest and its start-up, each beside a minimal wx
# window (a frame with one label, bench/MinimalWxWindow.cpp) built by the
# same compiler with the same flags and wx libraries, in the same run. The
# minimal window runs twice: as wx gives it, and with GDK_GL=disable, which
# Skyvane sets for itself (src/app/Skyvane.cpp: GTK then loads no OpenGL):
#
#   start-up   from just before exec to the first paint of the main window
#              (the program writes the time of that paint into the file
#              SKYVANE_FIRST_PAINT_FILE names); the two programs alternate,
#              STARTS times each (default 5), and the fastest and the median
#              are reported
#   memory     VmRSS 10 s after start (and how much of it is anonymous
#              memory, how much mapped files such as the shared libraries)
#   idle CPU   utime + stime from 10 s to 10 + IDLE s (default 60): Skyvane
#              polls its quiet sample client every two seconds meanwhile
#
# Skyvane runs on the demo's sample client (tools/sample) with an installed
# program's settings, so no dialog opens; the client files do not change
# during the run. Everything runs under one Xvfb; every process started here
# is ended before the script ends. A measurement, not a test: the figures
# depend on the machine and on what else runs on it (the load average is
# printed with them). Skyvane's /proc/PID/smaps at the end of its rest is
# kept as build/release-gui/measure-window/skyvane-smaps.txt.
#
#   scripts/measure-window.sh [--skyvane PATH]
#
# --skyvane measures another build of the skyvane program (one with the
# first-paint hook) in place of this checkout's, for a before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C

skyvane=""
if [ "${1:-}" = "--skyvane" ]; then
  skyvane=$(realpath "${2:?--skyvane needs the path of a skyvane program}")
fi
starts=${STARTS:-5}
idle=${IDLE:-60}

scripts/install-deps.sh
build=build/release-gui
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSKYVANE_GUI=ON -DSKYVANE_TESTS=ON \
  -DSKYVANE_BENCHMARKS=ON -DSKYVANE_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target skyvane skyvane-minimal-window make-sample-client >/dev/null
[ -n "$skyvane" ] || skyvane=$PWD/$build/src/app/skyvane
minimal=$PWD/$build/bench/skyvane-minimal-window

# The demo's sample client and an installed Skyvane's settings (see
# scripts/demo.sh), all under the run directory.
run=$PWD/$build/measure-window
rm -rf "$run"
mkdir -p "$run/program" "$run/registry" "$run/runtime" "$run/config" "$run/data"
"$build/tools/make-sample-client" "$run/client"
{ head -c 257 /dev/zero; printf '\0043.42'; head -c 506 /dev/zero; } >"$run/program/Skyvane.set"
printf '[Software\\SETI@home]\nClientDir=%s/\n' "$run/client" >"$run/registry/HKEY_CURRENT_USER.ini"
export SKYVANE_PROGRAM_DIR=$run/program
export SKYVANE_REGISTRY_DIR=$run/registry
export SKYVANE_RUNTIME_DIR=$run/runtime
export XDG_CONFIG_HOME=$run/config
export XDG_DATA_HOME=$run/data

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

# The measuring part, on the Xvfb display; it prints the table.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
set -euo pipefail
skyvane=$1 minimal=$2 run=$3 starts=$4 idle=$5
ticks=$(getconf CLK_TCK)
pids=()
trap '\''for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait'\'' EXIT

# start PROGRAM [GDK_GL]: starts it with the first-paint file set (and
# GDK_GL, when given); its time of exec goes to $run/exec-time. Sets $pid.
start() {
  rm -f "$run/first-paint"
  (
    export SKYVANE_FIRST_PAINT_FILE=$run/first-paint
    [ -z "${2:-}" ] || export GDK_GL=$2
    printf "%s\n" "$EPOCHREALTIME" >"$run/exec-time"
    exec "$1" >>"$run/output.txt" 2>&1
  ) &
  pid=$!
  pids+=("$pid")
}

# stop: ends the process started last and waits for it.
stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# startup PROGRAM [GDK_GL]: milliseconds from exec to the first paint,
# into $ms.
startup() {
  start "$@"
  local waited=0
  while [ ! -s "$run/first-paint" ]; do
    sleep 0.02
    waited=$((waited + 1))
    if [ "$waited" -gt 1500 ]; then
      echo "no first paint of $1 within 30 s" >&2
      exit 1
    fi
  done
  sleep 0.1
  stop
  local exec_us painted_ns
  exec_us=$(tr -d . <"$run/exec-time")
  painted_ns=$(cat "$run/first-paint")
  ms=$(( (painted_ns / 1000 - exec_us) / 1000 ))
}

# cpu PID: processor time so far, in clock ticks (utime + stime).
cpu() { sed "s/^.*) //" "/proc/$1/stat" | awk "{ print \$12 + \$13 }"; }
# kb FIELD PID: a field of /proc/PID/status, in kB.
kb() { awk -v f="$1:" "\$1 == f { print \$2 }" "/proc/$2/status"; }

# min and median of the numbers on stdin
stats() { sort -n | awk "{ v[NR] = \$1 } END { print v[1], v[int((NR + 1) / 2)] }"; }

sky_times=() min_times=() ngl_times=()
for ((i = 0; i < starts; i++)); do
  startup "$skyvane"; sky_times+=("$ms")
  startup "$minimal"; min_times+=("$ms")
  startup "$minimal" disable; ngl_times+=("$ms")
done
read -r sky_min sky_med < <(printf "%s\n" "${sky_times[@]}" | stats)
read -r min_min min_med < <(printf "%s\n" "${min_times[@]}" | stats)
read -r ngl_min ngl_med < <(printf "%s\n" "${ngl_times[@]}" | stats)

# All three at rest side by side, none painting after its start.
start "$skyvane"; sky=$pid
start "$minimal"; mini=$pid
start "$minimal" disable; ngl=$pid
sleep 10
for p in "$sky" "$mini" "$ngl"; do
  kill -0 "$p" 2>/dev/null || { echo "a program ended early; see $run/output.txt" >&2; exit 1; }
done
for v in sky mini ngl; do
  p=${!v}
  declare "${v}_rss=$(kb VmRSS "$p")" "${v}_anon=$(kb RssAnon "$p")" \
    "${v}_file=$(kb RssFile "$p")" "${v}_cpu0=$(cpu "$p")"
done
sleep "$idle"
for v in sky mini ngl; do
  p=${!v} c0=${v}_cpu0
  declare "${v}_cpu=$(( $(cpu "$p") - ${!c0} ))"
done
cp "/proc/$sky/smaps" "$run/skyvane-smaps.txt" 2>/dev/null || true

mb() { awk -v k="$1" "BEGIN { printf \"%.1f\", k / 1024 }"; }
sec() { awk -v t="$1" -v h="$ticks" "BEGIN { printf \"%.2f\", t / h }"; }
ratio() { awk -v a="$1" -v b="$2" "BEGIN { if (b > 0) printf \"%.2f\", a / b; else print \"-\" }"; }

printf "\n%-28s %9s %9s %6s %9s %6s  %s\n" "" "Skyvane" "minimal" "ratio" "no GL" "ratio" \
  "goal"
# row LABEL, three figures as shown (Skyvane, minimal, minimal without GL), the
# same three raw for the ratios, GOAL
row() {
  printf "%-28s %9s %9s %6s %9s %6s  %s\n" "$1" "$2" "$3" "$(ratio "$5" "$6")" "$4" \
    "$(ratio "$5" "$7")" "$8"
}
row "start-up, fastest (ms)" "$sky_min" "$min_min" "$ngl_min" "$sky_min" "$min_min" "$ngl_min" \
  "<= 300 ms"
row "start-up, median (ms)" "$sky_med" "$min_med" "$ngl_med" "$sky_med" "$min_med" "$ngl_med" ""
row "VmRSS at 10 s (MB)" "$(mb "$sky_rss")" "$(mb "$mini_rss")" "$(mb "$ngl_rss")" \
  "$sky_rss" "$mini_rss" "$ngl_rss" "<= 1.5x minimal"
row "  anonymous (MB)" "$(mb "$sky_anon")" "$(mb "$mini_anon")" "$(mb "$ngl_anon")" \
  "$sky_anon" "$mini_anon" "$ngl_anon" ""
row "  mapped files (MB)" "$(mb "$sky_file")" "$(mb "$mini_file")" "$(mb "$ngl_file")" \
  "$sky_file" "$mini_file" "$ngl_file" ""
row "CPU over ${idle} s at rest (s)" "$(sec "$sky_cpu")" "$(sec "$mini_cpu")" "$(sec "$ngl_cpu")" \
  "$sky_cpu" "$mini_cpu" "$ngl_cpu" "<= 0.1 s"
echo
echo "start-ups (ms), Skyvane: ${sky_times[*]}"
echo "                minimal: ${min_times[*]}"
echo "                minimal without GL: ${ngl_times[*]}"
' measure "$skyvane" "$minimal" "$run" "$starts" "$idle"

echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
