#!/usr/bin/env bash
# A course file that cannot be opened: the game starts with an empty level
# and runs to Escape.
source "$(dirname "$0")/lib.sh" "$@"

rm -f "$COURSE"
start_game
press_until 10 Return looks_unlike "$KOBULDO/Textures/Startscreen.png" 0.2 || fail "Enter does not start a race"
shot empty >/dev/null
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
grep -q "Impossible to open the file !" "$RUN/out.txt" || fail "no message about the course file"
check_sanitizers
pass "empty level to Escape"
