#!/usr/bin/env bash
# The game starts in a folder of its own; its client area shows the first
# board pixel for pixel as the replay tool's snapshot of the same moment, the
# status bar has text in parts 0 and 1 and none yet in part 2; closing the
# window ends the game with exit code 0. Made larger, the window keeps the
# board at its top-left and the bar where it was.
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb
play_folder
start_game
wait_main_window

geometry=$(xwininfo -id "$window")
grep -q 'Width: 639' <<<"$geometry" || fail "client area not 639 wide: $geometry"
grep -q 'Height: 619' <<<"$geometry" || fail "client area not 619 high: $geometry"
grep -q '"Vintaro v2.0 2005/09 (https://' <<<"$geometry" || fail "window title: $geometry"

# The replay tool's snapshot right after start-up, board only (639 x 598).
(cd "$work/game" && printf 'snapshot %s\n' "$work/replay.png" | "$VINTARO_REPLAY" >"$work/trace")
crop "$work/replay.png" 639 598 0 0 "$work/replay-board.png"

wait_board "$work/replay-board.png" "the first board to equal the replay snapshot"

face='#D4D0C8'
bar_text_in() {  # PART-INTERIOR: x w
  crop "$work/shot.png" "$2" 15 "$1" 601 "$work/part.png"
  count_not "$face" "$work/part.png"
}
part0=$(bar_text_in 2 206)
part1=$(bar_text_in 214 164)
part2=$(bar_text_in 384 230)
echo "status bar: $part0 text pixels in part 0, $part1 in part 1, $part2 in part 2"
[ "$part0" -ge 30 ] || fail "status bar part 0 holds no text"
[ "$part1" -ge 30 ] || fail "status bar part 1 holds no text"
[ "$part2" -eq 0 ] || fail "status bar part 2 is not empty before the first hit"

# Made larger: the board stays at the top-left, unscaled and whole, the status
# bar keeps its place and width, and the rest is background.
crop "$work/shot.png" 639 21 0 598 "$work/bar.png"
xdotool windowsize --sync "$window" 760 700
resized() {
  screenshot "$work/big.png" &&
    [ "$(identify -format '%w %h' "$work/big.png")" = "760 700" ] &&
    crop "$work/big.png" 639 598 0 0 "$work/big-board.png" &&
    same_pixels "$work/big-board.png" "$work/replay-board.png" &&
    crop "$work/big.png" 639 21 0 598 "$work/big-bar.png" &&
    same_pixels "$work/big-bar.png" "$work/bar.png" &&
    crop "$work/big.png" 121 700 639 0 "$work/right.png" &&
    [ "$(count_not '#404040' "$work/right.png")" -eq 0 ] &&
    crop "$work/big.png" 639 81 0 619 "$work/below.png" &&
    [ "$(count_not '#404040' "$work/below.png")" -eq 0 ]
}
wait_for 30 "the board, the bar and the background after a resize" resized

close_game
echo "PASS"
