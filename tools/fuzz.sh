#!/usr/bin/env bash
# Long fuzzing run: every fuzz target in turn, one at a time, at the lowest
# CPU priority (nice -n 19).
#   tools/fuzz.sh [seconds-per-target] [target...]
# Default 300 seconds each; targets are obj_reader stl_reader obj_indexer
# course_reader png_reader ghost_reader progress_reader sound_reader (all by default). Builds build-fuzz with clang when needed
# (ZENTARO_FUZZ_BUILD chooses another folder).
# New inputs that add coverage are merged into <build>/work/<target>/, a
# scratch corpus kept between runs; the tracked fuzz/corpus/ is only read.
# Crash, timeout and leak inputs stay in <build>/work/crashes/; the run ends
# with status 1 when a target found one.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
[ $# -gt 0 ] && shift
case $seconds in
  '' | *[!0-9]*) echo "usage: tools/fuzz.sh [seconds-per-target] [target...]" >&2; exit 2 ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(obj_reader stl_reader obj_indexer course_reader png_reader ghost_reader progress_reader
  sound_reader settings_reader)
build=${ZENTARO_FUZZ_BUILD:-build-fuzz}
work=$build/work

tools/deps.sh --test
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DZENTARO_FUZZ=ON -DZENTARO_TESTS=OFF -DZENTARO_BENCH=OFF >/dev/null
fi
nice -n 19 cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$work/crashes"
# Leaks inside the system's libraries are not ours (see tests/lsan.supp).
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
summary=()
status=0
for t in "${targets[@]}"; do
  bin=$build/fuzz/fuzz_$t
  case $t in
    course_reader) dict=fuzz/course.dict ;;
    png_reader) dict=fuzz/png.dict ;;
    ghost_reader) dict=fuzz/ghost.dict ;;
    progress_reader) dict=fuzz/progress.dict ;;
    sound_reader) dict=fuzz/sound.dict ;;
    settings_reader) dict=fuzz/settings.dict ;;
    *) dict=fuzz/obj.dict ;;
  esac
  fresh=$work/$t.new
  log=$work/$t.log
  rm -rf "$fresh"
  mkdir -p "$fresh" "$work/$t"
  echo "=== $t: ${seconds}s (log: $log) ==="
  # The fresh folder comes first: libFuzzer writes new inputs only there.
  result=ok
  if ! nice -n 19 "$bin" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 -dict="$dict" \
         -artifact_prefix="$work/crashes/$t-" "$fresh" "$work/$t" "fuzz/corpus/$t" 2>"$log"; then
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
    result="FOUND ${artifact:-a fault, see $log}"
    status=1
    tail -n 40 "$log"
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  before=$(find "$work/$t" -type f | wc -l)
  nice -n 19 "$bin" -merge=1 "$work/$t" "$fresh" 2>>"$log" || echo "merge of $t failed, see $log"
  after=$(find "$work/$t" -type f | wc -l)
  rm -rf "$fresh"
  summary+=("$(printf '%-14s %12s executions  %5s new corpus files  %s' "$t" "${execs:-?}" \
               "$((after - before))" "$result")")
done

echo "=== summary (${seconds}s per target) ==="
printf '%s\n' "${summary[@]}"
exit $status
