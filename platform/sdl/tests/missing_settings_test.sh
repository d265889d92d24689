#!/usr/bin/env bash
# No "Vintaro.ini": the "Vintaro warning" box comes before the main window,
# and after OK the game comes up with its defaults (10 balls, 220 ms).
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb
mkdir -p "$work/game"
cp "$VINTARO_PLAY_DIR/Vintaro.gol" "$work/game/"
start_game

box_window "Vintaro warning"
has_main_window && fail "the main window is shown along with the box"
xdotool windowfocus --sync "$box"
xdotool key Return

wait_main_window
# The board the default settings file gives: the defaults are its values.
(cd "$work/game" && cp "$VINTARO_PLAY_DIR/Vintaro.ini" . &&
  printf 'snapshot %s\n' "$work/replay.png" | "$VINTARO_REPLAY" >"$work/trace" && rm Vintaro.ini)
crop "$work/replay.png" 639 598 0 0 "$work/replay-board.png"
wait_board "$work/replay-board.png" "the first board"

close_game
echo "PASS"
