#!/usr/bin/env bash
# A folder given without "Vintaro.gol": the "Vintaro invalid" box appears,
# the main window is never shown, and after OK the game ends with exit code 0.
# (Given no folder, the game would look for one that holds the picture.)
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb
mkdir -p "$work/game"
cp "$VINTARO_PLAY_DIR/Vintaro.ini" "$work/game/"
start_game .

# SDL shows the box from a child process, without _NET_WM_PID, and names it
# in UTF-8, which xdotool's name search does not read: look in the tree.
box_window() {
  xwininfo -root -tree | awk '/"Vintaro invalid"/ { print $1; exit }'
}
box_viewable() {
  local box
  box=$(box_window)
  [ -n "$box" ] && xwininfo -id "$box" | grep -q 'Map State: IsViewable'
}
wait_for 30 "the \"Vintaro invalid\" box" box_viewable
has_main_window && fail "the main window is shown along with the box"
box=$(box_window)

xdotool windowfocus --sync "$box"
xdotool key Return
wait_game_exit
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after OK"
echo "PASS"
