#!/usr/bin/env bash
# A course of one's own, from nothing to a race after a restart: Insert on
# the start screen makes a new course and opens the editor over the race
# start; Left Alt + 2 three times lays three joined straights, 0 a ring at
# the camera; L names it, Left Control + S saves it as a file of its own;
# Escape quits. Started again, the course is listed after the shipped ones
# (and chosen, as the last course saved) and Enter races it.
source "$(dirname "$0")/lib.sh" "$@"

TRACKS="$RUN/Kobuldo/Tracks"
OWN="$TRACKS/My-Loop.track"
said() { file_has "$RUN/out.txt" "$1"; }
said_count() { grep -cE "$1" "$RUN/out.txt" 2>/dev/null; }
with_control() { # with_control KEY: the key tapped while Left Control is held
  xdotool keydown Control_L
  sleep 0.05
  tap "$1" 0.12
  xdotool keyup Control_L
}
with_alt() {
  xdotool keydown Alt_L
  sleep 0.05
  tap "$1" 0.12
  xdotool keyup Alt_L
}

start_game
press_until 10 Insert said '^New course: ' || fail "Insert makes no new course: $(tail -n 5 "$RUN/out.txt")"
# Each joined piece is said on standard output; a tap a slow frame missed is tapped again.
for n in 1 2 3; do
  for _ in 1 2 3; do
    [ "$(said_count '^Editor: placed straight')" -ge "$n" ] && break
    with_alt 2
    wait_for 3 test "$(said_count '^Editor: placed straight')" -ge "$n"
  done
done
# A tap a slow frame stretches past the keys' repeat gap may place one more.
[ "$(said_count '^Editor: placed straight')" -ge 3 ] || fail "three joined pieces: $(said_count '^Editor: placed straight') placed"
press_until 5 0 said '^Editor: placed ring' || fail "0 places no ring"
press_until 5 l said '^Course name: editing' || fail "L opens no name field"
shot name_field >/dev/null
# The field takes every key: the L, M and N typed into it act on nothing else.
xdotool type --delay 150 "My Loop"
tap Return 0.12
wait_for 5 said '^Course named My Loop' || fail "the name was not kept: $(tail -n 5 "$RUN/out.txt")"
for _ in 1 2 3; do
  with_control s
  wait_for 3 test -f "$OWN" && break
done
[ -f "$OWN" ] || fail "Left Control + S wrote no $OWN: $(ls "$TRACKS")"
grep -q '^name=My%20Loop$' "$OWN" || fail "no name in $OWN"
[ "$(grep -c '^straight ' "$OWN")" -eq "$(said_count '^Editor: placed straight')" ] || fail "pieces in $OWN"
[ "$(grep -c '^ring ' "$OWN")" -ge 1 ] || fail "no ring in $OWN"
grep -q '^besttime 10000000$' "$OWN" || fail "a new course has a best time: $(grep besttime "$OWN")"
grep -q 'My-Loop' "$TRACKS/courses.txt" && fail "courses.txt was changed"
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
grep -q "GL ERROR DETECTED" "$RUN/out.txt" && fail "GL errors (the name field's panel)"
check_sanitizers

# Started again: the own course is the last of the list, and still the
# chosen one.
grep -q '^course My-Loop.track$' "$RUN/Kobuldo/settings.txt" || fail "the new course is not the chosen one"
start_game
# The last of the list: "Course N/N: My Loop".
grep -qE '^Course ([0-9]+)/\1: My Loop$' "$RUN/out.txt" || fail "My Loop is not listed last: $(grep '^Course' "$RUN/out.txt")"
shot own_listed >/dev/null
press_until 10 Return looks_unlike "$KOBULDO/Textures/Startscreen.png" 0.2 || fail "Enter does not race My Loop"
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended in the race"
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
check_sanitizers
pass "new course made, named, saved as its own file, listed after a restart and raced"
