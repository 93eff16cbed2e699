#!/bin/sh
# Runs the primitive cases through GDI under wine64 and through SoftCanvas,
# and fails unless every case gives the same pixels.
#   run_wine_fidelity.sh FIDELITY_COMPARE GDI_REPLAY_EXE WORK_DIR PICTURE_BMP
set -eu
compare=$1
replay=$2
work=$3
picture=$4
. "$(dirname "$0")/wine_env.sh"
"$compare" generate "$work/primitives.txt"
rm -f "$work/primitives.gdi"
"$wine" "$replay" --picture "$picture" "$work/primitives.txt" "$work/primitives.gdi"
"$compare" compare "$work/primitives.txt" "$work/primitives.gdi" --picture "$picture"
