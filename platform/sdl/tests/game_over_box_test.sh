#!/usr/bin/env bash
# The game-over box is a window of the game's own, with its error icon. Under
# it the main window goes on: ticks run, and the part of the board the box
# uncovers when it moves is painted again. The main window, disabled, does not
# close; OK ends the game with exit code 0.
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb
play_folder
printf 'Vintaro.ini\nball:01reserve\ninterval:200msec\n' >"$work/game/Vintaro.ini"
export VINTARO_TIMING=1
start_game
wait_main_window
wait_for 30 "the first frame" grep -q first-frame "$work/game.log"

# The ball comes straight down column 18; the paddle goes to column 0.
xdotool windowfocus --sync "$window"
xdotool key --delay 40 space a a a a
box_window "Vintaro finish"
icon_drawn() {
  import -window "$box" "$work/box.png" &&
    [ "$(count_where 'r > 0.6 && g < 0.35 && b < 0.35' "$work/box.png")" -ge 100 ]
}
wait_for 30 "the error icon in the box" icon_drawn

ticks() { grep -c 'tick period' "$work/game.log" || true; }
ticks_then=$(ticks)
box_at=$(geometry "$box")
box_area=$(identify -format '%[fx:w*h]' "$work/box.png")
"$VINTARO_X11_CLOSE" "$window"
xdotool windowmove "$box" 760 0

# Where the box was, no copy of it stays.
repainted() {
  import -window root -crop "$box_at" +repage "$work/under.png" &&
    [ "$(count_differing "$work/box.png" "$work/under.png")" -ge $((box_area * 9 / 10)) ]
}
wait_for 30 "the board uncovered by the box to be painted again" repainted
ticked() { [ "$(ticks)" -ge $((ticks_then + 3)) ]; }
wait_for 30 "ticks under the box" ticked
box_viewable "Vintaro finish" || fail "closing the main window took the box away"
game_ended && fail "closing the main window ended the game under its box"

xdotool windowfocus --sync "$box"
xdotool key Return
wait_game_exit
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after OK"
echo "PASS"
