#!/bin/sh
# Runs the primitive cases through GDI under wine64 and through SoftCanvas,
# and fails unless every case gives the same pixels.
#   run_wine_fidelity.sh FIDELITY_COMPARE GDI_REPLAY_EXE WORK_DIR PICTURE_BMP
set -eu
compare=$1
replay=$2
work=$3
picture=$4
if [ ! -f "$replay" ]; then
  echo "missing $replay: build the win64 preset (target gdi_replay) first" >&2
  exit 1
fi
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
mkdir -p "$work"
export WINEDEBUG=-all
export WINEPREFIX="${BRENLOW_WINEPREFIX:-$work/wineprefix}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -i >/dev/null 2>&1 || true
fi
"$compare" generate "$work/primitives.txt"
rm -f "$work/primitives.gdi"
"$wine" "$replay" --picture "$picture" "$work/primitives.txt" "$work/primitives.gdi"
"$compare" compare "$work/primitives.txt" "$work/primitives.gdi" --picture "$picture"
