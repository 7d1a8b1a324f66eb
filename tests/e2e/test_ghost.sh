#!/usr/bin/env bash
# The ghost of the best run: a race won at once (a ring where the ball
# starts) writes <course file>.ghost beside the course; the next start of the
# game reads it back and races against it.
source "$(dirname "$0")/lib.sh" "$@"

GHOST="$COURSE.ghost"
cat >"$COURSE" <<'COURSE_END'
Writing this to a file.
straight 1 0 0 0 0 1 0 0 0 0 1 0 -0.88 64.5 21.2 1
ring 1 0 0 0 0 1 0 0 0 0 1 0 -0.88 65.8 21.2 1
besttime 45000
COURSE_END
rm -f "$GHOST"

start_game
grep -q . "$GHOST" 2>/dev/null && fail "a ghost before any race"
# Enter again until the race is won (a slow start may miss the first tap).
for _ in $(seq 1 10); do
  tap Return
  for _ in $(seq 1 40); do
    [ -s "$GHOST" ] && break 2
    sleep 0.1
  done
done
[ -s "$GHOST" ] || fail "no ghost file after a won race"
won=$(besttime_of "$COURSE")
less_than "$won" 45000 || fail "the race was not won with a new best time (best time $won)"
[ "$(head -c 8 "$GHOST")" = "ZENGHOST" ] || fail "the ghost file does not start with its magic"
pass "won in $won ms, $(stat -c %s "$GHOST") bytes of ghost"
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
grep -q "No ghost for this course yet" "$RUN/out.txt" || fail "the first start did not say there was no ghost"

start_game
tap Return
sleep 1
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS on the second run"
grep -q "Racing against the ghost of a .* s run from Kobuldo/Tracks/1.track.ghost" "$RUN/out.txt" ||
  fail "the ghost was not read back: $(grep -i ghost "$RUN/out.txt")"
grep -q "not used" "$RUN/out.txt" && fail "ghost refused: $(grep 'not used' "$RUN/out.txt")"
ls "$(dirname "$COURSE")" | grep -q '\.tmp-' && fail "a save left a temporary behind"
check_sanitizers
pass "the next start reads the ghost back"
