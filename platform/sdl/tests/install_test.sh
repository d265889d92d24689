#!/usr/bin/env bash
# `cmake --install` puts the programs, the default files, the desktop entry
# and the icons in their places. Started as the desktop entry starts it, in a
# folder without the game's files, by a player with no folder of their own, it
# plays with the installed default files; --help prints and ends without a
# window.
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
[ "$exec_line" = "$prefix/bin/vintaro" ] || fail "Exec=$exec_line"
# A folder of its own would hide the player's folder.
! grep -q '^Path=' "$entry" || fail "the entry sets a working directory"
grep -q '^Icon=vintaro$' "$entry" || fail "no Icon=vintaro"

# The installed picture file is the game's: vintaro-gol takes it apart.
"$prefix/bin/vintaro-gol" unpack "$prefix/share/vintaro/Vintaro.gol" "$work/reward.png" ||
  fail "the installed Vintaro.gol does not unpack"

# No display is there: a window would fail the run.
(cd "$work" && env -u DISPLAY "$prefix/bin/vintaro" --help >"$work/help.txt" 2>&1) ||
  fail "--help: exit code $? ($(cat "$work/help.txt"))"
grep -q '^usage: vintaro \[--scale N\] \[--record FILE\] \[--soundfont FILE\] \[DIR\]$' "$work/help.txt" ||
  fail "--help printed: $(cat "$work/help.txt")"

# As the desktop entry starts it, from an empty folder, with an empty home:
# the installed files.
start_xvfb
mkdir -p "$work/empty" "$work/home"
(cd "$prefix/share/vintaro" && printf 'snapshot %s\n' "$work/replay.png" | "$prefix/bin/vintaro-replay" >"$work/trace")
crop "$work/replay.png" 639 598 0 0 "$work/replay-board.png"
(cd "$work/empty" && HOME="$work/home" exec env -u XDG_DATA_HOME "$exec_line") >"$work/game.log" 2>&1 &
game_pid=$!
wait_main_window
wait_board "$work/replay-board.png" "the installed game's first board"
close_game
[ ! -s "$work/game.log" ] || fail "the game said: $(cat "$work/game.log")"
echo "PASS"
