#!/usr/bin/env bash
# Builds the libFuzzer harnesses of the readers with clang (AddressSanitizer, UBSan) in
# build-fuzz/ and runs each for SECONDS (default 60), starting from the test fixtures as seeds,
# the kept regression inputs (tests/fuzz_regressions/<harness>) and the formats' dictionaries.
# A crash, leak, timeout or over-large allocation stops with a non-zero status; the input that
# caused it is left in build-fuzz/artifacts/.
#   scripts/fuzz.sh [SECONDS] [HARNESS...]    harnesses: outline_reader snapshot_reader
#                                             extension_block old_outline jpeg cp1251 film_picture
# The film harness starts from small films of each container and codec that ffmpeg makes.
# Set VELMAR_FUZZ_RUNS=N to stop each after N executions instead.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(outline_reader snapshot_reader extension_block old_outline jpeg cp1251 film_picture)

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DVELMAR_PCH=OFF)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1} CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-20G}
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMAR_FUZZ=ON -DVELMAR_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz --target fuzz_make_seeds "${harnesses[@]/#/fuzz_}"

declare -A dictionary=([outline_reader]=outline [snapshot_reader]=outline [extension_block]=outline [old_outline]=old_outline
                       [jpeg]=jpeg [cp1251]=cp1251 [film_picture]=film)
rm -rf build-fuzz/seeds
build-fuzz/fuzz/fuzz_make_seeds build-fuzz/seeds
case " ${harnesses[*]} " in *" film_picture "*) fuzz/make_film_seeds.sh build-fuzz/seeds/film_picture ;; esac
mkdir -p build-fuzz/artifacts
status=0
for h in "${harnesses[@]}"; do
  corpus=build-fuzz/corpus/$h
  mkdir -p "$corpus"
  sources=("$corpus" build-fuzz/seeds/"$h")
  [ -d "tests/fuzz_regressions/$h" ] && sources+=("tests/fuzz_regressions/$h")
  limit=(-max_total_time="$seconds")
  # The outline harnesses take the compact form: inputs stay small (whole kept files are cut).
  case $h in outline_reader|snapshot_reader|extension_block|film_picture) limit+=(-max_len=65536) ;; esac
  [ -n "${VELMAR_FUZZ_RUNS:-}" ] && limit=(-runs="$VELMAR_FUZZ_RUNS")
  echo "== fuzz_$h"
  # 2 GB of memory per input at most, 10 s per input; leaks are reported. Freed memory is held
  # back from reuse for 32 MB of later frees (many executions' worth) rather than the default
  # 256 MB: touching fresh pages for every allocation cost a third of the run.
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:quarantine_size_mb=32 \
       "build-fuzz/fuzz/fuzz_$h" "${sources[@]}" -dict="fuzz/dict/${dictionary[$h]}.dict" \
       "${limit[@]}" -rss_limit_mb=2560 -malloc_limit_mb=2048 -timeout=10 \
       -artifact_prefix="build-fuzz/artifacts/$h-" -print_final_stats=1 2> "build-fuzz/fuzz_$h.log"; then
    status=1
    tail -40 "build-fuzz/fuzz_$h.log"
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|cov:' "build-fuzz/fuzz_$h.log" | tail -3
done
exit $status
