#!/usr/bin/env bash
# The Windows program under Wine, one case per run: wine_cases.sh CASE.

# On a busy machine Wine now and then fails to start a program or to map a
# window, once in many runs: a case has a second try, and what the first
# said is shown. A fault of the game's fails both.
if [ -z "${VINTARO_SECOND_TRY:-}" ]; then
  if first=$(VINTARO_SECOND_TRY=1 bash "$0" "$@" 2>&1); then
    printf '%s\n' "$first"
    exit 0
  fi
  { echo "the first try failed:"; sed 's/^/  /' <<<"$first"; echo "the second try:"; } >&2
  export VINTARO_SECOND_TRY=1
fi

source "$(dirname "$0")/wine_lib.sh"

readonly BOARD=639x598+0+0

# The window where the class and creation tables put it, and its first board
# exactly as the replay tool draws it.
case_first_board() {
  write_ini 10 220
  write_gol
  replay "snapshot $WORK/expected.png"
  start_display
  start_game
  wait_main_window
  local geometry
  geometry=$(window_geometry "$MAIN_WINDOW")
  [ "$geometry" = "100 50 647 646" ] || fail "window at $geometry, not 100 50 647 646"
  poll 20 board_shows "$WORK/expected.png" "$BOARD" ||
    fail "the first board differs from the replay: $(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1) pixels"
}

# Today's frames, wider and with a taller caption than the classic ones: the
# window keeps its place and the client area its size, so the whole board
# and status bar show.
case_wide_frames() {
  write_ini 10 220
  write_gol
  start_display
  keep_user_registry
  local metrics='HKCU\Control Panel\Desktop\WindowMetrics'
  timeout 30 wine reg add "$metrics" /v CaptionHeight /d 22 /f >/dev/null
  timeout 30 wine reg add "$metrics" /v PaddedBorderWidth /d 4 /f >/dev/null
  start_game
  wait_main_window
  local client place
  client=$(probe client)
  [ "${client#* * }" = "639 619" ] || fail "a client area of ${client#* * }, not 639 619"
  place=$(window_geometry "$MAIN_WINDOW")
  [ "${place% * *}" = "100 50" ] || fail "the window at ${place% * *}, not 100 50"
}

# Space, the eight paddle keys, space: the strip ends where the replay tool
# puts it with the same characters.
case_paddle_keys() {
  write_ini 10 999 # the ball stays far from the strip meanwhile
  write_gol
  replay "snapshot $WORK/start.png
key space
keys asaxc,.:;
key space
snapshot $WORK/end.png"
  start_display
  start_game
  wait_main_window
  poll 20 board_shows "$WORK/start.png" 639x5+0+573 || fail "no paddle at the start column"
  keys space a s a x c comma period colon semicolon space
  poll 20 board_shows "$WORK/end.png" 639x5+0+573 ||
    fail "the paddle strip differs from the replay"
}

# box_then_exit CAPTION: the box comes up with no main window, the game waits
# on it, and ends with 0 once it is answered.
box_then_exit() {
  local box
  poll 30 window_shown "^$1\$" || fail "no \"$1\" box"
  box=$(visible_window "^$1\$")
  local shown
  shown=$(main_window || true)
  [ -z "$shown" ] ||
    fail "the main window is shown behind the box: $(xwininfo -id "$shown" | grep -E 'Map State|Absolute')"
  game_running || fail "the game ended before the box was answered"
  xdotool key --window "$box" Return 2>/dev/null || true # the box is gone before the key is up
  wait_exit 20
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
  [ -z "$(main_window)" ] || fail "the main window was shown"
}

case_missing_picture() {
  write_ini 10 220
  start_display
  start_game
  box_then_exit 'Vintaro invalid'
}

case_invalid_settings() {
  printf 'Vintaro.ini\r\nball:1xreserve\r\ninterval:220msec\r\n' >"$GAME_DIR/Vintaro.ini"
  write_gol
  start_display
  start_game
  box_then_exit 'Vintaro invalid'
}

case_close_during_play() {
  write_ini 10 100
  write_gol
  start_display
  start_game
  wait_main_window
  keys space
  sleep 0.5 # a few ticks into the game
  game_running || fail "the game ended by itself"
  xdotool key --window "$MAIN_WINDOW" alt+F4 2>/dev/null || true
  wait_exit 20
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
}

# status_texts_read_right: the game started with 10 balls and 220 ms shows
# its status texts in glyphs.
status_texts_read_right() {
  write_ini 10 220
  write_gol
  [ -n "$XVFB_PID" ] || start_display
  start_game
  wait_main_window
  check_status_texts
}

case_status_japanese() {
  # A Japanese locale of our own, so that the machine needs none installed.
  mkdir -p "$WORK/locale"
  localedef -i ja_JP -f UTF-8 "$WORK/locale/ja_JP.UTF-8" 2>/dev/null ||
    [ -e "$WORK/locale/ja_JP.UTF-8/LC_CTYPE" ] || fail "cannot make the ja_JP.UTF-8 locale"
  export LOCPATH=$WORK/locale LANG=ja_JP.UTF-8
  status_texts_read_right
  [ "$(probe codepage)" = 932 ] || fail "Wine did not take the Japanese locale"
}

case_status_c() {
  # Wine rewrites the Tahoma link whenever the code page changes, as it does
  # after a test under the Japanese locale: the prefix's links come back.
  start_display
  timeout 30 wine regedit /S "$WINEPREFIX/tests.reg"
  status_texts_read_right
  [ "$(probe codepage)" != 932 ] || fail "the code page is 932 under C.UTF-8"
}

midi_sent_at_least() { [ "$(midi_messages | wc -l)" -ge "$1" ]; }
midi_sent() { midi_messages | grep -qx "$1"; }

