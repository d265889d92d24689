#!/usr/bin/env bash
# Without a display the game says so and ends with a non-zero code at once,
# instead of playing unseen on SDL's offscreen driver; that driver is taken
# when SDL_VIDEODRIVER names it, and a signal then ends the game with code 0.
source "$(dirname "$0")/desktop_lib.sh"

play_folder

# A display that lets nobody in: its server wants a cookie that no one has.
# Xvfb picks its number and holds it, so that the game can reach no other
# program's display by it.
xauth -f "$work/server.auth" add :0 . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')" 2>/dev/null
start_xvfb 640x480 -auth "$work/server.auth"
dead=$DISPLAY
export XAUTHORITY=$work/no.auth SDL_AUDIODRIVER=dummy VINTARO_TIMING=1
unset WAYLAND_DISPLAY XDG_SESSION_TYPE SDL_VIDEODRIVER

for display in unset "$dead"; do
  code=0
  if [ "$display" = unset ]; then
    (cd "$work/game" && env -u DISPLAY timeout 60 "$VINTARO") >"$work/game.log" 2>&1 || code=$?
  else
    (cd "$work/game" && DISPLAY=$display timeout 60 "$VINTARO") >"$work/game.log" 2>&1 || code=$?
  fi
  [ "$code" -ne 124 ] || fail "DISPLAY $display: still running after a minute"
  [ "$code" -ne 0 ] || fail "DISPLAY $display: exit code 0"
  grep -q 'no display' "$work/game.log" || fail "DISPLAY $display: nothing said on standard error"
done

export DISPLAY=$dead SDL_VIDEODRIVER=offscreen
start_game
wait_for 30 "the first frame offscreen" grep -q first-frame "$work/game.log"
kill -TERM "$game_pid"
wait_game_exit
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after SIGTERM"
echo "PASS"
