#!/usr/bin/env bash
# Sound: the game plays into OpenAL Soft's wave writer. Silent on the start
# screen, audible while racing, silent again after M; M is remembered.
source "$(dirname "$0")/lib.sh" "$@"

WAV="$RUN/out.wav"
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$WAV" >"$RUN/alsoft.conf"
export ALSOFT_CONF="$RUN/alsoft.conf"
unset ALSOFT_DRIVERS

u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }

# wav_windows FILE SECONDS: the RMS of each stretch of that length, in dBFS,
# one a line. Walks the RIFF chunks itself: the writer's file is
# WAVE_FORMAT_EXTENSIBLE, 16-bit or float samples.
wav_windows() {
  local f=$1 size pos=12 id len body tag=0 channels=0 rate=0 bits=0 data=0 bytes=0
  size=$(stat -c %s "$f")
  while [ $((pos + 8)) -le "$size" ]; do
    id=$(dd if="$f" bs=1 skip="$pos" count=4 2>/dev/null)
    len=$(u32 "$f" $((pos + 4)))
    body=$((pos + 8))
    if [ "$id" = "fmt " ]; then
      tag=$(u16 "$f" "$body")
      channels=$(u16 "$f" $((body + 2)))
      rate=$(u32 "$f" $((body + 4)))
      bits=$(u16 "$f" $((body + 14)))
      [ "$tag" -eq 65534 ] && tag=$(u16 "$f" $((body + 24))) # the sub-format's first two bytes
    elif [ "$id" = "data" ]; then
      data=$body
      bytes=$len
      # The size is written when the device closes; trust the file otherwise.
      if [ "$bytes" -eq 0 ] || [ $((data + bytes)) -gt "$size" ]; then bytes=$((size - data)); fi
      break
    fi
    pos=$((body + len + (len & 1)))
  done
  [ "$data" -gt 0 ] && [ "$channels" -gt 0 ] || { echo "no fmt or data chunk in $f" >&2; return 1; }
  local type
  case "$tag/$bits" in
    1/16) type=d2 ;;
    3/32) type=f4 ;;
    *) echo "unexpected sample format $tag/$bits" >&2; return 1 ;;
  esac
  od -An -v -t"$type" -j "$data" -N "$bytes" "$f" |
    awk -v per="$(awk -v s="$2" -v r="$rate" -v c="$channels" 'BEGIN { print int(s * r * c) }')" \
      -v scale="$([ $type = d2 ] && echo 32768 || echo 1)" '
      function flush() { if (n > 0) printf "%.1f\n", (s > 0 ? 10 * log(s / n) / log(10) : -200); s = 0; n = 0 }
      { for (i = 1; i <= NF; ++i) { x = $i / scale; s += x * x; if (++n == per) flush() } }
      END { flush() }'
}

start_game
grep -q "No sound device" "$RUN/out.txt" && fail "the wave writer did not open: $(cat "$RUN/out.txt")"
sleep 1
tap Return
# Push the ball along for a few seconds: rolling, wind, rings.
hold w 4
tap m
sleep 1.5
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
check_sanitizers
[ -s "$WAV" ] || fail "no sound written"

mapfile -t levels < <(wav_windows "$WAV" 0.5 | head -n -1) # the last stretch may be partial
[ ${#levels[@]} -ge 8 ] || fail "only ${#levels[@]} half seconds of sound"
loudest=$(printf '%s\n' "${levels[@]}" | sort -g | tail -n 1)
echo "half-second levels (dBFS): ${levels[*]}"
less_than -90 "${levels[0]}" && fail "sound on the start screen (${levels[0]} dBFS)"
less_than "$loudest" -35 && fail "the race is too quiet (loudest half second $loudest dBFS)"
pass "silent start screen, race at $loudest dBFS"
less_than -90 "${levels[-1]}" && fail "still audible after M (${levels[-1]} dBFS)"
grep -qx "muted 1" "$RUN/Kobuldo/settings.txt" || fail "M not remembered: $(cat "$RUN/Kobuldo/settings.txt" 2>&1)"
pass "M mutes and is remembered"
