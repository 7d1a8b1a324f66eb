#!/usr/bin/env bash
# The course file survives the game being killed while it saves. Two ways of
# saving: a race won with B (the best time is written once, at the win), and
# the editor's save held while the selected piece moves (Enter, E, then Left
# Control + S + T + keypad 4 held: a changed course, written every frame).
# Each run is killed with SIGKILL at a random moment once saving is under
# way; afterwards the game's own reader must find the whole course
# (course_check), byte for byte the file the game writes (for the won race:
# the very course it started with). Temporaries of cut-short saves are
# cleared by the next start.
#
# KILLS (default 3) kills per way; tools/hardening.sh runs 200 each.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/course_fixture.sh"

KILLS=${KILLS:-3}
# The moment of the kill: up to this many milliseconds after saving began
# (for the won race: after B went down).
SPREAD_MS=${SPREAD_MS:-1200}
RACE_SPREAD_MS=${RACE_SPREAD_MS:-400}

release_keys() { xdotool keyup Control_L keyup s keyup t keyup KP_4 keyup b keyup Return keyup e 2>/dev/null; }

# start_saving WAY: a won race (one save), or the editor's save held on a
# moving piece (a save every frame). Keys are tried again while the game is
# still setting up. Returns once the course was replaced.
start_saving() {
  local way=$1 inode attempt
  inode=$(course_inode)
  for attempt in $(seq 1 10); do
    tap Return
    if [ "$way" = race ]; then
      tap b
    else
      tap e
      xdotool keydown Control_L keydown t keydown KP_4
      sleep 0.05
      xdotool keydown s
    fi
    wait_for_save "$inode" 2 && return 0
    release_keys
  done
  fail "$way: the game never started saving"
}

random_sleep() { # up to $1 milliseconds
  local ms=$((RANDOM % $1))
  sleep "$((ms / 1000)).$(printf '%03d' $((ms % 1000)))"
  echo "$ms"
}

SETTLE=0.5 start_game
start_saving race
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
summary=$("$CHECK" "$COURSE" --complete) || fail "first save is broken: $summary"
pieces=$(awk 'NR == 1 { print $2 }' <<<"$summary")
rings=$(awk 'NR == 1 { print $4 }' <<<"$summary")
[ "$pieces" -gt 0 ] && [ "$rings" -gt 0 ] || fail "the course has no pieces or no rings: $summary"
cp "$COURSE" "$RUN/reference.track"
echo "course: $summary"

kills=0
cut_short=0 # kills that left a temporary behind: the save was under way

# kill_while_saving WAY: one run of the game, killed while it saves.
kill_while_saving() {
  local way=$1 leftovers ms
  leftovers=$(temporary_names)
  SETTLE=0.3 start_game
  # The game is up: what the last kill left must be gone.
  for name in $leftovers; do
    [ -e "$name" ] && fail "$way kill $kills: leftover $name was not cleared at start"
  done
  if [ "$way" = race ]; then
    # The won race writes once: the kill falls somewhere around that save.
    tap Return
    xdotool keydown b
    ms=$(random_sleep "$RACE_SPREAD_MS")
  else
    start_saving "$way"
    ms=$(random_sleep "$SPREAD_MS")
  fi
  kill -9 "$GAME_PID"
  wait "$GAME_PID" 2>/dev/null
  GAME_PID=""
  release_keys
  kills=$((kills + 1))
  [ "$(temporaries)" -gt 0 ] && cut_short=$((cut_short + 1))

  local out
  out=$("$CHECK" "$COURSE" --pieces "$pieces" --rings "$rings" --complete) ||
    fail "$way kill $kills after ${ms} ms: $out"
  if [ "$way" = race ]; then
    cmp -s "$COURSE" "$RUN/reference.track" || fail "$way kill $kills: the course changed: $(diff "$RUN/reference.track" "$COURSE")"
  fi
}

for way in race editor; do
  for _ in $(seq 1 "$KILLS"); do
    kill_while_saving "$way"
  done
  pass "$KILLS kills during $way saves, course intact"
done

# The start after the last kill clears what the kills left and the game goes
# on as usual.
SETTLE=0.3 start_game
start_saving race
stop_game
[ "$(temporaries)" -eq 0 ] || fail "temporaries left after a normal run: $(temporary_names)"
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
check_sanitizers
pass "$kills kills survived ($cut_short cut a save short and left a temporary, cleared at the next start)"
