#!/usr/bin/env bash
# The whole game: start picture, a race with the scene and the HUD, the win
# picture with the course file rewritten, C then B, Escape with status 0.
source "$(dirname "$0")/lib.sh" "$@"

sed -i 's/^besttime .*/besttime 45000/' "$COURSE"
pieces_before=$(grep -cE '^(ramp|straight|left|right) ' "$COURSE")
rings_before=$(grep -c '^ring ' "$COURSE")

start_game
start=$(shot start)
d=$(difference "$start" "$KOBULDO/Textures/Startscreen.png")
less_than "$d" 0.12 || fail "first picture is not the start picture (difference $d)"
pass "start picture ($d)"

press_until 10 Return looks_unlike "$KOBULDO/Textures/Startscreen.png" 0.2 ||
  fail "after Enter the start picture is still shown"
race=$(shot race)
d=$(difference "$race" "$KOBULDO/Textures/Startscreen.png")
less_than 0.2 "$d" || fail "after Enter the start picture is still shown ($d)"
pass "scene after Enter ($d)"
# The HUD: bright glyph pixels in the top-left corner where the lines are.
bright=$(convert "$race" -crop "$((WIDTH * 45 / 100))x$((HEIGHT * 30 / 100))+0+0" -colorspace Gray \
  -threshold 80% -format '%[fx:mean*w*h]' info:)
less_than 20 "$bright" || fail "no HUD text in the top-left corner ($bright bright pixels)"
pass "HUD text ($bright bright pixels)"

press_until 10 b looks_like "$KOBULDO/Textures/YouWin.png" 0.12 || fail "B does not show the win picture"
win=$(shot win)
d=$(difference "$win" "$KOBULDO/Textures/YouWin.png")
less_than "$d" 0.12 || fail "B does not show the win picture ($d)"
[ "$(besttime_of "$COURSE")" = "45000" ] || fail "won race saved best time $(besttime_of "$COURSE")"
[ "$(grep -cE '^(ramp|straight|left|right) ' "$COURSE")" -eq "$pieces_before" ] || fail "pieces lost in save"
[ "$(grep -c '^ring ' "$COURSE")" -eq "$rings_before" ] || fail "rings lost in save"
pass "win picture and saved course"

# C and B both act at once on the win screen; the save follows.
tap c
tap b
wait_for 10 file_has "$COURSE" '^besttime 255555$'
[ "$(besttime_of "$COURSE")" = "255555" ] || fail "C then B saved $(besttime_of "$COURSE")"
pass "C then B"

press_until 10 Return looks_unlike "$KOBULDO/Textures/YouWin.png" 0.2 || fail "Enter does not leave the win picture"
again=$(shot again)
d=$(difference "$again" "$KOBULDO/Textures/YouWin.png")
less_than 0.2 "$d" || fail "Enter does not leave the win picture ($d)"
pass "Enter starts the next race"

stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
grep -q "GL ERROR DETECTED" "$RUN/out.txt" && fail "GL errors: $(grep -c 'GL ERROR' "$RUN/out.txt")"
check_sanitizers
pass "Escape, status 0, no GL error"
