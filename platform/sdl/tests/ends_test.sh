#!/usr/bin/env bash
# Every end is exit code 0 whatever the sound: here through SDL's ALSA driver
# to a null device, so that the synthesizer really plays and its threads
# wake the game, closing the window and SIGTERM each a few times; and a
# SIGTERM already waiting when the game starts, before any handler of its
# own could be there.
source "$(dirname "$0")/desktop_lib.sh"

start_xvfb 1024x768
play_folder
printf 'pcm.!default { type null }\n' >"$work/asound.conf"
export SDL_AUDIODRIVER=alsa ALSA_CONFIG_PATH=$work/asound.conf VINTARO_TIMING=1

for run in 1 2 3 4; do
  start_game
  wait_main_window
  wait_for 30 "the synthesizer" grep -q 'soundfont-load-ms=.* ok=1' "$work/game.log"
  if [ $((run % 2)) -eq 0 ]; then
    close_game
  else
    kill -TERM "$game_pid"
    wait_game_exit
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after SIGTERM"
  fi
  grep -q "X Error" "$work/game.log" && fail "an X error"
done

code=0
(cd "$work/game" && timeout 30 "$VINTARO_PENDING_SIGNAL" "$VINTARO") >"$work/game.log" 2>&1 || code=$?
[ "$code" -eq 0 ] || fail "exit code $code with a SIGTERM waiting at the start"
grep -q first-frame "$work/game.log" && fail "the window was shown after the signal"
echo "PASS"
