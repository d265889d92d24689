#!/usr/bin/env bash
# Space, paddle keys and space again, typed as a person would (xdotool, XTEST):
# the paddle strip stands where the keys put it, and nowhere else.
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb
play_folder
# A slow ball (999 ms a cell) stays far from the paddle while the keys go in.
printf 'Vintaro.ini\nball:10reserve\ninterval:999msec\n' >"$work/game/Vintaro.ini"
start_game
wait_main_window

# strip_at COLUMN COLOUR: the 66 x 5 paddle strip of that column is all COLOUR.
strip_at() {
  crop "$work/shot.png" 66 5 $((17 * $1 + 6)) 573 "$work/strip.png"
  [ "$(count_not "$2" "$work/strip.png")" -eq 0 ]
}
paddle='#DCDCDC'
background='#404040'
first_board() { screenshot "$work/shot.png" && strip_at 16 "$paddle"; }
wait_for 30 "the first board" first_board

xdotool windowfocus --sync "$window"
# 16 +4 +4 +1 -4 -1 = 20
xdotool key --delay 40 space semicolon colon period a c space

moved() { screenshot "$work/shot.png" && strip_at 20 "$paddle" && strip_at 16 "$background"; }
wait_for 30 "the paddle strip at column 20 (and the old one gone)" moved
# The row of the paddle holds the strip and nothing else.
crop "$work/shot.png" 629 5 5 573 "$work/row.png"
convert "$work/row.png" -fill "$background" -draw "rectangle 341,0 406,4" "$work/row-rest.png"
[ "$(count_not "$background" "$work/row-rest.png")" -eq 0 ] || fail "paddle pixels outside column 20"

close_game
echo "PASS"
