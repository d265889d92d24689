# Sourced by whatever runs a program on an X display of its own: the Linux
# desktop tests, the Windows tests under Wine, the packages' tests and
# scripts/measure-desktop. Xvfb picks a free display number itself
# (-displayfd): a number chosen here may be another program's display, on a
# machine where other tests run at the same time.

xvfb_pid=""
# Seconds between two tries of poll.
poll_interval=0.05

# poll SECONDS COMMAND...: runs COMMAND until it succeeds, for at most
# SECONDS; fails after.
poll() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep "$poll_interval"
  done
}

# xvfb_start DIR SIZE [XVFB-ARGUMENTS...]: an Xvfb with one screen of SIZE
# (WIDTHxHEIGHT, 24 bits); its display number goes to DIR/display, its
# messages to DIR/xvfb.log. Exports DISPLAY; fails when no display came in
# 30 s.
#
# -noreset: the server stays as it is between clients, rather than resetting
# each time the last one leaves (as every poll's does) while the program
# under test may be connecting.
xvfb_start() {
  local dir=$1 size=$2
  shift 2
  Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp -noreset "$@" \
    9>"$dir/display" 2>"$dir/xvfb.log" &
  xvfb_pid=$!
  xvfb_ready() { [ -s "$dir/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }
  if ! poll 30 xvfb_ready || [ ! -s "$dir/display" ]; then
    echo "Xvfb did not start: $(cat "$dir/xvfb.log")" >&2
    return 1
  fi
  DISPLAY=":$(tr -d '[:space:]' <"$dir/display")"
  export DISPLAY
}

# xvfb_stop: ends the Xvfb that xvfb_start started, if any.
xvfb_stop() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
}

# shoot_window WINDOW FILE: the window's contents, as the X server has them.
shoot_window() { import -window "$1" "$2" 2>/dev/null; }

# shoot_screen GEOMETRY FILE: a part of the screen (WxH+X+Y).
shoot_screen() { import -window root -crop "$1" +repage "$2"; }

# crop_to IN GEOMETRY OUT: the part GEOMETRY (WxH+X+Y) of the picture IN.
crop_to() { convert "$1" -crop "$2" +repage "$3"; }

# same_pixels A B: the two pictures are equal pixel for pixel.
same_pixels() {
  local differ
  differ=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  [ "$differ" = "0" ]
}
