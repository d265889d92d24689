# Sourced by the Windows tests: runs the Windows programs under Wine on a
# virtual X display of the test's own, and ends every process it started,
# also when the test fails.
#
# Expects VINTARO_EXE_DIR (vintaro.exe, vintaro-probe.exe), VINTARO_REPLAY
# (the native replay tool) and VINTARO_PREFIX_FILE (the shared prefix's path).
set -Eeuo pipefail
# A check that stops the test without a FAIL of its own still says where.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR
source "$(dirname "${BASH_SOURCE[0]}")/../../common/tests/display_lib.sh"
# Many of the conditions polled start a Windows program: not too often.
poll_interval=0.2

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vintaro-wintest.XXXXXX")
GAME_DIR=$WORK/game
mkdir -p "$GAME_DIR"
XVFB_PID=
GAME_PID=
SAVED_USER_REG=

export WINEPREFIX
WINEPREFIX=$(cat "$VINTARO_PREFIX_FILE")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
unset LC_ALL LANGUAGE

cleanup() {
  local status=$?
  set +e
  # Ends the game, the probe, the desktop process and the server itself.
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  [ -n "$SAVED_USER_REG" ] && cp "$SAVED_USER_REG" "$WINEPREFIX/user.reg"
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null && wait "$GAME_PID" 2>/dev/null
  xvfb_stop
  if [ $status -ne 0 ] && [ -n "${VINTARO_KEEP_FAILED:-}" ]; then
    echo "kept: $WORK" >&2
  else
    rm -rf "$WORK"
  fi
  exit $status
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  # What Wine and the game said, without the MIDI trace some cases ask for.
  [ -s "$WORK/game.err" ] && grep -v ':trace:' "$WORK/game.err" | tail -n 5 | sed 's/^/  game: /' >&2
  trap - ERR
  exit 1
}

# keep_user_registry: whatever the test changes in the user's registry is
# undone when it ends; the server is down now (start_display), so the file
# holds it all.
keep_user_registry() {
  cp "$WINEPREFIX/user.reg" "$WORK/user.reg"
  SAVED_USER_REG=$WORK/user.reg
}

start_display() {
  # A fresh server ends whatever an earlier test left on the prefix.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  xvfb_start "$WORK" 1024x768 || fail "no virtual display"
  XVFB_PID=$xvfb_pid
}

# write_ini BALLS INTERVAL: a valid settings file (plain decimal numbers: a
# leading zero would make printf read them as octal).
write_ini() {
  printf 'Vintaro.ini\r\nball:%02dreserve\r\ninterval:%03dmsec\r\n' "$1" "$2" >"$GAME_DIR/Vintaro.ini"
}

# write_gol [OCTAL]: a picture file of the right size, every byte OCTAL (0
# unless given): a picture of one grey.
write_gol() {
  head -c $((54 + 280 * (370 * 3 + 2))) /dev/zero | tr '\0' "\\${1:-0}" >"$GAME_DIR/Vintaro.gol"
}

start_game() {
  (cd "$GAME_DIR" && exec wine "$VINTARO_EXE_DIR/vintaro.exe") >"$WORK/game.out" 2>"$WORK/game.err" &
  GAME_PID=$!
}

game_running() { kill -0 "$GAME_PID" 2>/dev/null; }

game_ended() { ! game_running; }

# wait_exit SECONDS: waits for the game to end; its exit code goes to EXIT_CODE.
wait_exit() {
  poll "$1" game_ended || fail "the game did not end"
  EXIT_CODE=0
  wait "$GAME_PID" || EXIT_CODE=$?
  GAME_PID=
}

# Every wait has its own limit, well inside ctest's, so that the clean-up
# above always runs.
probe() { timeout 30 wine "$VINTARO_EXE_DIR/vintaro-probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# window_geometry WINDOW: "X Y W H" of the X window, its frame included.
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# The X window of a visible top-level window whose title matches REGEX.
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }

window_shown() { [ -n "$(visible_window "$1")" ]; }

readonly MAIN_TITLE='^Vintaro v2\.0 2005/09 \(https://pirumo\.example/\)$'
main_window() { visible_window "$MAIN_TITLE"; }

main_window_or_end() { window_shown "$MAIN_TITLE" || game_ended; }

