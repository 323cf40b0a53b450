#!/usr/bin/env bash
# Runs every benchmark and prints one Markdown table of every target they measured, with the
# commit and the machine's load average before and after. Takes long (many minutes): it is run by
# hand, never by CI or ./test.sh.
#
#   scripts/bench.sh [--no-build] [NAME...]
#
# Builds the benchmarks in build/ first (RelWithDebInfo with VELMAR_BENCH=ON, as ./test.sh leaves
# it; a build folder configured otherwise is switched to that), unless --no-build. NAME picks the
# benchmarks whose names contain it (all by default). VELMAR_BENCH_BUILD names another build folder.
#
# A benchmark is every executable build/bench/bench_* and every bench/bench_*.py (run with
# python3, VELMAR_BIN naming the program). Each one draws offscreen by itself; bench_startup_pair
# runs twice, offscreen and on an X server of its own (Xvfb, with openbox when installed). A
# measured target is a line a benchmark prints through bench/target_line.h:
#   TARGET <id> | <what> | <figure> | <baseline> | <value> | <target> | ok|MISSED
# a script that cannot run prints "SKIP <name>: <why>". Each benchmark's whole output is kept in
# build/bench-logs/<name>.log. Exits 1 when a benchmark failed or could not be built, else 0 (a
# MISSED target is a result, not a failure). The table is also kept in build/bench-logs/table.md.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
. scripts/common.sh

build=${VELMAR_BENCH_BUILD:-build}
do_build=1
names=()
for arg in "$@"; do
  case $arg in
    --no-build) do_build=0 ;;
    -h|--help) sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) names+=("$arg") ;;
  esac
done

# Limits for one benchmark's run, in seconds, so that one that hangs does not stop the rest.
per_bench_limit=${VELMAR_BENCH_TIMEOUT:-1800}

if [ $do_build = 1 ]; then
  if [ -f "$build/CMakeCache.txt" ]; then
    type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
    bench=$(sed -n 's/^VELMAR_BENCH:BOOL=//p' "$build/CMakeCache.txt")
    if [ "$type" != RelWithDebInfo ] || [ "$bench" = OFF ]; then
      echo "Configuring $build as RelWithDebInfo with the benchmarks (it was ${type:-untyped}, VELMAR_BENCH=${bench:-ON})"
      cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMAR_BENCH=ON >/dev/null || exit 1
    fi
    echo "Building $build ..."
    cmake --build "$build" >"$build/bench-build.log" 2>&1 || {
      tail -n 30 "$build/bench-build.log" >&2
      echo "The build failed (whole output: $build/bench-build.log)." >&2
      exit 1
    }
  else
    echo "Configuring and building $build (RelWithDebInfo, VELMAR_BENCH=ON) ..."
    velmar_build "$build" -DVELMAR_BENCH=ON || exit 1
  fi
fi
if [ ! -x "$build/src/velmar" ]; then
  echo "$build/src/velmar is not built: run ./test.sh or leave out --no-build." >&2
  exit 1
fi
if ! compgen -G "$build/bench/bench_*" >/dev/null; then
  echo "No benchmark is built in $build/bench: Google Benchmark (libbenchmark-dev) is missing" \
       "or the build has VELMAR_BENCH=OFF." >&2
  exit 1
fi

