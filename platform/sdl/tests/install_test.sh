#!/usr/bin/env bash
# `cmake --install` puts the programs, the default files, the desktop entry
# and the icons in their places, and the installed game starts the way the
# desktop entry starts it.
source "$(dirname "$0")/desktop_lib.sh"

prefix="$work/prefix"
cmake --install "$VINTARO_BUILD_DIR" --prefix "$prefix" >"$work/install.log" ||
  fail "cmake --install: $(cat "$work/install.log")"
for f in bin/vintaro bin/vintaro-gol bin/vintaro-replay share/vintaro/Vintaro.ini \
  share/vintaro/Vintaro.gol share/applications/vintaro.desktop \
  share/icons/hicolor/48x48/apps/vintaro.png share/icons/hicolor/256x256/apps/vintaro.png; do
  [ -s "$prefix/$f" ] || fail "not installed: $f"
done
entry="$prefix/share/applications/vintaro.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
path_line=$(sed -n 's/^Path=//p' "$entry")
[ "$exec_line" = "$prefix/bin/vintaro" ] || fail "Exec=$exec_line"
[ "$path_line" = "$prefix/share/vintaro" ] || fail "Path=$path_line"
grep -q '^Icon=vintaro$' "$entry" || fail "no Icon=vintaro"

# The installed picture file is the game's: vintaro-gol takes it apart.
"$prefix/bin/vintaro-gol" unpack "$prefix/share/vintaro/Vintaro.gol" "$work/reward.png" ||
  fail "the installed Vintaro.gol does not unpack"

# Started as the desktop entry says: in Path, with Exec.
start_xvfb
(cd "$path_line" && exec "$exec_line") >"$work/game.log" 2>&1 &
game_pid=$!
wait_main_window
"$VINTARO_X11_CLOSE" "$window"
wait_game_exit
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
echo "PASS"
