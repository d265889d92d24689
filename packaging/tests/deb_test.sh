#!/usr/bin/env bash
# The Debian package: packed twice, a second apart, it is the same to the
# byte; its version has a Debian revision; lintian finds no error in it; dpkg
# installs it into a throwaway root in Debian's layout (the game in
# /usr/games, the tools in /usr/bin), with AppStream metadata that
# appstreamcli finds valid; the installed game, started by name as a terminal
# or the desktop entry starts it, from an empty folder by a player with no
# folder of their own, shows the first board as the installed replay tool
# draws it from the installed default files, and ends with 0 when closed.
source "$(dirname "$0")/../../platform/sdl/tests/desktop_lib.sh"

for tool in cpack lintian dpkg fakeroot appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps)"
done

for out in out again; do
  sleep 1
  cpack --config "$VINTARO_DEB_BUILD/CPackConfig.cmake" -B "$work/$out" >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
done
debs=("$work"/out/vintaro_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "no vintaro_VERSION_amd64.deb among: $(ls "$work/out")"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
cmp "$deb" "$work/again/$(basename "$deb")" || fail "packed twice, the package differs"
version=$(dpkg-deb -f "$deb" Version)
[[ $version == *-[0-9]* ]] || fail "version $version has no Debian revision"

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
for f in usr/games/vintaro usr/bin/vintaro-gol usr/bin/vintaro-replay \
  usr/share/games/vintaro/Vintaro.ini usr/share/games/vintaro/Vintaro.gol \
  usr/share/applications/vintaro.desktop usr/share/icons/hicolor/48x48/apps/vintaro.png \
  usr/share/man/man6/vintaro.6.gz usr/share/man/man1/vintaro-gol.1.gz \
  usr/share/man/man1/vintaro-replay.1.gz usr/share/doc/vintaro/copyright \
  usr/share/metainfo/example.pirumo.vintaro.metainfo.xml; do
  [ -s "$root/$f" ] || fail "not installed: /$f"
done
appstreamcli validate-tree --no-net "$root" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli: $(cat "$work/appstream.log")"

# The installed replay tool's first board, from the installed default files.
data="$root/usr/share/games/vintaro"
(cd "$data" && printf 'snapshot %s\n' "$work/replay.png" | "$root/usr/bin/vintaro-replay" >/dev/null) ||
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
