#!/usr/bin/env bash
# The Windows zip: packed twice, a second apart, it is the same to the byte;
# unpacked, it holds the game, its two default files (the picture the native
# build made) and a read-me, text files with CRLF; its
# game, started in its folder as a double-click starts it, in a prefix as a
# player has it (fresh, outside a Japanese locale, with none of the other
# tests' font links), shows the first board as the replay tool draws it from
# the same files and its status texts in glyphs.
source "$(dirname "$0")/../../platform/win32/tests/wine_lib.sh"

for out in out again; do
  sleep 1
  cpack --config "$VINTARO_ZIP_BUILD/CPackConfig.cmake" -B "$WORK/$out" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$WORK/cpack.log")"
done
zips=("$WORK"/out/vintaro-*-windows.zip)
zip=${zips[0]}
[ -f "$zip" ] || fail "no vintaro-VERSION-windows.zip among: $(ls "$WORK/out")"
echo "$(basename "$zip"): $(stat -c %s "$zip") bytes"
cmp "$zip" "$WORK/again/$(basename "$zip")" || fail "packed twice, the zip differs"

mkdir "$WORK/unpacked"
(cd "$WORK/unpacked" && cmake -E tar xf "$zip") || fail "the zip does not unpack"
GAME_DIR=$(echo "$WORK"/unpacked/*)
files=$(cd "$GAME_DIR" && LC_ALL=C ls | tr '\n' ' ')
[ "$files" = "README.txt Vintaro.gol Vintaro.ini vintaro.exe " ] || fail "the zip holds: $files"
cmp -s "$GAME_DIR/Vintaro.gol" "$VINTARO_PLAY_DIR/Vintaro.gol" || fail "Vintaro.gol is not the default"
for text in README.txt Vintaro.ini; do
  ! grep -q $'[^\r]$\|^$' "$GAME_DIR/$text" || fail "$text has a line without CR LF"
done

replay "snapshot $WORK/expected.png"
TMPDIR=$WORK bash "$(dirname "$0")/../../platform/win32/tests/wine_prefix.sh" setup \
  "$WORK/prefix.path" player >/dev/null || fail "no Wine prefix"
WINEPREFIX=$(cat "$WORK/prefix.path")
start_display
# In its own folder, as a double-click starts it.
(cd "$GAME_DIR" && exec wine ./vintaro.exe) >"$WORK/game.out" 2>"$WORK/game.err" &
GAME_PID=$!
wait_main_window
poll 20 board_shows "$WORK/expected.png" 639x598+0+0 ||
  fail "the first board differs from the replay"
check_status_texts
echo "PASS"
