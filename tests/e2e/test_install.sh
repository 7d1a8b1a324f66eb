#!/usr/bin/env bash
# The installed game: cmake --install into a temporary prefix (DESTDIR), the
# desktop files valid, --help and --version without a window, a clear failure
# without data, a won race from another folder saving to the user's data
# folder (read back on the next start) while the installed files stay as they
# are, and the Debian package with its contents and Depends.
source "$(dirname "$0")/lib.sh" "$@"

BUILD=$(dirname "$GAME")
CHECK="$BUILD/course_check"
ID=io.github.zentaro.Zentaro
# Nothing to find in the working directory: the game must use its installation.
rm -rf "$RUN/Kobuldo"
DEST="$RUN/dest"
INST="$DEST/usr"
DESTDIR="$DEST" cmake --install "$BUILD" --prefix /usr >"$RUN/install.txt" 2>&1 ||
  fail "cmake --install: $(cat "$RUN/install.txt")"
for f in bin/zentaro share/zentaro/Kobuldo/Tracks/1.track share/zentaro/Kobuldo/Shader/default.frag \
  share/applications/$ID.desktop share/metainfo/$ID.metainfo.xml share/man/man6/zentaro.6; do
  [ -s "$INST/$f" ] || fail "not installed: $f"
done
for n in 48 128 256; do
  icon="$INST/share/icons/hicolor/${n}x${n}/apps/$ID.png"
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${n}x${n}" ] || fail "icon $n: $(identify "$icon" 2>&1)"
done
desktop-file-validate "$INST/share/applications/$ID.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$INST/share/metainfo/$ID.metainfo.xml" >"$RUN/appstream.txt" 2>&1 ||
  fail "metainfo: $(cat "$RUN/appstream.txt")"
pass "installed files, desktop entry and metainfo valid"

installed_sums() { (cd "$INST" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
installed_sums >"$RUN/before.sum"

export HOME="$RUN/home"
unset XDG_DATA_HOME
mkdir -p "$HOME" "$RUN/elsewhere"
SAVED="$HOME/.local/share/zentaro/Tracks/1.track"

out=$(cd "$RUN/elsewhere" && env -u DISPLAY "$INST/bin/zentaro" --help </dev/null 2>&1) || fail "--help status $?"
grep -q "WIDTH HEIGHT" <<<"$out" || fail "--help: $out"
grep -qxF "Here: game data $INST/share/zentaro/Kobuldo/, saves $HOME/.local/share/zentaro/" <<<"$out" ||
  fail "--help does not say where data and saves are: $out"
out=$(env -u DISPLAY "$INST/bin/zentaro" --version </dev/null 2>&1) || fail "--version status $?"
grep -qxE "Zentaro [0-9]+\.[0-9]+\.[0-9]+" <<<"$out" || fail "--version: $out"
pass "--help and --version without a window"

mkdir -p "$RUN/lonely/bin"
cp "$INST/bin/zentaro" "$RUN/lonely/bin/"
out=$(cd "$RUN/elsewhere" && "$RUN/lonely/bin/zentaro" 320 240 </dev/null 2>&1)
status=$?
[ "$status" -eq 1 ] || fail "no data: status $status: $out"
grep -qxF "Cannot find the game data: no folder $RUN/elsewhere/Kobuldo or $RUN/lonely/share/zentaro/Kobuldo" \
  <<<"$out" || fail "no data: $out"
pass "without data: one message naming the places searched, status 1"

# A won race (B) from another folder saves to the user's data folder.
GAME="$INST/bin/zentaro"
RUN_DIR="$RUN/elsewhere"
start_game
press_until 5 Return looks_unlike "$KOBULDO/Textures/Startscreen.png" 0.2 || fail "Enter does not start a race"
press_until 5 b test -s "$SAVED" || fail "a won race saved nothing to $SAVED"
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS"
check_sanitizers
"$CHECK" "$SAVED" >"$RUN/check.txt" 2>&1 || fail "the saved course does not read back: $(cat "$RUN/check.txt")"
installed_sums | cmp -s - "$RUN/before.sum" || fail "installed files changed: $(installed_sums | diff "$RUN/before.sum" -)"
pass "won race saved to the user's folder, installed files unchanged"

# The next start plays the player's copy.
sed -i 's/^besttime .*/besttime 12345/' "$SAVED"
start_game
stop_game
grep -qx "12345" "$RUN/out.txt" || fail "the player's course was not read: $(head -n 20 "$RUN/out.txt")"
pass "the player's saved course is read on the next start"

# The Debian package: everything under /usr, Depends from the linked libraries.
(cd "$RUN" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$RUN/pkg" >"$RUN/cpack.txt" 2>&1) ||
  fail "cpack: $(tail -n 20 "$RUN/cpack.txt")"
deb=$(ls "$RUN"/pkg/zentaro_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb: $(tail -n 20 "$RUN/cpack.txt")"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libglfw3 libglew libfreeimage libbullet libsndfile1; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$RUN/deb.txt"
for f in ./usr/bin/zentaro ./usr/share/zentaro/Kobuldo/Tracks/1.track ./usr/share/applications/$ID.desktop \
  ./usr/share/metainfo/$ID.metainfo.xml ./usr/share/man/man6/zentaro.6 \
  ./usr/share/icons/hicolor/48x48/apps/$ID.png; do
  grep -qxF "$f" "$RUN/deb.txt" || fail "not in the package: $f"
done
outside=$(grep -vxE '\./|\./usr(/.*)?' "$RUN/deb.txt")
[ -z "$outside" ] || fail "outside /usr: $outside"
pass "package $(basename "$deb"): Depends $depends"
