#!/usr/bin/env bash
# Closing the window while the ball is moving ends the game with exit code 0.
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb
play_folder
start_game
wait_main_window

# The ball's start tile: column 18, row 14.
ball_served() {
  screenshot "$work/shot.png" && crop "$work/shot.png" 15 19 312 300 "$work/tile.png" &&
    [ "$(count_not '#404040' "$work/tile.png")" -gt 0 ]
}
ball_left() {
  screenshot "$work/shot.png" && crop "$work/shot.png" 15 19 312 300 "$work/tile.png" &&
    [ "$(count_not '#404040' "$work/tile.png")" -eq 0 ]
}
wait_for 30 "the ball on its start cell" ball_served
xdotool windowfocus --sync "$window"
xdotool key space
wait_for 30 "the ball to move" ball_left

close_game
has_main_window && fail "a window is still there"
echo "PASS"