wanted() {
  [ ${#names[@]} -eq 0 ] && return 0
  local n
  for n in "${names[@]}"; do [[ $1 == *"$n"* ]] && return 0; done
  return 1
}

logs="$build/bench-logs"
rm -rf "$logs"
mkdir -p "$logs"
# Each benchmark picks its own platform (offscreen), not the caller's.
unset QT_QPA_PLATFORM
export VELMAR_BIN=$PWD/$build/src/velmar

rows=()    # "bench|TARGET line"
ran=()     # benchmarks that ran, with their target count
failed=()  # benchmarks that failed, with why
skipped=() # what was not measured, with why

# run NAME LOG COMMAND...: runs one benchmark, keeps its output, gathers its TARGET and SKIP lines.
run() {
  local name=$1 log=$2; shift 2
  printf '%-28s ' "$name"
  local start=$SECONDS status
  timeout --kill-after=30 "$per_bench_limit" "$@" >"$log" 2>&1 </dev/null
  status=$?
  local targets=0 line
  while IFS= read -r line; do
    rows+=("$name|${line#TARGET }")
    targets=$((targets + 1))
  done < <(grep -a '^TARGET ' "$log")
  local skips=0
  while IFS= read -r line; do
    line=${line#SKIP }
    skipped+=("$name: ${line#"$name: "}")
    skips=$((skips + 1))
  done < <(grep -a '^SKIP ' "$log")
  local took=$((SECONDS - start))
  if [ $status -ne 0 ]; then
    local why="exit status $status"
    [ $status -eq 124 ] && why="no end after ${per_bench_limit} s"
    failed+=("$name: $why, after ${took} s; last words: $(grep -av '^TARGET ' "$log" | tail -n 1 | cut -c1-200)")
    echo "FAILED ($why, ${took} s)"
  elif [ $targets -eq 0 ] && [ $skips -gt 0 ]; then
    echo "skipped"
  else
    ran+=("$name ($targets target line(s), ${took} s)")
    echo "done, ${targets} target line(s), ${took} s"
  fi
}

# An X server of our own for the start-up on X: Xvfb on a free display, openbox when installed.
xvfb_pid=
wm_pid=
stop_x() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wm_pid="" xvfb_pid=""
  return 0
}
trap stop_x EXIT
x_display="" x_why=""
start_x() {
  command -v Xvfb >/dev/null || { x_why="Xvfb is not installed"; return 1; }
  local fifo display
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$fifo" >"$logs/xvfb.log" 2>&1 &
  xvfb_pid=$!
  read -r -t 20 display <"$fifo"
  rm -f "$fifo"
  [ -n "$display" ] || { x_why="Xvfb did not start (see $logs/xvfb.log)"; stop_x; return 1; }
  x_display=:$display
  if command -v openbox >/dev/null; then
    DISPLAY=$x_display openbox >"$logs/openbox.log" 2>&1 &
    wm_pid=$!
  fi
  return 0
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
commit=$(git describe --always --dirty 2>/dev/null || echo unknown)
started=$(date '+%Y-%m-%d %H:%M')
echo "Benchmarks of $commit, load average $load_before; output in $logs/"

for exe in "$build"/bench/bench_*; do
  if [ ! -f "$exe" ] || [ ! -x "$exe" ]; then continue; fi
  name=$(basename "$exe")
  wanted "$name" || continue
  run "$name" "$logs/$name.log" "$exe"
  if [ "$name" = bench_startup_pair ]; then
    if start_x; then
      run "$name (X)" "$logs/$name-x.log" env QT_QPA_PLATFORM=xcb DISPLAY="$x_display" "$exe"
      stop_x
    else
      skipped+=("$name on X: $x_why")
    fi
  fi
done
for script in bench/bench_*.py; do
  [ -f "$script" ] || continue
  name=$(basename "$script" .py)
  wanted "$name" || continue
  if ! command -v python3 >/dev/null; then
    skipped+=("$name: python3 is not installed")
    continue
  fi
  run "$name" "$logs/$name.log" python3 "$script"
done

load_after=$(cut -d' ' -f1-3 /proc/loadavg)

trim() { local s=$1; s=${s#"${s%%[! ]*}"}; printf '%s' "${s%"${s##*[! ]}"}"; }
ok=0 missed=0
{
  echo "## Benchmarks of $commit ($started)"
  echo
  echo "Load average (1, 5, 15 min): before $load_before, after $load_after; $(nproc) cores."
  echo
  echo "| Benchmark | Target | Measured | Figure | Baseline | Value | Limit | Result |"
  echo "|---|---|---|---|---|---|---|---|"
  for row in "${rows[@]}"; do
    bench=${row%%|*}
    IFS='|' read -r id what figure baseline value limit result <<<"${row#*|}"
    result=$(trim "$result")
    if [ "$result" = ok ]; then ok=$((ok + 1)); else missed=$((missed + 1)); result="**$result**"; fi
    printf '| %s | %s | %s | %s | %s | %s | %s | %s |\n' "$bench" "$(trim "$id")" "$(trim "$what")" \
      "$(trim "$figure")" "$(trim "$baseline")" "$(trim "$value")" "$(trim "$limit")" "$result"
  done
  echo
  echo "Targets: $((ok + missed)), ok $ok, MISSED $missed."
  echo
  echo "Ran: ${#ran[@]}."
  for r in "${ran[@]}"; do echo "- $r"; done
  if [ ${#skipped[@]} -gt 0 ]; then
    echo
    echo "Skipped (not measured):"
    for s in "${skipped[@]}"; do echo "- $s"; done
  fi
  if [ ${#failed[@]} -gt 0 ]; then
    echo
    echo "FAILED (their targets are missing from the table; output in $logs/):"
    for f in "${failed[@]}"; do echo "- $f"; done
  fi
} >"$logs/table.md"
echo
cat "$logs/table.md"
[ ${#failed[@]} -eq 0 ]
