#!/usr/bin/env bash
# Writes docs/screenshot.png: a moment of a race on the shipped course, taken
# from the game itself under its own Xvfb (Mesa's software renderer).
#   tools/screenshot.sh [game binary] [output]   (default build/zentaro, docs/screenshot.png)
# Needs xvfb, xdotool and imagemagick (tools/deps.sh --test); builds nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
game=$(readlink -f "${1:-build/zentaro}")
out=$(realpath -m "${2:-docs/screenshot.png}")
[ -x "$game" ] || { echo "no game at $game: build it first (cmake --build build --target zentaro)"; exit 1; }

if [ -z "${ZENTARO_IN_XVFB:-}" ]; then
  export ZENTARO_IN_XVFB=1
  exec tests/with_xvfb.sh "$0" "$game" "$out"
fi

run=$(mktemp -d /tmp/zentaro-shot.XXXXXX)
pid=""
finish() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$run"
}
trap finish EXIT
cp -r Kobuldo "$run/Kobuldo"
(cd "$run" && exec "$game" 1000 780 >"$run/out.txt" 2>&1) &
pid=$!

wid=""
for _ in $(seq 1 300); do
  wid=$(xdotool search --name '^Zentaro$' 2>/dev/null | head -n 1) && [ -n "$wid" ] && break
  kill -0 "$pid" 2>/dev/null || { cat "$run/out.txt"; exit 1; }
  sleep 0.1
done
[ -n "$wid" ] || { echo "no game window"; exit 1; }
# The start picture is the first thing drawn: wait for it, then race.
for _ in $(seq 1 300); do
  import -window "$wid" "$run/first.png" 2>/dev/null &&
    awk -v m="$(convert "$run/first.png" -colorspace Gray -format '%[fx:mean]' info:)" 'BEGIN { exit !(m > 0.01) }' &&
    break
  sleep 0.1
done
sleep 1
xdotool keydown Return sleep 0.06 keyup Return
# A moment into the race, the ball pushed along towards the first ring.
sleep "${SHOT_WAIT:-0.5}"
xdotool keydown w sleep "${SHOT_PUSH:-0.8}" keyup w
sleep 0.5
mkdir -p "$(dirname "$out")"
import -window "$wid" "$run/race.png"
convert "$run/race.png" -strip -resize 800x "$out"
# Escape is held until the game has gone: a slow frame would miss a tap.
xdotool keydown Escape
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
xdotool keyup Escape
wait "$pid" || true
pid=""
echo "wrote $out"
