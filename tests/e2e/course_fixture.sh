#!/usr/bin/env bash
# Sourced by whole-program tests after lib.sh. The game data may come without
# its course; then the tests play on this small one: four pieces under the
# race start, three rings, a best time of 45 seconds. Also finds course_check,
# which the build puts beside the game binary.

CHECK="$(dirname "$GAME")/course_check"
[ -x "$CHECK" ] || fail "no course_check beside $GAME (build the course_check target)"

if [ ! -f "$COURSE" ]; then
  cat >"$COURSE" <<'COURSE_END'
Writing this to a file.
straight 1 0 0 0 0 1 0 0 0 0 1 0 -0.88 64.5 21.2 1
ramp 1 0 0 0 0 1 0 0 0 0 1 0 -6 62 21.2 1
left 1 0 0 0 0 1 0 0 0 0 1 0 -12 60 21.2 1
right 1 0 0 0 0 1 0 0 0 0 1 0 -18 58 21.2 1
ring 1 0 0 0 0 1 0 0 0 0 1 0 -3 65 21.2 1
ring 1 0 0 0 0 1 0 0 0 0 1 0 -9 63 21.2 1
ring 1 0 0 0 0 1 0 0 0 0 1 0 -15 61 21.2 1
besttime 45000
COURSE_END
fi

# Temporaries of an unfinished save, as the game names them.
temporary_names() { find "$(dirname "$COURSE")" -maxdepth 1 -name ".$(basename "$COURSE").tmp-*"; }
temporaries() { temporary_names | wc -l; }

# The course file's inode: every finished save replaces the file.
course_inode() { stat -c %i "$COURSE" 2>/dev/null; }

# wait_for_save INODE [seconds]: true once the course was replaced.
wait_for_save() {
  local limit=$(( ${2:-3} * 20 ))
  for _ in $(seq 1 "$limit"); do
    [ "$(course_inode)" != "$1" ] && return 0
    kill -0 "$GAME_PID" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
