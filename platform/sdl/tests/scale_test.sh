#!/usr/bin/env bash
# At --scale 2 the client area is the first board with every pixel doubled
# (the scale-1 board is the replay tool's snapshot: first_board_test) and the
# status bar has its text. F11 takes the window to full screen: the board at
# the largest scale that fits, centred on black; Alt+Enter brings the window
# back, and the board with it, pixel for pixel.
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb 2000x1400
start_window_manager
play_folder
start_game --scale 2
wait_main_window

(cd "$work/game" && printf 'snapshot %s\n' "$work/replay.png" | "$VINTARO_REPLAY" >"$work/trace")
convert "$work/replay.png" -crop 639x598+0+0 +repage -sample 200% "$work/doubled.png"

# board_at X Y: the doubled board stands in the capture at X, Y.
board_at() {
  screenshot "$work/shot.png" && crop "$work/shot.png" 1278 1196 "$1" "$2" "$work/board.png" &&
    same_pixels "$work/board.png" "$work/doubled.png"
}
wait_for 30 "the doubled first board" board_at 0 0
geometry=$(xwininfo -id "$window")
grep -q 'Width: 1278' <<<"$geometry" && grep -q 'Height: 1238' <<<"$geometry" ||
  fail "the window is not 1278 x 1238: $geometry"
crop "$work/shot.png" 400 30 4 1202 "$work/part0.png"
[ "$(count_not '#D4D0C8' "$work/part0.png")" -ge 100 ] || fail "no text in status bar part 0"
cp "$work/shot.png" "$work/windowed.png"

xdotool windowfocus --sync "$window"
xdotool key F11
# 2000 x 1400 takes scale 2 too: the board at (361, 81), black around it.
full_screen() {
  [ "$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')" = 2000x1400 ] &&
    board_at 361 81 &&
    crop "$work/shot.png" 2000 81 0 0 "$work/above.png" &&
    [ "$(count_not '#000000' "$work/above.png")" -eq 0 ] &&
    crop "$work/shot.png" 361 1400 0 0 "$work/left.png" &&
    [ "$(count_not '#000000' "$work/left.png")" -eq 0 ]
}
wait_for 30 "the board in full screen" full_screen

xdotool key alt+Return
windowed_again() { screenshot "$work/shot.png" && same_pixels "$work/shot.png" "$work/windowed.png"; }
wait_for 30 "the window and its board back as they were" windowed_again

close_game
echo "PASS"
