#!/usr/bin/env bash
# No course file can be opened: the game starts with an empty level, says so,
# and runs to Escape.
source "$(dirname "$0")/lib.sh" "$@"

rm -f "$RUN"/Kobuldo/Tracks/*.track
start_game
press_until 10 Return looks_unlike "$KOBULDO/Textures/Startscreen.png" 0.2 || fail "Enter does not start a race"
shot empty >/dev/null
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
grep -q "No course can be read" "$RUN/out.txt" || fail "no message about the missing courses"
grep -q "Course 1 is unavailable: Kobuldo/Tracks/1.track cannot be read" "$RUN/out.txt" ||
  fail "no message about the course file"
check_sanitizers
pass "empty level to Escape"
