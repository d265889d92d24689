#!/usr/bin/env bash
# The Wine prefix that one run of the Windows tests shares, made fresh:
#   wine_prefix.sh setup STATE [player]
#                                  creates it; STATE gets its path. A
#                                  player's has no font links of ours: its
#                                  fonts are those a fresh prefix has.
#   wine_prefix.sh cleanup STATE   ends its processes and removes it
set -euo pipefail

action=$1
state=$2
kind=${3:-tests}

# REG_MULTI_SZ in a REGEDIT4 file: the bytes of each string, each ended by a
# NUL, and one more NUL at the end.
multi_sz() {
  printf '%s\0\0' "$1" | od -An -v -tx1 | tr -s ' \n' '  ' | sed 's/^ //; s/ $//; s/ /,/g'
}

case $action in
  setup)
    if [ -s "$state" ]; then
      WINEPREFIX=$(cat "$state") wineserver -k 2>/dev/null || true
      rm -rf "$(cat "$state")"
    fi
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/vintaro-wine.XXXXXX")
    echo "$prefix" >"$state"
    export WINEPREFIX=$prefix WINEDEBUG=-all
    # No Mono or Gecko: there is nothing to fetch them from, and the dialogs
    # asking for them would wait for ever.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    unset DISPLAY
    wineboot --init >"$prefix/boot.log" 2>&1 || {
      cat "$prefix/boot.log" >&2
      exit 1
    }
    wineserver -w

    cat >"$prefix/tests.reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"=""
EOF
    if [ "$kind" != player ]; then
      # CJK glyphs for the dialog fonts whatever the locale; a Japanese
      # locale finds them by itself.
      cjk="ipagp.ttf,IPAPGothic"
      cat >>"$prefix/tests.reg" <<EOF

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"Tahoma"=hex(7):$(multi_sz "$cjk")
"MS Shell Dlg"=hex(7):$(multi_sz "$cjk")
"MS Shell Dlg 2"=hex(7):$(multi_sz "$cjk")
EOF
    fi
    # Now and then Wine fails to start a program while the server the boot
    # left is still going away ("ShellExecuteEx failed"): try again.
    for attempt in 1 2 3; do
      if wine regedit /S "$prefix/tests.reg"; then break; fi
      [ "$attempt" -lt 3 ] || exit 1
      wineserver -w
      sleep 1
    done
    wineserver -w
    ;;
  cleanup)
    [ -s "$state" ] || exit 0
    prefix=$(cat "$state")
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
    rm -rf "$prefix" "$state"
    ;;
  *)
    echo "usage: wine_prefix.sh setup STATE [player] | cleanup STATE" >&2
    exit 2
    ;;
esac
