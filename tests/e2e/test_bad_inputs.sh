#!/usr/bin/env bash
# Bad inputs of every kind the game reads, through the real game:
# command lines, course files, meshes, pictures and shaders. Each gets a clear
# message or is played around; none crashes or hangs the game, and a course
# file is never changed by a game that did not save.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/course_fixture.sh"

cp -r "$RUN/Kobuldo" "$RUN/pristine"
restore() { rm -rf "$RUN/Kobuldo" && cp -r "$RUN/pristine" "$RUN/Kobuldo"; }

# run_to_exit ARGS...: the game with stdin closed (no key wait); sets OUT and
# STATUS. A game that does not end by itself within a minute fails the test.
# A fatal start-up failure leaves what was made to the end of the process, so
# leaks are not looked for there.
run_to_exit() {
  OUT=$(cd "$RUN" && ASAN_OPTIONS=detect_leaks=0 timeout 60 "$GAME" "$@" </dev/null 2>&1)
  STATUS=$?
  [ "$STATUS" -eq 124 ] && fail "args '$*': the game hung"
  grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" <<<"$OUT" && fail "args '$*': sanitizer report: $OUT"
  return 0
}
expect_exit() { # status message args...
  local want_status=$1 want=$2
  shift 2
  run_to_exit "$@"
  [ "$STATUS" -eq "$want_status" ] || fail "args '$*': status $STATUS, expected $want_status: $OUT"
  grep -qF -- "$want" <<<"$OUT" || fail "args '$*': no '$want' in: $OUT"
}

# --- Command lines ----------------------------------------------------------
expect_exit 1 "Fail in first command line!" 99999999999 240
expect_exit 1 "Fail in second command line!" 320 99999999999
expect_exit 1 "Fail in first command line!" "$(printf '9%.0s' $(seq 1 20000))" 240
expect_exit 1 "Fail in first command line!" "" 240
expect_exit 1 "Fail in thrid command line!" 320 240 -1
for size in "-320 240" "320 -240" "-2147483648 240" "0x10 240" "2147483647 240" "32767 32767" "16385 100"; do
  # shellcheck disable=SC2086
  expect_exit 255 "Failed to open window" $size
done
grep -q "is outside 1 to 16384" <<<"$OUT" || fail "no word on the allowed window size: $OUT"
pass "command lines: huge, negative, empty and oversized values fail with their messages"

# play_a_little NAME: start, a race with steering, the editor placing a piece,
# the race again, Escape, which asks about the unsaved piece, and N, which
# drops it and quits (a course with no room for it quits at once). (No ring is placed: a race won on it would rightly
# save the course.) Status 0, no GL error, no sanitizer
# report; the output lands in $RUN/NAME.txt.
play_a_little() {
  start_game
  tap Return
  hold w 0.6
  hold a 0.3
  tap e
  tap 1
  hold space 0.3
  tap e
  tap n
  hold d 0.3
  tap Escape
  if file_has "$RUN/out.txt" '^Editor: placed'; then
    wait_for 10 file_has "$RUN/out.txt" '^Asked: Save changes' || fail "$1: Escape asks nothing about the piece"
    stop_game n
  else
    stop_game # nothing placed (a full course): nothing to ask about
  fi
  cp "$RUN/out.txt" "$RUN/$1.txt"
  [ "$GAME_STATUS" -eq 0 ] || fail "$1: exit status $GAME_STATUS: $(tail -n 20 "$RUN/out.txt" "$RUN/err.txt")"
  grep -q "GL ERROR DETECTED!!!" "$RUN/out.txt" && fail "$1: GL errors"
  check_sanitizers
}

# --- Course files -----------------------------------------------------------
# Each course is played (no win, no save) and must be left exactly as it was.
good_course=$(cat "$COURSE")
try_course() { # name: plays $COURSE as it stands
  rm -f "$RUN/course-before"
  [ -f "$COURSE" ] && cp "$COURSE" "$RUN/course-before"
  play_a_little "$1"
  if [ -e "$RUN/course-before" ]; then
    cmp -s "$COURSE" "$RUN/course-before" || fail "$1: the course file was changed"
  fi
  rm -f "$RUN/course-before"
}

