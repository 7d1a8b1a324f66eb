#!/usr/bin/env bash
# The editor: Enter, E, rise with Space, place a ring with 0, save with Left
# Control + S, Escape. The saved course holds one more ring, at the camera.
source "$(dirname "$0")/lib.sh" "$@"

rings_before=$(grep -c '^ring ' "$COURSE")
start_game
press_until 10 Return looks_unlike "$KOBULDO/Textures/Startscreen.png" 0.2 || fail "Enter does not start a race"
# Editor frames can take longer than a tap (a view full of sky), so every
# step waits for its effect: with Left Control + S held the course is saved
# whenever it changes, and a ring placed with 0 shows in the file at once. A missed
# E leaves the race running, where 0 does nothing: then E again.
ring_saved() { [ "$(grep -c '^ring ' "$COURSE")" -gt "$rings_before" ]; }
for _ in 1 2 3; do
  tap e
  hold space 1.5
  xdotool keydown Control_L keydown s
  for _ in 1 2 3; do
    tap 0
    wait_for 3 ring_saved && break
  done
  xdotool keyup s keyup Control_L
  ring_saved && break
done
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
rings_after=$(grep -c '^ring ' "$COURSE")
[ "$rings_after" -eq $((rings_before + 1)) ] || fail "rings $rings_before -> $rings_after"
y=$(grep '^ring ' "$COURSE" | tail -n 1 | awk '{ print $15 }')
# The free camera starts at the follow position (6 above the ball at the
# start, 65.8) and rose while Space was held: well above the start.
less_than 70 "$y" || fail "new ring at height $y, expected above the start camera"
check_sanitizers
pass "ring placed at height $y and saved"
