#!/usr/bin/env bash
# SIGTERM while a start-up box is up ends the game at once with exit code 0,
# and the main window is never shown. The box draws its warning icon.
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb
mkdir -p "$work/game"
cp "$VINTARO_PLAY_DIR/Vintaro.gol" "$work/game/"
export VINTARO_TIMING=1
start_game

box_window "Vintaro warning"
icon_drawn() {
  import -window "$box" "$work/box.png" &&
    [ "$(count_where 'r > 0.85 && g > 0.7 && b < 0.4' "$work/box.png")" -ge 100 ]
}
wait_for 30 "the warning icon in the box" icon_drawn

kill -TERM "$game_pid"
wait_game_exit
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after SIGTERM"
grep -q first-frame "$work/game.log" && fail "the main window was shown after the signal"
echo "PASS"
