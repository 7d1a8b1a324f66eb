#!/usr/bin/env bash
# Installs what is missing, builds everything twice (plain, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test in both.
# A third, clang build holds only the fuzz targets: its tests replay each
# target's corpus and fuzz each for about 5 seconds; a crash fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh --test
jobs=$(nproc)
status=0
for kind in plain asan fuzz; do
  dir=build-test-$kind
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  targets=()
  tests=$dir
  [ "$kind" = asan ] && flags+=(-DZENTARO_SANITIZE=ON -DZENTARO_BENCH=OFF)
  if [ "$kind" = fuzz ]; then
    flags+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZENTARO_FUZZ=ON -DZENTARO_TESTS=OFF
            -DZENTARO_BENCH=OFF)
    targets=(--target zentaro_fuzzers)
    tests=$dir/fuzz
  fi
  echo "=== $kind build ==="
  cmake -S . -B "$dir" "${flags[@]}" >/dev/null
  cmake --build "$dir" -j"$jobs" "${targets[@]}"
  echo "=== $kind tests ==="
  (cd "$tests" && ctest --output-on-failure -j"$jobs") || status=1
done
exit $status