# No MIDI device: the game sends its messages all the same and plays on.
case_midi_silent() {
  export WINEDEBUG=-all,+winmm
  write_ini 10 20
  write_gol
  start_display
  start_game
  wait_main_window
  poll 20 midi_sent_at_least 4 || fail "no ticks"
  local sent
  sent=$(midi_messages | head -n 4 | paste -sd ' ')
  [ "$sent" = "00000DC0 00000090 00000090 00000090" ] ||
    fail "the first messages are $sent, not the program change and the note-offs"
  grep -q 'midiOutOpen =>' "$WORK/game.err" || fail "the MIDI mapper was not asked for"
  keys space
  # The paddle bounce, then a block hit with its note.
  poll 30 midi_sent 007F2599 || fail "no paddle cue"
  poll 30 midi_sent '0064..90' || fail "no block note"
  game_running || fail "the game ended"
}

# The last ball lost: the box is modal, the ticks go on under it (each only a
# note-off), and the game ends with 0 once it is answered.
case_game_over() {
  export WINEDEBUG=-all,+winmm
  write_ini 1 100
  write_gol
  start_display
  start_game
  wait_main_window
  keys space a a a a # the paddle out of the ball's way
  poll 30 window_shown '^Vintaro finish$' || fail "no game-over box"
  local box before
  box=$(visible_window '^Vintaro finish$')
  before=$(midi_messages | wc -l)
  poll 20 midi_sent_at_least $((before + 3)) || fail "no ticks under the box"
  [ -z "$(midi_messages | tail -n +$((before + 1)) | grep -v '^00000090$')" ] ||
    fail "the ticks under the box did more than a note-off"
  [ -n "$(main_window)" ] || fail "the main window went with the box"
  xdotool key --window "$box" Return 2>/dev/null || true
  wait_exit 20
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
  grep -q 'midiOutClose' "$WORK/game.err" || fail "the MIDI output was not closed"
}

# Minimised while the ball runs, a tick, restored: the whole board comes back,
# as a full repaint draws it.
case_restore_board() {
  export WINEDEBUG=-all,+winmm
  write_ini 10 100
  write_gol
  start_display
  start_game
  wait_main_window
  keys space
  probe minimise
  local sent
  sent=$(midi_messages | wc -l)
  poll 20 midi_sent_at_least $((sent + 2)) || fail "no tick while minimised"
  probe restore
  keys space # paused: the board holds still
  settled_capture "$WORK/restored.png" || fail "the board does not settle"
  probe repaint
  settled_capture "$WORK/repainted.png" || fail "the repainted board does not settle"
  same_region "$WORK/restored.png" "$WORK/repainted.png" "$BOARD" ||
    fail "the restored board differs from a full repaint in $(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1) pixels"
}

# A game one hit from its end: the reward picture is on the screen while the
# tune plays, and nothing else happens until the tune is over.
tune_sent() { midi_messages | sed -n '/^000033C0$/,$p' | tail -n +2 | head -n 16 | paste -sd ' '; }
tune_over() { [ "$(tune_sent | wc -w)" = 16 ]; }

picture_shown() {
  capture_client "$WORK/capture.png" && same_region "$WORK/capture.png" "$WORK/picture.png" 370x280+136+153
}

case_victory_picture() {
  export WINEDEBUG=-all,+winmm
  write_ini 10 50
  write_gol 240 # every pixel rgb(160,160,160)
  convert -size 639x598 xc:'rgb(160,160,160)' "$WORK/picture.png"
  start_display
  start_game
  wait_main_window
  probe lastblock || fail "no fresh game found in the game's memory"
  keys space
  poll 30 picture_shown || fail "no reward picture"
  ! tune_over || fail "the reward picture came only after the tune"
  poll 20 tune_over || fail "the tune did not end"
  local tune='' note
  for note in 50 52 52 50 52 55 52 50; do tune+=" 007F${note}90 0000${note}90"; done
  [ "$(tune_sent)" = "${tune# }" ] || fail "the tune was $(tune_sent)"
}

# The program as shipped: stripped, with no link time in its header, with a
# version resource (type 16) and the icon (its images, type 3, and their
# group, type 14).
case_release_exe() {
  local exe=$VINTARO_EXE_DIR/vintaro.exe headers version
  headers=$(x86_64-w64-mingw32-objdump -h -p "$exe")
  ! grep -q '\.debug' <<<"$headers" || fail "debug sections in vintaro.exe"
  grep -q '^Time/Date[[:space:]]*Thu Jan  1 00:00:00 1970$' <<<"$headers" ||
    fail "a link time in the header: $(grep '^Time/Date' <<<"$headers")"
  grep -q 'Type Table:' <<<"$headers" && grep -q 'Entry: ID: 0x000010,' <<<"$headers" ||
    fail "no version resource"
  grep -q 'Entry: ID: 0x000003,' <<<"$headers" && grep -q 'Entry: ID: 0x00000e,' <<<"$headers" ||
    fail "no icon"
  version=$(x86_64-w64-mingw32-strings -n 3 -el "$exe" | awk '
    last == "ProductName" {p = $0} last == "ProductVersion" {v = $0} last == "CompanyName" {c = $0}
    {last = $0} END {print p, v, c}')
  [ "$version" = "Vintaro $VINTARO_VERSION https://pirumo.example/" ] ||
    fail "the version resource says '$version'"
}

# The back buffer shows on the screen exactly what one SetPixel per pixel does.
case_paint_paths() {
  start_display
  timeout 60 wine "$VINTARO_EXE_DIR/vintaro-paintbench.exe" --check | tr -d '\r'
}

"case_$1"
echo "PASS: $1"
