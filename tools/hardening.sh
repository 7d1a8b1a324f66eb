#!/usr/bin/env bash
# The long hardening runs, each on a temporary copy of the game data:
#   - 200 kills (SIGKILL) around the save of a won race, and 200 while the
#     editor's save is held on a moving piece; after each, the course must
#     read back whole with the game's own reader (course_check)
#   - 11 minutes of play (races, restarts, the editor, placing, steering,
#     particles) with resident memory flat after the first minute, no GL
#     error and exit status 0 at Escape
#   - every kind of bad input through the real game
# The normal test run (tools/test.sh, ctest) runs short versions of the same.
#
#   tools/hardening.sh            plain build (build-hardening/)
#   tools/hardening.sh --asan     AddressSanitizer + UBSan build (build-hardening-asan/)
#
# KILLS, DURATION and WARMUP override the amounts. Takes about 40 minutes.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh --test || exit 1

dir=build-hardening
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTARO_BENCH=OFF)
sanitize=OFF
if [ "${1:-}" = "--asan" ]; then
  dir=build-hardening-asan
  flags+=(-DZENTARO_SANITIZE=ON)
  sanitize=ON
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null || exit 1
cmake --build "$dir" -j"$(nproc)" --target zentaro course_check || exit 1

export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
export ZENTARO_SANITIZE=$sanitize
game="$PWD/$dir/zentaro"
data="$PWD/Kobuldo"
status=0
run() { # name, then the environment and script
  local name=$1
  shift
  echo "=== $name ==="
  local start=$SECONDS
  if env "$@" "$game" "$data"; then
    echo "=== $name: passed in $((SECONDS - start)) s ==="
  else
    echo "=== $name: FAILED after $((SECONDS - start)) s ==="
    status=1
  fi
}

run "kills during saves" KILLS="${KILLS:-200}" tests/e2e/test_kill_during_save.sh
run "long run" DURATION="${DURATION:-660}" WARMUP="${WARMUP:-60}" RSS_LOG="$PWD/$dir/long_run_rss.txt" \
  tests/e2e/test_long_run.sh
run "bad inputs" HARDENING=1 tests/e2e/test_bad_inputs.sh
[ "$status" -eq 0 ] && echo "hardening: all passed" || echo "hardening: FAILED"
exit $status
