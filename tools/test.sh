#!/usr/bin/env bash
# Installs what is missing, builds everything twice (plain, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test in both.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh --test
jobs=$(nproc)
status=0
for kind in plain asan; do
  dir=build-test-$kind
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  [ "$kind" = asan ] && flags+=(-DZENTARO_SANITIZE=ON -DZENTARO_BENCH=OFF)
  echo "=== $kind build ==="
  cmake -S . -B "$dir" "${flags[@]}" >/dev/null
  cmake --build "$dir" -j"$jobs"
  echo "=== $kind tests ==="
  (cd "$dir" && ctest --output-on-failure -j"$jobs") || status=1
done
exit $status
