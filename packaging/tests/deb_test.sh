#!/usr/bin/env bash
# The Debian package: lintian finds no error in it; dpkg installs it into a
# throwaway root in Debian's games layout; the installed game, started by name
# as a terminal or the desktop entry starts it, from an empty folder by a
# player with no folder of their own, shows the first board as the installed
# replay tool draws it from the installed default files, and ends with 0 when
# closed.
source "$(dirname "$0")/../../platform/sdl/tests/desktop_lib.sh"

for tool in cpack lintian dpkg fakeroot; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps)"
done

cpack --config "$VINTARO_DEB_BUILD/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/out/vintaro_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "no vintaro_VERSION_amd64.deb among: $(ls "$work/out")"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

lintian_status=0
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$work/lintian.log" || echo "lintian: nothing to report"
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"

# A root of our own: dpkg's database and nothing else. The libraries the
# package depends on are the ones this system has. Under fakeroot, so that
# the system is never touched, whoever runs the test.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
fakeroot dpkg --root="$root" --force-not-root --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 ||
  fail "dpkg -i: $(cat "$work/dpkg.log")"
for f in usr/games/vintaro usr/games/vintaro-gol usr/games/vintaro-replay \
  usr/share/games/vintaro/Vintaro.ini usr/share/games/vintaro/Vintaro.gol \
  usr/share/applications/vintaro.desktop usr/share/icons/hicolor/48x48/apps/vintaro.png \
  usr/share/man/man6/vintaro.6.gz usr/share/doc/vintaro/copyright; do
  [ -s "$root/$f" ] || fail "not installed: /$f"
done

# The installed replay tool's first board, from the installed default files.
data="$root/usr/share/games/vintaro"
(cd "$data" && printf 'snapshot %s\n' "$work/replay.png" | "$root/usr/games/vintaro-replay" >/dev/null) ||
  fail "the installed vintaro-replay failed"
crop "$work/replay.png" 639 598 0 0 "$work/replay-board.png"

# By name, with the root's /usr/games on the PATH, as the entry names it.
entry="$root/usr/share/applications/vintaro.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$exec_line" = /usr/games/vintaro ] || fail "Exec=$exec_line"
mkdir "$work/empty" "$work/home"
start_xvfb
(cd "$work/empty" && HOME="$work/home" PATH="$root/usr/games:$PATH" exec env -u XDG_DATA_HOME vintaro) \
  >"$work/game.log" 2>&1 &
game_pid=$!
wait_main_window
wait_board "$work/replay-board.png" "the first board"
close_game
echo "PASS"
