# Sourced by the desktop tests. Each test runs under an Xvfb of its own on a
# display that Xvfb picks itself (-displayfd), with SDL's dummy audio driver,
# in a temporary folder; everything it started is ended on exit.
#
# From ctest's environment: VINTARO (the game), VINTARO_REPLAY (the replay
# tool), VINTARO_PLAY_DIR (the default files), VINTARO_X11_CLOSE (the helper
# that closes a window as a window manager would).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../common/tests/display_lib.sh"

for tool in Xvfb xdotool xwininfo import convert compare; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps)"; exit 1; }
done

work=$(mktemp -d /tmp/vintaro-desktop.XXXXXX)
wm_pid=""
game_pid=""

cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    # Hard: a game that failed its test may not end on a signal.
    kill -KILL "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
  if [ -n "$wm_pid" ]; then
    kill "$wm_pid" 2>/dev/null || true
    wait "$wm_pid" 2>/dev/null || true
  fi
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  if [ -s "$work/game.log" ]; then
    echo "--- the game's output:"
    cat "$work/game.log"
  fi
  exit 1
}

# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  poll "$seconds" "$@" || fail "timed out waiting for $what"
}

# start_xvfb [WIDTHxHEIGHT [XVFB-ARGUMENTS...]]: 1024x768 unless told.
start_xvfb() {
  local size=${1:-1024x768}
  shift $(($# > 0 ? 1 : 0))
  xvfb_start "$work" "$size" "$@" || fail "Xvfb did not start"
  export SDL_AUDIODRIVER=dummy
  unset WAYLAND_DISPLAY XDG_SESSION_TYPE
}

# A window manager, for what only one does: full screen.
start_window_manager() {
  command -v evilwm >/dev/null || fail "evilwm is not installed (scripts/install-deps)"
  evilwm -fn fixed >"$work/wm.log" 2>&1 &
  wm_pid=$!
  wm_running() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN; }
  wm_up_or_gone() { wm_running || ! kill -0 "$wm_pid" 2>/dev/null; }
  wait_for 30 "the window manager" wm_up_or_gone
  wm_running || fail "the window manager ended: $(cat "$work/wm.log")"
}

# A folder with the default "Vintaro.ini" and "Vintaro.gol".
play_folder() {
  mkdir -p "$work/game"
  cp "$VINTARO_PLAY_DIR/Vintaro.ini" "$VINTARO_PLAY_DIR/Vintaro.gol" "$work/game/"
}

# start_game [ARGUMENTS...]
start_game() {
  (cd "$work/game" && exec "$VINTARO" "$@") >"$work/game.log" 2>&1 &
  game_pid=$!
}

# The game's visible main window, or nothing.
main_window() {
  xdotool search --all --onlyvisible --pid "$game_pid" --name '^Vintaro v2' 2>/dev/null | head -n1 || true
}

has_main_window() { [ -n "$(main_window)" ]; }

wait_main_window() {
  wait_for 30 "the main window" has_main_window
  window=$(main_window)
}

# waits for the game to end; sets exit_code.
wait_game_exit() {
  wait_for 30 "the game to end" game_ended
  exit_code=0
  wait "$game_pid" || exit_code=$?
  game_pid=""
}
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }

# box_window CAPTION: the game's message box of that caption, once it is
# viewable; sets box.
box_viewable() {
  box=$(xwininfo -root -tree | awk -v name="\"$1\"" 'index($0, name) { print $1; exit }')
  [ -n "$box" ] && xwininfo -id "$box" | grep -q 'Map State: IsViewable'
}
box_window() { wait_for 30 "the \"$1\" box" box_viewable "$1"; }

# screenshot FILE: the main window's client area.
screenshot() { shoot_window "$window" "$1"; }

# crop IN W H X Y OUT
crop() { crop_to "$1" "${2}x${3}+${4}+${5}" "$6"; }

# wait_board REFERENCE WHAT: waits until the main window's board (its top left
# 639 x 598) equals the picture REFERENCE; the last capture is shot.png.
wait_board() {
  board_reference=$1
  wait_for 30 "$2" board_matches
}
board_matches() {
  screenshot "$work/shot.png" && crop "$work/shot.png" 639 598 0 0 "$work/board.png" &&
    same_pixels "$work/board.png" "$board_reference"
}

# close_game: closes the main window with its close box; the game must end
# with exit code 0.
close_game() {
  "$VINTARO_X11_CLOSE" "$window"
  wait_game_exit
  [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing the window"
}

# count_not COLOUR FILE: how many pixels of FILE are not COLOUR (#RRGGBB).
count_not() {
  convert "$2" txt:- | grep -v '^#' | grep -vic "$1" || true
}

# count_where FX FILE: how many pixels of FILE meet an ImageMagick -fx test
# (r, g and b from 0 to 1).
count_where() {
  convert "$2" -fx "($1) ? 1 : 0" -format '%[fx:round(mean*w*h)]' info:
}

# count_differing A B: how many pixels differ between two pictures of a size.
count_differing() {
  convert "$1" "$2" -compose difference -composite "$work/difference.png"
  count_where 'r + g + b > 0' "$work/difference.png"
}

# geometry WINDOW: where it lies on the screen, as WxH+X+Y.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF } END { print w "x" h "+" x "+" y }'
}
