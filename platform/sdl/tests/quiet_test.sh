#!/usr/bin/env bash
# Standard error holds the game's own one-line hints, not its libraries'
# noise: without a display (and no runtime folder, where libwayland would
# complain) one line; with ALSA's default device on a sound card that is not
# there, one line saying the game is silent, and none of ALSA's.
source "$(dirname "$0")/desktop_lib.sh"

play_folder
code=0
(cd "$work/game" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR -u SDL_VIDEODRIVER \
  timeout 60 "$VINTARO") >"$work/game.log" 2>&1 || code=$?
[ "$code" -eq 255 ] || fail "exit code $code without a display"
[ "$(wc -l <"$work/game.log")" -eq 1 ] || fail "more than one line without a display"

start_xvfb 1024x768
printf 'pcm.!default { type hw card nosuchcard }\n' >"$work/asound.conf"
export SDL_AUDIODRIVER=alsa ALSA_CONFIG_PATH=$work/asound.conf
start_game
wait_main_window
wait_for 30 "the line on the sound" grep -q "no audio device" "$work/game.log"
close_game
[ "$(wc -l <"$work/game.log")" -eq 1 ] || fail "more than the game's one line"
echo "PASS"
