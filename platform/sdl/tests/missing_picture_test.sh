#!/usr/bin/env bash
# A folder given without "Vintaro.gol": the "Vintaro invalid" box appears,
# the main window is never shown, and after OK the game ends with exit code 0.
# (Given no folder, the game would look for one that holds the picture.)
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb
mkdir -p "$work/game"
cp "$VINTARO_PLAY_DIR/Vintaro.ini" "$work/game/"
start_game .

box_window "Vintaro invalid"
has_main_window && fail "the main window is shown along with the box"

xdotool windowfocus --sync "$box"
xdotool key Return
wait_game_exit
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after OK"
echo "PASS"
