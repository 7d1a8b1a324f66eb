#!/usr/bin/env bash
# Installs what is missing, builds Zentaro and starts it. The game runs in
# build/run, a writable copy of the game data, so the tracked files stay as
# they are. Arguments are passed to the game (width height flag).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZENTARO_TESTS=OFF -DZENTARO_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target zentaro
cd build/run
exec ../zentaro "$@"
