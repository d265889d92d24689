#!/usr/bin/env bash
# Any screen. At 1920 x 1080, --scale 2 does not fit: the window comes at
# scale 1, wholly on the screen, and the game says why. F11 with no window
# manager to offer full screen leaves the window as it was and says so.
# Caps Lock's capitals, which the game refuses, are named in the title. On
# 2560 x 1440 the default is scale 2, and a box is drawn at it: twice the
# size of the box at scale 1.
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb 1920x1080
play_folder
start_game --scale 2
wait_main_window
[ "$(geometry "$window")" = "639x619+100+50" ] || fail "the window at --scale 2: $(geometry "$window")"
grep -q "larger than the screen" "$work/game.log" || fail "nothing said of the scale"

xdotool windowfocus --sync "$window"
wait_board_shown() { screenshot "$work/before.png" && [ "$(count_not '#000000' "$work/before.png")" -gt 0 ]; }
wait_for 30 "the first board" wait_board_shown
xdotool key F11
wait_for 30 "the refusal of full screen" grep -q "no full screen" "$work/game.log"
screenshot "$work/after.png"
[ "$(geometry "$window")" = "639x619+100+50" ] || fail "the window after F11: $(geometry "$window")"
same_pixels "$work/before.png" "$work/after.png" || fail "the window changed after a refused F11"

caps_named() { xdotool getwindowname "$window" | grep -q "Caps Lock is on"; }
xdotool key a
caps_named && fail "Caps Lock named while it is off"
xdotool key Caps_Lock a
wait_for 30 "Caps Lock in the title" caps_named
xdotool key Caps_Lock
wait_for 30 "the title back" eval '! caps_named'
close_game

# box_size [ARGUMENTS...]: the start-up warning box's size, WxH.
rm "$work/game/Vintaro.ini"
box_size() {
  start_game "$@"
  box_window "Vintaro warning"
  xwininfo -id "$box" | awk '/Width:/ { w = $NF } /Height:/ { h = $NF } END { print w "x" h }'
  kill -TERM "$game_pid"
  wait_game_exit
}
xvfb_stop
mkdir "$work/second"
xvfb_start "$work/second" 2560x1440 || fail "the second Xvfb did not start"
one=$(box_size --scale 1)
two=$(box_size)
read -r w1 h1 <<<"${one/x/ }"
read -r w2 h2 <<<"${two/x/ }"
[ "$w2" -ge $((2 * w1 - 2)) ] && [ "$h2" -ge $((2 * h1 - 2)) ] ||
  fail "the box at the default scale on 2560 x 1440 is $two, at scale 1 $one"
echo "PASS"
