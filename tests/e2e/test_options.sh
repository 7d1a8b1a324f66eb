#!/usr/bin/env bash
# A key bound in the settings file: with "key.pause Q" Q pauses the race and P
# no longer does. From the paused race O opens the options over it, and
# Escape closes them without quitting the game.
source "$(dirname "$0")/lib.sh" "$@"

printf 'key.pause Q\n' >"$RUN/Kobuldo/settings.txt"
start_game
press_until 10 Return looks_unlike "$KOBULDO/Textures/Startscreen.png" 0.2 ||
  fail "after Enter the start picture is still shown"

# Two pictures half a second apart: a running race moves (ball, clock), a
# paused one stands still.
change() {
  import -window "$WID" "$RUN/a.png" 2>/dev/null || return 1
  sleep 0.5
  import -window "$WID" "$RUN/b.png" 2>/dev/null || return 1
  difference "$RUN/a.png" "$RUN/b.png"
}
moving() { less_than 0.003 "$(change)"; }
still() { less_than "$(change)" 0.001; }

wait_for 10 moving || fail "the race does not run"
tap p
sleep 0.5
moving || fail "P paused the race although pause is bound to Q"
pass "P does not pause"
press_until 5 q still || fail "Q did not pause the race"
pass "Q pauses"

paused=$(shot paused)
press_until 5 o looks_unlike "$paused" 0.05 || fail "O did not open the options over the paused race"
pass "O opens the options"
tap Escape
wait_for 5 looks_like "$paused" 0.02 || fail "Escape did not close the options"
kill -0 "$GAME_PID" 2>/dev/null || fail "Escape in the options quit the game"
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "the Escape that closed the options quit the game"
pass "Escape closes the options, the game goes on"

press_until 5 q moving || fail "Q did not resume the race"
pass "Q resumes"
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
grep -q '^key.pause Q$' "$RUN/Kobuldo/settings.txt" || fail "the binding was not kept"
check_sanitizers
pass "options and bindings"
