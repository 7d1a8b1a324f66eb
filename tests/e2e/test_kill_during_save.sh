#!/usr/bin/env bash
# A won race saves the course every frame. Killing the game at any moment of
# that never leaves a broken course file.
source "$(dirname "$0")/lib.sh" "$@"

KILLS=${KILLS:-8}
pieces=$(grep -cE '^(ramp|straight|left|right) ' "$COURSE")
rings=$(grep -c '^ring ' "$COURSE")
for i in $(seq 1 "$KILLS"); do
  SETTLE=0.5 start_game
  tap Return
  tap b
  sleep "0.$((RANDOM % 9))$((RANDOM % 10))"
  kill -9 "$GAME_PID"
  wait "$GAME_PID" 2>/dev/null
  GAME_PID=""
  head -n 1 "$COURSE" | grep -qx "Writing this to a file." || fail "kill $i: header gone"
  [ "$(grep -cE '^(ramp|straight|left|right) ' "$COURSE")" -eq "$pieces" ] || fail "kill $i: pieces lost"
  [ "$(grep -c '^ring ' "$COURSE")" -eq "$rings" ] || fail "kill $i: rings lost"
  bt=$(besttime_of "$COURSE")
  [ -n "$bt" ] || fail "kill $i: no best time"
  ls "$RUN/Kobuldo/Tracks" | grep -v '^1.track$' >/dev/null && echo "note: leftover temp file after kill $i"
done
pass "$KILLS kills during saves, course intact"
