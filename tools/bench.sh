#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release and runs them all
# (the ones that draw under their own Xvfb), printing every figure with its
# target beside it (the 1,000-entry races and editor flights against the
# shipped course, in turns, among them). Takes about twenty minutes; nothing
# in the source tree changes.
#   tools/bench.sh                 everything
#   tools/bench.sh --quick         fewer runs and shorter frame-rate windows
#   tools/bench.sh --before REV    also builds the game as it was at REV (a copy
#                                  in build-bench-before/) and measures the race
#                                  frame rate of both in turns, with the targets
#                                  set against REV beside the figures
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh --test
dir=build-bench
quick=0
before=""
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --before) before="$2"; shift ;;
    *) echo "tools/bench.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=()
for src in bench/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}" >/dev/null
b="$PWD/$dir/bench"
beforeArgs=()
if [ -n "$before" ]; then
  old="$PWD/build-bench-before/src"
  rm -rf "$old" && mkdir -p "$old"
  git archive "$before" | tar -x -C "$old"
  cmake -S "$old" -B "$old/build-bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$old/build-bench" -j"$(nproc)" --target bench_game >/dev/null
  beforeArgs=(--before "$old")
fi

echo "Zentaro benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Frame rates and wall-clock times suffer when other work shares the cores; CPU times much less."
echo
if [ $quick = 1 ]; then
  startup=(--runs 3); race=(--runs 1 --seconds 10); update=(--runs 3)
else
  startup=(--runs 7); race=(--runs 3 --seconds 10); update=(--runs 7)
fi
"$b/bench_frame_update" "${update[@]}"
echo
tests/with_xvfb.sh bash -c "
  '$b/bench_startup' ${startup[*]} && echo &&
  '$b/bench_race' ${race[*]} ${beforeArgs[*]:-} && echo &&
  '$b/bench_loaders'"
echo
echo "== Mesh indexer and particles =="
"$b/bench_indexer"
if [ -x "$b/bench_particles" ]; then "$b/bench_particles"; fi
