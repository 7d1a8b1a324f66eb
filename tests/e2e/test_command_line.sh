#!/usr/bin/env bash
# The command line: defaults, the "you are executing" line, failure messages
# (with GLFW's reason) and exit statuses, and a window of the asked size.
source "$(dirname "$0")/lib.sh" "$@"

expect_failure() { # expected-status expected-message args...
  local want_status=$1 want=$2
  shift 2
  local out status
  out=$(cd "$RUN" && "$GAME" "$@" </dev/null 2>&1)
  status=$?
  [ "$status" -eq "$want_status" ] || fail "args '$*': status $status, expected $want_status"
  grep -qxF "$want" <<<"$out" || fail "args '$*': no '$want' in: $out"
  echo "$out"
}

out=$(expect_failure 1 "Fail in first command line!" abc 600)
grep -q "you are executing '" <<<"$out" || fail "abc 600: no executing line"
grep -q "second" <<<"$out" && fail "abc 600: argument 2 was read"
pass "abc 600"

for third in 2 true; do
  out=$(expect_failure 1 "Fail in thrid command line!" 800 600 "$third")
  head -n 1 <<<"$out" | grep -q "^you are executing '" || fail "800 600 $third: executing line first"
  pass "800 600 $third"
done
expect_failure 255 "Failed to open window" 0 600 >/dev/null
pass "0 600"
# No X server: GLFW's own reason as well as the game's line and status.
out=$(DISPLAY=:987 expect_failure 255 "Failed to init glfw" 320 240)
grep -qE '^GLFW: .*:987' <<<"$out" || fail "no display: no reason from GLFW in: $out"
pass "no display"

window_size() { xdotool getwindowgeometry "$WID" | awk '/Geometry/ { print $2 }'; }

start_game
[ "$(window_size)" = "${WIDTH}x${HEIGHT}" ] || fail "window $(window_size)"
stop_game; [ "$GAME_STATUS" -eq 0 ] || fail "status after Escape"
grep -q "you are executing" "$RUN/out.txt" || fail "two arguments print the executing line"
check_sanitizers
pass "two arguments"

start_game 321
[ "$(window_size)" = "1000x780" ] || fail "one argument: window $(window_size)"
stop_game; [ "$GAME_STATUS" -eq 0 ] || fail "status after Escape"
grep -q "you are executing" "$RUN/out.txt" && fail "one argument must be ignored"
pass "one argument"

start_game 300abc 200 1
[ "$(window_size)" = "300x200" ] || fail "300abc 200: window $(window_size)"
stop_game; [ "$GAME_STATUS" -eq 0 ] || fail "status after Escape"
pass "300abc 200 1"