head -c 200000 /dev/urandom >"$COURSE"
try_course junk
pass "course of binary junk"

{ printf '%s\n' "$good_course"; head -c 100000 /dev/urandom; printf '\nring 1 0 0 0 0 1 0 0 0 0 1 0 nan 60 20 1\n'; } >"$COURSE"
try_course junk-after
pieces=$(grep -cE '^(ramp|straight|left|right) ' <<<"$good_course")
grep -q "Skipping ring entry with a non-finite number" "$RUN/junk-after.txt" || fail "junk-after: no word on the nan ring"
pass "course followed by junk and a nan ring"

{ printf '%s\n' "$good_course"; yes word | head -n 1000000 | tr '\n' ' '; } >"$COURSE"
try_course million-words
pass "course with a million extra words"

{ printf '%s\n' "$good_course"; head -c 10485760 /dev/zero | tr '\0' 'x'; printf '\n'; } >"$COURSE"
try_course ten-megabyte-line
pass "course with a 10 MB line"

cat >"$COURSE" <<'EOF'
ramp nan 0 0 0 0 1 0 0 0 0 1 0 0 60 20 1
straight 1 0 0 0 0 1 0 0 0 0 1 0 inf 60 20 1
left 1 0 0 0 0 1 0 0 0 0 1 0 -inf 60 20 1
ring 1e39 0 0 0 0 1 0 0 0 0 1 0 0 60 20 1
right 1 0 0 0 0 1 0 0 0 0 1 0 1e30 1e30 1e30 1
ring 3e38 0 0 0 0 3e38 0 0 0 0 3e38 0 -0.88 200 21.2 1
straight 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0
besttime nan
besttime 1e300
EOF
try_course numbers
[ "$(grep -c "non-finite number" "$RUN/numbers.txt")" -eq 6 ] || fail "numbers: expected six skipped entries: $(cat "$RUN/numbers.txt")"
pass "course of nan, inf and huge numbers"

: >"$COURSE"
try_course empty
pass "empty course file"

if [ -n "${HARDENING:-}" ]; then
  # A million ring words: a thousand entries are built, the rest left out,
  # and a won race (B held) must not save the shortened course over the file.
  { printf '%s\n' "$good_course"; yes ring | head -n 1000000; } >"$COURSE"
  cp "$COURSE" "$RUN/course-before"
  started=$SECONDS
  start_game
  xdotool keydown b
  for _ in $(seq 1 1800); do
    grep -q "Not saving: Kobuldo/Tracks/1.track was not loaded whole" "$RUN/out.txt" && break
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
  done
  xdotool keyup b
  grep -q "was not loaded whole" "$RUN/out.txt" || fail "million rings: no word on keeping the course"
  loaded=$((SECONDS - started))
  stop_game
  [ "$GAME_STATUS" -eq 0 ] || fail "million rings: exit status $GAME_STATUS"
  grep -q "more than the 1000 a course may have" "$RUN/out.txt" || fail "million rings: no word on the limit"
  cmp -s "$COURSE" "$RUN/course-before" || fail "million rings: the course file was changed"
  rm -f "$RUN/course-before"
  check_sanitizers
  pass "course of a million ring words: 1000 built in $loaded s, the file kept"
fi

rm -f "$COURSE"
mkdir -p "$COURSE/inside"
try_course folder
grep -q "Course 1 is unavailable: Kobuldo/Tracks/1.track cannot be read" "$RUN/folder.txt" ||
  fail "folder: no message"
[ -d "$COURSE/inside" ] || fail "folder: the folder was touched"
pass "a folder in place of the course"
restore

