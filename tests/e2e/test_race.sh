#!/usr/bin/env bash
# The whole game: start picture, a race with the scene and the HUD, the win
# picture with the course file rewritten, C then B, Escape with status 0.
source "$(dirname "$0")/lib.sh" "$@"

sed -i 's/^besttime .*/besttime 45000/' "$COURSE"
pieces_before=$(grep -cE '^(ramp|straight|left|right) ' "$COURSE")
rings_before=$(grep -c '^ring ' "$COURSE")

start_game
start=$(shot start)
d=$(picture_difference "$start" "$KOBULDO/Textures/Startscreen.png")
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

# The picture follows the window's size: widened, the new right third shows
# the course (it stayed black while the buffers kept the start-up size);
# narrowed; F11 to full screen and back to the window's size before.
lit_window() { # lit_window W H: the window is W x H and its right third is not black
  import -window "$WID" "$RUN/now.png" 2>/dev/null && [ "$(identify -format '%wx%h' "$RUN/now.png")" = "${1}x$2" ] &&
    less_than 0.1 "$(convert "$RUN/now.png" -crop "$(($1 / 3))x$2+$(($1 * 2 / 3))+0" -colorspace Gray \
      -format '%[fx:mean]' info:)"
}
xdotool windowsize "$WID" $((WIDTH * 3 / 2)) "$HEIGHT"
wait_for 10 lit_window $((WIDTH * 3 / 2)) "$HEIGHT" || fail "widened window: right third black"
xdotool windowsize "$WID" $((WIDTH / 2)) "$HEIGHT"
wait_for 10 lit_window $((WIDTH / 2)) "$HEIGHT" || fail "narrowed window: right third black"
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
tap F11
wait_for 10 lit_window "$screen_w" "$screen_h" || fail "F11: no full screen"
tap F11
wait_for 10 lit_window $((WIDTH / 2)) "$HEIGHT" || fail "F11 again: not back to the window"
xdotool windowsize "$WID" "$WIDTH" "$HEIGHT"
wait_for 10 lit_window "$WIDTH" "$HEIGHT" || fail "window size back"
pass "widened, narrowed, full screen and back"

press_until 10 b shows_picture "$KOBULDO/Textures/YouWin.png" 0.12 || fail "B does not show the win picture"
win=$(shot win)
d=$(picture_difference "$win" "$KOBULDO/Textures/YouWin.png")
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
