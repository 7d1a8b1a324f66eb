#!/usr/bin/env bash
# The editor: Enter, E; F6 checks the course and prints its verdict; Delete
# takes the selected piece (the first) and Left Control + Z brings it back,
# each seen in a save with Left Control + S; a click selects the piece under
# the cursor for Delete, copy and paste; then rise with Space, place a
# ring with 0, save, Escape. The saved course holds one more ring, at the
# camera.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/course_fixture.sh"

pieces_in() { awk '$1 == "ramp" || $1 == "straight" || $1 == "left" || $1 == "right"' "$1" | wc -l; }

# save_course [tries]: Left Control + S until the course file was replaced (a
# tap can fall between two frames of a busy machine; saving again is
# harmless). Outside the editor, or with nothing changed since the last save,
# nothing is written: false.
save_course() {
  local inode
  inode=$(course_inode)
  for _ in $(seq 1 "${1:-5}"); do
    xdotool keydown Control_L
    sleep 0.05
    tap s 0.1
    xdotool keyup Control_L
    wait_for_save "$inode" 2 && return 0
  done
  return 1
}

with_control() { # with_control KEY: the key tapped while Left Control is held
  xdotool keydown Control_L
  sleep 0.05
  tap "$1"
  xdotool keyup Control_L
}

rings_before=$(grep -c '^ring ' "$COURSE")
start_game
press_until 10 Return looks_unlike "$KOBULDO/Textures/Startscreen.png" 0.2 || fail "Enter does not start a race"
# Editor frames can take longer than a tap (a view full of sky), so every
# step waits for its effect. Only the editor saves with Left Control + S: a
# missed E (or one seen twice) leaves the race running, then E again, right
# after a fresh start (the editor's camera starts at the race camera).
opened=no
for _ in 1 2 3 4; do
  tap Return
  sleep 0.2
  tap e
  save_course 2 && opened=yes && break
done
[ "$opened" = yes ] || fail "E does not open the editor"

# The course check runs beside the game and prints one verdict line; F6 while
# it runs does nothing.
press_until 20 F6 file_has "$RUN/out.txt" '^Course check: ' || fail "no course check verdict"
verdict=$(grep '^Course check: ' "$RUN/out.txt" | head -n 1)
grep -Eq "^Course check: finished in [0-9]+\.[0-9]{2} s, $rings_before/$rings_before rings$" <<<"$verdict" ||
  fail "unexpected verdict: $verdict"

# A save writes only what differs from the last one written, so each key is
# seen in the file. Each key again only when no save followed it. A tap acts
# once, however slow the frames: one piece goes, and one undo brings it back.
cp "$COURSE" "$RUN/before_delete.track"
pieces_before=$(pieces_in "$COURSE")
for _ in 1 2 3; do
  tap Delete
  save_course 2 || continue
  [ "$(pieces_in "$COURSE")" -lt "$pieces_before" ] && break
done
[ "$(pieces_in "$COURSE")" -lt "$pieces_before" ] || fail "Delete: still $pieces_before pieces"
[ "$(pieces_in "$COURSE")" -eq $((pieces_before - 1)) ] ||
  fail "one tap of Delete deleted $((pieces_before - $(pieces_in "$COURSE"))) pieces"
for _ in 1 2 3 4 5; do
  with_control z
  save_course 2 || continue
  [ "$(pieces_in "$COURSE")" -eq "$pieces_before" ] && break
done
cmp -s "$COURSE" "$RUN/before_delete.track" ||
  fail "undo did not bring the deleted piece back: $(diff "$RUN/before_delete.track" "$COURSE")"

# The mouse. U aims the keys at the second piece; Tab frees the cursor and a
# click on the piece under the ball (just below the window's middle: the
# first piece) selects it instead: Delete takes the first piece's line, and
# undo brings it back. Then Left Control + C and V paste a copy of it after it.
click_at() { xdotool mousemove --window "$WID" "$1" "$2" sleep 0.1 click 1; sleep 0.3; }
first_piece=$(awk '$1 == "ramp" || $1 == "straight" || $1 == "left" || $1 == "right"' "$COURSE" | head -n 1)
tap u
tap Tab
click_at $((WIDTH / 2)) $((HEIGHT / 2 + 8))
tap Delete
save_course 2 || fail "click and Delete changed nothing"
[ "$(pieces_in "$COURSE")" -eq $((pieces_before - 1)) ] && ! grep -qxF "$first_piece" "$COURSE" ||
  fail "click and Delete did not take the first piece: $(diff "$RUN/before_delete.track" "$COURSE")"
with_control z
save_course 2 && cmp -s "$COURSE" "$RUN/before_delete.track" ||
  fail "undo after the click and Delete: $(diff "$RUN/before_delete.track" "$COURSE")"
with_control c
with_control v
save_course 2 && [ "$(pieces_in "$COURSE")" -eq $((pieces_before + 1)) ] ||
  fail "Left Control + C, V: $(pieces_in "$COURSE") pieces, not $((pieces_before + 1))"
tap Tab

# With Left Control + S held the course is saved whenever it changes, and a
# ring placed with 0 shows in the file at once.
ring_saved() { [ "$(grep -c '^ring ' "$COURSE")" -gt "$rings_before" ]; }
hold space 1.5
xdotool keydown Control_L keydown s
for _ in 1 2 3; do
  tap 0
  wait_for 3 ring_saved && break
done
xdotool keyup s keyup Control_L
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
rings_after=$(grep -c '^ring ' "$COURSE")
# One tap, one ring; a tap a slow frame stretches past the keys' repeat gap
# places a second one at the same spot, as a held 0 would.
added=$((rings_after - rings_before))
[ "$added" -ge 1 ] && [ "$added" -le 2 ] || fail "rings $rings_before -> $rings_after"
# The free camera starts at the follow position (6 above the ball at the
# start, 65.8) and rose while Space was held: well above the start.
for y in $(grep '^ring ' "$COURSE" | tail -n "$added" | awk '{ print $15 }'); do
  less_than 70 "$y" || fail "new ring at height $y, expected above the start camera"
done
check_sanitizers
pass "$verdict; Delete and undo seen in saves; a click selected the first piece for Delete, copy and paste; ring placed at height $y and saved"
