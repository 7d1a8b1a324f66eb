#!/usr/bin/env bash
# Runs a command inside a private Xvfb server (24-bit, with GLX) and returns
# the command's exit status. The server picks a free display itself and
# tells it (-displayfd), so several can start at once without colliding.
# XVFB_SCREEN sets the screen's size and depth (default 1280x1024x24).
set -u
screen=${XVFB_SCREEN:-1280x1024x24}
dir=$(mktemp -d /tmp/zentaro-xvfb.XXXXXX)
Xvfb -displayfd 3 -screen 0 "$screen" +extension GLX +render -noreset -nolisten tcp \
  3>"$dir/display" >"$dir/log" 2>&1 &
server=$!
stop_server() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$dir"
}
trap stop_server EXIT
trap 'exit 143' TERM INT
for _ in $(seq 1 200); do
  [ -s "$dir/display" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
display=$(head -n 1 "$dir/display" 2>/dev/null)
if [ -z "$display" ]; then
  echo "Xvfb did not start: $(cat "$dir/log")" >&2
  exit 1
fi
export DISPLAY=":$display"
"$@"
