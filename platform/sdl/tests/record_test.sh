#!/usr/bin/env bash
# A game recorded with --record while keys are pressed on the desktop: the
# replay tool, run on the recording in the same folder, reaches the board of
# the desktop's last capture.
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb
play_folder
# A quick ball: the paddle meets it and blocks fall within seconds.
printf 'Vintaro.ini\nball:10reserve\ninterval:060msec\n' >"$work/game/Vintaro.ini"
start_game --record ../game.rec
wait_main_window

first_board() { screenshot "$work/shot.png" && [ -s "$work/game.rec" ]; }
wait_for 30 "the first board" first_board
xdotool windowfocus --sync "$window"
xdotool key space
sleep 1
xdotool key --delay 150 period period semicolon x c a s colon comma
sleep 1
xdotool key space
still() {
  screenshot "$work/last.png" && sleep 0.3 && screenshot "$work/shot.png" &&
    same_pixels "$work/last.png" "$work/shot.png"
}
wait_for 30 "the paused board to stand still" still

close_game

rec="$work/game.rec"
grep -q '^# balls: 10$' "$rec" && grep -q '^# interval: 60 ms$' "$rec" || fail "no settings in $(head "$rec")"
[ "$(grep -c '^key ' "$rec")" -eq 11 ] || fail "not 11 keys recorded: $(grep '^key' "$rec")"
[ "$(grep -c '^tick$' "$rec")" -ge 20 ] || fail "too few ticks recorded"
[ "$(grep -v '^#' "$rec" | tail -n1)" = close ] || fail "the recording does not end with the close"

# The board just before the close.
(cd "$work/game" && sed "s|^close\$|snapshot $work/replay.png|" "$rec" | "$VINTARO_REPLAY" >"$work/trace") ||
  fail "the replay failed: $(tail -n3 "$work/trace")"
crop "$work/replay.png" 639 598 0 0 "$work/replay-board.png"
crop "$work/last.png" 639 598 0 0 "$work/last-board.png"
same_pixels "$work/replay-board.png" "$work/last-board.png" ||
  fail "the replay's board is not the desktop's last capture"
grep -q 'score=[1-9]' <(cd "$work/game" && sed 's|^close$|state|' "$rec" | "$VINTARO_REPLAY") ||
  echo "note: no block was hit in this game"
echo "PASS"
