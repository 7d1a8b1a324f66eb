#!/usr/bin/env bash
# Shared helpers for the whole-program tests: a private Xvfb, a temporary
# copy of the game data, the game in a small window, keys through xdotool,
# screenshots through ImageMagick.
#
# Usage in a test script:  source lib.sh "$@"   (args: game binary, Kobuldo dir)
set -u

if [ -z "${ZENTARO_IN_XVFB:-}" ]; then
  export ZENTARO_IN_XVFB=1
  XVFB_SCREEN=1024x768x24 exec "$(dirname "${BASH_SOURCE[0]}")/../with_xvfb.sh" "$0" "$@"
fi

GAME=$(readlink -f "$1")
KOBULDO=$(readlink -f "$2")
WIDTH=${WIDTH:-320}
HEIGHT=${HEIGHT:-240}
# A tap is held 120 ms, as a person taps (80-200 ms): a key acts once per
# press however long it is held, and a tap shorter than a frame still counts.
# Sanitizer frames can be longer: scripts wait for each tap's effect and tap
# again when it was missed (press_until).
HOLD=${HOLD:-0.12}
RUN=$(mktemp -d /tmp/zentaro-e2e.XXXXXX)
cp -r "$KOBULDO" "$RUN/Kobuldo"
COURSE="$RUN/Kobuldo/Tracks/1.track"
GAME_PID=""
WID=""
FAILED=0
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
# OpenAL's null output: every script runs the game's sound path without the
# machine's sound system. (Opening ALSA without a card loads and unloads its
# plugins, and LeakSanitizer's exit check has been seen to crash in its own
# tracer after that.) The sound test names its own output.
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}

cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then kill -9 "$GAME_PID" 2>/dev/null; fi
  if [ "$FAILED" -eq 0 ]; then rm -rf "$RUN"; else echo "kept $RUN for inspection"; fi
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; FAILED=1; exit 1; }
pass() { echo "ok: $*"; }

# start_game [args...]: runs the game in $RUN (or $RUN_DIR), waits for its window.
start_game() {
  local args=("$@")
  [ ${#args[@]} -eq 0 ] && args=("$WIDTH" "$HEIGHT")
  (cd "${RUN_DIR:-$RUN}" && exec "$GAME" "${args[@]}" >"$RUN/out.txt" 2>"$RUN/err.txt") &
  GAME_PID=$!
  WID=""
  for _ in $(seq 1 300); do
    WID=$(xdotool search --name '^Zentaro$' 2>/dev/null | head -n 1)
    [ -n "$WID" ] && break
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window opened: $(cat "$RUN/out.txt" "$RUN/err.txt")"
    sleep 0.1
  done
  [ -n "$WID" ] || fail "no Zentaro window"
  # The window opens before the scene is set up, and the start screen shows
  # before the rest of it is made (slow in sanitizer builds): wait for the
  # first drawn picture, then a moment more.
  for _ in $(seq 1 600); do
    import -window "$WID" "$RUN/first.png" 2>/dev/null &&
      less_than 0.01 "$(convert "$RUN/first.png" -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null || echo 0)" &&
      break
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
  done
  sleep "${SETTLE:-1.0}"
}

# tap KEY [hold seconds]: a key held for about one frame.
# One xdotool process for the press and the release, so a busy machine
# cannot stretch the hold between two separate commands.
tap() {
  xdotool keydown "$1" sleep "${2:-$HOLD}" keyup "$1"
  sleep 0.15
}

# wait_for SECONDS CMD...: polls CMD every 0.1 s until it succeeds; fails
# (status 1) after SECONDS.
wait_for() {
  local tries=$(( $1 * 10 ))
  shift
  for _ in $(seq 1 "$tries"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# press_until SECONDS KEY CMD...: taps KEY and waits for CMD to hold; a tap a
# slow frame missed is tried again (three taps at most). Use only where one
# more tap would do no harm once the effect shows.
press_until() {
  local seconds=$1 key=$2
  shift 2
  for _ in 1 2 3; do
    tap "$key"
    wait_for "$seconds" "$@" && return 0
  done
  return 1
}

# looks_like REF MAX: the window's picture differs from REF by less than MAX;
# looks_unlike REF MIN: by more than MIN. The last picture is $RUN/now.png.
looks_like() { import -window "$WID" "$RUN/now.png" 2>/dev/null && less_than "$(difference "$RUN/now.png" "$1")" "$2"; }
looks_unlike() { import -window "$WID" "$RUN/now.png" 2>/dev/null && less_than "$2" "$(difference "$RUN/now.png" "$1")"; }

# file_has FILE REGEX: a line of FILE matches.
file_has() { grep -qE "$2" "$1" 2>/dev/null; }

hold() { # hold KEY seconds
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
  sleep 0.15
}

shot() { # shot NAME -> path of the screenshot
  import -window "$WID" "$RUN/$1.png" 2>/dev/null || import -window root "$RUN/$1.png"
  echo "$RUN/$1.png"
}

# difference PNG1 PNG2: normalised RMSE (0 same .. 1 opposite) after fitting
# the second picture into the size of the first as the game shows its
# pictures: its shape kept, centred on black.
difference() {
  local size
  size=$(identify -format '%wx%h' "$1")
  convert "$2" -resize "$size" -background black -gravity center -extent "$size" "$RUN/fit.png"
  compare -metric RMSE "$1" "$RUN/fit.png" null: 2>&1 | sed -E 's/.*\(([0-9.e-]+)\).*/\1/'
}

# picture_difference SHOT PICTURE: difference of their upper halves. The
# start, win and lose screens draw a key panel in the lower right and the
# course's lines in the lower left over their picture; the title and the
# caption above tell which picture it is.
picture_difference() {
  convert "$1" -gravity north -crop 100%x50%+0+0 +repage "$RUN/top_shot.png"
  convert "$2" -gravity north -crop 100%x50%+0+0 +repage "$RUN/top_picture.png"
  difference "$RUN/top_shot.png" "$RUN/top_picture.png"
}
shows_picture() { import -window "$WID" "$RUN/now.png" 2>/dev/null && less_than "$(picture_difference "$RUN/now.png" "$1")" "$2"; }

less_than() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# stop_game: Escape; the exit status lands in GAME_STATUS. (Not for use in
# $(...): the game must be waited for by this shell.)
# With KEY, that key ends the game (N answering the question about unsaved
# edits).
stop_game() {
  local key=${1:-Escape}
  # The key is held until the game has gone: a slow frame (sanitizer builds)
  # would miss a short tap.
  xdotool keydown "$key"
  GAME_STATUS=
  for _ in $(seq 1 200); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
  done
  xdotool keyup "$key"
  if kill -0 "$GAME_PID" 2>/dev/null; then fail "the game did not end on $key"; fi
  wait "$GAME_PID"
  GAME_STATUS=$?
  GAME_PID=""
}

# Sanitizer reports in the game's error output fail the test.
check_sanitizers() {
  if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$RUN/err.txt"; then
    head -n 60 "$RUN/err.txt"
    fail "sanitizer report"
  fi
}

besttime_of() { awk '$1 == "besttime" { print $2 }' "$1" | tail -n 1; }
