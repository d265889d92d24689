#!/usr/bin/env bash
# Times the two paint paths under Wine on a virtual display, in a prefix of
# its own:  measure_paint.sh EXE_DIR [ROUNDS]
# EXE_DIR holds vintaro-paintbench.exe (build-windows after the windows preset).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe_dir=$(cd "$1" && pwd)
rounds=${2:-20}

state=$(mktemp "${TMPDIR:-/tmp}/vintaro-measure.XXXXXX")
bash "$here/wine_prefix.sh" setup "$state"
export VINTARO_PREFIX_FILE=$state VINTARO_EXE_DIR=$exe_dir VINTARO_REPLAY=
source "$here/wine_lib.sh"
trap 'bash "$here/wine_prefix.sh" cleanup "$state"; cleanup' EXIT

start_display
wine "$exe_dir/vintaro-paintbench.exe" "$rounds" | tr -d '\r'