wait_main_window() {
  poll 30 main_window_or_end || fail "the main window did not appear"
  game_running || fail "the game ended before its main window appeared"
  MAIN_WINDOW=$(main_window)
}

# keys KEY...: xdotool key names, sent to the main window one by one.
keys() {
  local key
  for key in "$@"; do
    xdotool key --window "$MAIN_WINDOW" "$key"
  done
}

# replay SCRIPT: runs the replay tool in the game's folder; the script's
# snapshots are what the game must show.
replay() {
  (cd "$GAME_DIR" && printf '%s\n' "$1" | "$VINTARO_REPLAY" >/dev/null)
}

# capture_client FILE: the main window's client area, from the X server.
capture_client() {
  local x y w h
  read -r x y w h < <(probe client) || return 1
  shoot_screen "${w}x${h}+${x}+${y}" "$1"
}

# same_region A B GEOMETRY: the two images agree pixel for pixel in GEOMETRY.
same_region() {
  crop_to "$1" "$3" "$WORK/a.png"
  crop_to "$2" "$3" "$WORK/b.png"
  same_pixels "$WORK/a.png" "$WORK/b.png"
}

# settled_capture FILE: the client area once two captures in a row agree.
settled_capture() {
  local tries
  capture_client "$1" || return 1
  for tries in $(seq 30); do
    sleep 0.3
    capture_client "$WORK/again.png" || return 1
    same_region "$1" "$WORK/again.png" 639x598+0+0 && return 0
    mv "$WORK/again.png" "$1"
  done
  return 1
}

# board_shows EXPECTED GEOMETRY: a fresh capture agrees with EXPECTED.
board_shows() {
  capture_client "$WORK/capture.png" && same_region "$WORK/capture.png" "$1" "$2"
}

readonly CREDIT=' ピルモ(62歳)作のブロック崩し'
readonly INTRO=' 初期値(Ball:10, Intvl:220)'

intro_shown() { probe status | grep -q '^1 .*Ball'; }

# check_status_texts: the game shown with 10 balls and 220 ms has parts 0 and
# 1 holding the texts, and the pixels on the screen are those texts drawn in
# glyphs, not boxes.
check_status_texts() {
  poll 20 intro_shown || fail "no initial values in the status bar"
  local status part0 part1
  status=$(probe status)
  part0=$(sed -n 's/^0 [0-9]* [0-9]* [0-9]* [0-9]* //p' <<<"$status")
  part1=$(sed -n 's/^1 [0-9]* [0-9]* [0-9]* [0-9]* //p' <<<"$status")
  [ "$part0" = "$CREDIT" ] || fail "part 0 holds '$part0'"
  [ "$part1" = "$INTRO" ] || fail "part 1 holds '$part1'"

  probe tofu "$CREDIT" "$INTRO" >"$WORK/tofu.txt" || fail "missing glyphs: $(cat "$WORK/tofu.txt")"

  local expected part x y w h ink
  expected=$(probe ink "$CREDIT" "$INTRO")
  import -window root "$WORK/screen.png"
  for part in 0 1; do
    read -r _ x y w h _ < <(grep "^$part " <<<"$status")
    # Inside the part's sunken border: only the text differs from the face.
    convert "$WORK/screen.png" -crop "$((w - 4))x$((h - 4))+$((x + 2))+$((y + 2))" +repage \
      "$WORK/part$part.png"
    local face
    face=$(convert "$WORK/part$part.png" -format '%[pixel:p{0,0}]' info:)
    ink=$(convert "$WORK/part$part.png" -fill white -opaque "$face" -fill black +opaque white \
      -format '%[fx:round(w*h*(1-mean))]' info:)
    local want
    want=$(awk -v p="$part" '$1 == p {print $2}' <<<"$expected")
    [ "$ink" = "$want" ] || fail "part $part shows $ink pixels of text, the text takes $want"
  done
}

# The short MIDI messages the game has sent, as Wine's winmm lists them.
midi_messages() {
  sed -n 's/.*midiOutShortMsg ([0-9A-Fa-f]*, \([0-9A-Fa-f]*\)).*/\1/p' "$WORK/game.err" |
    tr 'a-f' 'A-F'
}