# --- Meshes -----------------------------------------------------------------
OBJ="$RUN/Kobuldo/Objects/V2"
printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 99/1/1\n' >"$OBJ/ring.obj"
printf 'v 0 0 0\nvt 0 0\nvn 0 0 1\nf 0/0/0 -1/-1/-1 1/1/1\n' >"$OBJ/light.obj"
printf 'v 1 2\nvt\nvn\nf 1/1/1 1/1/1\n' >"$OBJ/pellixHead.obj"
head -c 50000 /dev/urandom >"$OBJ/ramp.stl"
head -c 50000 /dev/urandom >"$OBJ/ramp.obj"
: >"$OBJ/left.obj"
printf 'solid x\nvertex nan 0 0\nvertex 1 inf 0\nvertex 0 0\nendsolid\n' >"$OBJ/left.stl"
rm -f "$OBJ/straight.obj" && mkdir "$OBJ/straight.obj"
# The ball: 22,000 separate triangles, 66,000 distinct vertices.
awk 'BEGIN {
  for (i = 0; i < 22000; i++) printf "v %d 0 0\nv %d 1 0\nv %d 0 1\n", i, i, i
  print "vt 0 0\nvt 1 0\nvt 0 1\nvn 1 0 0"
  for (i = 0; i < 22000; i++) printf "f %d/1/1 %d/2/1 %d/3/1\n", 3*i+1, 3*i+2, 3*i+3
}' >"$OBJ/shpere.obj"
play_a_little meshes
grep -q "Invalid face index in Kobuldo/Objects/V2/ring.obj" "$RUN/meshes.txt" || fail "meshes: no word on ring.obj"
grep -q "File can't be read by our simple parser" "$RUN/meshes.txt" || fail "meshes: no word on pellixHead.obj"
grep -q "more than 65536" "$RUN/meshes.txt" || fail "meshes: no word on the oversized ball"
pass "broken meshes: bad indices, junk, missing fields, a folder, more than 65,536 vertices"
restore

# --- Pictures ---------------------------------------------------------------
TEX="$RUN/Kobuldo/Textures"
head -c 300 "$RUN/pristine/Textures/wood.png" >"$TEX/wood.png"
head -c 700 "$RUN/pristine/Textures/ring.jpg" >"$TEX/ring.jpg"
: >"$TEX/pellixTex.jpg"
rm -f "$TEX/particle.png" && mkdir "$TEX/particle.png"
rm -f "$TEX/top.png" "$TEX/wood-normal.png"
head -c 5000 /dev/urandom >"$TEX/MyFont.bmp"
play_a_little pictures
pass "truncated, empty, missing and junk pictures and a folder"
restore

# --- Shaders ----------------------------------------------------------------
SHADER="$RUN/Kobuldo/Shader"
rm -f "$SHADER/normalmap.frag"
expect_exit 255 "Failed to open shader file: Kobuldo/Shader/normalmap.frag" "$WIDTH" "$HEIGHT"
restore
rm -f "$SHADER/texture.vert"
expect_exit 255 "Failed to open shader file: Kobuldo/Shader/texture.vert" "$WIDTH" "$HEIGHT"
grep -q "texture.frag" <<<"$OUT" && fail "the fragment file was named after a missing vertex file"
restore
printf '#version 330 core\nthis is not GLSL;\n' >"$SHADER/default.frag"
expect_exit 255 "Failed to compile shader" "$WIDTH" "$HEIGHT"
restore
: >"$SHADER/Text.vert"
expect_exit 255 "Failed to compile shader" "$WIDTH" "$HEIGHT"
restore
# Compiles alone, but has no main to link.
printf '#version 330 core\nout vec4 fragColor;\nvoid helper() { fragColor = vec4(1.0); }\n' >"$SHADER/color.frag"
expect_exit 255 "Failed to link shader program" "$WIDTH" "$HEIGHT"
restore
pass "missing, broken, empty and unlinkable shaders end the game with their message and status 255"
